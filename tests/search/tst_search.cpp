#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "search/searchprimitives.h"
#include "windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

using Search::Case;

namespace {

// The object name of the control that has the keyboard, empty while none has.
QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchDownFindsFromItsStart_data();
    void searchDownFindsFromItsStart();
    void searchUpFindsOnlyWhatEndsBeforeTheCaret_data();
    void searchUpFindsOnlyWhatEndsBeforeTheCaret();
    void replaceAllReplacesLeftToRightWithoutOverlap_data();
    void replaceAllReplacesLeftToRightWithoutOverlap();
    void lowerCaseComparisonKeepsPositions();

    void findThenFindNextSelectsTheWordItself();
    void typingAfterFindGoesIntoTheFindBox_data();
    void typingAfterFindGoesIntoTheFindBox();
    void keysInTheFindWindow_data();
    void keysInTheFindWindow();
    void tabGoesThroughWhatTheModeShows_data();
    void tabGoesThroughWhatTheModeShows();
    void hiddenWindowComesBackWhereItWas();
    void findNextWalksOverlappingMatchesThenStartsAgain();
    void findNextWithEmptyFindBoxRunsFind();
    void upwardFindNextFromTheStartSaysComplete();
    void matchCaseBothWays_data();
    void matchCaseBothWays();
    void longSearchTextSelectsAThousandCharacters();
    void windowFindNextInFindOnlyModeHides();
    void windowFindNextInReplaceModeStaysOpen();
    void everyFindNextAddsToTheHistory();
    void windowFindNextWithEmptyBoxSaysComplete();
    void replaceReplacesTheSelectionThenFindsNext();
    void replaceAfterSearchCompleteSaysSoAndHides();
    void replaceAllIgnoringCase();
    void replaceAllWithEmptyFindBoxChangesNothing();
    void enablingRuleFollowsTheFindBox();
    void findAfterFindAndReplaceStaysInReplaceMode();
    void clicksTalkToTheShownWindow();
    void closeBoxDestroysAndNextUseStartsAfresh();
    void matchBeyondFortyThousand();

private:
    FindReplaceWindow *window() const
    {
        return m_window->findChild<SearchCommands *>()->existingFindWindow();
    }
    void trigger(const char *row) { m_window->command(QLatin1String(row))->trigger(); }

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

void TestSearch::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestSearch::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestSearch::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<FindReplaceWindow *>(w), "a find window outlived its window");
}

void TestSearch::searchDownFindsFromItsStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found");

    QTest::newRow("first") << "a cat sat"
                           << "at" << 1 << true << 4;
    QTest::newRow("at start, inclusive") << "a cat sat"
                                         << "at" << 4 << true << 4;
    QTest::newRow("after the first") << "a cat sat"
                                     << "at" << 5 << true << 8;
    QTest::newRow("none left") << "a cat sat"
                               << "at" << 9 << true << 0;
    QTest::newRow("start beyond the end") << "abc"
                                          << "c" << 4 << true << 0;
    QTest::newRow("inside a word") << "bowl"
                                   << "owl" << 1 << true << 2;
    QTest::newRow("case differs, Match Case") << "OWL"
                                              << "owl" << 1 << true << 0;
    QTest::newRow("case differs, no Match Case") << "OWL"
                                                 << "owl" << 1 << false << 1;
    QTest::newRow("empty find") << "abc"
                                << "" << 1 << false << 0;
    QTest::newRow("across CR LF") << "a\r\nb"
                                  << "\r\nb" << 1 << true << 2;
}

void TestSearch::searchDownFindsFromItsStart()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(int, start);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    QCOMPARE(Search::searchDown(text, find, start, matchCase ? Case::Sensitive : Case::Insensitive),
        found);
}

void TestSearch::searchUpFindsOnlyWhatEndsBeforeTheCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found");

    QTest::newRow("last before the caret") << "ab ab ab"
                                           << "ab" << 8 << true << 7;
    QTest::newRow("straddling the caret is not found") << "ab ab ab"
                                                       << "ab" << 7 << true << 4;
    QTest::newRow("ending at the caret is found") << "ab ab"
                                                  << "ab" << 5 << true << 4;
    QTest::newRow("caret at 0") << "ab"
                                << "ab" << 0 << true << 0;
    QTest::newRow("no Match Case") << "AB ab"
                                   << "ab" << 2 << false << 1;
    QTest::newRow("empty find") << "abc"
                                << "" << 3 << true << 0;
}

void TestSearch::searchUpFindsOnlyWhatEndsBeforeTheCaret()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(int, caret);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    QCOMPARE(Search::searchUp(text, find, caret, matchCase ? Case::Sensitive : Case::Insensitive),
        found);
}

void TestSearch::replaceAllReplacesLeftToRightWithoutOverlap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");

    QTest::newRow("ignoring case") << "Cat CAT cat Catalog"
                                   << "cat"
                                   << "dog" << false << "dog dog dog dogalog" << 4;
    QTest::newRow("matching case") << "Cat CAT cat Catalog"
                                   << "cat"
                                   << "dog" << true << "Cat CAT dog Catalog" << 1;
    QTest::newRow("no overlaps") << "aaaa"
                                 << "aa"
                                 << "b" << true << "bb" << 2;
    QTest::newRow("replacement holding the find text") << "ab"
                                                       << "a"
                                                       << "aa" << true << "aab" << 1;
    QTest::newRow("empty find") << "abc"
                                << ""
                                << "x" << true << "abc" << 0;
    QTest::newRow("nothing found") << "abc"
                                   << "z"
                                   << "x" << true << "abc" << 0;
    QTest::newRow("replacement as typed") << "ABC"
                                          << "b"
                                          << "xY" << false << "AxYC" << 1;
}

void TestSearch::replaceAllReplacesLeftToRightWithoutOverlap()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, result);
    QFETCH(int, count);
    qsizetype replaced = -1;
    QCOMPARE(Search::replaceAll(text, find, replacement,
                 matchCase ? Case::Sensitive : Case::Insensitive, &replaced),
        result);
    QCOMPARE(replaced, count);
}

void TestSearch::lowerCaseComparisonKeepsPositions()
{
    // "İ" lower-cases to two characters in the full mapping; one for one here.
    const QString text = QStringLiteral("\u0130x STRASSE \u00C9t\u00E9");
    QCOMPARE(Search::lowerSameLength(text).size(), text.size());
    QCOMPARE(Search::searchDown(text, QStringLiteral("x"), 1, Case::Insensitive), 2);
    QCOMPARE(Search::searchDown(text, QStringLiteral("\u00E9T\u00C9"), 1, Case::Insensitive), 12);
}

void TestSearch::findThenFindNextSelectsTheWordItself()
{
    m_window->area()->setText(QStringLiteral("alpha beta gamma beta"));
    m_window->area()->select(6, 4); // "beta", as Select Word leaves it
    QTest::keyClick(m_window->area(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->findText(), QStringLiteral("beta"));
    QCOMPARE(m_window->findChild<SearchCommands *>()->varfinder(), 6);
    window()->hide();

    QTest::keyClick(m_window->area(), Qt::Key_F3);
    QCOMPARE(m_window->area()->selStart(), 6);
    QCOMPARE(m_window->area()->selText(), QStringLiteral("beta"));
    QTest::keyClick(m_window->area(), Qt::Key_F3);
    QCOMPARE(m_window->area()->selStart(), 17);
}

void TestSearch::typingAfterFindGoesIntoTheFindBox_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("findText"); // Find takes the word at the caret
    QTest::newRow("Ctrl+F") << "Ctrl+F"
                            << "beta";
    QTest::newRow("Ctrl+H") << "Ctrl+H"
                            << "";
    QTest::newRow("toolbar Find") << ""
                                  << "beta";
}

void TestSearch::typingAfterFindGoesIntoTheFindBox()
{
    QFETCH(QString, command);
    QFETCH(QString, findText);
    m_window->area()->setText(QStringLiteral("alpha beta gamma"));
    m_window->area()->setSelStart(7);
    if (command.isEmpty())
        m_window->toolbar()->button(QStringLiteral("Find"))->trigger();
    else
        QTest::keySequence(QGuiApplication::focusWindow(), QKeySequence(command));
    QCOMPARE(window()->findText(), findText);
    QTRY_COMPARE(QApplication::activeWindow(), window());
    QTest::keyClicks(nullptr, QStringLiteral("gamma")); // wherever the keyboard is
    QCOMPARE(window()->findText(), QStringLiteral("gamma"));
    QCOMPARE(m_window->area()->text(), QStringLiteral("alpha beta gamma"));
}

void TestSearch::keysInTheFindWindow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed"); // into the find box first, over what it shows
    QTest::addColumn<QString>("focusOn");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("replaceMode");
    // 8: Find Next found "one"; 4: "two" (Find's word, or found) or the caret, as it was
    QTest::addColumn<int>("selStart");
    QTest::addColumn<QString>("focusAfter");

    const int enter = Qt::Key_Return;
    const int escape = Qt::Key_Escape;
    const int space = Qt::Key_Space;
    QTest::newRow("find: Enter in the find box finds and hides")
        << "mnufind"
        << "one"
        << "txtfind" << enter << false << false << 8 << "Area";
    QTest::newRow("find: Enter at once finds the word Find took")
        << "mnufind"
        << ""
        << "txtfind" << enter << false << false << 4 << "Area";
    QTest::newRow("replace: Enter in the find box finds")
        << "mnureplace"
        << "one"
        << "txtfind" << enter << true << true << 8 << "txtfind";
    QTest::newRow("replace: Enter in the replace box finds")
        << "mnureplace"
        << "one"
        << "txtReplace" << enter << true << true << 8 << "txtReplace";
    QTest::newRow("find: Escape hides") << "mnufind"
                                        << "one"
                                        << "txtfind" << escape << false << false << 4 << "Area";
    QTest::newRow("replace: Escape hides")
        << "mnureplace"
        << "one"
        << "txtReplace" << escape << false << true << 4 << "Area";
    QTest::newRow("find: Space on Replace.... opens the replace section")
        << "mnufind"
        << "one"
        << "lblreplink" << space << true << true << 4 << "txtReplace";
    QTest::newRow("find: Enter on Replace.... opens the replace section")
        << "mnufind"
        << "one"
        << "lblreplink" << enter << true << true << 4 << "txtReplace";
}

void TestSearch::keysInTheFindWindow()
{
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QString, focusOn);
    QFETCH(int, key);
    QFETCH(bool, shown);
    QFETCH(bool, replaceMode);
    QFETCH(int, selStart);
    QFETCH(QString, focusAfter);

    m_window->area()->setText(QStringLiteral("one two one"));
    m_window->area()->setSelStart(4);
    QComboBox *history = m_window->findChild<SearchCommands *>()->findWindow()->txtfind();
    history->addItems({ "two", "one" }); // searched before: the box offers to complete them
    history->clearEditText();
    trigger(command.toLatin1().constData()); // Find selects "two" and puts it in the find box
    QTRY_COMPARE(QApplication::activeWindow(), window());
    QTest::keyClicks(nullptr, typed);
    window()->findChild<QWidget *>(focusOn)->setFocus();
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key(key));
    QCOMPARE(window()->isVisible(), shown);
    QCOMPARE(window()->isReplaceMode(), replaceMode);
    QCOMPARE(m_window->area()->selStart(), selStart);
    QTRY_COMPARE(focusName(), focusAfter);
    QCOMPARE(m_window->area()->text(), QStringLiteral("one two one"));
}

void TestSearch::tabGoesThroughWhatTheModeShows_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("chain");
    QTest::newRow("find only") << "mnufind"
                               << QStringList { "btnfind", "lblreplink", "casematch", "searchinwrd",
                                      "up", "txtfind" };
    QTest::newRow("replace") << "mnureplace"
                             << QStringList { "btnfind", "txtReplace", "btnReplaceAll", "cancel",
                                    "casematch", "searchinwrd", "up", "txtfind" };
}

void TestSearch::tabGoesThroughWhatTheModeShows()
{
    QFETCH(QString, command);
    QFETCH(QStringList, chain);
    m_window->area()->setText(QStringLiteral("word"));
    trigger(command.toLatin1().constData());
    QTRY_COMPARE(QApplication::activeWindow(), window());
    QStringList visited;
    for (qsizetype i = 0; i < chain.size(); ++i) {
        QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Tab);
        visited << focusName();
    }
    QCOMPARE(visited, chain);
}

void TestSearch::hiddenWindowComesBackWhereItWas()
{
    trigger("mnufind");
    // The user drags it: the window system moves it, not the program.
    const QPoint place = window()->pos() + QPoint(37, 23);
    window()->windowHandle()->setFramePosition(place);
    QTRY_COMPARE(window()->pos(), place);
    window()->cancel()->click();
    trigger("mnufind");
    QCOMPARE(window()->pos(), place);
}

void TestSearch::findNextWalksOverlappingMatchesThenStartsAgain()
{
    m_window->area()->setText(QStringLiteral("aaaa"));
    m_window->findChild<SearchCommands *>()->findWindow()->txtfind()->setEditText(
        QStringLiteral("aa"));
    QList<qsizetype> starts;
    for (int i = 0; i < 3; ++i) {
        trigger("mnufindnext");
        starts << m_window->area()->selStart() + 1;
    }
    QCOMPARE(starts, (QList<qsizetype> { 1, 2, 3 }));
    m_host->answerMessage(Host::Button::Ok);
    trigger("mnufindnext");
    const FakeHost::Shown box = m_host->lastShown();
    QCOMPARE(box.prompt, QStringLiteral("Search complete"));
    QCOMPARE(box.title, QStringLiteral("Tarvex"));
    QCOMPARE(box.icon, Host::Icon::None);
    QCOMPARE(box.buttons, Host::Buttons::Ok);
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 0);
    QCOMPARE(m_window->area()->selLength(), 2);
}

void TestSearch::findNextWithEmptyFindBoxRunsFind()
{
    m_window->area()->setText(QStringLiteral("word"));
    QTest::keyClick(m_window->area(), Qt::Key_F3);
    QVERIFY(window()->isVisible());
    QVERIFY(m_host->shown().isEmpty());
}

void TestSearch::upwardFindNextFromTheStartSaysComplete()
{
    m_window->area()->setText(QStringLiteral("ab ab ab"));
    FindReplaceWindow *w = m_window->findChild<SearchCommands *>()->findWindow();
    w->txtfind()->setEditText(QStringLiteral("ab"));
    w->up()->setChecked(true);
    m_window->area()->setSelStart(7); // inside the last "ab"
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 3);
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 0);
    m_host->answerMessage(Host::Button::Ok);
    trigger("mnufindnext");
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Search complete"));
    QCOMPARE(m_window->area()->selLength(), 0);
}

void TestSearch::matchCaseBothWays_data()
{
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QList<qsizetype>>("found");
    QTest::newRow("unticked finds OWL and BOWL") << false << QList<qsizetype> { 0, 5 };
    QTest::newRow("ticked finds neither") << true << QList<qsizetype> {};
}

void TestSearch::matchCaseBothWays()
{
    QFETCH(bool, matchCase);
    QFETCH(QList<qsizetype>, found);
    m_window->area()->setText(QStringLiteral("OWL BOWL"));
    FindReplaceWindow *w = m_window->findChild<SearchCommands *>()->findWindow();
    w->txtfind()->setEditText(QStringLiteral("owl"));
    w->casematch()->setChecked(matchCase);
    QList<qsizetype> seen;
    for (int i = 0; i <= found.size(); ++i) {
        if (i == found.size())
            m_host->answerMessage(Host::Button::Ok);
        trigger("mnufindnext");
        if (i < found.size())
            seen << m_window->area()->selStart();
    }
    QCOMPARE(seen, found);
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Search complete"));
}

void TestSearch::longSearchTextSelectsAThousandCharacters()
{
    const QString needle = QString(1500, u'n');
    m_window->area()->setText(QStringLiteral("xx") + needle + QStringLiteral("yy"));
    m_window->findChild<SearchCommands *>()->findWindow()->txtfind()->setEditText(needle);
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 2);
    QCOMPARE(m_window->area()->selLength(), 1000);
}

void TestSearch::windowFindNextInFindOnlyModeHides()
{
    m_window->area()->setText(QStringLiteral("one two one"));
    m_window->area()->setSelStart(5);
    trigger("mnufind"); // selects "two"; the window's own search starts there
    QCOMPARE(m_window->area()->selText(), QStringLiteral("two"));
    window()->txtfind()->setEditText(QStringLiteral("one"));
    QTest::mouseClick(window()->btnfind(), Qt::LeftButton);
    QCOMPARE(m_window->area()->selStart(), 8); // not the "one" before the creation caret
    QVERIFY(!window()->isVisible());
    QVERIFY(window()->btnReplace()->isEnabled());
    // F3 continues from the main window's own position.
    QTest::keyClick(m_window->area(), Qt::Key_F3);
    QCOMPARE(m_window->area()->selStart(), 8);
}

void TestSearch::windowFindNextInReplaceModeStaysOpen()
{
    m_window->area()->setText(QStringLiteral("one two one"));
    QTest::keyClick(m_window->area(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(window()->isReplaceMode());
    QCOMPARE(window()->windowTitle(), QStringLiteral("Replace"));
    QVERIFY(window()->lblreplink()->isHidden());
    window()->txtfind()->setEditText(QStringLiteral("two"));
    window()->btnfind()->click();
    QCOMPARE(m_window->area()->selText(), QStringLiteral("two"));
    QVERIFY(window()->isVisible());
}

void TestSearch::everyFindNextAddsToTheHistory()
{
    m_window->area()->setText(QStringLiteral("cat cat cat cat"));
    trigger("mnureplace");
    window()->txtfind()->setEditText(QStringLiteral("cat"));
    for (int i = 0; i < 3; ++i)
        window()->btnfind()->click();
    QCOMPARE(window()->txtfind()->count(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(window()->txtfind()->itemText(i), QStringLiteral("cat"));
}

void TestSearch::windowFindNextWithEmptyBoxSaysComplete()
{
    m_window->area()->setText(QStringLiteral("text"));
    trigger("mnureplace");
    window()->txtfind()->setEditText(QString());
    m_host->answerMessage(Host::Button::Ok);
    window()->btnfind()->click();
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Search complete"));
    QVERIFY(!window()->isVisible());
    QCOMPARE(m_window->area()->text(), QStringLiteral("text"));
}

void TestSearch::replaceReplacesTheSelectionThenFindsNext()
{
    m_window->area()->setText(QStringLiteral("red green red"));
    m_window->area()->setSelStart(0);
    trigger("mnureplace");
    window()->txtfind()->setEditText(QStringLiteral("red"));
    window()->txtReplace()->setEditText(QStringLiteral("blue"));
    window()->btnfind()->click();
    QCOMPARE(m_window->area()->selText(), QStringLiteral("red"));
    window()->btnReplace()->click();
    QCOMPARE(m_window->area()->text(), QStringLiteral("blue green red"));
    QCOMPARE(m_window->area()->selStart(), 11);
    QCOMPARE(m_window->area()->selText(), QStringLiteral("red"));
    QCOMPARE(window()->txtReplace()->itemText(0), QStringLiteral("blue"));

    // The user moves the caret: Replace inserts there.
    m_window->area()->setSelStart(4);
    window()->btnReplace()->click();
    QCOMPARE(m_window->area()->text(), QStringLiteral("blueblue green red"));
}

void TestSearch::replaceAfterSearchCompleteSaysSoAndHides()
{
    m_window->area()->setText(QStringLiteral("abc"));
    trigger("mnureplace");
    window()->txtfind()->setEditText(QStringLiteral("zzz"));
    m_host->answerMessage(Host::Button::Ok);
    window()->btnfind()->click();
    window()->show();
    m_host->answerMessage(Host::Button::Ok);
    window()->btnReplace()->click();
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Search Complete"));
    QVERIFY(!window()->isVisible());
    QCOMPARE(m_window->area()->text(), QStringLiteral("abc"));
}

void TestSearch::replaceAllIgnoringCase()
{
    m_window->area()->setText(QStringLiteral("Cat CAT cat Catalog"));
    trigger("mnureplace");
    window()->txtfind()->setEditText(QStringLiteral("cat"));
    window()->txtReplace()->setEditText(QStringLiteral("dog"));
    window()->btnReplaceAll()->click();
    QCOMPARE(m_window->area()->text(), QStringLiteral("dog dog dog dogalog"));
    QVERIFY(!window()->isVisible());
    QCOMPARE(m_window->star(), QStringLiteral("*"));
}

void TestSearch::replaceAllWithEmptyFindBoxChangesNothing()
{
    m_window->area()->setText(QStringLiteral("keep"));
    m_window->setModified(false);
    trigger("mnureplace");
    window()->txtReplace()->setEditText(QStringLiteral("x"));
    window()->txtfind()->setEditText(QString());
    window()->btnReplaceAll()->setEnabled(true); // as the mouse has not moved yet
    window()->btnReplaceAll()->click();
    QCOMPARE(m_window->area()->text(), QStringLiteral("keep"));
    QCOMPARE(m_window->star(), QString());
}

void TestSearch::enablingRuleFollowsTheFindBox()
{
    trigger("mnureplace");
    QVERIFY(!window()->btnReplace()->isEnabled());
    QVERIFY(window()->btnReplaceAll()->isEnabled());
    window()->txtfind()->setEditText(QStringLiteral("x"));
    QVERIFY(window()->btnReplace()->isEnabled());
    window()->txtfind()->setEditText(QString());
    QVERIFY(!window()->btnReplace()->isEnabled());
    QVERIFY(!window()->btnReplaceAll()->isEnabled());
    // "Search in word" is shown only.
    window()->searchinwrd()->setChecked(true);
    QVERIFY(!window()->btnReplaceAll()->isEnabled());
}

void TestSearch::findAfterFindAndReplaceStaysInReplaceMode()
{
    m_window->area()->setText(QStringLiteral("word"));
    trigger("mnureplace");
    window()->cancel()->click();
    QVERIFY(!window()->isVisible());
    trigger("mnufind");
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->windowTitle(), QStringLiteral("Replace"));
}

void TestSearch::clicksTalkToTheShownWindow()
{
    m_window->area()->setText(QStringLiteral("pick this"));
    trigger("mnufind");
    m_window->area()->select(5, 4);
    emit m_window->area()->mouseReleased();
    QCOMPARE(window()->findText(), QStringLiteral("this"));
    QVERIFY(window()->isVisible());
    emit m_window->area()->doubleClicked();
    QVERIFY(!window()->isVisible());
    // While hidden, a click leaves the find box alone.
    m_window->area()->select(0, 4);
    emit m_window->area()->mouseReleased();
    QCOMPARE(window()->findText(), QStringLiteral("this"));
}

void TestSearch::closeBoxDestroysAndNextUseStartsAfresh()
{
    trigger("mnureplace");
    window()->txtfind()->setEditText(QStringLiteral("x"));
    QPointer<FindReplaceWindow> first = window();
    first->close();
    QTRY_VERIFY(!first);
    trigger("mnufind");
    QVERIFY(!window()->isReplaceMode());
    QCOMPARE(window()->windowTitle(), QStringLiteral("Find"));
    QVERIFY(window()->down()->isChecked());
}

void TestSearch::matchBeyondFortyThousand()
{
    QString text = QString(40000, u'.') + QStringLiteral("needle") + QString(100, u'.');
    m_window->area()->setText(text);
    FindReplaceWindow *w = m_window->findChild<SearchCommands *>()->findWindow();
    w->txtfind()->setEditText(QStringLiteral("needle"));
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 40000);
    w->up()->setChecked(true);
    m_window->area()->setSelStart(text.size());
    trigger("mnufindnext");
    QCOMPARE(m_window->area()->selStart(), 40000);
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
