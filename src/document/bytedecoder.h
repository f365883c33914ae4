#pragma once

#include <QtGlobal>

#include <array>

/// Turns single-byte characters into UTF-16 through a table of 256 characters. Code pages keep
/// most bytes as Latin-1 does; the bytes whose character differs lie in a range (80-9F for
/// Windows-1252), so a block of bytes is widened as a whole and only bytes in that range are
/// looked up.
class ByteDecoder
{
public:
    using ByteTable = std::array<char16_t, 256>;

    explicit ByteDecoder(const ByteTable &table);

    char16_t operator()(char byte) const { return m_table[static_cast<unsigned char>(byte)]; }
    void decode(const char *bytes, qsizetype count, char16_t *out) const;
    /// The bytes whose character is CR (usually one, 0D).
    const std::array<bool, 256> &crBytes() const { return m_crBytes; }

private:
    ByteTable m_table;
    std::array<bool, 256> m_crBytes;
    int m_changedFrom = 256; // the smallest range of bytes that are not their own character
    int m_changedTo = -1;
};
