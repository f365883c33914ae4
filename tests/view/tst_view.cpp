#include "view/textview.h"

#include <QAccessible>
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
    const qsizetype anchorMark = picture.indexOf(u'{');
    const qsizetype caret = picture.remove(u'{').indexOf(u'|');
    document.setText(picture.remove(u'|'));
    document.clearHistory();
    document.setSelection({ anchorMark < 0 ? caret : anchorMark - (anchorMark > caret), caret });
}

QString picture(const Document &document)
{
    const auto [anchor, caret] = document.selection();
    QString text = QString(document.text()).insert(caret, u'|');
    return anchor == caret ? text : text.insert(anchor + (anchor > caret), u'{');
}

// A table row named after the text it starts from and what is done to it.
void pictureRow(const QString &before, const QString &action, const QString &after)
{
    const QString name = before + u": "_s + action;
    QTest::newRow(qPrintable(QString(name).replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s)))
        << before << action << after;
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
QPoint pointOf(QWidget *area, const QString &line, qsizetype column)
{
    const QFontMetricsF metrics(area->font());
    // A quarter into the character: nearer its left edge than its right.
    const qreal x = 4 + metrics.horizontalAdvance(line.left(column))
        + metrics.horizontalAdvance(line.mid(column, 1)) / 4;
    return QPointF(x, 4 + metrics.height() / 2).toPoint();
}

// Display lines of a text as Qt lays out each of its paragraphs whole in the area.
int qtLineCount(const QString &text, const TextView *area)
{
    int lines = 0;
    for (QString paragraph : text.split(QRegularExpression(u"\r\n?"_s))) {
        QTextLayout layout(paragraph.replace(u'\n', QChar(0x240A)), area->font());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(area->viewport()->width() - 8); // the margins
            ++lines;
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace

// The edit area as the user meets it, by keyboard, mouse, clipboard, input method and screen
// reader.
class TestView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(u"QObject::connect"_s));
        m_document = new Document;
        m_area = new TextView(*m_document);
        m_document->setParent(m_area);
        m_area->resize(400, 300);
        m_area->show();
        m_area->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_area));
    }

    // The context menu goes with the area, its parent.
    void cleanup() { delete m_area; }

    // ---- Keyboard and mouse -------------------------------------------------------------------

    // The keys in turn from the text `before`, each at most one change of the document; "Lock"
    // locks the document, "=x" is x committed by an input method.
    void keysMoveSelectEditAndUndo_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        pictureRow("a|bc", "Shift+Right Shift+Right", "a{bc|");
        pictureRow("a{bc|", "Left", "a|bc");
        pictureRow("a|\r\nb", "Right", "a\r\n|b");
        pictureRow("a\r|b", "Left", "a|\rb");
        pictureRow("a|\nb", "Right", "a\n|b");
        pictureRow("|\U0001F600x", "Right", "\U0001F600|x");
        pictureRow("|e\u0301x", "Right", "e\u0301|x");
        pictureRow("one tw|o", "Ctrl+Left Ctrl+Left Ctrl+Right", "one |two");
        pictureRow("|one two", "Ctrl+Shift+Right", "{one |two");
        pictureRow("x\r\nab|c", "Home", "x\r\n|abc");
        pictureRow("x\r\na|bc\r\ny", "End Shift+Home", "x\r\n|abc{\r\ny");
        pictureRow("ab\rc|d", "Up Shift+Down", "a{b\rc|d");
        pictureRow("abcd|\r\nx\r\nabcdef", "Down Down", "abcd\r\nx\r\nabcd|ef");
        pictureRow("ab\r\nc|d", "Ctrl+Home Ctrl+Shift+End", "{ab\r\ncd|");
        pictureRow("ab|", "Ctrl+A", "{ab|");
        pictureRow("a{b|c", "X", "ax|c");
        pictureRow("a|b", "Return", "a\r\n|b");
        pictureRow("a|b", "Tab", "a\t|b");
        pictureRow("a\r\n|b\rc", "Backspace Right Delete", "ab|c");
        pictureRow("x\U0001F600|e\u0301y", "Backspace Delete", "x|y");
        pictureRow("one |two three", "Ctrl+Delete Ctrl+Backspace", "|three");
        pictureRow("a|bcd", "Insert X Insert X", "axx|cd"); // overwrites, then types in between
        pictureRow("ab|\r\nc", "Insert X Y", "abxy|\r\nc"); // but not the line break
        // Typing is one undo step, which a line break, a move or a backspace ends.
        pictureRow("|", "A B Space C Ctrl+Z", "|");
        pictureRow("|", "A Return B Ctrl+Z Ctrl+Z", "a|");
        pictureRow("|", "A Left B Ctrl+Z", "|a");
        pictureRow("|", "A B C Backspace Backspace Ctrl+Z", "abc|");
        pictureRow("|", "A Return B Ctrl+Z Ctrl+Z Ctrl+Shift+Z", "a\r\n|");
        // The exact text, bare CR and LF in it, goes to the clipboard and comes back.
        pictureRow("ab{\rx\ny|\r\nz", "Ctrl+X Ctrl+End Ctrl+V", "ab\r\nz\rx\ny|");
        pictureRow("{a\nb|", "Ctrl+C Right Shift+Ins", "a\nba\nb|");
        pictureRow("c|d", "=\u4F60", "c\u4F60|d"); // an input method commits
        // Locked: no key, paste, undo or input method edits; the keys still move and select.
        pictureRow("k|eep", "Space Backspace Lock X Return Tab Backspace Delete Ctrl+Z", "k|eep");
        pictureRow("{k|eep", "Ctrl+C Lock Right Ctrl+V Shift+Right Ctrl+X =ime", "k{e|ep");
    }

    void keysMoveSelectEditAndUndo()
    {
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        setPicture(*m_document, before);
        QSignalSpy changed(m_document, &Document::changed);
        for (const QString &key : keys.split(u' ')) {
            const qsizetype changes = changed.count();
            if (key == u"Lock") {
                m_document->setLocked(true);
            } else if (key.startsWith(u'=')) {
                QInputMethodEvent commit;
                commit.setCommitString(key.mid(1));
                QApplication::sendEvent(m_area, &commit);
            } else {
                pressKeys(m_area, key);
            }
            QVERIFY2(changed.count() <= changes + 1, qPrintable(key));
        }
        QCOMPARE(picture(*m_document), after);
    }

    // Over a long text, Page Down moves the caret and the view by what the area shows and Page Up
    // comes back; dragging out below the area scrolls on, and the selection follows.
    void pagesAndDragsPastTheEdgeScroll()
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
        pressKeys(m_area, u"PgUp PgUp"_s);
        QCOMPARE(m_document->selection().caret, 0);
        QCOMPARE(m_area->verticalScrollBar()->value(), 0);
        QWidget *viewport = m_area->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, pointOf(m_area, u"line"_s, 0));
        const QPoint below(10, viewport->height() + 30);
        QCursor::setPos(viewport->mapToGlobal(below)); // where the scrolling looks for the mouse
        QTest::mouseMove(viewport, below);
        QTRY_VERIFY(m_area->verticalScrollBar()->value() > 5);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(m_document->selection().anchor, 0);
        QVERIFY(m_document->paragraphAt(m_document->selection().caret) > 15);
    }

    // A gesture on the w of "two", or a drag to it from the caret, or "x", LF, "y" dropped on it,
    // or a drag out from it of the selection.
    void mouseSetsCaretSelectsAndDrops_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("after");
        pictureRow("|one two\r\nx", "click", "one t|wo\r\nx");
        pictureRow("o|ne two\r\nx", "shift-click", "o{ne t|wo\r\nx");
        pictureRow("|one two\r\nx", "double-click", "one {two|\r\nx");
        pictureRow("|one two\r\nx", "triple-click", "{one two\r\n|x");
        pictureRow("o|ne two\r\nx", "drag", "o{ne t|wo\r\nx");
        pictureRow("|one two", "drop exact text", "one tx\ny|wo"); // a bare LF stays
        pictureRow("|one two", "drop plain text", "one tx\r\ny|wo"); // its LF becomes CR LF
        pictureRow("{one t\nwo|", "drag out", "{one t\nwo|"); // given up: nothing moved
    }

    void mouseSetsCaretSelectsAndDrops()
    {
        QFETCH(QString, before);
        QFETCH(QString, gesture);
        QFETCH(QString, after);
        setPicture(*m_document, before);
        const QString line = m_document->mid(0, m_document->paragraphEnd(0));
        QWidget *viewport = m_area->viewport();
        const QPoint at = pointOf(m_area, line, 5);
        if (gesture.startsWith(u"drop")) {
            QMimeData dropped;
            dropped.setData(gesture.contains(u"exact") ? kExactTextMime : u"text/plain"_s, "x\ny");
            QDragEnterEvent enter(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(at, Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &drop);
        } else if (gesture == u"drag out") {
            QTest::mousePress(viewport, Qt::LeftButton, {}, at);
            QTest::mouseMove(viewport, at + QPoint(0, 40));
            // The drag is over at once here (no platform drag); Qt deletes it later.
            const auto *drag = m_area->findChild<QDrag *>();
            QVERIFY(drag && drag->mimeData());
            QCOMPARE(drag->mimeData()->data(kExactTextMime), "one t\nwo"_ba);
            QCOMPARE(drag->mimeData()->text(), u"one t\nwo"_s); // other programs get it as it is
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(0, 40));
        } else if (gesture == u"drag") {
            const QPoint caret = pointOf(m_area, line, m_document->selection().caret);
            QTest::mousePress(viewport, Qt::LeftButton, {}, caret);
            QTest::mouseMove(viewport, at);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
        } else if (gesture == u"double-click" || gesture == u"triple-click") {
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
            if (gesture == u"triple-click")
                QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        } else {
            const bool shift = gesture == u"shift-click";
            QTest::mouseClick(
                viewport, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier, at);
        }
        QCOMPARE(picture(*m_document), after);
    }

    // ---- Clipboard, drag and drop --------------------------------------------------------------

    // A key is told before its character goes in, a click when the button comes up (key releases
    // and double-clicks: the window's Copy, Cut and Find rows in tst_editor). The context menu's
    // commands work on the document, its Undo and Redo too.
    void userActionsAreAnnouncedAndTheContextMenuEdits()
    {
        setPicture(*m_document, u"{one|"_s);
        QApplication::clipboard()->setText(u"p"_s);
        QString seenBeforeTyping;
        connect(m_area, &TextView::keyPressed, this,
            [&](QChar typed) { seenBeforeTyping = m_document->mid(0, 99) + u'+' + typed; });
        QSignalSpy mouseReleased(m_area, &TextView::mouseReleased);
        QTest::keyClick(m_area, Qt::Key_X); // "x|", one step to undo
        QCOMPARE(seenBeforeTyping, u"one+x"_s);
        QTest::mouseClick(m_area->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(mouseReleased.count(), 1);
        m_document->select(0, 1);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
            m_area->viewport()->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(m_area->viewport(), &event);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QString enabled;
        for (QAction *action : menu->actions())
            enabled += action->isEnabled() && !action->isSeparator() ? action->objectName() + u' '
                                                                     : u""_s;
        QCOMPARE(enabled, u"edit-undo edit-cut edit-copy edit-paste edit-delete select-all "_s);
        menu->findChild<QAction *>(u"edit-undo"_s)->trigger();
        QCOMPARE(m_document->text(), u"one"_s);
        menu->close();
    }

    // ---- Input methods --------------------------------------------------------------------------

    // Composing shows the pre-edit text without putting it in the document (the keys table has a
    // commit).
    void inputMethodComposesThenCommits()
    {
        setPicture(*m_document, u"ab\r\nc|d"_s);
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
        const int left = 4 + metrics.horizontalAdvance(u"c"_s),
                  width = metrics.horizontalAdvance(u"nn"_s);
        bool inkedRow = false;
        for (int y = 4 + metrics.height(); y < 4 + 2 * metrics.height() + 2; ++y) {
            int ink = 0;
            for (int x = left + 1; x < left + width - 1; ++x)
                ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
            inkedRow = inkedRow || ink == width - 2;
        }
        QVERIFY(inkedRow);
        QCOMPARE(m_area->inputMethodQuery(Qt::ImSurroundingText).toString(), u"cd"_s);
        QCOMPARE(m_area->inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);
        QVERIFY(m_area->inputMethodQuery(Qt::ImEnabled).toBool());
        const QRect caret = m_area->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(caret.height() > 0 && m_area->rect().contains(caret.center()));
    }

    // ---- What the rest of the program listens to ----------------------------------------------

    // Display lines, wrapped ones counted, are known at once and follow each key. Without
    // wrapping a paragraph is one display line, and the view scrolls sideways to the caret.
    void wrappedLinesCountAndUnwrappedOnesScrollSideways()
    {
        m_document->setText(u"a\r\nb\rc\nd"_s);
        QCOMPARE(m_area->lineCount(), 3);
        const QString text = u"word "_s.repeated(400) + u"end\r\nshort"_s;
        m_document->setText(text);
        m_document->select(0, 0);
        const int lines = qtLineCount(text, m_area);
        m_area->setWordWrap(false);
        QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 120000);
        QCOMPARE(m_area->lineCount(), 2);
        QScrollBar *sideways = m_area->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0 && sideways->value() == 0);
        QTest::keyClick(m_area, Qt::Key_End);
        QVERIFY(sideways->value() > 0);
        const QPoint caret = m_area->caretRect().center().toPoint();
        QVERIFY(m_area->viewport()->rect().contains(caret));
        QTest::mouseClick(m_area->viewport(), Qt::LeftButton, {}, caret);
        QCOMPARE(m_document->selection().caret, 2003);
        QTest::keyClick(m_area, Qt::Key_Down);
        QCOMPARE(m_document->selection().caret, m_document->size());
        QCOMPARE(sideways->value(), 0);
        m_area->setWordWrap(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 120000);
        QCOMPARE(m_area->lineCount(), lines);
        const int scrollEnd = m_area->verticalScrollBar()->maximum();
        m_document->select(2003, 0);
        for (int typed = 0; typed < 100 && m_area->lineCount() == lines; ++typed)
            QTest::keyClick(m_area, 'x');
        QCOMPARE(m_area->lineCount(), lines + 1);
        QCOMPARE(m_area->verticalScrollBar()->maximum(), scrollEnd + 1);
    }

    // A line of 60,000 characters re-wraps after each edit only near it; the count stays what Qt
    // gives the whole text.
    void longLineCountsExactlyAfterEdits_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<double>("at"); // where the caret goes, as a share of the text
        QTest::newRow("x in the middle") << u"X"_s << 0.5;
        QTest::newRow("a word taken out in the middle")
            << u"Ctrl+Backspace Ctrl+Backspace"_s << 0.5;
        QTest::newRow("blanks at the start") << u"Space Space Space"_s << 0.0;
        QTest::newRow("a long word near the end")
            << u"W W W W W W W W W W W W W W W W W W W W"_s << 0.9;
        QTest::newRow("a line break in the middle") << u"Return"_s << 0.5;
    }

    void longLineCountsExactlyAfterEdits()
    {
        QFETCH(QString, keys);
        QFETCH(double, at);
        QString text;
        for (int i = 0; text.size() < 60000; ++i)
            text += u"word%1 and some more words, "_s.arg(i % 97);
        m_document->setText(text);
        QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 120000);
        m_document->select(qsizetype(text.size() * at), 0);
        pressKeys(m_area, keys);
        QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 120000);
        QCOMPARE(m_area->lineCount(), qtLineCount(m_document->text(), m_area));
    }

    // The area paints in the palette's colours (high contrast among them), in its font, and has a
    // frame that shows focus.
    void paletteFontAndFrameAreUsed()
    {
        m_document->setText(u"MMMM MMMM"_s);
        QPalette contrast = m_area->palette();
        contrast.setColor(QPalette::Base, Qt::black);
        contrast.setColor(QPalette::Text, Qt::yellow);
        m_area->setPalette(contrast);
        const auto yellowInk = [this](int pointSize, bool underline) {
            QFont font = m_area->font();
            font.setPointSize(pointSize);
            font.setUnderline(underline);
            m_area->setFont(font);
            const QImage shot
                = m_area->viewport()->grab().toImage().convertedTo(QImage::Format_RGB32);
            const auto *pixels = reinterpret_cast<const QRgb *>(shot.constBits());
            return std::count(pixels, pixels + shot.width() * shot.height(), qRgb(255, 255, 0));
        };
        const qsizetype small = yellowInk(10, false), big = yellowInk(20, false);
        QVERIFY2(small > 0 && big > 2 * small, qPrintable(u"%1 %2"_s.arg(small).arg(big)));
        QVERIFY(yellowInk(20, true) > big);
        QCOMPARE(m_area->viewport()->grab().toImage().pixelColor(1, 1), QColor(Qt::black));
        QVERIFY(m_area->frameWidth() > 0);
    }

    // ---- Screen readers -------------------------------------------------------------------------

    void screenReaderReadsTextCaretAndSelection()
    {
        setPicture(*m_document, u"one two|\r\ncd"_s);
        // Role, name, states, text, caret and selection: as the screen-reader check hears them.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_area);
        QAccessibleTextInterface *text = accessible->textInterface();
        QVERIFY(text && accessible->editableTextInterface() && !accessible->state().readOnly);
        // The text around an offset: a character, a word, a display line with its line break.
        const auto around = [text](int offset, QAccessible::TextBoundaryType boundary) {
            int from = -1, to = -1;
            const QString found = text->textAtOffset(offset, boundary, &from, &to);
            return u"%1 %2-%3"_s.arg(found).arg(from).arg(to);
        };
        QCOMPARE(around(5, QAccessible::CharBoundary), u"w 5-6"_s);
        QCOMPARE(around(5, QAccessible::WordBoundary), u"two 4-7"_s);
        QCOMPARE(around(2, QAccessible::LineBoundary), u"one two\r\n 0-9"_s);
        QCOMPARE(around(10, QAccessible::LineBoundary), u"cd 9-11"_s);
        // Each character has its box on screen, left to right, and the box's middle is its offset.
        const QRect o = text->characterRect(0), n = text->characterRect(1);
        QVERIFY(o.width() > 0 && o.height() > 0 && n.left() >= o.right());
        QVERIFY(m_area->rect().translated(m_area->mapToGlobal(QPoint())).contains(n));
        QCOMPARE(text->offsetAtPoint(n.center()), 1);
        // The screen reader may move the caret and select, and edit.
        text->setCursorPosition(1);
        QCOMPARE(picture(*m_document), u"o|ne two\r\ncd"_s);
        text->setSelection(0, 0, 3);
        QCOMPARE(picture(*m_document), u"{one| two\r\ncd"_s);
        accessible->editableTextInterface()->insertText(3, u"!"_s);
        QCOMPARE(m_document->text(), u"one! two\r\ncd"_s);
        m_document->setLocked(true);
        QVERIFY(accessible->state().readOnly);
    }

    // ---- Big and odd inputs ---------------------------------------------------------------------

    // Each opens, goes to its end with Ctrl+End, shows the caret there and takes a key.
    void bigAndOddInputsOpenScrollAndEdit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("200,000 lines") << u"a line of text\r\n"_s.repeated(200000);
        QTest::newRow("one 2 MB line") << u"words without end "_s.repeated(120000);
        QTest::newRow("NULs") << QString(300000, QChar(0));
        QTest::newRow("CJK") << u"\u4E2D\u6587\u6587\u672C"_s.repeated(20000);
        QTest::newRow("right to left")
            << u"\u05E9\u05DC\u05D5\u05DD \u0639\u0627\u0644\u0645 "_s.repeated(10000);
        QTest::newRow("emoji and combining marks")
            << u"\U0001F600e\u0301\u0302 \U0001F44D\U0001F3FD "_s.repeated(10000);
    }

    void bigAndOddInputsOpenScrollAndEdit()
    {
        QFETCH(QString, text);
        m_document->load(TextBuffer(text), std::nullopt);
        QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 120000);
        QCOMPARE(m_document->selection().caret, text.size());
        const QRect caret = m_area->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(m_area->viewport()->rect().adjusted(0, -1, 0, 1).contains(caret.center()));
        QTest::keyClick(m_area, Qt::Key_Z);
        QCOMPARE(m_document->mid(text.size(), 2), u"z"_s);
        QVERIFY(m_area->lineCount() >= text.count(u'\r') + 1);
    }

private:
    Document *m_document = nullptr;
    TextView *m_area = nullptr;
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
