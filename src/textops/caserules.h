#pragma once

#include <QString>
#include <QStringView>

/// The conversions of the Format menu's case rows. Inverted, title and sentence case know only
/// the ASCII letters; lower and upper case, the first step of title case and the last step of
/// sentence case use the full Unicode mapping, which may change the length ("ß" → "SS").
namespace CaseRules {

QString lowerCase(QStringView text);
QString upperCase(QStringView text);
/// ASCII capitals become small and ASCII small letters capitals; nothing else changes.
QString invertedCase(QStringView text);
/// Everything small, then a capital for an ASCII letter at the start and after every blank.
/// Only the blank starts a word: tabs, line breaks and punctuation do not.
QString titleCase(QStringView text);
/// A capital for an ASCII small letter right after ".", "?" or "!", or after one of them and one
/// blank; the first character is upper-cased with the full mapping. Nothing is made small.
QString sentenceCase(QStringView text);

/// Length of the character at `pos`: 2 for a surrogate pair, 0 at the end of the text.
qsizetype characterLength(QStringView text, qsizetype pos);

} // namespace CaseRules
