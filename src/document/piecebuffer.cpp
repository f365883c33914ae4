#include "piecebuffer.h"

#include "bytedecoder.h"
#include "piece.h"

#include <algorithm>
#include <cstring>

PieceBuffer *PieceBuffer::fromBytes(const QByteArray &bytes, qsizetype from, qsizetype size,
    std::shared_ptr<const ByteDecoder> decoder)
{
    Q_ASSERT(size <= kMaxSize);
    auto *buffer = new PieceBuffer;
    buffer->m_byteOwner = bytes;
    buffer->m_bytes = bytes.constData() + from;
    buffer->m_size = buffer->m_capacity = quint32(size);
    buffer->m_decoder = std::move(decoder);
    buffer->indexCrs();
    return buffer;
}

PieceBuffer *PieceBuffer::fromText(const QString &text, qsizetype from, qsizetype size)
{
    Q_ASSERT(size <= kMaxSize);
    auto *buffer = new PieceBuffer;
    buffer->m_textOwner = text;
    buffer->m_units = reinterpret_cast<const char16_t *>(text.constData()) + from;
    buffer->m_size = buffer->m_capacity = quint32(size);
    const QStringView units(buffer->m_units, size);
    for (qsizetype at = units.indexOf(u'\r'); at >= 0; at = units.indexOf(u'\r', at + 1))
        buffer->m_crs.push_back(quint32(at));
    buffer->m_crs.shrink_to_fit();
    return buffer;
}

PieceBuffer *PieceBuffer::forAppending(qsizetype capacity)
{
    Q_ASSERT(capacity <= kMaxSize);
    auto *buffer = new PieceBuffer;
    buffer->m_appendOwner = std::make_unique_for_overwrite<char16_t[]>(capacity);
    buffer->m_units = buffer->m_appendOwner.get();
    buffer->m_capacity = quint32(capacity);
    return buffer;
}

void PieceBuffer::indexCrs()
{
    const std::array<bool, 256> &isCr = m_decoder->crBytes();
    const auto crBytes = std::count(isCr.begin(), isCr.end(), true);
    if (crBytes == 0)
        return;
    const char *const begin = m_bytes;
    const char *const end = begin + m_size;
    if (crBytes == 1) {
        // The usual case: memchr skips a line at a time.
        const int cr = int(std::find(isCr.begin(), isCr.end(), true) - isCr.begin());
        for (const char *at = begin;
             (at = static_cast<const char *>(std::memchr(at, cr, end - at))) != nullptr; ++at)
            m_crs.push_back(quint32(at - begin));
    } else {
        for (const char *at = begin; at < end; ++at) {
            if (isCr[static_cast<unsigned char>(*at)])
                m_crs.push_back(quint32(at - begin));
        }
    }
    m_crs.shrink_to_fit();
}

void PieceBuffer::append(QStringView text)
{
    Q_ASSERT(m_appendOwner && quint32(text.size()) <= room());
    const char16_t *from = text.utf16();
    const quint32 count = quint32(text.size());
    std::copy(from, from + count, m_appendOwner.get() + m_size);
    for (quint32 i = 0; i < count; ++i) {
        if (from[i] == u'\r')
            m_crs.push_back(m_size + i);
    }
    m_size += count;
}

void PieceBuffer::copy(quint32 offset, quint32 count, char16_t *out) const
{
    if (m_units) {
        std::copy(m_units + offset, m_units + offset + count, out);
        return;
    }
    m_decoder->decode(m_bytes + offset, count, out);
}

char16_t PieceBuffer::at(quint32 offset) const
{
    return m_units ? m_units[offset] : (*m_decoder)(m_bytes[offset]);
}

Piece PieceBuffer::piece(quint32 start, quint32 length)
{
    const quint32 first = crsBefore(start, 0, quint32(m_crs.size()));
    const quint32 end = crsBefore(start + length, first, quint32(m_crs.size()));
    return Piece { this, start, length, first, end - first };
}

quint32 PieceBuffer::crsBefore(quint32 offset, quint32 first, quint32 last) const
{
    const auto from = m_crs.begin() + first;
    return first + quint32(std::lower_bound(from, m_crs.begin() + last, offset) - from);
}

qsizetype PieceBuffer::memoryUsed() const
{
    const qsizetype characters = m_units ? qsizetype(m_capacity) * 2 : qsizetype(m_capacity);
    return qsizetype(sizeof(PieceBuffer)) + characters
        + qsizetype(m_crs.capacity() * sizeof(quint32))
        + (m_decoder ? qsizetype(sizeof(ByteDecoder)) : 0);
}
