#include "piecetree.h"

#include "piecebuffer.h"
#include "piecelist.h"

#include <utility>

namespace {

// The part [offset, offset + count) of `piece`, its CRs found among the piece's own.
Piece slicePiece(const Piece &piece, quint32 offset, quint32 count)
{
    const quint32 crEnd = piece.crFirst + piece.crCount;
    const quint32 first = piece.buffer->crsBefore(piece.start + offset, piece.crFirst, crEnd);
    const quint32 last = piece.buffer->crsBefore(piece.start + offset + count, first, crEnd);
    return Piece { piece.buffer, piece.start + offset, count, first, last - first };
}

} // namespace

PieceTree::PieceTree(PieceTree &&other) noexcept
    : m_nodes(std::exchange(other.m_nodes, { Node {} }))
    , m_free(std::exchange(other.m_free, {}))
    , m_root(std::exchange(other.m_root, 0))
    , m_random(other.m_random)
{ }

PieceTree &PieceTree::operator=(PieceTree &&other) noexcept
{
    if (this != &other) {
        freeTree(m_root);
        m_nodes = std::exchange(other.m_nodes, { Node {} });
        m_free = std::exchange(other.m_free, {});
        m_root = std::exchange(other.m_root, 0);
        m_random = other.m_random;
    }
    return *this;
}

PieceTree::~PieceTree()
{
    freeTree(m_root);
}

PieceList PieceTree::replace(qsizetype pos, qsizetype removed, const PieceList &added)
{
    quint32 left, rest, middle, right;
    split(m_root, pos, left, rest);
    split(rest, removed, middle, right);
    PieceList taken;
    collect(middle, taken);
    freeTree(middle);
    m_root = join(join(left, build(added)), right);
    if (!m_root) {
        // Nothing is left: give back the room of every piece there was.
        std::vector<Node>(1).swap(m_nodes);
        std::vector<quint32>().swap(m_free);
    }
    return taken;
}

PieceList PieceTree::copy(qsizetype pos, qsizetype length) const
{
    PieceList pieces;
    visit(pos, pos + length, [&pieces](const Piece &piece, quint32 offset, quint32 count) {
        pieces.append(count == piece.length ? piece : slicePiece(piece, offset, count));
        return true;
    });
    return pieces;
}

PieceTree::Place PieceTree::find(qsizetype pos) const
{
    qsizetype crs = 0;
    for (quint32 n = m_root; n;) {
        const Node &node = m_nodes[n];
        const Node &left = m_nodes[node.left];
        if (pos < left.length) {
            n = node.left;
            continue;
        }
        pos -= left.length;
        crs += left.crs;
        const Piece &piece = node.piece;
        if (pos < piece.length) {
            const quint32 crEnd = piece.crFirst + piece.crCount;
            const quint32 before
                = piece.buffer->crsBefore(piece.start + quint32(pos), piece.crFirst, crEnd);
            return Place { piece, quint32(pos), crs + (before - piece.crFirst) };
        }
        pos -= piece.length;
        crs += piece.crCount;
        n = node.right;
    }
    return Place { Piece {}, 0, crs };
}

qsizetype PieceTree::positionOfCr(qsizetype index) const
{
    qsizetype base = 0;
    for (quint32 n = m_root; n;) {
        const Node &node = m_nodes[n];
        const Node &left = m_nodes[node.left];
        if (index < left.crs) {
            n = node.left;
            continue;
        }
        index -= left.crs;
        base += left.length;
        const Piece &piece = node.piece;
        if (index < piece.crCount)
            return base + piece.buffer->crOffset(piece.crFirst + quint32(index)) - piece.start;
        index -= piece.crCount;
        base += piece.length;
        n = node.right;
    }
    return -1;
}

qsizetype PieceTree::memoryUsed() const
{
    return qsizetype(m_nodes.capacity() * sizeof(Node) + m_free.capacity() * sizeof(quint32));
}

quint32 PieceTree::newNode(const Piece &piece, quint32 priority)
{
    quint32 n;
    if (m_free.empty()) {
        n = quint32(m_nodes.size());
        m_nodes.emplace_back();
    } else {
        n = m_free.back();
        m_free.pop_back();
    }
    piece.buffer->ref();
    m_nodes[n] = Node { piece, 0, 0, priority, piece.length, piece.crCount };
    return n;
}

void PieceTree::freeNode(quint32 n)
{
    m_nodes[n].piece.buffer->deref();
    m_nodes[n].piece.buffer = nullptr;
    m_free.push_back(n);
}

void PieceTree::freeTree(quint32 n)
{
    if (!n)
        return;
    freeTree(m_nodes[n].left);
    freeTree(m_nodes[n].right);
    freeNode(n);
}

void PieceTree::update(quint32 n)
{
    Node &node = m_nodes[n];
    const Node &left = m_nodes[node.left];
    const Node &right = m_nodes[node.right];
    node.length = left.length + node.piece.length + right.length;
    node.crs = left.crs + node.piece.crCount + right.crs;
}

quint32 PieceTree::nextPriority()
{
    // xorshift32: the same tree shape every run, which keeps benchmarks steady.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}

// `left` gets the first `pos` units of the subtree, `right` the rest; a piece that straddles
// `pos` is cut in two.
void PieceTree::split(quint32 n, qsizetype pos, quint32 &left, quint32 &right)
{
    if (!n) {
        left = right = 0;
        return;
    }
    const qsizetype leftLength = m_nodes[m_nodes[n].left].length;
    const qsizetype pieceEnd = leftLength + m_nodes[n].piece.length;
    if (pos <= leftLength) {
        quint32 rest;
        split(m_nodes[n].left, pos, left, rest);
        m_nodes[n].left = rest;
        update(n);
        right = n;
    } else if (pos >= pieceEnd) {
        quint32 rest;
        split(m_nodes[n].right, pos - pieceEnd, rest, right);
        m_nodes[n].right = rest;
        update(n);
        left = n;
    } else {
        // The tail takes the node's right subtree and its priority, so both halves stay heaps.
        const Piece piece = m_nodes[n].piece;
        const quint32 cut = quint32(pos - leftLength);
        const quint32 tail
            = newNode(slicePiece(piece, cut, piece.length - cut), m_nodes[n].priority);
        m_nodes[tail].right = m_nodes[n].right;
        m_nodes[n].right = 0;
        m_nodes[n].piece = slicePiece(piece, 0, cut);
        update(n);
        update(tail);
        left = n;
        right = tail;
    }
}

quint32 PieceTree::merge(quint32 left, quint32 right)
{
    if (!left)
        return right;
    if (!right)
        return left;
    if (m_nodes[left].priority >= m_nodes[right].priority) {
        const quint32 joined = merge(m_nodes[left].right, right);
        m_nodes[left].right = joined;
        update(left);
        return left;
    }
    const quint32 joined = merge(left, m_nodes[right].left);
    m_nodes[right].left = joined;
    update(right);
    return right;
}

// merge(), and where the last piece of `left` goes on in its buffer into the first of `right`
// the two become one: typing at one place grows one piece, and putting back what was cut out
// heals the cut.
quint32 PieceTree::join(quint32 left, quint32 right)
{
    if (left && right) {
        quint32 last = left;
        while (m_nodes[last].right)
            last = m_nodes[last].right;
        quint32 first = right;
        while (m_nodes[first].left)
            first = m_nodes[first].left;
        if (m_nodes[last].piece.isContinuedBy(m_nodes[first].piece)) {
            Piece next;
            right = removeFirst(right, next);
            // The last piece's ancestors are the right spine.
            for (quint32 n = left; n; n = m_nodes[n].right) {
                m_nodes[n].length += next.length;
                m_nodes[n].crs += next.crCount;
            }
            m_nodes[last].piece.length += next.length;
            m_nodes[last].piece.crCount += next.crCount;
        }
    }
    return merge(left, right);
}

quint32 PieceTree::removeFirst(quint32 n, Piece &first)
{
    const quint32 left = m_nodes[n].left;
    if (!left) {
        first = m_nodes[n].piece;
        const quint32 right = m_nodes[n].right;
        freeNode(n);
        return right;
    }
    const quint32 rest = removeFirst(left, first);
    m_nodes[n].left = rest;
    update(n);
    return n;
}

// A treap of the pieces in O(n): each node pops from the right spine the nodes of lower priority,
// which become its left subtree (a Cartesian tree built with a stack).
quint32 PieceTree::build(const PieceList &pieces)
{
    std::vector<quint32> spine;
    for (const Piece &piece : pieces.pieces()) {
        const quint32 n = newNode(piece, nextPriority());
        quint32 below = 0;
        while (!spine.empty() && m_nodes[spine.back()].priority < m_nodes[n].priority) {
            below = spine.back();
            spine.pop_back();
            update(below);
        }
        m_nodes[n].left = below;
        if (!spine.empty())
            m_nodes[spine.back()].right = n;
        spine.push_back(n);
    }
    quint32 root = 0;
    while (!spine.empty()) {
        root = spine.back();
        spine.pop_back();
        update(root);
    }
    return root;
}

void PieceTree::collect(quint32 n, PieceList &into) const
{
    if (!n)
        return;
    collect(m_nodes[n].left, into);
    into.append(m_nodes[n].piece);
    collect(m_nodes[n].right, into);
}
