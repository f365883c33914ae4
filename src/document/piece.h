#pragma once

#include <QtGlobal>

class PieceBuffer;

/// A stretch of one buffer: `length` units from `start`. Its CRs are the buffer's CR offsets
/// `crFirst` to `crFirst + crCount`, kept so that counting lines needs no search.
struct Piece
{
    PieceBuffer *buffer = nullptr;
    quint32 start = 0;
    quint32 length = 0;
    quint32 crFirst = 0;
    quint32 crCount = 0;

    /// True when `next` goes on in the same buffer right where this piece ends.
    bool isContinuedBy(const Piece &next) const
    {
        return buffer == next.buffer && start + length == next.start;
    }
};
