#include "wordselection.h"

#include <algorithm>

namespace WordSelection {

Selection wordAt(QStringView text, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    const qsizetype start = caret == 0 ? 0 : text.first(caret).lastIndexOf(u' ') + 1;
    const qsizetype end = text.indexOf(u' ', start);
    if (end > start)
        return { start, end - start };
    return { start, std::min(wordLengthWithoutEnd, text.size() - start) };
}

Selection nextWord(QStringView text, Selection current)
{
    if (current.length == 0)
        current = wordAt(text, current.start);
    return wordAt(text, std::min(current.start + current.length + 2, text.size()));
}

} // namespace WordSelection
