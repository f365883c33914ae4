#include "editor/documentfile.h"
#include "editor/filecommands.h"
#include "editor/maintoolbar.h"
#include "editor/memoryneed.h"
#include "editor/startup.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>

#include <csignal>
#include <cstdio>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// A full disk while it lives: writes past `bytes` fail with EFBIG, which root cannot ignore.
// The program's start-up, run by initTestCase(), makes them fail rather than end the process.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::fflush(nullptr); // the test log, if it goes to a file, is written whole
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit { bytes > 0 ? bytes : old.rlim_cur, old.rlim_max }; // 0: no limit
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old {};
};

// Big enough to be read a piece at a time, behind the progress window.
static QByteArray bigFileBytes()
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < 6 * 1024 * 1024; ++i)
        bytes += "a line of a big file, number " + QByteArray::number(i) + "\r\n";
    return bytes;
}

// A time with no fraction of a second, so that a copy of it is exact.
static const QDateTime kReadTime(QDate(2024, 3, 1), QTime(9, 30), Qt::UTC);

static bool writeAt(const QString &path, const QByteArray &bytes, const QDateTime &time = kReadTime)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.setFileTime(time, QFileDevice::FileModificationTime);
}

/// Open, Save, auto-save and the start-up file, driven through the main window.
class TestFileCommands : public WindowFixture
{
    Q_OBJECT

    FileCommands *commands() const { return m_window->findChild<FileCommands *>(); }
    void tick() { commands()->autoSaveTick(); }
    qsizetype boxes() const { return m_host->shown().size(); }
    QString prompt() const { return m_host->lastShown().prompt; }
    // Writes `bytes` to `file`, last changed at kReadTime, and opens it.
    void openWith(const QString &file, const QByteArray &bytes)
    {
        QVERIFY(writeAt(file, bytes));
        m_host->answerOpenFile(file);
        trigger("open");
    }

private slots:
    void initTestCase() { Startup::ignoreFileSizeSignal(); } // as main() does

    // A row, or "close" for the window's close box, on a clean document or after a key, with
    // the answer to the question (-1: clean, no question; a box with no answer queued fails the
    // test); then whether the window is still up, the text and whether it is modified. The file
    // is left as it was. (Open's question: tst_encoding's reopenAsksAsOpenDoes.)
    void questionsOnlyWhenModified_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("after");

        const int yes = int(Host::Button::Yes), no = int(Host::Button::No);
        // clang-format off
        QTest::newRow("New, clean") << "new" << -1 << "up  clean";
        QTest::newRow("New, modified, No stays") << "new" << no << "up xold\r\n modified";
        QTest::newRow("New, modified, Yes drops it") << "new" << yes << "up  clean";
        QTest::newRow("Exit, clean") << "exit" << -1 << "closed old\r\n clean";
        QTest::newRow("close box, modified, No stays") << "close" << no << "up xold\r\n modified";
        QTest::newRow("close box, modified, Yes") << "close" << yes << "closed xold\r\n modified";
        // clang-format on
    }
    void questionsOnlyWhenModified()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(QString, after);
        openWith(pathOf(u"current.txt"_s), "old");
        if (answer >= 0) {
            QTest::keyClicks(area(), "x");
            m_host->answerMessage(Host::Button(answer));
        }
        command == "close"_L1 ? void(m_window->close()) : trigger(command.toLatin1().constData());
        QCOMPARE((m_window->isVisible() ? u"up "_s : u"closed "_s) + document().text()
                + (document().isModified() ? u" modified"_s : u" clean"_s),
            after);
        QCOMPARE(readBytes(pathOf(u"current.txt"_s)), "old");
    }

    // Escape, or a box's close button, on each question that stands before lost text: the text,
    // the title, the selection and the file stay as they were, and no dialog follows.
    void escapeKeepsEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("steps"); // the last one meets the question; see below
        QTest::addColumn<QString>("question"); // part of its prompt
        QTest::addColumn<QString>("title");

        const QString notSaved = u"File not saved. "_s, confirm = u"Confirm save"_s;
        const QString lossy = u"1 character(s) cannot be stored"_s,
                      elsewhere = u"another program"_s;
        QTest::newRow("Open") << "open" << notSaved + u"Save it now?"_s << "Confirm Save";
        QTest::newRow("Open, Yes, ? characters") << "yes open" << lossy << "Confirm Save";
        QTest::newRow("Save, ? characters") << "save" << lossy << "Confirm Save";
        QTest::newRow("Save, changed elsewhere") << "theirs save" << elsewhere << "Confirm Save";
        QTest::newRow("Auto Save tick, ? characters") << "tick" << lossy << "Confirm Save";
        QTest::newRow("New") << "new" << notSaved + u"Proceed?"_s << confirm;
        QTest::newRow("Exit") << "exit" << notSaved + u"Are you sure"_s << confirm;
        QTest::newRow("Help") << "helpa" << u"File not saved, proceed?"_s << "Help Alert";
        // clang-format off
        QTest::newRow("master clipboard's Clear") << "mnucopytotemp mnumasterclip cleartmp"
            << "This will clear the temporary clipboard. Proceed?" << "Confirm Clear";
        // clang-format on
    }
    // Steps: "yes" answers a box; "theirs": another program writes the file; "tick": an
    // auto-save tick; else a row of the main window or a button of one of its windows. (Exit
    // is the close box's own code: the close box is left out.)
    void escapeKeepsEverythingAsItWas()
    {
        QFETCH(QString, steps);
        QFETCH(QString, question);
        QFETCH(QString, title);
        const QString file = pathOf(u"doc.txt"_s);
        openWith(file, "old");
        document().replaceSelection(u"\u2192 "_s); // which the code page has no byte for
        document().select(1, 3);
        const auto state = [&] {
            return QStringList { document().text(), m_window->windowTitle(),
                QString::number(document().selectionStart()),
                QString::number(document().selectionLength()), QString::fromLatin1(readBytes(file)),
                QString::number(m_window->isVisible()),
                QString::number(m_window->toolbar()->clipboardBox()->count()) };
        };
        QStringList before;
        const QStringList all = steps.split(u' ');
        for (const QString &step : all) {
            if (&step == &all.constLast()) {
                before = state();
                m_host->forgetShown();
                m_host->answerEscape();
            }
            if (step == "yes"_L1)
                m_host->answerMessage(Host::Button::Yes);
            else if (step == "theirs"_L1)
                QVERIFY(writeAt(file, "theirs", kReadTime.addSecs(60)));
            else if (step == "tick"_L1)
                tick();
            else if (QPushButton *button = m_window->findChild<QPushButton *>(step))
                button->click();
            else
                trigger(qPrintable(step));
        }
        QVERIFY2(prompt().contains(question), qPrintable(prompt()));
        QCOMPARE(m_host->lastShown().title, title);
        QCOMPARE(state(), before);
    }

    // Open keeps a Windows-1252 file as its bytes, one a character, fixed line breaks and all:
    // a UTF-8 file's UTF-16 text takes two. Nothing on the way makes the whole text. (What Save
    // writes of it: tst_encoding's filesKeepTheirEncodingAndBytes.)
    void openHoldsAWindows1252FileAsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("end");
        QTest::addColumn<int>("bytesPerChar");

        QByteArray every(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            every[b] = char(b);
        // Lines long enough for their CR index (4 bytes a CR) to weigh little.
        const QByteArray cafe = "caf\xE9 au lait, une tartine et le journal du matin"_ba;
        const QByteArray utf8 = "caf\xC3\xA9 au lait, une tartine et le journal du matin"_ba;
        // clang-format off
        QTest::newRow("caf\xE9 CR LF ...") << cafe + "\r\n" << ""_ba << 1;
        QTest::newRow("caf\xE9 CR caf\xE9 CR LF ...") << cafe + "\r" + cafe + "\r\n" << ""_ba << 1;
        QTest::newRow("caf\xE9 CR LF ... z") << cafe + "\r\n" << "z"_ba << 1;
        QTest::newRow("caf\xE9 LF caf\xE9 CR LF ... LF") << cafe + "\n" + cafe + "\r\n" << "\n"_ba
            << 1;
        QTest::newRow("00..FF ...") << every << ""_ba << 1;
        QTest::newRow("UTF-8 caf\xC3\xA9 CR LF ...") << utf8 + "\r\n" << ""_ba << 2;
        // clang-format on
    }
    void openHoldsAWindows1252FileAsItsBytes()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, end);
        QFETCH(int, bytesPerChar);
        openWith(pathOf(u"doc.txt"_s), line.repeated(4096) + end);
        // The characters, their CR index (4 bytes a CR) and a little more.
        const qsizetype chars = document().size();
        const qsizetype held = document().memoryUsed();
        QVERIFY2(held >= bytesPerChar * chars && held < (bytesPerChar + 0.25) * chars,
            qPrintable(u"%1 bytes for %2 characters"_s.arg(held).arg(chars)));
    }

    // Save asks about the characters the code page has no byte for: it names each once, up to
    // twenty, then says how many more there are. Yes writes a '?' for each; a surrogate pair is
    // one character, and so is a lone surrogate.
    void lossySaveListsTheCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QByteArray>("saved");

        QString letters; // U+0100 on, which the code page has none of
        for (char16_t c = 0x100; c < 0x114; ++c)
            letters += QChar(c);
        const QString pair = u"\U0001F600"_s, lone = QString(QChar(0xDE00)) + QChar(0xD83D);
        const QString more = letters + u"\u0114\u0115\u0116\u0116"_s;
        const QByteArray marks(20, '?');
        // clang-format off
        QTest::newRow("a\u2192b\u2192\u2192") << u"a\u2192b\u2192\u2192"_s << 3 << u"\u2192"_s
            << "a?b??"_ba;
        QTest::newRow("80 ? 100 100 9F") << u"\u0080?\u0100\u0100\u009F"_s << 4
            << u"\u0080\u0100\u009F"_s << "?????"_ba;
        QTest::newRow("twenty") << letters << 20 << letters << marks;
        QTest::newRow("23, the last twice") << more << 24 << letters + u" and 3 more"_s
            << marks + "????";
        QTest::newRow("a pair b") << u'a' + pair + u'b' << 1 << pair << "a?b"_ba;
        QTest::newRow("low, high, pair") << lone + pair << 3 << lone + pair << "???"_ba;
        // clang-format on
    }
    void lossySaveListsTheCharacters()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QString, listed);
        QFETCH(QByteArray, saved);
        document().setText(text);
        m_host->answerSaveFile(pathOf(u"doc.txt"_s));
        m_host->answerMessage(Host::Button::Yes);
        trigger("save");
        QCOMPARE(prompt(),
            u"%1 character(s) cannot be stored in this file's code page (Windows-1252) and would "
            u"be saved as \"?\": %2\n\nSave anyway?"_s.arg(count)
                .arg(listed));
        QCOMPARE(readBytes(pathOf(u"doc.txt"_s)), saved + "\r\n");
    }

    // The row starts Timer1's ticks (untitled, one asks for a name). Held back by a No given by
    // hand, auto-save says so at its first tick, once for each time it is turned on. A tick asks
    // only about characters no Yes was given for, and tells a failed write once, and again only
    // after a save has gone through.
    void autoSaveAsksOnceAndTellsOnce()
    {
        const auto switchOn = [this] {
            trigger("mnuautosave");
            commands()->findChild<QTimer *>(u"Timer1"_s)->stop(); // the test ticks by itself
        };
        switchOn();
        m_host->answerSaveFile(std::nullopt);
        QVERIFY(QMetaObject::invokeMethod(commands()->findChild<QTimer *>(u"Timer1"_s), "timeout"));
        const QString file = pathOf(u"doc.txt"_s);
        openWith(file, "old"); // its box the second, after the name asked for
        document().replaceSelection(u"\u2192"_s);
        m_host->answerMessage(Host::Button::No);
        trigger("save");
        m_host->answerMessage(Host::Button::Ok);
        tick();
        QCOMPARE(prompt(),
            u"1 character(s) cannot be stored in this file's code page (Windows-1252): \u2192\n\n"
            u"Auto Save does not save the file while they are in it. Save it yourself to choose "
            u"whether they are saved as \"?\"."_s);
        tick();
        QCOMPARE(boxes(), 4);
        QVERIFY(m_window->title().contains("[*]"_L1) && readBytes(file) == "old");
        QVERIFY(m_window->statusText().endsWith("Auto Save: True"_L1));
        trigger("mnuautosave"); // off
        switchOn();
        m_host->answerMessage(Host::Button::Ok);
        tick();
        tick();
        QCOMPARE(boxes(), 5);
        trigger("mnuautosave"); // off

        // Boxes counted from the start: this question the sixth, the open dialog the seventh.
        m_host->answerMessage(Host::Button::No); // not saved
        openWith(file, "v1");
        document().setText(u"a \u2192 b \u20AC"_s);
        m_host->answerMessage(Host::Button::Yes);
        trigger("save"); // by hand
        document().setText(u"\u2192\u2190"_s);
        m_host->answerMessage(Host::Button::No);
        tick();
        QVERIFY(prompt().startsWith(u"1 character(s)"_s) && prompt().contains(u": \u2190\n"_s));
        document().setText(u"\u2190\u2192\u2190 more"_s);
        tick(); // the No stands while no other new character comes
        QVERIFY(boxes() == 9 && readBytes(file) == "a ? b \x80\r\n");
        document().setText(u"\u2190\u2192\u0167"_s);
        m_host->answerMessage(Host::Button::Yes);
        tick();
        QVERIFY(boxes() == 10 && prompt().contains(u": \u2190\u0167\n"_s));

        document().setText(QString(256 * 1024, u'x'));
        auto failTwice = [this] {
            const FileSizeLimit fullDisk(64 * 1024);
            tick();
            tick();
        };
        m_host->answerMessage(Host::Button::Ok);
        failTwice();
        QVERIFY(prompt().contains(u"Auto Save keeps trying"_s) && readBytes(file) == "???\r\n");
        tick(); // goes through
        QTest::keyClicks(area(), "y");
        m_host->answerMessage(Host::Button::Ok);
        failTwice();
        QCOMPARE(boxes(), 12);
    }

    // Save writes a copy and puts it in place of the file, or, where a copy could not be
    // the file (more links, an owner or group the user cannot give it), writes in place; a
    // failed write leaves the old bytes whole either way.
    void savingKeepsTheFileWhole_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("folderMode"); // not 0: saved by nobody, with the folder in this mode
        QTest::addColumn<bool>("newInode"); // replaced by a copy rather than written in place
        QTest::addColumn<QString>("error"); // none: the new text is in; else the old one is
        const QString tooLarge = QStringLiteral("File too large");
        // clang-format off
        QTest::newRow("one link: replaced by a copy") << "" << 0 << true << QString();
        QTest::newRow("two links: written in place") << "link" << 0 << false << QString();
        QTest::newRow("another owner: the copy is given back") << "owner" << 0 << true << QString();
        QTest::newRow("owner may not give the copy their group: in place") << "owner" << 0777 << false << QString();
        QTest::newRow("a folder that takes no new file: in place") << "owner" << 0555 << false << QString();
        QTest::newRow("past the size limit: the copy goes") << "limit" << 0 << false << tooLarge;
        QTest::newRow("past the size limit, two links: put back") << "link limit" << 0 << false << tooLarge;
        // clang-format on
    }

    void savingKeepsTheFileWhole()
    {
        QFETCH(QString, how);
        QFETCH(int, folderMode);
        QFETCH(bool, newInode);
        QFETCH(QString, error);
        const QByteArray name = QFile::encodeName(pathOf("a.txt"));
        const QByteArray folder = QFile::encodeName(m_dir->path());
        const QByteArray old = QByteArray("old text\r\n").repeated(100);
        QVERIFY(writeBytes(pathOf("a.txt"), old));
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        if (how.contains(QLatin1String("link")))
            QCOMPARE(::link(name.constData(), (folder + "/link.txt").constData()), 0);
        if (how == QLatin1String("owner") && ::geteuid() != 0)
            QSKIP("Only root can give a file to another owner.");
        if (how == QLatin1String("owner"))
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        struct stat before, after;
        QCOMPARE(::stat(name.constData(), &before), 0);
        // Nobody lacks root's rights to give files away and to pass over modes.
        if (folderMode)
            QCOMPARE(::chmod(folder.constData(), folderMode) + ::setfsuid(65534), 0);
        const QString text = QStringLiteral("new\r\n").repeated(20000);
        const SaveResult saved = [&] {
            const FileSizeLimit limit(how.contains(QLatin1String("limit")) ? 64 * 1024 : 0);
            return writeDocumentFile(pathOf("a.txt"), text);
        }();
        ::setfsuid(0);
        QCOMPARE(::chmod(folder.constData(), 0700), 0);
        // The reason alone: the old bytes went back whole, nothing "may be damaged".
        QCOMPARE(saved.error, error);
        const QByteArray now = error.isEmpty() ? text.toLatin1() : old;
        QCOMPARE(readBytes(pathOf("a.txt")), now);
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_ino != before.st_ino, newInode);
        QVERIFY(std::tie(after.st_uid, after.st_gid, after.st_mode, after.st_nlink)
            == std::tie(before.st_uid, before.st_gid, before.st_mode, before.st_nlink));
        if (how.contains(QLatin1String("link")))
            QCOMPARE(readBytes(pathOf("link.txt")), now);
        QCOMPARE(
            QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), int(after.st_nlink));
    }

    // Open and Save As on a name they cannot use say why and change nothing: the document stays,
    // and no file is made.
    void unusablePathsSayWhy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");

        const QString folder = u"It is a folder, not a file."_s;
        const QString device = u"It is a device or pipe, not a file."_s;
        const QString missing = u"The file does not exist."_s,
                      gone = u"The folder does not exist."_s;
        const QString loop
            = u"It is a symbolic link that leads round in a loop, never to a file."_s;
        const QString latin1 = u"The name is not valid UTF-8, so Tarvex cannot use it. Rename the "
                               u"file (or its folder) and try again."_s;
        // clang-format off
        QTest::newRow("open caf\uFFFD.txt") << "open" << "caf\uFFFD.txt" << missing;
        QTest::newRow("open a folder") << "open" << "a-folder" << folder;
        QTest::newRow("open /dev/zero") << "open" << "/dev/zero" << device;
        QTest::newRow("open caf\\xE9.txt") << "open" << "latin1" << latin1;
        QTest::newRow("open a loop") << "open" << "loop" << loop;
        QTest::newRow("save, folder gone") << "save" << "gone/doc.txt" << gone;
        QTest::newRow("save over a folder") << "save" << "a-folder" << folder;
        QTest::newRow("save to /dev/full") << "save" << "/dev/full" << device;
        // Refused at once: writing would hold the window until something reads the pipe.
        QTest::newRow("save to a pipe") << "save" << "a-pipe" << device;
        // Rather than put a new file in place of the link, or one whose name only looks the same.
        QTest::newRow("save to a loop") << "save" << "loop" << loop;
        QTest::newRow("save as caf\\xE9.txt") << "save" << "latin1" << latin1;
        // clang-format on
    }
    void unusablePathsSayWhy()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        // A Latin-1 name, which Qt reads with U+FFFD for the byte E9 (and cannot remove).
        const QByteArray latin1 = QFile::encodeName(m_dir->path()) + "/caf\xE9.txt";
        const auto removeLatin1 = qScopeGuard([&] { ::unlink(latin1.constData()); });
        QVERIFY(QDir(m_dir->path()).mkdir("a-folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(pathOf(u"a-pipe"_s)).constData(), 0644), 0);
        QVERIFY(target != "latin1"_L1 || ::mkfifo(latin1.constData(), 0644) == 0);
        QCOMPARE(::symlink("loop", QFile::encodeName(pathOf(u"loop"_s)).constData()), 0);
        // QDir's filePath() keeps a full path as it is.
        const QString file = target == "latin1"_L1 ? QFile::decodeName(latin1)
                                                   : QDir(m_dir->path()).filePath(target);
        // Short: a buffered write would hold it back until the copy is closed, unchecked.
        const QString text(8, u'p');
        document().setText(text);
        const bool open = command == "open"_L1;
        if (open)
            m_host->answerMessage(Host::Button::No); // not saved: dropped, were the file read
        open ? m_host->answerOpenFile(file) : m_host->answerSaveFile(file);
        m_host->answerMessage(Host::Button::Ok);
        // Save on an untitled document asks a name.
        open ? trigger("open") : QTest::keyClick(area(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(prompt().contains(file) && prompt().endsWith(reason), qPrintable(prompt()));
        QVERIFY(m_window->title() == u"Untitled[*] Tarvex"_s && document().text() == text);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
    }

    // Insert File reads a big file behind the same progress window; Cancel leaves the text, the
    // selection and the undo history as they were. Inserted, it is one change that Undo takes
    // back whole, however big.
    void bigInsertCanBeGivenUp_data()
    {
        QTest::addColumn<int>("cancelAt"); // a percentage: past 100, never
        QTest::newRow("runs to the end") << 1000;
        QTest::newRow("Cancel while reading") << 5;
    }
    void bigInsertCanBeGivenUp()
    {
        QFETCH(int, cancelAt);
        const bool inserted = cancelAt > 100;
        const QString file = QString::fromLatin1(bigFileBytes());
        QVERIFY(writeBytes(pathOf(u"big.txt"_s), bigFileBytes()));
        QTest::keyClicks(area(), u"before"_s);
        document().select(1, 3);
        m_host->cancelProgressAt = cancelAt;
        m_host->answerOpenFile(pathOf(u"big.txt"_s));
        trigger("mnuinsfile");
        QVERIFY(!m_host->isShowingModal() && document().isModified());
        QCOMPARE(document().text(), inserted ? u'b' + file + u"re"_s : u"before"_s);
        QCOMPARE(document().selectedText(), inserted ? QString() : u"efo"_s);
        QCOMPARE(document().selectionStart(), inserted ? 1 + file.size() : 1);
        QTest::keyClick(area(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document().text(), inserted ? u"before"_s : QString());
    }

    // A big file is read and shown a piece at a time behind a progress window. What arrives
    // meanwhile must not reach the document; Cancel, Exit or close give the old one back, as
    // does a refusal for want of memory. Exit and close come back once the load is over.
    void nothingReachesTheDocumentWhileAFileOpens_data()
    {
        QTest::addColumn<QString>("arrival");
        QTest::addColumn<int>("at"); // the progress value it arrives at: reading below 20
        QTest::addColumn<bool>("opens"); // or the old document stays
        QTest::addColumn<QString>("said"); // part of a box that follows Open's question

        // clang-format off
        QTest::newRow("runs to the end") << "" << 1000 << true << "";
        QTest::newRow("Cancel while reading") << "cancel" << 5 << false << "";
        QTest::newRow("Cancel late in the load") << "cancel" << 40 << false << "";
        QTest::newRow("Save late in the load") << "save" << 40 << true << "";
        QTest::newRow("a key late in the load") << "key" << 40 << true << "";
        QTest::newRow("Timer1 tick late in the load") << "tick" << 40 << true << "";
        QTest::newRow("Exit while reading, then No") << "exit" << 5 << false << "exit without saving";
        QTest::newRow("close box late in the load, then No") << "close" << 40 << false << "exit without saving";
        // Memory just enough to read a file of empty lines but too little for its lines; then a
        // byte less.
        QTest::newRow("memory: too little for the lines") << "memory" << 0 << false << " has ";
        QTest::newRow("memory: too little to read it") << "memory" << -1 << false << " is ";
        // clang-format on
    }
    void nothingReachesTheDocumentWhileAFileOpens()
    {
        QFETCH(QString, arrival);
        QFETCH(int, at);
        QFETCH(bool, opens);
        QFETCH(QString, said);
        const QByteArray bytes
            = arrival == "memory"_L1 ? QByteArray("\r\n").repeated(1 << 20) : bigFileBytes();
        const QString big = pathOf(u"big.txt"_s), notes = pathOf(u"notes.txt"_s);
        QVERIFY(writeBytes(big, bytes));
        openWith(notes, "notes");
        QTest::keyClicks(area(), u"before"_s);
        m_host->answerMessage(Host::Button::No); // not saved
        m_host->answerOpenFile(big);
        if (!said.isEmpty())
            m_host->answerMessage(arrival == "memory"_L1 ? Host::Button::Ok : Host::Button::No);
        if (arrival == "memory"_L1)
            m_host->availableMemory = MemoryNeed::toReadAndShow(bytes.size()) + at;
        m_host->cancelProgressAt = arrival == "cancel"_L1 ? std::optional(at) : std::nullopt;
        bool arrived = arrival == "cancel"_L1 || arrival == "memory"_L1;
        m_host->whileProgressing = [&](int percent) {
            if (arrived || percent < at)
                return;
            arrived = true;
            if (arrival == "key"_L1)
                QTest::keyClicks(area(), u"x"_s);
            else if (arrival == "tick"_L1)
                tick();
            else
                arrival == "close"_L1 ? void(m_window->close()) : trigger(qPrintable(arrival));
        };
        trigger("open");

        QVERIFY(!m_host->isShowingModal() && readBytes(notes) == "notes");
        QTRY_VERIFY2(
            boxes() == 3 + !said.isEmpty() && prompt().contains(said), qPrintable(prompt()));
        if (opens) {
            QVERIFY(document().text() == QString::fromLatin1(bytes) && !document().isModified());
            QVERIFY(m_window->documentName() == big && !document().canUndo());
            return;
        }
        QCOMPARE(document().text(), u"beforenotes\r\n"_s);
        QVERIFY(m_window->title() == notes + u"[*] Tarvex"_s && document().isModified()
            && m_window->isVisible());
        QTest::keyClick(area(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document().text(), u"notes\r\n"_s);
    }

    // Another program changed the file after this one read it: Save asks before writing over it.
    void changeMadeElsewhereIsNotOverwritten_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("left"); // in the file; the text stays modified after a No
        QTest::addColumn<QString>("said");

        const int yes = int(Host::Button::Yes), no = int(Host::Button::No);
        const QByteArray ours("xmine\r\n");
        const QString changed = u"was changed by another program"_s;
        const QString replaced = u"was replaced by another program since Tarvex last read or saved "
                                 u"it: the name now points to a different file."_s;
        // clang-format off
        QTest::newRow("grew, No keeps theirs") << "grew" << no << "theirs"_ba << changed;
        QTest::newRow("same size, later, No keeps theirs") << "later" << no << "MINE"_ba << changed;
        QTest::newRow("replaced, same size and time, No") << "replaced" << no << "MINE"_ba << replaced;
        QTest::newRow("the link leads elsewhere, No") << "link" << no << "MINE"_ba << replaced;
        QTest::newRow("grew, Yes writes ours") << "grew" << yes << ours << changed;
        QTest::newRow("removed, Yes writes ours") << "removed" << yes << ours << u"was removed"_s;
        // clang-format on
    }
    void changeMadeElsewhereIsNotOverwritten()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(QByteArray, left);
        QFETCH(QString, said);
        const QString file = pathOf(u"doc.txt"_s), next = file + u".new"_s;
        if (how == "link"_L1) // doc.txt leads to a.txt, then to b.txt
            QVERIFY(QFile::link(u"a.txt"_s, file));
        openWith(file, "mine");
        QTest::keyClicks(area(), "x"); // the open dialog was the first box
        if (how == "grew"_L1 || how == "later"_L1) // both later; only "grew" changes the size
            QVERIFY(writeAt(file, how == "grew"_L1 ? "theirs" : "MINE", kReadTime.addSecs(60)));
        if (how == "replaced"_L1) // a new file put in its place: same size and time
            QVERIFY(writeAt(next, "MINE") && !std::rename(qPrintable(next), qPrintable(file)));
        if (how == "removed"_L1)
            QVERIFY(QFile::remove(file));
        if (how == "link"_L1) {
            QVERIFY(writeAt(pathOf(u"b.txt"_s), "MINE") && QFile::remove(file));
            QVERIFY(QFile::link(u"b.txt"_s, file));
        }
        m_host->answerMessage(Host::Button(answer));
        trigger("save");

        QVERIFY2(boxes() == 2 && prompt().contains(file + u' ' + said), qPrintable(prompt()));
        QCOMPARE(readBytes(file), left);
        QCOMPARE(document().isModified(), answer == int(Host::Button::No));
        if (answer == int(Host::Button::Yes)) { // what Save wrote is its own: it asks no more
            trigger("save");
            QCOMPARE(boxes(), 2);
        }
    }

    // The program itself, before it writes anything, turns the limit's signal into a failed
    // write: its --version, sent to a file past the limit, ends normally.
    void programOutlivesTheFileSizeLimit()
    {
        QProcess tarvex;
        tarvex.setStandardOutputFile(pathOf(u"version.txt"_s));
        tarvex.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_DFL); // as a shell starts it, whatever this test set
            const rlimit none {}; // not a byte, and no raising it
            ::setrlimit(RLIMIT_FSIZE, &none);
        });
        tarvex.start(QStringLiteral(TARVEX_PROGRAM), { u"--version"_s });
        QVERIFY(tarvex.waitForFinished());
        QCOMPARE(tarvex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(readBytes(pathOf(u"version.txt"_s)), QByteArray());
    }

    void fileNamedAtStartOpensAsOpenWould_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("relative path through . and ..") << "./sub/../[*].txt";
        QTest::newRow("full path through ..") << "<folder>/sub/../[*].txt";
    }
    void fileNamedAtStartOpensAsOpenWould()
    {
        QFETCH(QString, argument);
        // "[*]" is Qt's placeholder for the modified mark: the title shows it as it is.
        const QString startFolder = QDir::currentPath(), file = pathOf(u"[*].txt"_s);
        QVERIFY(QDir(m_dir->path()).mkdir(u"sub"_s) && QDir::setCurrent(m_dir->path()));
        QVERIFY(writeBytes(file, "first\rsecond"));
        Startup::openAtStart(*commands(), argument.replace("<folder>"_L1, m_dir->path()));
        QVERIFY(QDir::setCurrent(startFolder));

        QCOMPARE(document().text(), u"first\r\nsecond\r\n"_s);
        QCOMPARE(m_window->windowHandle()->title(), file + u"[]  - Tarvex"_s);
        QTest::keyClicks(area(), u"a"_s);
        QCOMPARE(m_window->windowHandle()->title(), file + u"[*] Tarvex"_s);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
