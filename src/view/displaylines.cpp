#include "displaylines.h"

#include "document/document.h"

#include <QElapsedTimer>
#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace {

constexpr int kEvery = 16; // display lines from one checkpoint to the next
constexpr qsizetype kWindow = 32768; // characters read at a time when walking a long paragraph
constexpr qsizetype kEditWindow = 4096; // and when re-wrapping after an edit, which ends soon
constexpr int kEditLines = 16 * kEvery; // walked at most after an edit; the rest in idle time
constexpr qint64 kSliceNs = 4'000'000; // counting in idle time, per slice
constexpr QChar kLfStandIn(0x240A);

qint64 nowNs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.nsecsElapsed();
}

} // namespace

DisplayLines::DisplayLines(const Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_counter(std::make_unique<DisplayLineCounter>(
          m_font, QTextOption::WrapAtWordBoundaryOrAnywhere, 100))
{
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &DisplayLines::countSome);
    m_layouts.setFormat(m_font, QTextOption::WrapAtWordBoundaryOrAnywhere, 100);
    reset();
}

DisplayLines::~DisplayLines() = default;

void DisplayLines::setFormat(const QFont &font, qreal lineWidth)
{
    if (font == m_font && lineWidth == m_counter->lineWidth())
        return;
    m_font = font;
    m_counter = std::make_unique<DisplayLineCounter>(
        font, QTextOption::WrapAtWordBoundaryOrAnywhere, lineWidth);
    m_layouts.setFormat(font, QTextOption::WrapAtWordBoundaryOrAnywhere, lineWidth);
    reset();
}

void DisplayLines::reset()
{
    m_wraps.clear();
    m_layouts.clear();
    m_paragraphs = m_document.paragraphCount();
    m_size = m_document.size();
    m_tree.reset(m_paragraphs);
    startCounting();
    emit totalChanged();
}

bool DisplayLines::isCurrent() const
{
    return m_size == m_document.size();
}

// ---- Paragraphs ------------------------------------------------------------------------------

// The document finds a paragraph's ends through its index of CRs, in O(log n).
std::pair<qsizetype, qsizetype> DisplayLines::bounds(qsizetype paragraph) const
{
    return { m_document.paragraphStart(paragraph), m_document.paragraphEnd(paragraph) };
}

qsizetype DisplayLines::paragraphStart(qsizetype paragraph) const
{
    return m_document.paragraphStart(paragraph);
}

qsizetype DisplayLines::paragraphEnd(qsizetype paragraph) const
{
    return m_document.paragraphEnd(paragraph);
}

qsizetype DisplayLines::paragraphAt(qsizetype position) const
{
    return m_document.paragraphAt(position);
}

QString DisplayLines::paragraphText(qsizetype start, qsizetype from, qsizetype length) const
{
    return m_document.mid(start + from, length).replace(u'\n', kLfStandIn);
}

// ---- Counting --------------------------------------------------------------------------------

void DisplayLines::countParagraph(qsizetype paragraph, qint64 deadlineNs)
{
    const auto [start, end] = bounds(paragraph);
    if (end - start <= kLongParagraph) {
        m_wraps.erase(paragraph);
        m_tree.set(paragraph, m_counter->count(paragraphText(start, 0, end - start)));
        return;
    }
    walk(paragraph, wrapsOf(paragraph), INT_MAX, LLONG_MAX, deadlineNs);
}

DisplayLines::Wraps &DisplayLines::wrapsOf(qsizetype paragraph)
{
    Wraps &wraps = m_wraps[paragraph];
    if (wraps.points.empty()) {
        wraps.points.push_back({ 0, 0 });
        wraps.walked = { 0, 0 };
        const auto [start, end] = bounds(paragraph);
        wraps.length = end - start;
    }
    return wraps;
}

// Finds the line starts of a long paragraph from where the walk stopped, until line
// `untilLine`, past `untilOffset`, the deadline or the paragraph's end. True once complete.
bool DisplayLines::walk(qsizetype paragraph, Wraps &wraps, int untilLine, qsizetype untilOffset,
    qint64 deadlineNs)
{
    const qsizetype start = paragraphStart(paragraph);
    QList<qsizetype> starts;
    while (!wraps.complete && wraps.walked.line < untilLine && wraps.walked.start < untilOffset
        && (deadlineNs == 0 || nowNs() < deadlineNs)) {
        const qsizetype base = wraps.walked.start;
        qsizetype window = std::min(kWindow, wraps.length - base);
        bool whole = false;
        for (;;) {
            whole = base + window == wraps.length;
            starts.clear();
            m_counter->appendLineStarts(paragraphText(start, base, window), 0, INT_MAX / 2, starts);
            if (whole || starts.size() > 1)
                break;
            window = std::min(window * 2, wraps.length - base);
        }
        if (!whole)
            starts.removeLast(); // the window's end may have cut the line before it short
        for (const qsizetype at : std::as_const(starts)) {
            wraps.walked = { wraps.walked.line + 1, base + at };
            if (wraps.walked.line - wraps.points.back().line >= kEvery)
                wraps.points.push_back(wraps.walked);
        }
        wraps.complete = whole;
    }
    noteWalk(paragraph, wraps);
    return wraps.complete;
}

// The paragraph's count in the tree: exact once walked to its end, else estimated from the
// lines so far.
void DisplayLines::noteWalk(qsizetype paragraph, const Wraps &wraps)
{
    if (wraps.complete) {
        m_tree.set(paragraph, wraps.walked.line + 1);
        return;
    }
    const qsizetype perLine
        = wraps.walked.line > 0 ? std::max<qsizetype>(1, wraps.walked.start / wraps.walked.line) : 80;
    const qsizetype estimate = std::max<qsizetype>(wraps.estimate,
        wraps.walked.line + 1 + (wraps.length - wraps.walked.start) / perLine);
    m_tree.set(paragraph, int(std::min<qsizetype>(estimate, INT_MAX / 2)), false);
}

void DisplayLines::startCounting()
{
    m_countFrom = 0;
    if (!m_tree.uncounted())
        return;
    m_idle.start();
}

// One slice of counting in idle time: the paragraphs not counted yet, in order.
void DisplayLines::countSome()
{
    const qint64 deadline = nowNs() + kSliceNs;
    while (nowNs() < deadline) {
        const qsizetype paragraph = m_tree.nextUncounted(m_countFrom);
        if (paragraph >= m_tree.size()) {
            if (m_countFrom > 0) {
                m_countFrom = 0; // an edit may have left some behind
                continue;
            }
            m_idle.stop();
            emit totalChanged();
            emit settled();
            return;
        }
        countParagraph(paragraph, deadline);
        m_countFrom = m_tree.isCounted(paragraph) ? paragraph + 1 : paragraph;
    }
    emit totalChanged();
}

// ---- Lines -------------------------------------------------------------------------------------

int DisplayLines::linesOf(qsizetype paragraph)
{
    if (!m_tree.isCounted(paragraph))
        countParagraph(paragraph, 0);
    return m_tree.lines(paragraph);
}

bool DisplayLines::hasLine(qsizetype paragraph, int index)
{
    if (const auto it = m_wraps.find(paragraph); it != m_wraps.end()) {
        Wraps &wraps = it->second;
        if (!wraps.complete && wraps.walked.line < index)
            walk(paragraph, wraps, index, LLONG_MAX, 0);
        return index <= wraps.walked.line;
    }
    if (!m_tree.isCounted(paragraph)) {
        const auto [start, end] = bounds(paragraph);
        if (end - start > kLongParagraph) {
            wrapsOf(paragraph);
            return hasLine(paragraph, index);
        }
        countParagraph(paragraph, 0);
    }
    return index < m_tree.lines(paragraph);
}

DisplayLines::Line DisplayLines::lineAt(qint64 n)
{
    LineSumTree::Place place = m_tree.find(n);
    for (int tries = 0; tries < 64 && !m_tree.isCounted(place.paragraph); ++tries) {
        const qsizetype paragraph = place.paragraph;
        if (const auto it = m_wraps.find(paragraph); it != m_wraps.end()) {
            walk(paragraph, it->second, place.lineInParagraph + kEvery, LLONG_MAX, 0);
            place = m_tree.find(n);
            if (place.paragraph == paragraph && place.lineInParagraph <= it->second.walked.line)
                break;
            continue;
        }
        countParagraph(paragraph, 0);
        place = m_tree.find(n);
    }
    return { place.paragraph, place.lineInParagraph };
}

qint64 DisplayLines::indexOf(const Line &line) const
{
    return m_tree.linesBefore(line.paragraph) + line.index;
}

DisplayLines::Line DisplayLines::next(const Line &line)
{
    if (hasLine(line.paragraph, line.index + 1))
        return { line.paragraph, line.index + 1 };
    if (line.paragraph + 1 < m_tree.size())
        return { line.paragraph + 1, 0 };
    return line;
}

DisplayLines::Line DisplayLines::previous(const Line &line)
{
    if (line.index > 0)
        return { line.paragraph, line.index - 1 };
    if (line.paragraph == 0)
        return line;
    const qsizetype paragraph = line.paragraph - 1;
    if (const auto it = m_wraps.find(paragraph); it != m_wraps.end())
        walk(paragraph, it->second, INT_MAX, LLONG_MAX, 0);
    return { paragraph, linesOf(paragraph) - 1 };
}

// ---- Stretches ---------------------------------------------------------------------------------

DisplayLines::Stretch DisplayLines::layOut(
    qsizetype paragraph, const Wraps *wraps, std::size_t checkpoint)
{
    const auto [start, end] = bounds(paragraph);
    Stretch stretch;
    stretch.paragraph = paragraph;
    stretch.start = start;
    stretch.to = end - start;
    if (wraps) {
        stretch.from = wraps->points[checkpoint].start;
        stretch.firstLine = wraps->points[checkpoint].line;
        if (checkpoint + 1 < wraps->points.size()) {
            stretch.to = wraps->points[checkpoint + 1].start;
            stretch.last = false;
        } else if (!wraps->complete) {
            stretch.to = wraps->walked.start;
            stretch.last = false;
        }
    }
    const LayoutCache::Key key { paragraph, stretch.from };
    stretch.layout = m_layouts.find(key);
    // A stretch laid out while its paragraph was walked only so far may have grown since.
    if (!stretch.layout || stretch.layout->text().size() != stretch.to - stretch.from) {
        stretch.layout
            = m_layouts.add(key, paragraphText(start, stretch.from, stretch.to - stretch.from));
    }
    return stretch;
}

DisplayLines::Stretch DisplayLines::stretchOfLine(const Line &line)
{
    const auto [start, end] = bounds(line.paragraph);
    if (end - start <= kLongParagraph && !m_wraps.count(line.paragraph))
        return layOut(line.paragraph, nullptr, 0);
    Wraps &wraps = wrapsOf(line.paragraph);
    if (!wraps.complete && wraps.walked.line <= line.index + kEvery)
        walk(line.paragraph, wraps, line.index + kEvery + 1, LLONG_MAX, 0);
    const int index = std::min(line.index, wraps.walked.line);
    const auto after = std::upper_bound(wraps.points.begin(), wraps.points.end(), index,
        [](int l, const Checkpoint &point) { return l < point.line; });
    return layOut(line.paragraph, &wraps, std::size_t(after - wraps.points.begin()) - 1);
}

DisplayLines::Stretch DisplayLines::stretchAt(qsizetype paragraph, qsizetype offset)
{
    const auto [start, end] = bounds(paragraph);
    if (end - start <= kLongParagraph && !m_wraps.count(paragraph))
        return layOut(paragraph, nullptr, 0);
    Wraps &wraps = wrapsOf(paragraph);
    if (!wraps.complete && wraps.walked.start <= offset)
        walk(paragraph, wraps, INT_MAX, offset + 1, 0);
    const auto after = std::upper_bound(wraps.points.begin(), wraps.points.end(), offset,
        [](qsizetype at, const Checkpoint &point) { return at < point.start; });
    std::size_t checkpoint = std::size_t(after - wraps.points.begin()) - 1;
    // The paragraph's end lies in its last stretch, not in an empty one after it.
    if (checkpoint > 0 && wraps.points[checkpoint].start == wraps.length)
        --checkpoint;
    return layOut(paragraph, &wraps, checkpoint);
}

DisplayLines::Line DisplayLines::lineOfPosition(qsizetype position)
{
    const qsizetype paragraph = paragraphAt(position);
    const auto [start, end] = bounds(paragraph);
    const qsizetype offset = std::clamp(position - start, qsizetype(0), end - start);
    const Stretch stretch = stretchAt(paragraph, offset);
    const QTextLine line = stretch.layout->lineForTextPosition(int(offset - stretch.from));
    return { paragraph, stretch.firstLine + (line.isValid() ? line.lineNumber() : 0) };
}

// ---- Edits -------------------------------------------------------------------------------------

void DisplayLines::edited(qsizetype position, qsizetype removed, qsizetype added)
{
    m_paragraphs = m_document.paragraphCount();
    m_size = m_document.size();
    const qsizetype delta = m_paragraphs - m_tree.size();
    const qsizetype first = paragraphAt(position);
    const qsizetype lastNew = paragraphAt(std::min(position + added, m_document.size()));
    const qsizetype newCount = lastNew - first + 1;
    const qsizetype oldCount = newCount - delta;
    const bool pairingMayChange = position > 0 && m_document.at(position - 1) == u'\r';
    if (delta == 0 && newCount == 1 && !pairingMayChange) {
        rewrapWithin(first, position - paragraphStart(first), removed, added);
        emit totalChanged();
        return;
    }
    m_layouts.dropFrom(first, oldCount, delta);
    std::map<qsizetype, Wraps> wraps;
    for (auto &[paragraph, wrap] : m_wraps) {
        if (paragraph < first)
            wraps.emplace(paragraph, std::move(wrap));
        else if (paragraph >= first + oldCount)
            wraps.emplace(paragraph + delta, std::move(wrap));
    }
    m_wraps = std::move(wraps);
    m_tree.replace(first, oldCount, newCount);
    const qint64 deadline = nowNs() + kSliceNs;
    for (qsizetype paragraph = first; paragraph <= lastNew && nowNs() < deadline; ++paragraph)
        countParagraph(paragraph, deadline);
    startCounting();
    emit totalChanged();
}

// An edit inside one paragraph: a short one is counted again; a long one is walked from the
// checkpoint before the edit until a line starts where one started before, as from there on
// every line is as it was.
void DisplayLines::rewrapWithin(
    qsizetype paragraph, qsizetype offset, qsizetype removed, qsizetype added)
{
    const auto [start, end] = bounds(paragraph);
    const qsizetype length = end - start;
    const auto it = m_wraps.find(paragraph);
    if (length <= kLongParagraph || it == m_wraps.end()) {
        m_layouts.dropFrom(paragraph, 1, 0);
        m_wraps.erase(paragraph);
        if (length <= kLongParagraph)
            m_tree.set(paragraph, m_counter->count(paragraphText(start, 0, length)));
        else
            walk(paragraph, wrapsOf(paragraph), 4 * kEvery, LLONG_MAX, 0);
        if (!m_tree.isCounted(paragraph))
            startCounting();
        return;
    }
    const Wraps old = std::move(it->second);
    const qsizetype shift = added - removed;
    // From the last checkpoint ahead of the edit, or the one before it when the edit is in the
    // first word of its line: that word decides where the line before it ends.
    std::size_t from = std::size_t(std::upper_bound(old.points.begin(), old.points.end(), offset,
                                       [](qsizetype at, const Checkpoint &point) {
                                           return at <= point.start;
                                       })
        - old.points.begin());
    from = from > 0 ? from - 1 : 0;
    const qsizetype checkpointStart = old.points[from].start;
    if (from > 0
        && !m_document.mid(start + checkpointStart, offset - checkpointStart).contains(u' '))
        --from;
    Wraps wraps;
    wraps.points.assign(old.points.begin(), old.points.begin() + from + 1);
    wraps.walked = wraps.points.back();
    wraps.length = length;
    const qsizetype changeEnd = offset + added;
    std::size_t candidate = from + 1; // old checkpoints that may meet the new walk
    const qsizetype oldWalkedEnd = old.walked.start + shift;

    QList<qsizetype> starts;
    bool done = false;
    const int lineAtEdit = wraps.walked.line;
    while (!done) {
        const qsizetype base = wraps.walked.start;
        qsizetype window = std::min(kEditWindow, length - base);
        bool whole = false;
        for (;;) {
            whole = base + window == length;
            starts.clear();
            m_counter->appendLineStarts(paragraphText(start, base, window), 0, INT_MAX / 2, starts);
            if (whole || starts.size() > 1)
                break;
            window = std::min(window * 2, length - base);
        }
        if (!whole)
            starts.removeLast();
        for (const qsizetype at : std::as_const(starts)) {
            wraps.walked = { wraps.walked.line + 1, base + at };
            const qsizetype lineStart = wraps.walked.start;
            if (lineStart >= changeEnd && lineStart > offset) {
                while (candidate < old.points.size()
                    && old.points[candidate].start + shift < lineStart)
                    ++candidate;
                if (candidate < old.points.size()
                    && old.points[candidate].start + shift == lineStart) {
                    // The breaks agree again: the old checkpoints hold from here on.
                    const int lineShift = wraps.walked.line - old.points[candidate].line;
                    // Stretches from here on hold the same lines, further along the text.
                    m_layouts.dropWithin(
                        paragraph, wraps.points[from].start, old.points[candidate].start, shift);
                    for (std::size_t i = candidate; i < old.points.size(); ++i)
                        wraps.points.push_back(
                            { old.points[i].line + lineShift, old.points[i].start + shift });
                    wraps.walked = { old.walked.line + lineShift, oldWalkedEnd };
                    wraps.complete = old.complete;
                    done = true;
                    break;
                }
                // Beyond what was walked before, or breaks that do not fall in again soon (a
                // text that repeats itself can keep them apart): the rest comes in idle time,
                // the old count standing for it meanwhile.
                if ((!old.complete && lineStart >= oldWalkedEnd)
                    || wraps.walked.line - lineAtEdit > kEditLines) {
                    m_layouts.dropWithin(paragraph, wraps.points[from].start, -1, 0);
                    wraps.estimate = old.walked.line + 1;
                    done = true;
                    break;
                }
            }
            if (wraps.walked.line - wraps.points.back().line >= kEvery)
                wraps.points.push_back(wraps.walked);
        }
        if (whole && !done) {
            m_layouts.dropWithin(paragraph, wraps.points[from].start, -1, 0);
            wraps.complete = true;
            done = true;
        }
    }
    m_wraps[paragraph] = std::move(wraps);
    noteWalk(paragraph, m_wraps[paragraph]);
    if (!m_tree.isCounted(paragraph))
        startCounting();
}
