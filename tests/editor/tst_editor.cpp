#include "editor/documenttitle.h"
#include "editor/frmedit.h"
#include "editor/statustext.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QAction>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

class TestEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsUntitledCleanAndFocused();
    void statusBarShowsZeroLinesUntilFirstChange();
    void typingMarksModifiedWithTheEditedSuffix();
    void windowShowsTitlesExactly_data();
    void windowShowsTitlesExactly();
    void titleSuffixes_data();
    void titleSuffixes();
    void statusBarText_data();
    void statusBarText();
    void typingThenDeletingStaysModified();
    void newOnCleanDocumentAsksNothing();
    void newOnModifiedDocumentAnsweredNoChangesNothing();
    void newOnModifiedDocumentAnsweredYesStartsAfresh();
    void newUnlocksTheArea();
    void newRunsFromItsShortcutInsideTheArea();
    void closeAsksOnlyWhenModified_data();
    void closeAsksOnlyWhenModified();
    void exitRowClosesThroughTheSameQuestion();
    void loadedFromFileClearsWhenTheAppendedBreakGoes();

private:
    void typeInArea(const QString &text);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

void TestEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestEditor::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestEditor::cleanup()
{
    // Whatever a test left modified must not ask on the way out.
    WindowTest::close(m_window);
    m_window = nullptr;
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    m_host = nullptr;
}

void TestEditor::typeInArea(const QString &text)
{
    QTest::keyClicks(m_window->area(), text);
}

void TestEditor::startsUntitledCleanAndFocused()
{
    QCOMPARE(m_window->saveme(), QStringLiteral("Untitled"));
    QCOMPARE(m_window->star(), QString());
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[] -Tarvex"));
    QCOMPARE(m_window->windowHandle()->title(), QStringLiteral("Untitled[] -Tarvex"));
    QCOMPARE(m_window->area()->text(), QString());
    QCOMPARE(QApplication::focusWidget(), m_window->area());
    QVERIFY(!m_window->area()->locked());
    QVERIFY(!m_window->loadedfromfile());
    QCOMPARE(m_window->area()->font().family(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(m_window->area()->font().pointSizeF(), 9.75);
}

void TestEditor::statusBarShowsZeroLinesUntilFirstChange()
{
    QCOMPARE(m_window->statusText(),
        QStringLiteral("Font size 9.75  |  Font name Comic Sans MS  |   Number of lines:  0"
                       "  |   Auto Save: False"));
    typeInArea(QStringLiteral("x"));
    QCOMPARE(m_window->linecount(), 1);
    QCOMPARE(m_window->statusText(),
        QStringLiteral("Font size 9.75  |  Font name Comic Sans MS  |   Number of lines:  1"
                       "  |   Auto Save: False"));
    QTest::keyClick(m_window->area(), Qt::Key_Return);
    QTest::keyClick(m_window->area(), Qt::Key_Return);
    QCOMPARE(m_window->linecount(), 3);
    QVERIFY(m_window->statusText().contains(QStringLiteral("Number of lines:  3  |")));
}

void TestEditor::typingMarksModifiedWithTheEditedSuffix()
{
    typeInArea(QStringLiteral("a"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[*] Tarvex"));
    QCOMPARE(m_window->windowHandle()->title(), QStringLiteral("Untitled[*] Tarvex"));
}

void TestEditor::windowShowsTitlesExactly_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("placeholder-like") << QStringLiteral("Untitled[*] Tarvex");
    QTest::newRow("two placeholders") << QStringLiteral("/tmp/[*][*]/a.txt[*] Tarvex");
    QTest::newRow("no placeholder") << QStringLiteral("/docs/a.txt[]  - Tarvex");
}

void TestEditor::windowShowsTitlesExactly()
{
    QFETCH(QString, title);
    m_window->setWindowTitle(windowTitleFor(title));
    QCOMPARE(m_window->windowHandle()->title(), title);
}

void TestEditor::titleSuffixes_data()
{
    QTest::addColumn<QString>("saveme");
    QTest::addColumn<QString>("star");
    QTest::addColumn<int>("suffix");
    QTest::addColumn<QString>("title");

    QTest::newRow("start-up") << "Untitled"
                              << "" << int(TitleSuffix::StartUp) << "Untitled[] -Tarvex";
    QTest::newRow("edited") << "Untitled"
                            << "*" << int(TitleSuffix::Edited) << "Untitled[*] Tarvex";
    QTest::newRow("new") << "Untitled"
                         << "" << int(TitleSuffix::Edited) << "Untitled[] Tarvex";
    QTest::newRow("opened") << "/docs/a.txt"
                            << "" << int(TitleSuffix::Opened) << "/docs/a.txt[]  - Tarvex";
    QTest::newRow("saved") << "/docs/a.txt"
                           << "" << int(TitleSuffix::StartUp) << "/docs/a.txt[] -Tarvex";
}

void TestEditor::titleSuffixes()
{
    QFETCH(QString, saveme);
    QFETCH(QString, star);
    QFETCH(int, suffix);
    QFETCH(QString, title);
    QCOMPARE(documentTitle(saveme, star, TitleSuffix(suffix)), title);
}

void TestEditor::statusBarText_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("autoSave");
    QTest::addColumn<QString>("text");

    QTest::newRow("start-up") << 9.75 << "Comic Sans MS" << 0 << false
                              << "Font size 9.75  |  Font name Comic Sans MS  |   Number of "
                                 "lines:  0  |   Auto Save: False";
    QTest::newRow("whole size, auto save") << 12.0 << "Arial" << 1234 << true
                                           << "Font size 12  |  Font name Arial  |   Number of "
                                              "lines:  1234  |   Auto Save: True";
    QTest::newRow("negative has no sign blank") << 8.0 << "X" << -1 << false
                                                << "Font size 8  |  Font name X  |   Number of "
                                                   "lines: -1  |   Auto Save: False";
}

void TestEditor::statusBarText()
{
    QFETCH(double, size);
    QFETCH(QString, font);
    QFETCH(int, lines);
    QFETCH(bool, autoSave);
    QFETCH(QString, text);
    QCOMPARE(::statusBarText(size, font, lines, autoSave), text);
}

void TestEditor::typingThenDeletingStaysModified()
{
    typeInArea(QStringLiteral("a"));
    QTest::keyClick(m_window->area(), Qt::Key_Backspace);
    QCOMPARE(m_window->area()->text(), QString());
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    m_host->answerMessage(Host::Button::No);
    m_window->command(QStringLiteral("new"))->trigger();
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("File not saved. Proceed?"));
}

void TestEditor::newOnCleanDocumentAsksNothing()
{
    m_window->command(QStringLiteral("new"))->trigger();
    QVERIFY(m_host->shown().isEmpty());
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[] Tarvex"));
    QCOMPARE(m_window->windowHandle()->title(), QStringLiteral("Untitled[] Tarvex"));
    QCOMPARE(m_window->star(), QString());
}

void TestEditor::newOnModifiedDocumentAnsweredNoChangesNothing()
{
    typeInArea(QStringLiteral("draft"));
    m_window->setPath(QStringLiteral("/docs/draft.txt"));
    m_window->setTitle(TitleSuffix::Edited);
    m_window->menuBar()->setFocus();

    m_host->answerMessage(Host::Button::No);
    m_window->command(QStringLiteral("new"))->trigger();

    const FakeHost::Shown box = m_host->lastShown();
    QCOMPARE(box.prompt, QStringLiteral("File not saved. Proceed?"));
    QCOMPARE(box.title, QStringLiteral("Confirm save"));
    QCOMPARE(box.icon, Host::Icon::Question);
    QCOMPARE(box.buttons, Host::Buttons::YesNo);
    QCOMPARE(box.defaultButton, std::optional<Host::Button>(Host::Button::No)); // Enter keeps it
    QCOMPARE(m_window->area()->text(), QStringLiteral("draft"));
    QCOMPARE(m_window->saveme(), QStringLiteral("/docs/draft.txt"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), QStringLiteral("/docs/draft.txt[*] Tarvex"));
    QCOMPARE(QApplication::focusWidget(), m_window->area());
}

void TestEditor::newOnModifiedDocumentAnsweredYesStartsAfresh()
{
    typeInArea(QStringLiteral("draft"));
    m_window->setPath(QStringLiteral("/docs/draft.txt"));
    m_host->answerMessage(Host::Button::Yes);
    m_window->command(QStringLiteral("new"))->trigger();

    QCOMPARE(m_window->area()->text(), QString());
    QCOMPARE(m_window->saveme(), QStringLiteral("Untitled"));
    QCOMPARE(m_window->star(), QString());
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[] Tarvex"));
    // A fresh document has no history to undo into.
    QTest::keyClick(m_window->area(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->area()->text(), QString());
}

void TestEditor::newUnlocksTheArea()
{
    m_window->area()->setText(QStringLiteral("\u0081protected"));
    m_window->setModified(false);
    m_window->area()->setLocked(true);
    m_window->command(QStringLiteral("new"))->trigger();
    QVERIFY(!m_window->area()->locked());
    typeInArea(QStringLiteral("ok"));
    QCOMPARE(m_window->area()->text(), QStringLiteral("ok"));
}

void TestEditor::newRunsFromItsShortcutInsideTheArea()
{
    typeInArea(QStringLiteral("text"));
    m_host->answerMessage(Host::Button::Yes);
    QTest::keyClick(m_window->area(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m_host->shown().size(), 1);
    QCOMPARE(m_window->area()->text(), QString());
}

void TestEditor::closeAsksOnlyWhenModified_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");

    QTest::newRow("clean closes without asking") << false << -1 << true;
    QTest::newRow("modified, Yes closes") << true << int(Host::Button::Yes) << true;
    QTest::newRow("modified, No stays") << true << int(Host::Button::No) << false;
}

void TestEditor::closeAsksOnlyWhenModified()
{
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, closes);

    if (modified)
        typeInArea(QStringLiteral("unsaved"));
    if (answer >= 0)
        m_host->answerMessage(Host::Button(answer));
    QSignalSpy secondary(m_window, &frmedit::closingSecondaryWindows);

    QCOMPARE(m_window->close(), closes);
    QCOMPARE(m_window->isVisible(), !closes);
    // The secondary windows close whatever the answer.
    QCOMPARE(secondary.count(), 1);
    if (modified) {
        const FakeHost::Shown box = m_host->lastShown();
        QCOMPARE(box.prompt,
            QStringLiteral("File not saved. Are you sure you want to exit without saving?"));
        QCOMPARE(box.title, QStringLiteral("Confirm save"));
        QCOMPARE(box.icon, Host::Icon::Question);
        QCOMPARE(box.buttons, Host::Buttons::YesNo);
        QCOMPARE(box.defaultButton, std::optional<Host::Button>(Host::Button::No));
        QCOMPARE(m_window->area()->text(), QStringLiteral("unsaved"));
        QCOMPARE(m_window->star(), QStringLiteral("*"));
    } else {
        QVERIFY(m_host->shown().isEmpty());
    }
}

void TestEditor::exitRowClosesThroughTheSameQuestion()
{
    typeInArea(QStringLiteral("x"));
    m_host->answerMessage(Host::Button::No);
    QTest::keyClick(m_window->area(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(m_host->shown().size(), 1);
    QVERIFY(m_window->isVisible());

    m_host->answerMessage(Host::Button::Yes);
    m_window->command(QStringLiteral("exit"))->trigger();
    QVERIFY(!m_window->isVisible());
}

void TestEditor::loadedFromFileClearsWhenTheAppendedBreakGoes()
{
    m_window->area()->setText(QStringLiteral("a\r\n"));
    m_window->setLoadedfromfile(true);
    m_window->area()->setSelStart(3);
    typeInArea(QStringLiteral("b"));
    QVERIFY(!m_window->loadedfromfile());

    m_window->area()->setText(QStringLiteral("a\r\n"));
    m_window->setLoadedfromfile(true);
    m_window->area()->setSelStart(0);
    typeInArea(QStringLiteral("b")); // the break at the end is still there
    QVERIFY(m_window->loadedfromfile());
    m_host->answerMessage(Host::Button::Yes);
    m_window->command(QStringLiteral("new"))->trigger();
    QVERIFY(!m_window->loadedfromfile());
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
