#include "linesumtree.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

constexpr qsizetype kBlock = 512; // paragraphs a block holds when built

} // namespace

LineSumTree::LineSumTree()
{
    reset(1);
}

void LineSumTree::reset(qsizetype paragraphs)
{
    m_blocks.clear();
    for (qsizetype from = 0; from < paragraphs || m_blocks.empty(); from += kBlock) {
        Block block;
        block.lines.assign(std::min(kBlock, paragraphs - from), -1);
        block.sum = qint64(block.lines.size());
        block.uncounted = qsizetype(block.lines.size());
        m_blocks.push_back(std::move(block));
    }
    m_size = paragraphs;
    m_uncounted = paragraphs;
    rebuild();
}

// The blocks' first paragraphs and the Fenwick tree, after blocks came or went.
void LineSumTree::rebuild()
{
    const qsizetype n = qsizetype(m_blocks.size());
    m_firstParagraph.assign(n, 0);
    m_fenwick.assign(n + 1, 0);
    qsizetype first = 0;
    m_total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        m_firstParagraph[i] = first;
        first += qsizetype(m_blocks[i].lines.size());
        m_total += m_blocks[i].sum;
        for (qsizetype j = i + 1; j <= n; j += j & -j)
            m_fenwick[j] += m_blocks[i].sum;
    }
}

void LineSumTree::addToBlock(qsizetype block, qint64 delta)
{
    m_blocks[block].sum += delta;
    m_total += delta;
    for (qsizetype j = block + 1; j < qsizetype(m_fenwick.size()); j += j & -j)
        m_fenwick[j] += delta;
}

qint64 LineSumTree::blocksBefore(qsizetype block) const
{
    qint64 sum = 0;
    for (qsizetype j = block; j > 0; j -= j & -j)
        sum += m_fenwick[j];
    return sum;
}

std::pair<qsizetype, qsizetype> LineSumTree::locate(qsizetype paragraph) const
{
    const auto it = std::upper_bound(m_firstParagraph.begin(), m_firstParagraph.end(), paragraph);
    const qsizetype block = std::max<qsizetype>(0, (it - m_firstParagraph.begin()) - 1);
    return { block, paragraph - m_firstParagraph[block] };
}

int LineSumTree::lines(qsizetype paragraph) const
{
    const auto [block, at] = locate(paragraph);
    return std::abs(m_blocks[block].lines[at]);
}

bool LineSumTree::isCounted(qsizetype paragraph) const
{
    const auto [block, at] = locate(paragraph);
    return m_blocks[block].lines[at] > 0;
}

void LineSumTree::set(qsizetype paragraph, int lines, bool counted)
{
    const auto [block, at] = locate(paragraph);
    int &entry = m_blocks[block].lines[at];
    const qsizetype wasUncounted = entry < 0;
    addToBlock(block, std::max(1, lines) - std::abs(entry));
    entry = counted ? std::max(1, lines) : -std::max(1, lines);
    const qsizetype change = qsizetype(!counted) - wasUncounted;
    m_blocks[block].uncounted += change;
    m_uncounted += change;
}

void LineSumTree::replace(qsizetype at, qsizetype removed, qsizetype added)
{
    // Taken out from where `at` lies on, put in there; a block grown large is split.
    const auto [intoBlock, intoOffset] = locate(at);
    qsizetype block = intoBlock, offset = intoOffset;
    while (removed > 0 && block < qsizetype(m_blocks.size())) {
        Block &b = m_blocks[block];
        const qsizetype take = std::min(removed, qsizetype(b.lines.size()) - offset);
        for (qsizetype i = offset; i < offset + take; ++i) {
            b.sum -= std::abs(b.lines[i]);
            b.uncounted -= b.lines[i] < 0;
            m_uncounted -= b.lines[i] < 0;
        }
        b.lines.erase(b.lines.begin() + offset, b.lines.begin() + offset + take);
        removed -= take;
        m_size -= take;
        ++block;
        offset = 0;
    }
    Block &b = m_blocks[intoBlock];
    b.lines.insert(b.lines.begin() + intoOffset, added, -1);
    b.sum += added;
    b.uncounted += added;
    m_uncounted += added;
    m_size += added;
    if (qsizetype(b.lines.size()) > 4 * kBlock) {
        // Split into blocks of the usual size: a big paste must not leave one block that every
        // later question walks through.
        std::vector<Block> parts;
        for (qsizetype from = 0; from < qsizetype(b.lines.size()); from += kBlock) {
            Block part;
            part.lines.assign(b.lines.begin() + from,
                b.lines.begin() + std::min(from + kBlock, qsizetype(b.lines.size())));
            for (const int lines : part.lines) {
                part.sum += std::abs(lines);
                part.uncounted += lines < 0;
            }
            parts.push_back(std::move(part));
        }
        m_blocks.erase(m_blocks.begin() + intoBlock);
        m_blocks.insert(m_blocks.begin() + intoBlock, std::make_move_iterator(parts.begin()),
            std::make_move_iterator(parts.end()));
    }
    std::erase_if(m_blocks, [](const Block &x) { return x.lines.empty(); });
    if (m_blocks.empty())
        m_blocks.push_back(Block {});
    rebuild();
}

qint64 LineSumTree::linesBefore(qsizetype paragraph) const
{
    if (paragraph >= m_size)
        return m_total;
    const auto [block, at] = locate(paragraph);
    qint64 sum = blocksBefore(block);
    const std::vector<int> &lines = m_blocks[block].lines;
    for (qsizetype i = 0; i < at; ++i)
        sum += std::abs(lines[i]);
    return sum;
}

LineSumTree::Place LineSumTree::find(qint64 line) const
{
    line = std::clamp<qint64>(line, 0, std::max<qint64>(0, m_total - 1));
    // Down the Fenwick tree to the block holding the line.
    qsizetype block = 0;
    qint64 before = 0;
    qsizetype step = 1;
    while (step * 2 < qsizetype(m_fenwick.size()))
        step *= 2;
    for (; step > 0; step /= 2) {
        const qsizetype next = block + step;
        if (next < qsizetype(m_fenwick.size()) && before + m_fenwick[next] <= line) {
            block = next;
            before += m_fenwick[next];
        }
    }
    block = std::min(block, qsizetype(m_blocks.size()) - 1);
    const std::vector<int> &lines = m_blocks[block].lines;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const int n = std::abs(lines[i]);
        if (line < before + n || i + 1 == qsizetype(lines.size()))
            return { m_firstParagraph[block] + i, int(std::min<qint64>(line - before, n - 1)) };
        before += n;
    }
    return { m_firstParagraph[block], 0 };
}

qsizetype LineSumTree::nextUncounted(qsizetype from) const
{
    if (m_uncounted == 0 || from >= m_size)
        return m_size;
    auto [block, at] = locate(from);
    for (; block < qsizetype(m_blocks.size()); ++block, at = 0) {
        const Block &b = m_blocks[block];
        if (b.uncounted == 0)
            continue;
        for (qsizetype i = at; i < qsizetype(b.lines.size()); ++i) {
            if (b.lines[i] < 0)
                return m_firstParagraph[block] + i;
        }
    }
    return m_size;
}
