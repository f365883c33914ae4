#include "edithistory.h"

#include <utility>

void EditHistory::record(HistoryStep step)
{
    m_redo.clear();
    if (m_lastMayContinue && !m_undo.isEmpty() && continues(m_undo.constLast(), step)) {
        HistoryStep &last = m_undo.last();
        last.edits.append(std::move(step.edits));
        last.after = step.after;
        // Typing grows what was typed; a deletion only needs to know where the last one was.
        if (step.kind == EditKind::Typing)
            last.keys.to = step.keys.to;
        else
            last.keys = step.keys;
        return;
    }
    m_lastMayContinue = step.kind != EditKind::Command;
    m_undo.append(std::move(step));
}

// Typing goes on where the last key left the caret; Backspace takes the character before what
// it took last; Delete takes the one that moved into the place it emptied.
bool EditHistory::continues(const HistoryStep &last, const HistoryStep &next)
{
    if (last.kind != next.kind)
        return false;
    switch (next.kind) {
    case EditKind::Typing:
        return next.keys.from == last.keys.to;
    case EditKind::Backspace:
        return next.keys.to == last.keys.from;
    case EditKind::Delete:
        return next.keys.from == last.keys.from;
    case EditKind::Command:
        break;
    }
    return false;
}

HistoryStep EditHistory::takeUndo()
{
    m_lastMayContinue = false;
    return m_undo.takeLast();
}

HistoryStep EditHistory::takeRedo()
{
    m_lastMayContinue = false;
    return m_redo.takeLast();
}

void EditHistory::pushUndo(HistoryStep step)
{
    m_undo.append(std::move(step));
}

void EditHistory::pushRedo(HistoryStep step)
{
    m_redo.append(std::move(step));
}

void EditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_lastMayContinue = false;
}
