#pragma once

#include "edithistory.h"
#include "textbuffer.h"
#include "textencoding.h"
#include "textrange.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

/// The document: its exact text (CR LF, bare CR and bare LF kept; positions and lengths count
/// UTF-16 units, a CR LF pair two), the selection, the file it belongs to, whether it is modified
/// or locked, and its undo history. Views and commands read and change it here and listen to its
/// signals; it knows nothing of widgets.
///
/// A change is complete when the outermost beginChange()/endChange() pair around it ends (a
/// single edit outside any is a change of its own). Until then edits join it: a key, the capital
/// Auto Capitalise puts before it and the correction that follows are one change, announced once
/// and undone as one step.
class Document : public QObject
{
    Q_OBJECT

public:
    /// What last gave the document its state, which the title bar tells apart.
    enum class LastStep {
        Started, // the empty document the program starts with
        Emptied, // New
        Opened, // loaded from a file
        Saved,
        Edited,
    };

    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    // ---- Text -------------------------------------------------------------------------------
    qsizetype size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.size() == 0; }
    QChar at(qsizetype position) const { return m_text.at(position); }
    /// Up to `length` characters from `position`, clamped to the text.
    QString mid(qsizetype position, qsizetype length) const;
    /// The whole text, made when first asked for after a change; reading a part is cheaper.
    const QString &text() const;
    const TextBuffer &buffer() const { return m_text; }
    /// Bytes of memory the text holds (TextBuffer::memoryUsed()), with the whole text once
    /// text() has made it. O(pieces); for tests and benchmarks.
    qsizetype memoryUsed() const
    {
        return m_text.memoryUsed() + (m_wholeTextValid ? m_wholeText.capacity() * 2 : 0);
    }

    // ---- Paragraphs: what ends at each CR, a CR LF pair or a bare CR --------------------------
    qsizetype paragraphCount() const { return m_text.crCount() + 1; }
    /// Where paragraph `index` starts: after the CR before it and the LF that may follow it.
    qsizetype paragraphStart(qsizetype index) const;
    /// Where paragraph `index` ends: at its CR, or at the end of the text for the last one.
    qsizetype paragraphEnd(qsizetype index) const;
    /// The paragraph that holds `position`; a position between a CR and its LF belongs to the
    /// paragraph the CR ends.
    qsizetype paragraphAt(qsizetype position) const;

    // ---- Selection --------------------------------------------------------------------------
    const Selection &selection() const { return m_selection; }
    qsizetype selectionStart() const { return m_selection.start(); }
    qsizetype selectionLength() const { return m_selection.length(); }
    QString selectedText() const;
    /// Selects `length` characters from `start`, both clamped to the text; the caret ends at the
    /// end of the selection.
    void select(qsizetype start, qsizetype length);
    /// Sets anchor and caret as they are, clamped to the text.
    void setSelection(const Selection &selection);

    // ---- Changes ----------------------------------------------------------------------------
    /// Replaces `length` characters from `position` by `text`. The selection keeps its place in
    /// the text around the change; where it lay inside the change it goes to its start. A locked
    /// document refuses it. U+2028, U+2029, U+FDD0 and U+FDD1 in `text` are put in as a view
    /// would show them: the two separators as CR LF, the two others as U+FFFD.
    void replace(qsizetype position, qsizetype length, QStringView text,
        EditKind kind = EditKind::Command);
    /// Makes `text` the whole text; only the part that differs changes.
    void setText(const QString &text);
    /// Replaces the selection (or inserts at the caret); the caret ends after the new text.
    void replaceSelection(const QString &text);

    void beginChange();
    void endChange();
    bool isChanging() const { return m_changeDepth > 0; }

    bool isLocked() const { return m_locked; }
    /// A locked document refuses every edit, the user's and the commands' alike, and undo and
    /// redo; only load() and prepareLoad() put another text in.
    void setLocked(bool locked);

    bool canUndo() const { return !m_locked && m_history.canUndo(); }
    bool canRedo() const { return !m_locked && m_history.canRedo(); }
    void undo();
    void redo();
    void clearHistory();

    /// Where the text has changed since forgetChanges(), in today's positions: every character
    /// put in since lies in the range, and so does every place where characters were taken out.
    /// Nothing while no change has happened.
    std::optional<TextRange> changedRange() const { return m_changedSinceForget; }
    void forgetChanges() { m_changedSinceForget.reset(); }

    // ---- The file ---------------------------------------------------------------------------
    /// The file the document was loaded from or saved to; none for a new document.
    const std::optional<QString> &path() const { return m_path; }
    bool isModified() const { return m_modified; }
    /// The encoding of the file: set by a load, kept by a save, Windows-1252 for New.
    TextEncoding encoding() const { return m_encoding; }
    LastStep lastStep() const { return m_lastStep; }

    /// Makes `text` the document, as Open (with the file's `path`) and New (with none) do: clean,
    /// unlocked, no history, the caret at the start. Corrections made as it finishes
    /// (changeFinishing) are part of the text it starts with.
    void load(TextBuffer text, const std::optional<QString> &path,
        TextEncoding encoding = TextEncoding::Windows1252);
    /// The document is clean and belongs to the file at `path` now that it is written there.
    void markSaved(const QString &path);

    /// Puts the document aside, whole, while a new text is shown that can still be given up: the
    /// document holds `text` meanwhile, unlocked until setLocked(), but announces nothing and
    /// refuses edits.
    void prepareLoad(TextBuffer text);
    bool isPreparing() const { return m_aside != nullptr; }
    /// The prepared text becomes the document as load() makes it, keeping the lock it was given.
    void keepPrepared(
        const std::optional<QString> &path, TextEncoding encoding = TextEncoding::Windows1252);
    /// The document set aside comes back as it was.
    void dropPrepared();

signals:
    /// One edit has just been made: views follow it at once. Part of a change that may go on.
    void edited(qsizetype position, qsizetype removed, qsizetype added);
    /// Inside a change that is about to end, once: corrections made now join the change.
    void changeFinishing();
    /// A change is complete: `removed` characters from `position` became `added` others, in all.
    void changed(qsizetype position, qsizetype removed, qsizetype added);
    /// The whole text was swapped for another: a load, a prepared one, or the one set aside
    /// coming back. Views show it anew.
    void reset();
    /// A new document begins: Open or New put it here, or a prepared load was kept.
    void loaded();
    /// The path, the modified state, the lock, the encoding or the last step changed.
    void stateChanged();
    void selectionChanged();

private:
    struct State;

    void applyEdit(qsizetype position, qsizetype length, QStringView text, EditKind kind);
    void applySpan(
        qsizetype position, qsizetype length, const TextBuffer::Span &span, HistoryStep &inverse);
    void noteEdit(qsizetype position, qsizetype removed, qsizetype added);
    void moveSelectionOver(qsizetype position, qsizetype removed, qsizetype added);
    void applyHistoryStep(HistoryStep step, bool undoing);
    void finishChange();
    void finishLoading(const std::optional<QString> &path, TextEncoding encoding);
    std::unique_ptr<State> takeState();
    void restoreState(State &&state);

    TextBuffer m_text;
    mutable QString m_wholeText;
    mutable bool m_wholeTextValid = true;
    Selection m_selection;

    std::optional<QString> m_path;
    bool m_modified = false;
    bool m_locked = false;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    LastStep m_lastStep = LastStep::Started;

    EditHistory m_history;
    std::optional<TextRange> m_changedSinceForget;

    // The change under way: its edits as one history step, and what it has changed so far as a
    // stretch from m_changeFrom that ends m_changeTail characters before the end of the text.
    int m_changeDepth = 0;
    HistoryStep m_step;
    bool m_changeEdited = false;
    bool m_changeIsHistory = false; // an undo or redo, which the history makes itself
    bool m_changeIsLoad = false; // a new text coming in, whose corrections are part of it
    qsizetype m_changeFrom = 0;
    qsizetype m_changeTail = 0;
    qsizetype m_sizeBeforeChange = 0;

    std::unique_ptr<State> m_aside;
};
