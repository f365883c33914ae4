#include "replaytext.h"

namespace {

constexpr qsizetype kPiece = 32 * 1024; // what a piece is cut to
constexpr qsizetype kLongest = 2 * kPiece; // a longer piece is cut again

} // namespace

ReplayText::ReplayText(const QString &text)
    : m_size(text.size())
{
    for (qsizetype from = 0; from < text.size(); from += kPiece)
        m_pieces.push_back(text.mid(from, kPiece));
    if (m_pieces.empty())
        m_pieces.emplace_back();
}

bool ReplayText::replace(qsizetype position, qsizetype removed, QStringView added)
{
    if (position < 0 || removed < 0 || position > m_size || removed > m_size - position)
        return false;
    // The piece where `position` falls, its end counting as inside it.
    std::size_t index = 0;
    qsizetype local = position;
    while (local > m_pieces[index].size()) {
        local -= m_pieces[index].size();
        ++index;
    }
    QString &piece = m_pieces[index];
    const qsizetype here = qMin(removed, piece.size() - local);
    piece.remove(local, here);
    qsizetype left = removed - here;
    std::size_t end = index + 1; // past the pieces removed whole
    while (left > 0 && left >= m_pieces[end].size())
        left -= m_pieces[end++].size();
    if (left > 0)
        m_pieces[end].remove(0, left);
    m_pieces.erase(m_pieces.begin() + index + 1, m_pieces.begin() + end);
    piece.insert(local, added);
    m_size += added.size() - removed;
    if (piece.isEmpty() && m_pieces.size() > 1)
        m_pieces.erase(m_pieces.begin() + index);
    else if (piece.size() > kLongest)
        split(index);
    return true;
}

void ReplayText::split(std::size_t index)
{
    const QString whole = m_pieces[index];
    std::vector<QString> parts;
    for (qsizetype from = 0; from < whole.size(); from += kPiece)
        parts.push_back(whole.mid(from, kPiece));
    m_pieces[index] = std::move(parts.front());
    m_pieces.insert(m_pieces.begin() + index + 1, std::make_move_iterator(parts.begin() + 1),
        std::make_move_iterator(parts.end()));
}

QString ReplayText::toString() const
{
    QString text;
    text.reserve(m_size);
    for (const QString &piece : m_pieces)
        text += piece;
    return text;
}
