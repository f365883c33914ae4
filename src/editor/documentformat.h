#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// How a document file's bytes become the document text and back. The file is a list of
/// Windows-1252 lines; in the text every line ends with CR LF.
namespace DocumentFormat {

/// The text of a file: each line followed by CR LF. A line ends at CR LF or at a CR alone; an LF
/// not after a CR belongs to its line. An empty file gives the empty text.
QString textFromFileBytes(QByteArrayView bytes);

/// The bytes written for a text: the text in Windows-1252, then CR LF unless it ends with CR LF
/// already. A protected text (the protection marker first) has no line feed of its own: the one
/// loading put after each carriage return is left out, but for the line breaks at its end.
QByteArray fileBytesFromText(QStringView text);

} // namespace DocumentFormat
