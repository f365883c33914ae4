#include "editor/frmedit.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "readaloud/loquenwindow.h"
#include "readaloud/readaloudcommands.h"
#include "windowtest.h"

#include <QAction>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using WindowTest::readBytes;

class TestReadAloud : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithTheEditorTextAndStartStates();
    void playPauseResume_data();
    void playPauseResume();
    void keysRunTheirRows_data();
    void keysRunTheirRows();
    void reopeningReplacesTheTextWhileSpeakingOrPaused_data();
    void reopeningReplacesTheTextWhileSpeakingOrPaused();
    void newAsksOnlyWhenThereIsText_data();
    void newAsksOnlyWhenThereIsText();
    void loadFollowsTheEditorRules_data();
    void loadFollowsTheEditorRules();
    void loadThenSaveAddsALineBreak();
    void saveAsksAsTheEditorDoesBeforeWritingQuestionMarks_data();
    void saveAsksAsTheEditorDoesBeforeWritingQuestionMarks();
    void cancelledDialogsTouchNoFile();
    void closeAsks_data();
    void closeAsks();
    void aboutAndHelpReplaceTheTextWithoutAsking();
    void engineFailureIsToldOnceAndTheWindowWorksOn();
    void windowOutlivesTheEditor();

private:
    LoquenWindow *loquen() const
    {
        return m_window->findChild<ReadAloudCommands *>()->loquenWindow();
    }
    LoquenWindow *openLoquen();
    FakeSpeechEngine *engine() const { return static_cast<FakeSpeechEngine *>(loquen()->t2s()); }
    QString controlStates() const;
    void step(const QString &control);
    /// A file in the test's folder holding `bytes`.
    QString fileWith(const char *name, const QByteArray &bytes);
    void load(const std::optional<QString> &path);
    void save(const std::optional<QString> &path);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void TestReadAloud::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReadAloud::init()
{
    m_host = new FakeHost;
    m_dir = new QTemporaryDir;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestReadAloud::cleanup()
{
    // The read-aloud window is nobody's child; it goes before the host it talks through.
    delete loquen();
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    delete m_dir;
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<LoquenWindow *>(w), "a read-aloud window was left behind");
}

LoquenWindow *TestReadAloud::openLoquen()
{
    m_window->command(QStringLiteral("mnuloquen"))->trigger();
    LoquenWindow *window = loquen();
    if (window && !QTest::qWaitForWindowActive(window))
        return nullptr;
    return window;
}

// Pause and Resume, button then row, as "+" for enabled and "-" for disabled.
QString TestReadAloud::controlStates() const
{
    QString states;
    for (const char *name : { "pause", "pauser", "resumer", "mnuresume" }) {
        const QString n = QLatin1String(name);
        const bool on = loquen()->button(n) ? loquen()->button(n)->isEnabled()
                                            : loquen()->command(n)->isEnabled();
        states += on ? u'+' : u'-';
    }
    return states;
}

// A button (play) or a menu row (player) by its object name.
void TestReadAloud::step(const QString &control)
{
    if (QPushButton *b = loquen()->button(control))
        QTest::mouseClick(b, Qt::LeftButton);
    else
        loquen()->command(control)->trigger();
}

QString TestReadAloud::fileWith(const char *name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(QLatin1String(name));
    if (!WindowTest::writeBytes(path, bytes))
        QTest::qFail("cannot write a test file", __FILE__, __LINE__);
    return path;
}

void TestReadAloud::load(const std::optional<QString> &path)
{
    m_host->answerOpenFile(path);
    loquen()->command(QStringLiteral("mnuloadfile"))->trigger();
}

void TestReadAloud::save(const std::optional<QString> &path)
{
    m_host->answerSaveFile(path);
    loquen()->command(QStringLiteral("mnusave"))->trigger();
}

void TestReadAloud::opensWithTheEditorTextAndStartStates()
{
    m_window->area()->setText(QStringLiteral("line one\r\nline two\r\n"));
    LoquenWindow *window = openLoquen();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Loquen"));
    QVERIFY(!window->isModal());
    QCOMPARE(window->Text1()->text(), m_window->area()->text());
    QCOMPARE(controlStates(), QStringLiteral("++-+"));

    QStringList order;
    for (QWidget *w = window->Text1()->nextInFocusChain(); w != window->Text1();
         w = w->nextInFocusChain()) {
        if (auto *b = qobject_cast<QPushButton *>(w))
            order << b->objectName() + u'=' + b->text();
    }
    QCOMPARE(order.join(u' '),
        QStringLiteral(
            "play=Play pause=Pause resumer=Resume loadfile=Load close=Close about=About"));
    QVERIFY(m_host->shown().isEmpty());
}

void TestReadAloud::playPauseResume_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("states");
    QTest::newRow("Play") << "play"
                          << "say:Hi there"
                          << "++--";
    QTest::newRow("Play, Pause") << "play pause"
                                 << "say:Hi there pause"
                                 << "--++";
    QTest::newRow("Play, Pause, Resume") << "play pause resumer"
                                         << "say:Hi there pause resume"
                                         << "++--";
    QTest::newRow("the same by the rows") << "player pauser mnuresume"
                                          << "say:Hi there pause resume"
                                          << "++--";
    QTest::newRow("Resume row before any Play") << "mnuresume"
                                                << "resume"
                                                << "++--";
    QTest::newRow("Pause row at start") << "pauser"
                                        << "pause"
                                        << "--++";
    QTest::newRow("Play while paused speaks again") << "play pause play"
                                                    << "say:Hi there pause say:Hi there"
                                                    << "++--";
}

void TestReadAloud::playPauseResume()
{
    QFETCH(QString, steps);
    QFETCH(QString, calls);
    QFETCH(QString, states);
    QVERIFY(openLoquen());
    QTest::keyClicks(loquen()->Text1(), QStringLiteral("Hi there"));
    for (const QString &control : steps.split(u' '))
        step(control);
    QCOMPARE(engine()->calls.join(u' '), calls);
    QCOMPARE(controlStates(), states);
}

void TestReadAloud::keysRunTheirRows_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("calls");
    const int none = -1;
    QTest::newRow("F5 plays") << QKeySequence(Qt::Key_F5) << none << "say:abc";
    QTest::newRow("Ctrl+P pauses") << QKeySequence(Qt::CTRL | Qt::Key_P) << none << "pause";
    QTest::newRow("Ctrl+R resumes") << QKeySequence(Qt::CTRL | Qt::Key_R) << none << "resume";
    QTest::newRow("Ctrl+L loads") << QKeySequence(Qt::CTRL | Qt::Key_L)
                                  << int(FakeHost::Kind::OpenFile) << "";
    QTest::newRow("Ctrl+S saves") << QKeySequence(Qt::CTRL | Qt::Key_S)
                                  << int(FakeHost::Kind::SaveFile) << "";
    QTest::newRow("Ctrl+N asks to clear")
        << QKeySequence(Qt::CTRL | Qt::Key_N) << int(FakeHost::Kind::Message) << "";
    QTest::newRow("Ctrl+E asks to exit")
        << QKeySequence(Qt::CTRL | Qt::Key_E) << int(FakeHost::Kind::Message) << "";
}

void TestReadAloud::keysRunTheirRows()
{
    QFETCH(QKeySequence, key);
    QFETCH(int, box);
    QFETCH(QString, calls);
    m_window->area()->setText(QStringLiteral("abc"));
    QVERIFY(openLoquen());
    if (box == int(FakeHost::Kind::Message))
        m_host->answerMessage(Host::Button::No);
    else if (box == int(FakeHost::Kind::OpenFile))
        m_host->answerOpenFile(std::nullopt);
    else if (box == int(FakeHost::Kind::SaveFile))
        m_host->answerSaveFile(std::nullopt);
    QTest::keySequence(loquen(), key);
    QCOMPARE(engine()->calls.join(u' '), calls);
    QCOMPARE(m_host->shown().size(), box < 0 ? 0 : 1);
    if (box >= 0)
        QCOMPARE(int(m_host->lastShown().kind), box);
}

void TestReadAloud::reopeningReplacesTheTextWhileSpeakingOrPaused_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("states");
    QTest::newRow("speaking") << "play"
                              << "++--";
    QTest::newRow("paused") << "play pause"
                            << "--++";
}

void TestReadAloud::reopeningReplacesTheTextWhileSpeakingOrPaused()
{
    QFETCH(QString, steps);
    QFETCH(QString, states);
    m_window->area()->setText(QStringLiteral("first"));
    LoquenWindow *first = openLoquen();
    QVERIFY(first);
    for (const QString &control : steps.split(u' '))
        step(control);
    const QStringList calls = engine()->calls;
    m_window->area()->setText(QStringLiteral("second"));
    QCOMPARE(openLoquen(), first);
    QCOMPARE(first->Text1()->text(), QStringLiteral("second"));
    QCOMPARE(engine()->calls, calls);
    QCOMPARE(controlStates(), states);
    QVERIFY(m_host->shown().isEmpty());
}

void TestReadAloud::newAsksOnlyWhenThereIsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty box: no question") << "" << -1 << "";
    QTest::newRow("Yes clears") << "words" << int(Host::Button::Yes) << "";
    QTest::newRow("No keeps") << "words" << int(Host::Button::No) << "words";
}

void TestReadAloud::newAsksOnlyWhenThereIsText()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(QString, after);
    m_window->area()->setText(text);
    QVERIFY(openLoquen());
    if (answer >= 0)
        m_host->answerMessage(Host::Button(answer));
    loquen()->command(QStringLiteral("mnunew"))->trigger();
    QCOMPARE(loquen()->Text1()->text(), after);
    QCOMPARE(m_host->shown().size(), answer >= 0 ? 1 : 0);
    if (answer >= 0) {
        QCOMPARE(m_host->lastShown().prompt,
            QStringLiteral("Are you sure you want to clear this window?"));
        QCOMPARE(m_host->lastShown().title, QStringLiteral("Confirmation"));
        QCOMPARE(m_host->lastShown().icon, Host::Icon::Question);
    }
}

void TestReadAloud::loadFollowsTheEditorRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("no final line break") << QByteArray("a") << "a\r\n";
    QTest::newRow("bare CR ends a line") << QByteArray("a\rb\r\n") << "a\r\nb\r\n";
    QTest::newRow("bare LF stays in its line") << QByteArray("a\nb") << "a\nb\r\n";
    QTest::newRow("Windows-1252") << QByteArray("\x80 caf\xe9") << "\u20ac caf\u00e9\r\n";
    QTest::newRow("empty file") << QByteArray() << "";
}

void TestReadAloud::loadFollowsTheEditorRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString file = fileWith("in.txt", bytes);
    m_window->area()->setText(QStringLiteral("before"));
    QVERIFY(openLoquen());
    m_host->answerOpenFile(file);
    QTest::mouseClick(loquen()->button(QStringLiteral("loadfile")), Qt::LeftButton);
    QCOMPARE(loquen()->Text1()->text(), text);
    QVERIFY(loquen()->Text1()->hasFocus());
    // Failing to read says nothing and keeps the text.
    load(m_dir->filePath(QStringLiteral("missing.txt")));
    QCOMPARE(loquen()->Text1()->text(), text);
    QCOMPARE(m_host->shown().size(), 2);
}

void TestReadAloud::loadThenSaveAddsALineBreak()
{
    const QString file = fileWith("a.txt", "a\xe9");
    QVERIFY(openLoquen());
    load(file);
    save(file);
    QCOMPARE(readBytes(file), QByteArray("a\xe9\r\n\r\n"));
    QCOMPARE(m_host->lastShown().dialog.fileName, file);

    // A save that fails says so and keeps the text.
    m_host->answerSaveFile(m_dir->path());
    m_host->answerMessage(Host::Button::Ok);
    loquen()->command(QStringLiteral("mnusave"))->trigger();
    QVERIFY(m_host->lastShown().prompt.startsWith(QStringLiteral("Could not save the file ")));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Loquen"));
    QCOMPARE(loquen()->Text1()->text(), QStringLiteral("a\u00e9\r\n"));
}

void TestReadAloud::saveAsksAsTheEditorDoesBeforeWritingQuestionMarks_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No writes nothing") << false;
    QTest::newRow("Yes writes \"?\"") << true;
}

void TestReadAloud::saveAsksAsTheEditorDoesBeforeWritingQuestionMarks()
{
    QFETCH(bool, yes);
    const QString text = QStringLiteral("a \u2192 b");
    m_window->area()->setText(text);
    m_host->answerSaveFile(m_dir->filePath(QStringLiteral("editor.txt")));
    m_host->answerMessage(Host::Button::No);
    m_window->command(QStringLiteral("saveas"))->trigger();
    const FakeHost::Shown editorQuestion = m_host->lastShown();

    QVERIFY(openLoquen());
    const QString file = m_dir->filePath(QStringLiteral("spoken.txt"));
    m_host->answerSaveFile(file);
    m_host->answerMessage(yes ? Host::Button::Yes : Host::Button::No);
    loquen()->command(QStringLiteral("mnusave"))->trigger();

    const FakeHost::Shown question = m_host->lastShown();
    QCOMPARE(question.kind, FakeHost::Kind::Message);
    QCOMPARE(question.prompt, editorQuestion.prompt);
    QCOMPARE(question.title, QStringLiteral("Confirm Save"));
    QCOMPARE(question.icon, editorQuestion.icon);
    QCOMPARE(question.buttons, Host::Buttons::YesNo);
    QCOMPARE(question.defaultButton, Host::Button::No);
    QCOMPARE(readBytes(file), yes ? QByteArray("a ? b\r\n") : QByteArray("<unreadable>"));
    QCOMPARE(loquen()->Text1()->text(), text);
}

// The one dialog remembers the last file, but a cancel must not fall back on it.
void TestReadAloud::cancelledDialogsTouchNoFile()
{
    const QString file = fileWith("kept.txt", "kept");
    QVERIFY(openLoquen());
    load(file);
    QVERIFY(WindowTest::writeBytes(file, "changed on disk"));
    loquen()->Text1()->setText(QStringLiteral("typed"));

    save(std::nullopt);
    load(std::nullopt);
    QCOMPARE(m_host->lastShown().dialog.fileName, file);
    QCOMPARE(readBytes(file), QByteArray("changed on disk"));
    QCOMPARE(loquen()->Text1()->text(), QStringLiteral("typed"));
    QVERIFY(loquen()->Text1()->hasFocus());
}

void TestReadAloud::closeAsks_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("answer");
    QTest::newRow("Close, Yes") << "close" << int(Host::Button::Yes);
    QTest::newRow("Close, No") << "close" << int(Host::Button::No);
    QTest::newRow("Exit row, Yes") << "exit" << int(Host::Button::Yes);
}

void TestReadAloud::closeAsks()
{
    QFETCH(QString, control);
    QFETCH(int, answer);
    QVERIFY(openLoquen());
    m_host->answerMessage(Host::Button(answer));
    step(control);
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Are you sure you wish to exit Loquen?"));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Confirm exit"));
    QCOMPARE(m_host->lastShown().buttons, Host::Buttons::YesNo);
    if (Host::Button(answer) == Host::Button::Yes) {
        QTRY_VERIFY(!loquen());
    } else {
        QVERIFY(loquen()->isVisible());
        QVERIFY(loquen()->Text1()->hasFocus());
    }
}

void TestReadAloud::aboutAndHelpReplaceTheTextWithoutAsking()
{
    m_window->area()->setText(QStringLiteral("old"));
    QVERIFY(openLoquen());
    QTest::mouseClick(loquen()->button(QStringLiteral("about")), Qt::LeftButton);
    const QString about = loquen()->Text1()->text();
    QVERIFY(about.startsWith(QStringLiteral("Loquen v 1.0.0\r\n\r\n    This freeware speaks aloud "
                                            "any text that is entered in the box. ")));
    loquen()->command(QStringLiteral("help"))->trigger();
    const QString help = loquen()->Text1()->text();
    QVERIFY(help.startsWith(QStringLiteral("Loquen v 1.0.0\r\n\r\n   Enter text or load files "
                                           "into the box, and then press Play to get the audio "
                                           "output of the text.\r\n\r\n   ")));
    for (const QString &text : { about, help }) {
        QVERIFY(text.contains(QStringLiteral("issue tracker")));
        QVERIFY(!text.contains(u'@'));
    }
    loquen()->command(QStringLiteral("mnuabout"))->trigger();
    QCOMPARE(loquen()->Text1()->text(), about);
    QVERIFY(m_host->shown().isEmpty());
}

void TestReadAloud::engineFailureIsToldOnceAndTheWindowWorksOn()
{
    QVERIFY(openLoquen());
    engine()->failure = QStringLiteral("No audio device available");
    m_host->answerMessage(Host::Button::Ok);
    for (const char *control : { "play", "pause", "resumer", "player" })
        step(QLatin1String(control));
    QCOMPARE(m_host->shown().size(), 1);
    QVERIFY(m_host->lastShown().prompt.contains(QStringLiteral("No audio device available")));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Loquen"));
    QCOMPARE(controlStates(), QStringLiteral("++--"));
    QTest::keyClicks(loquen()->Text1(), QStringLiteral("still typing"));
    QCOMPARE(loquen()->Text1()->text(), QStringLiteral("still typing"));
}

// Run in the event loop, where closing the last window ends the program.
void TestReadAloud::windowOutlivesTheEditor()
{
    QVERIFY(openLoquen());
    bool openAfterEditor = false;
    QTimer::singleShot(0, m_window, &QWidget::close);
    QTimer::singleShot(300, loquen(), [this, &openAfterEditor] {
        openAfterEditor = loquen()->isVisible();
        loquen()->close(); // the frame's close box: no question
    });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(openAfterEditor);
    QVERIFY(m_host->shown().isEmpty());
}

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
