#pragma once

#include <QtGlobal>

#include <vector>

/// The display lines of every paragraph and their running sums: which paragraph holds display
/// line n, how many lines come before paragraph p, the total. Paragraphs sit in blocks of a few
/// hundred, and a Fenwick tree over the blocks' sums answers each question in O(log n) plus a
/// walk through one block. A paragraph not counted yet holds an estimate, marked as such.
class LineSumTree
{
public:
    LineSumTree();

    /// `paragraphs` paragraphs, each estimated at one line.
    void reset(qsizetype paragraphs);
    qsizetype size() const { return m_size; }

    int lines(qsizetype paragraph) const;
    bool isCounted(qsizetype paragraph) const;
    /// Sets a paragraph's count, exact or estimated.
    void set(qsizetype paragraph, int lines, bool counted = true);
    /// Replaces `removed` paragraphs at `at` by `added` ones estimated at one line each.
    void replace(qsizetype at, qsizetype removed, qsizetype added);

    qint64 total() const { return m_total; }
    qsizetype uncounted() const { return m_uncounted; }
    qint64 linesBefore(qsizetype paragraph) const;
    /// The paragraph that holds display line `line` (clamped to the text), and how many of its
    /// lines come before that one.
    struct Place
    {
        qsizetype paragraph = 0;
        int lineInParagraph = 0;
    };
    Place find(qint64 line) const;
    /// The first paragraph from `from` on that is not counted yet; size() when none is.
    qsizetype nextUncounted(qsizetype from) const;

private:
    struct Block
    {
        std::vector<int> lines; // negative: an estimate of that many lines
        qint64 sum = 0;
        qsizetype uncounted = 0;
    };

    std::pair<qsizetype, qsizetype> locate(qsizetype paragraph) const;
    void rebuild();
    void addToBlock(qsizetype block, qint64 delta);
    qint64 blocksBefore(qsizetype block) const;

    std::vector<Block> m_blocks;
    std::vector<qsizetype> m_firstParagraph; // of each block
    std::vector<qint64> m_fenwick; // over the blocks' sums
    qsizetype m_size = 0;
    qint64 m_total = 0;
    qsizetype m_uncounted = 0;
};
