#include "textview.h"

#include "host/textrendering.h"
#include "viewaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Drags and copies between our own areas carry the exact text, bare CR and LF included.
const QString kExactTextMime = QStringLiteral("application/x-tarvex-exact-text");
constexpr qreal kMargin = 4; // around the text
constexpr qsizetype kAroundCaret = 1024; // surrounding text an input method is given
// Without wrapping a line is laid out this wide: far past any screen, within what Qt's fixed
// point keeps exact.
constexpr qreal kNoWrapWidth = 4 * 1024 * 1024;

} // namespace

TextView::TextView(Document &document, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_document(document)
    , m_lines(document)
    , m_motion(document, m_lines)
{
    ViewAccessible::installFactory();
    setObjectName(QStringLiteral("Area"));
    setAccessibleName(QStringLiteral("Text"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(&m_document, &Document::edited, this, &TextView::onEdited);
    connect(&m_document, &Document::reset, this, &TextView::onReset);
    connect(&m_document, &Document::selectionChanged, this, &TextView::onSelectionChanged);
    connect(&m_document, &Document::stateChanged, this, [this] {
        viewport()->update();
        QAccessibleStateChangeEvent event(this, [] {
            QAccessible::State state;
            state.readOnly = true;
            state.editable = true;
            return state;
        }());
        QAccessible::updateAccessibility(&event);
    });
    // Counting elsewhere moves the scroll bar only: the lines on screen stay as they are.
    connect(&m_lines, &DisplayLines::totalChanged, this, &TextView::updateScrollBar);
    connect(&m_lines, &DisplayLines::settled, this, [this] {
        if (!std::exchange(m_wasSettled, true))
            emit lineCountSettledAfterChange();
    });
    m_lines.setFormat(font(), lineWidth());
}

TextView::~TextView() = default;

void TextView::setWordWrap(bool wrap)
{
    if (wrap == m_wrap)
        return;
    m_wrap = wrap;
    m_scrollX = 0;
    setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    m_lines.setFormat(font(), lineWidth());
    if (!m_lines.isSettled())
        m_wasSettled = false;
    invalidateRows();
    updateScrollBar();
    viewport()->update();
}

// ---- Display lines on screen ------------------------------------------------------------

qreal TextView::lineWidth() const
{
    if (!m_wrap)
        return kNoWrapWidth;
    return std::max<qreal>(1, viewport()->width() - 2 * kMargin);
}

qreal TextView::textLeft() const
{
    return kMargin - m_scrollX;
}

int TextView::pageLines() const
{
    return std::max(1, int(viewport()->height() / QFontMetricsF(font()).height()));
}

void TextView::invalidateRows()
{
    m_rowsValid = false;
}

// The display lines on screen from the top one down, laid out as they are needed.
const std::vector<TextView::Row> &TextView::rows() const
{
    if (m_rowsValid && m_rowsGeneration == m_lines.layoutGeneration())
        return m_rows;
    m_rows.clear();
    m_top = m_lines.lineOfPosition(std::min(m_topPosition, m_document.size()));
    DisplayLines::Line line = m_top;
    qreal y = line.paragraph == 0 && line.index == 0 ? kMargin : 0;
    const qsizetype caret = m_document.selection().caret;
    for (int guard = 0; y < viewport()->height() && guard < 10000; ++guard) {
        Row row;
        row.stretch = m_lines.stretchOfLine(line);
        const qsizetype caretAt = caret - row.stretch.start;
        if (!m_preedit.isEmpty() && caretAt >= row.stretch.from && caretAt <= row.stretch.to)
            row.stretch.layout = preeditLayout(row.stretch);
        row.line = line;
        row.layoutLine = line.index - row.stretch.firstLine;
        const QTextLine textLine = row.stretch.layout->lineAt(row.layoutLine);
        if (!textLine.isValid())
            break;
        row.y = y;
        row.height = textLine.height();
        m_rows.push_back(row);
        y += row.height;
        const DisplayLines::Line next = m_lines.next(line);
        if (next == line)
            break;
        line = next;
    }
    m_rowsValid = true;
    m_rowsGeneration = m_lines.layoutGeneration();
    return m_rows;
}

// The stretch with the caret laid out again with the text being composed at the caret,
// underlined.
QTextLayout *TextView::preeditLayout(const DisplayLines::Stretch &stretch) const
{
    if (m_preeditLayout && m_preeditLayout->text() == stretch.layout->text())
        return m_preeditLayout.get();
    m_preeditLayout = std::make_unique<QTextLayout>(stretch.layout->text(), font());
    m_preeditLayout->setTextOption(stretch.layout->textOption());
    const int at = int(m_document.selection().caret - stretch.start - stretch.from);
    m_preeditLayout->setPreeditArea(at, m_preedit);
    // The input method's own formats, or an underline under all of it.
    QList<QTextLayout::FormatRange> formats = m_preeditFormats;
    if (formats.isEmpty()) {
        QTextLayout::FormatRange underline;
        underline.length = int(m_preedit.size());
        underline.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        formats.append(underline);
    }
    for (QTextLayout::FormatRange &range : formats)
        range.start += at;
    m_preeditLayout->setFormats(formats);
    m_preeditLayout->beginLayout();
    qreal y = 0;
    for (QTextLine line = m_preeditLayout->createLine(); line.isValid();
         line = m_preeditLayout->createLine()) {
        line.setLineWidth(lineWidth());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    m_preeditLayout->endLayout();
    return m_preeditLayout.get();
}

const TextView::Row *TextView::rowOf(qsizetype position) const
{
    const std::vector<Row> &shown = rows();
    for (const Row &row : shown) {
        const qsizetype offset = position - row.stretch.start;
        if (offset < row.stretch.from || offset > row.stretch.to)
            continue;
        const int inStretch = int(std::min(offset, row.stretch.to) - row.stretch.from);
        const QTextLine line = row.stretch.layout->lineForTextPosition(inStretch);
        if (line.isValid() && line.lineNumber() == row.layoutLine)
            return &row;
    }
    return nullptr;
}

void TextView::setTop(DisplayLines::Line line)
{
    const DisplayLines::Stretch stretch = m_lines.stretchOfLine(line);
    const QTextLine textLine = stretch.layout->lineAt(line.index - stretch.firstLine);
    m_topPosition
        = stretch.start + stretch.from + (textLine.isValid() ? textLine.textStart() : 0);
    invalidateRows();
    updateScrollBar();
    viewport()->update();
}

void TextView::updateScrollBar()
{
    const QScopedValueRollback guard(m_settingScrollBar, true);
    QScrollBar *bar = verticalScrollBar();
    const qint64 total = m_lines.total();
    bar->setRange(0, int(std::min<qint64>(INT_MAX, std::max<qint64>(0, total - pageLines()))));
    bar->setPageStep(pageLines());
    bar->setSingleStep(1);
    rows(); // finds the top line
    bar->setValue(int(std::min<qint64>(INT_MAX, m_lines.indexOf(m_top))));
    updateHorizontalBar();
}

// Without wrapping the bar reaches the end of the widest line on screen: the lines elsewhere
// are not laid out to measure them.
void TextView::updateHorizontalBar()
{
    const QScopedValueRollback guard(m_settingScrollBar, true);
    QScrollBar *bar = horizontalScrollBar();
    qreal widest = 0;
    if (!m_wrap) {
        for (const Row &row : rows())
            widest = std::max(widest, row.stretch.layout->lineAt(row.layoutLine).naturalTextWidth());
    }
    const int reach = int(std::ceil(widest + 2 * kMargin)) - viewport()->width();
    bar->setRange(0, std::max({ 0, reach, int(m_scrollX) }));
    bar->setPageStep(viewport()->width());
    bar->setSingleStep(QFontMetrics(font()).averageCharWidth() * 2);
    bar->setValue(int(m_scrollX));
}

void TextView::scrollContentsBy(int dx, int)
{
    if (m_settingScrollBar)
        return;
    if (dx != 0) {
        m_scrollX = horizontalScrollBar()->value();
        viewport()->update();
        return;
    }
    setTop(m_lines.lineAt(verticalScrollBar()->value()));
}

void TextView::ensureCaretVisible()
{
    const qsizetype caret = m_document.selection().caret;
    const Row *row = rowOf(caret);
    if (!row || row->y + row->height > viewport()->height()) {
        const DisplayLines::Line line = m_lines.lineOfPosition(caret);
        rows();
        if (m_lines.indexOf(line) < m_lines.indexOf(m_top)) {
            setTop(line);
        } else {
            // Below: the caret's line becomes the last one seen whole.
            DisplayLines::Line top = line;
            for (int i = 1; i < pageLines(); ++i)
                top = m_lines.previous(top);
            setTop(top);
        }
    }
    if (m_wrap)
        return;
    // Sideways, once the caret's line is on screen: a quarter of the width kept beside it.
    const QRectF at = caretRect();
    if (!at.isValid() || (at.left() >= 0 && at.right() <= viewport()->width()))
        return;
    const qreal edge = viewport()->width() - 2 * kMargin;
    const qreal x = at.left() + m_scrollX - kMargin;
    m_scrollX = std::max<qreal>(0, x < m_scrollX ? x - edge / 4 : x - edge * 3 / 4);
    updateHorizontalBar();
    viewport()->update();
}

// ---- Geometry --------------------------------------------------------------------------------

QRectF TextView::characterRect(qsizetype position) const
{
    const Row *row = rowOf(position);
    if (!row)
        return {};
    const QTextLine line = row->stretch.layout->lineAt(row->layoutLine);
    const int at = int(position - row->stretch.start - row->stretch.from);
    const qreal x = line.cursorToX(at);
    const qreal next = at < line.textStart() + line.textLength() ? line.cursorToX(at + 1) : x + 1;
    return QRectF(textLeft() + std::min(x, next), row->y, std::max<qreal>(1, std::abs(next - x)),
        row->height);
}

QRectF TextView::caretRect() const
{
    const qsizetype caret = m_document.selection().caret;
    const Row *row = rowOf(caret);
    if (!row)
        return {};
    const QTextLine line = row->stretch.layout->lineAt(row->layoutLine);
    int at = int(std::min(caret - row->stretch.start, row->stretch.to) - row->stretch.from);
    if (!m_preedit.isEmpty())
        at += m_preeditCursor;
    qreal x = line.cursorToX(at);
    qreal width = 1;
    if (m_overwrite && at < line.textStart() + line.textLength())
        width = std::max<qreal>(1, line.cursorToX(at + 1) - x);
    return QRectF(textLeft() + x - 1, row->y, width + 2, row->height);
}

qsizetype TextView::positionAt(QPointF point, bool exact) const
{
    const std::vector<Row> &shown = rows();
    if (shown.empty())
        return exact ? -1 : 0;
    const Row *hit = &shown.back();
    if (point.y() < shown.front().y)
        hit = &shown.front();
    for (const Row &row : shown) {
        if (point.y() >= row.y && point.y() < row.y + row.height) {
            hit = &row;
            break;
        }
    }
    const QTextLine line = hit->stretch.layout->lineAt(hit->layoutLine);
    const qreal x = point.x() - textLeft();
    if (exact
        && (point.y() < hit->y || point.y() >= hit->y + hit->height || x < 0
            || x > line.naturalTextWidth()))
        return -1;
    qsizetype offset = line.xToCursor(x);
    const qsizetype lineEnd = line.textStart() + line.textLength();
    const bool wrapped = hit->layoutLine + 1 < hit->stretch.layout->lineCount() || !hit->stretch.last;
    if (wrapped && offset >= lineEnd && lineEnd > line.textStart())
        offset = lineEnd - 1; // the end of a wrapped line, not the start of the next
    return hit->stretch.start + hit->stretch.from + offset;
}

std::pair<qsizetype, qsizetype> TextView::displayLineAround(qsizetype position) const
{
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype length = m_lines.paragraphEnd(paragraph) - start;
    const qsizetype offset = std::min(position - start, length);
    const DisplayLines::Stretch stretch = m_lines.stretchAt(paragraph, offset);
    const QTextLine line = stretch.layout->lineForTextPosition(int(offset - stretch.from));
    const qsizetype from = start + stretch.from + (line.isValid() ? line.textStart() : 0);
    qsizetype to = line.isValid() ? start + stretch.from + line.textStart() + line.textLength()
                                  : start + length;
    if (to >= start + length)
        to = paragraph + 1 < m_lines.paragraphCount() ? m_lines.paragraphStart(paragraph + 1)
                                                          : m_document.size();
    return { from, to };
}

// ---- Painting ----------------------------------------------------------------------------------

void TextView::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const Selection selection = m_document.selection();
    const qsizetype selFrom = selection.start(), selTo = selFrom + selection.length();
    const std::vector<Row> &shown = rows();
    for (std::size_t i = 0; i < shown.size();) {
        // One draw for the rows of a stretch that the exposed rectangle meets.
        const Row &first = shown[i];
        std::size_t next = i;
        qreal bottom = first.y;
        while (next < shown.size() && shown[next].stretch.layout == first.stretch.layout) {
            bottom = shown[next].y + shown[next].height;
            ++next;
        }
        const QRectF band(0, first.y, viewport()->width(), bottom - first.y);
        if (band.intersects(e->rect())) {
            const DisplayLines::Stretch &stretch = first.stretch;
            const qreal top = stretch.layout->lineAt(first.layoutLine).y();
            const QPointF origin(textLeft(), first.y - top);
            QList<QTextLayout::FormatRange> selections;
            const qsizetype base = stretch.start + stretch.from;
            if (selTo > base && selFrom < stretch.start + stretch.to) {
                QTextLayout::FormatRange range;
                range.start = int(std::max<qsizetype>(0, selFrom - base));
                range.length = int(std::min(selTo, stretch.start + stretch.to) - base) - range.start;
                range.format.setBackground(palette().brush(QPalette::Highlight));
                range.format.setForeground(palette().brush(QPalette::HighlightedText));
                selections.append(range);
            }
            painter.save();
            painter.setClipRect(band.intersected(QRectF(e->rect())));
            stretch.layout->draw(&painter, origin, selections, band.intersected(QRectF(e->rect())));
            // A selected line break shows as a blank's width of selection after the line.
            if (stretch.last && selFrom <= stretch.start + stretch.to
                && selTo > stretch.start + stretch.to) {
                const QTextLine last = stretch.layout->lineAt(stretch.layout->lineCount() - 1);
                painter.fillRect(QRectF(origin.x() + last.naturalTextWidth(), origin.y() + last.y(),
                                     QFontMetricsF(font()).horizontalAdvance(u' '), last.height()),
                    palette().brush(QPalette::Highlight));
            }
            painter.restore();
        }
        i = next;
    }
    const bool showCaret = (m_caretShown && hasFocus()) || !m_preedit.isEmpty();
    if (showCaret || m_dropCaret >= 0) {
        const qsizetype at = m_dropCaret >= 0 ? m_dropCaret : selection.caret;
        if (const Row *row = rowOf(at)) {
            int inStretch = int(std::min(at - row->stretch.start, row->stretch.to) - row->stretch.from);
            if (!m_preedit.isEmpty() && m_dropCaret < 0)
                inStretch += m_preeditCursor;
            const QTextLine line = row->stretch.layout->lineAt(row->layoutLine);
            const QPointF origin(textLeft(), row->y - line.y());
            int width = 1;
            if (m_overwrite && m_dropCaret < 0 && inStretch < line.textStart() + line.textLength())
                width = std::max(1, int(line.cursorToX(inStretch + 1) - line.cursorToX(inStretch)));
            if (width > 1) {
                QColor block = palette().color(QPalette::Text);
                block.setAlpha(110);
                painter.fillRect(QRectF(origin.x() + line.cursorToX(inStretch), row->y, width,
                                     row->height),
                    block);
            } else {
                row->stretch.layout->drawCursor(&painter, origin, inStretch, 1);
            }
        }
    }
}

void TextView::restartBlink()
{
    m_caretShown = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0 && hasFocus())
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void TextView::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_blink.timerId()) {
        // Only the caret's own line is painted again: an idle window does no more.
        m_caretShown = !m_caretShown;
        viewport()->update(caretRect().toAlignedRect());
    } else if (e->timerId() == m_autoScroll.timerId()) {
        autoScroll();
    } else if (e->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    }
    QAbstractScrollArea::timerEvent(e);
}

void TextView::focusInEvent(QFocusEvent *e)
{
    restartBlink();
    update(); // the frame shows the focus too
    viewport()->update();
    QAbstractScrollArea::focusInEvent(e);
}

void TextView::focusOutEvent(QFocusEvent *e)
{
    m_blink.stop();
    update(); // the frame shows the focus too
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(e);
}

void TextView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (!m_lines.isSettled())
        m_wasSettled = false;
    m_lines.setFormat(font(), lineWidth());
    if (!m_lines.isSettled())
        m_wasSettled = false;
    invalidateRows();
    updateScrollBar();
}

void TextView::changeEvent(QEvent *e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::PaletteChange) {
        viewport()->update();
    } else if (e->type() == QEvent::FontChange) {
        m_preeditLayout.reset();
        m_lines.setFormat(font(), lineWidth());
        if (!m_lines.isSettled())
            m_wasSettled = false;
        invalidateRows();
        updateScrollBar();
        viewport()->update();
    }
}

// ---- The document's changes -------------------------------------------------------------------

void TextView::onEdited(qsizetype position, qsizetype removed, qsizetype added)
{
    if (m_document.isPreparing())
        return;
    if (m_topPosition > position)
        m_topPosition = std::max(position, m_topPosition + added - removed);
    m_lines.edited(position, removed, added);
    if (!m_lines.isSettled())
        m_wasSettled = false;
    m_preeditLayout.reset();
    invalidateRows();
    updateScrollBar();
    viewport()->update();
    if (QAccessible::isActive()) {
        if (removed > 0) {
            QAccessibleTextRemoveEvent event(
                this, int(position), m_removedTextKnown ? m_removedText : QString(removed, u' '));
            QAccessible::updateAccessibility(&event);
        }
        if (added > 0) {
            QAccessibleTextInsertEvent event(
                this, int(position), m_document.mid(position, std::min<qsizetype>(added, 65536)));
            QAccessible::updateAccessibility(&event);
        }
    }
    m_removedTextKnown = false;
    if (m_followSelection)
        onSelectionChanged();
}

void TextView::onReset()
{
    m_topPosition = 0;
    m_preedit.clear();
    m_preeditLayout.reset();
    m_lines.reset();
    if (!m_lines.isSettled())
        m_wasSettled = false;
    invalidateRows();
    updateScrollBar();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&event);
    }
}

void TextView::onSelectionChanged()
{
    if (m_document.isPreparing())
        return;
    invalidateRows();
    if (!m_lines.isCurrent()) {
        m_followSelection = true; // the edit that moved it comes next
        return;
    }
    m_followSelection = false;
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        const Selection selection = m_document.selection();
        QAccessibleTextCursorEvent cursor(this, int(selection.caret));
        QAccessible::updateAccessibility(&cursor);
        QAccessibleTextSelectionEvent selected(this, int(selection.start()),
            int(selection.start() + selection.length()));
        selected.setCursorPosition(int(selection.caret));
        QAccessible::updateAccessibility(&selected);
    }
}

// ---- Events: each one change of the document ------------------------------------------------

bool TextView::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (m_menuShortcuts.contains(QKeySequence(key->keyCombination()))) {
            e->ignore(); // leave the key to the menu row that owns it
            return true;
        }
        // The keys an editor takes before any shortcut, as Qt's text widgets take them.
        const Qt::KeyboardModifiers mods = key->modifiers();
        const bool plain = mods == Qt::NoModifier || mods == Qt::ShiftModifier
            || mods == Qt::KeypadModifier;
        static const int editing[] = { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Delete,
            Qt::Key_Home, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Right,
            Qt::Key_Up, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Insert };
        static const QKeySequence::StandardKey ours[] = { QKeySequence::Copy,
            QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo,
            QKeySequence::SelectAll, QKeySequence::MoveToNextWord,
            QKeySequence::MoveToPreviousWord, QKeySequence::SelectNextWord,
            QKeySequence::SelectPreviousWord, QKeySequence::MoveToStartOfDocument,
            QKeySequence::MoveToEndOfDocument, QKeySequence::SelectStartOfDocument,
            QKeySequence::SelectEndOfDocument, QKeySequence::SelectStartOfLine,
            QKeySequence::SelectEndOfLine, QKeySequence::DeleteStartOfWord,
            QKeySequence::DeleteEndOfWord };
        if ((plain
                && (key->key() < Qt::Key_Escape
                    || std::find(std::begin(editing), std::end(editing), key->key())
                        != std::end(editing)))
            || std::any_of(std::begin(ours), std::end(ours),
                [key](QKeySequence::StandardKey k) { return key->matches(k); })) {
            e->accept();
            return true;
        }
    }
    if (m_eventDepth++ == 0)
        m_document.beginChange();
    const bool result = QAbstractScrollArea::event(e);
    if (--m_eventDepth == 0) {
        ++m_eventDepth; // the change's corrections still come from inside the event
        m_document.endChange();
        m_eventDepth = 0;
    }
    return result;
}

bool TextView::viewportEvent(QEvent *e)
{
    if (m_eventDepth++ == 0)
        m_document.beginChange();
    const bool result = QAbstractScrollArea::viewportEvent(e);
    if (--m_eventDepth == 0) {
        ++m_eventDepth;
        m_document.endChange();
        m_eventDepth = 0;
    }
    return result;
}

// ---- Keys ----------------------------------------------------------------------------------

void TextView::moveCaret(qsizetype position, bool keepAnchor, bool keepX)
{
    if (!keepX)
        m_desiredX = -1;
    const Selection now = m_document.selection();
    m_document.setSelection({ keepAnchor ? now.anchor : position, position });
    updatePrimarySelection();
}

bool TextView::handleMoveKey(QKeyEvent *e)
{
    const Selection selection = m_document.selection();
    const qsizetype caret = selection.caret;
    const bool hasSelection = selection.anchor != caret;
    const auto vertical = [&](int lines, bool keep) {
        if (m_desiredX < 0)
            m_desiredX = m_motion.xOf(caret);
        moveCaret(m_motion.lineMove(caret, lines, m_desiredX), keep, true);
    };
    using K = QKeySequence;
    if (e->matches(K::MoveToNextChar))
        moveCaret(hasSelection ? selection.start() + selection.length() : m_motion.nextCharacter(caret), false);
    else if (e->matches(K::MoveToPreviousChar))
        moveCaret(hasSelection ? selection.start() : m_motion.previousCharacter(caret), false);
    else if (e->matches(K::SelectNextChar))
        moveCaret(m_motion.nextCharacter(caret), true);
    else if (e->matches(K::SelectPreviousChar))
        moveCaret(m_motion.previousCharacter(caret), true);
    else if (e->matches(K::MoveToNextWord) || e->matches(K::SelectNextWord))
        moveCaret(m_motion.nextWord(caret), e->matches(K::SelectNextWord));
    else if (e->matches(K::MoveToPreviousWord) || e->matches(K::SelectPreviousWord))
        moveCaret(m_motion.previousWord(caret), e->matches(K::SelectPreviousWord));
    else if (e->matches(K::MoveToStartOfLine) || e->matches(K::SelectStartOfLine))
        moveCaret(m_motion.lineStart(caret), e->matches(K::SelectStartOfLine));
    else if (e->matches(K::MoveToEndOfLine) || e->matches(K::SelectEndOfLine))
        moveCaret(m_motion.lineEnd(caret), e->matches(K::SelectEndOfLine));
    else if (e->matches(K::MoveToStartOfDocument) || e->matches(K::SelectStartOfDocument))
        moveCaret(0, e->matches(K::SelectStartOfDocument));
    else if (e->matches(K::MoveToEndOfDocument) || e->matches(K::SelectEndOfDocument))
        moveCaret(m_document.size(), e->matches(K::SelectEndOfDocument));
    else if (e->matches(K::MoveToNextLine) || e->matches(K::SelectNextLine))
        vertical(1, e->matches(K::SelectNextLine));
    else if (e->matches(K::MoveToPreviousLine) || e->matches(K::SelectPreviousLine))
        vertical(-1, e->matches(K::SelectPreviousLine));
    else if (e->matches(K::MoveToNextPage) || e->matches(K::SelectNextPage)
        || e->matches(K::MoveToPreviousPage) || e->matches(K::SelectPreviousPage)) {
        // The view moves by a page and the caret with it.
        const bool down = e->matches(K::MoveToNextPage) || e->matches(K::SelectNextPage);
        const int lines = down ? pageLines() : -pageLines();
        rows();
        DisplayLines::Line top = m_top;
        for (int i = 0; i < pageLines(); ++i)
            top = down ? m_lines.next(top) : m_lines.previous(top);
        if (m_lines.indexOf(top) > verticalScrollBar()->maximum())
            top = m_lines.lineAt(verticalScrollBar()->maximum());
        setTop(top);
        vertical(lines, e->matches(K::SelectNextPage) || e->matches(K::SelectPreviousPage));
    } else if (e->matches(K::SelectAll))
        selectAll();
    else
        return false;
    return true;
}

bool TextView::handleEditKey(QKeyEvent *e)
{
    const Selection selection = m_document.selection();
    const qsizetype caret = selection.caret;
    const bool hasSelection = selection.anchor != caret;
    using K = QKeySequence;
    if (e->matches(K::Copy)) {
        copy();
    } else if (e->matches(K::Cut)) {
        cut();
    } else if (e->matches(K::Paste)) {
        paste();
    } else if (e->key() == Qt::Key_Backspace && !(e->modifiers() & Qt::ControlModifier)) {
        if (hasSelection)
            deleteSelection();
        else {
            const qsizetype from = m_motion.previousCodePoint(caret);
            replaceText(from, caret - from, {}, EditKind::Backspace);
        }
    } else if (e->matches(K::Delete)) {
        if (hasSelection)
            deleteSelection();
        else {
            const qsizetype to = m_motion.nextCharacter(caret);
            replaceText(caret, to - caret, {}, EditKind::Delete);
        }
    } else if (e->matches(K::DeleteStartOfWord)) {
        const qsizetype from = hasSelection ? selection.start() : m_motion.previousWord(caret);
        replaceText(from, (hasSelection ? selection.start() + selection.length() : caret) - from,
            {}, EditKind::Command);
    } else if (e->matches(K::DeleteEndOfWord)) {
        const qsizetype from = hasSelection ? selection.start() : caret;
        const qsizetype to = hasSelection ? from + selection.length() : m_motion.nextWord(caret);
        replaceText(from, to - from, {}, EditKind::Command);
    } else if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        m_overwrite = !m_overwrite;
        viewport()->update(caretRect().toAlignedRect().adjusted(-1, 0, 40, 0));
    } else {
        return false;
    }
    return true;
}

void TextView::keyPressEvent(QKeyEvent *e)
{
    if (m_document.isPreparing()) {
        e->ignore();
        return;
    }
    restartBlink();
    if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
        e->matches(QKeySequence::Undo) ? undo() : redo();
        return;
    }
    const QString typed = e->text();
    if (!typed.isEmpty())
        emit keyPressed(typed.front());
    const bool lineBreak = e->matches(QKeySequence::InsertParagraphSeparator)
        || e->matches(QKeySequence::InsertLineSeparator) || typed == QChar::LineSeparator
        || typed == QChar::ParagraphSeparator;
    if (lineBreak) {
        const Selection selection = m_document.selection();
        replaceText(selection.start(), selection.length(), QStringLiteral("\r\n"), EditKind::Command);
        return;
    }
    if (handleMoveKey(e) || handleEditKey(e)) {
        ensureCaretVisible();
        return;
    }
    const bool printable = !typed.isEmpty()
        && (typed.front().isPrint() || typed.front() == u'\t' || typed.front().isSurrogate())
        && !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable) {
        insertTyped(typed);
        return;
    }
    e->ignore();
}

// Tab types a tab, unless the view is told to let it move the focus on.
bool TextView::focusNextPrevChild(bool next)
{
    return m_tabChangesFocus && QAbstractScrollArea::focusNextPrevChild(next);
}

void TextView::keyReleaseEvent(QKeyEvent *e)
{
    QAbstractScrollArea::keyReleaseEvent(e);
    emit keyReleased();
}

// ---- Edits ---------------------------------------------------------------------------------------

void TextView::replaceText(qsizetype from, qsizetype length, const QString &text, EditKind kind)
{
    if (isReadOnly() || (length == 0 && text.isEmpty()))
        return;
    m_removedText = m_document.mid(from, std::min<qsizetype>(length, 65536));
    m_removedTextKnown = true;
    const qsizetype sizeBefore = m_document.size();
    m_document.replace(from, length, text, kind);
    // The document may put a separator in as CR LF: the caret goes after what went in.
    m_document.select(from + length + m_document.size() - sizeBefore, 0);
    m_desiredX = -1;
    ensureCaretVisible();
}

void TextView::insertTyped(const QString &typed)
{
    const Selection selection = m_document.selection();
    qsizetype from = selection.start(), length = selection.length();
    if (m_overwrite && length == 0) {
        const qsizetype paragraph = m_lines.paragraphAt(from);
        if (from < m_lines.paragraphEnd(paragraph))
            length = m_motion.nextCharacter(from) - from;
    }
    replaceText(from, length, typed, EditKind::Typing);
}

void TextView::deleteSelection()
{
    const Selection selection = m_document.selection();
    replaceText(selection.start(), selection.length(), {}, EditKind::Command);
}

void TextView::undo()
{
    if (!isReadOnly())
        m_document.undo();
}

void TextView::redo()
{
    if (!isReadOnly())
        m_document.redo();
}

void TextView::selectAll()
{
    m_document.setSelection({ 0, m_document.size() });
    updatePrimarySelection();
}

// ---- Clipboard, drag and drop -------------------------------------------------------------------

QMimeData *TextView::mimeForSelection() const
{
    const QString exact = m_document.selectedText();
    auto *data = new QMimeData;
    data->setText(exact);
    data->setData(kExactTextMime, exact.toUtf8());
    return data;
}

QString TextView::textFromMime(const QMimeData *source) const
{
    if (source->hasFormat(kExactTextMime))
        return QString::fromUtf8(source->data(kExactTextMime));
    return TextRendering::withCrLfLineBreaks(source->text());
}

void TextView::copy()
{
    if (m_document.selectionLength() > 0)
        QApplication::clipboard()->setMimeData(mimeForSelection());
}

void TextView::cut()
{
    if (m_document.selectionLength() == 0 || isReadOnly())
        return;
    copy();
    deleteSelection();
}

void TextView::paste()
{
    const QMimeData *source = QApplication::clipboard()->mimeData();
    if (!source || isReadOnly() || !(source->hasText() || source->hasFormat(kExactTextMime)))
        return;
    const Selection selection = m_document.selection();
    replaceText(selection.start(), selection.length(), textFromMime(source), EditKind::Command);
}

void TextView::updatePrimarySelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (clipboard->supportsSelection() && m_document.selectionLength() > 0)
        clipboard->setMimeData(mimeForSelection(), QClipboard::Selection);
}

void TextView::startDrag()
{
    m_dragCandidate = false;
    m_droppedHere = false;
    const Selection dragged = m_document.selection();
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeForSelection());
    const Qt::DropAction action
        = drag->exec(isReadOnly() ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Moved elsewhere: the text leaves here. A move within the view was done by the drop.
    if (action == Qt::MoveAction && !m_droppedHere && drag->target() != viewport())
        replaceText(dragged.start(), dragged.length(), {}, EditKind::Command);
}

void TextView::dragEnterEvent(QDragEnterEvent *e)
{
    const QMimeData *data = e->mimeData();
    if (isReadOnly() || !(data->hasText() || data->hasFormat(kExactTextMime))) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent *e)
{
    if (isReadOnly()) {
        e->ignore();
        return;
    }
    m_dropCaret = positionAt(e->position());
    viewport()->update();
    e->acceptProposedAction();
}

void TextView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropCaret = -1;
    viewport()->update();
}

void TextView::dropEvent(QDropEvent *e)
{
    m_dropCaret = -1;
    if (isReadOnly())
        return e->ignore();
    qsizetype at = positionAt(e->position());
    const QString text = textFromMime(e->mimeData());
    const Selection selection = m_document.selection();
    const qsizetype selFrom = selection.start(), selTo = selFrom + selection.length();
    if (e->source() == this && e->dropAction() == Qt::MoveAction) {
        if (at >= selFrom && at <= selTo)
            return e->ignore(); // onto itself
        m_removedText = m_document.mid(selFrom, selection.length());
        m_removedTextKnown = true;
        m_document.replace(selFrom, selection.length(), {}, EditKind::Command);
        if (at > selTo)
            at -= selection.length();
        m_droppedHere = true;
    }
    replaceText(at, 0, text, EditKind::Command);
    e->acceptProposedAction();
}

// ---- Mouse -------------------------------------------------------------------------------------

void TextView::mousePressEvent(QMouseEvent *e)
{
    restartBlink();
    const QPointF point = e->position();
    if (e->button() == Qt::MiddleButton) {
        QClipboard *clipboard = QApplication::clipboard();
        const QMimeData *primary = clipboard->mimeData(QClipboard::Selection);
        if (clipboard->supportsSelection() && primary && !isReadOnly()) {
            const qsizetype at = positionAt(point);
            replaceText(at, 0, textFromMime(primary), EditKind::Command);
        }
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    const qsizetype at = positionAt(point);
    if (m_tripleClick.isActive()
        && (point.toPoint() - m_tripleClickPoint).manhattanLength()
            < QApplication::startDragDistance()) {
        // A third click takes the paragraph with its line break.
        m_tripleClick.stop();
        const qsizetype paragraph = m_lines.paragraphAt(at);
        const qsizetype end = paragraph + 1 < m_lines.paragraphCount()
            ? m_lines.paragraphStart(paragraph + 1)
            : m_document.size();
        m_document.setSelection({ m_lines.paragraphStart(paragraph), end });
        updatePrimarySelection();
        return;
    }
    const Selection selection = m_document.selection();
    const qsizetype selFrom = selection.start(), selTo = selFrom + selection.length();
    if (!(e->modifiers() & Qt::ShiftModifier) && selTo > selFrom && at >= selFrom && at <= selTo
        && positionAt(point, true) >= 0) {
        m_dragCandidate = true;
        m_pressPoint = point.toPoint();
        return;
    }
    m_mouseSelecting = true;
    moveCaret(at, e->modifiers() & Qt::ShiftModifier);
}

void TextView::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    if (m_dragCandidate) {
        if ((e->position().toPoint() - m_pressPoint).manhattanLength()
            > QApplication::startDragDistance())
            startDrag();
        return;
    }
    if (!m_mouseSelecting)
        return;
    moveCaret(positionAt(e->position()), true);
    const bool outside = e->position().y() < 0 || e->position().y() > viewport()->height();
    if (outside && !m_autoScroll.isActive())
        m_autoScroll.start(50, this);
    else if (!outside)
        m_autoScroll.stop();
}

// While the mouse is held above or below the view, it scrolls a line at a time and the
// selection follows.
void TextView::autoScroll()
{
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    if (!(QApplication::mouseButtons() & Qt::LeftButton) && !m_mouseSelecting) {
        m_autoScroll.stop();
        return;
    }
    QScrollBar *bar = verticalScrollBar();
    if (at.y() < 0)
        bar->setValue(bar->value() - 1);
    else if (at.y() > viewport()->height())
        bar->setValue(bar->value() + 1);
    else
        return m_autoScroll.stop();
    const qreal y = std::clamp<qreal>(at.y(), 0, viewport()->height() - 1);
    const Selection selection = m_document.selection();
    m_document.setSelection({ selection.anchor, positionAt(QPointF(at.x(), y)) });
}

void TextView::mouseReleaseEvent(QMouseEvent *e)
{
    m_autoScroll.stop();
    if (m_dragCandidate) {
        m_dragCandidate = false;
        moveCaret(positionAt(e->position()), false);
    }
    if (m_mouseSelecting)
        updatePrimarySelection();
    m_mouseSelecting = false;
    emit mouseReleased();
}

void TextView::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_dragCandidate = false;
    const auto [from, to] = m_motion.wordAt(positionAt(e->position()));
    m_document.setSelection({ from, to });
    updatePrimarySelection();
    m_tripleClickPoint = e->position().toPoint();
    m_tripleClick.start(QApplication::doubleClickInterval(), this);
    emit doubleClicked();
}

void TextView::contextMenuEvent(QContextMenuEvent *e)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool hasSelection = m_document.selectionLength() > 0;
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    const bool canPaste = !isReadOnly() && clip && (clip->hasText() || clip->hasFormat(kExactTextMime));
    const auto add = [&](const QString &name, const QString &caption, QKeySequence::StandardKey key,
                         bool enabled, auto slot) {
        QAction *action = menu->addAction(caption, this, slot);
        action->setObjectName(name);
        action->setShortcut(key);
        action->setEnabled(enabled);
    };
    add(QStringLiteral("edit-undo"), tr("&Undo"), QKeySequence::Undo,
        !isReadOnly() && m_document.canUndo(), &TextView::undo);
    add(QStringLiteral("edit-redo"), tr("&Redo"), QKeySequence::Redo,
        !isReadOnly() && m_document.canRedo(), &TextView::redo);
    menu->addSeparator();
    add(QStringLiteral("edit-cut"), tr("Cu&t"), QKeySequence::Cut, hasSelection && !isReadOnly(),
        &TextView::cut);
    add(QStringLiteral("edit-copy"), tr("&Copy"), QKeySequence::Copy, hasSelection, &TextView::copy);
    add(QStringLiteral("edit-paste"), tr("&Paste"), QKeySequence::Paste, canPaste, &TextView::paste);
    add(QStringLiteral("edit-delete"), tr("Delete"), QKeySequence::UnknownKey,
        hasSelection && !isReadOnly(), &TextView::deleteSelection);
    menu->addSeparator();
    add(QStringLiteral("select-all"), tr("Select All"), QKeySequence::SelectAll,
        !m_document.isEmpty(), &TextView::selectAll);
    menu->popup(e->globalPos());
}

// ---- Input methods --------------------------------------------------------------------------

void TextView::inputMethodEvent(QInputMethodEvent *e)
{
    if (isReadOnly()) {
        m_preedit.clear();
        e->ignore();
        return;
    }
    const Selection selection = m_document.selection();
    if (!e->commitString().isEmpty() || e->replacementLength() > 0) {
        const qsizetype from = std::clamp<qsizetype>(
            selection.start() + e->replacementStart(), 0, m_document.size());
        const qsizetype length = std::max<qsizetype>(selection.length(), e->replacementLength());
        replaceText(from, std::min(length, m_document.size() - from), e->commitString(),
            EditKind::Typing);
    }
    m_preedit = e->preeditString();
    m_preeditCursor = int(m_preedit.size());
    m_preeditFormats.clear();
    for (const QInputMethodEvent::Attribute &attribute : e->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            m_preeditCursor = attribute.start;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
            if (format.isValid())
                m_preeditFormats.append({ attribute.start, attribute.length, format });
        }
    }
    m_preeditLayout.reset();
    invalidateRows();
    viewport()->update();
    e->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const Selection selection = m_document.selection();
    const qsizetype caret = selection.caret;
    // The paragraph around the caret, a long one cut to a window around it.
    const qsizetype paragraph = m_lines.paragraphAt(caret);
    const qsizetype start
        = std::max(m_lines.paragraphStart(paragraph), caret - kAroundCaret);
    const qsizetype end = std::min(m_lines.paragraphEnd(paragraph), caret + kAroundCaret);
    switch (query) {
    case Qt::ImEnabled:
        return !isReadOnly();
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorRectangle:
        return caretRect().translated(viewport()->pos());
    case Qt::ImAnchorRectangle:
        return characterRect(selection.anchor).translated(viewport()->pos());
    case Qt::ImCursorPosition:
        return int(std::min(caret, end) - start);
    case Qt::ImAnchorPosition:
        return int(std::clamp(selection.anchor, start, end) - start);
    case Qt::ImAbsolutePosition:
        return qlonglong(caret);
    case Qt::ImSurroundingText:
        return m_document.mid(start, end - start);
    case Qt::ImTextBeforeCursor:
        return m_document.mid(start, std::min(caret, end) - start);
    case Qt::ImTextAfterCursor:
        return m_document.mid(caret, std::max<qsizetype>(0, end - caret));
    case Qt::ImCurrentSelection:
        return m_document.mid(selection.start(), std::min(selection.length(), kAroundCaret));
    case Qt::ImMaximumTextLength:
        return QVariant();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
