#pragma once

/// The encoding of a document's file: found when the file is read, kept when it is written
/// again, Windows-1252 for a new document.
enum class TextEncoding {
    Windows1252,
    Utf8,
    Utf8WithMark, // the file begins with a byte-order mark, and is written back with it
};

inline bool isUtf8(TextEncoding encoding)
{
    return encoding != TextEncoding::Windows1252;
}
