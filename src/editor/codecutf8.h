#pragma once

#include <QByteArrayView>

/// What tells a UTF-8 file from a Windows-1252 one.
namespace CodecUtf8 {

/// The byte-order mark a UTF-8 file may begin with.
inline constexpr QByteArrayView kMark("\xEF\xBB\xBF", 3);

bool startsWithMark(QByteArrayView bytes);

/// Whether `bytes` are well-formed UTF-8 (no overlong form, no surrogate, nothing above
/// U+10FFFF) holding at least one character beyond ASCII. All-ASCII bytes are not: they read
/// the same in Windows-1252, which stays the encoding of such a file.
bool isUtf8BeyondAscii(QByteArrayView bytes);

} // namespace CodecUtf8
