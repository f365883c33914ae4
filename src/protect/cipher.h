#pragma once

#include "editor/protectionmarker.h"

#include <QString>
#include <QStringView>

#include <optional>

/// The protection cipher: a fixed substitution of frequent fragments and of letters, digits, the
/// blank and eight punctuation marks by Windows-1252 symbols, then a reversal. The password is
/// stored in the protected text; it does not take part in the substitution.
///
/// A protected text is: the marker, the substituted text reversed, the separator, the password
/// symbols reversed.
namespace Cipher {

/// The first character of every protected text.
inline constexpr QChar marker = kProtectionMarker;
/// Stands between the text and the password (it is also the blank's symbol).
inline constexpr QChar separator = QChar(0x007F);
inline constexpr qsizetype passwordLength = 5;

/// The protected text of `text` with `password` (five lower-case characters) stored in it.
QString encode(QStringView text, QStringView password);

/// `password` through the one-for-one character substitution; the length does not change.
QString passwordSymbols(QStringView password);

/// The document text of `protectedText`, or nothing when its stored password symbols are not
/// `symbols` (the passwordSymbols() of the password typed, five of them).
std::optional<QString> decode(QStringView protectedText, QStringView symbols);

/// The Windows-1252 code of the first character: 63 (the code of "?") for a character the code
/// page lacks, 0 for the empty text.
int firstCharacterCode(QStringView text);

/// Whether `text` counts as protected: its first-character code is above 122.
bool isProtected(QStringView text);

/// Index of the first reserved character of `text`, -1 when there is none. The reserved ones are
/// the symbols of the substitution and the marker: a document holding one would not come back as
/// it was, because decoding turns it into its source.
qsizetype firstReserved(QStringView text);

/// Characters as the user counts them: a surrogate pair is one.
qsizetype characterCount(QStringView text);

/// Index of the first character of `password` that a saved file cannot keep once it is stored
/// in lower case: one whose lower case Windows-1252 has no byte for, or a line break, which
/// reopening the file turns into another. -1 when a file keeps every one, and then the password
/// still matches after a reopen.
qsizetype firstUnstorable(QStringView password);

/// Whether `protectedText` (its loading line breaks dropped) has the shape every protected text
/// has: the marker first, the separator sixth from the end. A file cut short or changed at its
/// end loses it, and then the password cannot be checked.
bool hasPasswordPlace(QStringView protectedText);

/// Index of the first character between the marker and the separator of `protectedText` (its
/// loading line breaks dropped) that encoding never writes, whatever text it protects: a letter,
/// a digit, the blank, a mark of the table or a line feed; -1 when there is none. One there came
/// from damage to the file.
qsizetype firstForeign(QStringView protectedText);

/// Lower case, one code unit for one, so that a five-character password stays five characters
/// (full case mapping turns some capitals into two).
QString lowerCasePassword(QStringView password);

/// `text` less what saving and reopening a protected text added to it: the line breaks after
/// its end (one, or more in a file saved again by an older Tarvex) and the line feed after each
/// carriage return. A protected text holds no line feed of its own, so a text that does not end
/// with CR LF has not been through a file and comes back unchanged.
QString withoutLoadingLineBreaks(QStringView text);

} // namespace Cipher
