#pragma once

#include "textbuffer.h"
#include "textrange.h"

#include <QList>

#include <algorithm>

/// Where a selection starts (its anchor) and where its caret is; the caret may lie before the
/// anchor, as after Shift+Left.
struct Selection
{
    qsizetype anchor = 0;
    qsizetype caret = 0;

    qsizetype start() const { return std::min(anchor, caret); }
    qsizetype length() const { return anchor < caret ? caret - anchor : anchor - caret; }
    bool operator==(const Selection &) const = default;
};

/// How an edit came about: by a command, or by a key that types, or deletes backwards or
/// forwards. Keys of one kind pressed one after another at one place undo together.
enum class EditKind { Command, Typing, Backspace, Delete };

/// One step the user can undo: the edits of one complete change, each holding what it replaced.
struct HistoryStep
{
    struct Edit
    {
        qsizetype position = 0;
        TextBuffer::Span removed;
        qsizetype addedLength = 0;
    };

    QList<Edit> edits;
    Selection before;
    Selection after;
    EditKind kind = EditKind::Command;
    // Where the keys of a step of typing or deleting went, to tell whether the next key continues
    // it: what was typed, or what was deleted, in the positions of its time.
    TextRange keys;
};

/// The undo and redo stacks of a document. A key continues the step before it when that step
/// was made by keys of the same kind that ended where this one starts; any command ends it.
class EditHistory
{
public:
    /// A new step done by the user or a command; what could be redone is gone.
    void record(HistoryStep step);
    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    /// The step to undo (or redo); once applied, its inverse goes back with pushRedo (pushUndo).
    HistoryStep takeUndo();
    HistoryStep takeRedo();
    void pushUndo(HistoryStep step);
    void pushRedo(HistoryStep step);
    void clear();

private:
    static bool continues(const HistoryStep &last, const HistoryStep &next);

    QList<HistoryStep> m_undo;
    QList<HistoryStep> m_redo;
    bool m_lastMayContinue = false;
};
