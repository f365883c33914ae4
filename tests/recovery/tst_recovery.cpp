#include "recovery/contenthash.h"
#include "recovery/journalformat.h"
#include "recovery/journalreader.h"
#include "recovery/journalwriter.h"
#include "recovery/recoveryfolder.h"
#include "recovery/saveguard.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A journal written edit by edit, flushed after each, and what a reader must make of its cuts.
struct RecordedJournal
{
    QByteArray bytes; // the file at the end
    QString base; // what replay starts from
    QStringList texts; // the text after 0, 1, 2... edits, made here with QString::replace
    qint64 startEnd = 0; // where the start and origin end
    // The edits in the text at each file size seen after the start, each snapshot, each flush.
    QMap<qint64, int> editsAt;
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QString recordedText(const std::vector<JournalReader::Orphan> &orphans, std::size_t index)
{
    return orphans.at(index).content.replay().text;
}

} // namespace

// The recovery journal: its folder, its format read back after cuts and damage, the locks that
// tell live journals from orphaned ones, and the save guard.
class TestRecovery : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecoveryFolder m_folder;

    QString stateHome() const { return m_dir->filePath(QStringLiteral("state")); }
    QString recoveryPath() const { return stateHome() + QStringLiteral("/tarvex/recovery"); }

    // A journal written edit by edit, flushed after each: mostly typing and deleting a little;
    // when `big`, now and then a paste or a long cut. A snapshot follows the edits in `snapshots`.
    RecordedJournal record(const JournalOrigin &origin, const QString &base,
        QRandomGenerator &random, int count, bool big, const QList<int> &snapshots)
    {
        static const QString pieces[] = { u"a"_s, u"b"_s, u" "_s, u"\r\n"_s, u"\r"_s, u"\n"_s,
            u"\u00e9"_s, u"\u20ac"_s, u"\U0001F600"_s, QString(QChar(u'\0')) };
        RecordedJournal journal;
        journal.base = base;
        journal.texts << base;
        JournalWriter writer(m_folder);
        if (!writer.start(origin))
            return journal;
        const QString path = writer.filePath();
        journal.startEnd = QFileInfo(path).size();
        journal.editsAt[journal.startEnd] = 0;
        QString text = base;
        for (int i = 1; i <= count; ++i) {
            const qsizetype position = random.bounded(text.size() + 1);
            const bool large = big && random.bounded(8) == 0;
            const qsizetype removed
                = random.bounded(qMin<qsizetype>(text.size() - position, large ? 40000 : 3) + 1);
            QString added;
            for (int k = random.bounded(large ? 30000 : 4); k > 0; --k)
                added += pieces[random.bounded(int(std::size(pieces)))];
            text.replace(position, removed, added);
            journal.texts << text;
            writer.recordChange(position, removed, added);
            writer.flush();
            if (snapshots.contains(i)) {
                writer.writeSnapshot(text);
                // What went before is no longer in this file.
                journal.editsAt = { { journal.startEnd, 0 } };
            }
            journal.editsAt[QFileInfo(path).size()] = i;
        }
        journal.bytes = readBytes(path);
        writer.discard();
        return journal;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome()));
        m_folder = RecoveryFolder();
        QVERIFY2(m_folder.open(), qPrintable(m_folder.errorString()));
    }

    void cleanup()
    {
        m_folder = RecoveryFolder();
        m_dir.reset();
    }

    void folderFollowsTheStateHome_data()
    {
        QTest::addColumn<QByteArray>("stateHome"); // empty: unset
        QTest::addColumn<QString>("path");
        QTest::newRow("unset: ~/.local/state") << QByteArray() << u"/home/ann/.local/state"_s;
        QTest::newRow("absolute: used") << QByteArray("/var/ann//state/") << u"/var/ann/state"_s;
        QTest::newRow("relative: ignored") << QByteArray("state") << u"/home/ann/.local/state"_s;
    }

    void folderFollowsTheStateHome()
    {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, path);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", "/home/ann");
        if (stateHome.isEmpty())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", stateHome);
        const QString found = RecoveryFolder::defaultPath();
        qputenv("HOME", home);
        QCOMPARE(found, path + u"/tarvex/recovery"_s);
    }

    void folderAndFilesAreTheUsersAlone()
    {
        const mode_t mask = ::umask(0);
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir->filePath(u"made/state"_s)));
        RecoveryFolder folder;
        const bool opened = folder.open();
        JournalWriter writer(folder);
        const bool started = writer.start(JournalOrigin());
        SaveGuard guard(folder);
        const bool kept = guard.keep(m_dir->filePath(u"a.txt"_s), "old", "new");
        ::umask(mask);
        QVERIFY(opened && started && kept);
        for (const char *made :
            { "made", "made/state", "made/state/tarvex", "made/state/tarvex/recovery" })
            QCOMPARE(modeOf(m_dir->filePath(QString::fromLatin1(made))), 0700);
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 2);
        for (const QString &file : files)
            QCOMPARE(modeOf(folder.filePath(file)), 0600);
    }

    // One kind of fault: something planted where the folder or its files should be.
    void plantedThingsAreNotFollowed_data()
    {
        QTest::addColumn<QString>("plant");
        QTest::addColumn<bool>("opens"); // and recovery/ is then 0700
        QTest::newRow("tarvex -> elsewhere: refused") << u"link tarvex"_s << false;
        QTest::newRow("recovery -> elsewhere: refused") << u"link recovery"_s << false;
        QTest::newRow("recovery a file: refused") << u"file recovery"_s << false;
        QTest::newRow("recovery another user's: refused") << u"foreign recovery"_s << false;
        QTest::newRow("recovery 0755: made 0700") << u"open recovery"_s << true;
        QTest::newRow("x.journal -> a journal elsewhere: not listed") << u"link journal"_s << true;
        QTest::newRow("x.journal a FIFO: not listed") << u"fifo journal"_s << true;
    }

    void plantedThingsAreNotFollowed()
    {
        QFETCH(QString, plant);
        QFETCH(bool, opens);
        const QString elsewhere = m_dir->filePath(u"elsewhere"_s);
        const QString tarvex = stateHome() + u"/tarvex"_s;
        const QByteArray recovery = QFile::encodeName(recoveryPath());
        const QByteArray journal = recovery + "/1-2.journal";
        QVERIFY(QDir().mkpath(elsewhere));
        if (plant == u"link journal") {
            // A real orphaned journal, moved elsewhere and pointed at.
            const QString real = [this] {
                JournalWriter writer(m_folder);
                return writer.start(JournalOrigin()) ? writer.filePath() : QString();
            }();
            QVERIFY(QFile::rename(real, elsewhere + u"/real.journal"_s));
            QVERIFY(QFile::link(elsewhere + u"/real.journal"_s, QFile::decodeName(journal)));
        } else if (plant == u"fifo journal") {
            QCOMPARE(::mkfifo(journal.constData(), 0600), 0);
        } else {
            QVERIFY(QDir(recoveryPath()).removeRecursively());
        }
        if (plant == u"link tarvex")
            QVERIFY(QDir(tarvex).removeRecursively() && QFile::link(elsewhere, tarvex));
        else if (plant == u"link recovery")
            QVERIFY(QFile::link(elsewhere, recoveryPath()));
        else if (plant == u"file recovery")
            QVERIFY(writeBytes(recoveryPath(), "x"));
        else if (plant.endsWith(u" recovery"))
            QVERIFY(QDir().mkdir(recoveryPath()));
        if (plant == u"foreign recovery" && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        if (plant == u"foreign recovery")
            QCOMPARE(::chown(recovery.constData(), 65534, 65534), 0);
        if (plant == u"open recovery")
            QCOMPARE(::chmod(recovery.constData(), 0755), 0);
        RecoveryFolder folder;
        QCOMPARE(folder.open(), opens);
        QVERIFY(QDir(elsewhere).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size() <= 1);
        QVERIFY(!QFileInfo::exists(elsewhere + u"/recovery"_s));
        if (!opens)
            return;
        QCOMPARE(modeOf(recoveryPath()), 0700);
        QCOMPARE(JournalReader::orphans(folder).size(), std::size_t(0));
        QCOMPARE(SaveGuard::orphans(folder).size(), std::size_t(0));
    }

    void contentHashIsXxh64_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint64>("hash"); // from the reference library, libxxhash 0.8.1
        auto pattern = [](int size) {
            QByteArray bytes;
            for (int i = 0; i < size; ++i)
                bytes.append(char((i * 31 + 7) & 0xFF));
            return bytes;
        };
        QTest::newRow("empty") << QByteArray() << quint64(0xef46db3751d8e999);
        QTest::newRow("abc") << QByteArray("abc") << quint64(0x44bc2cf5ad770999);
        // clang-format off
        QTest::newRow("one stripe of 32") << QByteArray("0123456789abcdef0123456789abcdef") << quint64(0x642a94958e71e6c5);
        QTest::newRow("43: a stripe, 8, and 3 left") << QByteArray("The quick brown fox jumps over the lazy dog") << quint64(0x0b242d361fda71bc);
        QTest::newRow("103: stripes, 8, 4 and 3 left") << pattern(103) << quint64(0x6a5d4ab1878a1324);
        // clang-format on
        QTest::newRow("4099 bytes") << pattern(4099) << quint64(0x98531e44aa4f969d);
    }

    void contentHashIsXxh64()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint64, hash);
        QCOMPARE(ContentHash::hash(bytes), hash);
        // The same when the bytes come in pieces as they are read.
        QRandomGenerator random(quint32(bytes.size()));
        ContentHash pieces;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype size = qMin(bytes.size() - at, qsizetype(random.bounded(70)));
            pieces.addData(QByteArrayView(bytes).sliced(at, size));
            at += size;
        }
        QCOMPARE(pieces.result(), hash);
    }

    // Two kinds of fault: the journal cut short, as by a kill or a power cut, and a byte of it
    // changed, as by a bad sector. Either way the edits before the fault come back, no more.
    void faultyJournalReplaysAPrefixOfTheEdits_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("tries"); // -1: every byte
        QTest::addColumn<bool>("flip"); // a byte changed, else the file cut there
        QTest::addColumn<int>("baseSize"); // of the file's text; 0: untitled
        QTest::addColumn<int>("edits");
        QTest::addColumn<bool>("big"); // pastes and long cuts too
        QTest::addColumn<QList<int>>("snapshots");
        for (const bool flip : { false, true }) {
            const char *fault = flip ? "a byte changed" : "cut";
            // clang-format off
            QTest::addRow("%s: 60 keys untitled, every byte", fault) << 1u << -1 << flip << 0 << 60 << false << QList<int>();
            QTest::addRow("%s: 300 edits on a file, compacted twice, random bytes", fault) << 2u << 300 << flip << 2000 << 300 << false << QList<int> { 90, 200 };
            QTest::addRow("%s: pastes and cuts on a long file, a snapshot midway", fault) << 3u << 40 << flip << 300000 << 60 << true << QList<int> { 30 };
            // clang-format on
        }
    }

    void faultyJournalReplaysAPrefixOfTheEdits()
    {
        QFETCH(quint32, seed);
        QFETCH(int, tries);
        QFETCH(bool, flip);
        QFETCH(int, baseSize);
        QFETCH(int, edits);
        QFETCH(bool, big);
        QFETCH(QList<int>, snapshots);
        QString base;
        for (int line = 0; base.size() < baseSize; ++line)
            base += QStringLiteral("Line %1 of the file\r\n").arg(line);
        const JournalOrigin origin = baseSize == 0 ? JournalOrigin()
                                                   : JournalOrigin { u"/home/ann/notes.txt"_s,
                                                         base.size(), 1700000000123456789,
                                                         0x1234567890ABCDEF, u"windows-1252"_s };
        QRandomGenerator random(seed);
        const RecordedJournal journal = record(origin, base, random, edits, big, snapshots);
        QVERIFY(journal.texts.size() > 10); // the journal was written
        const qint64 size = journal.bytes.size() + (flip ? 0 : 1); // a cut may come after the end
        for (qint64 i = 0; i < (tries < 0 ? size : tries); ++i) {
            const qint64 at = tries < 0 ? i : random.bounded(size);
            QByteArray bytes = journal.bytes;
            if (flip)
                bytes[at] = char(bytes[at] ^ (1 + random.bounded(255)));
            else
                bytes.truncate(at);
            const JournalContent content = JournalFormat::parse(bytes);
            QCOMPARE(content.isJournal, at >= journal.startEnd);
            if (!content.isJournal)
                continue;
            // The text a reader must give for the bytes up to `at`, and whether that is all.
            const auto boundary = std::prev(journal.editsAt.upperBound(at));
            const int edits = boundary.value();
            QCOMPARE(content.damaged, flip || boundary.key() != at);
            const JournalReplay replayed = content.replay(journal.base);
            QVERIFY(!replayed.damaged);
            QVERIFY2(replayed.text == journal.texts[edits],
                qPrintable(u"fault at %1: not the text after %2 edits"_s.arg(at).arg(edits)));
        }
    }

    // One kind of fault: whole records that do not fit the text they are replayed on.
    void changeOutsideTheTextStopsTheReplay_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("removed");
        QTest::addColumn<bool>("readAsDamage"); // refused when read, else when replayed
        // Replayed on "abc" after a first change that makes it "xabc".
        QTest::newRow("insert at 5 of xabc") << qint64(5) << qint64(0) << false;
        QTest::newRow("remove 3 at 2 of xabc") << qint64(2) << qint64(3) << false;
        QTest::newRow("remove 5 at 0 of xabc") << qint64(0) << qint64(5) << false;
        QTest::newRow("remove 2^62 at 1") << qint64(1) << (qint64(1) << 62) << false;
        QTest::newRow("insert at 2^63-1") << std::numeric_limits<qint64>::max() << 0LL << false;
        QTest::newRow("insert at -1") << qint64(-1) << qint64(0) << true;
        QTest::newRow("remove -1 at 0") << qint64(0) << qint64(-1) << true;
    }

    void changeOutsideTheTextStopsTheReplay()
    {
        QFETCH(qint64, position);
        QFETCH(qint64, removed);
        QFETCH(bool, readAsDamage);
        const JournalOrigin origin { u"/a.txt"_s, 3, 0, ContentHash::hash("abc"), u"x"_s };
        QByteArray bytes = JournalFormat::header(origin, 0);
        QVERIFY(JournalFormat::appendChange(bytes, 1, 0, 0, u"x"));
        QVERIFY(JournalFormat::appendChange(bytes, 2, position, removed, u"y"));
        QVERIFY(JournalFormat::appendChange(bytes, 3, 0, 1, u""));
        const JournalContent content = JournalFormat::parse(bytes);
        QCOMPARE(content.damaged, readAsDamage);
        const JournalReplay replayed = content.replay(u"abc"_s);
        QCOMPARE(replayed.text, u"xabc"_s);
        QCOMPARE(replayed.applied, 1);
        QCOMPARE(replayed.damaged, !readAsDamage);
    }

    // One kind of fault: files in the folder that hold no whole journal.
    void brokenFilesAreNeverOffered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("kept");
        const QByteArray start = JournalFormat::header(JournalOrigin(), 0);
        QByteArray oneChange = start;
        JournalFormat::appendChange(oneChange, 0, 0, 0, u"hello");
        QByteArray newer = start;
        newer[8] = 2;
        const QString journal = u"1-1.journal"_s;
        // clang-format off
        QTest::newRow("empty: removed") << journal << QByteArray() << false << false;
        QTest::newRow("magic cut: removed") << journal << start.first(5) << false << false;
        QTest::newRow("other magic: removed") << journal << QByteArray("PK\3\4 not a journal at all") << false << false;
        QTest::newRow("origin cut: removed") << journal << start.first(start.size() - 1) << false << false;
        QTest::newRow("later format: kept, not offered") << journal << newer << false << true;
        QTest::newRow("first change cut: offered") << journal << oneChange.first(oneChange.size() - 2) << true << true;
        QTest::newRow("unfinished snapshot: removed") << u"1-1.partial"_s << oneChange << false << false;
        QTest::newRow("save guard cut: removed") << u"1-1.saveguard"_s << QByteArrayLiteral("TVXGUARD\1\0\0\0\xff\0") << false << false;
        // clang-format on
    }

    void brokenFilesAreNeverOffered()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, listed);
        QFETCH(bool, kept);
        const QString path = m_folder.filePath(name);
        QVERIFY(writeBytes(path, bytes));
        const std::vector<JournalReader::Orphan> journals = JournalReader::orphans(m_folder);
        const std::vector<SaveGuard::Orphan> guards = SaveGuard::orphans(m_folder);
        QCOMPARE(journals.size() + guards.size(), std::size_t(listed));
        QCOMPARE(QFileInfo::exists(path), kept);
        if (listed) {
            QVERIFY(journals[0].content.damaged);
            QCOMPARE(recordedText(journals, 0), QString());
        }
    }

    void onlyJournalsOfInstancesThatAreGoneAreOffered()
    {
        QProcess first, second;
        for (QProcess *holder : { &first, &second }) {
            holder->start(QStringLiteral(JOURNALHOLDER),
                { u"type"_s, holder == &first ? u"first"_s : u"second"_s });
            QVERIFY(holder->waitForReadyRead(20000));
        }
        QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(0));
        first.kill();
        QVERIFY(first.waitForFinished(20000));
        {
            const std::vector<JournalReader::Orphan> offered = JournalReader::orphans(m_folder);
            QCOMPARE(offered.size(), std::size_t(1));
            QCOMPARE(recordedText(offered, 0), u"first"_s);
            // Another instance starting while this one offers it does not offer it too.
            QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(0));
        }
        QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(1));
        second.kill();
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(2));
    }

    void journalBeingCompactedIsNeverOffered()
    {
        QProcess holder;
        holder.start(QStringLiteral(JOURNALHOLDER), { u"compact"_s });
        QVERIFY(holder.waitForReadyRead(20000));
        // Looks on while the journal is replaced by its next snapshot fifty times over.
        const QString journal = QDir(m_folder.path()).entryList({ u"*.journal"_s }).value(0);
        QVERIFY(!journal.isEmpty());
        ino_t seen = 0;
        for (int replaced = 0; replaced < 50 && holder.state() == QProcess::Running;) {
            QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(0));
            struct stat st;
            if (::stat(QFile::encodeName(m_folder.filePath(journal)).constData(), &st) == 0
                && st.st_ino != seen) {
                seen = st.st_ino;
                ++replaced;
            }
        }
        QCOMPARE(holder.state(), QProcess::Running);
        holder.kill();
        QVERIFY(holder.waitForFinished(20000));
        const std::vector<JournalReader::Orphan> offered = JournalReader::orphans(m_folder);
        QCOMPARE(offered.size(), std::size_t(1));
        const QString text = recordedText(offered, 0);
        QVERIFY(text.size() >= 1);
        QCOMPARE(text, QString(text.size(), u'x'));
    }

    void writerKeepsChangesUntilFlushedAndLeavesThemWhenItGoes()
    {
        {
            JournalWriter writer(m_folder);
            QVERIFY(writer.start(JournalOrigin()));
            const QString path = writer.filePath();
            const qint64 started = QFileInfo(path).size();
            writer.recordChange(0, 0, u"ab");
            QVERIFY(writer.hasUnflushed());
            QCOMPARE(QFileInfo(path).size(), started);
            QVERIFY(writer.flush());
            QVERIFY(!writer.hasUnflushed());
            QVERIFY(writer.waitForDisk());
            QVERIFY(QFileInfo(path).size() > started);
            writer.recordChange(1, 1, u"c");
        }
        const std::vector<JournalReader::Orphan> offered = JournalReader::orphans(m_folder);
        QCOMPARE(offered.size(), std::size_t(1));
        QCOMPARE(recordedText(offered, 0), u"ac"_s);
        QVERIFY(offered[0].content.lastRecordMs > 0);
    }

    void compactionIsDueWhenRecordsOutweighTheText_data()
    {
        QTest::addColumn<int>("keys"); // one-character changes of 35 bytes each
        QTest::addColumn<qsizetype>("textLength");
        QTest::addColumn<bool>("due");
        // clang-format off
        QTest::newRow("29,000 keys, empty text: 1015 KB, not yet") << 29000 << qsizetype(0) << false;
        QTest::newRow("30,000 keys, empty text: 1050 KB, due") << 30000 << qsizetype(0) << true;
        QTest::newRow("30,000 keys, 600,000-character text: not yet") << 30000 << qsizetype(600000) << false;
        // clang-format on
    }

    void compactionIsDueWhenRecordsOutweighTheText()
    {
        QFETCH(int, keys);
        QFETCH(qsizetype, textLength);
        QFETCH(bool, due);
        JournalWriter writer(m_folder);
        QVERIFY(writer.start(JournalOrigin()));
        const qint64 started = QFileInfo(writer.filePath()).size();
        for (int key = 0; key < keys; ++key)
            writer.recordChange(key, 0, u"k");
        QVERIFY(writer.flush());
        QCOMPARE(QFileInfo(writer.filePath()).size() - started, qint64(keys) * 35);
        QCOMPARE(writer.needsCompaction(textLength), due);
        writer.discard();
    }

    void snapshotLeavesNoEarlierTextInTheFolder()
    {
        JournalWriter writer(m_folder);
        const JournalOrigin origin { u"/home/ann/plain.txt"_s, 5, 1, 2, u"windows-1252"_s };
        QVERIFY(writer.start(origin));
        const QString path = writer.filePath();
        const QString plain = u"Meet me at the old mill"_s;
        for (qsizetype i = 0; i < plain.size(); ++i)
            writer.recordChange(i, 0, plain.mid(i, 1));
        QVERIFY(writer.flush());
        const QString protectedText = u"Zrrg zr ng gur byq zvyy"_s;
        QVERIFY(writer.writeSnapshot(protectedText));
        writer.recordChange(0, 0, u"!");
        QVERIFY(writer.flush());
        QCOMPARE(writer.filePath(), path);
        const QStringList files = QDir(m_folder.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QByteArray bytes = readBytes(m_folder.filePath(files[0]));
        for (const QString &word : { u"Meet"_s, u"mill"_s, u"M"_s }) // as UTF-16LE
            QVERIFY(!bytes.contains(
                QByteArrayView(reinterpret_cast<const char *>(word.utf16()), word.size() * 2)));
        // Still this instance's: not offered while the writer lives.
        QCOMPARE(JournalReader::orphans(m_folder).size(), std::size_t(0));
        const JournalContent content = JournalFormat::parse(bytes);
        QCOMPARE(content.origin, origin);
        QVERIFY(!content.needsBase());
        QCOMPARE(content.replay().text, u"!"_s + protectedText);
        writer.discard();
    }

    // What the write left in the file when its instance went, as a kill would leave it.
    void saveGuardGoesWhenReleasedAndIsOfferedWhenItsInstanceIsGone_data()
    {
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<SaveGuard::Outcome>("outcome");
        // clang-format off
        QTest::newRow("NEW: finished") << QByteArray("NEW") << SaveGuard::Outcome::Finished;
        QTest::newRow("old text: untouched") << QByteArray("old text") << SaveGuard::Outcome::Untouched;
        QTest::newRow("NEW text: torn") << QByteArray("NEW text") << SaveGuard::Outcome::Torn;
        QTest::newRow("NE: torn") << QByteArray("NE") << SaveGuard::Outcome::Torn;
        // clang-format on
    }

    void saveGuardGoesWhenReleasedAndIsOfferedWhenItsInstanceIsGone()
    {
        QFETCH(QByteArray, left);
        QFETCH(SaveGuard::Outcome, outcome);
        const QString path = m_dir->filePath(u"letter.txt"_s);
        {
            SaveGuard released(m_folder);
            QVERIFY(released.keep(path, "old text", "NEW"));
            released.release();
            QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files), QStringList());
        }
        {
            SaveGuard guard(m_folder);
            QVERIFY(guard.keep(path, "old text", "NEW"));
            QCOMPARE(SaveGuard::orphans(m_folder).size(), std::size_t(0));
            QVERIFY(writeBytes(path, left));
        }
        std::vector<SaveGuard::Orphan> offered = SaveGuard::orphans(m_folder);
        QCOMPARE(offered.size(), std::size_t(1));
        QCOMPARE(offered[0].path, path);
        QCOMPARE(offered[0].outcome(readBytes(path)), outcome);
        QString error;
        QVERIFY2(offered[0].restore(error), qPrintable(error));
        QCOMPARE(readBytes(path), QByteArray("old text"));
    }
};

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
