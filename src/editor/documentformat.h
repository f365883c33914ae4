#pragma once

#include "document/textbuffer.h"
#include "document/textencoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// How a document file's bytes become the document text and back. The file is a list of lines,
/// in Windows-1252 or UTF-8; in the text every line ends with CR LF.
namespace DocumentFormat {

/// The encoding a file is read in: UTF-8 when it begins with a byte-order mark or is valid UTF-8
/// with at least one character beyond ASCII, Windows-1252 otherwise.
TextEncoding encodingOf(QByteArrayView bytes);
/// UTF-8 as a file is read when the user asks for it: with its mark if it begins with one.
TextEncoding utf8EncodingOf(QByteArrayView bytes);

/// The text of a file: each line followed by CR LF. A line ends at CR LF or at a CR alone; an LF
/// not after a CR belongs to its line. An empty file gives the empty text. A UTF-8 file's mark
/// is not part of the text; bytes that are not UTF-8 read as U+FFFD.
QString textFromFileBytes(QByteArrayView bytes, TextEncoding encoding = TextEncoding::Windows1252);

/// The same text, held as the file's bytes when they are Windows-1252 (one byte a character):
/// `bytes` themselves, given the line breaks the rule adds in place unless they are shared.
/// A UTF-8 file's text is decoded to UTF-16.
TextBuffer bufferFromFileBytes(QByteArray bytes, TextEncoding encoding = TextEncoding::Windows1252);

/// The bytes written for a text: the text in its encoding (a UTF-8 file's mark first), then
/// CR LF unless it ends with CR LF already. A protected text (the protection marker first) has
/// no line feed of its own: the one loading put after each carriage return is left out, but for
/// the line breaks at its end.
QByteArray fileBytesFromText(QStringView text, TextEncoding encoding = TextEncoding::Windows1252);

/// "Windows-1252" or "UTF-8", as the status bar and the menu name them.
QString encodingName(TextEncoding encoding);
/// The name a recovery journal keeps for the encoding.
QString journalName(TextEncoding encoding);
/// UTF-8 for the journal's "utf-8", else Windows-1252 (as a journal names it, or one made before
/// there was a choice). Whether a file has a mark is for its bytes to say.
TextEncoding encodingFromJournal(const QString &name);

} // namespace DocumentFormat
