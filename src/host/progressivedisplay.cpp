#include "progressivedisplay.h"

#include "document/document.h"

#include <QElapsedTimer>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

namespace {

// Up to this many changed characters are laid out at once; more are laid out in idle time.
constexpr int kSyncLayoutChars = 256 * 1024;
constexpr int kIdleSliceMs = 15;

// A new text larger than this is shown a piece at a time, so that a big file appears at once and
// the window stays responsive while the rest is handed to the widget.
constexpr qsizetype kStreamThreshold = 2 * 1024 * 1024;
constexpr qsizetype kFirstPiece = 256 * 1024;
constexpr qsizetype kStreamPiece = 1024 * 1024;

// The end of a piece of at least `size` characters from `from` that ends after a line break,
// or -1 when no line break comes soon enough. Pieces end at line breaks: appending to a line
// would lay all of it out again.
qsizetype pieceEnd(const Document &document, qsizetype from, qsizetype size)
{
    const TextBuffer &text = document.buffer();
    const qsizetype crIndex = text.countCrsBefore(std::min(from + size, document.size()));
    if (crIndex >= text.crCount())
        return -1;
    const qsizetype at = text.positionOfCr(crIndex);
    if (at >= from + size + 4 * kStreamPiece)
        return -1;
    return at + 1 < document.size() && document.at(at + 1) == QLatin1Char('\n') ? at + 2 : at + 1;
}

} // namespace

ProgressiveDisplay::ProgressiveDisplay(
    QPlainTextEdit &widget, const Document &document, Append append)
    : m_widget(widget)
    , m_document(document)
    , m_append(std::move(append))
{
    m_idleLayout.setInterval(0);
    connect(&m_idleLayout, &QTimer::timeout, this, &ProgressiveDisplay::layOutSomeBlocks);
    m_stream.setInterval(0);
    connect(&m_stream, &QTimer::timeout, this, &ProgressiveDisplay::streamSomeText);
}

// ---- A piece at a time ---------------------------------------------------------------------

bool ProgressiveDisplay::isLarge(qsizetype length)
{
    return length > kStreamThreshold;
}

qsizetype ProgressiveDisplay::firstPieceEnd(qsizetype from, qsizetype to) const
{
    return isLarge(to - from) ? pieceEnd(m_document, from, kFirstPiece) : -1;
}

// Undo stays off until the whole text is in.
void ProgressiveDisplay::streamRest(qsizetype shownTo)
{
    m_shownTo = shownTo;
    emit streamingChanged();
    m_stream.start();
    emit progress(int(100 * shownTo / m_document.size()));
}

void ProgressiveDisplay::showFirstPiece()
{
    m_shownTo = 0;
    const qsizetype cut = pieceEnd(m_document, 0, kFirstPiece);
    showUpTo(cut > 0 ? cut : m_document.size());
}

int ProgressiveDisplay::showNextPiece()
{
    if (isStreaming()) {
        const qsizetype cut = pieceEnd(m_document, m_shownTo, kStreamPiece);
        showUpTo(cut > 0 ? cut : m_document.size());
    }
    return isStreaming() ? int(100 * m_shownTo / m_document.size()) : 100;
}

void ProgressiveDisplay::streamSomeText()
{
    if (isStreaming())
        showNextPiece();
    else
        m_stream.stop();
}

void ProgressiveDisplay::finish()
{
    if (isStreaming())
        showUpTo(m_document.size());
}

void ProgressiveDisplay::abandon()
{
    m_stream.stop();
    m_shownTo = -1;
    m_selectionHeld = false;
}

void ProgressiveDisplay::showUpTo(qsizetype upTo)
{
    m_append(m_shownTo, upTo);
    m_shownTo = upTo;
    if (upTo < m_document.size()) {
        emit progress(int(100 * upTo / m_document.size()));
        return;
    }
    m_shownTo = -1;
    m_stream.stop();
    emit streamingChanged();
    if (std::exchange(m_selectionHeld, false))
        emit heldSelectionShown();
    emit progress(100);
    checkSettled();
}

// ---- Layout ----------------------------------------------------------------------------------

int ProgressiveDisplay::lineCount()
{
    QTextDocument *document = m_widget.document();
    if (m_layoutFrom >= 0) {
        const QTextBlock first = document->findBlockByNumber(m_layoutFrom);
        if (document->characterCount() - first.position() <= kSyncLayoutChars) {
            const int end = document->characterCount() - 1;
            m_layoutFrom = -1;
            m_idleLayout.stop();
            layOut(first.position(), end);
        }
    }
    m_countProvisional = !lineCountSettled();
    return std::max(1, document->lineCount());
}

// Qt lays out a block only when it is painted, and forgets the layout of every block that a
// change spanned; the line count must not wait for painting.
void ProgressiveDisplay::layOut(int widgetFrom, int widgetTo)
{
    QTextDocument *document = m_widget.document();
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document->documentLayout());
    if (!layout)
        return;
    const QTextBlock first = document->findBlock(widgetFrom);
    if (widgetTo - widgetFrom > kSyncLayoutChars) {
        layOutAnew(first.blockNumber());
        return;
    }
    const QTextBlock last = document->findBlock(widgetTo);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        if (block == last)
            break;
    }
}

void ProgressiveDisplay::layOutAnew(int fromBlock)
{
    m_layoutFrom = m_layoutFrom < 0 ? fromBlock : std::min(m_layoutFrom, fromBlock);
    m_idleLayout.start();
}

// A new width wraps every line anew, and Qt drops all layouts for it.
void ProgressiveDisplay::viewportResized(int width)
{
    if (width != m_lastViewportWidth) {
        m_lastViewportWidth = width;
        layOutAnew(0);
    }
}

void ProgressiveDisplay::layOutSomeBlocks()
{
    QTextDocument *document = m_widget.document();
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document->documentLayout());
    if (!layout || m_layoutFrom < 0) {
        m_idleLayout.stop();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    QTextBlock block = document->findBlockByNumber(m_layoutFrom);
    while (block.isValid()) {
        layout->ensureBlockLayout(block);
        block = block.next();
        if (slice.elapsed() >= kIdleSliceMs)
            break;
    }
    if (block.isValid()) {
        m_layoutFrom = block.blockNumber();
    } else {
        m_layoutFrom = -1;
        m_idleLayout.stop();
        checkSettled();
    }
}

void ProgressiveDisplay::checkSettled()
{
    if (m_countProvisional && lineCountSettled()) {
        m_countProvisional = false;
        emit lineCountSettledAfterChange();
    }
}
