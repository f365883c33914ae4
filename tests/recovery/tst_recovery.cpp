#include "app/assembly.h"
#include "editor/documentformat.h"
#include "editor/journalkeeper.h"
#include "editor/recoveryoffer.h"
#include "editor/sessionend.h"
#include "recovery/contenthash.h"
#include "recovery/journalformat.h"
#include "recovery/journalreader.h"
#include "recovery/journalwriter.h"
#include "recovery/recoveryfolder.h"
#include "recovery/saveguard.h"
#include "windowfixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Lines of a file longer than a journal writes whole when it begins.
QByteArray bigFileBytes(const QByteArray &line = "a line of a long file\r\n")
{
    QByteArray bytes;
    while (bytes.size() < 700 * 1000)
        bytes += line;
    return bytes;
}

// Starts the holder (under `program` if given) and gives the pid it says once it has come as far
// as "ready PID" or "saving PID"; 0 when not.
qint64 heldPid(QProcess &holder, const QStringList &args, const QString &program = WINDOWHOLDER)
{
    holder.start(program, args);
    return holder.waitForReadyRead(30000) ? holder.readLine().split(' ').value(1).toLongLong() : 0;
}

} // namespace

// The recovery journal: its folder, its format read back after cuts and damage, the locks that
// tell live journals from orphaned ones, the save guard; what the window keeps in it, what ends
// it, and what the next start offers back from it; the ends from outside (signals, kill -9 in a
// save), in a holder process of their own.
class TestRecovery : public WindowFixture
{
    Q_OBJECT

    const RecoveryFolder &folder() const { return m_window->journal().folder(); }
    QStringList journals() const { return QDir(folder().path()).entryList({ u"*.journal"_s }); }

    MainWindow *newWindow()
    {
        auto *window = new MainWindow(*m_host);
        assembleSubsystems(*window);
        window->show();
        window->journal().open();
        return window;
    }

    // The program killed (its journal as far as flushed) and started again: a new window, which
    // offers what it finds.
    bool restart(const QString &fileAsked = {})
    {
        delete m_window;
        m_window = newWindow();
        return RecoveryOffer::offerAtStart(*m_window, fileAsked);
    }

private slots:
    // Each folder of the path it makes is the user's alone, as are the files it holds.
    void folderFollowsTheStateHomeAndIsTheUsersAlone_data()
    {
        QTest::addColumn<QString>("stateHome"); // empty reads as unset; absolute: under pathOf()
        QTest::addColumn<QString>("made"); // under pathOf(), HOME its home/
        QTest::newRow("empty: ~/.local/state") << QString() << u"home/.local/state"_s;
        QTest::newRow("absolute: used") << u"/made//state/"_s << u"made/state"_s;
        QTest::newRow("relative: ignored") << u"state"_s << u"home/.local/state"_s;
    }

    void folderFollowsTheStateHomeAndIsTheUsersAlone()
    {
        QFETCH(QString, stateHome);
        QFETCH(QString, made);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(pathOf(u"home"_s)));
        if (stateHome.startsWith(u'/'))
            stateHome.prepend(m_dir->path());
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome));
        const mode_t mask = ::umask(0);
        RecoveryFolder folder;
        const bool opened = folder.open();
        JournalWriter writer(folder);
        const bool started = writer.start(JournalOrigin());
        SaveGuard guard(folder);
        const bool kept = guard.keep(pathOf(u"a.txt"_s), "old", "new");
        ::umask(mask);
        qputenv("HOME", home);
        QVERIFY(opened && started && kept);
        QCOMPARE(folder.path(), pathOf(made + u"/tarvex/recovery"_s));
        for (QString dir = folder.path(); dir != m_dir->path(); dir = QFileInfo(dir).path())
            QCOMPARE(modeOf(dir), 0700);
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
        const QString elsewhere = pathOf(u"elsewhere"_s);
        const QString tarvex = m_stateHome->path() + u"/tarvex"_s;
        const QByteArray recovery = QFile::encodeName(folder().path());
        const QByteArray journal = recovery + "/1-2.journal";
        QVERIFY(QDir().mkpath(elsewhere));
        if (plant == u"link journal") {
            // A journal elsewhere, of an instance that is gone, pointed at.
            QVERIFY(writeBytes(elsewhere + u"/j"_s, JournalFormat::header(JournalOrigin(), 0)));
            QVERIFY(QFile::link(elsewhere + u"/j"_s, QFile::decodeName(journal)));
        } else if (plant == u"fifo journal") {
            QCOMPARE(::mkfifo(journal.constData(), 0600), 0);
        } else if (plant == u"link tarvex") {
            QVERIFY(QDir(tarvex).removeRecursively() && QFile::link(elsewhere, tarvex));
        } else if (plant == u"open recovery") {
            QCOMPARE(::chmod(recovery.constData(), 0755), 0);
        } else if (plant == u"foreign recovery") {
            if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            QCOMPARE(::chown(recovery.constData(), 65534, 65534), 0);
        } else {
            QVERIFY(QDir(folder().path()).removeRecursively());
            QVERIFY(plant == u"file recovery" ? writeBytes(folder().path(), "x")
                                              : QFile::link(elsewhere, folder().path()));
        }
        RecoveryFolder folder;
        QCOMPARE(folder.open(), opens);
        QVERIFY(QDir(elsewhere).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size() <= 1);
        QVERIFY(!QFileInfo::exists(elsewhere + u"/recovery"_s));
        if (!opens)
            return;
        QCOMPARE(modeOf(folder.path()), 0700);
        QCOMPARE(JournalReader::orphans(folder).size() + SaveGuard::orphans(folder).size(), 0u);
    }

    void contentHashIsXxh64_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint64>("hash"); // from the reference library, libxxhash 0.8.1
        QByteArray pattern;
        for (int i = 0; i < 4099; ++i)
            pattern.append(char((i * 31 + 7) & 0xFF));
        QTest::newRow("empty") << QByteArray() << quint64(0xef46db3751d8e999);
        QTest::newRow("abc") << QByteArray("abc") << quint64(0x44bc2cf5ad770999);
        // clang-format off
        QTest::newRow("one stripe of 32") << QByteArray("0123456789abcdef0123456789abcdef") << quint64(0x642a94958e71e6c5);
        QTest::newRow("43: a stripe, 8, and 3 left") << QByteArray("The quick brown fox jumps over the lazy dog") << quint64(0x0b242d361fda71bc);
        QTest::newRow("103: stripes, 8, 4 and 3 left") << pattern.first(103) << quint64(0x6a5d4ab1878a1324);
        // clang-format on
        QTest::newRow("4099 bytes") << pattern << quint64(0x98531e44aa4f969d);
    }

    // In pieces, as a record's head and body, it is checked by every record the journal reads.
    void contentHashIsXxh64()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint64, hash);
        QCOMPARE(ContentHash::hash(bytes), hash);
    }

    // Two kinds of fault: the journal cut short, as by a kill or a power cut, and a byte of it
    // changed, as by a bad sector. Either way the edits before the fault come back, no more.
    void faultyJournalReplaysAPrefixOfTheEdits_data()
    {
        QTest::addColumn<int>("tries"); // -1: every byte
        QTest::addColumn<bool>("flip"); // a byte changed, else the file cut there
        QTest::addColumn<int>("baseSize"); // of the file's text; 0: untitled
        QTest::addColumn<int>("edits");
        QTest::addColumn<QList<int>>("snapshots");
        for (const bool flip : { false, true }) {
            const char *fault = flip ? "a byte changed" : "cut";
            // clang-format off
            QTest::addRow("%s: 60 keys untitled, every byte", fault) << -1 << flip << 0 << 60 << QList<int>();
            QTest::addRow("%s: 300 edits on a file, compacted twice, random bytes", fault) << 300 << flip << 2000 << 300 << QList<int> { 90, 200 };
            QTest::addRow("%s: pastes and cuts on a long file, a snapshot midway", fault) << 40 << flip << 300000 << 61 << QList<int> { 30 };
            // clang-format on
        }
    }

    void faultyJournalReplaysAPrefixOfTheEdits()
    {
        QFETCH(int, tries);
        QFETCH(bool, flip);
        QFETCH(int, baseSize);
        QFETCH(int, edits);
        QFETCH(QList<int>, snapshots);
        static const QString pieces[] = { u"a"_s, u"b"_s, u" "_s, u"\r\n"_s, u"\r"_s, u"\n"_s,
            u"\u00e9"_s, u"\u20ac"_s, u"\U0001F600"_s, QString(QChar(u'\0')) };
        QString text;
        for (int line = 0; text.size() < baseSize; ++line)
            text += QStringLiteral("Line %1 of the file\r\n").arg(line);
        const JournalOrigin origin = baseSize == 0
            ? JournalOrigin()
            : JournalOrigin { u"/home/ann/notes.txt"_s, text.size(), 1700000000123456789,
                  0x1234567890ABCDEF, u"windows-1252"_s };
        // Written edit by edit, flushed after each: mostly typing and deleting a little; on a
        // long text, now and then a paste or a long cut.
        QRandomGenerator random(edits);
        JournalWriter writer(folder());
        QVERIFY(writer.start(origin));
        const QString path = writer.filePath();
        const qint64 startEnd = QFileInfo(path).size(); // where the start and origin end
        QStringList texts { text }; // after 0, 1, 2... edits, made here with QString::replace
        // The edits in the text at each file size seen after the start, each snapshot, each flush.
        QMap<qint64, int> editsAt { { startEnd, 0 } };
        for (int i = 1; i <= edits; ++i) {
            const qsizetype position = random.bounded(text.size() + 1);
            const bool large = baseSize > 100000 && random.bounded(8) == 0;
            const qsizetype removed
                = random.bounded(qMin<qsizetype>(text.size() - position, large ? 40000 : 3) + 1);
            QString added;
            for (int k = random.bounded(large ? 30000 : 4); k > 0; --k)
                added += pieces[random.bounded(int(std::size(pieces)))];
            texts << text.replace(position, removed, added);
            writer.recordChange(position, removed, added);
            writer.flush();
            if (snapshots.contains(i)) {
                QVERIFY(writer.writeSnapshot(text));
                editsAt = { { startEnd, 0 } }; // what went before is no longer in the file
            }
            editsAt[QFileInfo(path).size()] = i;
        }
        const QByteArray written = readBytes(path);
        const qint64 size = written.size() + (flip ? 0 : 1); // a cut may come after the end
        for (qint64 i = 0; i < (tries < 0 ? size : tries); ++i) {
            const qint64 at = tries < 0 ? i : random.bounded(size);
            QByteArray bytes = written;
            if (flip)
                bytes[at] = char(bytes[at] ^ (1 + random.bounded(255)));
            else
                bytes.truncate(at);
            const JournalContent content = JournalFormat::parse(bytes);
            QCOMPARE(content.isJournal, at >= startEnd);
            if (!content.isJournal)
                continue;
            QCOMPARE(content.origin, origin);
            // The text a reader must give for the bytes up to `at`, and whether that is all.
            const auto boundary = std::prev(editsAt.upperBound(at));
            const int kept = boundary.value();
            QCOMPARE(content.damaged, flip || boundary.key() != at);
            const JournalReplay replayed
                = content.replay(content.needsBase() ? texts[0] : QString());
            QVERIFY(!replayed.damaged);
            QVERIFY2(replayed.text == texts[kept],
                qPrintable(u"fault at %1: not the text after %2 edits"_s.arg(at).arg(kept)));
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
        const QByteArray newer = QByteArray(start).replace(8, 1, "\2"); // its format 2
        const QString journal = u"1-1.journal"_s;
        // clang-format off
        QTest::newRow("empty: removed") << journal << QByteArray() << false << false;
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
        const QString path = folder().filePath(name);
        QVERIFY(writeBytes(path, bytes));
        const std::vector<JournalReader::Orphan> journals = JournalReader::orphans(folder());
        QCOMPARE(journals.size() + SaveGuard::orphans(folder()).size(), std::size_t(listed));
        QCOMPARE(QFileInfo::exists(path), kept);
        if (listed) {
            QVERIFY(journals[0].content.damaged);
            QCOMPARE(journals[0].content.replay().text, QString());
        }
    }

    // The first ended by a signal: a kill -9 leaves the journal as far as it was flushed, and
    // the holder's flush waits; SIGTERM and SIGHUP put the rest on disk and end its main loop.
    void onlyJournalsOfInstancesThatAreGoneAreOffered_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("SIGKILL: the first key, f") << int(SIGKILL) << u"f"_s;
        QTest::newRow("SIGTERM: first, and quits with 0") << int(SIGTERM) << u"first"_s;
        QTest::newRow("SIGHUP: first, and quits with 0") << int(SIGHUP) << u"first"_s;
    }

    void onlyJournalsOfInstancesThatAreGoneAreOffered()
    {
        QFETCH(int, signal);
        QFETCH(QString, onDisk);
        QProcess first, second;
        const qint64 pid = heldPid(first, { u"type"_s, u"first"_s });
        QVERIFY(pid > 0 && heldPid(second, { u"type"_s, u"second"_s }) > 0);
        QCOMPARE(JournalReader::orphans(folder()).size(), std::size_t(0));
        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.readAll().contains("ended") && first.exitCode() == 0, signal != SIGKILL);
        {
            const std::vector<JournalReader::Orphan> offered = JournalReader::orphans(folder());
            QCOMPARE(offered.size(), std::size_t(1));
            QCOMPARE(offered[0].content.replay().text, onDisk);
            // Another instance starting while this one offers it does not offer it too.
            QCOMPARE(JournalReader::orphans(folder()).size(), std::size_t(0));
        }
        QCOMPARE(JournalReader::orphans(folder()).size(), std::size_t(1));
        second.kill();
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(JournalReader::orphans(folder()).size(), std::size_t(2));
    }

    void journalBeingCompactedIsNeverOffered()
    {
        QProcess holder;
        QVERIFY(heldPid(holder, { u"compact"_s }) > 0);
        // Looks on while the journal is replaced by its next snapshot fifty times over.
        const QString journal = QDir(folder().path()).entryList({ u"*.journal"_s }).value(0);
        QVERIFY(!journal.isEmpty());
        ino_t seen = 0;
        for (int replaced = 0; replaced < 50 && holder.state() == QProcess::Running;) {
            QCOMPARE(JournalReader::orphans(folder()).size(), std::size_t(0));
            struct stat st;
            if (::stat(QFile::encodeName(folder().filePath(journal)).constData(), &st) == 0
                && st.st_ino != seen) {
                seen = st.st_ino;
                ++replaced;
            }
        }
        QCOMPARE(holder.state(), QProcess::Running);
        holder.kill();
        QVERIFY(holder.waitForFinished(30000));
        const std::vector<JournalReader::Orphan> offered = JournalReader::orphans(folder());
        QCOMPARE(offered.size(), std::size_t(1));
        const QString text = offered[0].content.replay().text;
        QCOMPARE(text, QString(qMax(text.size(), 1), u'x'));
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
        JournalWriter writer(folder());
        QVERIFY(writer.start(JournalOrigin()));
        const qint64 started = QFileInfo(writer.filePath()).size();
        for (int key = 0; key < keys; ++key)
            writer.recordChange(key, 0, u"k");
        QVERIFY(writer.flush());
        QCOMPARE(QFileInfo(writer.filePath()).size() - started, qint64(keys) * 35);
        QCOMPARE(writer.needsCompaction(textLength), due);
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
        const QString path = pathOf(u"letter.txt"_s);
        SaveGuard released(folder());
        QVERIFY(released.keep(path, "old text", "NEW"));
        released.release();
        QCOMPARE(QDir(folder().path()).entryList(QDir::Files), QStringList());
        {
            SaveGuard guard(folder());
            QVERIFY(guard.keep(path, "old text", "NEW"));
            QCOMPARE(SaveGuard::orphans(folder()).size(), std::size_t(0));
            QVERIFY(writeBytes(path, left));
        }
        std::vector<SaveGuard::Orphan> offered = SaveGuard::orphans(folder());
        QCOMPARE(offered.size(), std::size_t(1));
        QCOMPARE(offered[0].path, path);
        QCOMPARE(offered[0].outcome(readBytes(path)), outcome);
        QString error;
        QVERIFY2(offered[0].restore(error), qPrintable(error));
        QCOMPARE(readBytes(path), QByteArray("old text"));
    }

    // What the next start offers back after a kill, once the journal's second has passed, and
    // what each answer makes of it; the file is never written to.
    void unsavedWorkIsOfferedAfterAKill_data()
    {
        QTest::addColumn<QString>("work");
        QTest::addColumn<QByteArray>("opened"); // the file's bytes; empty: none opened
        QTest::addColumn<QString>("fault"); // to the file, or to the journal, before the start
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("answer"); // empty: Escape
        const QByteArray small = "Line one\r\n", cafe = bigFileBytes("caf\xC3\xA9\r\n");
        const QString ok = u"Recover"_s, five = u", 5 characters."_s;
        // clang-format off
        QTest::newRow("untitled Hello, Recover: in the window, kept by its journal") << u"Hello"_s << QByteArray() << QString() << five << ok;
        QTest::newRow("untitled Hello, Not Now: offered again") << u"Hello"_s << QByteArray() << QString() << five << u"Not Now"_s;
        QTest::newRow("untitled Hello, Escape: Not Now") << u"Hello"_s << QByteArray() << QString() << five << QString();
        QTest::newRow("untitled Hello, Discard: gone") << u"Hello"_s << QByteArray() << QString() << five << u"Discard"_s;
        QTest::newRow("untitled Hello, its last record cut: Hell") << u"Hello"_s << QByteArray() << u"journal cut"_s << u"The record is damaged"_s << ok;
        QTest::newRow("typed, then undone in part") << u"undo"_s << QByteArray() << QString() << u"."_s << ok;
        QTest::newRow("700 KB saved without its last line break, then typed") << u"big saved"_s << QByteArray() << QString() << u"."_s << ok;
        QTest::newRow("700 KB, ' i ' made ' I ' as it loaded, then typed") << u"corrected"_s << bigFileBytes("so i said\r\n") << QString() << u"."_s << ok;
        QTest::newRow("700 KB of UTF-8: comes back UTF-8") << u"utf-8"_s << cafe << QString() << u"."_s << ok;
        // Typed into a file too long to be written whole: recorded against its bytes.
        QTest::newRow("700 KB of UTF-8 reopened as Windows-1252: comes back so") << u"reopened"_s << cafe << QString() << u"."_s << ok;
        QTest::newRow("small file, same bytes, a new time: on the file") << u"open"_s << small << u"touched"_s << u"nothing is written to doc.txt until you save"_s << ok;
        QTest::newRow("small file, other bytes: untitled") << u"open"_s << small << u"changed"_s << u"doc.txt has changed since: Recover puts the text in a new"_s << ok;
        QTest::newRow("small file removed: untitled") << u"open"_s << small << u"removed"_s << u"doc.txt is no longer there: Recover"_s << ok;
        QTest::newRow("700 KB, other bytes: cannot be put back") << u"open"_s << bigFileBytes() << u"changed"_s << u"they cannot be put back"_s << u"Not Now"_s;
        // clang-format on
    }

    void unsavedWorkIsOfferedAfterAKill()
    {
        QFETCH(QString, work);
        QFETCH(QByteArray, opened);
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QFETCH(QString, answer);
        const QString file = pathOf(u"doc.txt"_s);
        if (work == u"corrected")
            trigger("mnuautocapitalise");
        if (work == u"big saved") {
            document().setText(QString::fromLatin1(bigFileBytes()).chopped(2));
            m_host->answerSaveFile(file);
            trigger("saveas");
        } else if (!opened.isEmpty()) {
            QVERIFY(writeBytes(file, opened));
            m_host->answerOpenFile(file);
            trigger("open");
            if (work == u"reopened")
                trigger("mnureopen");
            document().select(3, 0);
        }
        QVERIFY(work != u"corrected" || document().text().startsWith(u"so I said"));
        if (work == u"undo") {
            QTest::keyClicks(area(), u"one two"_s);
            document().undo();
        }
        QTest::keyClicks(area(), work == u"Hello" ? work : u"XY"_s);
        const TextEncoding encoding = document().encoding();
        QCOMPARE(isUtf8(encoding), work == u"utf-8");
        QString text = document().text();
        const std::optional<QString> path = document().path();
        QByteArray bytes = readBytes(file);
        const QString base = path ? DocumentFormat::textFromFileBytes(bytes, encoding) : QString();
        const QString journal = m_window->journal().filePath();
        // Within its second, with nothing asked for, the journal as a kill would leave it.
        QTRY_COMPARE(JournalFormat::parse(readBytes(journal)).replay(base).text, text);
        if (fault == u"journal cut") {
            QVERIFY(writeBytes(journal, readBytes(journal).chopped(3)));
            text.chop(1); // the last key's record with it
        } else if (fault == u"removed") {
            QVERIFY(QFile::remove(file));
            bytes = "<unreadable>";
        } else if (!fault.isEmpty()) {
            if (fault == u"changed")
                bytes[0] = 'l';
            QVERIFY(writeBytes(file, bytes));
        }
        if (answer.isEmpty())
            m_host->answerChoiceEscape();
        else
            m_host->answerChoice(answer);
        QCOMPARE(restart(), answer == u"Recover");
        const FakeHost::Shown box = m_host->lastShown();
        const QString from
            = path ? u"Unsaved changes to doc.txt from "_s : u"An untitled document from "_s;
        // The work was typed a few seconds ago: today, or yesterday if midnight came between.
        const QLocale english(QLocale::English, QLocale::UnitedKingdom);
        const QDate today = QDate::currentDate();
        const bool dated = box.prompt.startsWith(from + english.toString(today, u"d MMM yyyy"))
            || box.prompt.startsWith(from + english.toString(today.addDays(-1), u"d MMM yyyy"));
        QVERIFY2(dated && box.prompt.contains(told), qPrintable(box.prompt));
        QCOMPARE(box.title, u"Tarvex: Recovery"_s);
        const QStringList answers { u"Recover"_s, u"Not Now"_s, u"Discard"_s };
        QCOMPARE(box.answers, told.contains(u"cannot") ? answers.mid(1) : answers);
        QCOMPARE(document().text(), answer == u"Recover" ? text : QString());
        if (answer == u"Recover") {
            QCOMPARE(
                document().path(), fault.isEmpty() || fault == u"touched" ? path : std::nullopt);
            QCOMPARE(document().encoding(), encoding);
            QVERIFY(document().isModified());
        }
        QCOMPARE(readBytes(file), bytes);
        // Offered again, but for Discard; the new window's journal keeps what Recover gave.
        if (answer != u"Discard")
            m_host->answerChoice(u"Discard"_s);
        QVERIFY(!restart());
        QCOMPARE(journals(), QStringList());
    }

    void endingsDecideWhetherTheJournalStays_data()
    {
        QTest::addColumn<QString>("ending"); // a command, or the session's end and then a close
        QTest::addColumn<Host::Button>("answer"); // to its question; Ok: none asked
        QTest::addColumn<bool>("stays");
        const Host::Button none = Host::Button::Ok, yes = Host::Button::Yes, no = Host::Button::No;
        QTest::newRow("Save") << u"save"_s << none << false;
        QTest::newRow("New, Yes to proceed") << u"new"_s << yes << false;
        QTest::newRow("Open, No to saving") << u"open"_s << no << false;
        QTest::newRow("Exit, Yes to exit without saving") << u"exit"_s << yes << false;
        QTest::newRow("Exit, No") << u"exit"_s << no << true;
        QTest::newRow("session's end, then a close: no question") << u"session"_s << none << true;
    }

    void endingsDecideWhetherTheJournalStays()
    {
        QFETCH(QString, ending);
        QFETCH(Host::Button, answer);
        QFETCH(bool, stays);
        QTest::keyClicks(area(), u"Hello"_s);
        QCOMPARE(journals().size(), 1);
        QVERIFY(writeBytes(pathOf(u"b.txt"_s), "b"));
        if (answer != Host::Button::Ok)
            m_host->answerMessage(answer);
        if (ending == u"save")
            m_host->answerSaveFile(pathOf(u"a.txt"_s));
        else if (ending == u"open")
            m_host->answerOpenFile(pathOf(u"b.txt"_s));
        if (ending == u"session") {
            SessionEnd(m_window->journal()).commitSession();
            QVERIFY(m_window->close());
        } else {
            trigger(qPrintable(ending));
        }
        QCOMPARE(journals().size(), int(stays));
    }

    void protectedTextLeavesNoPlainTextInTheFolder()
    {
        QTest::keyClicks(area(), u"Meet me at noon"_s);
        QVERIFY(m_window->journal().flushToDisk());
        m_host->answerInput(u"abcde"_s);
        m_host->answerInput(u"abcde"_s);
        m_host->answerMessage(Host::Button::Ok); // "File protected"
        trigger("btncode");
        const QString protectedText = document().text();
        QCOMPARE(QDir(folder().path()).entryList(QDir::Files).size(), 1); // the journal alone
        const QByteArray bytes = readBytes(m_window->journal().filePath());
        for (const QString &word : { u"Meet"_s, u"me at"_s, u"noon"_s })
            QVERIFY2(!bytes.contains(QByteArrayView(
                         reinterpret_cast<const char *>(word.utf16()), word.size() * 2)),
                qPrintable(word));
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), protectedText);
        QVERIFY(document().isLocked());
    }

    void oneDocumentIsRecoveredAndTheOthersWait()
    {
        QTest::keyClicks(area(), u"first"_s);
        MainWindow *second = newWindow();
        QTest::keyClicks(second->area(), u"second"_s);
        delete second;
        m_host->answerChoice(u"Recover"_s);
        m_host->answerMessage(Host::Button::Ok);
        QVERIFY(restart(pathOf(u"asked.txt"_s)));
        QCOMPARE(m_host->lastShown().prompt,
            u"1 more unsaved document waits for the next start of Tarvex.\n\n"_s
                + pathOf(u"asked.txt"_s)
                + u" was not opened: the window holds the recovered document."_s);
        const QString recovered = document().text();
        QVERIFY(recovered == u"first" || recovered == u"second");
        // The one recovered comes back too, kept by the new window's journal.
        m_host->answerChoice(u"Discard"_s);
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), recovered == u"first" ? u"second"_s : u"first"_s);
    }

    // One kind of fault: a kill -9 while a save writes over its file in place. strace holds the
    // holder once the new text is written over the old one's start, before the file is cut to
    // the new length.
    void killInASaveInPlaceOffersTheOldBytes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Restore: the old bytes, the text on them") << u"Restore"_s;
        QTest::newRow("Discard: the file as the kill left it") << u"Discard"_s;
    }

    void killInASaveInPlaceOffersTheOldBytes()
    {
        QFETCH(QString, answer);
        const bool restored = answer == u"Restore";
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        QVERIFY2(!strace.isEmpty(), "strace is not installed (scripts/install-deps.sh)");
        const QString file = pathOf(u"notes.txt"_s), link = pathOf(u"link.txt"_s);
        const QByteArray old = "The old text of the notes, longer than the new one.\r\n";
        QVERIFY(writeBytes(file, old));
        // A second name: the save writes in place.
        QCOMPARE(::link(qPrintable(file), qPrintable(link)), 0);
        QProcess holder;
        const qint64 pid = heldPid(holder,
            { u"-f"_s, u"-o"_s, u"/dev/null"_s, u"-P"_s, file, u"-e"_s,
                u"inject=pwrite64:delay_exit=60000000"_s, WINDOWHOLDER, u"save"_s, file,
                u"short"_s },
            strace);
        QVERIFY(pid > 0);
        const QByteArray torn = "short\r\n" + old.mid(7); // the new text over the old one's start
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(file), torn, 20000);
        // strace hangs on a tracee killed in its delay: it goes too, the kill already on its way.
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        holder.kill();
        QVERIFY(holder.waitForFinished(30000));
        // Its locks gone with it: the guard and the journal are left for the next start.
        QTRY_COMPARE_WITH_TIMEOUT(
            SaveGuard::orphans(folder()).size() + JournalReader::orphans(folder()).size(), 2u,
            20000);

        m_host->answerChoice(answer);
        // The journal of the text being saved follows: on the file when it holds the old bytes.
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        const QString asked = m_host->shown().value(0).prompt;
        QVERIFY2(asked.startsWith(u"The save of notes.txt was interrupted: restore the file as"),
            qPrintable(asked));
        QCOMPARE(readBytes(file), restored ? old : torn);
        QCOMPARE(readBytes(link), readBytes(file));
        QCOMPARE(document().text(), u"short"_s);
        QCOMPARE(document().path().has_value(), restored);
        QCOMPARE(QDir(folder().path()).entryList({ u"*.saveguard"_s }), QStringList());
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
