#pragma once

#include "piece.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

class PieceList;

/// The pieces of a text in order, in a treap keyed by position: each node keeps the length and
/// the CR count of its subtree, so finding a position or the n-th CR, cutting and joining are
/// O(log n) in the number of pieces. Nodes live in one array and name each other by index.
/// Each piece in the tree holds a reference to its buffer.
class PieceTree
{
public:
    PieceTree() = default;
    PieceTree(PieceTree &&other) noexcept;
    PieceTree &operator=(PieceTree &&other) noexcept;
    PieceTree(const PieceTree &) = delete;
    PieceTree &operator=(const PieceTree &) = delete;
    ~PieceTree();

    qsizetype length() const { return m_nodes[m_root].length; }
    qsizetype crCount() const { return m_nodes[m_root].crs; }
    qsizetype pieceCount() const { return qsizetype(m_nodes.size() - 1 - m_free.size()); }

    /// Puts `added` in place of [pos, pos + removed) and returns the pieces taken out. Pieces
    /// that go on in the same buffer where they meet become one.
    PieceList replace(qsizetype pos, qsizetype removed, const PieceList &added);
    /// The pieces of [pos, pos + length).
    PieceList copy(qsizetype pos, qsizetype length) const;

    /// The piece holding `pos` (< length()), the offset of `pos` in it and the CRs before it.
    struct Place
    {
        Piece piece;
        quint32 offset = 0;
        qsizetype crsBefore = 0;
    };
    Place find(qsizetype pos) const;
    /// Position of the CR numbered `index` (< crCount()).
    qsizetype positionOfCr(qsizetype index) const;

    /// Calls `visit(piece, offset, count)` for the part of each piece inside [from, to), in
    /// order, while it returns true. Returns false when it was stopped.
    template <typename Visit> bool visit(qsizetype from, qsizetype to, Visit &&visit) const
    {
        return visitNode(m_root, 0, from, to, visit);
    }

    /// Every piece once, in no order (for counting memory).
    template <typename Visit> void forEachPiece(Visit &&visit) const
    {
        for (size_t i = 1; i < m_nodes.size(); ++i) {
            if (m_nodes[i].piece.buffer)
                visit(m_nodes[i].piece);
        }
    }

    /// Bytes of memory the nodes take.
    qsizetype memoryUsed() const;

private:
    struct Node
    {
        Piece piece;
        quint32 left = 0;
        quint32 right = 0;
        quint32 priority = 0;
        qsizetype length = 0; // of the subtree
        qsizetype crs = 0; // of the subtree
    };

    quint32 newNode(const Piece &piece, quint32 priority);
    void freeNode(quint32 node);
    void freeTree(quint32 node);
    void update(quint32 node);
    quint32 nextPriority();

    void split(quint32 node, qsizetype pos, quint32 &left, quint32 &right);
    quint32 merge(quint32 left, quint32 right);
    quint32 join(quint32 left, quint32 right);
    quint32 removeFirst(quint32 node, Piece &first);
    quint32 build(const PieceList &pieces);
    void collect(quint32 node, PieceList &into) const;

    template <typename Visit>
    bool visitNode(quint32 n, qsizetype base, qsizetype from, qsizetype to, Visit &visit) const
    {
        while (n) {
            const Node &node = m_nodes[n];
            if (from >= base + node.length || to <= base)
                return true;
            const qsizetype pieceStart = base + m_nodes[node.left].length;
            const qsizetype pieceEnd = pieceStart + node.piece.length;
            if (from < pieceStart && !visitNode(node.left, base, from, to, visit))
                return false;
            if (from < pieceEnd && to > pieceStart) {
                const qsizetype begin = std::max(from, pieceStart);
                const qsizetype end = std::min(to, pieceEnd);
                if (!visit(node.piece, quint32(begin - pieceStart), quint32(end - begin)))
                    return false;
            }
            if (to <= pieceEnd)
                return true;
            base = pieceEnd; // the right subtree, without recursion
            n = node.right;
        }
        return true;
    }

    // Index 0 is the empty tree: a node of no length that is never written.
    std::vector<Node> m_nodes { Node {} };
    std::vector<quint32> m_free;
    quint32 m_root = 0;
    quint32 m_random = 2463534242u;
};
