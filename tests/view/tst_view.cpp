#include "view/textview.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kExactTextMime = u"application/x-tarvex-exact-text"_s;

// A text with its selection drawn in: `|` is the caret, `{` the anchor when something is
// selected.
void setPicture(Document &document, QString picture)
{
    const qsizetype mark = picture.indexOf(u'{'), caretMark = picture.indexOf(u'|');
    const qsizetype caret = mark >= 0 && mark < caretMark ? caretMark - 1 : caretMark;
    const qsizetype anchor = mark < 0 ? caret : mark > caretMark ? mark - 1 : mark;
    picture.remove(u'{').remove(u'|');
    document.setText(picture);
    document.clearHistory();
    document.setSelection({ anchor, caret });
}

QString picture(const Document &document)
{
    QString text = document.mid(0, document.size());
    const Selection selection = document.selection();
    if (selection.anchor == selection.caret)
        return text.insert(selection.caret, u'|');
    if (selection.anchor < selection.caret)
        return text.insert(selection.caret, u'|').insert(selection.anchor, u'{');
    return text.insert(selection.anchor, u'{').insert(selection.caret, u'|');
}

void pressKeys(QWidget *widget, const QString &keys)
{
    for (const QString &one : keys.split(u' ', Qt::SkipEmptyParts)) {
        const QKeyCombination key = QKeySequence::fromString(one)[0];
        QTest::keyClick(widget, key.key(), key.keyboardModifiers());
    }
}

// Where a character sits on screen, from the font alone: the view keeps a margin of 4 pixels
// around the text.
QPoint pointOf(QWidget *area, const QString &line, qsizetype column, int lineIndex = 0)
{
    const QFontMetricsF metrics(area->font());
    // A quarter into the character: nearer its left edge than its right.
    const qreal x = 4 + metrics.horizontalAdvance(line.left(column))
        + metrics.horizontalAdvance(line.mid(column, 1)) / 4;
    return QPointF(x, 4 + metrics.height() * (lineIndex + 0.5)).toPoint();
}

// Display lines of a text as Qt lays out each of its paragraphs whole at `width`.
int qtLineCount(const QString &text, const QFont &font, qreal width)
{
    int lines = 0;
    for (QString paragraph : text.split(u'\r')) {
        if (paragraph.startsWith(u'\n') && lines > 0)
            paragraph.remove(0, 1); // the LF of a CR LF pair
        QTextLayout layout(paragraph.replace(u'\n', QChar(0x240A)), font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
    }
    return lines;
}

TextView *makeArea(Document &document)
{
    auto *area = new TextView(document);
    area->setAccessibleName(u"Text"_s); // as the main window names it
    return area;
}

/// Waits until the view's line count is exact.
void settle(TextView *area)
{
    while (!area->lineCountSettled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

// The edit area as the user meets it, by keyboard, mouse, clipboard, input method and screen
// reader.
class TestView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keysMoveAndSelect_data();
    void keysMoveAndSelect();
    void keysEditTheText_data();
    void keysEditTheText();
    void pagesMoveByWhatIsSeen();
    void mouseSetsCaretAndSelection_data();
    void mouseSetsCaretAndSelection();
    void draggingPastTheEdgeScrolls();
    void clipboardCarriesTheExactText();
    void selectingFillsThePrimarySelection();
    void dropPutsTextWhereTheMouseLetGo_data();
    void dropPutsTextWhereTheMouseLetGo();
    void dragCarriesTheExactText();
    void contextMenuOffersTheEditingCommands();
    void undoGroupsKeysAsTyped_data();
    void undoGroupsKeysAsTyped();
    void insertKeyTogglesOverwrite_data();
    void insertKeyTogglesOverwrite();
    void inputMethodComposesThenCommits();
    void lockedAreaTakesNoEditButMoves_data();
    void lockedAreaTakesNoEditButMoves();
    void userActionsAreAnnounced();
    void menuShortcutsAreLeftToTheMenu();
    void lineCountCountsWrappedLines();
    void unwrappedLinesRunOnAndScrollSideways();
    void longLineCountsExactlyAfterEdits_data();
    void longLineCountsExactlyAfterEdits();
    void paletteFontAndFrameAreUsed();
    void screenReaderReadsTextCaretAndSelection();
    void screenReaderReadsAtBoundaries_data();
    void screenReaderReadsAtBoundaries();
    void bigAndOddInputsOpenScrollAndEdit_data();
    void bigAndOddInputsOpenScrollAndEdit();

private:
    Document *m_document = nullptr;
    TextView *m_area = nullptr;
};

void TestView::init()
{
    QTest::failOnWarning(QRegularExpression(u"QObject::connect"_s));
    m_document = new Document;
    m_area = makeArea(*m_document);
    m_document->setParent(m_area);
    m_area->resize(400, 300);
    m_area->show();
    m_area->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_area));
}

void TestView::cleanup()
{
    delete m_area;
    const QList<QWidget *> left = QApplication::topLevelWidgets();
    for (QWidget *widget : left)
        delete qobject_cast<QMenu *>(widget);
}

// ---- Keyboard ------------------------------------------------------------------------------

void TestView::keysMoveAndSelect_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::newRow("ab|c: left") << u"ab|c"_s << u"Left"_s << u"a|bc"_s;
    QTest::newRow("a|bc: shift right twice") << u"a|bc"_s << u"Shift+Right Shift+Right"_s << u"a{bc|"_s;
    QTest::newRow("a{bc|: left collapses") << u"a{bc|"_s << u"Left"_s << u"a|bc"_s;
    QTest::newRow("a|\\r\\nb: right skips the pair") << u"a|\r\nb"_s << u"Right"_s << u"a\r\n|b"_s;
    QTest::newRow("a\\r|b: left over a bare CR") << u"a\r|b"_s << u"Left"_s << u"a|\rb"_s;
    QTest::newRow("a|\\nb: right over a bare LF") << u"a|\nb"_s << u"Right"_s << u"a\n|b"_s;
    QTest::newRow("|emoji: right takes the pair") << u"|\U0001F600x"_s << u"Right"_s << u"\U0001F600|x"_s;
    QTest::newRow("|e+accent: right takes both") << u"|e\u0301x"_s << u"Right"_s << u"e\u0301|x"_s;
    QTest::newRow("one tw|o: ctrl left") << u"one tw|o"_s << u"Ctrl+Left"_s << u"one |two"_s;
    QTest::newRow("on|e two: ctrl right") << u"on|e two"_s << u"Ctrl+Right"_s << u"one |two"_s;
    QTest::newRow("|one two: ctrl shift right") << u"|one two"_s << u"Ctrl+Shift+Right"_s << u"{one |two"_s;
    QTest::newRow("x\\r\\nab|c: home") << u"x\r\nab|c"_s << u"Home"_s << u"x\r\n|abc"_s;
    QTest::newRow("a|bc\\r\\nx: end") << u"a|bc\r\nx"_s << u"End"_s << u"abc|\r\nx"_s;
    QTest::newRow("ab|c: shift home") << u"ab|c"_s << u"Shift+Home"_s << u"|ab{c"_s;
    QTest::newRow("a|b\\r\\ncd: down") << u"a|b\r\ncd"_s << u"Down"_s << u"ab\r\nc|d"_s;
    QTest::newRow("ab\\r\\nc|d: up") << u"ab\r\nc|d"_s << u"Up"_s << u"a|b\r\ncd"_s;
    QTest::newRow("a|b\\rcd: shift down") << u"a|b\rcd"_s << u"Shift+Down"_s << u"a{b\rc|d"_s;
    QTest::newRow("abcd|\\r\\nx: down keeps the column")
        << u"abcd|\r\nx\r\nabcdef"_s << u"Down Down"_s << u"abcd\r\nx\r\nabcd|ef"_s;
    QTest::newRow("ab\\r\\nc|d: ctrl home") << u"ab\r\nc|d"_s << u"Ctrl+Home"_s << u"|ab\r\ncd"_s;
    QTest::newRow("a|b\\r\\ncd: ctrl shift end") << u"a|b\r\ncd"_s << u"Ctrl+Shift+End"_s << u"a{b\r\ncd|"_s;
    QTest::newRow("ab|: ctrl a") << u"ab|"_s << u"Ctrl+A"_s << u"{ab|"_s;
}

void TestView::keysMoveAndSelect()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    setPicture(*m_document, before);
    pressKeys(m_area, keys);
    QCOMPARE(picture(*m_document), after);
}

void TestView::keysEditTheText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::newRow("a|b: x") << u"a|b"_s << u"X"_s << u"ax|b"_s;
    QTest::newRow("a{b|c: x replaces") << u"a{b|c"_s << u"X"_s << u"ax|c"_s;
    QTest::newRow("a|b: return is CR LF") << u"a|b"_s << u"Return"_s << u"a\r\n|b"_s;
    QTest::newRow("a|b: tab") << u"a|b"_s << u"Tab"_s << u"a\t|b"_s;
    QTest::newRow("a\\r\\n|b: backspace takes the pair") << u"a\r\n|b"_s << u"Backspace"_s << u"a|b"_s;
    QTest::newRow("a|\\rb: delete takes a bare CR") << u"a|\rb"_s << u"Delete"_s << u"a|b"_s;
    QTest::newRow("a|\\nb: delete takes a bare LF") << u"a|\nb"_s << u"Delete"_s << u"a|b"_s;
    QTest::newRow("emoji|: backspace takes the pair") << u"x\U0001F600|"_s << u"Backspace"_s << u"x|"_s;
    QTest::newRow("|e+accent: delete takes both") << u"|e\u0301x"_s << u"Delete"_s << u"|x"_s;
    QTest::newRow("one two|: ctrl backspace") << u"one two|"_s << u"Ctrl+Backspace"_s << u"one |"_s;
    QTest::newRow("|one two: ctrl delete") << u"|one two"_s << u"Ctrl+Delete"_s << u"|two"_s;
}

void TestView::keysEditTheText()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    setPicture(*m_document, before);
    QSignalSpy changed(m_document, &Document::changed);
    pressKeys(m_area, keys);
    QCOMPARE(picture(*m_document), after);
    QCOMPARE(changed.count(), 1);
}

// Page Down moves the caret and the view by what the area shows, and Page Up comes back.
void TestView::pagesMoveByWhatIsSeen()
{
    m_document->setText(u"line\r\n"_s.repeated(200));
    m_document->select(0, 0);
    const int shown = m_area->viewport()->height() / QFontMetrics(m_area->font()).height();
    QTest::keyClick(m_area, Qt::Key_PageDown);
    const qsizetype line = m_document->paragraphAt(m_document->selection().caret);
    QVERIFY2(line >= shown - 2 && line <= shown + 1, qPrintable(QString::number(line)));
    QVERIFY(m_area->verticalScrollBar()->value() > 0);
    QTest::keyClick(m_area, Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(m_document->selection().anchor, 6 * line);
    QTest::keyClick(m_area, Qt::Key_PageUp);
    QTest::keyClick(m_area, Qt::Key_PageUp);
    QCOMPARE(m_document->selection().caret, 0);
    QCOMPARE(m_area->verticalScrollBar()->value(), 0);
}

// ---- Mouse ---------------------------------------------------------------------------------

void TestView::mouseSetsCaretAndSelection_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("gesture"); // click, shift-click, double, triple or drag
    QTest::addColumn<int>("column"); // on the first line; a drag goes from the caret's column
    QTest::addColumn<QString>("after");
    QTest::newRow("|one two: click on w") << u"|one two\r\nx"_s << u"click"_s << 5 << u"one t|wo\r\nx"_s;
    QTest::newRow("o|ne two: shift-click on w")
        << u"o|ne two\r\nx"_s << u"shift-click"_s << 5 << u"o{ne t|wo\r\nx"_s;
    QTest::newRow("|one two: double-click on w")
        << u"|one two\r\nx"_s << u"double"_s << 5 << u"one {two|\r\nx"_s;
    QTest::newRow("|one two: triple-click takes the line")
        << u"|one two\r\nx"_s << u"triple"_s << 5 << u"{one two\r\n|x"_s;
    QTest::newRow("o|ne two: drag to w") << u"o|ne two\r\nx"_s << u"drag"_s << 5 << u"o{ne t|wo\r\nx"_s;
}

void TestView::mouseSetsCaretAndSelection()
{
    QFETCH(QString, before);
    QFETCH(QString, gesture);
    QFETCH(int, column);
    QFETCH(QString, after);
    setPicture(*m_document, before);
    const QString line = m_document->mid(0, m_document->paragraphEnd(0));
    QWidget *viewport = m_area->viewport();
    const QPoint at = pointOf(m_area, line, column);
    if (gesture == u"click") {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else if (gesture == u"shift-click") {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, at);
    } else if (gesture == u"double" || gesture == u"triple") {
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        if (gesture == u"triple")
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else {
        const QPoint from = pointOf(m_area, line, m_document->selection().caret);
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
            Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
    QCOMPARE(picture(*m_document), after);
}

// Dragging out below the area scrolls on, and the selection follows.
void TestView::draggingPastTheEdgeScrolls()
{
    m_document->setText(u"line\r\n"_s.repeated(300));
    m_document->select(0, 0);
    QWidget *viewport = m_area->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, pointOf(m_area, u"line"_s, 0));
    const QPoint below(10, viewport->height() + 30);
    QCursor::setPos(viewport->mapToGlobal(below)); // where the scrolling looks for the mouse
    QMouseEvent move(QEvent::MouseMove, below, viewport->mapToGlobal(below), Qt::NoButton,
        Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QTRY_VERIFY(m_area->verticalScrollBar()->value() > 5);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
    QCOMPARE(m_document->selection().anchor, 0);
    QVERIFY(m_document->paragraphAt(m_document->selection().caret) > 15);
}

// ---- Clipboard, drag and drop --------------------------------------------------------------

void TestView::clipboardCarriesTheExactText()
{
    QClipboard *clipboard = QApplication::clipboard();
    setPicture(*m_document, u"ab{\rx\ny|\r\nz"_s);
    QTest::keyClick(m_area, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), u"\rx\ny"_s);
    QCOMPARE(clipboard->mimeData()->data(kExactTextMime), "\rx\ny"_ba);
    QTest::keyClick(m_area, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(picture(*m_document), u"ab|\r\nz"_s);
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_area, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(picture(*m_document), u"ab\r\nz\rx\ny|"_s);
    // Other programs break lines with an LF or a separator: they paste as CR LF.
    clipboard->setText(u"1\n2\u2029"_s);
    QTest::keyClick(m_area, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(picture(*m_document), u"ab\r\nz\rx\ny1\r\n2\r\n|"_s);
}

// What is selected becomes the primary selection, which a middle click pastes.
void TestView::selectingFillsThePrimarySelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("this platform has no primary selection (the end-to-end test has one)");
    setPicture(*m_document, u"|one two"_s);
    QTest::keyClick(m_area, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(QClipboard::Selection), u"one "_s);
    clipboard->setText(u"X"_s, QClipboard::Selection);
    QTest::mouseClick(m_area->viewport(), Qt::MiddleButton, {}, pointOf(m_area, u"one two"_s, 7));
    QCOMPARE(m_document->mid(0, 9), u"one twoX"_s);
}

void TestView::dropPutsTextWhereTheMouseLetGo_data()
{
    QTest::addColumn<QString>("mime");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("after");
    QTest::newRow("exact text keeps a bare LF")
        << kExactTextMime << "x\ny"_ba << u"onex\ny| two"_s;
    QTest::newRow("plain text's LF becomes CR LF") << u"text/plain"_s << "x\ny"_ba << u"onex\r\ny| two"_s;
}

void TestView::dropPutsTextWhereTheMouseLetGo()
{
    QFETCH(QString, mime);
    QFETCH(QByteArray, data);
    QFETCH(QString, after);
    setPicture(*m_document, u"|one two"_s);
    QMimeData dropped;
    dropped.setData(mime, data);
    const QPoint at = pointOf(m_area, u"one two"_s, 3) - QPoint(3, 0); // just before the blank
    QWidget *viewport = m_area->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    QCOMPARE(picture(*m_document), after);
}

// Pressing on the selection and moving starts a drag that carries the exact text.
void TestView::dragCarriesTheExactText()
{
    setPicture(*m_document, u"a{b\nc|d"_s);
    QWidget *viewport = m_area->viewport();
    const QString line = u"ab\u240Acd"_s;
    const QPoint from = pointOf(m_area, line, 2);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    const QPoint to = from + QPoint(0, 40);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton,
        Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    // The drag is over at once here (no platform drag); Qt deletes it later.
    const auto *drag = m_area->findChild<QDrag *>();
    QVERIFY(drag && drag->mimeData());
    QCOMPARE(drag->mimeData()->data(kExactTextMime), "b\nc"_ba);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    QCOMPARE(m_document->mid(0, m_document->size()), u"ab\ncd"_s); // given up: nothing moved
}

// The context menu's commands work on the document, its Undo and Redo too.
void TestView::contextMenuOffersTheEditingCommands()
{
    setPicture(*m_document, u"{one|"_s);
    QApplication::clipboard()->setText(u"p"_s);
    QTest::keyClick(m_area, Qt::Key_X); // "x|", one step to undo
    m_document->select(0, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
        m_area->viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(m_area->viewport(), &event);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
    QStringList enabled;
    for (QAction *action : menu->actions()) {
        if (action->isEnabled() && !action->objectName().isEmpty())
            enabled << action->objectName();
    }
    QCOMPARE(enabled,
        QStringList({ u"edit-undo"_s, u"edit-cut"_s, u"edit-copy"_s, u"edit-paste"_s,
            u"edit-delete"_s, u"select-all"_s }));
    menu->findChild<QAction *>(u"edit-undo"_s)->trigger();
    QCOMPARE(m_document->mid(0, 9), u"one"_s);
    menu->close();
}

// ---- Undo, overwrite, input methods --------------------------------------------------------

// Ctrl+Z after the keys: the text as each undo leaves it, `/` between steps.
void TestView::undoGroupsKeysAsTyped_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("undone");
    QTest::newRow("typing is one step") << u"A B Space C"_s << u"|"_s;
    QTest::newRow("return parts typing") << u"A Return B"_s << u"a\r\n|/a|/|"_s;
    QTest::newRow("backspaces after typing")
        << u"A B C Backspace Backspace"_s << u"abc|/|"_s;
    QTest::newRow("a move parts typing") << u"A Left B"_s << u"|a/|"_s;
}

void TestView::undoGroupsKeysAsTyped()
{
    QFETCH(QString, keys);
    QFETCH(QString, undone);
    pressKeys(m_area, keys);
    QStringList steps;
    while (m_document->canUndo()) {
        QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
        steps << picture(*m_document);
    }
    QCOMPARE(steps.join(u'/'), undone);
    const QString done = picture(*m_document);
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(picture(*m_document) != done);
}

void TestView::insertKeyTogglesOverwrite_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::newRow("a|bc: insert x") << u"a|bc"_s << u"Insert X"_s << u"ax|c"_s;
    QTest::newRow("ab|\\r\\nc: insert x y, stops at the line end")
        << u"ab|\r\nc"_s << u"Insert X Y"_s << u"abxy|\r\nc"_s;
    QTest::newRow("a|bc: insert insert x") << u"a|bc"_s << u"Insert Insert X"_s << u"ax|bc"_s;
}

void TestView::insertKeyTogglesOverwrite()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    setPicture(*m_document, before);
    pressKeys(m_area, keys);
    QCOMPARE(picture(*m_document), after);
}

// Composing shows the pre-edit text without putting it in the document; committing puts it in.
void TestView::inputMethodComposesThenCommits()
{
    setPicture(*m_document, u"ab\r\nc|d"_s);
    QSignalSpy changed(m_document, &Document::changed);
    QTextCharFormat underlined; // as input methods send it
    underlined.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    QInputMethodEvent compose(u"nn"_s,
        { { QInputMethodEvent::Cursor, 2, 1, {} },
            { QInputMethodEvent::TextFormat, 0, 2, underlined } });
    QApplication::sendEvent(m_area, &compose);
    QCOMPARE(picture(*m_document), u"ab\r\nc|d"_s);
    // Drawn underlined: a row of ink under the composed text, as wide as it.
    const QImage shot = m_area->viewport()->grab().toImage();
    const QFontMetrics metrics(m_area->font());
    const int left = 4 + metrics.horizontalAdvance(u"c"_s), width = metrics.horizontalAdvance(u"nn"_s);
    int longestRun = 0;
    for (int y = 4 + metrics.height(); y < 4 + 2 * metrics.height() + 2; ++y) {
        int run = 0;
        for (int x = left; x < left + width; ++x) {
            run = qGray(shot.pixel(x, y)) < 128 ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    QVERIFY2(longestRun >= width - 2, qPrintable(QString::number(longestRun)));
    QCOMPARE(m_area->inputMethodQuery(Qt::ImSurroundingText).toString(), u"cd"_s);
    QCOMPARE(m_area->inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);
    QVERIFY(m_area->inputMethodQuery(Qt::ImEnabled).toBool());
    const QRect caret = m_area->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(caret.height() > 0 && m_area->rect().contains(caret.center()));
    QInputMethodEvent commit;
    commit.setCommitString(u"\u4F60"_s);
    QApplication::sendEvent(m_area, &commit);
    QCOMPARE(picture(*m_document), u"ab\r\nc\u4F60|d"_s);
    QCOMPARE(changed.count(), 1);
}

// ---- Locked ----------------------------------------------------------------------------------

void TestView::lockedAreaTakesNoEditButMoves_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::newRow("x, return, backspace, delete")
        << u"X Return Backspace Delete"_s << u"ke|ep"_s;
    QTest::newRow("cut and paste") << u"Shift+Right Ctrl+X Ctrl+V"_s << u"ke{e|p"_s;
    QTest::newRow("undo") << u"Ctrl+Z"_s << u"ke|ep"_s;
    QTest::newRow("moves") << u"End Left"_s << u"kee|p"_s;
}

void TestView::lockedAreaTakesNoEditButMoves()
{
    QFETCH(QString, keys);
    QFETCH(QString, after);
    setPicture(*m_document, u"k|eep"_s);
    QTest::keyClick(m_area, Qt::Key_Right); // an undo step that the lock keeps from the user
    QTest::keyClick(m_area, Qt::Key_Space);
    QTest::keyClick(m_area, Qt::Key_Backspace);
    m_document->setLocked(true);
    QApplication::clipboard()->setText(u"pasted"_s);
    pressKeys(m_area, keys);
    QInputMethodEvent commit;
    commit.setCommitString(u"ime"_s);
    QApplication::sendEvent(m_area, &commit);
    QCOMPARE(picture(*m_document), after);
}

// ---- What the rest of the program listens to ----------------------------------------------

void TestView::userActionsAreAnnounced()
{
    setPicture(*m_document, u"one |two"_s);
    QString seenBeforeTyping;
    connect(m_area, &TextView::keyPressed, this,
        [&](QChar typed) { seenBeforeTyping = m_document->mid(0, 99) + u'+' + typed; });
    QSignalSpy released(m_area, &TextView::keyReleased);
    QSignalSpy mouseReleased(m_area, &TextView::mouseReleased);
    QSignalSpy doubleClicked(m_area, &TextView::doubleClicked);
    QTest::keyClick(m_area, 'A');
    QCOMPARE(seenBeforeTyping, u"one two+A"_s);
    QCOMPARE(released.count(), 1);
    QTest::mouseDClick(m_area->viewport(), Qt::LeftButton, {}, pointOf(m_area, u"one Atwo"_s, 1));
    QCOMPARE(doubleClicked.count(), 1);
    QTest::mouseClick(m_area->viewport(), Qt::LeftButton, {}, pointOf(m_area, u"one Atwo"_s, 1));
    QVERIFY(mouseReleased.count() >= 1);
}

void TestView::menuShortcutsAreLeftToTheMenu()
{
    setPicture(*m_document, u"{some| text"_s);
    for (const char *keys : { "Ctrl+X", "Ctrl+V", "Shift+Ins", "Ctrl+A", "Ctrl+Z" }) {
        QAction row;
        row.setShortcut(QKeySequence(QString::fromLatin1(keys)));
        m_area->addAction(&row);
        m_area->setMenuShortcuts({ row.shortcut() });
        QSignalSpy triggered(&row, &QAction::triggered);
        QTest::keySequence(m_area, row.shortcut());
        QVERIFY2(triggered.count() == 1, keys);
        QCOMPARE(picture(*m_document), u"{some| text"_s);
    }
}

// Display lines, wrapped ones counted, are known at once and follow each key.
void TestView::lineCountCountsWrappedLines()
{
    m_document->setText(u"a\r\nb\rc\nd"_s);
    QCOMPARE(m_area->lineCount(), 3);
    const QString words = u"word "_s.repeated(400);
    m_document->setText(words);
    const int lines = qtLineCount(words, m_area->font(), m_area->viewport()->width() - 8);
    settle(m_area);
    QCOMPARE(m_area->lineCount(), lines);
    const int scrollEnd = m_area->verticalScrollBar()->maximum();
    m_document->select(m_document->size(), 0);
    for (int typed = 0; typed < 100 && m_area->lineCount() == lines; ++typed)
        QTest::keyClick(m_area, 'x');
    QCOMPARE(m_area->lineCount(), lines + 1);
    QCOMPARE(m_area->verticalScrollBar()->maximum(), scrollEnd + 1);
}

// Without wrapping a paragraph is one display line, and the view scrolls sideways to the caret.
void TestView::unwrappedLinesRunOnAndScrollSideways()
{
    m_document->setText(u"word "_s.repeated(400) + u"end\r\nshort"_s);
    m_area->setWordWrap(false);
    settle(m_area);
    QCOMPARE(m_area->lineCount(), 2);
    QScrollBar *sideways = m_area->horizontalScrollBar();
    QVERIFY(sideways->maximum() > 0 && sideways->value() == 0);
    QTest::keyClick(m_area, Qt::Key_End);
    QCOMPARE(m_document->selection().caret, 2003);
    QVERIFY(sideways->value() > 0);
    QVERIFY(m_area->viewport()->rect().contains(m_area->caretRect().center().toPoint()));
    QTest::mouseClick(m_area->viewport(), Qt::LeftButton, {}, m_area->caretRect().center().toPoint());
    QCOMPARE(m_document->selection().caret, 2003);
    QTest::keyClick(m_area, Qt::Key_Down);
    QCOMPARE(m_document->selection().caret, m_document->size());
    QCOMPARE(sideways->value(), 0);
    m_area->setWordWrap(true);
    settle(m_area);
    QVERIFY(m_area->lineCount() > 20);
}

// A line of 60,000 characters re-wraps after each edit only near it; the count stays what Qt
// gives the whole text.
void TestView::longLineCountsExactlyAfterEdits_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("at"); // where the caret goes, as a share of the text
    QTest::newRow("x in the middle") << u"X"_s << 0.5;
    QTest::newRow("a word taken out in the middle") << u"Ctrl+Backspace Ctrl+Backspace"_s << 0.5;
    QTest::newRow("blanks at the start") << u"Space Space Space"_s << 0.0;
    QTest::newRow("a long word near the end") << u"W W W W W W W W W W W W W W W W W W W W"_s << 0.9;
    QTest::newRow("a line break in the middle") << u"Return"_s << 0.5;
}

void TestView::longLineCountsExactlyAfterEdits()
{
    QFETCH(QString, keys);
    QFETCH(double, at);
    QString text;
    for (int i = 0; text.size() < 60000; ++i)
        text += u"word%1 and some more words, "_s.arg(i % 97);
    m_document->setText(text);
    settle(m_area);
    m_document->select(qsizetype(text.size() * at), 0);
    pressKeys(m_area, keys);
    settle(m_area);
    const QString after = m_document->mid(0, m_document->size());
    QCOMPARE(m_area->lineCount(), qtLineCount(after, m_area->font(), m_area->viewport()->width() - 8));
}

// The area paints in the palette's colours (high contrast among them), in its font, and has a
// frame that shows focus.
void TestView::paletteFontAndFrameAreUsed()
{
    m_document->setText(u"MMMM MMMM"_s);
    QPalette contrast = m_area->palette();
    contrast.setColor(QPalette::Base, Qt::black);
    contrast.setColor(QPalette::Text, Qt::yellow);
    m_area->setPalette(contrast);
    QFont font = m_area->font();
    font.setPointSize(20);
    m_area->setFont(font);
    const auto ink = [this](bool underline) {
        QFont f = m_area->font();
        f.setUnderline(underline);
        m_area->setFont(f);
        const QImage shot = m_area->viewport()->grab().toImage();
        int yellow = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                yellow += shot.pixelColor(x, y) == QColor(Qt::yellow);
        }
        return std::pair(yellow, shot.pixelColor(shot.width() - 2, shot.height() - 2));
    };
    const auto [plain, corner] = ink(false);
    QCOMPARE(corner, QColor(Qt::black));
    const int tall = QFontMetrics(font).height();
    QVERIFY2(plain > tall * 4, qPrintable(QString::number(plain))); // letters drawn big
    QVERIFY(ink(true).first > plain);
    QVERIFY(m_area->frameWidth() > 0);
}

// ---- Screen readers --------------------------------------------------------------------------

void TestView::screenReaderReadsTextCaretAndSelection()
{
    setPicture(*m_document, u"one {two|"_s);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_area);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Name), u"Text"_s);
    QVERIFY(accessible->state().multiLine && accessible->state().editable);
    QVERIFY(accessible->state().focusable);
    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text && accessible->editableTextInterface());
    QCOMPARE(text->characterCount(), 7);
    QCOMPARE(text->text(0, 7), u"one two"_s);
    QCOMPARE(text->cursorPosition(), 7);
    QCOMPARE(text->selectionCount(), 1);
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(QPair(start, end), QPair(4, 7));
    // Each character has its box on screen, left to right, and the box's middle is its offset.
    const QRect o = text->characterRect(0), n = text->characterRect(1);
    QVERIFY(o.width() > 0 && o.height() > 0 && n.left() >= o.right());
    QVERIFY(m_area->rect().translated(m_area->mapToGlobal(QPoint())).contains(n));
    QCOMPARE(text->offsetAtPoint(n.center()), 1);
    // The screen reader may move the caret and select, and edit.
    text->setCursorPosition(1);
    QCOMPARE(picture(*m_document), u"o|ne two"_s);
    text->setSelection(0, 0, 3);
    QCOMPARE(picture(*m_document), u"{one| two"_s);
    accessible->editableTextInterface()->insertText(3, u"!"_s);
    QCOMPARE(m_document->mid(0, 9), u"one! two"_s);
    m_document->setLocked(true);
    QVERIFY(accessible->state().readOnly);
}

// The text at an offset for each boundary; "\r\n" is shown as "/" in the rows.
void TestView::screenReaderReadsAtBoundaries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<QString>("found");
    const int chr = QAccessible::CharBoundary, word = QAccessible::WordBoundary,
              line = QAccessible::LineBoundary;
    QTest::newRow("one t[w]o: char") << u"one two"_s << 5 << chr << u"w"_s;
    QTest::newRow("one t[w]o: word") << u"one two"_s << 5 << word << u"two"_s;
    QTest::newRow("ab, c[d]: line") << u"ab\ncd"_s << 4 << line << u"cd"_s;
}

void TestView::screenReaderReadsAtBoundaries()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, boundary);
    QFETCH(QString, found);
    m_document->setText(text.replace(u'\n', u'\r'));
    QAccessibleTextInterface *reader = QAccessible::queryAccessibleInterface(m_area)->textInterface();
    int start = -1, end = -1;
    const QString at = reader->textAtOffset(offset, QAccessible::TextBoundaryType(boundary), &start, &end);
    QCOMPARE(at.trimmed(), found);
    QCOMPARE(reader->text(start, end), at);
}

// ---- Big and odd inputs ----------------------------------------------------------------------

// Each opens, goes to its end with Ctrl+End, shows the caret there and takes a key.
void TestView::bigAndOddInputsOpenScrollAndEdit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("200,000 lines") << u"a line of text\r\n"_s.repeated(200000);
    QTest::newRow("one 2 MB line") << u"words without end "_s.repeated(120000);
    QTest::newRow("NULs") << QString(300000, QChar(0));
    QTest::newRow("CJK") << u"\u4E2D\u6587\u6587\u672C"_s.repeated(20000);
    QTest::newRow("right to left") << u"\u05E9\u05DC\u05D5\u05DD \u0639\u0627\u0644\u0645 "_s.repeated(10000);
    QTest::newRow("emoji and combining marks")
        << u"\U0001F600e\u0301\u0302 \U0001F44D\U0001F3FD "_s.repeated(10000);
}

void TestView::bigAndOddInputsOpenScrollAndEdit()
{
    QFETCH(QString, text);
    m_document->load(TextBuffer(text), std::nullopt);
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    settle(m_area);
    QCOMPARE(m_document->selection().caret, text.size());
    const QRect caret = m_area->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(m_area->viewport()->rect().adjusted(0, -1, 0, 1).contains(caret.center()));
    QTest::keyClick(m_area, Qt::Key_Z);
    QCOMPARE(m_document->size(), text.size() + 1);
    QCOMPARE(m_document->at(text.size()), u'z');
    QVERIFY(m_area->lineCount() >= text.count(u'\r') + 1);
}

QTEST_MAIN(TestView)
#include "tst_view.moc"
