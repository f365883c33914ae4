#include "fakehost.h"
#include "host/editarea.h"
#include "host/keystrokes.h"
#include "host/qthost.h"
#include "host/speechtext.h"
#include "host/textrendering.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// How the widget should show a true text: CR LF and a bare CR are line breaks, a bare LF a
// stand-in.
QString expectedRendering(const QString &trueText)
{
    QString shown;
    for (qsizetype i = 0; i < trueText.size(); ++i) {
        const QChar ch = trueText.at(i);
        if (ch == u'\r' && i + 1 < trueText.size() && trueText.at(i + 1) == u'\n') {
            shown += u'\n';
            ++i;
        } else if (ch == u'\r') {
            shown += u'\n';
        } else if (ch == u'\n') {
            shown += QChar(0x240A);
        } else {
            shown += ch;
        }
    }
    return shown;
}

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textIsKeptExactly_data();
    void textIsKeptExactly();
    void programEditsAgreeWithTheWidget_data();
    void programEditsAgreeWithTheWidget();
    void positionsCountCrLfAsTwo();
    void userCaretMovesMapToTruePositions();
    void selectionBetweenCrAndLfIsKept();
    void setSelTextLeavesCaretAfterIt();
    void typingAroundBareBreaksKeepsThem_data();
    void typingAroundBareBreaksKeepsThem();
    void undoAndRedoRestoreBareBreaks();
    void notifiesOncePerChange_data();
    void notifiesOncePerChange();
    void changedRangeCoversEveryChangeSinceForgotten_data();
    void changedRangeCoversEveryChangeSinceForgotten();
    void keyPressArrivesBeforeInsertion();
    void nestedAssignmentFromNotificationConverges();
    void lockedAreaRefusesEveryEdit();
    void menuShortcutsBeatTheArea_data();
    void menuShortcutsBeatTheArea();
    void copyAndPasteCarryExactText();
    void lineCountCountsDisplayedLines();
    void lineCountIncludesWrappedLinesAtOnce();
    void smallChangeToBigTextPatchesOnlyTheDifference();
    void clicksAreReported();
    void bigNewTextIsShownPieceByPiece();
    void editingWhileABigTextArrivesWaitsForAllOfIt();
    void bigChangeInTheMiddleIsShownPieceByPiece();
    void unbrokenRunsWrapAnywhere();

    void realMessageBoxShowsWhatItIsGiven_data();
    void realMessageBoxShowsWhatItIsGiven();
    void realInputBoxReturnsEmptyOnCancel_data();
    void realInputBoxReturnsEmptyOnCancel();
    void realClipboardRoundTrips();
    void realProgressWindowCancels_data();
    void realProgressWindowCancels();
    void realMemoryAvailableKeepsToTheAddressSpaceLimit();
    void realFileDialogStartsInTheCurrentFolder();
    void speechGoesASentenceAtATime_data();
    void speechGoesASentenceAtATime();
    void fakeHostRecordsAndAnswersBoxes();
    void keystrokesArriveAfterTheCommand();

private:
    QMainWindow *m_window = nullptr;
    EditArea *m_area = nullptr;
};

void TestHost::initTestCase()
{
    // Qt's file dialog keeps its history in a settings file: keep it out of the user's own.
    QStandardPaths::setTestModeEnabled(true);
}

void TestHost::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
    m_window = new QMainWindow;
    m_area = new EditArea(m_window);
    m_window->setCentralWidget(m_area);
    m_window->resize(400, 300);
    m_window->show();
    m_window->activateWindow();
    m_area->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestHost::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_area = nullptr;
}

void TestHost::textIsKeptExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("blocks");

    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("a CR LF b") << QStringLiteral("a\r\nb") << 2;
    QTest::newRow("bare CR") << QStringLiteral("a\rb") << 2;
    QTest::newRow("bare LF") << QStringLiteral("a\nb") << 1;
    QTest::newRow("LF CR is two bare breaks") << QStringLiteral("x\n\ry") << 2;
    QTest::newRow("CR CR LF") << QStringLiteral("\r\r\n") << 3;
    QTest::newRow("CR LF LF") << QStringLiteral("a\r\n\nb") << 2;
    QTest::newRow("ends with CR LF") << QStringLiteral("a\r\n") << 2;
    QTest::newRow("only breaks") << QStringLiteral("\r\n\r\n\r\n") << 4;
    QTest::newRow("literal glyphs") << QStringLiteral("a\u240Db\u240A") << 1;
    QTest::newRow("protected-looking") << QStringLiteral("\u0081\r\rA\r\n\n\r") << 5;
}

void TestHost::textIsKeptExactly()
{
    QFETCH(QString, text);
    QFETCH(int, blocks);

    m_area->setText(text);
    QCOMPARE(m_area->text(), text);
    QCOMPARE(m_area->toPlainText(), expectedRendering(text));
    QCOMPARE(m_area->document()->blockCount(), blocks);

    // Whole-text selection reads the true text back.
    m_area->select(0, text.size());
    QCOMPARE(m_area->selText(), text);
    QCOMPARE(m_area->selLength(), text.size());
}

void TestHost::programEditsAgreeWithTheWidget_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("LF after CR makes a pair") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
    QTest::newRow("CR before LF makes a pair")
        << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("pair loses LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\rb");
    QTest::newRow("pair loses CR") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    QTest::newRow("text between CR and LF")
        << QStringLiteral("a\r\nb") << QStringLiteral("a\rX\nb");
    QTest::newRow("text removed between CR and LF")
        << QStringLiteral("a\rX\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("append to empty") << QString() << QStringLiteral("one\r\ntwo\r\n");
    QTest::newRow("clear") << QStringLiteral("one\r\ntwo\r\n") << QString();
    QTest::newRow("change in middle line")
        << QStringLiteral("l1\r\nl2\r\nl3") << QStringLiteral("l1\r\nL2\r\nl3");
    QTest::newRow("many bare CRs") << QStringLiteral("\r\r\r\r") << QStringLiteral("\r\r\n\r\r");
}

void TestHost::programEditsAgreeWithTheWidget()
{
    QFETCH(QString, before);
    QFETCH(QString, after);

    m_area->setText(before);
    m_area->setText(after);
    QCOMPARE(m_area->text(), after);
    QCOMPARE(m_area->toPlainText(), expectedRendering(after));

    // The widget's positions must still map right: a typed character lands at the true end.
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_area, 'z');
    QCOMPARE(m_area->text(), after + QStringLiteral("z"));
}

void TestHost::positionsCountCrLfAsTwo()
{
    m_area->setText(QStringLiteral("ab\r\ncd\r\nef"));
    m_area->select(1, 4);
    QCOMPARE(m_area->selText(), QStringLiteral("b\r\nc"));
    QCOMPARE(m_area->textCursor().selectedText(), QStringLiteral("b\u2029c"));

    m_area->setSelStart(8);
    QCOMPARE(m_area->selStart(), 8);
    QCOMPARE(m_area->selLength(), 0);
    QCOMPARE(m_area->textCursor().block().blockNumber(), 2);

    // SelLength extends from SelStart and is clamped to the text.
    m_area->setSelLength(100);
    QCOMPARE(m_area->selText(), QStringLiteral("ef"));
    m_area->setSelStart(1000);
    QCOMPARE(m_area->selStart(), m_area->text().size());
}

void TestHost::userCaretMovesMapToTruePositions()
{
    m_area->setText(QStringLiteral("ab\r\ncd\rx\ny\r\nz"));
    m_area->setSelStart(0);
    QTest::keyClick(m_area, Qt::Key_Down);
    QCOMPARE(m_area->selStart(), 4);
    QTest::keyClick(m_area, Qt::Key_Down);
    QCOMPARE(m_area->selStart(), 7);
    QTest::keyClick(m_area, Qt::Key_End);
    QCOMPARE(m_area->selStart(), 10);
    QTest::keyClick(m_area, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(m_area->selStart(), 6);
    QCOMPARE(m_area->selText(), QStringLiteral("\rx\ny"));
    QTest::keyClick(m_area, Qt::Key_Down);
    QTest::keyClick(m_area, Qt::Key_Down);
    QCOMPARE(m_area->selStart(), 13);
}

void TestHost::selectionBetweenCrAndLfIsKept()
{
    m_area->setText(QStringLiteral("ab\r\ncd"));
    m_area->setSelStart(3); // between CR and LF: the widget has no such place
    QCOMPARE(m_area->selStart(), 3);
    m_area->setSelText(QStringLiteral("X"));
    QCOMPARE(m_area->text(), QStringLiteral("ab\rX\ncd"));
    QCOMPARE(m_area->toPlainText(), expectedRendering(m_area->text()));
    QCOMPARE(m_area->selStart(), 4);
}

void TestHost::setSelTextLeavesCaretAfterIt()
{
    m_area->setText(QStringLiteral("one two"));
    m_area->select(4, 3);
    m_area->setSelText(QStringLiteral("2\r\n3"));
    QCOMPARE(m_area->text(), QStringLiteral("one 2\r\n3"));
    QCOMPARE(m_area->selStart(), 8);
    QCOMPARE(m_area->selLength(), 0);

    // With nothing selected the text goes in at the caret.
    m_area->setSelStart(3);
    m_area->setSelText(QStringLiteral("!"));
    QCOMPARE(m_area->text(), QStringLiteral("one! 2\r\n3"));
    QCOMPARE(m_area->selStart(), 4);
}

void TestHost::typingAroundBareBreaksKeepsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    // A CR and an LF that come together are one line break from then on: an undo step of its
    // own, and the two undone leave a CR LF where the CR stood alone.
    QTest::addColumn<bool>("undoIsExact");

    QTest::newRow("a|CR b: type x")
        << QStringLiteral("a\rb") << 1 << int(Qt::Key_X) << QStringLiteral("ax\rb") << true;
    QTest::newRow("a CR|b: type x")
        << QStringLiteral("a\rb") << 2 << int(Qt::Key_X) << QStringLiteral("a\rxb") << true;
    QTest::newRow("a CR|b: backspace")
        << QStringLiteral("a\rb") << 2 << int(Qt::Key_Backspace) << QStringLiteral("ab") << true;
    QTest::newRow("a|LF b: delete")
        << QStringLiteral("a\nb") << 1 << int(Qt::Key_Delete) << QStringLiteral("ab") << true;
    QTest::newRow("a|CRLF b: delete")
        << QStringLiteral("a\r\nb") << 1 << int(Qt::Key_Delete) << QStringLiteral("ab") << true;
    QTest::newRow("a CRLF|b: backspace")
        << QStringLiteral("a\r\nb") << 3 << int(Qt::Key_Backspace) << QStringLiteral("ab") << true;
    QTest::newRow("a CR|b: enter")
        << QStringLiteral("a\rb") << 2 << int(Qt::Key_Return) << QStringLiteral("a\r\r\nb") << true;
    QTest::newRow("a|LF: enter") << QStringLiteral("a\n") << 1 << int(Qt::Key_Return)
                                 << QStringLiteral("a\r\n\n") << true;
    QTest::newRow("a CR b|c CR LF d: enter")
        << QStringLiteral("a\rbc\r\nd") << 3 << int(Qt::Key_Return)
        << QStringLiteral("a\rb\r\nc\r\nd") << true;
    QTest::newRow("a CR|b CR LF: enter") << QStringLiteral("a\rb\r\n") << 2 << int(Qt::Key_Return)
                                         << QStringLiteral("a\r\r\nb\r\n") << true;
    QTest::newRow("a CR x|LF: backspace joins CR and LF")
        << QStringLiteral("a\rx\nb") << 3 << int(Qt::Key_Backspace) << QStringLiteral("a\r\nb")
        << false;
}

void TestHost::typingAroundBareBreaksKeepsThem()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(QString, expected);
    QFETCH(bool, undoIsExact);

    m_area->setText(text);
    m_area->setSelStart(caret);
    QTest::keyClick(m_area, Qt::Key(key));
    QCOMPARE(m_area->text(), expected);
    QCOMPARE(m_area->toPlainText(), expectedRendering(expected));

    // Undo gives the text back, and positions still map: a typed character lands at the true
    // end.
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    const QString undone = m_area->text();
    if (undoIsExact)
        QCOMPARE(undone, text);
    QCOMPARE(m_area->toPlainText(), expectedRendering(undone));
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_area, 'z');
    QCOMPARE(m_area->text(), undone + QStringLiteral("z"));
}

void TestHost::undoAndRedoRestoreBareBreaks()
{
    m_area->setText(QStringLiteral("ab"), EditArea::History::Reset);
    m_area->setSelStart(1);
    m_area->setSelText(QStringLiteral("\r"));
    QTest::keyClick(m_area, 'x');
    QCOMPARE(m_area->text(), QStringLiteral("a\rxb"));

    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_area->text(), QStringLiteral("a\rb"));
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_area->text(), QStringLiteral("ab"));
    m_area->redo();
    QCOMPARE(m_area->text(), QStringLiteral("a\rb"));
    QCOMPARE(m_area->toPlainText(), expectedRendering(QStringLiteral("a\rb")));

    // A reset history has nothing to undo.
    m_area->setText(QStringLiteral("fresh"), EditArea::History::Reset);
    QVERIFY(!m_area->document()->isUndoAvailable());
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_area->text(), QStringLiteral("fresh"));
}

void TestHost::notifiesOncePerChange_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("notifications");

    QTest::newRow("typed character") << "type" << 1;
    QTest::newRow("backspace") << "backspace" << 1;
    QTest::newRow("backspace at start changes nothing") << "backspace-at-0" << 0;
    QTest::newRow("whole text set") << "setText" << 1;
    QTest::newRow("same whole text set") << "setText-same" << 0;
    QTest::newRow("selection replaced") << "setSelText" << 1;
    QTest::newRow("selection replaced by itself") << "setSelText-same" << 0;
    QTest::newRow("undo") << "undo" << 1;
    QTest::newRow("undo of a program edit away from the caret") << "undo-program" << 1;
    QTest::newRow("caret moved") << "arrow" << 0;
}

void TestHost::notifiesOncePerChange()
{
    QFETCH(QString, edit);
    QFETCH(int, notifications);

    m_area->setText(QStringLiteral("abc\r\ndef"));
    m_area->setSelStart(3);
    QTest::keyClick(m_area, 'q'); // something to undo
    QCoreApplication::processEvents();
    QSignalSpy spy(m_area, &EditArea::changed);
    // The notification comes once the edit is complete, the caret where the edit leaves it.
    qsizetype caretSeen = -1;
    connect(m_area, &EditArea::changed, this, [&] { caretSeen = m_area->selStart(); });

    if (edit == "type") {
        QTest::keyClick(m_area, 'x');
    } else if (edit == "backspace") {
        QTest::keyClick(m_area, Qt::Key_Backspace);
    } else if (edit == "backspace-at-0") {
        m_area->setSelStart(0);
        QTest::keyClick(m_area, Qt::Key_Backspace);
    } else if (edit == "setText") {
        m_area->setText(QStringLiteral("other"));
    } else if (edit == "setText-same") {
        m_area->setText(m_area->text());
    } else if (edit == "setSelText") {
        m_area->select(0, 2);
        m_area->setSelText(QStringLiteral("AB"));
    } else if (edit == "setSelText-same") {
        m_area->select(0, 2);
        m_area->setSelText(QStringLiteral("ab"));
    } else if (edit == "undo") {
        QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    } else if (edit == "undo-program") {
        m_area->select(6, 2);
        m_area->setSelText(QStringLiteral("EF"));
        m_area->setSelStart(1);
        spy.clear();
        QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    } else if (edit == "arrow") {
        QTest::keyClick(m_area, Qt::Key_Left);
    }
    // Notifications are synchronous: none may arrive later.
    QCOMPARE(spy.count(), notifications);
    if (notifications > 0)
        QCOMPARE(caretSeen, m_area->selStart());
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), notifications);
}

void TestHost::changedRangeCoversEveryChangeSinceForgotten_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("to");

    // On "abc\r\ndef"; "replace at length text", "type at key", "backspace at",
    // "open text", "cancel", "keep".
    QTest::newRow("key typed") << QStringList { "type 3 x" } << 3LL << 4LL;
    QTest::newRow("backspace") << QStringList { "backspace 3" } << 2LL << 2LL;
    QTest::newRow("an edit, then one before it moves it")
        << QStringList { "replace 5 1 XY", "replace 1 2 " } << 1LL << 5LL;
    QTest::newRow("an edit, then one after it")
        << QStringList { "replace 1 2 ", "replace 5 1 XY" } << 1LL << 7LL;
    QTest::newRow("an edit, then one inside it")
        << QStringList { "replace 1 3 XYZW", "replace 2 1 Q" } << 1LL << 5LL;
    QTest::newRow("an open cancelled changes nothing")
        << QStringList { "replace 2 1 Q", "open zz", "cancel" } << 2LL << 3LL;
    QTest::newRow("an open kept changes everything")
        << QStringList { "replace 2 1 Q", "open zz", "keep" } << 0LL << 2LL;
}

void TestHost::changedRangeCoversEveryChangeSinceForgotten()
{
    QFETCH(QStringList, edits);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, to);

    m_area->setText(QStringLiteral("abc\r\ndef"));
    m_area->forgetChanges();
    QVERIFY(!m_area->changedRange());
    for (const QString &edit : std::as_const(edits)) {
        const QStringList word = edit.split(u' ');
        const qsizetype at = word.value(1).toLongLong();
        if (word[0] == u"replace") {
            m_area->replace(at, word[2].toLongLong(), word[3]);
        } else if (word[0] == u"type") {
            m_area->setSelStart(at);
            QTest::keyClicks(m_area, word[2]);
        } else if (word[0] == u"backspace") {
            m_area->setSelStart(at);
            QTest::keyClick(m_area, Qt::Key_Backspace);
        } else if (word[0] == u"open") {
            m_area->prepareText(word[1]);
        } else if (word[0] == u"cancel") {
            m_area->dropPreparedText();
        } else if (word[0] == u"keep") {
            m_area->keepPreparedText();
        }
    }
    const std::optional<TextRendering::Range> changed = m_area->changedRange();
    QVERIFY(changed);
    QCOMPARE(changed->from, from);
    QCOMPARE(changed->to, to);
}

void TestHost::keyPressArrivesBeforeInsertion()
{
    m_area->setText(QStringLiteral("ab"));
    m_area->setSelStart(2);
    QString seenText;
    QChar seenChar;
    connect(m_area, &EditArea::keyPressed, this, [&](QChar ch) {
        seenChar = ch;
        seenText = m_area->text();
    });
    QTest::keyClick(m_area, 'c');
    QCOMPARE(seenChar, QChar(u'c'));
    QCOMPARE(seenText, QStringLiteral("ab"));
    QCOMPARE(m_area->text(), QStringLiteral("abc"));
}

void TestHost::nestedAssignmentFromNotificationConverges()
{
    // Like auto-correction: each notification fixes one occurrence and writes the whole text.
    int calls = 0;
    connect(m_area, &EditArea::changed, this, [&] {
        ++calls;
        QString text = m_area->text();
        const qsizetype at = text.indexOf(QStringLiteral(" i "));
        if (at >= 0)
            m_area->setText(text.replace(at, 3, QStringLiteral(" I ")));
    });
    m_area->setText(QStringLiteral("so i i i said"));
    QCOMPARE(m_area->text(), QStringLiteral("so I I I said"));
    QCOMPARE(calls, 4); // three fixes, then one that finds nothing

    calls = 0;
    m_area->setSelStart(m_area->text().size());
    QTest::keyClicks(m_area, " i ");
    QCOMPARE(m_area->text(), QStringLiteral("so I I I said I "));
    QVERIFY(calls >= 3);
}

// A locked text is a protected one: neither the user nor a command may change it.
void TestHost::lockedAreaRefusesEveryEdit()
{
    m_area->setText(QStringLiteral("keep"));
    m_area->setLocked(true);
    m_area->setSelStart(4);
    QSignalSpy changes(m_area, &EditArea::changed);
    QTest::keyClicks(m_area, "xyz");
    QTest::keyClick(m_area, Qt::Key_Backspace);
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    m_area->setSelText(QStringLiteral(">"));
    m_area->setText(QStringLiteral("other"));
    QCOMPARE(m_area->text(), QStringLiteral("keep"));
    QCOMPARE(changes.count(), 0);

    // The caret still moves.
    QTest::keyClick(m_area, Qt::Key_Home);
    QCOMPARE(m_area->selStart(), 0);

    m_area->setLocked(false);
    m_area->setSelText(QStringLiteral(">"));
    QTest::keyClick(m_area, '!');
    QCOMPARE(m_area->text(), QStringLiteral(">!keep"));
}

void TestHost::menuShortcutsBeatTheArea_data()
{
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Ctrl+C") << "Ctrl+C" << int(Qt::Key_C) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+V") << "Ctrl+V" << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+X") << "Ctrl+X" << int(Qt::Key_X) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+A") << "Ctrl+A" << int(Qt::Key_A) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+I") << "Ctrl+I" << int(Qt::Key_I) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+H") << "Ctrl+H" << int(Qt::Key_H) << int(Qt::ControlModifier);
    QTest::newRow("Shift+Ins") << "Shift+Ins" << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Ins") << "Ctrl+Ins" << int(Qt::Key_Insert) << int(Qt::ControlModifier);
}

void TestHost::menuShortcutsBeatTheArea()
{
    QFETCH(QString, shortcut);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    const QKeySequence sequence(shortcut, QKeySequence::PortableText);
    auto *action = new QAction(QStringLiteral("row"), m_window);
    action->setShortcut(sequence);
    m_window->addAction(action);
    m_area->setMenuShortcuts({ sequence });
    QSignalSpy triggered(action, &QAction::triggered);

    QApplication::clipboard()->setText(QStringLiteral("clip"));
    m_area->setText(QStringLiteral("some text"));
    m_area->select(0, 4);
    QTest::keyClick(m_area, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(triggered.count(), 1);
    // The area did nothing of its own with the key.
    QCOMPARE(m_area->text(), QStringLiteral("some text"));
    QCOMPARE(m_area->selText(), QStringLiteral("some"));
}

void TestHost::copyAndPasteCarryExactText()
{
    m_area->setText(QStringLiteral("a\rb\r\nc"));
    m_area->select(0, 5);
    m_area->copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a\rb\r\n"));

    QSignalSpy spy(m_area, &EditArea::changed);
    m_area->setSelStart(m_area->text().size());
    m_area->paste();
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(m_area->text(), QStringLiteral("a\rb\r\nca\rb\r\n"));
    QCOMPARE(m_area->toPlainText(), expectedRendering(m_area->text()));

    // A pasted bare CR that lands before a bare LF makes one line break with it.
    m_area->setText(QStringLiteral("x\ry\nz"));
    m_area->select(1, 1);
    m_area->copy();
    m_area->setSelStart(3);
    m_area->paste();
    QTRY_COMPARE(m_area->text(), QStringLiteral("x\ry\r\nz"));
    QCOMPARE(m_area->toPlainText(), expectedRendering(m_area->text()));
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_area, 'w');
    QCOMPARE(m_area->text(), QStringLiteral("x\ry\r\nzw"));

    // Text from another program uses LF for its line breaks.
    QApplication::clipboard()->setText(QStringLiteral("x\ny"));
    m_area->setText(QString());
    m_area->paste();
    QCOMPARE(m_area->text(), QStringLiteral("x\r\ny"));
}

void TestHost::lineCountCountsDisplayedLines()
{
    m_area->setText(QString());
    QCOMPARE(m_area->lineCount(), 1);
    m_area->setText(QStringLiteral("a\r\nb\r\nc"));
    QCOMPARE(m_area->lineCount(), 3);
    m_area->setText(QStringLiteral("a\rb\nc")); // a bare CR ends a line, a bare LF does not
    QCOMPARE(m_area->lineCount(), 2);
    m_area->setText(QStringLiteral("a\r\n"));
    QCOMPARE(m_area->lineCount(), 2);
}

void TestHost::lineCountIncludesWrappedLinesAtOnce()
{
    const QString longLine = QStringLiteral("word ").repeated(200);
    const QString text = longLine + QStringLiteral("\r\nshort\r\n") + longLine;
    m_area->setText(text);
    const int counted = m_area->lineCount();
    QVERIFY2(counted > 5, qPrintable(QString::number(counted)));

    // Laying out every block as painting would must give the same count.
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(m_area->document()->documentLayout());
    for (QTextBlock b = m_area->document()->firstBlock(); b.isValid(); b = b.next())
        layout->ensureBlockLayout(b);
    QCOMPARE(m_area->document()->lineCount(), counted);

    // Keys that make a line wrap once more, and take it back, are counted at once, as Qt itself
    // would lay the line out.
    m_area->setSelStart(3);
    int typed = 0;
    while (m_area->lineCount() == counted && typed < 100) {
        QTest::keyClick(m_area, 'x');
        ++typed;
    }
    QCOMPARE(m_area->lineCount(), counted + 1);
    QTextBlock first = m_area->document()->firstBlock();
    first.clearLayout();
    layout->ensureBlockLayout(first);
    QCOMPARE(m_area->document()->lineCount(), counted + 1);
    for (int i = 0; i < typed; ++i)
        QTest::keyClick(m_area, Qt::Key_Backspace);
    QCOMPARE(m_area->lineCount(), counted);

    // A typed break that splits a wrapped line is counted at once too.
    m_area->select(500, 0);
    QTest::keyClick(m_area, Qt::Key_Return);
    const int afterSplit = m_area->lineCount();
    for (QTextBlock b = m_area->document()->firstBlock(); b.isValid(); b = b.next())
        layout->ensureBlockLayout(b);
    QCOMPARE(m_area->document()->lineCount(), afterSplit);

    // So are wrapped lines pasted in by the user.
    QApplication::clipboard()->setText((longLine + u'\n').repeated(100));
    m_area->setSelStart(0);
    m_area->paste();
    const int afterPaste = m_area->lineCount();
    for (QTextBlock b = m_area->document()->firstBlock(); b.isValid(); b = b.next())
        layout->ensureBlockLayout(b);
    QCOMPARE(m_area->document()->lineCount(), afterPaste);
}

void TestHost::smallChangeToBigTextPatchesOnlyTheDifference()
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("line %1 of the big text\r\n").arg(i);
    m_area->setText(text, EditArea::History::Reset);
    m_area->setSelStart(text.size() / 2);
    m_area->centerCursor();
    const int scrolled = m_area->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    int widestChange = 0;
    connect(
        m_area->document(), &QTextDocument::contentsChange, this, [&](int, int removed, int added) {
            widestChange = std::max({ widestChange, removed, added });
        });
    QString changed = text;
    changed[text.size() - 10] = u'#';
    m_area->setText(changed);
    QCOMPARE(m_area->text(), changed);
    QVERIFY2(widestChange <= 2, qPrintable(QString::number(widestChange)));
    QCOMPARE(m_area->verticalScrollBar()->value(), scrolled);
    QCOMPARE(m_area->selStart(), text.size() / 2);
}

void TestHost::clicksAreReported()
{
    m_area->setText(QStringLiteral("click here"));
    QSignalSpy released(m_area, &EditArea::mouseReleased);
    QSignalSpy doubled(m_area, &EditArea::doubleClicked);
    const QPoint inside = m_area->cursorRect(m_area->textCursor()).center();
    QTest::mouseClick(m_area->viewport(), Qt::LeftButton, {}, inside);
    QCOMPARE(released.count(), 1);
    QCOMPARE(doubled.count(), 0);
    QTest::mouseDClick(m_area->viewport(), Qt::LeftButton, {}, inside);
    QCOMPARE(doubled.count(), 1);
}

namespace {

// Runs `act` on the modal dialog once it is up; the dialog runs its own event loop meanwhile.
template <typename Dialog> void whenModalShows(QObject *context, std::function<void(Dialog *)> act)
{
    auto *poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, context, [poll, act] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start();
}

} // namespace

void TestHost::realMessageBoxShowsWhatItIsGiven_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QString>("press"); // "default", "escape"
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("shownTitle");

    QTest::newRow("no title: program title, OK") << QString() << int(Host::Buttons::Ok) << -1
                                                 << "default" << int(Host::Button::Ok) << "Tarvex";
    QTest::newRow("Yes/No, default No chosen")
        << "Confirm save" << int(Host::Buttons::YesNo) << int(Host::Button::No) << "default"
        << int(Host::Button::No) << "Confirm save";
    QTest::newRow("Yes/No, default Yes chosen")
        << "Confirm save" << int(Host::Buttons::YesNo) << int(Host::Button::Yes) << "default"
        << int(Host::Button::Yes) << "Confirm save";
    QTest::newRow("Yes/No, Escape means No")
        << "Confirm exit" << int(Host::Buttons::YesNo) << int(Host::Button::Yes) << "escape"
        << int(Host::Button::No) << "Confirm exit";
}

void TestHost::realMessageBoxShowsWhatItIsGiven()
{
    QFETCH(QString, title);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(QString, press);
    QFETCH(int, answer);
    QFETCH(QString, shownTitle);

    QtHost host;
    QString seenTitle;
    QString seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    whenModalShows<QMessageBox>(this, [&](QMessageBox *box) {
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        if (press == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->defaultButton() ? box->defaultButton()->click()
                                 : box->buttons().constFirst()->click();
    });
    const std::optional<Host::Button> preferred = defaultButton < 0
        ? std::nullopt
        : std::optional<Host::Button>(Host::Button(defaultButton));
    const Host::Button result = host.messageBox(
        QStringLiteral("Proceed?"), title, Host::Icon::Question, Host::Buttons(buttons), preferred);
    QCOMPARE(int(result), answer);
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(seenText, QStringLiteral("Proceed?"));
    QCOMPARE(seenIcon, QMessageBox::Question);
}

void TestHost::realInputBoxReturnsEmptyOnCancel_data()
{
    QTest::addColumn<bool>("password");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("result");
    QTest::newRow("OK returns the text") << false << true << "Should be exactly 5 characters";
    QTest::newRow("Cancel returns empty") << false << false << "";
    QTest::newRow("password: OK returns the text")
        << true << true << "Should be exactly 5 characters";
    QTest::newRow("password: Cancel returns empty") << true << false << "";
}

void TestHost::realInputBoxReturnsEmptyOnCancel()
{
    QFETCH(bool, password);
    QFETCH(bool, accept);
    QFETCH(QString, result);

    // The longest prompt the program asks with.
    const QString prompt = QStringLiteral(
        "Re-enter the password. Once the file is protected, you cannot remove protection without "
        "the password. Make sure you store your password in a safe place.");
    QtHost host;
    QString seenTitle;
    QLineEdit::EchoMode seenEcho = QLineEdit::Normal;
    int seenWidth = 0;
    whenModalShows<QInputDialog>(this, [&](QInputDialog *dialog) {
        seenTitle = dialog->windowTitle();
        seenEcho = dialog->textEchoMode();
        seenWidth = dialog->frameGeometry().width();
        accept ? dialog->accept() : dialog->reject();
    });
    const QString defaultText = QStringLiteral("Should be exactly 5 characters");
    QCOMPARE(password ? host.passwordBox(prompt, {}, defaultText)
                      : host.inputBox(prompt, {}, defaultText),
        result);
    QCOMPARE(seenTitle, QStringLiteral("Tarvex"));
    if (password) {
        QCOMPARE(seenEcho, QLineEdit::Password);
        QVERIFY2(seenWidth < 1024 * 2 / 3, qPrintable(QString::number(seenWidth))); // it wraps
    }
}

void TestHost::realClipboardRoundTrips()
{
    QtHost host;
    host.setClipboardText(QStringLiteral("a\r\nb"));
    QCOMPARE(host.clipboardText(), QStringLiteral("a\r\nb"));
    host.clearClipboard();
    QCOMPARE(host.clipboardText(), QString());
}

void TestHost::realProgressWindowCancels_data()
{
    QTest::addColumn<QString>("active");

    QTest::newRow("its owner active") << QStringLiteral("owner");
    QTest::newRow("another window active") << QStringLiteral("other");
    QTest::newRow("no window active") << QStringLiteral("none");
}

// The window is modal to its owner whatever is active: none right after a file dialog closes.
void TestHost::realProgressWindowCancels()
{
    QFETCH(QString, active);
    QWidget other;
    if (active != QLatin1String("owner")) {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        if (active == QLatin1String("none"))
            QApplication::setActiveWindow(nullptr);
    }
    QCOMPARE(QApplication::activeWindow() == m_window, active == QLatin1String("owner"));
    QtHost host;
    std::unique_ptr<Progress> progress
        = host.showProgress(m_window, QStringLiteral("Opening big.txt"), QStringLiteral("Open"));
    auto *dialog = m_window->findChild<QProgressDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->labelText(), QStringLiteral("Opening big.txt"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Open"));
    QVERIFY(host.isShowingModal());
    progress->setValue(30);
    QCOMPARE(dialog->value(), 30);
    QVERIFY(!progress->wasCanceled());

    auto *cancel = dialog->findChild<QPushButton *>();
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    QVERIFY(progress->wasCanceled());
    progress.reset();
    QVERIFY(!host.isShowingModal());
    QVERIFY(!m_window->findChild<QProgressDialog *>());
}

void TestHost::realMemoryAvailableKeepsToTheAddressSpaceLimit()
{
    QtHost host;
    QVERIFY(host.memoryAvailable() > 0);
    QFile status(QStringLiteral("/proc/self/statm"));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const qint64 mapped = status.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
    rlimit lower = old;
    lower.rlim_cur = mapped + 64 * 1024 * 1024;
    QCOMPARE(setrlimit(RLIMIT_AS, &lower), 0);
    const qint64 available = host.memoryAvailable();
    setrlimit(RLIMIT_AS, &old);
    QVERIFY2(available > 32 * 1024 * 1024 && available <= 64 * 1024 * 1024,
        qPrintable(QString::number(available)));
}

// Qt's dialog remembers the last folder it was accepted in, even from an earlier run.
void TestHost::realFileDialogStartsInTheCurrentFolder()
{
    QTemporaryDir visited;
    QTemporaryDir current;
    const QString visitedFile = QDir(visited.path()).filePath(QStringLiteral("a.txt"));
    QFile(visitedFile).open(QIODevice::WriteOnly);
    QtHost host;
    QString shownFolder;
    auto answer = [&](bool accept) {
        QTimer::singleShot(0, m_window, [&, accept] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shownFolder = dialog->directory().absolutePath();
            QDialog *asDialog = dialog; // QFileDialog::accept() is protected
            accept ? asDialog->accept() : asDialog->reject();
        });
    };
    answer(true);
    QCOMPARE(host.openFileName({ {}, visitedFile, {}, {} }), visitedFile);

    QVERIFY(QDir::setCurrent(current.path()));
    answer(false);
    QCOMPARE(host.openFileName({ {}, QStringLiteral("notes.txt"), {}, {} }), std::nullopt);
    QCOMPARE(shownFolder, QDir(current.path()).absolutePath());
}

void TestHost::speechGoesASentenceAtATime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("utterances");

    QTest::newRow("sentences") << QStringLiteral("One. Two! Three? Four; five: six")
                               << QStringList { "One.", "Two!", "Three?", "Four;", "five:", "six" };
    QTest::newRow("a stop inside a word")
        << QStringLiteral("See www.example.org now.") << QStringList { "See www.example.org now." };
    QTest::newRow("a line break goes on, a blank line ends") << QStringLiteral(
        "one\r\ntwo\r\n\r\nthree\r\rfour") << QStringList { "one\r\ntwo", "three", "four" };
    QTest::newRow("nothing to say is left out")
        << QStringLiteral("  ... \r\n\r\n - ! Word.  ") << QStringList { "Word." };
    QTest::newRow("empty") << QString() << QStringList();
}

void TestHost::speechGoesASentenceAtATime()
{
    QFETCH(QString, text);
    QFETCH(QStringList, utterances);
    QCOMPARE(SpeechText::utterances(text), utterances);
}

namespace {

QString bigLines(int lines)
{
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("line %1 with a bare\rCR and a bare\nLF\r\n").arg(i);
    return text;
}

} // namespace

void TestHost::bigNewTextIsShownPieceByPiece()
{
    const QString big = bigLines(100000); // about 4 MB
    QSignalSpy progress(m_area, &EditArea::streamProgress);
    QSignalSpy settled(m_area, &EditArea::lineCountSettledAfterChange);
    QSignalSpy changed(m_area, &EditArea::changed);

    m_area->setText(big, EditArea::History::Reset);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_area->text(), big); // the true text is whole at once
    QVERIFY(m_area->isStreaming());
    QVERIFY(m_area->document()->characterCount() < big.size() / 2);
    QVERIFY(m_area->isReadOnly());
    QVERIFY(!m_area->locked());
    const int provisional = m_area->lineCount();

    QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 30000);
    QVERIFY(!m_area->isReadOnly());
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QVERIFY(progress.count() > 2);
    QCOMPARE(m_area->toPlainText(), expectedRendering(big));
    QCOMPARE(settled.count(), 1);
    QVERIFY(m_area->lineCount() > provisional);
    QCOMPARE(m_area->lineCount(), 200001);
    QVERIFY(!m_area->document()->isUndoAvailable());
}

void TestHost::editingWhileABigTextArrivesWaitsForAllOfIt()
{
    const QString big = bigLines(100000);
    m_area->setText(big, EditArea::History::Reset);
    QVERIFY(m_area->isStreaming());
    m_area->setSelStart(0);
    QTest::keyClick(m_area, Qt::Key_X);
    QVERIFY(!m_area->isStreaming());
    QCOMPARE(m_area->text(), QStringLiteral("x") + big);

    m_area->setText(big, EditArea::History::Reset);
    m_area->setSelStart(big.size()); // beyond what is shown yet
    QCOMPARE(m_area->selStart(), big.size());
    m_area->setSelText(QStringLiteral("end"));
    QCOMPARE(m_area->text(), big + QStringLiteral("end"));
    QCOMPARE(m_area->toPlainText(), expectedRendering(m_area->text()));
}

void TestHost::bigChangeInTheMiddleIsShownPieceByPiece()
{
    const QString big = bigLines(100000);
    m_area->setText(big, EditArea::History::Reset);
    m_area->finishStreaming();
    m_area->select(big.size() - 10, 3); // after the change: shown once it arrives
    // Every line of the first three quarters changes; the caret lies after them.
    const qsizetype cut = big.size() * 3 / 4;
    QString changed = big.left(cut);
    changed.replace(QStringLiteral("bare"), QStringLiteral("BARE"));
    changed[5] = u'#';
    changed += big.mid(cut);
    QCOMPARE(changed.size(), big.size());
    m_area->setText(changed);
    QCOMPARE(m_area->text(), changed);
    QVERIFY(m_area->isStreaming());
    QCOMPARE(m_area->selStart(), big.size() - 10);
    QTRY_VERIFY_WITH_TIMEOUT(!m_area->isStreaming(), 30000);
    QCOMPARE(m_area->toPlainText(), expectedRendering(changed));
    QCOMPARE(m_area->selText(), changed.mid(big.size() - 10, 3));
    QCOMPARE(m_area->textCursor().selectedText(), changed.mid(big.size() - 10, 3));
    QVERIFY(!m_area->document()->isUndoAvailable());
    QTest::keyClick(m_area, Qt::Key_X);
    QCOMPARE(m_area->text(), changed.left(big.size() - 10) + u'x' + changed.mid(big.size() - 7));
}

void TestHost::unbrokenRunsWrapAnywhere()
{
    QCOMPARE(m_area->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_area->setText(QStringLiteral("short words\r\n") + QString(300000, u'x'));
    QCOMPARE(m_area->wordWrapMode(), QTextOption::WrapAnywhere);
    QVERIFY(m_area->lineCount() > 1000);
    // Until a new document comes without such a run.
    m_area->setText(QStringLiteral("plain words"));
    QCOMPARE(m_area->wordWrapMode(), QTextOption::WrapAnywhere);
    m_area->setText(QStringLiteral("plain words"), EditArea::History::Reset);
    QCOMPARE(m_area->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

    QApplication::clipboard()->setText(QString(5000, u'y'));
    m_area->paste();
    QCOMPARE(m_area->wordWrapMode(), QTextOption::WrapAnywhere);
}

void TestHost::fakeHostRecordsAndAnswersBoxes()
{
    FakeHost host;
    host.answerMessage(Host::Button::No);
    host.answerInput(QStringLiteral("typed"));
    QCOMPARE(host.messageBox(QStringLiteral("Sure?"), {}, Host::Icon::Question,
                 Host::Buttons::YesNo, Host::Button::No),
        Host::Button::No);
    QCOMPARE(
        host.inputBox(QStringLiteral("Name"), QStringLiteral("Ask"), {}), QStringLiteral("typed"));
    QCOMPARE(host.pendingAnswers(), 0);
    QCOMPARE(host.shown().size(), 2);
    const FakeHost::Shown box = host.shown().at(0);
    QCOMPARE(box.prompt, QStringLiteral("Sure?"));
    QCOMPARE(box.title, QStringLiteral("Tarvex")); // no title given
    QCOMPARE(box.icon, Host::Icon::Question);
    QCOMPARE(box.buttons, Host::Buttons::YesNo);
    QCOMPARE(box.defaultButton, std::optional<Host::Button>(Host::Button::No));
    QCOMPARE(host.lastShown().title, QStringLiteral("Ask"));
}

void TestHost::keystrokesArriveAfterTheCommand()
{
    m_area->setText(QString());
    postKeystrokes(m_area, QStringLiteral("a+{b}\r\n\tc"));
    QCOMPARE(m_area->text(), QString()); // queued, not typed yet
    QTRY_COMPARE(m_area->text(), QStringLiteral("a+{b}\r\n\tc"));
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"
