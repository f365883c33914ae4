#pragma once

#include <QtGlobal>

#include <memory>

class PieceList;

/// A stretch of a TextBuffer's text as it was when taken: the pieces of it, not the characters,
/// so taking one and putting it back costs pieces however long the stretch. Copies share the
/// pieces.
///
/// Memory: a span costs 24 bytes a piece, and it keeps alive every buffer its pieces lie in,
/// however little of each it shows: the opened file's bytes, an append buffer of 128 KB that
/// typed and pasted text shares, or the buffer of one large insertion. A buffer is freed when
/// neither a text nor a span refers to it any more; so undo history that holds the span of a
/// deleted file holds the file, and one that holds a few typed characters holds their append
/// buffer, which the text usually holds anyway.
class TextSpan
{
public:
    TextSpan();
    ~TextSpan();
    TextSpan(const TextSpan &);
    TextSpan &operator=(const TextSpan &);
    TextSpan(TextSpan &&) noexcept;
    TextSpan &operator=(TextSpan &&) noexcept;

    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    qsizetype pieceCount() const;

private:
    friend class TextBuffer;
    explicit TextSpan(PieceList &&pieces);

    std::shared_ptr<const PieceList> m_pieces;
};
