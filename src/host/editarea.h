#pragma once

#include <QKeySequence>
#include <QList>
#include <QPlainTextEdit>

#include "document/document.h"
#include "progressivedisplay.h"
#include "textrendering.h"

#include <optional>

class QTextBlock;

/// The edit area `Area`: a QPlainTextEdit that shows a Document and hands the user's edits to it.
///
/// The document holds the exact text (CR LF line ends; bare CR and LF kept) and all positions
/// count in it, a CR LF pair being two positions. The widget is only a rendering of it: block b
/// shows paragraph b of the document, a bare LF inside it shows as a stand-in glyph. Edits made
/// to the document are patched into the widget as they happen; what the user types, deletes or
/// drops goes from the widget into the document, one complete change per event. A large text
/// reaches the widget, and is laid out, through a ProgressiveDisplay.
class EditArea : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit EditArea(Document &document, QWidget *parent = nullptr);
    ~EditArea() override;

    /// The document the area shows and edits.
    Document &textDocument() const { return m_document; }

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

    /// While the document prepares a load (Document::prepareLoad), the area shows the new text's
    /// first piece at once and the rest a piece per call; returns the share shown, in percent.
    /// Meanwhile it takes no keys.
    int prepareNextPiece();

    /// Keys that belong to menu rows: the area does not claim them as its own shortcuts.
    void setMenuShortcuts(const QList<QKeySequence> &shortcuts);

signals:
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
    void contextMenuEvent(QContextMenuEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int toWidget(qsizetype truePos) const;
    qsizetype toTrue(int widgetPos) const;
    qsizetype trueLengthOfUnits(qsizetype from, qsizetype units) const;

    void onDocumentEdited(qsizetype position, qsizetype removed, qsizetype added);
    void onDocumentReset();
    void onDocumentLoaded();
    void showSelection();
    void replaceRendered(int widgetFrom, int widgetTo, qsizetype trueFrom, qsizetype trueTo);
    void appendRendered(qsizetype trueFrom, qsizetype trueTo);
    void showWhole(bool wrapAnew);
    void swapDocument(QTextDocument *document);
    QTextDocument *newWidgetDocument() const;
    void applyReadOnly();
    void chooseWrapMode(QStringView inserted, bool wholeText);

    void onContentsChange(int position, int removed, int added);
    void onWidgetCursorMoved();
    void renderPairsMadeByUser();
    void endOfEvent();
    void insertTypedLineBreak();

    Document &m_document;

    bool m_programEdit = false; // the widget is being changed to follow the document
    bool m_userEdit = false; // the document is being changed to follow the widget
    bool m_programSelection = false;
    EditKind m_keyKind = EditKind::Command; // what the key being handled does to the text
    // Places where an edit by the user may have brought a CR and an LF together: the widget
    // still shows them apart until the event is over.
    QList<qsizetype> m_joinCandidates;
    int m_eventDepth = 0; // events of the area and its viewport being handled, one in another

    QList<QKeySequence> m_menuShortcuts;

    ProgressiveDisplay m_progressive;
};
