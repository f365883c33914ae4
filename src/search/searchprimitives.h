#pragma once

#include <QString>
#include <QStringView>

/// Plain substring search over the document text. Without Match Case both sides are compared
/// in lower case, character by character, so positions in the lower-cased text are positions
/// in the text itself.
namespace Search {

enum class Case { Sensitive, Insensitive };

/// The 1-based position of the first occurrence of `find` that begins at the 1-based position
/// `start` or later; 0 when there is none, when `start` lies beyond the end or `find` is empty.
qsizetype searchDown(QStringView text, QStringView find, qsizetype start, Case matchCase);

/// The 1-based position of the last occurrence of `find` that ends at or before the 0-based
/// `caret`; 0 when there is none or `find` is empty.
qsizetype searchUp(QStringView text, QStringView find, qsizetype caret, Case matchCase);

/// `text` with every occurrence of `find` replaced by `replacement`, scanning left to right
/// without overlaps. An empty `find` replaces nothing. `count` receives the replacements made.
QString replaceAll(QStringView text, QStringView find, QStringView replacement, Case matchCase,
    qsizetype *count = nullptr);

/// The lower-case form used for comparisons: each UTF-16 unit mapped on its own, so the length
/// never changes.
QString lowerSameLength(QStringView text);

} // namespace Search
