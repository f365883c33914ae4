#include "editor/filecommands.h"
#include "editor/frmedit.h"
#include "editor/memoryneed.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QVERIFY(WindowTest::writeBytes(path, bytes));
}

using WindowTest::readBytes;

// A file big enough to be read and shown a piece at a time.
QByteArray bigFileBytes()
{
    QByteArray bytes;
    for (int i = 0; bytes.size() < 6 * 1024 * 1024; ++i)
        bytes += "a line of a big file, number " + QByteArray::number(i) + "\r\n";
    return bytes;
}

// Lowers the file-size limit for the lifetime of the object, so that a big write fails part-way
// with EFBIG (root ignores permissions, but not this).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openAppliesTheLoadingRule_data();
    void openAppliesTheLoadingRule();
    void openedFileSavesByTheWritingRule();
    void saveOnUntitledAsksForAName();
    void cancelledDialogsChangeNothing_data();
    void cancelledDialogsChangeNothing();
    void dialogRemembersTheLastName();
    void openingAProtectedFileLocksTheArea();
    void openOnModifiedDocument_data();
    void openOnModifiedDocument();
    void insertFileGoesInAtTheCaret();
    void insertFileRunsFromShiftIns();
    void fileSizeReportsTheFileOnDisk();
    void failedSaveTellsAndKeepsTheState_data();
    void failedSaveTellsAndKeepsTheState();
    void saveFailingPartWayKeepsTheOldFile();
    void unreadableFileTellsAndKeepsTheDocument();
    void textTheCodePageCannotHoldIsSavedOnlyWhenAllowed();
    void binaryFileSurvivesOpenAndSave();
    void printPrintsTheTextOnlyWhenAsked();
    void autoSaveRowDrivesTheTimerAndStatusBar();
    void autoSaveTickSavesTitledDocument();
    void autoSaveTickOnUntitledAsksForAName();
    void autoSaveTickWhileABoxIsOpenDoesNothing();
    void autoSaveAsksAgainOnlyForNewLossyCharacters();
    void autoSaveTellsAFailedWriteOnce();
    void bigFileOpensBehindAProgressWindow_data();
    void bigFileOpensBehindAProgressWindow();
    void nothingReachesTheDocumentWhileAFileOpens_data();
    void nothingReachesTheDocumentWhileAFileOpens();
    void bigInsertRunsBehindAProgressWindow_data();
    void bigInsertRunsBehindAProgressWindow();
    void fileTooBigForTheMemoryLeftIsRefused_data();
    void fileTooBigForTheMemoryLeftIsRefused();
    void memoryNeedIsWeighedAgainstWhatIsLeft_data();
    void memoryNeedIsWeighedAgainstWhatIsLeft();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void trigger(const char *row) { m_window->command(QLatin1String(row))->trigger(); }
    void openFile(const QString &file);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void TestFileCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestFileCommands::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestFileCommands::cleanup()
{
    m_host->whileShowing = nullptr;
    m_host->whileProgressing = nullptr;
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    delete m_dir;
}

void TestFileCommands::openFile(const QString &file)
{
    m_host->answerOpenFile(file);
    trigger("open");
}

void TestFileCommands::openAppliesTheLoadingRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("a -> a CRLF") << QByteArray("a") << QStringLiteral("a\r\n");
    QTest::newRow("bare LF stays in its line")
        << QByteArray("one\ntwo") << QStringLiteral("one\ntwo\r\n");
    QTest::newRow("bare CR ends a line")
        << QByteArray("one\rtwo") << QStringLiteral("one\r\ntwo\r\n");
    QTest::newRow("empty file, empty text") << QByteArray() << QString();
    QTest::newRow("Windows-1252 bytes")
        << QByteArray("\x80\x93q\x94\xE9\r\n") << QStringLiteral("\u20AC\u201Cq\u201D\u00E9\r\n");
}

void TestFileCommands::openAppliesTheLoadingRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    const QString file = path(QStringLiteral("doc.txt"));
    writeBytes(file, bytes);
    openFile(file);

    QCOMPARE(m_window->area()->text(), text);
    QCOMPARE(m_window->saveme(), file);
    QCOMPARE(m_window->star(), QString());
    QCOMPARE(m_window->title(), file + QStringLiteral("[]  - Tarvex"));
    QVERIFY(m_window->loadedfromfile());
    QVERIFY(!m_window->area()->locked());
    QVERIFY(m_host->shown().size() == 1); // the dialog, no notice
}

void TestFileCommands::openedFileSavesByTheWritingRule()
{
    const QString file = path(QStringLiteral("a.txt"));
    writeBytes(file, "a");
    openFile(file);
    trigger("save");
    QCOMPARE(readBytes(file), QByteArray("a\r\n\r\n"));
    QCOMPARE(m_window->title(), file + QStringLiteral("[] -Tarvex"));

    // Save writes even when nothing changed, adding a line break each time.
    trigger("save");
    QCOMPARE(readBytes(file), QByteArray("a\r\n\r\n"));
    openFile(file);
    trigger("save");
    QCOMPARE(readBytes(file), QByteArray("a\r\n\r\n\r\n"));
}

void TestFileCommands::saveOnUntitledAsksForAName()
{
    QTest::keyClicks(m_window->area(), "hello");
    const QString file = path(QStringLiteral("new.txt"));
    m_host->answerSaveFile(file);
    QTest::keyClick(m_window->area(), Qt::Key_S, Qt::ControlModifier);

    const FakeHost::Shown dialog = m_host->lastShown();
    QCOMPARE(dialog.kind, FakeHost::Kind::SaveFile);
    QCOMPARE(dialog.title, QStringLiteral("Save As"));
    QCOMPARE(dialog.dialog.defaultExtension, QStringLiteral("txt"));
    QCOMPARE(readBytes(file), QByteArray("hello\r\n"));
    QCOMPARE(m_window->saveme(), file);
    QCOMPARE(m_window->star(), QString());
    QCOMPARE(m_window->title(), file + QStringLiteral("[] -Tarvex"));
    QCOMPARE(QApplication::focusWidget(), m_window->area());
}

void TestFileCommands::cancelledDialogsChangeNothing_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("dialogTitle"); // the dialog says what it does
    QTest::newRow("Open") << "open"
                          << "Open";
    QTest::newRow("Save As") << "saveas"
                             << "Save As";
    QTest::newRow("Insert File") << "mnuinsfile"
                                 << "Insert File";
}

void TestFileCommands::cancelledDialogsChangeNothing()
{
    QFETCH(QString, row);
    QFETCH(QString, dialogTitle);

    const QString file = path(QStringLiteral("kept.txt"));
    writeBytes(file, "kept");
    openFile(file);
    QTest::keyClicks(m_window->area(), "x");
    const QString title = m_window->title();

    if (row == QLatin1String("open"))
        m_host->answerMessage(Host::Button::No); // discard the changes, then cancel the dialog
    if (row == QLatin1String("saveas"))
        m_host->answerSaveFile(std::nullopt);
    else
        m_host->answerOpenFile(std::nullopt);
    m_window->command(row)->trigger();

    QCOMPARE(m_host->lastShown().title, dialogTitle);
    QCOMPARE(m_window->area()->text(), QStringLiteral("xkept\r\n"));
    QCOMPARE(m_window->saveme(), file);
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), title);
    QCOMPARE(readBytes(file), QByteArray("kept"));
}

void TestFileCommands::dialogRemembersTheLastName()
{
    const QString file = path(QStringLiteral("first.txt"));
    writeBytes(file, "1");
    openFile(file);
    m_host->answerSaveFile(std::nullopt);
    trigger("saveas");
    QCOMPARE(m_host->lastShown().dialog.fileName, file);
}

void TestFileCommands::openingAProtectedFileLocksTheArea()
{
    const QString locked = path(QStringLiteral("locked.txt"));
    writeBytes(locked, "\x81qwerty\r");
    m_host->answerOpenFile(locked);
    m_host->answerMessage(Host::Button::Ok);
    trigger("open");

    const FakeHost::Shown notice = m_host->lastShown();
    QCOMPARE(notice.prompt, QStringLiteral("Protected file"));
    QCOMPARE(notice.title, QStringLiteral("Tarvex: Protection"));
    QCOMPARE(notice.icon, Host::Icon::Information);
    QCOMPARE(notice.buttons, Host::Buttons::Ok);
    QVERIFY(m_window->area()->locked());
    QCOMPARE(m_window->area()->text(), QStringLiteral("\u0081qwerty\r\n"));
    QTest::keyClicks(m_window->area(), "typed");
    QCOMPARE(m_window->area()->text(), QStringLiteral("\u0081qwerty\r\n"));

    const QString plain = path(QStringLiteral("plain.txt"));
    writeBytes(plain, "plain");
    openFile(plain);
    QVERIFY(!m_window->area()->locked());
}

void TestFileCommands::openOnModifiedDocument_data()
{
    QTest::addColumn<bool>("titled");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveDialogAnswered"); // for an untitled Yes: a name, or Cancel
    QTest::addColumn<bool>("opens");

    QTest::newRow("titled, Yes saves then opens")
        << true << int(Host::Button::Yes) << false << true;
    QTest::newRow("untitled, Yes, named: saves then opens")
        << false << int(Host::Button::Yes) << true << true;
    QTest::newRow("untitled, Yes, cancelled: nothing opens")
        << false << int(Host::Button::Yes) << false << false;
    QTest::newRow("No discards and opens") << true << int(Host::Button::No) << false << true;
}

void TestFileCommands::openOnModifiedDocument()
{
    QFETCH(bool, titled);
    QFETCH(int, answer);
    QFETCH(bool, saveDialogAnswered);
    QFETCH(bool, opens);

    const QString current = path(QStringLiteral("current.txt"));
    const QString other = path(QStringLiteral("other.txt"));
    writeBytes(other, "other");
    if (titled) {
        writeBytes(current, "old");
        openFile(current);
    }
    QTest::keyClicks(m_window->area(), "new ");
    const QString edited = m_window->area()->text();

    m_host->answerMessage(Host::Button(answer));
    if (!titled && answer == int(Host::Button::Yes))
        m_host->answerSaveFile(saveDialogAnswered ? std::optional<QString>(current) : std::nullopt);
    if (opens)
        m_host->answerOpenFile(other);
    trigger("open");

    const FakeHost::Shown question = m_host->shown().at(titled ? 1 : 0);
    QCOMPARE(question.prompt, QStringLiteral("File not saved. Save it now?"));
    QCOMPARE(question.title, QStringLiteral("Confirm Save"));
    QCOMPARE(question.icon, Host::Icon::Question);
    QCOMPARE(question.buttons, Host::Buttons::YesNo);

    if (answer == int(Host::Button::Yes) && (titled || saveDialogAnswered))
        QCOMPARE(readBytes(current), (edited + QStringLiteral("\r\n")).toLatin1());
    if (opens) {
        QCOMPARE(m_window->area()->text(), QStringLiteral("other\r\n"));
        QCOMPARE(m_window->star(), QString());
        QCOMPARE(m_window->title(), other + QStringLiteral("[]  - Tarvex"));
    } else {
        QCOMPARE(m_window->area()->text(), edited);
        QCOMPARE(m_window->star(), QStringLiteral("*"));
        QCOMPARE(m_window->saveme(), QStringLiteral("Untitled"));
    }
}

void TestFileCommands::insertFileGoesInAtTheCaret()
{
    const QString file = path(QStringLiteral("doc.txt"));
    writeBytes(file, "doc");
    openFile(file);
    const QString part = path(QStringLiteral("part.txt"));
    writeBytes(part, "X");
    m_window->area()->setSelStart(1);
    m_host->answerOpenFile(part);
    trigger("mnuinsfile");

    QCOMPARE(m_window->area()->text(), QStringLiteral("dX\r\noc\r\n"));
    QCOMPARE(m_window->area()->selStart(), 4);
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->saveme(), file);
    QVERIFY(m_window->loadedfromfile());
}

void TestFileCommands::insertFileRunsFromShiftIns()
{
    const QString part = path(QStringLiteral("part.txt"));
    writeBytes(part, "inserted");
    m_host->answerOpenFile(part);
    QTest::keyClick(m_window->area(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(m_window->area()->text(), QStringLiteral("inserted\r\n"));
}

void TestFileCommands::fileSizeReportsTheFileOnDisk()
{
    m_host->answerMessage(Host::Button::Ok);
    trigger("mnufsize");
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Please save file first"));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex: Message"));
    QCOMPARE(m_host->lastShown().icon, Host::Icon::Exclamation);

    const QString file = path(QStringLiteral("sized.txt"));
    writeBytes(file, "12345");
    openFile(file);
    QTest::keyClicks(m_window->area(), "more text that is not saved");
    m_host->answerMessage(Host::Button::Ok);
    QTest::keyClick(m_window->area(), Qt::Key_F12);
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("The file %1 is 5 bytes long").arg(file));
    QCOMPARE(m_host->lastShown().icon, Host::Icon::Information);

    QVERIFY(QFile::remove(file));
    m_host->answerMessage(Host::Button::Ok);
    trigger("mnufsize");
    QVERIFY(m_host->lastShown().prompt.contains(file));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex: Message"));
    QCOMPARE(m_host->lastShown().icon, Host::Icon::Exclamation);
}

void TestFileCommands::failedSaveTellsAndKeepsTheState_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder gone") << "missing-folder/doc.txt" << "The folder does not exist.";
    QTest::newRow("path is a folder") << "a-folder" << "It is a folder, not a file.";
    // A full disk is the file-size limit of saveFailingPartWayKeepsTheOldFile.
    QTest::newRow("a device") << "/dev/full" << "It is a device or pipe, not a file.";
    // Refused at once: writing would hold the window until something reads the pipe.
    QTest::newRow("a pipe") << "a-pipe" << "It is a device or pipe, not a file.";
}

void TestFileCommands::failedSaveTellsAndKeepsTheState()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("a-folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("a-pipe"))).constData(), 0644), 0);
    const QString file = target.startsWith(u'/') ? target : path(target);

    QTest::keyClicks(m_window->area(), "precious");
    m_host->answerSaveFile(file);
    m_host->answerMessage(Host::Button::Ok);
    trigger("saveas");

    const FakeHost::Shown box = m_host->lastShown();
    QVERIFY2(box.prompt.contains(file), qPrintable(box.prompt));
    QVERIFY2(box.prompt.endsWith(reason), qPrintable(box.prompt));
    QCOMPARE(box.title, QStringLiteral("Tarvex: Message"));
    QCOMPARE(box.icon, Host::Icon::Exclamation);
    QCOMPARE(m_window->saveme(), QStringLiteral("Untitled"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[*] Tarvex"));
    QCOMPARE(m_window->area()->text(), QStringLiteral("precious"));
}

void TestFileCommands::saveFailingPartWayKeepsTheOldFile()
{
    const QString file = path(QStringLiteral("old.txt"));
    writeBytes(file, "old contents\r\n");
    openFile(file);
    m_window->area()->setText(QString(2 * 1024 * 1024, u'x'));
    {
        FileSizeLimit limit(64 * 1024);
        m_host->answerMessage(Host::Button::Ok);
        trigger("save");
    }
    QCOMPARE(readBytes(file), QByteArray("old contents\r\n"));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex: Message"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), file + QStringLiteral("[*] Tarvex"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList { QStringLiteral("old.txt") });
}

void TestFileCommands::unreadableFileTellsAndKeepsTheDocument()
{
    QTest::keyClicks(m_window->area(), "mine");
    m_host->answerMessage(Host::Button::No); // do not save first
    m_host->answerOpenFile(m_dir->path()); // a folder
    m_host->answerMessage(Host::Button::Ok);
    trigger("open");
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex: Message"));
    QVERIFY(m_host->lastShown().prompt.contains(m_dir->path()));
    QCOMPARE(m_window->area()->text(), QStringLiteral("mine"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
}

void TestFileCommands::textTheCodePageCannotHoldIsSavedOnlyWhenAllowed()
{
    const QString file = path(QStringLiteral("arrows.txt"));
    writeBytes(file, "old");
    openFile(file);
    m_window->area()->setText(QStringLiteral("a \u2192 b \u2190 c \u20AC"));

    m_host->answerMessage(Host::Button::No);
    trigger("save");
    const FakeHost::Shown question = m_host->lastShown();
    QCOMPARE(question.title, QStringLiteral("Confirm Save"));
    QCOMPARE(question.buttons, Host::Buttons::YesNo);
    QVERIFY2(question.prompt.contains(QStringLiteral("2 character")), qPrintable(question.prompt));
    QVERIFY(question.prompt.contains(QStringLiteral("\u2192\u2190")));
    QCOMPARE(readBytes(file), QByteArray("old"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    m_host->answerMessage(Host::Button::Yes);
    trigger("save");
    QCOMPARE(readBytes(file), QByteArray("a ? b ? c \x80\r\n"));
    QCOMPARE(m_window->star(), QString());
}

void TestFileCommands::binaryFileSurvivesOpenAndSave()
{
    QByteArray bytes;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b) {
            if (b != '\r')
                bytes.append(char(b));
        }
    }
    bytes.append("\r\n");
    const QString file = path(QStringLiteral("binary.bin"));
    writeBytes(file, bytes);
    openFile(file);
    trigger("save");
    QCOMPARE(readBytes(file), bytes + QByteArray("\r\n"));
}

void TestFileCommands::printPrintsTheTextOnlyWhenAsked()
{
    m_window->area()->setText(QStringLiteral("to paper\r\n"));
    m_host->answerPrint(false);
    trigger("mnuprint");
    QCOMPARE(m_host->printedText, QString());

    m_host->answerPrint(true);
    QTest::keyClick(m_window->area(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(m_host->printedText, QStringLiteral("to paper\r\n"));
    QCOMPARE(m_host->printedFont, m_window->area()->font());
}

void TestFileCommands::autoSaveRowDrivesTheTimerAndStatusBar()
{
    QTimer &timer = m_window->findChild<FileCommands *>()->timer();
    QCOMPARE(timer.interval(), 5000);
    QVERIFY(!timer.isActive());
    QVERIFY(m_window->statusText().endsWith(QStringLiteral("Auto Save: False")));
    trigger("mnuautosave");
    QVERIFY(timer.isActive());
    QVERIFY(m_window->command(QStringLiteral("mnuautosave"))->isChecked());
    QVERIFY(m_window->statusText().endsWith(QStringLiteral("Auto Save: True")));
    trigger("mnuautosave");
    QVERIFY(!timer.isActive());
    QVERIFY(m_window->statusText().endsWith(QStringLiteral("Auto Save: False")));
}

void TestFileCommands::autoSaveTickSavesTitledDocument()
{
    const QString file = path(QStringLiteral("auto.txt"));
    writeBytes(file, "v1");
    openFile(file);
    QTest::keyClicks(m_window->area(), "more ");
    m_window->findChild<FileCommands *>()->Timer1_Timer();
    QCOMPARE(readBytes(file), QByteArray("more v1\r\n\r\n"));
    QCOMPARE(m_window->star(), QString());
}

void TestFileCommands::autoSaveTickOnUntitledAsksForAName()
{
    trigger("mnuautosave");
    m_host->answerSaveFile(std::nullopt);
    QTRY_COMPARE_WITH_TIMEOUT(m_host->shown().size(), 1, 7000);
    QCOMPARE(m_host->lastShown().kind, FakeHost::Kind::SaveFile);
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Save As"));
    trigger("mnuautosave");
}

void TestFileCommands::autoSaveTickWhileABoxIsOpenDoesNothing()
{
    // A tick arriving while the Save As dialog of an earlier tick is still open.
    m_host->whileShowing = [this] { m_window->findChild<FileCommands *>()->Timer1_Timer(); };
    m_host->answerSaveFile(std::nullopt);
    m_window->findChild<FileCommands *>()->Timer1_Timer();
    QCOMPARE(m_host->shown().size(), 1);
}

void TestFileCommands::autoSaveAsksAgainOnlyForNewLossyCharacters()
{
    const QString file = path(QStringLiteral("auto.txt"));
    writeBytes(file, "v1");
    openFile(file);
    m_host->forgetShown();
    auto tick = [this] { m_window->findChild<FileCommands *>()->Timer1_Timer(); };

    m_window->area()->setText(QStringLiteral("\u2192"));
    m_host->answerMessage(Host::Button::Yes);
    tick();
    QCOMPARE(readBytes(file), QByteArray("?\r\n"));

    // A character the Yes was not given for: asked about alone, and a No writes nothing.
    m_window->area()->setText(QStringLiteral("\u2192\u2190"));
    m_host->answerMessage(Host::Button::No);
    tick();
    QCOMPARE(m_host->shown().size(), 2);
    QVERIFY2(m_host->lastShown().prompt.contains(QStringLiteral("1 character(s)")),
        qPrintable(m_host->lastShown().prompt));
    QVERIFY(m_host->lastShown().prompt.contains(QStringLiteral(": \u2190\n")));
    QCOMPARE(m_host->lastShown().defaultButton, Host::Button::No);

    // The No stands, without a box on every tick, while no other new character comes.
    tick();
    m_window->area()->setText(QStringLiteral("\u2190\u2192\u2190 more"));
    tick();
    QCOMPARE(m_host->shown().size(), 2);
    QCOMPARE(readBytes(file), QByteArray("?\r\n"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    m_window->area()->setText(QStringLiteral("\u2190\u2192\u0167"));
    m_host->answerMessage(Host::Button::Yes);
    tick();
    QCOMPARE(m_host->shown().size(), 3);
    QVERIFY(m_host->lastShown().prompt.contains(QStringLiteral(": \u2190\u0167\n")));
    QCOMPARE(readBytes(file), QByteArray("???\r\n"));
    QCOMPARE(m_window->star(), QString());
}

void TestFileCommands::autoSaveTellsAFailedWriteOnce()
{
    const QString file = path(QStringLiteral("auto.txt"));
    writeBytes(file, "v1");
    openFile(file);
    m_host->forgetShown();
    m_window->area()->setText(QString(256 * 1024, u'x'));
    auto tickTwiceOnAFullDisk = [this] {
        const FileSizeLimit limit(64 * 1024);
        m_window->findChild<FileCommands *>()->Timer1_Timer();
        m_window->findChild<FileCommands *>()->Timer1_Timer();
    };

    m_host->answerMessage(Host::Button::Ok);
    tickTwiceOnAFullDisk();
    QCOMPARE(m_host->shown().size(), 1);
    QVERIFY2(m_host->lastShown().prompt.contains(QStringLiteral("Auto Save keeps trying")),
        qPrintable(m_host->lastShown().prompt));
    QCOMPARE(readBytes(file), QByteArray("v1"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    // Once a save has gone through, the next failure is told again.
    m_window->findChild<FileCommands *>()->Timer1_Timer();
    QCOMPARE(m_window->star(), QString());
    QTest::keyClicks(m_window->area(), "y");
    m_host->answerMessage(Host::Button::Ok);
    tickTwiceOnAFullDisk();
    QCOMPARE(m_host->shown().size(), 2);

    // So it is after a save by hand, which tells its own failure.
    m_host->answerMessage(Host::Button::Ok);
    m_host->answerMessage(Host::Button::Ok);
    {
        const FileSizeLimit limit(64 * 1024);
        trigger("save");
    }
    tickTwiceOnAFullDisk();
    QCOMPARE(m_host->shown().size(), 4);
    QCOMPARE(m_window->star(), QStringLiteral("*"));
}

void TestFileCommands::bigFileOpensBehindAProgressWindow_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<bool>("opened");

    QTest::newRow("runs to the end") << 1000 << true;
    QTest::newRow("Cancel while reading") << 5 << false;
    QTest::newRow("Cancel while showing") << 40 << false;
}

void TestFileCommands::bigFileOpensBehindAProgressWindow()
{
    QFETCH(int, cancelAt);
    QFETCH(bool, opened);

    const QByteArray bytes = bigFileBytes();
    const QString file = path(QStringLiteral("big.txt"));
    writeBytes(file, bytes);
    // A document with changes and an undo history, kept aside while the file loads.
    QTest::keyClicks(m_window->area(), QStringLiteral("before"));
    trigger("sixteen");
    const QString title = m_window->windowTitle();
    m_host->answerMessage(Host::Button::No); // not saved
    m_host->cancelProgressAt = cancelAt;
    openFile(file);

    QCOMPARE(m_host->progressLabels, QStringList(QStringLiteral("Opening ") + file));
    QVERIFY(!m_host->progressValues.isEmpty());
    QVERIFY(std::is_sorted(m_host->progressValues.cbegin(), m_host->progressValues.cend()));
    QVERIFY(!m_host->isShowingModal());
    QVERIFY(!m_window->findChild<QProgressBar *>(QStringLiteral("loadprogress"))->isVisible());
    EditArea *area = m_window->area();
    if (opened) {
        QVERIFY(m_host->progressValues.size() > 3);
        QVERIFY(m_host->progressValues.constLast() >= 80);
        QCOMPARE(area->text().size(), bytes.size());
        QCOMPARE(m_window->saveme(), file);
        QVERIFY(!m_window->isModified());
        QVERIFY(!area->document()->isUndoAvailable());
        QCOMPARE(area->document()->defaultFont(), area->font());
        QCOMPARE(area->font().pointSizeF(), 16);
        QTRY_VERIFY_WITH_TIMEOUT(area->lineCountSettled(), 30000);
        QCOMPARE(m_window->linecount(), int(bytes.count('\n')) + 1);
        QVERIFY(m_window->statusText().contains(QString::number(m_window->linecount())));
        return;
    }
    QCOMPARE(area->text(), QStringLiteral("before"));
    QCOMPARE(area->toPlainText(), QStringLiteral("before"));
    QCOMPARE(m_window->windowTitle(), title);
    QVERIFY(m_window->isModified());
    QVERIFY(!area->isReadOnly());
    QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(area->text(), QString());
    QTest::keyClicks(area, QStringLiteral("typed"));
    QCOMPARE(area->text(), QStringLiteral("typed"));
}

void TestFileCommands::nothingReachesTheDocumentWhileAFileOpens_data()
{
    QTest::addColumn<QString>("arrival");
    QTest::addColumn<int>("at"); // the progress value it arrives at: reading below 20

    QTest::newRow("Save while showing") << QStringLiteral("save") << 40;
    QTest::newRow("New while showing") << QStringLiteral("new") << 40;
    QTest::newRow("a key while showing") << QStringLiteral("key") << 40;
    QTest::newRow("Timer1 tick while showing") << QStringLiteral("tick") << 40;
    QTest::newRow("Exit while reading") << QStringLiteral("exit") << 5;
    QTest::newRow("close box while showing") << QStringLiteral("close") << 40;
}

void TestFileCommands::nothingReachesTheDocumentWhileAFileOpens()
{
    QFETCH(QString, arrival);
    QFETCH(int, at);

    const QByteArray bytes = bigFileBytes();
    const QString big = path(QStringLiteral("big.txt"));
    writeBytes(big, bytes);
    const QString notes = path(QStringLiteral("notes.txt"));
    writeBytes(notes, "notes");
    openFile(notes);
    EditArea *area = m_window->area();
    QTest::keyClicks(area, QStringLiteral("before"));
    const QString title = m_window->windowTitle();
    bool arrived = false;
    m_host->whileProgressing = [&](int percent) {
        if (arrived || percent < at)
            return;
        arrived = true;
        if (arrival == QLatin1String("key"))
            QTest::keyClicks(area, QStringLiteral("x"));
        else if (arrival == QLatin1String("tick"))
            m_window->findChild<FileCommands *>()->Timer1_Timer();
        else if (arrival == QLatin1String("close"))
            m_window->close();
        else
            trigger(arrival.toLatin1().constData());
    };
    m_host->answerMessage(Host::Button::No); // not saved
    openFile(big);

    QVERIFY(arrived);
    QCOMPARE(readBytes(notes), QByteArray("notes"));
    if (arrival != QLatin1String("exit") && arrival != QLatin1String("close")) {
        QCOMPARE(area->text(), QString::fromLatin1(bytes));
        QCOMPARE(m_window->title(), big + QStringLiteral("[]  - Tarvex"));
        QVERIFY(!m_window->isModified());
        return;
    }
    // The load gave up and the old document is back whole; then comes the usual close.
    QCOMPARE(area->text(), QStringLiteral("beforenotes\r\n"));
    QCOMPARE(m_window->windowTitle(), title);
    QVERIFY(m_window->isModified());
    m_host->answerMessage(Host::Button::No); // stay
    QTRY_COMPARE(m_host->lastShown().prompt,
        QStringLiteral("File not saved. Are you sure you want to exit without saving?"));
    QVERIFY(m_window->isVisible());
    QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(area->text(), QStringLiteral("notes\r\n"));
}

void TestFileCommands::bigInsertRunsBehindAProgressWindow_data()
{
    QTest::addColumn<int>("cancelAt");

    QTest::newRow("runs to the end") << 1000;
    QTest::newRow("Cancel while reading") << 5;
    QTest::newRow("Cancel while showing") << 40;
}

void TestFileCommands::bigInsertRunsBehindAProgressWindow()
{
    QFETCH(int, cancelAt);

    const QByteArray bytes = bigFileBytes();
    const QString big = path(QStringLiteral("big.txt"));
    writeBytes(big, bytes);
    EditArea *area = m_window->area();
    QTest::keyClicks(area, QStringLiteral("before"));
    area->select(1, 3);
    const QString title = m_window->windowTitle();
    m_host->cancelProgressAt = cancelAt;
    m_host->answerOpenFile(big);
    trigger("mnuinsfile");

    QCOMPARE(m_host->progressLabels, QStringList(QStringLiteral("Inserting ") + big));
    QVERIFY(!m_host->isShowingModal());
    QVERIFY(m_window->isModified());
    if (cancelAt > 100) {
        const QString inserted = QString::fromLatin1(bytes);
        QCOMPARE(area->text(), QLatin1Char('b') + inserted + QStringLiteral("re"));
        QCOMPARE(area->selStart(), 1 + inserted.size());
        QCOMPARE(area->selLength(), 0);
        return;
    }
    QCOMPARE(area->text(), QStringLiteral("before"));
    QCOMPARE(area->toPlainText(), QStringLiteral("before"));
    QCOMPARE(area->selStart(), 1);
    QCOMPARE(area->selLength(), 3);
    QCOMPARE(m_window->windowTitle(), title);
    QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(area->text(), QString());
}

void TestFileCommands::fileTooBigForTheMemoryLeftIsRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<qint64>("available");
    QTest::addColumn<QString>("says");

    // 100,000 empty lines: 200 kB to read, some 50 MB to show.
    QTest::newRow("Open, by its lines")
        << QStringLiteral("open") << qint64(10'000'000)
        << QStringLiteral("This file has 100,000 lines and needs about 53 MB of memory; 10 MB "
                          "are available");
    QTest::newRow("Insert File, by its lines")
        << QStringLiteral("mnuinsfile") << qint64(10'000'000)
        << QStringLiteral("This file has 100,000 lines and needs about 54 MB of memory; 10 MB "
                          "are available");
    QTest::newRow("Open, by its size before reading")
        << QStringLiteral("open") << qint64(100'000)
        << QStringLiteral("This file is 200 kB long and needs at least 1 MB of memory; 100 kB "
                          "are available");
}

void TestFileCommands::fileTooBigForTheMemoryLeftIsRefused()
{
    QFETCH(QString, command);
    QFETCH(qint64, available);
    QFETCH(QString, says);

    const QString file = path(QStringLiteral("lines.txt"));
    writeBytes(file, QByteArray("\r\n").repeated(100'000));
    QTest::keyClicks(m_window->area(), QStringLiteral("mine"));
    const QString title = m_window->windowTitle();
    m_host->availableMemory = available;
    if (command == QLatin1String("open"))
        m_host->answerMessage(Host::Button::No); // not saved
    m_host->answerOpenFile(file);
    m_host->answerMessage(Host::Button::Ok);
    trigger(command.toLatin1().constData());

    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex: Message"));
    QVERIFY2(m_host->lastShown().prompt.endsWith(QStringLiteral("\n\n") + says),
        qPrintable(m_host->lastShown().prompt));
    QVERIFY(!m_host->isShowingModal());
    QCOMPARE(m_window->area()->text(), QStringLiteral("mine"));
    QCOMPARE(m_window->windowTitle(), title);
    QVERIFY(m_window->isModified());
}

void TestFileCommands::memoryNeedIsWeighedAgainstWhatIsLeft_data()
{
    QTest::addColumn<qint64>("chars");
    QTest::addColumn<qint64>("lines"); // -1: not read yet
    QTest::addColumn<qint64>("available");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("20,000,000 empty lines, 6 GB left")
        << qint64(40'000'000) << qint64(20'000'000) << qint64(6'000'000'000)
        << QStringLiteral("This file has 20,000,000 lines and needs about 11 GB of memory; 6 GB "
                          "are available");
    QTest::newRow("1,000,000 short lines, 512 MB left")
        << qint64(42'000'000) << qint64(1'000'000) << qint64(512'000'000)
        << QStringLiteral("This file has 1,000,000 lines and needs about 646 MB of memory; 512 "
                          "MB are available");
    QTest::newRow("100 MB of long lines fits in 1 GB")
        << qint64(100'000'000) << qint64(250'000) << qint64(1'000'000'000) << QString();
    QTest::newRow("just enough") << qint64(1000) << qint64(10) << qint64(8200) << QString();
    QTest::newRow("one line, sizes in bytes")
        << qint64(100) << qint64(1) << qint64(500)
        << QStringLiteral("This file has 1 line and needs about 820 bytes of memory; 500 bytes "
                          "are available");
    QTest::newRow("tenths, rounded up and down")
        << qint64(1'000'000) << qint64(1'000) << qint64(3'459'999)
        << QStringLiteral("This file has 1,000 lines and needs about 3.6 MB of memory; 3.4 MB "
                          "are available");
    QTest::newRow("12 GB before reading")
        << qint64(12'000'000'000) << qint64(-1) << qint64(6'450'000'000)
        << QStringLiteral("This file is 12 GB long and needs at least 60 GB of memory; 6.4 GB "
                          "are available");
}

void TestFileCommands::memoryNeedIsWeighedAgainstWhatIsLeft()
{
    QFETCH(qint64, chars);
    QFETCH(qint64, lines);
    QFETCH(qint64, available);
    QFETCH(QString, refusal);

    const std::optional<QString> said = lines < 0
        ? MemoryNeed::refusal(chars, std::nullopt, MemoryNeed::toReadAndShow(chars), available)
        : MemoryNeed::refusal(chars, lines, MemoryNeed::toShow(chars, lines), available);
    QCOMPARE(said.value_or(QString()), refusal);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
