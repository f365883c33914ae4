#include "document/document.h"
#include "fakehost.h"
#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "search/searchprimitives.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Search;

namespace {

// The commands over a document of their own; their window belongs to a plain window whose one
// field, "Area", stands for the text.
struct Searching
{
    FakeHost host;
    Document document;
    QWidget owner;
    QLineEdit *view = new QLineEdit(&owner);
    SearchCommands commands { document, host, &owner, view };

    Searching(const QString &text, qsizetype caret)
    {
        view->setObjectName(QStringLiteral("Area"));
        document.setText(text);
        document.select(caret, 0);
        owner.show();
        if (QTest::qWaitForWindowActive(&owner))
            view->setFocus();
    }
    ~Searching() { QCOMPARE(host.pendingAnswers(), 0); }
};

} // namespace


class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    // Searching down from a 1-based start or up from a 0-based caret gives the 1-based match, 0 for
    // none; replacing all gives the text and the count.
    void search_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("result");

        // clang-format off
        QTest::newRow("down: a c[at] sat from it") << "down 4" << "a cat sat" << "at" << true << "4";
        QTest::newRow("down: a cat s[at]") << "down 5" << "a cat sat" << "at" << true << "8";
        QTest::newRow("down: a cat sat, none left") << "down 9" << "a cat sat" << "at" << true << "0";
        QTest::newRow("down: a[aa]a overlapping") << "down 2" << "aaaa" << "aa" << true << "2";
        QTest::newRow("down: OWL, Match Case") << "down 1" << "OWL" << "owl" << true << "0";
        QTest::newRow("down: [OWL], any case") << "down 1" << "OWL" << "owl" << false << "1";
        QTest::newRow("down: empty find") << "down 1" << "abc" << "" << false << "0";
        QTest::newRow("down: 40,000 dots [needle]") << "down 1" << QString(40000, u'.') + "needle" << "needle" << true << "40001";
        QTest::newRow("down: İx [Été], 1 for 1") << "down 1" << "İx Été" << "éTÉ" << false << "4";
        QTest::newRow("up: ab [ab] a|b, straddled") << "up 7" << "ab ab ab" << "ab" << true << "4";
        QTest::newRow("up: ab [ab]|, ending at the caret") << "up 5" << "ab ab" << "ab" << true << "4";
        QTest::newRow("up: |ab") << "up 0" << "ab" << "ab" << true << "0";
        QTest::newRow("up: A[B a]|b, any case") << "up 2" << "AB ab" << "ab" << false << "1";
        QTest::newRow("up: empty find") << "up 3" << "abc" << "" << true << "0";
        QTest::newRow("all: any case") << "all dog" << "Cat cat cats" << "cat" << false << "dog dog dogs, 3";
        QTest::newRow("all: Match Case") << "all dog" << "Cat cat cats" << "cat" << true << "Cat dog dogs, 2";
        QTest::newRow("all: aaaa, aa -> b, no overlaps") << "all b" << "aaaa" << "aa" << true << "bb, 2";
        QTest::newRow("all: ab, a -> aa, not again") << "all aa" << "ab" << "a" << true << "aab, 1";
        QTest::newRow("all: empty find") << "all x" << "abc" << "" << true << "abc, 0";
        // clang-format on
    }

    void search()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(bool, matchCase);
        QFETCH(QString, result);
        const Case c = matchCase ? Case::Sensitive : Case::Insensitive;
        const QString verb = how.section(u' ', 0, 0), given = how.section(u' ', 1);
        qsizetype count = -1;
        const QString replaced
            = verb == u"all" ? replaceAll(text, find, given, c, &count) : QString();
        if (verb == u"all")
            QCOMPARE(replaced + ", " + QString::number(count), result);
        else
            QCOMPARE(QString::number(verb == u"up" ? searchUp(text, find, given.toInt(), c)
                                                   : searchDown(text, find, given.toInt(), c)),
                result);
    }

    // The find window's controls reach the search: Find Next walks on from its last match;
    // Replace replaces the match and finds the next; Replace All follows Match Case. (The word
    // Find takes at the caret: tst_editor's Find rows; the keyboard in the find box:
    // keysInTheFindWindow.)
    void findWindowDrivesTheSearch()
    {
        Searching s(QStringLiteral("two aaa AA"), 1);
        Document &document = s.document;
        s.commands.find();
        FindReplaceWindow *w = s.commands.findWindow();
        w->findBox()->setEditText(QStringLiteral("aa"));

        for (const int start : { 4, 5, 8 }) {
            s.commands.findNext();
            QCOMPARE(document.selectionStart(), start);
        }
        s.host.answerMessage(Host::Button::Ok);
        s.commands.findNext();
        QCOMPARE(s.host.lastShown().prompt, QStringLiteral("Search complete"));
        s.commands.findNext(); // from the top again
        QCOMPARE(document.selectionStart(), 4);
        w->upButton()->setChecked(true);
        document.select(10, 0);
        s.commands.findNext();
        QCOMPARE(document.selectionStart(), 8);

        s.commands.findAndReplace();
        w->downButton()->setChecked(true);
        w->replaceBox()->setEditText(QStringLiteral("b"));
        w->findNextButton()->click(); // from the caret the window was made at
        w->replaceButton()->click();
        QCOMPARE(document.text(), QStringLiteral("two ba AA"));
        QCOMPARE(document.selectedText(), QStringLiteral("AA"));
        w->matchCaseBox()->setChecked(true);
        w->findBox()->setEditText(QStringLiteral("A"));
        w->replaceAllButton()->click();
        QCOMPARE(document.text(), QStringLiteral("two ba bb"));
    }

    // On "one two one" with the caret on "two": the window opened by Find or Find And Replace,
    // "one" typed into the find box (which offers to complete it from its history), `key` pressed
    // on the `on` control; then whether the window is up, the start of the selection and who has
    // the keyboard.
    void keysInTheFindWindow_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("on");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("after"); // shown or hidden, selection start, focus
        // clang-format off
        QTest::newRow("find: Enter finds and hides") << false << "txtfind" << int(Qt::Key_Return) << "hidden 8 Area";
        QTest::newRow("replace: Enter in the replace box finds") << true << "txtReplace" << int(Qt::Key_Return) << "shown 8 txtReplace";
        QTest::newRow("replace: Escape hides") << true << "txtReplace" << int(Qt::Key_Escape) << "hidden 4 Area";
        QTest::newRow("find: Space on Replace.... opens replacing") << false << "lblreplink" << int(Qt::Key_Space) << "shown 4 txtReplace";
        // clang-format on
    }

    void keysInTheFindWindow()
    {
        QFETCH(bool, replace);
        QFETCH(QString, on);
        QFETCH(int, key);
        QFETCH(QString, after);
        Searching s(QStringLiteral("one two one"), 4);
        FindReplaceWindow *w = s.commands.findWindow();
        w->findBox()->addItems({ "two", "one" });
        replace ? s.commands.findAndReplace() : s.commands.find();
        QTRY_COMPARE(QApplication::activeWindow(), w);
        QTest::keyClicks(nullptr, QStringLiteral("one"));
        w->findChild<QWidget *>(on)->setFocus();
        QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key(key));
        const auto seen = [&] {
            QWidget *focus = QApplication::focusWidget();
            return QStringLiteral("%1 %2 %3")
                .arg(w->isVisible() ? "shown" : "hidden")
                .arg(s.document.selectionStart())
                .arg(focus ? focus->objectName() : QString());
        };
        QTRY_COMPARE(seen(), after);
        QCOMPARE(s.document.text(), QStringLiteral("one two one"));
        QCOMPARE(w->isReplaceMode(), replace || after.endsWith(u"txtReplace"));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
