#pragma once

#include <QtGlobal>

/// Qt's line-break opportunities (QTextBoundaryFinder, Line mode) between two characters of a
/// word, for the printable ASCII characters and the LF stand-in U+240A: a precomputed table, so
/// that most words need no boundary finder at all.
namespace LineBreakPairs {

enum class Break : quint8 {
    Never, // no break between the two, whatever surrounds them
    Always, // a break between the two, whatever surrounds them
    DependsOnContext, // Qt's rule for numbers decides from the characters around them
};

/// Whether the table holds the character: U+0021..U+007E and U+240A.
inline bool covers(char16_t c)
{
    return (c >= 0x21 && c <= 0x7E) || c == 0x240A;
}

/// The break between `before` and `after`, both covered.
Break between(char16_t before, char16_t after);

} // namespace LineBreakPairs
