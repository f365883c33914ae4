#pragma once

#include <QStringView>

/// Word selection for Select Word and Select next word. A word ends only at a blank (code 32):
/// tabs, line breaks and punctuation belong to it.
namespace WordSelection {

struct Selection
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const Selection &, const Selection &) = default;
};

/// Where no blank ends the word, this many characters are taken.
inline constexpr qsizetype wordLengthWithoutEnd = 1000;

/// The word around `caret`: from just after the last blank before the caret up to the next
/// blank; without such a blank, or when the word would start on a blank, 1000 characters (or
/// up to the end of the text).
Selection wordAt(QStringView text, qsizetype caret);

/// The word after `current`: the word at the caret when nothing is selected, then the word two
/// characters past the end of the selection.
Selection nextWord(QStringView text, Selection current);

} // namespace WordSelection
