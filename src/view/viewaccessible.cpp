#include "viewaccessible.h"

#include "textview.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

QAccessibleInterface *viewFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextView") && object && object->isWidgetType())
        return new ViewAccessible(static_cast<TextView *>(object));
    return nullptr;
}

} // namespace

ViewAccessible::ViewAccessible(TextView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{ }

void ViewAccessible::installFactory()
{
    static bool installed = false;
    if (!std::exchange(installed, true))
        QAccessible::installFactory(viewFactory);
}

TextView *ViewAccessible::view() const
{
    return static_cast<TextView *>(widget());
}

QAccessible::State ViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.editable = !view()->isReadOnly();
    state.readOnly = view()->isReadOnly();
    state.selectableText = true;
    return state;
}

QString ViewAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString name = view()->accessibleName();
        return name.isEmpty() ? QStringLiteral("Text") : name;
    }
    if (t == QAccessible::Value)
        return QString(); // the text is read through the text interface, a range at a time
    return QAccessibleWidget::text(t);
}

void *ViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

// ---- Text, caret and selection ---------------------------------------------------------------

void ViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const Document &document = view()->textDocument();
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || document.selectionLength() == 0)
        return;
    *startOffset = int(document.selectionStart());
    *endOffset = int(document.selectionStart() + document.selectionLength());
}

int ViewAccessible::selectionCount() const
{
    return view()->textDocument().selectionLength() > 0 ? 1 : 0;
}

void ViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->textDocument().select(view()->textDocument().selection().caret, 0);
}

void ViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->textDocument().setSelection({ startOffset, endOffset });
}

int ViewAccessible::cursorPosition() const
{
    return int(view()->textDocument().selection().caret);
}

void ViewAccessible::setCursorPosition(int position)
{
    view()->textDocument().select(position, 0);
}

QString ViewAccessible::text(int startOffset, int endOffset) const
{
    return view()->textDocument().mid(startOffset, std::max(0, endOffset - startOffset));
}

int ViewAccessible::characterCount() const
{
    return int(std::min<qsizetype>(view()->textDocument().size(), INT_MAX));
}

QRect ViewAccessible::characterRect(int offset) const
{
    const QRectF box = view()->characterRect(offset);
    if (box.isNull())
        return {};
    return box.toAlignedRect().translated(view()->viewport()->mapToGlobal(QPoint()));
}

int ViewAccessible::offsetAtPoint(const QPoint &point) const
{
    return int(view()->positionAt(view()->viewport()->mapFromGlobal(point), true));
}

void ViewAccessible::scrollToSubstring(int startIndex, int)
{
    view()->textDocument().select(startIndex, 0);
    view()->ensureCaretVisible();
}

QString ViewAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}

// ---- Text at boundaries ------------------------------------------------------------------------

// The stretch of the text of the boundary kind around `offset`: a display line, a paragraph with
// its line break, or a character, word or sentence of the paragraph.
std::pair<qsizetype, qsizetype> ViewAccessible::boundaryAround(
    qsizetype offset, QAccessible::TextBoundaryType boundaryType) const
{
    const Document &document = view()->textDocument();
    const qsizetype size = document.size();
    offset = std::clamp<qsizetype>(offset, 0, size);
    if (boundaryType == QAccessible::NoBoundary)
        return { 0, size };
    const qsizetype paragraph = document.paragraphAt(offset);
    const qsizetype start = document.paragraphStart(paragraph);
    const qsizetype end = document.paragraphEnd(paragraph);
    const qsizetype next = paragraph + 1 < document.paragraphCount()
        ? document.paragraphStart(paragraph + 1)
        : size;
    if (boundaryType == QAccessible::ParagraphBoundary)
        return { start, next };
    if (boundaryType == QAccessible::LineBoundary)
        return view()->displayLineAround(offset);
    // Characters, words and sentences, found in a window of the paragraph around the offset.
    const qsizetype windowStart = std::max(start, offset - 4096);
    const qsizetype windowEnd = std::min(end, offset + 4096);
    const QString text = document.mid(windowStart, windowEnd - windowStart);
    if (offset >= end)
        return { end, next };
    const QTextBoundaryFinder::BoundaryType kind = boundaryType == QAccessible::CharBoundary
        ? QTextBoundaryFinder::Grapheme
        : boundaryType == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                     : QTextBoundaryFinder::Sentence;
    QTextBoundaryFinder finder(kind, text);
    finder.setPosition(int(offset - windowStart) + 1);
    const qsizetype from = std::max<qsizetype>(0, finder.toPreviousBoundary());
    finder.setPosition(int(from));
    const qsizetype to = finder.toNextBoundary();
    return { windowStart + from, windowStart + (to < 0 ? text.size() : to) };
}

QString ViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
    int *startOffset, int *endOffset) const
{
    const auto [from, to] = boundaryAround(offset, boundaryType);
    *startOffset = int(from);
    *endOffset = int(to);
    return text(*startOffset, *endOffset);
}

QString ViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
    int *startOffset, int *endOffset) const
{
    const qsizetype from = boundaryAround(offset, boundaryType).first;
    if (from <= 0) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    return textAtOffset(int(from - 1), boundaryType, startOffset, endOffset);
}

QString ViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
    int *startOffset, int *endOffset) const
{
    const qsizetype to = boundaryAround(offset, boundaryType).second;
    if (to >= characterCount()) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    return textAtOffset(int(to), boundaryType, startOffset, endOffset);
}

// ---- Editing -------------------------------------------------------------------------------------

void ViewAccessible::deleteText(int startOffset, int endOffset)
{
    view()->textDocument().replace(startOffset, endOffset - startOffset, {});
}

void ViewAccessible::insertText(int offset, const QString &text)
{
    view()->textDocument().replace(offset, 0, text);
}

void ViewAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    view()->textDocument().replace(startOffset, endOffset - startOffset, text);
}
