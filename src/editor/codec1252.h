#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QStringView>

#include <array>

/// Windows-1252, the code page of the document files. Every byte has a character: the five bytes
/// the code page leaves out (81, 8D, 8F, 90, 9D) stand for the C1 controls of the same number,
/// so any file decodes and encodes back byte for byte.
namespace Codec1252 {

QString decode(QByteArrayView bytes);

/// The character of every byte, for a text kept as the file's bytes (TextBuffer).
const std::array<char16_t, 256> &decodeTable();

/// A character with no byte is written as one '?'; a surrogate pair counts as one character and
/// becomes one '?', a lone surrogate also becomes one '?'.
QByteArray encode(QStringView text);

/// Characters of `bytes` written to `out`, which has room for bytes.size() of them.
void decodeInto(QByteArrayView bytes, QChar *out);

/// Bytes of `text` written to `out`, which has room for text.size() bytes; returns how many
/// were written (fewer than text.size() when surrogate pairs became '?').
qsizetype encodeInto(QStringView text, char *out);

/// The characters that encode() would turn into '?'.
struct Unencodable
{
    qsizetype count = 0; // counted as encode() counts them, one per '?' written
    QString first; // the first `limit` distinct ones, in order of appearance
    qsizetype more = 0; // the distinct ones after those
    QSet<char32_t> distinct; // each of them once, a lone surrogate as its own unit
};
/// As many distinct characters as a box can list in a line or two.
inline constexpr int listLimit = 20;
/// The characters of `text` that encode() would turn into '?', leaving out those in `known`.
Unencodable findUnencodable(
    QStringView text, int limit = listLimit, const QSet<char32_t> &known = {});

} // namespace Codec1252
