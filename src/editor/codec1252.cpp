#include "codec1252.h"

#include <array>
#include <vector>

namespace Codec1252 {

namespace {

// Bytes 80-9F; the rest of the code page is Latin-1. The five holes keep their C1 control.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table {};
    for (int b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
    return table;
}

// Byte of every UTF-16 unit, '?' where there is none. Surrogates are handled apart, since a
// pair is one character.
constexpr std::array<unsigned char, 65536> makeEncodeTable()
{
    std::array<unsigned char, 65536> table {};
    for (auto &byte : table)
        byte = '?';
    const auto decodeTable = makeDecodeTable();
    for (int b = 0; b < 256; ++b)
        table[decodeTable[b]] = static_cast<unsigned char>(b);
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();
constexpr auto kEncodeTable = makeEncodeTable();

inline bool isSurrogate(char16_t c)
{
    return (c & 0xF800) == 0xD800;
}

inline bool hasNoByte(char16_t c)
{
    return isSurrogate(c) || (kEncodeTable[c] == '?' && c != u'?');
}

// Units taken by the character at `i`: a well-formed surrogate pair is one character.
inline qsizetype unitsAt(const char16_t *p, qsizetype i, qsizetype n)
{
    return ((p[i] & 0xFC00) == 0xD800 && i + 1 < n && (p[i + 1] & 0xFC00) == 0xDC00) ? 2 : 1;
}

} // namespace

void decodeInto(QByteArrayView bytes, QChar *out)
{
    // One table load per byte beats skipping ASCII blocks: the branch mispredicts on mixed text.
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    auto *o = reinterpret_cast<char16_t *>(out);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        o[i] = kDecodeTable[p[i]];
}

const std::array<char16_t, 256> &decodeTable()
{
    return kDecodeTable;
}

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    decodeInto(bytes, text.data());
    return text;
}

qsizetype encodeInto(QStringView text, char *out)
{
    // A table load for every unit: testing for ASCII first costs mispredictions on mixed text.
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    char *o = out;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (isSurrogate(c)) [[unlikely]] {
            *o++ = '?';
            i += unitsAt(p, i, n) - 1;
            continue;
        }
        *o++ = char(kEncodeTable[c]);
    }
    return o - out;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(encodeInto(text, bytes.data()));
    return bytes;
}

Unencodable findUnencodable(QStringView text, int limit, const QSet<char32_t> &known)
{
    Unencodable found;
    // What each character of the basic plane is, once met: one hash look-up per distinct
    // character rather than per occurrence. Made only when the text holds one.
    enum Seen : unsigned char { Unseen, New, Known };
    std::vector<Seen> plane;
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!hasNoByte(p[i]))
            continue;
        const qsizetype units = unitsAt(p, i, n);
        const char32_t character = units == 2 ? QChar::surrogateToUcs4(p[i], p[i + 1]) : p[i];
        bool firstTime = false;
        bool isKnown = false;
        if (character < 0x10000) {
            if (plane.empty())
                plane.resize(0x10000, Unseen);
            Seen &seen = plane[character];
            if (seen == Unseen) {
                seen = known.contains(character) ? Known : New;
                firstTime = seen == New;
            }
            isKnown = seen == Known;
        } else {
            isKnown = known.contains(character);
            firstTime = !isKnown && !found.distinct.contains(character);
        }
        if (!isKnown) {
            ++found.count;
            if (firstTime) {
                if (found.distinct.size() < limit)
                    found.first.append(text.sliced(i, units));
                else
                    ++found.more;
                found.distinct.insert(character);
            }
        }
        i += units - 1;
    }
    return found;
}

} // namespace Codec1252
