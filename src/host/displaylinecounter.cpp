#include "displaylinecounter.h"

#include "linebreakpairs.h"

#include <QGlyphRun>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <optional>

// The line filling followed here is QTextLine::layout_helper's (Qt 6.4, qtextlayout.cpp), as
// QPlainTextDocumentLayout calls it for each line of a block. Qt adds and compares widths in
// 26.6 fixed point, so this does too; its names are kept where they help to compare the two.

namespace {

// QTextEngine shapes a paragraph of one script and direction in items of this many characters,
// each on its own: there is no kerning across the end of an item.
constexpr qsizetype kItemLength = 4096;
// Qt's mark for a right bearing not computed yet (QFixed(1)); real ones are 0 or less.
constexpr qint32 kNotCalculated = 64;
constexpr char16_t kLfStandIn = 0x240A;
constexpr char16_t kBlank = u' ';

// QFixed::fromReal, which truncates.
qint32 fixedFromReal(qreal value)
{
    return qint32(value * 64);
}

// A width that is a QFixed already, as Qt's layout reports it.
qint32 fixedExact(qreal value)
{
    return qint32(qRound(value * 64));
}

qint32 overhang(qint32 rightBearing)
{
    return rightBearing == kNotCalculated ? 0 : -rightBearing;
}

// Beyond Latin-1, the characters Windows-1252 has in 0x80..0x9F (curly quotes, dashes, the
// euro sign...), which its documents are full of, and the LF stand-in.
constexpr std::array<char16_t, 28> kBeyondLatin1 { 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D,
    0x017E, 0x0192, 0x02C6, 0x02DC, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E,
    0x2020, 0x2021, 0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, kLfStandIn };

// The index of a character in the tables of characters the walk may follow, or -1.
int kindIndex(char16_t c)
{
    if (c < 256)
        return c;
    const auto at = std::lower_bound(kBeyondLatin1.begin(), kBeyondLatin1.end(), c);
    return at != kBeyondLatin1.end() && *at == c ? 256 + int(at - kBeyondLatin1.begin()) : -1;
}

// A letter ends any number (Qt's rule for numbers takes none in), so the breaks inside a word
// depend on nothing beyond the nearest letters around it. The LF stand-in is alphabetic too.
bool isLetterLike(char16_t c)
{
    return c == kLfStandIn || QChar::isLetter(c);
}

// Words are hashed four characters at a time, from their start.
constexpr quint64 kHashMultiplier = 0x9E3779B97F4A7C15ULL;

quint64 mixed(quint64 hash, quint64 chunk)
{
    hash = (hash ^ chunk) * kHashMultiplier;
    return hash ^ (hash >> 29);
}

quint64 finished(quint64 hash, qsizetype length)
{
    hash = (hash ^ quint64(length)) * kHashMultiplier;
    return hash ^ (hash >> 32);
}

quint64 hashOf(QStringView word)
{
    quint64 hash = 0;
    for (qsizetype at = 0; at < word.size(); at += 4) {
        quint64 chunk = 0;
        std::memcpy(&chunk, word.utf16() + at,
            size_t(std::min<qsizetype>(word.size() - at, 4)) * sizeof(char16_t));
        hash = mixed(hash, chunk);
    }
    return finished(hash, word.size());
}

// Where the word that starts at `start` ends (at a blank or the text's end), and its hash as
// hashOf gives it: four characters at a time, a blank found among them without a loop.
qsizetype wordEnd(const char16_t *text, qsizetype start, qsizetype size, quint64 *hash)
{
    constexpr quint64 kBlanks = 0x0020002000200020ULL;
    constexpr quint64 kOnes = 0x0001000100010001ULL;
    constexpr quint64 kHighs = 0x8000800080008000ULL;
    quint64 h = 0;
    qsizetype pos = start;
    for (; pos + 4 <= size; pos += 4) {
        quint64 chunk;
        std::memcpy(&chunk, text + pos, sizeof chunk);
        const quint64 x = chunk ^ kBlanks;
        const quint64 blanks = (x - kOnes) & ~x & kHighs; // exact for the first blank
        if (blanks) {
            const int before = qCountTrailingZeroBits(blanks) / 16;
            if (before > 0)
                h = mixed(h, chunk & ((quint64(1) << (16 * before)) - 1));
            pos += before;
            *hash = finished(h, pos - start);
            return pos;
        }
        h = mixed(h, chunk);
    }
    quint64 chunk = 0;
    int lane = 0;
    for (; pos < size && text[pos] != kBlank; ++pos, ++lane)
        chunk |= quint64(text[pos]) << (16 * lane);
    if (lane > 0)
        h = mixed(h, chunk);
    *hash = finished(h, pos - start);
    return pos;
}

// Break opportunities inside a word, as offsets, where they do not depend on the text around
// the word; nothing when they do.
std::optional<std::vector<qsizetype>> breaksOnItsOwn(QStringView word)
{
    std::vector<qsizetype> breaks;
    bool askFinder = false;
    for (qsizetype i = 1; i < word.size(); ++i) {
        const char16_t before = word[i - 1].unicode();
        const char16_t after = word[i].unicode();
        if (LineBreakPairs::covers(before) && LineBreakPairs::covers(after)) {
            const LineBreakPairs::Break pair = LineBreakPairs::between(before, after);
            if (pair == LineBreakPairs::Break::DependsOnContext)
                return std::nullopt;
            if (pair == LineBreakPairs::Break::Always)
                breaks.push_back(i);
        } else if (isLetterLike(before) || isLetterLike(after)) {
            askFinder = true;
        } else {
            return std::nullopt;
        }
    }
    if (!askFinder)
        return breaks;
    breaks.clear();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, word.data(), word.size());
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < word.size();
         at = finder.toNextBoundary())
        breaks.push_back(at);
    return breaks;
}

// The stretches of a shaped word between the breaks Qt takes: only at the end of a cluster.
void segmentsOf(std::span<const GlyphCluster> clusters, const std::vector<qsizetype> &breaks,
    qsizetype length, std::vector<WordSegment> &segments)
{
    segments.clear();
    WordSegment segment { 0, 0, 0 };
    auto nextBreak = breaks.begin();
    for (const GlyphCluster &cluster : clusters) {
        segment.width += cluster.advance;
        segment.lastRightBearing = cluster.rightBearing;
        const qsizetype end = cluster.start + cluster.length;
        while (nextBreak != breaks.end() && *nextBreak < end)
            ++nextBreak;
        if (end == length || (nextBreak != breaks.end() && *nextBreak == end)) {
            segment.end = quint16(end);
            segments.push_back(segment);
            segment = { 0, 0, 0 };
        }
    }
}

} // namespace

// One paragraph on its way through the line filling. Each line starts afresh, as each
// QTextLine does; what is kept from line to line is only the word being walked through.
class DisplayLineCounter::Walk
{
public:
    explicit Walk(DisplayLineCounter &counter)
        : m_counter(counter)
    { }

    /// Starts on a paragraph; what was kept of the one before goes.
    void reset(QStringView text, bool latin)
    {
        m_text = text;
        m_latin = latin;
        m_failed = false;
        m_word.start = m_word.end = -1;
        for (Piece &piece : m_pieces)
            piece.start = piece.end = -1;
        m_paragraphFinder.reset();
    }

    /// QTextLine::setLineWidth on the line that starts at `from`: where the next one starts.
    qsizetype nextLineStart(qsizetype from)
    {
        return layOutLine(from, m_counter.m_wrapMode == QTextOption::WrapAnywhere);
    }
    /// The paragraph holds something the walk cannot follow; lay it out with Qt.
    bool failed() const { return m_failed; }

private:
    // A word within one item: what QTextEngine shapes on its own.
    struct Piece
    {
        qsizetype start = -1;
        qsizetype end = -1;
        quint64 generation = 0;
        const WordShapeCache::Record *record = nullptr; // when the word cache holds it
        std::vector<GlyphCluster> own; // when it is too long for the cache
        std::span<const GlyphCluster> clusters;
    };

    // The word (the characters between two blanks) being walked through.
    struct Word
    {
        qsizetype start = -1;
        qsizetype end = -1;
        quint64 generation = 0;
        const WordShapeCache::Record *record = nullptr; // its segments, when they are known
        std::vector<qsizetype> breaks; // otherwise: where it may break, from the paragraph start
    };

    struct Segment
    {
        qsizetype end;
        qint32 width;
        qint32 lastRightBearing;
        bool complete = true; // false: cut short where it got wider than asked
    };

    qsizetype layOutLine(qsizetype from, bool anywhere);
    Segment segmentFrom(qsizetype pos, qint32 cap);
    void finishSegment(Segment &segment);
    std::optional<qint32> previousGlyphRightBearing(qsizetype pos);
    std::optional<qint32> glyphBeforeItemRightBearing(qsizetype itemStart);

    const Word &wordAt(qsizetype pos);
    Piece &pieceAt(qsizetype pos);
    const GlyphCluster &clusterAt(qsizetype pos, qsizetype *clusterStart);
    qint32 rightBearingBefore(qsizetype pos);
    bool breaksAfter(const Word &word, qsizetype pos);
    std::vector<qsizetype> breaksInContext(qsizetype start, qsizetype end);
    bool singleGlyphs(qsizetype from, qsizetype to);
    bool latinContext(qsizetype start, qsizetype end) const;

    qsizetype itemEnd(qsizetype pos) const
    {
        return std::min(m_text.size(), (pos / kItemLength + 1) * kItemLength);
    }

    DisplayLineCounter &m_counter;
    QStringView m_text;
    bool m_latin = false;
    bool m_failed = false;
    Word m_word;
    std::array<Piece, 2> m_pieces;
    int m_lastPiece = 0;
    std::vector<GlyphCluster> m_scratchClusters;
    std::vector<WordSegment> m_scratchSegments;
    std::vector<unsigned char> m_finderBuffer;
    std::optional<QTextBoundaryFinder> m_paragraphFinder;
};

// QTextLine::layout_helper for one line; `anywhere` is WrapAnywhere, either the paragraph's
// mode or the second try of WrapAtWordBoundaryOrAnywhere at a line it could not fill.
qsizetype DisplayLineCounter::Walk::layOutLine(qsizetype from, bool anywhere)
{
    const qint32 width = m_counter.m_width;
    const qint32 minOverhang = m_counter.m_minRightBearing;
    const qsizetype n = m_text.size();

    // Qt adds in 32 bits; these never get far past the line's width, but 64 bits cost nothing.
    qint64 lineWidth = 0; // line.textWidth
    qsizetype lineLength = 0;
    qint64 spaceWidth = 0; // lbh.spaceData
    qsizetype spaceLength = 0;
    qint64 tmpWidth = 0; // lbh.tmpData
    qsizetype tmpLength = 0;
    qint32 rightBearing = kNotCalculated;
    bool whiteSpace = true; // lbh.whiteSpaceOrObject
    qint32 currentGlyphRightBearing = 0; // of the glyph before pos, after a word step
    qsizetype pos = from;

    while (pos < n) {
        rightBearing = kNotCalculated;
        const qsizetype end = itemEnd(pos);
        if (m_text[pos] == kBlank) {
            // Blanks hang past the edge; only blanks wider than the whole line end it.
            whiteSpace = true;
            const qsizetype blanksStart = pos;
            while (pos < end && m_text[pos] == kBlank)
                ++pos;
            spaceWidth += qint64(pos - blanksStart) * m_counter.m_spaceAdvance;
            spaceLength += pos - blanksStart;
            if (spaceWidth > width) {
                spaceWidth = width;
                goto found;
            }
            continue;
        }
        whiteSpace = false;
        const qsizetype iterationStart = pos;
        if (anywhere) {
            qsizetype clusterStart = 0;
            const GlyphCluster cluster = clusterAt(pos, &clusterStart);
            if (m_failed)
                return n;
            tmpWidth += cluster.advance;
            tmpLength += cluster.length;
            pos = clusterStart + cluster.length;
            currentGlyphRightBearing = cluster.rightBearing;
            if (lineWidth + tmpWidth + spaceWidth + minOverhang > width)
                rightBearing = cluster.rightBearing;
            if (lineLength > 0
                && lineWidth + tmpWidth + spaceWidth + overhang(rightBearing) > width)
                goto found; // the width of this line no longer matters
        } else {
            // A word is added up only until it is wider than the line: then it does not fit
            // after others, and as the line's first it makes this try fail.
            Segment segment = segmentFrom(pos, width);
            if (m_failed)
                return n;
            if (segment.width > width && lineLength == 0)
                return layOutLine(from, true);
            if (!segment.complete)
                finishSegment(segment);
            // The item may end inside the segment: Qt goes on with the rest in the next item,
            // where it takes the glyph before the segment from the wrong item.
            const qsizetype lastItemStart = (segment.end - 1) / kItemLength * kItemLength;
            const qsizetype checkedFrom = std::max(iterationStart, lastItemStart);
            tmpWidth += segment.width;
            tmpLength += segment.end - pos;
            pos = segment.end;
            currentGlyphRightBearing = segment.lastRightBearing;
            if (lineWidth + tmpWidth + spaceWidth + minOverhang > width)
                rightBearing = segment.lastRightBearing;
            if (lineLength > 0
                && lineWidth + tmpWidth + spaceWidth + overhang(rightBearing) > width) {
                const std::optional<qint32> previous = previousGlyphRightBearing(checkedFrom);
                if (m_failed)
                    return n;
                if (previous)
                    rightBearing = *previous;
                goto found;
            }
        }
        lineWidth += tmpWidth + spaceWidth;
        lineLength += tmpLength + spaceLength;
        tmpWidth = tmpLength = spaceWidth = spaceLength = 0;
    }
    // The end of the paragraph: trailing blanks join the line if they fit.
    if (!(lineLength > 0 && lineWidth + tmpWidth + spaceWidth + overhang(rightBearing) > width)) {
        lineWidth += tmpWidth + spaceWidth;
        lineLength += tmpLength + spaceLength;
        tmpWidth = tmpLength = spaceWidth = spaceLength = 0;
    }
found:
    if (lineLength == 0)
        lineLength += tmpLength;
    if (!anywhere && m_counter.m_wrapMode == QTextOption::WrapAtWordBoundaryOrAnywhere) {
        // A line wider than the width, its last glyph's overhang counted, is laid out again
        // breaking anywhere.
        if (rightBearing == kNotCalculated && !whiteSpace)
            rightBearing = currentGlyphRightBearing;
        if (lineWidth + overhang(rightBearing) > width)
            return layOutLine(from, true);
    }
    return from + lineLength + spaceLength;
}

// From `pos` in a word to its next break (or the word's end): Qt's tmpData for one step of the
// line filling. Stops early, over `cap`, when the caller only needs to know that.
DisplayLineCounter::Walk::Segment DisplayLineCounter::Walk::segmentFrom(qsizetype pos, qint32 cap)
{
    const Word &word = wordAt(pos);
    if (m_failed)
        return { pos + 1, 0, 0 };
    if (word.record && pos == word.start) {
        const WordSegment &first = word.record->firstSegment;
        return { word.start + first.end, first.width, first.lastRightBearing };
    }
    if (word.record) {
        const std::span<const WordSegment> segments = m_counter.m_words.segments(*word.record);
        qsizetype segmentStart = word.start;
        for (const WordSegment &segment : segments) {
            if (segmentStart == pos)
                return { word.start + segment.end, segment.width, segment.lastRightBearing };
            segmentStart = word.start + segment.end;
            if (segmentStart > pos)
                break;
        }
    }
    Segment segment { pos, 0, 0 };
    while (segment.end < word.end) {
        qsizetype clusterStart = 0;
        const GlyphCluster cluster = clusterAt(segment.end, &clusterStart);
        if (m_failed)
            return { pos + 1, 0, 0 };
        segment.width += cluster.advance;
        segment.lastRightBearing = cluster.rightBearing;
        segment.end = clusterStart + cluster.length;
        if (segment.end < word.end && breaksAfter(m_word, segment.end))
            break;
        if (segment.width > cap) {
            segment.complete = segment.end == word.end;
            break;
        }
    }
    return segment;
}

// The true end and last glyph of a segment cut short; its width does not matter any more.
void DisplayLineCounter::Walk::finishSegment(Segment &segment)
{
    const Word &word = wordAt(segment.end - 1);
    while (segment.end < word.end && !m_failed && !breaksAfter(word, segment.end)) {
        qsizetype clusterStart = 0;
        const GlyphCluster &cluster = clusterAt(segment.end, &clusterStart);
        segment.lastRightBearing = cluster.rightBearing;
        segment.end = clusterStart + cluster.length;
    }
    segment.complete = true;
}

// The right bearing of the glyph Qt takes for the one before a step of the line filling that
// starts at `pos` (LineBreakHelper::saveCurrentGlyph); nothing where Qt has none.
std::optional<qint32> DisplayLineCounter::Walk::previousGlyphRightBearing(qsizetype pos)
{
    if (pos == 0)
        return std::nullopt;
    if (pos % kItemLength == 0)
        return glyphBeforeItemRightBearing(pos);
    if (m_text[pos - 1] == kBlank)
        return m_counter.m_spaceRightBearing;
    return rightBearingBefore(pos);
}

// At the start of an item Qt looks the glyph before up in the new item's glyphs, at the index
// the previous character had in the previous item: some glyph near the new item's end, or none
// when the new item has fewer glyphs.
std::optional<qint32> DisplayLineCounter::Walk::glyphBeforeItemRightBearing(qsizetype itemStart)
{
    const qsizetype previousStart = itemStart - kItemLength;
    const qsizetype end = itemEnd(itemStart);
    if (!singleGlyphs(previousStart, end))
        return std::nullopt;
    auto forEachCluster = [this](qsizetype from, qsizetype to, auto &&visit) {
        for (qsizetype pos = from; pos < to && !m_failed;) {
            if (m_text[pos] == kBlank) {
                if (!visit(m_counter.m_spaceRightBearing))
                    return;
                ++pos;
                continue;
            }
            Piece &piece = pieceAt(pos);
            const qsizetype pieceEnd = piece.end;
            for (const GlyphCluster &cluster : piece.clusters) {
                if (!visit(cluster.rightBearing))
                    return;
            }
            pos = pieceEnd;
        }
    };
    qsizetype index = -1; // of the last glyph of the previous item
    forEachCluster(previousStart, itemStart, [&index](qint32) {
        ++index;
        return true;
    });
    std::optional<qint32> found;
    qsizetype at = 0;
    forEachCluster(itemStart, end, [&](qint32 rightBearing) {
        if (at++ < index)
            return true;
        found = rightBearing;
        return false;
    });
    return found;
}

const DisplayLineCounter::Walk::Word &DisplayLineCounter::Walk::wordAt(qsizetype pos)
{
    const WordShapeCache &words = m_counter.m_words;
    if (pos >= m_word.start && pos < m_word.end
        && (!m_word.record || m_word.generation == words.generation()))
        return m_word;
    Word &word = m_word;
    word.start = pos;
    while (word.start > 0 && m_text[word.start - 1] != kBlank)
        --word.start;
    quint64 hash = 0;
    word.end = wordEnd(m_text.utf16(), word.start, m_text.size(), &hash);
    word.record = nullptr;
    word.breaks.clear();
    const qsizetype length = word.end - word.start;
    const bool oneItem = word.start / kItemLength == (word.end - 1) / kItemLength;
    if (oneItem && length <= WordShapeCache::maxWordLength) {
        // Most words are in the cache with their breaks.
        const WordShapeCache::Record *record = words.find(
            hash, m_text.sliced(word.start, length), latinContext(word.start, word.end));
        if (!record) {
            record = pieceAt(word.start).record;
            if (m_failed)
                return m_word;
        }
        word.generation = words.generation();
        if (record && record->breaksKnown) {
            word.record = record;
            return m_word;
        }
    }
    const QStringView wordText = m_text.sliced(word.start, length);
    std::optional<std::vector<qsizetype>> own = breaksOnItsOwn(wordText);
    if (own) {
        for (qsizetype at : *own)
            word.breaks.push_back(word.start + at);
    } else {
        word.breaks = breaksInContext(word.start, word.end);
    }
    return m_word;
}

DisplayLineCounter::Walk::Piece &DisplayLineCounter::Walk::pieceAt(qsizetype pos)
{
    WordShapeCache &words = m_counter.m_words;
    for (Piece &piece : m_pieces) {
        if (pos >= piece.start && pos < piece.end
            && (!piece.record || piece.generation == words.generation()))
            return piece;
    }
    m_lastPiece = 1 - m_lastPiece;
    Piece &piece = m_pieces[m_lastPiece];
    const qsizetype itemStart = pos / kItemLength * kItemLength;
    const qsizetype end = itemEnd(pos);
    piece.start = pos;
    while (piece.start > itemStart && m_text[piece.start - 1] != kBlank)
        --piece.start;
    piece.end = pos;
    while (piece.end < end && m_text[piece.end] != kBlank)
        ++piece.end;
    piece.record = nullptr;
    const QStringView text = m_text.sliced(piece.start, piece.end - piece.start);
    const bool latinContext = this->latinContext(piece.start, piece.end);

    if (text.size() > WordShapeCache::maxWordLength) {
        if (!m_counter.shape(text, latinContext, piece.own))
            m_failed = true;
        piece.clusters = piece.own;
        return piece;
    }
    const quint64 hash = hashOf(text);
    const WordShapeCache::Record *record = words.find(hash, text, latinContext);
    if (!record) {
        if (!m_counter.shape(text, latinContext, m_scratchClusters)) {
            m_failed = true;
            piece.clusters = {};
            return piece;
        }
        // A whole word keeps its breaks with its shape, when they are its own.
        const bool wholeWord = (piece.start == 0 || m_text[piece.start - 1] == kBlank)
            && (piece.end == m_text.size() || m_text[piece.end] == kBlank);
        std::optional<std::vector<qsizetype>> breaks;
        if (wholeWord)
            breaks = breaksOnItsOwn(text);
        if (breaks)
            segmentsOf(m_scratchClusters, *breaks, text.size(), m_scratchSegments);
        record = &words.insert(
            hash, text, latinContext, m_scratchClusters, m_scratchSegments, breaks.has_value());
    }
    piece.record = record;
    piece.generation = words.generation();
    piece.clusters = words.clusters(*record);
    return piece;
}

const GlyphCluster &DisplayLineCounter::Walk::clusterAt(qsizetype pos, qsizetype *clusterStart)
{
    static const GlyphCluster none { 0, 1, 0, 0 };
    const Piece &piece = pieceAt(pos);
    if (m_failed || piece.clusters.empty()) {
        m_failed = true;
        *clusterStart = pos;
        return none;
    }
    const qsizetype offset = pos - piece.start;
    auto after = std::upper_bound(piece.clusters.begin(), piece.clusters.end(), offset,
        [](qsizetype at, const GlyphCluster &cluster) { return at < cluster.start; });
    const GlyphCluster &cluster = *(after - 1);
    *clusterStart = piece.start + cluster.start;
    return cluster;
}

// The right bearing of the glyph of the character before `pos`, not a blank.
qint32 DisplayLineCounter::Walk::rightBearingBefore(qsizetype pos)
{
    qsizetype clusterStart = 0;
    return clusterAt(pos - 1, &clusterStart).rightBearing;
}

bool DisplayLineCounter::Walk::breaksAfter(const Word &word, qsizetype pos)
{
    if (word.record) {
        const std::span<const WordSegment> segments = m_counter.m_words.segments(*word.record);
        return std::any_of(segments.begin(), segments.end(),
            [&](const WordSegment &segment) { return word.start + segment.end == pos; });
    }
    return std::binary_search(word.breaks.begin(), word.breaks.end(), pos);
}

// QTextBoundaryFinder on the word and the text around it up to the nearest letters, which is
// all that Qt's rule for numbers looks at; on the whole paragraph when that is far.
std::vector<qsizetype> DisplayLineCounter::Walk::breaksInContext(qsizetype start, qsizetype end)
{
    constexpr qsizetype kFarContext = 1024;
    qsizetype from = start;
    while (from > 0 && !isLetterLike(m_text[from - 1].unicode()) && start - from < kFarContext)
        --from;
    from = std::max<qsizetype>(0, from - 1);
    qsizetype to = end;
    while (to < m_text.size() && !isLetterLike(m_text[to].unicode()) && to - end < kFarContext)
        ++to;
    to = std::min(m_text.size(), to + 1);

    std::vector<qsizetype> breaks;
    const bool far = (from > 0 && !isLetterLike(m_text[from].unicode()))
        || (to < m_text.size() && !isLetterLike(m_text[to - 1].unicode()));
    if (far || to - from > kFarContext) {
        if (!m_paragraphFinder) {
            m_finderBuffer.resize(m_text.size() + 1);
            m_paragraphFinder.emplace(QTextBoundaryFinder::Line, m_text.data(), m_text.size(),
                m_finderBuffer.data(), qsizetype(m_finderBuffer.size()));
        }
        for (qsizetype at = start + 1; at < end; ++at) {
            m_paragraphFinder->setPosition(at);
            if (m_paragraphFinder->isAtBoundary())
                breaks.push_back(at);
        }
        return breaks;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, m_text.data() + from, to - from);
    finder.setPosition(start - from);
    for (qsizetype at = finder.toNextBoundary(); at > 0 && from + at < end;
         at = finder.toNextBoundary())
        breaks.push_back(from + at);
    return breaks;
}

// A word without Latin letters takes the script of the paragraph around it: it is shaped after a
// Latin letter in a paragraph that has one.
bool DisplayLineCounter::Walk::latinContext(qsizetype start, qsizetype end) const
{
    if (!m_latin)
        return false;
    for (qsizetype i = start; i < end; ++i) {
        if (m_counter.m_kinds[kindIndex(m_text[i].unicode())] == LatinLetter)
            return false;
    }
    return true;
}

// Whether every character in [from, to) is one glyph, so that Qt's index of a glyph within an
// item is the number of clusters before it.
bool DisplayLineCounter::Walk::singleGlyphs(qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = m_text[i].unicode();
        const int index = kindIndex(c);
        qint8 &known = m_counter.m_singleGlyph[index];
        if (known < 0) {
            QTextLayout layout(QString(QChar(c)), m_counter.m_font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            qsizetype glyphs = 0;
            for (const QGlyphRun &run : layout.glyphRuns())
                glyphs += run.glyphIndexes().size();
            known = glyphs == 1 || c == kBlank ? 1 : 0;
        }
        if (!known) {
            m_failed = true;
            return false;
        }
    }
    return true;
}

DisplayLineCounter::DisplayLineCounter(
    const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth)
    : m_font(font)
    , m_metrics(font)
    , m_wrapMode(wrapMode)
    , m_walk(std::make_unique<Walk>(*this))
{
    m_option.setWrapMode(wrapMode);
    setLineWidth(lineWidth);
    m_kinds.fill(Unknown);
    m_singleGlyph.fill(-1);
    m_kinds[kBlank] = Blank;

    const qreal space = m_metrics.horizontalAdvance(QString(QChar(kBlank)));
    m_spaceAdvance = fixedExact(space);
    m_blanksKern = m_metrics.horizontalAdvance(QStringLiteral("  ")) != 2 * space;
    m_minRightBearing = -std::min(0, fixedFromReal(m_metrics.minRightBearing()));

    // Qt takes the blank for the glyph before a word after it that does not fit.
    m_spaceRightBearing = std::min(0, fixedFromReal(m_metrics.rightBearing(QChar(kBlank))));

    m_asciiFollowed = true;
    for (char16_t c = 0x21; c <= 0x7E; ++c)
        m_asciiFollowed = kindOf(c) != NotFollowed && m_asciiFollowed;
}

DisplayLineCounter::~DisplayLineCounter() = default;

void DisplayLineCounter::setLineWidth(qreal lineWidth)
{
    m_lineWidth = lineWidth;
    constexpr qreal kFixedMax = INT_MAX / 256; // QFIXED_MAX, where QTextLine stops a width
    m_width = fixedFromReal(std::min(lineWidth, kFixedMax));
}

DisplayLineCounter::CharKind DisplayLineCounter::kindOf(char16_t c)
{
    const int index = kindIndex(c);
    if (index < 0)
        return NotFollowed;
    if (m_kinds[index] == Unknown)
        m_kinds[index] = examine(c);
    return m_kinds[index];
}

// Whether the walk follows a character: printable Latin-1, the rest of Windows-1252 and the LF
// stand-in, as long as the font does not kern it with a blank (word widths are measured without
// their blanks).
DisplayLineCounter::CharKind DisplayLineCounter::examine(char16_t c)
{
    if (c < 0x21 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
        return NotFollowed; // controls, and the soft hyphen, which Qt shows only at a break
    const QString alone(QChar { c });
    const qreal width = m_metrics.horizontalAdvance(alone);
    const qreal space = m_metrics.horizontalAdvance(QString(QChar(kBlank)));
    if (m_metrics.horizontalAdvance(alone + QChar(kBlank)) != width + space
        || m_metrics.horizontalAdvance(QChar(kBlank) + alone) != width + space)
        return NotFollowed;
    return QChar::script(c) == QChar::Script_Latin ? LatinLetter : Other;
}

bool DisplayLineCounter::followable(QStringView paragraph, bool *latin)
{
    if (m_blanksKern
        || (m_wrapMode != QTextOption::WrapAtWordBoundaryOrAnywhere
            && m_wrapMode != QTextOption::WrapAnywhere))
        return false;
    // Most paragraphs are printable ASCII: one pass without branches tells.
    if (m_asciiFollowed) {
        const char16_t *text = paragraph.utf16();
        quint16 outside = 0;
        quint16 letters = 0;
        for (qsizetype i = 0; i < paragraph.size(); ++i) {
            const quint16 c = text[i];
            outside |= quint16(c - 0x20) > 0x5E ? 1 : 0;
            letters |= quint16((c | 0x20) - u'a') < 26 ? 1 : 0;
        }
        if (!outside) {
            *latin = letters != 0;
            return true;
        }
    }
    bool anyLatin = false;
    for (const QChar ch : paragraph) {
        const char16_t c = ch.unicode();
        const int index = kindIndex(c);
        CharKind kind = index < 0 ? NotFollowed : m_kinds[index];
        if (kind == Unknown)
            kind = kindOf(c);
        if (kind == NotFollowed)
            return false;
        anyLatin = anyLatin || kind == LatinLetter;
    }
    *latin = anyLatin;
    return true;
}

// Each line a cluster: the line's advance is the cluster's, and its natural width adds the
// overhang of its glyph, which Qt computes for the glyph before the one that did not fit.
bool DisplayLineCounter::shape(
    QStringView word, bool latinContext, std::vector<GlyphCluster> &clusters) const
{
    const qsizetype lead = latinContext ? 1 : 0;
    QString text;
    text.reserve(word.size() + lead);
    if (latinContext)
        text += QLatin1Char('a');
    text += word;
    QTextLayout layout(text, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(1);
    layout.endLayout();

    clusters.clear();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qsizetype start = line.textStart() - lead;
        if (start < 0) {
            if (line.textLength() != 1)
                return false;
            continue;
        }
        const qreal advance = line.horizontalAdvance();
        clusters.push_back({ quint16(start), quint16(line.textLength()), fixedExact(advance),
            -fixedExact(line.naturalTextWidth() - advance) });
    }
    return true;
}

// The lines after the one starting at `lineStart`, at most `maxLines`, each start passed to
// `sink`; false, part way or at once, when the walk cannot follow the paragraph.
template <typename Sink>
bool DisplayLineCounter::walkLines(
    QStringView paragraph, qsizetype lineStart, int maxLines, const Sink &sink)
{
    bool latin = false;
    if (!followable(paragraph, &latin))
        return false;
    Walk &walk = *m_walk;
    walk.reset(paragraph, latin);
    for (int lines = 0; lines < maxLines; ++lines) {
        lineStart = walk.nextLineStart(lineStart);
        if (walk.failed())
            return false;
        if (lineStart >= paragraph.size())
            break;
        sink(lineStart);
    }
    return true;
}

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
