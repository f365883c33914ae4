#pragma once

#include "bytedecoder.h"
#include "piecebuffer.h"
#include "piecetree.h"
#include "textspan.h"

#include <QString>
#include <QStringView>

#include <functional>

class QByteArray;

/// Where a document keeps its text: the original as it came (a file's bytes, one byte a
/// character, or a QString), an append-only buffer for inserted text, and a tree of pieces over
/// them with the length and CR count of every subtree. Positions and lengths count UTF-16 units;
/// the text is kept exactly, CR LF, bare CR and bare LF alike. A paragraph ends at each CR, so
/// CRs are what the line index counts.
///
/// Costs, n being the number of pieces (one after loading, about two more for each edit at a new
/// place, none for typing on at the same place): edits, span() and the CR queries O(log n) plus
/// the pieces taken or put back; reads O(log n) plus what is read. Memory: the original (one byte
/// a character for bytes), 4 bytes for each of its CRs, 56 bytes a piece, and what was inserted.
///
/// One thread at a time, spans included.
class TextBuffer
{
public:
    using ByteTable = ByteDecoder::ByteTable;
    using Span = TextSpan;

    /// Upper bound of the chunks forEachChunk() hands out, in UTF-16 units (32 KB).
    static constexpr qsizetype kChunkSize = 16 * 1024;

    TextBuffer();
    /// Shares `text`'s data; nothing is copied.
    explicit TextBuffer(const QString &text);
    /// Shares `bytes`' data, each byte a character: `table[b]` is the character of byte b.
    TextBuffer(const QByteArray &bytes, const ByteTable &table);
    TextBuffer(TextBuffer &&other) noexcept;
    TextBuffer &operator=(TextBuffer &&other) noexcept;
    TextBuffer(const TextBuffer &) = delete;
    TextBuffer &operator=(const TextBuffer &) = delete;
    ~TextBuffer();

    qsizetype size() const { return m_tree.length(); }
    bool isEmpty() const { return size() == 0; }
    /// The character at `pos`, a null QChar outside the text.
    QChar at(qsizetype pos) const;
    QString mid(qsizetype pos, qsizetype length) const;
    QString toString() const;
    /// Hands [from, to) to `receive` in order, in chunks of at most kChunkSize units, while it
    /// returns true; returns false when it was stopped. A chunk is valid during the call.
    bool forEachChunk(
        qsizetype from, qsizetype to, const std::function<bool(QStringView chunk)> &receive) const;

    /// Puts `added` in place of [pos, pos + removed); returns what was removed, for undo.
    TextSpan replace(qsizetype pos, qsizetype removed, QStringView added);
    /// The same; a large `added` without much unused room is shared, not copied (the whole new
    /// text of a Replace All).
    TextSpan replace(qsizetype pos, qsizetype removed, const QString &added);
    /// Puts the stretch `added` (of this or another TextBuffer) back in place of
    /// [pos, pos + removed); returns what was removed.
    TextSpan replace(qsizetype pos, qsizetype removed, const TextSpan &added);
    /// The stretch [pos, pos + length), to put back later; no text is copied.
    TextSpan span(qsizetype pos, qsizetype length) const;

    qsizetype crCount() const { return m_tree.crCount(); }
    /// How many CRs lie before `pos`: the paragraph that `pos` is in, counted from 0.
    qsizetype countCrsBefore(qsizetype pos) const;
    /// Position of the CR numbered `index` from 0, or -1 when there are not that many.
    qsizetype positionOfCr(qsizetype index) const;

    /// Bytes of memory the text holds: the buffers its pieces lie in, their CR indexes and the
    /// tree (not what only spans keep alive). O(n); for tests and benchmarks.
    qsizetype memoryUsed() const;
    qsizetype pieceCount() const { return m_tree.pieceCount(); }

private:
    static PieceList sharedPieces(const QString &text);
    PieceList piecesFor(QStringView text);
    TextSpan replacePieces(qsizetype pos, qsizetype removed, const PieceList &added);
    void clamp(qsizetype &pos, qsizetype &length) const;

    PieceTree m_tree;
    PieceBuffer *m_append = nullptr; // holds a reference while it is the one appended to
};
