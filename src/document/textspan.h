#pragma once

#include <QtGlobal>

#include <memory>

class PieceList;

/// A stretch of a TextBuffer's text as it was when taken: the pieces of it, not the characters,
/// so taking one and putting it back costs pieces however long the stretch. Copies share the
/// pieces.
///
/// Memory: a span keeps alive every buffer its pieces lie in (the original text, an append
/// buffer of up to 128 KB, or the buffer of one large insertion), however little of each it
/// shows; a buffer is freed when no text and no span refers to it any more. Undo history made of
/// spans therefore costs about the text it can bring back, never more than the buffers behind
/// it, plus 24 bytes a piece.
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
