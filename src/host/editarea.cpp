#include "editarea.h"

#include "arealayout.h"
#include "textrendering.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTextBlock>

#include <algorithm>
#include <utility>

using namespace TextRendering;

namespace {

// Drags and copies between our own areas carry the exact text, bare CR and LF included.
const QString kExactTextMime = QStringLiteral("application/x-tarvex-exact-text");

// Qt's word-boundary wrapping takes time that grows with the square of an unbroken run's length
// (seconds for 100,000 characters); a text holding such a run wraps anywhere instead.
constexpr qsizetype kLongestWordWrapped = 4000;

constexpr QChar cr = QLatin1Char('\r');
constexpr QChar lf = QLatin1Char('\n');

} // namespace

EditArea::EditArea(Document &document, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_document(document)
    , m_progressive(*this, document,
          [this](qsizetype trueFrom, qsizetype trueTo) { appendRendered(trueFrom, trueTo); })
{
    setObjectName(QStringLiteral("Area"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    swapDocument(newWidgetDocument());

    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditArea::onWidgetCursorMoved);
    connect(this, &QPlainTextEdit::selectionChanged, this, &EditArea::onWidgetCursorMoved);

    connect(&m_document, &Document::edited, this, &EditArea::onDocumentEdited);
    connect(&m_document, &Document::reset, this, &EditArea::onDocumentReset);
    connect(&m_document, &Document::loaded, this, &EditArea::onDocumentLoaded);
    connect(&m_document, &Document::selectionChanged, this, &EditArea::showSelection);
    connect(&m_document, &Document::stateChanged, this, &EditArea::applyReadOnly);

    connect(&m_progressive, &ProgressiveDisplay::streamingChanged, this, &EditArea::applyReadOnly);
    connect(&m_progressive, &ProgressiveDisplay::heldSelectionShown, this, &EditArea::showSelection);
    connect(&m_progressive, &ProgressiveDisplay::progress, this, &EditArea::streamProgress);
    connect(&m_progressive, &ProgressiveDisplay::lineCountSettledAfterChange, this,
        &EditArea::lineCountSettledAfterChange);

    if (!m_document.isEmpty())
        showWhole(true);
}

EditArea::~EditArea() = default;

// ---- Positions ---------------------------------------------------------------------------

// A true position between the CR and LF of a pair rounds down to the end of its line.
int EditArea::toWidget(qsizetype truePos) const
{
    const qsizetype paragraph = m_document.paragraphAt(truePos);
    const QTextBlock block = document()->findBlockByNumber(int(paragraph));
    if (!block.isValid())
        return document()->characterCount() - 1;
    const qsizetype offset = std::clamp<qsizetype>(
        truePos - m_document.paragraphStart(paragraph), 0, block.length() - 1);
    return int(block.position() + offset);
}

qsizetype EditArea::toTrue(int widgetPos) const
{
    const QTextBlock block = document()->findBlock(widgetPos);
    return m_document.paragraphStart(block.blockNumber()) + (widgetPos - block.position());
}

// True length covered by `units` widget characters from `from`: a CR LF pair is one of them.
qsizetype EditArea::trueLengthOfUnits(qsizetype from, qsizetype units) const
{
    qsizetype pos = from;
    bool afterCr = false;
    m_document.buffer().forEachChunk(from, m_document.size(), [&](QStringView chunk) {
        for (const QChar ch : chunk) {
            if (afterCr) {
                afterCr = false;
                if (ch == lf) {
                    ++pos;
                    continue;
                }
            }
            if (units == 0)
                return false;
            --units;
            ++pos;
            afterCr = ch == cr;
        }
        return true;
    });
    return pos - from;
}

// ---- The document's edits ------------------------------------------------------------------

// `removed` characters at `position` of the document have just become `added` others. What the
// widget shows of them, with a CR before and an LF after that may pair with them, is redone.
void EditArea::onDocumentEdited(qsizetype position, qsizetype /*removed*/, qsizetype added)
{
    if (m_userEdit || m_document.isPreparing())
        return;
    qsizetype from = position;
    if (from > 0 && m_document.at(from - 1) == cr)
        --from;
    qsizetype to = position + added;
    if (to < m_document.size() && m_document.at(to) == lf)
        ++to;

    if (isStreaming()) {
        // The widget holds the text up to a point; what lies beyond comes later anyway.
        if (from >= m_progressive.shownTo())
            return;
        const QScopedValueRollback guard(m_programEdit, true);
        QTextCursor cursor(document());
        cursor.setPosition(toWidget(from));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        m_progressive.streamRest(from);
        return;
    }

    // The text before `from` is as it was, so `from` maps as ever; the text from `to` on is as
    // it was too, so its end lies as far from the end of its old block as from its new end.
    const int widgetFrom = toWidget(from);
    const qsizetype paragraph = m_document.paragraphAt(to);
    const int oldBlock
        = int(paragraph - (m_document.paragraphCount() - document()->blockCount()));
    const QTextBlock block = document()->findBlockByNumber(oldBlock);
    const int widgetTo = block.position() + block.length() - 1
        - int(m_document.paragraphEnd(paragraph) - to);
    replaceRendered(widgetFrom, widgetTo, from, to);
    // Qt moves a caret at the place of an insertion after it; the document's may stay before.
    showSelection();
}

// Replaces widget positions [widgetFrom, widgetTo) by the rendering of the document's
// [trueFrom, trueTo). A large new stretch is shown a piece at a time: the widget drops
// everything from the change on and receives the rest in idle time.
void EditArea::replaceRendered(int widgetFrom, int widgetTo, qsizetype trueFrom, qsizetype trueTo)
{
    const QScopedValueRollback guard(m_programEdit, true);
    const qsizetype firstCut = m_progressive.firstPieceEnd(trueFrom, trueTo);
    const bool stream = firstCut > 0 && firstCut < trueTo;
    qsizetype shownTo = trueTo;
    if (stream) {
        widgetTo = document()->characterCount() - 1;
        shownTo = firstCut;
    }
    chooseWrapMode(m_document.mid(trueFrom, shownTo - trueFrom), false);
    QTextCursor cursor(document());
    cursor.setPosition(widgetFrom);
    cursor.setPosition(widgetTo, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(toWidgetText(m_document.mid(trueFrom, shownTo - trueFrom)));
    cursor.endEditBlock();
    m_progressive.layOut(widgetFrom, cursor.position());
    if (stream)
        m_progressive.streamRest(shownTo);
}

void EditArea::appendRendered(qsizetype trueFrom, qsizetype trueTo)
{
    const QScopedValueRollback guard(m_programEdit, true);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int widgetFrom = cursor.position();
    cursor.beginEditBlock();
    cursor.insertText(toWidgetText(m_document.mid(trueFrom, trueTo - trueFrom)));
    cursor.endEditBlock();
    m_progressive.layOut(widgetFrom, cursor.position());
}

// A new document wraps at word boundaries unless it needs otherwise; an edit can only move it to
// wrapping anywhere.
void EditArea::chooseWrapMode(QStringView inserted, bool wholeText)
{
    const bool longRun = hasRunWithoutBreakOpportunity(inserted, kLongestWordWrapped);
    const QTextOption::WrapMode mode = longRun ? QTextOption::WrapAnywhere
        : wholeText                             ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                : wordWrapMode();
    if (mode != wordWrapMode()) {
        setWordWrapMode(mode);
        m_progressive.layOutAnew(0);
    }
}

// ---- A whole new text --------------------------------------------------------------------

QTextDocument *EditArea::newWidgetDocument() const
{
    auto *fresh = new QTextDocument(const_cast<EditArea *>(this));
    fresh->setDocumentLayout(new AreaLayout(fresh));
    fresh->setUndoRedoEnabled(false); // the document keeps the history
    if (QPlainTextEdit::document())
        fresh->setDefaultFont(QPlainTextEdit::document()->defaultFont());
    return fresh;
}

void EditArea::swapDocument(QTextDocument *next)
{
    if (QTextDocument *previous = QPlainTextEdit::document())
        disconnect(previous, &QTextDocument::contentsChange, this, &EditArea::onContentsChange);
    {
        const QScopedValueRollback guard(m_programEdit, true);
        setDocument(next);
    }
    connect(next, &QTextDocument::contentsChange, this, &EditArea::onContentsChange);
    m_joinCandidates.clear();
    m_progressive.layOutAnew(0);
}

// The widget shows the document from its start: the first piece at once, the rest as
// ProgressiveDisplay decides.
void EditArea::showWhole(bool wrapAnew)
{
    m_progressive.abandon();
    chooseWrapMode(m_document.text(), wrapAnew);
    m_progressive.showFirstPiece();
    applyReadOnly();
    const QScopedValueRollback guard(m_programSelection, true);
    setTextCursor(QTextCursor(document()));
}

// Another text altogether: a load shows it anew; a prepared one is shown beside the old
// rendering, which comes back whole if the old document does.
void EditArea::onDocumentReset()
{
    if (m_document.isPreparing()) {
        QTextDocument *previous = document();
        m_progressive.abandon();
        if (m_progressive.hasSetAside()) {
            // A second prepared text replaces the first; the old rendering stays aside.
            swapDocument(newWidgetDocument());
            delete previous;
        } else {
            m_progressive.setAside({ previous, wordWrapMode() });
            swapDocument(newWidgetDocument());
        }
        showWhole(true);
        return;
    }
    if (m_progressive.hasSetAside()) {
        m_progressive.abandon();
        QTextDocument *prepared = document();
        const ProgressiveDisplay::Previous previous = m_progressive.takeSetAside();
        swapDocument(previous.document);
        delete prepared;
        setWordWrapMode(previous.wrapMode);
        applyReadOnly();
        showSelection();
        emit streamProgress(100);
        return;
    }
    swapDocument(newWidgetDocument());
    showWhole(true);
}

void EditArea::onDocumentLoaded()
{
    if (!m_progressive.hasSetAside())
        return;
    finishStreaming();
    delete m_progressive.takeSetAside().document;
    applyReadOnly();
}

int EditArea::prepareNextPiece()
{
    return m_progressive.showNextPiece();
}

// ---- Selection ---------------------------------------------------------------------------

// The document's selection as the widget can show it: a position between a CR and its LF is
// shown at the end of its line. A selection beyond what a large text has shown so far waits for
// the rest, unless a command chose it, outside any change, to be seen now.
void EditArea::showSelection()
{
    if (m_programSelection || m_userEdit)
        return;
    const Selection selection = m_document.selection();
    if (!m_progressive.isShown(std::max(selection.anchor, selection.caret))) {
        if (m_document.isPreparing() || m_document.isChanging()) {
            m_progressive.holdSelection();
            return;
        }
        finishStreaming();
    }
    const QScopedValueRollback guard(m_programSelection, true);
    QTextCursor cursor = textCursor();
    cursor.setPosition(toWidget(selection.anchor));
    cursor.setPosition(toWidget(selection.caret), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

// The user moved the caret: the widget's selection is the document's now.
void EditArea::onWidgetCursorMoved()
{
    if (m_programSelection || m_programEdit || m_userEdit || m_document.isPreparing()
        || document()->blockCount() != m_document.paragraphCount())
        return;
    const QTextCursor cursor = textCursor();
    const QScopedValueRollback guard(m_programSelection, true);
    m_document.setSelection({ toTrue(cursor.anchor()), toTrue(cursor.position()) });
}

// ---- User edits --------------------------------------------------------------------------

// The widget has changed: the same change goes into the document, read in its positions. The
// blocks before `position` are as they were, and the document is as the widget was.
void EditArea::onContentsChange(int position, int removed, int added)
{
    if (m_programEdit)
        return;
    // Qt may count the document's closing paragraph separator, which stands for nothing.
    const int documentEnd = document()->characterCount() - 1;
    added = std::clamp(added, 0, std::max(0, documentEnd - position));

    const QTextBlock block = document()->findBlock(position);
    const qsizetype truePos = std::min(
        m_document.paragraphStart(block.blockNumber()) + (position - block.position()),
        m_document.size());
    const qsizetype trueRemoved = trueLengthOfUnits(truePos, removed);
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    // A line break typed is a CR LF; a stand-in glyph typed is the glyph.
    const QString inserted = cursor.selectedText().replace(paragraphBreak, QLatin1String("\r\n"));
    {
        const QScopedValueRollback guard(m_userEdit, true);
        m_document.replace(truePos, trueRemoved, inserted, m_keyKind);
    }
    chooseWrapMode(inserted, false);
    m_progressive.layOut(position, position + added);
    m_joinCandidates.append(truePos);
    m_joinCandidates.append(truePos + inserted.size());
}

// A CR and an LF that an edit by the user brought together are one line break: the widget,
// which still shows a line break and a stand-in, is brought to show the one. Done once the
// user's event is over, as the widget is not ours to change in the middle of it.
void EditArea::renderPairsMadeByUser()
{
    const QList<qsizetype> candidates = std::exchange(m_joinCandidates, {});
    for (const qsizetype at : candidates) {
        if (at > 0 && at < m_document.size() && m_document.at(at - 1) == cr
            && m_document.at(at) == lf)
            onDocumentEdited(at, 0, 0);
    }
    showSelection();
}

// ---- Events ------------------------------------------------------------------------------

// Everything an event does to the text is one change of the document; it is complete when the
// outermost event is over, not in the middle of Qt's own handling (an input-method query once
// the text has changed, before the caret has moved).
bool EditArea::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (m_menuShortcuts.contains(QKeySequence(key->keyCombination()))) {
            e->ignore(); // leave the key to the menu row that owns it
            return true;
        }
    }
    if (m_eventDepth++ == 0)
        m_document.beginChange();
    const bool result = QPlainTextEdit::event(e);
    endOfEvent();
    return result;
}

bool EditArea::viewportEvent(QEvent *e)
{
    if (m_eventDepth++ == 0)
        m_document.beginChange();
    const bool result = QPlainTextEdit::viewportEvent(e);
    endOfEvent();
    return result;
}

void EditArea::endOfEvent()
{
    if (m_eventDepth > 1) {
        --m_eventDepth;
        return;
    }
    if (!m_joinCandidates.isEmpty())
        renderPairsMadeByUser();
    m_keyKind = EditKind::Command;
    // Still one event deep while the change ends: its corrections edit the widget from here.
    m_document.endChange();
    m_eventDepth = 0;
}

void EditArea::keyPressEvent(QKeyEvent *e)
{
    if (m_document.isPreparing()) {
        e->ignore();
        return;
    }
    if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
        if (!isReadOnly())
            e->matches(QKeySequence::Undo) ? m_document.undo() : m_document.redo();
        return;
    }
    const QString typed = e->text();
    // An edit waits for the rest of a big text to be shown: the widget must hold all of it.
    if (isStreaming() && !m_document.isLocked() && !typed.isEmpty())
        finishStreaming();
    if (!typed.isEmpty())
        emit keyPressed(typed.front());
    // Shift+Return or a typed U+2028 would put in a line separator: shown as a line break, it is
    // none in the text. A line break typed in any way is a CR LF, an undo step of its own.
    const bool lineBreak = e->matches(QKeySequence::InsertParagraphSeparator)
        || e->matches(QKeySequence::InsertLineSeparator) || typed == QChar::LineSeparator
        || typed == QChar::ParagraphSeparator;
    if (lineBreak && !isReadOnly()) {
        insertTypedLineBreak();
        return;
    }
    if (e->key() == Qt::Key_Backspace)
        m_keyKind = EditKind::Backspace;
    else if (e->key() == Qt::Key_Delete)
        m_keyKind = EditKind::Delete;
    else if (!typed.isEmpty() && (typed.front().isPrint() || typed.front() == u'\t'))
        m_keyKind = EditKind::Typing;
    QPlainTextEdit::keyPressEvent(e);
}

void EditArea::insertTypedLineBreak()
{
    QTextCursor cursor = textCursor();
    cursor.insertBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void EditArea::inputMethodEvent(QInputMethodEvent *e)
{
    if (m_document.isPreparing()) {
        e->ignore();
        return;
    }
    if (isStreaming() && !m_document.isLocked())
        finishStreaming();
    m_keyKind = EditKind::Typing;
    QPlainTextEdit::inputMethodEvent(e);
}

void EditArea::keyReleaseEvent(QKeyEvent *e)
{
    QPlainTextEdit::keyReleaseEvent(e);
    emit keyReleased();
}

void EditArea::mouseReleaseEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    emit mouseReleased();
}

void EditArea::mouseDoubleClickEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

// The widget's own Undo and Redo would find no history: the document keeps it.
void EditArea::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = createStandardContextMenu(e->pos());
    for (QAction *action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        const bool redo = action->objectName() == QLatin1String("edit-redo");
        if (!undo && !redo)
            continue;
        action->disconnect();
        action->setEnabled(!isReadOnly() && (undo ? m_document.canUndo() : m_document.canRedo()));
        connect(action, &QAction::triggered, &m_document, undo ? &Document::undo : &Document::redo);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}

void EditArea::applyReadOnly()
{
    const bool readOnly = m_document.isLocked() || isStreaming() || m_document.isPreparing();
    setReadOnly(readOnly);
    // Read-only alone would also take away the caret and keyboard selection.
    if (readOnly)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void EditArea::setMenuShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_menuShortcuts = shortcuts;
}

// ---- Drag, drop and copy -----------------------------------------------------------------

QMimeData *EditArea::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const qsizetype from = toTrue(cursor.selectionStart());
    const QString exact = m_document.mid(from, toTrue(cursor.selectionEnd()) - from);
    auto *data = new QMimeData;
    data->setText(exact);
    data->setData(kExactTextMime, exact.toUtf8());
    return data;
}

bool EditArea::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() || source->hasFormat(kExactTextMime);
}

// What is pasted or dropped goes into the document at the widget's selection, which the drop
// has put where the mouse let go.
void EditArea::insertFromMimeData(const QMimeData *source)
{
    const QString text = source->hasFormat(kExactTextMime)
        ? QString::fromUtf8(source->data(kExactTextMime))
        : withCrLfLineBreaks(source->text());
    onWidgetCursorMoved();
    m_document.replaceSelection(text);
    ensureCursorVisible();
}

// ---- Layout ------------------------------------------------------------------------------

// A new width or face wraps every line anew.
void EditArea::resizeEvent(QResizeEvent *e)
{
    QPlainTextEdit::resizeEvent(e);
    m_progressive.viewportResized(viewport()->width());
}

void EditArea::changeEvent(QEvent *e)
{
    QPlainTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange)
        m_progressive.layOutAnew(0);
}
