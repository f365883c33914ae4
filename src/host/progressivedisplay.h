#pragma once

#include <QObject>
#include <QString>
#include <QTextOption>
#include <QTimer>

#include "textrendering.h"

class Document;

#include <functional>
#include <optional>
#include <utility>

class QPlainTextEdit;
class QTextDocument;

/// Shows the edit area's text where showing all of it at once would freeze the window: a large
/// new text reaches the widget a piece at a time, and blocks the widget has not laid out yet are
/// laid out in idle time, so that the count of displayed lines becomes exact soon after a change.
/// The area owns the true text and renders it; this decides when which part of it goes in.
class ProgressiveDisplay : public QObject
{
    Q_OBJECT

public:
    /// Puts the rendering of the document's text [from, to) at the end of the widget's document.
    using Append = std::function<void(qsizetype from, qsizetype to)>;

    /// `document` is the text the widget shows, read as it changes.
    ProgressiveDisplay(QPlainTextEdit &widget, const Document &document, Append append);

    /// Whether a text this long goes into the widget a piece at a time rather than at once.
    static bool isLarge(qsizetype length);

    /// Where the first piece of a change of the true text [from, to) ends when the change goes
    /// in a piece at a time; -1 when it goes in at once.
    qsizetype firstPieceEnd(qsizetype from, qsizetype to) const;
    /// The widget holds the true text up to `shownTo`; the rest follows in idle time.
    void streamRest(qsizetype shownTo);
    /// Shows the first piece of the text; the rest waits for showNextPiece().
    void showFirstPiece();
    /// Shows the next piece; returns the share shown, in percent.
    int showNextPiece();
    /// Shows the rest at once.
    void finish();
    /// Gives up the rest, for the widget is about to show another document.
    void abandon();
    bool isStreaming() const { return m_shownTo >= 0; }
    /// Where the part of the text in the widget ends while streaming.
    qsizetype shownTo() const { return m_shownTo; }

    /// Whether the true text up to `truePos` is in the widget.
    bool isShown(qsizetype truePos) const { return !isStreaming() || truePos <= m_shownTo; }
    /// The program's selection lies beyond what is shown: heldSelectionShown() tells when the
    /// rest is in.
    void holdSelection() { m_selectionHeld = true; }

    /// Lays out the blocks of the widget range at once, or in idle time when it is large.
    void layOut(int widgetFrom, int widgetTo);
    /// Lays out every block from `fromBlock` on again in idle time.
    void layOutAnew(int fromBlock);
    void viewportResized(int width);
    /// Lines the widget displays, wrapped lines counted; at least 1.
    int lineCount();
    bool lineCountSettled() const { return m_layoutFrom < 0 && !isStreaming(); }

    /// The rendering of a document set aside, kept whole until the new one is kept or dropped.
    struct Previous
    {
        QTextDocument *document = nullptr;
        QTextOption::WrapMode wrapMode = QTextOption::WrapAtWordBoundaryOrAnywhere;
    };
    void setAside(const Previous &previous) { m_previous = previous; }
    bool hasSetAside() const { return m_previous.document != nullptr; }
    Previous takeSetAside() { return std::exchange(m_previous, {}); }

signals:
    /// Share of a large text shown so far, in percent; 100 when all of it is shown.
    void progress(int percent);
    /// A large text started or finished arriving.
    void streamingChanged();
    void heldSelectionShown();
    /// The line count last read was provisional and is exact now.
    void lineCountSettledAfterChange();

private:
    void showUpTo(qsizetype upTo);
    void streamSomeText();
    void layOutSomeBlocks();
    void checkSettled();

    QPlainTextEdit &m_widget;
    const Document &m_document;
    Append m_append;

    qsizetype m_shownTo = -1; // true text from here on is not in the widget yet
    bool m_selectionHeld = false;
    QTimer m_stream;

    int m_layoutFrom = -1; // first block that may still need a layout, -1 when none
    int m_lastViewportWidth = -1;
    QTimer m_idleLayout;
    bool m_countProvisional = false; // lineCount() last answered before the layout was done

    Previous m_previous;
};
