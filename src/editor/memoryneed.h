#pragma once

#include <QString>

#include <optional>

/// What holding and showing a text takes, and what to tell the user when the memory left is too
/// little: the text itself, and a few bytes a line for the document's and the view's indexes.
namespace MemoryNeed {

/// Bytes the edit area takes to show `chars` characters in `lines` lines, the text held as a
/// file's bytes (one a character) when `asBytes`, else as UTF-16.
qint64 toShow(qint64 chars, qint64 lines, bool asBytes);
/// Bytes that reading a file of `fileBytes` bytes and showing it take at the least, before its
/// lines are known.
qint64 toReadAndShow(qint64 fileBytes);
/// "10 GB", "6.4 GB", "900 bytes" (units of 1000), rounded up or down.
QString sizeText(qint64 bytes, bool roundUp);
/// Nothing when `needed` fits in `available`; else the message that says so, naming the file's
/// lines when they are known and else its size.
std::optional<QString> refusal(
    qint64 fileBytes, std::optional<qint64> lines, qint64 needed, qint64 available);

} // namespace MemoryNeed
