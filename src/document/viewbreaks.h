#pragma once

#include <QString>
#include <QStringView>

/// Characters a text view shows as line breaks although they are neither CR nor LF: U+2028 LINE
/// SEPARATOR, U+2029 PARAGRAPH SEPARATOR, and U+FDD0 and U+FDD1, which Qt's text widgets take for
/// the edges of a frame. The document puts them in as what they show: so what is seen is the
/// text.
namespace ViewBreaks {

bool holdsAny(QStringView text);
/// The text with the two separators made CR LF, the line break they stand for, and the two frame
/// characters, which stand for nothing in a plain text, made U+FFFD. The text itself when it
/// holds none.
QString withoutAny(const QString &text);

} // namespace ViewBreaks
