#pragma once

#include <QString>

class Document;

/// Small pictures of a document for test tables: the text with the selection in brackets
/// ("a [bc] d"), or with "|" at the caret when nothing is selected ("ab|c").
namespace TextPicture {

/// Makes the text the picture shows the document, as a file or New brings one in (unmodified,
/// corrected as it comes), and selects what it shows.
void show(Document &document, const QString &picture);
QString of(const Document &document);

} // namespace TextPicture
