#include "linewalk.h"

#include "shapingfont.h"

#include <algorithm>
#include <cstring>

// Qt's names (line, lbh.tmpData, lbh.spaceData, lbh.whiteSpaceOrObject) are kept where they help
// to compare this with QTextLine::layout_helper.

namespace {

// QTextEngine shapes a paragraph of one script and direction in items of this many characters,
// each on its own: there is no kerning across the end of an item.
constexpr qsizetype kItemLength = 4096;
// Qt's mark for a right bearing not computed yet (QFixed(1)); real ones are 0 or less.
constexpr qint32 kNotCalculated = 64;
constexpr char16_t kBlank = u' ';

qint32 overhang(qint32 rightBearing)
{
    return rightBearing == kNotCalculated ? 0 : -rightBearing;
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

LineWalk::LineWalk(ShapingFont &font, WordShapeCache &words)
    : m_font(font)
    , m_words(words)
{ }

void LineWalk::reset(
    QStringView paragraph, bool latin, QTextOption::WrapMode wrapMode, qint32 width)
{
    m_text = paragraph;
    m_latin = latin;
    m_anywhere = wrapMode == QTextOption::WrapAnywhere;
    m_width = width;
    m_failed = false;
    m_word.start = m_word.end = -1;
    for (Piece &piece : m_pieces)
        piece.start = piece.end = -1;
    m_breaks.reset(paragraph);
}

qsizetype LineWalk::nextLineStart(qsizetype from)
{
    return layOutLine(from, m_anywhere);
}

qsizetype LineWalk::itemEnd(qsizetype pos) const
{
    return std::min(m_text.size(), (pos / kItemLength + 1) * kItemLength);
}

// A word without Latin letters takes the script of the paragraph around it: it is shaped after
// a Latin letter in a paragraph that has one. Most words start with one.
inline bool LineWalk::latinContext(qsizetype start, qsizetype end) const
{
    if (!m_latin || char16_t((m_text[start].unicode() | 0x20) - u'a') < 26)
        return false;
    for (qsizetype i = start; i < end; ++i) {
        if (m_font.knownKind(m_text[i].unicode()) == ShapingFont::LatinLetter)
            return false;
    }
    return true;
}

// QTextLine::layout_helper for one line; `anywhere` is WrapAnywhere, either the paragraph's
// mode or the second try of WrapAtWordBoundaryOrAnywhere at a line it could not fill.
qsizetype LineWalk::layOutLine(qsizetype from, bool anywhere)
{
    const qint32 width = m_width;
    const qint32 maxOverhang = m_font.maxOverhang();
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
        if (m_text[pos] == kBlank) {
            // Blanks hang past the edge; only blanks wider than the whole line end it.
            whiteSpace = true;
            const qsizetype end = itemEnd(pos);
            const qsizetype blanksStart = pos;
            while (pos < end && m_text[pos] == kBlank)
                ++pos;
            spaceWidth += qint64(pos - blanksStart) * m_font.blankAdvance();
            spaceLength += pos - blanksStart;
            if (spaceWidth > width) {
                spaceWidth = width;
                goto found;
            }
            continue;
        }
        whiteSpace = false;
        if (anywhere) {
            qsizetype clusterStart = 0;
            const GlyphCluster cluster = clusterAt(pos, &clusterStart);
            if (m_failed)
                return n;
            tmpWidth += cluster.advance;
            tmpLength += cluster.length;
            pos = clusterStart + cluster.length;
            currentGlyphRightBearing = cluster.rightBearing;
            if (lineWidth + tmpWidth + spaceWidth + maxOverhang > width)
                rightBearing = cluster.rightBearing;
            if (lineLength > 0
                && lineWidth + tmpWidth + spaceWidth + overhang(rightBearing) > width)
                goto found; // the width of this line no longer matters
        } else {
            // A word is added up only until it is wider than the line: then it does not fit
            // after others, and as the line's first it makes this try fail.
            const qsizetype iterationStart = pos;
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
            if (lineWidth + tmpWidth + spaceWidth + maxOverhang > width)
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
    if (!anywhere) {
        // A line wider than the width, its last glyph's overhang counted, is laid out again
        // breaking anywhere.
        if (rightBearing == kNotCalculated && !whiteSpace)
            rightBearing = currentGlyphRightBearing;
        if (lineWidth + overhang(rightBearing) > width)
            return layOutLine(from, true);
    }
    return from + lineLength + spaceLength;
}

// From `pos` in a word to its next break (or the word's end), added up until it is wider than
// `cap`.
LineWalk::Segment LineWalk::segmentFrom(qsizetype pos, qint32 cap)
{
    const Word &word = wordAt(pos);
    if (m_failed)
        return { pos + 1, 0, 0 };
    if (word.record && pos == word.start) {
        const WordSegment &first = word.record->firstSegment;
        return { word.start + first.end, first.width, first.lastRightBearing };
    }
    if (word.record) {
        qsizetype segmentStart = word.start;
        for (const WordSegment &segment : m_words.segments(*word.record)) {
            if (segmentStart == pos)
                return { word.start + segment.end, segment.width, segment.lastRightBearing };
            segmentStart = word.start + segment.end;
            if (segmentStart > pos)
                break;
        }
    }
    // Where a line started within the segment, or the word is not in the cache.
    Segment segment { pos, 0, 0 };
    while (segment.end < word.end) {
        qsizetype clusterStart = 0;
        const GlyphCluster cluster = clusterAt(segment.end, &clusterStart);
        if (m_failed)
            return { pos + 1, 0, 0 };
        segment.width += cluster.advance;
        segment.lastRightBearing = cluster.rightBearing;
        segment.end = clusterStart + cluster.length;
        if (segment.end < word.end && breaksAfter(word, segment.end))
            break;
        if (segment.width > cap) {
            segment.complete = segment.end == word.end;
            break;
        }
    }
    return segment;
}

// The true end and last glyph of a segment cut short; its width no longer matters.
void LineWalk::finishSegment(Segment &segment)
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
std::optional<qint32> LineWalk::previousGlyphRightBearing(qsizetype pos)
{
    if (pos == 0)
        return std::nullopt;
    if (pos % kItemLength == 0)
        return glyphBeforeItemRightBearing(pos);
    if (m_text[pos - 1] == kBlank)
        return m_font.blankRightBearing();
    qsizetype clusterStart = 0;
    return clusterAt(pos - 1, &clusterStart).rightBearing;
}

// At the start of an item Qt looks the glyph before up among the new item's glyphs, at the
// index the character before had in the previous item: some glyph near the new item's end, or
// none when the new item has fewer glyphs. The index is the count of clusters before it when
// every character is a glyph of its own (or shares one, in a ligature).
std::optional<qint32> LineWalk::glyphBeforeItemRightBearing(qsizetype itemStart)
{
    const qsizetype previousStart = itemStart - kItemLength;
    const qsizetype end = itemEnd(itemStart);
    for (qsizetype i = previousStart; i < end; ++i) {
        if (!m_font.singleGlyph(m_text[i].unicode())) {
            m_failed = true;
            return std::nullopt;
        }
    }
    // Visits the right bearings of the clusters of [from, to) until `visit` says stop.
    auto forEachCluster = [this](qsizetype from, qsizetype to, auto &&visit) {
        for (qsizetype pos = from; pos < to && !m_failed;) {
            if (m_text[pos] == kBlank) {
                if (!visit(m_font.blankRightBearing()))
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

const LineWalk::Word &LineWalk::wordAt(qsizetype pos)
{
    if (pos >= m_word.start && pos < m_word.end
        && (!m_word.record || m_word.generation == m_words.generation()))
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
        const WordShapeCache::Record *record = m_words.find(
            hash, m_text.sliced(word.start, length), latinContext(word.start, word.end));
        if (!record) {
            record = pieceAt(word.start).record;
            if (m_failed)
                return m_word;
        }
        word.generation = m_words.generation();
        if (record && record->breaksKnown) {
            word.record = record;
            return m_word;
        }
    }
    std::optional<std::vector<qsizetype>> own
        = WordBreakFinder::onItsOwn(m_text.sliced(word.start, length));
    if (own) {
        for (qsizetype at : *own)
            word.breaks.push_back(word.start + at);
    } else {
        word.breaks = m_breaks.inContext(word.start, word.end);
    }
    return m_word;
}

LineWalk::Piece &LineWalk::pieceAt(qsizetype pos)
{
    for (Piece &piece : m_pieces) {
        if (pos >= piece.start && pos < piece.end
            && (!piece.record || piece.generation == m_words.generation()))
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
        // Shaped a cluster at a time, a long word costs more than Qt's own layout when the
        // paragraph wraps anywhere; when it wraps at words Qt's costs the square of its length.
        if (m_anywhere || !m_font.shape(text, latinContext, piece.own))
            m_failed = true;
        piece.clusters = piece.own;
        return piece;
    }
    const quint64 hash = hashOf(text);
    const WordShapeCache::Record *record = m_words.find(hash, text, latinContext);
    if (!record) {
        if (!m_font.shape(text, latinContext, m_scratchClusters)) {
            m_failed = true;
            piece.clusters = {};
            return piece;
        }
        // A whole word keeps its breaks with its shape, when they are its own.
        const bool wholeWord = (piece.start == 0 || m_text[piece.start - 1] == kBlank)
            && (piece.end == m_text.size() || m_text[piece.end] == kBlank);
        std::optional<std::vector<qsizetype>> breaks;
        if (wholeWord)
            breaks = WordBreakFinder::onItsOwn(text);
        if (breaks)
            segmentsOf(m_scratchClusters, *breaks, text.size(), m_scratchSegments);
        record = &m_words.insert(
            hash, text, latinContext, m_scratchClusters, m_scratchSegments, breaks.has_value());
    }
    piece.record = record;
    piece.generation = m_words.generation();
    piece.clusters = m_words.clusters(*record);
    return piece;
}

const GlyphCluster &LineWalk::clusterAt(qsizetype pos, qsizetype *clusterStart)
{
    static const GlyphCluster none { 0, 1, 0, 0 };
    const Piece &piece = pieceAt(pos);
    if (m_failed || piece.clusters.empty()) {
        m_failed = true;
        *clusterStart = pos;
        return none;
    }
    const qsizetype offset = pos - piece.start;
    const auto after = std::upper_bound(piece.clusters.begin(), piece.clusters.end(), offset,
        [](qsizetype at, const GlyphCluster &cluster) { return at < cluster.start; });
    const GlyphCluster &cluster = *(after - 1);
    *clusterStart = piece.start + cluster.start;
    return cluster;
}

bool LineWalk::breaksAfter(const Word &word, qsizetype pos) const
{
    if (word.record) {
        const std::span<const WordSegment> segments = m_words.segments(*word.record);
        return std::any_of(segments.begin(), segments.end(),
            [&](const WordSegment &segment) { return word.start + segment.end == pos; });
    }
    return std::binary_search(word.breaks.begin(), word.breaks.end(), pos);
}
