#pragma once

#include "piece.h"

#include <vector>

/// Pieces in text order, each holding a reference to its buffer for as long as it is listed.
class PieceList
{
public:
    PieceList() = default;
    PieceList(PieceList &&other) noexcept;
    PieceList &operator=(PieceList &&other) noexcept;
    PieceList(const PieceList &) = delete;
    PieceList &operator=(const PieceList &) = delete;
    ~PieceList();

    void append(const Piece &piece);
    const std::vector<Piece> &pieces() const { return m_pieces; }
    qsizetype length() const { return m_length; }

private:
    void release();

    std::vector<Piece> m_pieces;
    qsizetype m_length = 0;
};
