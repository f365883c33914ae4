#include "textspan.h"

#include "piecelist.h"

TextSpan::TextSpan() = default;
TextSpan::~TextSpan() = default;
TextSpan::TextSpan(const TextSpan &) = default;
TextSpan &TextSpan::operator=(const TextSpan &) = default;
TextSpan::TextSpan(TextSpan &&) noexcept = default;
TextSpan &TextSpan::operator=(TextSpan &&) noexcept = default;

TextSpan::TextSpan(PieceList &&pieces)
    : m_pieces(pieces.length() ? std::make_shared<const PieceList>(std::move(pieces)) : nullptr)
{ }

qsizetype TextSpan::size() const
{
    return m_pieces ? m_pieces->length() : 0;
}

qsizetype TextSpan::pieceCount() const
{
    return m_pieces ? qsizetype(m_pieces->pieces().size()) : 0;
}
