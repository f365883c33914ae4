#include "editarea.h"

#include "arealayout.h"
#include "textrendering.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
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

} // namespace

EditArea::EditArea(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_progressive(*this, m_text,
          [this](qsizetype trueFrom, qsizetype trueTo) { appendRendered(trueFrom, trueTo); })
{
    setObjectName(QStringLiteral("Area"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *doc = new QTextDocument(this);
    doc->setDocumentLayout(new AreaLayout(doc));
    setDocument(doc);

    connect(document(), &QTextDocument::contentsChange, this, &EditArea::onContentsChange);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &EditArea::onWidgetCursorMoved);
    connect(this, &QPlainTextEdit::selectionChanged, this, &EditArea::onWidgetCursorMoved);

    connect(&m_progressive, &ProgressiveDisplay::streamingChanged, this, &EditArea::applyReadOnly);
    connect(&m_progressive, &ProgressiveDisplay::heldSelectionShown, this, [this] {
        if (m_selPinned)
            setSelectionFromProgram(m_selStart, m_selLength, false);
    });
    connect(&m_progressive, &ProgressiveDisplay::progress, this, &EditArea::streamProgress);
    connect(&m_progressive, &ProgressiveDisplay::lineCountSettledAfterChange, this,
        &EditArea::lineCountSettledAfterChange);
}

EditArea::~EditArea() = default;

// ---- Positions ---------------------------------------------------------------------------

namespace {

// Marks a block that follows a bare CR rather than a CR LF pair. Qt keeps a block's format
// with the block through undo and redo, so a line break the user deletes and then restores
// reads back as what it was.
constexpr int kFollowsBareCr = QTextFormat::UserProperty + 1;

bool followsBareCr(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(kFollowsBareCr);
}

} // namespace

const BareCrs &EditArea::bareCrs() const
{
    if (!m_bareCrsKnown) {
        m_bareCrs = findBareCrs(m_text);
        m_bareCrsKnown = true;
    }
    return m_bareCrs;
}

// `removed` characters at `from` of the true text have become `added` others.
void EditArea::noteTrueTextChanged(qsizetype from, qsizetype removed, qsizetype added)
{
    // The range changed before moves with this change and takes it in.
    Range changed { from, from + added };
    if (m_changed) {
        const auto moved = [&](qsizetype pos) {
            return pos <= from ? pos : pos >= from + removed ? pos + added - removed : from;
        };
        changed = { std::min(moved(m_changed->from), changed.from),
            std::max(moved(m_changed->to), changed.to) };
    }
    m_changed = changed;

    // The change can only make or unmake a bare CR where it is or just before it; a text
    // without any stays cheap to edit.
    if (m_bareCrsKnown && m_bareCrs.positions.isEmpty()
        && !hasBareCr(m_text, from - 1, from + added))
        return;
    m_bareCrsKnown = false;
}

// Each earlier line break stands for two characters, CR LF, except a bare CR, which is one.
qsizetype EditArea::trueBlockStart(const QTextBlock &block) const
{
    const BareCrs &bare = bareCrs();
    const qsizetype breaks = block.blockNumber();
    const qsizetype bareBefore
        = std::lower_bound(bare.breaksBefore.cbegin(), bare.breaksBefore.cend(), breaks)
        - bare.breaksBefore.cbegin();
    return block.position() + breaks - bareBefore;
}

// A true position between the CR and LF of a pair rounds down to the end of its line.
int EditArea::toWidget(qsizetype truePos) const
{
    const QTextDocument *doc = document();
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (trueBlockStart(doc->findBlockByNumber(mid)) <= truePos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const qsizetype offset
        = std::clamp<qsizetype>(truePos - trueBlockStart(block), 0, block.length() - 1);
    return int(block.position() + offset);
}

qsizetype EditArea::toTrue(int widgetPos) const
{
    const QTextBlock block = document()->findBlock(widgetPos);
    return trueBlockStart(block) + (widgetPos - block.position());
}

// A line break reads back as a bare CR when the block after it is marked so, else as CR LF;
// an LF stand-in reads back as its LF.
QString EditArea::trueTextOfWidgetRange(int from, int to) const
{
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    const QString shown = cursor.selectedText();
    QString result;
    result.reserve(shown.size() + shown.count(paragraphBreak));
    QTextBlock block = document()->findBlock(from);
    for (const QChar ch : shown) {
        if (ch == paragraphBreak) {
            block = block.next();
            result.append(QLatin1Char('\r'));
            if (!followsBareCr(block))
                result.append(QLatin1Char('\n'));
        } else if (ch == lfStandIn) {
            result.append(QLatin1Char('\n'));
        } else {
            result.append(ch);
        }
    }
    return result;
}

// ---- Program edits -----------------------------------------------------------------------

// A locked text is a protected one: a change would make UnProtect give back garbage. Every
// command edits through setText or setSelText, so refusing here covers them all, the ones still
// to be written included. The commands that put another document in its place unlock first
// (New, UnProtect) or show a new text with prepareText (Open).
void EditArea::setText(const QString &given, History history)
{
    if (m_locked)
        return;
    finishStreaming();
    const QString old = m_text;
    Affixes affixes = commonAffixes(old, given);
    // The old text holds nothing the widget would break a line at; only the new part can.
    QString text = given;
    const QStringView middle
        = QStringView(given).sliced(affixes.prefix, given.size() - affixes.prefix - affixes.suffix);
    if (holdsWidgetBreaks(middle)) {
        text = given.first(affixes.prefix) + withoutWidgetBreaks(middle.toString())
            + given.last(affixes.suffix);
        affixes = commonAffixes(old, text);
    }
    if (affixes.prefix == old.size() && old.size() == text.size()) {
        if (history == History::Reset) {
            clearUndoHistory();
            chooseWrapMode(m_text, history);
        }
        return;
    }
    // The new text is taken as it is: no copy, whatever size.
    changeByProgram({ affixes.prefix, m_text.size() - affixes.suffix },
        text.size() - affixes.suffix - affixes.prefix, history, [&] { m_text = text; });
}

void EditArea::replace(qsizetype from, qsizetype length, QStringView given)
{
    if (m_locked)
        return;
    finishStreaming();
    // Like setText, it never lets in what the widget would break a line at.
    const QString cleaned
        = holdsWidgetBreaks(given) ? withoutWidgetBreaks(given.toString()) : QString();
    const QStringView text = cleaned.isNull() ? given : QStringView(cleaned);
    from = std::clamp<qsizetype>(from, 0, m_text.size());
    length = std::clamp<qsizetype>(length, 0, m_text.size() - from);
    const Affixes affixes = commonAffixes(QStringView(m_text).mid(from, length), text);
    if (affixes.prefix == length && length == text.size())
        return;
    const QStringView added
        = text.mid(affixes.prefix, text.size() - affixes.suffix - affixes.prefix);
    const Range changed { from + affixes.prefix, from + length - affixes.suffix };
    changeByProgram(changed, added.size(), History::Keep, [&] {
        m_text.replace(changed.from, changed.to - changed.from, added.constData(), added.size());
    });
}

// The program makes [range.from, range.to) of the text `added` characters long by calling
// `change`; the widget is patched to match.
void EditArea::changeByProgram(
    Range range, qsizetype added, History history, const std::function<void()> &change)
{
    const Range span = widenForRendering(m_text, range);
    const qsizetype delta = added - (range.to - range.from);
    const qsizetype oldStart = selStart();
    const qsizetype oldEnd = oldStart + selLength();
    const int widgetFrom = toWidget(span.from);
    const int widgetTo = toWidget(span.to);

    change();
    noteTrueTextChanged(range.from, range.to - range.from, added);
    replaceRendered(widgetFrom, widgetTo, span.from, span.to + delta, history);

    // The selection keeps its place in the unchanged text; inside the change, or at its start,
    // it goes to the change's start.
    auto mapped = [&](qsizetype pos) {
        if (pos <= span.from)
            return pos;
        if (pos >= span.to)
            return pos + delta;
        return span.from;
    };
    const qsizetype start = mapped(oldStart);
    setSelectionFromProgram(start, mapped(oldEnd) - start, false);
    emit changed();
}

void EditArea::setSelText(const QString &given)
{
    if (m_locked)
        return;
    const QString text = withoutWidgetBreaks(given);
    finishStreaming();
    const qsizetype start = selStart();
    const qsizetype length = selLength();
    if (QStringView(m_text).mid(start, length) == text) {
        setSelectionFromProgram(start + length, 0, true);
        return;
    }
    const Range span = widenForRendering(m_text, { start, start + length });
    const int widgetFrom = toWidget(span.from);
    const int widgetTo = toWidget(span.to);
    m_text.replace(start, length, text);
    noteTrueTextChanged(start, length, text.size());
    const qsizetype delta = text.size() - length;
    replaceRendered(widgetFrom, widgetTo, span.from, span.to + delta, History::Keep);
    setSelectionFromProgram(start + text.size(), 0, true);
    emit changed();
}

// Replaces widget positions [widgetFrom, widgetTo) by the rendering of the true text
// [trueFrom, trueTo). A large new stretch is shown a piece at a time: the widget drops
// everything from the change on and receives the rest of the text in idle time. Such a change
// starts a fresh undo history, as a new document does.
void EditArea::replaceRendered(
    int widgetFrom, int widgetTo, qsizetype trueFrom, qsizetype trueTo, History history)
{
    const QScopedValueRollback guard(m_programEdit, true);
    const qsizetype firstCut = m_progressive.firstPieceEnd(trueFrom, trueTo);
    const bool stream = firstCut > 0 && firstCut < trueTo;
    const bool reset = history == History::Reset || stream;
    qsizetype shownTo = trueTo;
    if (stream) {
        widgetTo = document()->characterCount() - 1;
        shownTo = firstCut;
    }
    // A new document is looked at whole; an edit only where it changed.
    chooseWrapMode(history == History::Reset ? QStringView(m_text)
                                             : QStringView(m_text).mid(trueFrom, trueTo - trueFrom),
        history);
    if (reset)
        document()->setUndoRedoEnabled(false); // also drops the old history
    QTextCursor cursor(document());
    cursor.setPosition(widgetFrom);
    cursor.setPosition(widgetTo, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertRendered(cursor, QStringView(m_text).mid(trueFrom, shownTo - trueFrom));
    cursor.endEditBlock();
    // Qt merges a typed character into the undo step before it while the document counts as
    // modified; a program edit stays an undo step of its own.
    document()->setModified(false);
    m_progressive.layOut(widgetFrom, cursor.position());
    if (stream)
        m_progressive.streamRest(shownTo); // undo stays off until the whole text is in
    else if (reset)
        document()->setUndoRedoEnabled(true);
}

// A new document wraps at word boundaries unless it needs otherwise; an edit can only move it to
// wrapping anywhere.
void EditArea::chooseWrapMode(QStringView inserted, History history)
{
    const bool longRun = hasRunWithoutBreakOpportunity(inserted, kLongestWordWrapped);
    const QTextOption::WrapMode mode = longRun ? QTextOption::WrapAnywhere
        : history == History::Reset            ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                               : wordWrapMode();
    if (mode != wordWrapMode()) {
        setWordWrapMode(mode);
        m_progressive.layOutAnew(0);
    }
}

void EditArea::appendRendered(qsizetype trueFrom, qsizetype trueTo)
{
    const QScopedValueRollback guard(m_programEdit, true);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int widgetFrom = cursor.position();
    cursor.beginEditBlock();
    insertRendered(cursor, QStringView(m_text).mid(trueFrom, trueTo - trueFrom));
    cursor.endEditBlock();
    m_progressive.layOut(widgetFrom, cursor.position());
}

// ---- A text that can still be given up ---------------------------------------------------

void EditArea::prepareText(const QString &text)
{
    dropPreparedText();
    finishStreaming();
    QTextDocument *previous = document();
    m_progressive.setAside({ previous, m_text, m_changed, selStart(), selLength(), wordWrapMode() });
    // The widget would delete a document of its own when it takes another.
    previous->setParent(this);

    auto *fresh = new QTextDocument(this);
    fresh->setDocumentLayout(new AreaLayout(fresh));
    fresh->setDefaultFont(previous->defaultFont());
    fresh->setUndoRedoEnabled(false);
    swapDocument(fresh);
    const qsizetype oldSize = m_text.size();
    m_text = text;
    noteTrueTextChanged(0, oldSize, m_text.size());
    m_bareCrsKnown = false;
    m_selPinned = false;
    chooseWrapMode(m_text, History::Reset);
    m_progressive.showFirstPiece();
    applyReadOnly();
    const QScopedValueRollback guard(m_programSelection, true);
    setTextCursor(QTextCursor(document())); // the text went in before the caret
}

int EditArea::prepareNextPiece()
{
    return m_progressive.showNextPiece();
}

void EditArea::keepPreparedText()
{
    if (!isPreparing())
        return;
    finishStreaming();
    delete m_progressive.takeSetAside().document;
    document()->setModified(false);
    emit changed();
}

void EditArea::dropPreparedText()
{
    if (!isPreparing())
        return;
    m_progressive.abandon();
    QTextDocument *prepared = document();
    const ProgressiveDisplay::Previous previous = m_progressive.takeSetAside();
    swapDocument(previous.document);
    delete prepared;
    m_text = previous.text;
    m_changed = previous.changed;
    m_bareCrsKnown = false;
    setWordWrapMode(previous.wrapMode);
    applyReadOnly();
    setSelectionFromProgram(previous.selStart, previous.selLength, false);
    emit streamProgress(100);
}

void EditArea::swapDocument(QTextDocument *next)
{
    disconnect(document(), &QTextDocument::contentsChange, this, &EditArea::onContentsChange);
    {
        const QScopedValueRollback guard(m_programEdit, true);
        setDocument(next);
    }
    connect(next, &QTextDocument::contentsChange, this, &EditArea::onContentsChange);
    m_standInsToJoin.clear();
    m_progressive.layOutAnew(0);
}

// New blocks take the format of the block the cursor is in: a block after a bare CR is marked,
// every other one must not be.
void EditArea::insertRendered(QTextCursor &cursor, QStringView trueText)
{
    QTextBlockFormat afterBareCr;
    afterBareCr.setProperty(kFollowsBareCr, true);
    qsizetype from = 0;
    while (from <= trueText.size()) {
        const qsizetype bareCr = nextBareCr(trueText, from, trueText.size());
        QStringView run = trueText.mid(from, (bareCr < 0 ? trueText.size() : bareCr) - from);
        const qsizetype firstPair = run.indexOf(QLatin1String("\r\n"));
        if (firstPair >= 0 && followsBareCr(cursor.block())) {
            cursor.insertText(toWidgetText(run.first(firstPair)));
            cursor.insertBlock(QTextBlockFormat(), cursor.charFormat());
            run = run.sliced(firstPair + 2);
        }
        cursor.insertText(toWidgetText(run));
        if (bareCr < 0)
            break;
        cursor.insertBlock(afterBareCr, cursor.charFormat());
        from = bareCr + 1;
    }
}

void EditArea::setSelectionFromProgram(qsizetype start, qsizetype length, bool scrollToIt)
{
    m_selStart = std::clamp<qsizetype>(start, 0, m_text.size());
    m_selLength = std::clamp<qsizetype>(length, 0, m_text.size() - m_selStart);
    m_selPinned = true;
    if (!m_progressive.isShown(m_selStart + m_selLength)) {
        // Not in the widget yet: shown when it arrives, or at once when it must be scrolled to.
        if (!scrollToIt) {
            m_progressive.holdSelection();
            return;
        }
        finishStreaming();
    }

    const QScopedValueRollback guard(m_programSelection, true);
    QTextCursor cursor = textCursor();
    cursor.setPosition(toWidget(m_selStart));
    cursor.setPosition(toWidget(m_selStart + m_selLength), QTextCursor::KeepAnchor);
    if (scrollToIt) {
        setTextCursor(cursor);
        return;
    }
    const int vertical = verticalScrollBar()->value();
    const int horizontal = horizontalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(vertical);
    horizontalScrollBar()->setValue(horizontal);
}

// ---- Selection ---------------------------------------------------------------------------

qsizetype EditArea::selStart() const
{
    if (m_selPinned)
        return m_selStart;
    return toTrue(textCursor().selectionStart());
}

qsizetype EditArea::selLength() const
{
    if (m_selPinned)
        return m_selLength;
    const QTextCursor cursor = textCursor();
    return toTrue(cursor.selectionEnd()) - toTrue(cursor.selectionStart());
}

void EditArea::setSelStart(qsizetype start)
{
    setSelectionFromProgram(start, 0, true);
}

void EditArea::setSelLength(qsizetype length)
{
    setSelectionFromProgram(selStart(), length, true);
}

void EditArea::select(qsizetype start, qsizetype length)
{
    start = std::clamp<qsizetype>(start, 0, m_text.size());
    setSelectionFromProgram(start, length, true);
}

QString EditArea::selText() const
{
    return m_text.mid(selStart(), selLength());
}

void EditArea::onWidgetCursorMoved()
{
    if (!m_programSelection && !m_programEdit)
        m_selPinned = false;
}

// ---- User edits --------------------------------------------------------------------------

void EditArea::onContentsChange(int position, int removed, int added)
{
    if (m_programEdit)
        return;
    // Qt may count the document's closing paragraph separator, which stands for nothing.
    const int documentEnd = document()->characterCount() - 1;
    added = std::clamp(added, 0, std::max(0, documentEnd - position));

    const qsizetype truePos = std::min(toTrue(position), m_text.size());
    const qsizetype trueRemoved = trueLengthOfUnits(m_text, truePos, removed);
    const QString inserted = trueTextOfWidgetRange(position, position + added);
    for (int &standIn : m_standInsToJoin) {
        if (standIn >= position)
            standIn += added - removed;
    }
    m_text.replace(truePos, trueRemoved, inserted);
    noteTrueTextChanged(truePos, trueRemoved, inserted.size());
    notePairMadeByUser(truePos, position);
    notePairMadeByUser(truePos + inserted.size(), position + added);
    chooseWrapMode(inserted, History::Keep);
    m_selPinned = false;
    m_progressive.layOut(position, position + added);

    m_userChangePending = true;
    if (!m_flushQueued) {
        // Normally the end of the key, drop or input event flushes; this catches edits that
        // arrive some other way (a context-menu action, undo() called by code).
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &EditArea::flushUserChange, Qt::QueuedConnection);
    }
}

// An LF now right after a CR that shows as a line break of its own (an LF stand-in typed or
// pasted there, or the text between the two deleted): the widget still shows the LF's stand-in.
void EditArea::notePairMadeByUser(qsizetype truePos, int widgetPos)
{
    if (truePos > 0 && truePos < m_text.size() && m_text[truePos - 1] == QLatin1Char('\r')
        && m_text[truePos] == QLatin1Char('\n') && document()->characterAt(widgetPos) == lfStandIn
        && document()->characterAt(widgetPos - 1) == paragraphBreak
        && !m_standInsToJoin.contains(widgetPos))
        m_standInsToJoin.append(widgetPos);
}

// The pair shows as the one line break the CR already has; the block after it is no longer
// after a bare CR. Done once the user's edit is complete, as the widget is not ours to change
// in the middle of it; it is an undo step of its own.
void EditArea::joinPairsMadeByUser()
{
    if (m_standInsToJoin.isEmpty())
        return;
    std::sort(m_standInsToJoin.begin(), m_standInsToJoin.end(), std::greater<int>());
    const QScopedValueRollback guard(m_programEdit, true);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const int standIn : std::as_const(m_standInsToJoin)) {
        cursor.setPosition(standIn);
        cursor.setPosition(standIn + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.setBlockFormat(QTextBlockFormat());
    }
    cursor.endEditBlock();
    m_standInsToJoin.clear();
    document()->setModified(false);
}

void EditArea::flushUserChange()
{
    m_flushQueued = false;
    if (!m_userChangePending)
        return;
    m_userChangePending = false;
    joinPairsMadeByUser();
    emit changed();
}

// ---- Events ------------------------------------------------------------------------------

bool EditArea::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (m_menuShortcuts.contains(QKeySequence(key->keyCombination()))) {
            e->ignore(); // leave the key to the menu row that owns it
            return true;
        }
    }
    ++m_eventDepth;
    const bool result = QPlainTextEdit::event(e);
    endOfEvent();
    return result;
}

bool EditArea::viewportEvent(QEvent *e)
{
    ++m_eventDepth;
    const bool result = QPlainTextEdit::viewportEvent(e);
    endOfEvent();
    return result;
}

// Qt sends the area events of its own in the middle of an edit (an input-method query once the
// text has changed, before an undo has put the caret back): the change is reported only once
// the outermost event is over.
void EditArea::endOfEvent()
{
    if (--m_eventDepth == 0)
        flushUserChange();
}

void EditArea::keyPressEvent(QKeyEvent *e)
{
    if (isPreparing()) {
        e->ignore();
        return;
    }
    const QString typed = e->text();
    // An edit waits for the rest of a big text to be shown: the widget must hold all of it.
    if (isStreaming() && !m_locked && !typed.isEmpty())
        finishStreaming();
    if (!typed.isEmpty())
        emit keyPressed(typed.front());
    // Shift+Return or a typed U+2028 would put in a line separator: shown as a line break, it is
    // none in the text. A line break typed in any way is a CR LF.
    const bool lineBreak = e->matches(QKeySequence::InsertParagraphSeparator)
        || e->matches(QKeySequence::InsertLineSeparator) || typed == QChar::LineSeparator
        || typed == QChar::ParagraphSeparator;
    if (lineBreak && !isReadOnly()) {
        insertTypedLineBreak();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

// Qt would give the new line the format of the line it splits, which may mark it as following a
// bare CR; a typed line break is a CR LF.
void EditArea::insertTypedLineBreak()
{
    QTextCursor cursor = textCursor();
    cursor.insertBlock(QTextBlockFormat(), cursor.charFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
}

void EditArea::inputMethodEvent(QInputMethodEvent *e)
{
    if (isPreparing()) {
        e->ignore();
        return;
    }
    if (isStreaming() && !m_locked)
        finishStreaming();
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

void EditArea::setLocked(bool locked)
{
    m_locked = locked;
    applyReadOnly();
}

void EditArea::applyReadOnly()
{
    const bool readOnly = m_locked || isStreaming();
    setReadOnly(readOnly);
    // Read-only alone would also take away the caret and keyboard selection.
    if (readOnly)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void EditArea::clearUndoHistory()
{
    document()->clearUndoRedoStacks();
}

void EditArea::setMenuShortcuts(const QList<QKeySequence> &shortcuts)
{
    m_menuShortcuts = shortcuts;
}

// ---- Drag, drop and copy -----------------------------------------------------------------

QMimeData *EditArea::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const QString exact = m_text.mid(toTrue(cursor.selectionStart()),
        toTrue(cursor.selectionEnd()) - toTrue(cursor.selectionStart()));
    auto *data = new QMimeData;
    data->setText(exact);
    data->setData(kExactTextMime, exact.toUtf8());
    return data;
}

bool EditArea::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() || source->hasFormat(kExactTextMime);
}

void EditArea::insertFromMimeData(const QMimeData *source)
{
    const QString text = source->hasFormat(kExactTextMime)
        ? QString::fromUtf8(source->data(kExactTextMime))
        : withCrLfLineBreaks(withoutWidgetBreaks(source->text()));
    chooseWrapMode(text, History::Keep);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertRendered(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
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
