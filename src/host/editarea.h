#pragma once

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

#include "progressivedisplay.h"
#include "textrendering.h"

#include <functional>
#include <optional>

class QTextBlock;

/// The edit area `Area`: a QPlainTextEdit that keeps the document's exact text.
///
/// The true text (CR LF line ends; bare CR and LF kept, a bare CR shown as a line break and a
/// bare LF as a stand-in glyph) is held here and all positions count in it, a CR LF pair being
/// two positions. The widget is only a rendering of it: program edits change the true text and
/// patch the differing part into the widget; user edits are patched back from the widget's
/// document. A large text reaches the widget, and is laid out, through a ProgressiveDisplay.
class EditArea : public QPlainTextEdit
{
    Q_OBJECT

public:
    /// Whether a program edit may be undone by the user, or starts a fresh undo history.
    enum class History { Keep, Reset };

    explicit EditArea(QWidget *parent = nullptr);
    ~EditArea() override;

    const QString &text() const { return m_text; }
    /// Replaces the whole text; only the part that differs reaches the widget. U+2028 and U+2029
    /// become CR LF, as every line break of the text is (see withoutWidgetBreaks). Does nothing
    /// while the area is locked.
    void setText(const QString &text, History history = History::Keep);
    /// Replaces `length` characters from `from` by `text`, as setText with the whole new text
    /// would, without reading or comparing the rest of the text.
    void replace(qsizetype from, qsizetype length, QStringView text);

    /// Where the text has changed since forgetChanges(), in today's positions: every character
    /// put in since lies in the range, and so does every place where characters were taken out.
    /// Nothing while no change has happened.
    std::optional<TextRendering::Range> changedRange() const { return m_changed; }
    void forgetChanges() { m_changed.reset(); }

    qsizetype selStart() const;
    /// Puts the caret at `start` (clamped to the text) with nothing selected.
    void setSelStart(qsizetype start);
    qsizetype selLength() const;
    /// Selects `length` characters from the selection start (clamped to the text).
    void setSelLength(qsizetype length);
    void select(qsizetype start, qsizetype length);
    QString selText() const;
    /// Replaces the selection (or inserts at the caret); the caret ends after the new text, its
    /// separators made CR LF as setText makes them. Does nothing while the area is locked.
    void setSelText(const QString &text);

    bool locked() const { return m_locked; }
    /// A locked area refuses every edit, the user's and the commands' (setText, setSelText);
    /// only prepareText shows another text in it.
    void setLocked(bool locked);

    /// Lines the widget displays, wrapped lines counted; at least 1.
    int lineCount() { return m_progressive.lineCount(); }
    /// Whether lineCount() is exact: a large new text is shown and laid out in idle time.
    bool lineCountSettled() const { return m_progressive.lineCountSettled(); }
    /// Whether the widget is still receiving a large change of the text.
    bool isStreaming() const { return m_progressive.isStreaming(); }
    /// Shows the rest of a large text at once.
    void finishStreaming() { m_progressive.finish(); }
    /// Whether a text this long goes into the widget a piece at a time rather than at once.
    static bool isLarge(qsizetype length) { return ProgressiveDisplay::isLarge(length); }

    void clearUndoHistory();

    /// Starts showing a new text that can still be given up: the area shows its first piece at
    /// once and takes the rest a piece per call of prepareNextPiece(), while the old text, its
    /// selection and its undo history wait aside. No change is reported until
    /// keepPreparedText(); dropPreparedText() brings the old text back as it was. Meanwhile the
    /// area takes no keys: a prepared text is not the document yet.
    void prepareText(const QString &text);
    /// Shows the next piece of the prepared text; returns the share shown, in percent.
    int prepareNextPiece();
    bool isPreparing() const { return m_progressive.hasSetAside(); }
    /// Shows the rest of the prepared text and makes it the area's text, with a fresh undo
    /// history, as setText with History::Reset does.
    void keepPreparedText();
    void dropPreparedText();

    /// Keys that belong to menu rows: the area does not claim them as its own shortcuts.
    void setMenuShortcuts(const QList<QKeySequence> &shortcuts);

signals:
    /// After every change of the text, once the edit is complete (`Area_Change`).
    void changed();
    /// A character key, before the character is inserted.
    void keyPressed(QChar ch);
    void keyReleased();
    /// A mouse button released in the area, which is also how a click ends.
    void mouseReleased();
    void doubleClicked();
    /// Share of a large text shown so far, in percent; 100 when all of it is shown.
    void streamProgress(int percent);
    /// The line count last read was provisional (a big text was still being laid out) and
    /// is exact now.
    void lineCountSettledAfterChange();

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int toWidget(qsizetype truePos) const;
    qsizetype toTrue(int widgetPos) const;
    qsizetype trueBlockStart(const QTextBlock &block) const;
    const TextRendering::BareCrs &bareCrs() const;
    void noteTrueTextChanged(qsizetype from, qsizetype removed, qsizetype added);
    QString trueTextOfWidgetRange(int from, int to) const;

    void changeByProgram(TextRendering::Range range, qsizetype added, History history,
        const std::function<void()> &change);
    void replaceRendered(
        int widgetFrom, int widgetTo, qsizetype trueFrom, qsizetype trueTo, History history);
    void insertRendered(QTextCursor &cursor, QStringView trueText);
    void appendRendered(qsizetype trueFrom, qsizetype trueTo);
    void swapDocument(QTextDocument *document);
    void applyReadOnly();
    void chooseWrapMode(QStringView inserted, History history);
    void setSelectionFromProgram(qsizetype start, qsizetype length, bool scrollToIt);

    void onContentsChange(int position, int removed, int added);
    void notePairMadeByUser(qsizetype truePos, int widgetPos);
    void joinPairsMadeByUser();
    void onWidgetCursorMoved();
    void flushUserChange();
    void endOfEvent();
    void insertTypedLineBreak();

    QString m_text;
    std::optional<TextRendering::Range> m_changed;
    // Where the bare CRs of m_text are; rebuilt when needed after a change that may move them.
    mutable TextRendering::BareCrs m_bareCrs;
    mutable bool m_bareCrsKnown = true;
    // LF stand-ins the user put right after a bare CR: the two are one line break now.
    QList<int> m_standInsToJoin;
    // The selection as the program set it; when not pinned the widget's cursor is the truth.
    bool m_selPinned = false;
    qsizetype m_selStart = 0;
    qsizetype m_selLength = 0;

    bool m_locked = false;
    bool m_programEdit = false;
    bool m_programSelection = false;
    bool m_userChangePending = false;
    bool m_flushQueued = false;
    int m_eventDepth = 0; // events of the area and its viewport being handled, one in another

    QList<QKeySequence> m_menuShortcuts;

    // Large texts and their layout; reads m_text, so it comes after it.
    ProgressiveDisplay m_progressive;
};
