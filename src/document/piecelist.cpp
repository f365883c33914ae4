#include "piecelist.h"

#include "piecebuffer.h"

#include <utility>

PieceList::PieceList(PieceList &&other) noexcept
    : m_pieces(std::exchange(other.m_pieces, {}))
    , m_length(std::exchange(other.m_length, 0))
{ }

PieceList &PieceList::operator=(PieceList &&other) noexcept
{
    if (this != &other) {
        release();
        m_pieces = std::exchange(other.m_pieces, {});
        m_length = std::exchange(other.m_length, 0);
    }
    return *this;
}

PieceList::~PieceList()
{
    release();
}

void PieceList::append(const Piece &piece)
{
    piece.buffer->ref();
    m_pieces.push_back(piece);
    m_length += piece.length;
}

void PieceList::release()
{
    for (const Piece &piece : m_pieces)
        piece.buffer->deref();
    m_pieces.clear();
    m_length = 0;
}
