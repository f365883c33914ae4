#include "document/document.h"
#include "fakehost.h"
#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "search/searchprimitives.h"
#include "textpicture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace Search;

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
        const QString replaced = replaceAll(text, find, given, c, &count); // read by "all" rows
        if (verb == u"all")
            QCOMPARE(replaced + ", " + QString::number(count), result);
        else
            QCOMPARE(QString::number(verb == u"up" ? searchUp(text, find, given.toInt(), c)
                                                   : searchDown(text, find, given.toInt(), c)),
                result);
    }

    // On the picture, the find window (offering "two" and "one" from its history) driven as the
    // user does: "find" or "replace" opens it, "next" is Find Next, "ok" answers a box, "@name"
    // gives a control the keyboard, "click:name" clicks it, a key name presses that key and any
    // other word is typed. Then the picture, the window's title if it is up, who has the keyboard
    // and the last box's text. (The word Find takes at the caret: tst_editor's Find rows.)
    void findWindow_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("Enter finds, hides") << "one |two one"
            << "find one Return" << "one two [one] @Area";
        QTest::newRow("Enter in Replace finds") << "one |two one"
            << "replace one @txtReplace Return" << "one two [one] +Replace @txtReplace";
        QTest::newRow("Escape in Replace hides") << "one |two one"
            << "replace one @txtReplace Escape" << "one |two one @Area";
        QTest::newRow("Space on Replace....") << "one |two one"
            << "find one @lblreplink Space" << "one [two] one +Replace @txtReplace";
        QTest::newRow("tells, then from the top") << "t|wo aaa AA"
            << "find aa next next next ok next next"
            << "two [aa]a AA +Find @txtfind Search complete";
        QTest::newRow("Up from [AA]") << "two aaa AA|"
            << "find aa click:up next" << "two a[aa] AA +Find @up";
        QTest::newRow("Replace, then the next") << "t|wo aaa AA"
            << "replace aa @txtReplace b click:btnfind click:btnReplace"
            << "two ba [AA] +Replace @btnReplace";
        QTest::newRow("Replace All, Match Case") << "t|wo aaa AA"
            << "replace aa @txtReplace b click:casematch click:btnReplaceAll" << "t|wo ba AA @Area";
        // clang-format on
    }

    void findWindow()
    {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        // The commands over a document of their own; their window belongs to a plain window
        // whose one field, "Area", stands for the text.
        FakeHost host;
        Document document;
        QWidget owner;
        auto *view = new QLineEdit(&owner);
        view->setObjectName(QStringLiteral("Area"));
        SearchCommands commands(document, host, &owner, view);
        TextPicture::show(document, before);
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        view->setFocus();
        FindReplaceWindow *w = commands.findWindow();
        w->findBox()->addItems({ "two", "one" });
        for (const QString &step : steps.split(u' ')) {
            if (step == u"find" || step == u"replace") {
                step == u"find" ? commands.find() : commands.findAndReplace();
                QTRY_COMPARE(QApplication::activeWindow(), w);
            } else if (step == u"next") {
                commands.findNext();
            } else if (step == u"ok") {
                host.answerMessage(Host::Button::Ok);
            } else if (step.startsWith(u'@')) {
                w->findChild<QWidget *>(step.sliced(1))->setFocus();
            } else if (step.startsWith(u"click:")) {
                QTest::mouseClick(w->findChild<QWidget *>(step.sliced(6)), Qt::LeftButton);
            } else if (step.front().isUpper()) {
                QTest::keySequence(QGuiApplication::focusWindow(), QKeySequence(step));
            } else {
                QTest::keyClicks(nullptr, step);
            }
        }
        const auto seen = [&] {
            QWidget *focus = QApplication::focusWidget();
            return TextPicture::of(document) + (w->isVisible() ? " +" + w->windowTitle() : "")
                + " @" + (focus ? focus->objectName() : QString())
                + (host.shown().isEmpty() ? "" : u' ' + host.lastShown().prompt);
        };
        QTRY_COMPARE(seen(), after);
        QCOMPARE(host.pendingAnswers(), 0);
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
