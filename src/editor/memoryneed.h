#pragma once

#include <QString>

#include <optional>

/// What showing a text in the edit area takes, and what to tell the user when the memory left
/// is too little. Measured on the widget: about 520 bytes a line, however short, on top of
/// about 3 bytes a character (its own copy of the text and the layout of wrapped lines).
namespace MemoryNeed {

/// Bytes the edit area takes to show `chars` characters in `lines` lines.
qint64 toShow(qint64 chars, qint64 lines);
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
