#include "document.h"

#include "textaffixes.h"
#include "viewbreaks.h"

#include <algorithm>
#include <utility>

namespace {

// Above this many characters, a stretch to replace is compared with the whole text instead of a
// copy of itself.
constexpr qsizetype kCompareInPlace = 64 * 1024;

} // namespace

// What stands aside while a prepared load can still be given up: everything but the signals.
struct Document::State
{
    TextBuffer text;
    Selection selection;
    std::optional<QString> path;
    bool modified = false;
    bool locked = false;
    LastStep lastStep = LastStep::Started;
    EditHistory history;
    std::optional<TextRange> changedSinceForget;
};

Document::Document(QObject *parent)
    : QObject(parent)
{ }

Document::~Document() = default;

// ---- Text ---------------------------------------------------------------------------------

QString Document::mid(qsizetype position, qsizetype length) const
{
    position = std::clamp<qsizetype>(position, 0, size());
    length = std::clamp<qsizetype>(length, 0, size() - position);
    return m_text.mid(position, length);
}

const QString &Document::text() const
{
    if (!m_wholeTextValid) {
        m_wholeText = m_text.toString();
        m_wholeTextValid = true;
    }
    return m_wholeText;
}

qsizetype Document::paragraphStart(qsizetype index) const
{
    if (index <= 0)
        return 0;
    qsizetype start = m_text.positionOfCr(index - 1) + 1;
    if (start < size() && m_text.at(start) == u'\n')
        ++start;
    return start;
}

qsizetype Document::paragraphEnd(qsizetype index) const
{
    return index >= m_text.crCount() ? size() : m_text.positionOfCr(index);
}

qsizetype Document::paragraphAt(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, size());
    const qsizetype before = m_text.countCrsBefore(position);
    const bool insidePair = position > 0 && position < size() && m_text.at(position) == u'\n'
        && m_text.at(position - 1) == u'\r';
    return insidePair ? before - 1 : before;
}

// ---- Selection ----------------------------------------------------------------------------

QString Document::selectedText() const
{
    return m_text.mid(selectionStart(), selectionLength());
}

void Document::select(qsizetype start, qsizetype length)
{
    start = std::clamp<qsizetype>(start, 0, size());
    length = std::clamp<qsizetype>(length, 0, size() - start);
    setSelection({ start, start + length });
}

void Document::setSelection(const Selection &selection)
{
    const Selection clamped { std::clamp<qsizetype>(selection.anchor, 0, size()),
        std::clamp<qsizetype>(selection.caret, 0, size()) };
    if (clamped == m_selection)
        return;
    m_selection = clamped;
    emit selectionChanged();
}

// The selection keeps its place in the text around an edit; inside it, it goes to its start.
void Document::moveSelectionOver(qsizetype position, qsizetype removed, qsizetype added)
{
    const auto moved = [&](qsizetype at) {
        if (at <= position)
            return at;
        if (at >= position + removed)
            return at + added - removed;
        return position;
    };
    setSelection({ moved(m_selection.anchor), moved(m_selection.caret) });
}

// ---- Changes ------------------------------------------------------------------------------

void Document::replace(qsizetype position, qsizetype length, QStringView given, EditKind kind)
{
    if (m_locked || isPreparing())
        return;
    position = std::clamp<qsizetype>(position, 0, size());
    length = std::clamp<qsizetype>(length, 0, size() - position);
    const QString cleaned
        = ViewBreaks::holdsAny(given) ? ViewBreaks::withoutAny(given.toString()) : QString();
    const QStringView text = cleaned.isNull() ? given : QStringView(cleaned);

    // Only the part that differs is edited, so that views redo and undo keeps as little as can
    // be. A long stretch is compared with the whole text, which a command that replaces it has
    // usually just read.
    const QString old = length > kCompareInPlace ? QString() : m_text.mid(position, length);
    const QStringView before
        = length > kCompareInPlace ? QStringView(this->text()).mid(position, length) : QStringView(old);
    const TextAffixes affixes = TextAffixes::of(before, text);
    if (affixes.prefix == before.size() && before.size() == text.size())
        return;

    beginChange();
    applyEdit(position + affixes.prefix, length - affixes.prefix - affixes.suffix,
        text.mid(affixes.prefix, text.size() - affixes.prefix - affixes.suffix), kind);
    endChange();
}

void Document::setText(const QString &text)
{
    replace(0, size(), text);
}

void Document::replaceSelection(const QString &given)
{
    if (m_locked || isPreparing())
        return;
    const QString text = ViewBreaks::withoutAny(given);
    const qsizetype start = selectionStart();
    beginChange();
    replace(start, selectionLength(), text);
    setSelection({ start + text.size(), start + text.size() });
    endChange();
}

void Document::applyEdit(qsizetype position, qsizetype removed, QStringView text, EditKind kind)
{
    if (kind != EditKind::Command) {
        m_step.kind = kind;
        m_step.keys = kind == EditKind::Typing ? TextRange { position, position + text.size() }
                                               : TextRange { position, position + removed };
    }
    m_step.edits.append({ position, m_text.replace(position, removed, text), text.size() });
    noteEdit(position, removed, text.size());
}

void Document::applySpan(
    qsizetype position, qsizetype length, const TextBuffer::Span &span, HistoryStep &inverse)
{
    inverse.edits.append({ position, m_text.replace(position, length, span), span.size() });
    noteEdit(position, length, span.size());
}

// Every edit goes through here once it is made.
void Document::noteEdit(qsizetype position, qsizetype removed, qsizetype added)
{
    m_wholeTextValid = false;
    m_wholeText = QString();

    m_changeEdited = true;
    m_changeFrom = std::min(m_changeFrom, position);
    m_changeTail = std::min(m_changeTail, size() - position - added);

    TextRange changed { position, position + added };
    if (m_changedSinceForget) {
        const auto moved = [&](qsizetype at) {
            return at <= position ? at : at >= position + removed ? at + added - removed : position;
        };
        changed = { std::min(moved(m_changedSinceForget->from), changed.from),
            std::max(moved(m_changedSinceForget->to), changed.to) };
    }
    m_changedSinceForget = changed;

    moveSelectionOver(position, removed, added);
    emit edited(position, removed, added);
}

void Document::beginChange()
{
    if (m_changeDepth++ > 0)
        return;
    m_step = {};
    m_step.before = m_selection;
    m_changeEdited = false;
    m_changeIsHistory = false;
    m_changeIsLoad = false;
    m_sizeBeforeChange = size();
    m_changeFrom = size();
    m_changeTail = size();
}

void Document::endChange()
{
    if (m_changeDepth == 1 && (m_changeEdited || m_changeIsLoad) && !m_changeIsHistory)
        emit changeFinishing(); // still inside the change: what it edits joins it
    if (--m_changeDepth > 0)
        return;
    finishChange();
}

void Document::finishChange()
{
    if (!m_changeEdited || m_changeIsLoad)
        return;
    m_step.after = m_selection;
    if (!m_changeIsHistory)
        m_history.record(std::exchange(m_step, {}));

    const qsizetype position = m_changeFrom;
    const qsizetype added = size() - m_changeTail - position;
    const qsizetype removed = m_sizeBeforeChange - m_changeTail - position;
    const bool stateChanges = !m_modified || m_lastStep != LastStep::Edited;
    m_modified = true;
    m_lastStep = LastStep::Edited;
    emit changed(position, removed, added);
    if (stateChanges)
        emit stateChanged();
}

void Document::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    emit stateChanged();
}

// ---- Undo ---------------------------------------------------------------------------------

void Document::undo()
{
    if (!canUndo() || (isChanging() && m_changeEdited) || isPreparing())
        return;
    applyHistoryStep(m_history.takeUndo(), true);
}

void Document::redo()
{
    if (!canRedo() || (isChanging() && m_changeEdited) || isPreparing())
        return;
    applyHistoryStep(m_history.takeRedo(), false);
}

// Undoing a step makes the step that redoes it, and the other way round: each edit gives back
// what it replaced and keeps what it takes away.
void Document::applyHistoryStep(HistoryStep step, bool undoing)
{
    HistoryStep inverse;
    inverse.before = step.after;
    inverse.after = step.before;
    beginChange();
    m_changeIsHistory = true;
    for (auto edit = step.edits.crbegin(); edit != step.edits.crend(); ++edit)
        applySpan(edit->position, edit->addedLength, edit->removed, inverse);
    setSelection(step.before);
    endChange();
    if (undoing)
        m_history.pushRedo(std::move(inverse));
    else
        m_history.pushUndo(std::move(inverse));
}

void Document::clearHistory()
{
    m_history.clear();
}

// ---- The file -----------------------------------------------------------------------------

void Document::load(TextBuffer text, const std::optional<QString> &path, TextEncoding encoding)
{
    if (isPreparing())
        dropPrepared();
    m_text = std::move(text);
    m_wholeTextValid = false;
    m_wholeText = QString();
    m_selection = {};
    m_locked = false;
    m_changedSinceForget = TextRange { 0, size() };
    emit reset();
    finishLoading(path, encoding);
}

void Document::markSaved(const QString &path)
{
    const bool changes = m_path != path || m_modified || m_lastStep != LastStep::Saved;
    m_path = path;
    m_modified = false;
    m_lastStep = LastStep::Saved;
    if (changes)
        emit stateChanged();
}

std::unique_ptr<Document::State> Document::takeState()
{
    auto state = std::make_unique<State>();
    state->text = std::exchange(m_text, {});
    state->selection = std::exchange(m_selection, {});
    state->path = m_path;
    state->modified = m_modified;
    state->locked = m_locked;
    state->lastStep = m_lastStep;
    state->history = std::exchange(m_history, {});
    state->changedSinceForget = m_changedSinceForget;
    return state;
}

void Document::restoreState(State &&state)
{
    m_text = std::move(state.text);
    m_selection = state.selection;
    m_path = state.path;
    m_modified = state.modified;
    m_locked = state.locked;
    m_lastStep = state.lastStep;
    m_history = std::move(state.history);
    m_changedSinceForget = state.changedSinceForget;
}

void Document::prepareLoad(TextBuffer text)
{
    if (isPreparing())
        dropPrepared();
    m_aside = takeState();
    m_text = std::move(text);
    m_locked = false;
    m_wholeTextValid = false;
    m_wholeText = QString();
    m_changedSinceForget = TextRange { 0, size() };
    emit reset();
}

void Document::keepPrepared(const std::optional<QString> &path, TextEncoding encoding)
{
    m_aside.reset();
    finishLoading(path, encoding);
}

// A new text is the document: corrections made as it comes in (Auto Capitalise) are part of
// it, as if it had been loaded so, and it starts clean with no history.
void Document::finishLoading(const std::optional<QString> &path, TextEncoding encoding)
{
    beginChange();
    m_changeIsLoad = true;
    endChange();
    m_history.clear();
    m_path = path;
    m_encoding = encoding;
    m_modified = false;
    m_lastStep = path ? LastStep::Opened : LastStep::Emptied;
    emit loaded();
    emit stateChanged();
}

void Document::dropPrepared()
{
    if (!isPreparing())
        return;
    restoreState(std::move(*std::exchange(m_aside, nullptr)));
    m_wholeTextValid = false;
    m_wholeText = QString();
    emit reset();
    emit stateChanged();
}
