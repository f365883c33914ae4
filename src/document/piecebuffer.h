#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <atomic>
#include <memory>
#include <vector>

class ByteDecoder;
struct Piece;

/// One block of text that pieces refer to: part of an original (single-byte characters or
/// UTF-16) or an append buffer. What is in it never changes, so a piece of it stays valid as long
/// as the block lives; an append buffer only grows into room it had from the start, so its
/// characters never move either. The offsets of its CRs are kept sorted beside it.
/// Counted references: every piece in a tree or a span holds one; the last one deletes it.
class PieceBuffer
{
public:
    /// Offsets and CR offsets are 32 bits; an original longer than this is cut into several
    /// buffers.
    static constexpr qsizetype kMaxSize = qsizetype(1) << 30;

    /// `size` bytes of `bytes` from `from`, sharing its data; each byte read through `decoder`.
    static PieceBuffer *fromBytes(const QByteArray &bytes, qsizetype from, qsizetype size,
        std::shared_ptr<const ByteDecoder> decoder);
    /// `size` units of `text` from `from`, sharing its data.
    static PieceBuffer *fromText(const QString &text, qsizetype from, qsizetype size);
    /// An empty buffer with room for `capacity` units, to append to.
    static PieceBuffer *forAppending(qsizetype capacity);

    PieceBuffer(const PieceBuffer &) = delete;
    PieceBuffer &operator=(const PieceBuffer &) = delete;

    void ref() { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void deref()
    {
        if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }

    quint32 size() const { return m_size; }
    quint32 room() const { return m_capacity - m_size; }
    /// Appends `text` (at most room() units) after the current end.
    void append(QStringView text);

    char16_t at(quint32 offset) const;
    /// The units [offset, offset + count) as they are stored, or nullptr when they are bytes.
    const char16_t *units(quint32 offset) const { return m_units ? m_units + offset : nullptr; }
    /// Writes the characters [offset, offset + count) to `out`.
    void copy(quint32 offset, quint32 count, char16_t *out) const;

    /// The piece [start, start + length) of this buffer, its CRs found in the sorted offsets.
    Piece piece(quint32 start, quint32 length);
    /// Index of the first CR at or after `offset`, searched among the indexes [first, last).
    quint32 crsBefore(quint32 offset, quint32 first, quint32 last) const;
    quint32 crOffset(quint32 index) const { return m_crs[index]; }

    /// Bytes of memory this buffer holds: its characters, CR offsets and itself.
    qsizetype memoryUsed() const;

private:
    PieceBuffer() = default;
    ~PieceBuffer() = default;
    void indexCrs();

    std::atomic<int> m_refs { 0 };
    QByteArray m_byteOwner; // an original of bytes, shared with the caller
    QString m_textOwner; // an original of UTF-16, shared with the caller
    std::unique_ptr<char16_t[]> m_appendOwner;
    std::shared_ptr<const ByteDecoder> m_decoder;
    const char *m_bytes = nullptr;
    const char16_t *m_units = nullptr;
    quint32 m_size = 0;
    quint32 m_capacity = 0;
    std::vector<quint32> m_crs;
};
