#include "editor/filecommands.h"
#include "editor/frmedit.h"
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

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QVERIFY(WindowTest::writeBytes(path, bytes));
}

using WindowTest::readBytes;

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
    void autoSaveAsksOnceAboutUnencodableText();
    void bigFileOpensBehindAProgressWindow_data();
    void bigFileOpensBehindAProgressWindow();

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
    QTest::newRow("folder gone") << "missing-folder/doc.txt";
    QTest::newRow("path is a folder") << "a-folder";
    QTest::newRow("disk full") << "/dev/full";
}

void TestFileCommands::failedSaveTellsAndKeepsTheState()
{
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("a-folder")));
    const QString file = target.startsWith(u'/') ? target : path(target);

    QTest::keyClicks(m_window->area(), "precious");
    m_host->answerSaveFile(file);
    m_host->answerMessage(Host::Button::Ok);
    trigger("saveas");

    const FakeHost::Shown box = m_host->lastShown();
    QVERIFY2(box.prompt.contains(file), qPrintable(box.prompt));
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
    QTimer &timer = m_window->fileCommands()->timer();
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
    m_window->fileCommands()->Timer1_Timer();
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
    m_host->whileShowing = [this] { m_window->fileCommands()->Timer1_Timer(); };
    m_host->answerSaveFile(std::nullopt);
    m_window->fileCommands()->Timer1_Timer();
    QCOMPARE(m_host->shown().size(), 1);
}

void TestFileCommands::autoSaveAsksOnceAboutUnencodableText()
{
    const QString file = path(QStringLiteral("auto.txt"));
    writeBytes(file, "v1");
    openFile(file);
    m_window->area()->setText(QStringLiteral("\u2192"));
    m_host->answerMessage(Host::Button::No);
    m_window->fileCommands()->Timer1_Timer();
    m_window->fileCommands()->Timer1_Timer();
    m_window->fileCommands()->Timer1_Timer();
    QCOMPARE(m_host->shown().size(), 2); // the open dialog and one question
    QCOMPARE(readBytes(file), QByteArray("v1"));
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

    QByteArray bytes;
    for (int i = 0; bytes.size() < 6 * 1024 * 1024; ++i)
        bytes += "a line of a big file, number " + QByteArray::number(i) + "\r\n";
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

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
