#pragma once

#include "caretmotion.h"
#include "displaylines.h"
#include "document/document.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <vector>

class QMimeData;

/// The edit area `Area`: a view of a Document of our own. It lays out only the display lines
/// on screen, a stretch of a paragraph at a time, scrolls by display line and counts the lines
/// of the rest in idle time (DisplayLines); the text stays in the document, read a range at a
/// time. Each key, drop or input-method event is one change of the document; a typed line
/// break is CR LF; a bare CR breaks the line and a bare LF shows as its stand-in glyph.
class TextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TextView(Document &document, QWidget *parent = nullptr);
    ~TextView() override;

    /// The document the view shows and edits.
    Document &textDocument() const { return m_document; }
    /// Whether the user may not edit: the document is locked or preparing a load.
    bool isReadOnly() const { return m_document.isLocked() || m_document.isPreparing(); }

    /// Display lines, wrapped lines counted; at least 1. While a new text or width is being
    /// counted, each paragraph not counted yet counts as its estimate (one line for a short
    /// one), so the figure grows to the exact one; lineCountSettled() tells when it is.
    int lineCount() const { return int(std::min<qint64>(m_lines.total(), INT_MAX)); }
    bool lineCountSettled() const { return m_lines.isSettled(); }
    /// Long lines wrap at the view's width (the default), or run on past its right edge, a
    /// horizontal scroll bar reaching them.
    void setWordWrap(bool wrap);
    bool wordWrap() const { return m_wrap; }
    /// Whether Tab moves the focus on rather than typing a tab.
    void setTabChangesFocus(bool changes) { m_tabChangesFocus = changes; }

    /// Keys that belong to menu rows: the view does not claim them as its own shortcuts.
    void setMenuShortcuts(const QList<QKeySequence> &shortcuts) { m_menuShortcuts = shortcuts; }

    bool overwriteMode() const { return m_overwrite; }

    // Geometry for the input method and screen readers, in viewport coordinates.
    QRectF caretRect() const;
    QRectF characterRect(qsizetype position) const;
    /// The document position nearest to a viewport point; -1 off the text when `exact`.
    qsizetype positionAt(QPointF point, bool exact = false) const;
    /// The display line holding a position, with the line break when it is its paragraph's last.
    std::pair<qsizetype, qsizetype> displayLineAround(qsizetype position) const;
    /// Scrolls so that the caret's line is seen.
    void ensureCaretVisible();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void copy();
    void cut();
    void paste();
    void selectAll();
    void undo();
    void redo();

signals:
    /// A character key, before the character is inserted.
    void keyPressed(QChar ch);
    void keyReleased();
    /// A mouse button released in the area, which is also how a click ends.
    void mouseReleased();
    void doubleClicked();
    /// The line count last read was provisional and is exact now.
    void lineCountSettledAfterChange();

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    // A display line on screen: where its stretch is laid out and where it is drawn.
    struct Row
    {
        DisplayLines::Stretch stretch;
        DisplayLines::Line line;
        int layoutLine = 0;
        qreal y = 0;
        qreal height = 0;
    };

    const std::vector<Row> &rows() const;
    const Row *rowOf(qsizetype position) const;
    void invalidateRows();
    QTextLayout *preeditLayout(const DisplayLines::Stretch &stretch) const;
    void setTop(DisplayLines::Line line);
    void updateScrollBar();
    int pageLines() const;
    qreal lineWidth() const;
    qreal textLeft() const; // where x = 0 of a line is drawn, scrolled sideways
    void updateHorizontalBar();

    bool handleMoveKey(QKeyEvent *e);
    bool handleEditKey(QKeyEvent *e);
    void moveCaret(qsizetype position, bool keepAnchor, bool keepX = false);
    void replaceText(qsizetype from, qsizetype length, const QString &text, EditKind kind);
    void insertTyped(const QString &typed);
    void deleteSelection();
    QMimeData *mimeForSelection() const;
    QString textFromMime(const QMimeData *source) const;
    void updatePrimarySelection();
    void startDrag();
    void autoScroll();
    void restartBlink();

    void onEdited(qsizetype position, qsizetype removed, qsizetype added);
    void onReset();
    void onSelectionChanged();

    Document &m_document;
    mutable DisplayLines m_lines;
    CaretMotion m_motion;
    qsizetype m_topPosition = 0; // where the first line on screen starts
    bool m_wrap = true;
    bool m_tabChangesFocus = false;
    qreal m_scrollX = 0; // without wrapping: how far the lines are scrolled to the left
    mutable DisplayLines::Line m_top;
    mutable std::vector<Row> m_rows;
    mutable bool m_rowsValid = false;
    mutable quint64 m_rowsGeneration = 0;
    bool m_settingScrollBar = false;
    bool m_followSelection = false; // the selection moved before the edit that moved it

    qreal m_desiredX = -1; // kept over Up and Down
    bool m_overwrite = false;
    bool m_caretShown = true;
    QBasicTimer m_blink;

    QString m_preedit;
    int m_preeditCursor = 0;
    QList<QTextLayout::FormatRange> m_preeditFormats;
    mutable std::unique_ptr<QTextLayout> m_preeditLayout;

    bool m_mouseSelecting = false;
    bool m_dragCandidate = false;
    bool m_droppedHere = false;
    QPoint m_pressPoint;
    QPoint m_tripleClickPoint;
    QBasicTimer m_tripleClick;
    QBasicTimer m_autoScroll;
    qsizetype m_dropCaret = -1;

    QString m_removedText; // what the user's edit takes out, for screen readers
    bool m_removedTextKnown = false;
    bool m_wasSettled = true;
    int m_eventDepth = 0;
    QList<QKeySequence> m_menuShortcuts;
};
