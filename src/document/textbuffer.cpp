#include "textbuffer.h"

#include "piecelist.h"

#include <QByteArray>

#include <algorithm>
#include <utility>

namespace {

// Typed and pasted text goes into append buffers of this many units (128 KB), one after the
// other; an insertion of a quarter of that or more gets a buffer of its own, so that a span
// pinning it pins no neighbours, and so that no room is wasted at the end of a full one.
constexpr qsizetype kAppendCapacity = 64 * 1024;
constexpr qsizetype kOwnBufferFrom = kAppendCapacity / 4;

} // namespace

TextBuffer::TextBuffer() = default;

TextBuffer::TextBuffer(const QString &text)
{
    m_tree.replace(0, 0, sharedPieces(text));
}

TextBuffer::TextBuffer(const QByteArray &bytes, const ByteTable &table)
{
    const auto decoder = std::make_shared<const ByteDecoder>(table);
    PieceList pieces;
    for (qsizetype from = 0; from < bytes.size(); from += PieceBuffer::kMaxSize) {
        const qsizetype size = std::min(PieceBuffer::kMaxSize, bytes.size() - from);
        PieceBuffer *buffer = PieceBuffer::fromBytes(bytes, from, size, decoder);
        pieces.append(buffer->piece(0, quint32(size)));
    }
    m_tree.replace(0, 0, pieces);
}

TextBuffer::TextBuffer(TextBuffer &&other) noexcept
    : m_tree(std::move(other.m_tree))
    , m_append(std::exchange(other.m_append, nullptr))
{ }

TextBuffer &TextBuffer::operator=(TextBuffer &&other) noexcept
{
    if (this != &other) {
        m_tree = std::move(other.m_tree);
        if (m_append)
            m_append->deref();
        m_append = std::exchange(other.m_append, nullptr);
    }
    return *this;
}

TextBuffer::~TextBuffer()
{
    if (m_append)
        m_append->deref();
}

QChar TextBuffer::at(qsizetype pos) const
{
    if (pos < 0 || pos >= size())
        return {};
    const PieceTree::Place place = m_tree.find(pos);
    return QChar(place.piece.buffer->at(place.piece.start + place.offset));
}

QString TextBuffer::mid(qsizetype pos, qsizetype length) const
{
    clamp(pos, length);
    QString text(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    m_tree.visit(pos, pos + length, [&out](const Piece &piece, quint32 offset, quint32 count) {
        piece.buffer->copy(piece.start + offset, count, out);
        out += count;
        return true;
    });
    return text;
}

QString TextBuffer::toString() const
{
    return mid(0, size());
}

bool TextBuffer::forEachChunk(
    qsizetype from, qsizetype to, const std::function<bool(QStringView chunk)> &receive) const
{
    qsizetype pos = from;
    qsizetype length = to - from;
    clamp(pos, length);
    std::unique_ptr<char16_t[]> decoded; // made when a piece of bytes comes
    return m_tree.visit(pos, pos + length, [&](const Piece &piece, quint32 offset, quint32 count) {
        for (quint32 done = 0; done < count;) {
            const quint32 from = piece.start + offset + done;
            const quint32 n = quint32(std::min<qsizetype>(count - done, kChunkSize));
            const char16_t *units = piece.buffer->units(from);
            if (!units) {
                if (!decoded)
                    decoded = std::make_unique_for_overwrite<char16_t[]>(kChunkSize);
                piece.buffer->copy(from, n, decoded.get());
                units = decoded.get();
            }
            if (!receive(QStringView(units, n)))
                return false;
            done += n;
        }
        return true;
    });
}

TextSpan TextBuffer::replace(qsizetype pos, qsizetype removed, QStringView added)
{
    clamp(pos, removed);
    return replacePieces(pos, removed, piecesFor(added));
}

TextSpan TextBuffer::replace(qsizetype pos, qsizetype removed, const QString &added)
{
    // Unused room would be kept alive unseen by memoryUsed(), so such a string is copied.
    if (added.size() < kOwnBufferFrom || added.capacity() - added.size() > added.size() / 4)
        return replace(pos, removed, QStringView(added));
    clamp(pos, removed);
    return replacePieces(pos, removed, sharedPieces(added));
}

TextSpan TextBuffer::replace(qsizetype pos, qsizetype removed, const TextSpan &added)
{
    clamp(pos, removed);
    static const PieceList nothing;
    return replacePieces(pos, removed, added.m_pieces ? *added.m_pieces : nothing);
}

TextSpan TextBuffer::span(qsizetype pos, qsizetype length) const
{
    clamp(pos, length);
    return TextSpan(m_tree.copy(pos, length));
}

qsizetype TextBuffer::countCrsBefore(qsizetype pos) const
{
    if (pos >= size())
        return crCount();
    return pos <= 0 ? 0 : m_tree.find(pos).crsBefore;
}

qsizetype TextBuffer::positionOfCr(qsizetype index) const
{
    return index < 0 || index >= crCount() ? -1 : m_tree.positionOfCr(index);
}

qsizetype TextBuffer::memoryUsed() const
{
    std::vector<const PieceBuffer *> buffers;
    m_tree.forEachPiece([&buffers](const Piece &piece) { buffers.push_back(piece.buffer); });
    if (m_append)
        buffers.push_back(m_append);
    std::sort(buffers.begin(), buffers.end());
    buffers.erase(std::unique(buffers.begin(), buffers.end()), buffers.end());
    qsizetype bytes = qsizetype(sizeof(TextBuffer)) + m_tree.memoryUsed();
    for (const PieceBuffer *buffer : buffers)
        bytes += buffer->memoryUsed();
    return bytes;
}

PieceList TextBuffer::sharedPieces(const QString &text)
{
    PieceList pieces;
    for (qsizetype from = 0; from < text.size(); from += PieceBuffer::kMaxSize) {
        const qsizetype size = std::min(PieceBuffer::kMaxSize, text.size() - from);
        PieceBuffer *buffer = PieceBuffer::fromText(text, from, size);
        pieces.append(buffer->piece(0, quint32(size)));
    }
    return pieces;
}

PieceList TextBuffer::piecesFor(QStringView text)
{
    PieceList pieces;
    if (text.size() >= kOwnBufferFrom) {
        for (qsizetype from = 0; from < text.size(); from += PieceBuffer::kMaxSize) {
            const qsizetype size = std::min(PieceBuffer::kMaxSize, text.size() - from);
            PieceBuffer *buffer = PieceBuffer::forAppending(size);
            buffer->append(text.sliced(from, size));
            pieces.append(buffer->piece(0, quint32(size)));
        }
        return pieces;
    }
    if (text.isEmpty())
        return pieces;
    if (!m_append || m_append->room() < text.size()) {
        if (m_append)
            m_append->deref();
        m_append = PieceBuffer::forAppending(kAppendCapacity);
        m_append->ref();
    }
    const quint32 start = m_append->size();
    m_append->append(text);
    pieces.append(m_append->piece(start, quint32(text.size())));
    return pieces;
}

TextSpan TextBuffer::replacePieces(qsizetype pos, qsizetype removed, const PieceList &added)
{
    if (removed == 0 && added.length() == 0)
        return {};
    return TextSpan(m_tree.replace(pos, removed, added));
}

void TextBuffer::clamp(qsizetype &pos, qsizetype &length) const
{
    pos = std::clamp<qsizetype>(pos, 0, size());
    length = std::clamp<qsizetype>(length, 0, size() - pos);
}
