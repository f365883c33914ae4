#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "search/searchprimitives.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Search;

constexpr auto caseOf = [](bool exact) { return exact ? Case::Sensitive : Case::Insensitive; };

class TestSearch : public WindowFixture
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void replaceAll_data();
    void replaceAll();
    void findWindowDrivesTheSearch();
    void keysInTheFindWindow_data();
    void keysInTheFindWindow();
};

void TestSearch::search_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("from"); // down: 1-based start; up: 0-based caret
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found"); // 1-based, 0 for none

    // clang-format off
    QTest::newRow("down: a c[at] sat from it") << false << "a cat sat" << "at" << 4 << true << 4;
    QTest::newRow("down: a cat s[at]") << false << "a cat sat" << "at" << 5 << true << 8;
    QTest::newRow("down: a cat sat, none left") << false << "a cat sat" << "at" << 9 << true << 0;
    QTest::newRow("down: a[aa]a overlapping") << false << "aaaa" << "aa" << 2 << true << 2;
    QTest::newRow("down: OWL, Match Case") << false << "OWL" << "owl" << 1 << true << 0;
    QTest::newRow("down: [OWL], any case") << false << "OWL" << "owl" << 1 << false << 1;
    QTest::newRow("down: empty find") << false << "abc" << "" << 1 << false << 0;
    QTest::newRow("down: 40,000 dots [needle]")
        << false << QString(40000, u'.') + "needle" << "needle" << 1 << true << 40001;
    QTest::newRow("down: İx [Été], 1 for 1") << false << "İx Été" << "éTÉ" << 1 << false << 4;
    QTest::newRow("up: ab [ab] a|b, straddled") << true << "ab ab ab" << "ab" << 7 << true << 4;
    QTest::newRow("up: ab [ab]|, ending at the caret") << true << "ab ab" << "ab" << 5 << true << 4;
    QTest::newRow("up: |ab") << true << "ab" << "ab" << 0 << true << 0;
    QTest::newRow("up: A[B a]|b, any case") << true << "AB ab" << "ab" << 2 << false << 1;
    QTest::newRow("up: empty find") << true << "abc" << "" << 3 << true << 0;
    // clang-format on
}

void TestSearch::search()
{
    QFETCH(bool, up);
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(int, from);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    const Case c = caseOf(matchCase);
    QCOMPARE(up ? searchUp(text, find, from, c) : searchDown(text, find, from, c), found);
}

void TestSearch::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");

    // clang-format off
    QTest::newRow("any case") << "Cat cat cats" << "cat" << "dog" << false << "dog dog dogs" << 3;
    QTest::newRow("Match Case") << "Cat cat cats" << "cat" << "dog" << true << "Cat dog dogs" << 2;
    QTest::newRow("aaaa: aa -> b, no overlaps") << "aaaa" << "aa" << "b" << true << "bb" << 2;
    QTest::newRow("ab: a -> aa, not again") << "ab" << "a" << "aa" << true << "aab" << 1;
    QTest::newRow("empty find") << "abc" << "" << "x" << true << "abc" << 0;
    // clang-format on
}

void TestSearch::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, result);
    QFETCH(int, count);
    qsizetype replaced = -1;
    QCOMPARE(Search::replaceAll(text, find, replacement, caseOf(matchCase), &replaced), result);
    QCOMPARE(replaced, count);
}

// The find window's controls reach the search: Find takes the word at the caret and leaves the
// keyboard in the find box; Find Next walks on from its last match; Replace replaces the match
// and finds the next; Replace All follows Match Case.
void TestSearch::findWindowDrivesTheSearch()
{
    document().setText(QStringLiteral("two aaa AA"));
    document().select(1, 0);
    QTest::keyClick(area(), Qt::Key_F, Qt::ControlModifier);
    FindReplaceWindow *w = m_window->findChild<FindReplaceWindow *>();
    QCOMPARE(w->findText(), QStringLiteral("two"));
    QTRY_COMPARE(QApplication::activeWindow(), w);
    QTest::keyClicks(nullptr, QStringLiteral("aa")); // wherever the keyboard is
    QCOMPARE(w->findText(), QStringLiteral("aa"));

    for (const int start : { 4, 5, 8 }) {
        trigger("mnufindnext");
        QCOMPARE(document().selectionStart(), start);
    }
    m_host->answerMessage(Host::Button::Ok);
    trigger("mnufindnext");
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("Search complete"));
    trigger("mnufindnext"); // from the top again
    QCOMPARE(document().selectionStart(), 4);
    w->upButton()->setChecked(true);
    document().select(10, 0);
    trigger("mnufindnext");
    QCOMPARE(document().selectionStart(), 8);

    trigger("mnureplace");
    w->downButton()->setChecked(true);
    w->replaceBox()->setEditText(QStringLiteral("b"));
    w->findNextButton()->click(); // from the caret the window was made at
    w->replaceButton()->click();
    QCOMPARE(document().text(), QStringLiteral("two ba AA"));
    QCOMPARE(document().selectedText(), QStringLiteral("AA"));
    w->matchCaseBox()->setChecked(true);
    w->findBox()->setEditText(QStringLiteral("A"));
    w->replaceAllButton()->click();
    QCOMPARE(document().text(), QStringLiteral("two ba bb"));
}

// On "one two one" with the caret on "two": the window opened by `row`, "one" typed into the
// find box (which offers to complete it from its history), `key` pressed on the `on` control;
// then whether the window is up, the start of the selection and who has the keyboard.
void TestSearch::keysInTheFindWindow_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("on");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after"); // shown or hidden, selection start, focus
    // clang-format off
    QTest::newRow("find: Enter finds and hides") << "mnufind" << "txtfind" << int(Qt::Key_Return) << "hidden 8 Area";
    QTest::newRow("replace: Enter in the replace box finds") << "mnureplace" << "txtReplace" << int(Qt::Key_Return) << "shown 8 txtReplace";
    QTest::newRow("find: Escape hides") << "mnufind" << "txtfind" << int(Qt::Key_Escape) << "hidden 4 Area";
    QTest::newRow("replace: Escape hides") << "mnureplace" << "txtReplace" << int(Qt::Key_Escape) << "hidden 4 Area";
    QTest::newRow("find: Space on Replace.... opens replacing") << "mnufind" << "lblreplink" << int(Qt::Key_Space) << "shown 4 txtReplace";
    // clang-format on
}

void TestSearch::keysInTheFindWindow()
{
    QFETCH(QString, row);
    QFETCH(QString, on);
    QFETCH(int, key);
    QFETCH(QString, after);
    document().setText(QStringLiteral("one two one"));
    document().select(4, 0);
    FindReplaceWindow *w = m_window->findChild<SearchCommands *>()->findWindow();
    w->findBox()->addItems({ "two", "one" });
    trigger(qPrintable(row));
    QTRY_COMPARE(QApplication::activeWindow(), w);
    QTest::keyClicks(nullptr, QStringLiteral("one"));
    w->findChild<QWidget *>(on)->setFocus();
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key(key));
    const auto seen = [&] {
        return QStringLiteral("%1 %2 %3").arg(w->isVisible() ? "shown" : "hidden").arg(document().selectionStart()).arg(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    };
    QTRY_COMPARE(seen(), after);
    QCOMPARE(document().text(), QStringLiteral("one two one"));
    QCOMPARE(w->isReplaceMode(), after.endsWith(u"txtReplace") || row == u"mnureplace");
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
