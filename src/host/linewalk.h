#pragma once

#include <QStringView>
#include <QTextOption>

#include "wordbreakfinder.h"
#include "wordshapecache.h"

#include <array>
#include <optional>
#include <vector>

class ShapingFont;

/// One paragraph filled into lines the way QTextLine::layout_helper fills them (Qt 6.4), on
/// word shapes from the cache. Each line starts afresh, as each QTextLine does; what is kept
/// from line to line is only the word being walked through.
class LineWalk
{
public:
    LineWalk(ShapingFont &font, WordShapeCache &words);

    /// Starts on a paragraph of followed characters; `latin` whether it has a Latin letter.
    /// `width` is the line width in 26.6 fixed point.
    void reset(QStringView paragraph, bool latin, QTextOption::WrapMode wrapMode, qint32 width);
    /// Where the line after the one that starts at `from` starts; the paragraph's length after
    /// its last line.
    qsizetype nextLineStart(qsizetype from);
    /// The paragraph holds something the walk cannot follow after all; lay it out with Qt.
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
        std::vector<qsizetype> breaks; // otherwise: where it may break, in the paragraph
    };

    // Qt's tmpData for one step of the line filling: a word up to its next break.
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
    bool breaksAfter(const Word &word, qsizetype pos) const;
    bool latinContext(qsizetype start, qsizetype end) const;
    qsizetype itemEnd(qsizetype pos) const;

    ShapingFont &m_font;
    WordShapeCache &m_words;
    WordBreakFinder m_breaks;
    QStringView m_text;
    bool m_latin = false;
    bool m_anywhere = false; // WrapAnywhere; else WrapAtWordBoundaryOrAnywhere
    qint32 m_width = 0;
    bool m_failed = false;
    Word m_word;
    std::array<Piece, 2> m_pieces;
    int m_lastPiece = 0;
    std::vector<GlyphCluster> m_scratchClusters;
    std::vector<WordSegment> m_scratchSegments;
};
