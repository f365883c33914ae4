#include "displaylinecounter.h"

#include "linewalk.h"
#include "shapingfont.h"
#include "wordshapecache.h"

#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <limits>

DisplayLineCounter::DisplayLineCounter(
    const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth)
    : m_font(font)
    , m_wrapMode(wrapMode)
    , m_shaping(std::make_unique<ShapingFont>(font))
    , m_words(std::make_unique<WordShapeCache>())
    , m_walk(std::make_unique<LineWalk>(*m_shaping, *m_words))
{
    m_option.setWrapMode(wrapMode);
    setLineWidth(lineWidth);
}

DisplayLineCounter::~DisplayLineCounter() = default;

void DisplayLineCounter::setLineWidth(qreal lineWidth)
{
    m_lineWidth = lineWidth;
    constexpr qreal kFixedMax = INT_MAX / 256; // QFIXED_MAX, where QTextLine stops a width
    m_width = Fixed::fromReal(std::min(lineWidth, kFixedMax));
}

// The lines after the one starting at `lineStart`, at most `maxLines`, each start passed to
// `sink`; false, part way or at once, when the walk cannot follow the paragraph.
template <typename Sink>
bool DisplayLineCounter::walkLines(
    QStringView paragraph, qsizetype lineStart, int maxLines, const Sink &sink)
{
    if (m_wrapMode != QTextOption::WrapAtWordBoundaryOrAnywhere
        && m_wrapMode != QTextOption::WrapAnywhere)
        return false;
    bool latin = false;
    if (!m_shaping->follows(paragraph, &latin))
        return false;
    m_walk->reset(paragraph, latin, m_wrapMode, m_width);
    for (int lines = 0; lines < maxLines; ++lines) {
        lineStart = m_walk->nextLineStart(lineStart);
        if (m_walk->failed())
            return false;
        if (lineStart >= paragraph.size())
            break;
        sink(lineStart);
    }
    return true;
}

// As QPlainTextDocumentLayout lays out a block.
template <typename Sink>
void DisplayLineCounter::walkLinesWithQt(
    QStringView paragraph, qsizetype lineStart, int maxLines, const Sink &sink) const
{
    QTextLayout layout(paragraph.toString(), m_font);
    layout.setTextOption(m_option);
    layout.setCacheEnabled(false);
    int appended = 0;
    layout.beginLayout();
    while (appended < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(m_lineWidth);
        if (line.textStart() > lineStart) {
            sink(line.textStart());
            ++appended;
        }
    }
    layout.endLayout();
}

int DisplayLineCounter::count(QStringView paragraph)
{
    int lines = 1;
    const auto countLine = [&lines](qsizetype) { ++lines; };
    if (!walkLines(paragraph, 0, std::numeric_limits<int>::max(), countLine)) {
        lines = 1;
        walkLinesWithQt(paragraph, 0, std::numeric_limits<int>::max(), countLine);
    }
    return lines;
}

qsizetype DisplayLineCounter::nextLineStart(QStringView paragraph, qsizetype lineStart)
{
    qsizetype next = paragraph.size();
    const auto keep = [&next](qsizetype start) { next = start; };
    if (!walkLines(paragraph, lineStart, 1, keep))
        walkLinesWithQt(paragraph, lineStart, 1, keep);
    return next;
}

int DisplayLineCounter::appendLineStarts(
    QStringView paragraph, qsizetype lineStart, int maxLines, QList<qsizetype> &starts)
{
    const qsizetype before = starts.size();
    const auto append = [&starts](qsizetype start) { starts.append(start); };
    if (!walkLines(paragraph, lineStart, maxLines, append)) {
        starts.resize(before);
        walkLinesWithQt(paragraph, lineStart, maxLines, append);
    }
    return int(starts.size() - before);
}
