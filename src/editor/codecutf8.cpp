#include "codecutf8.h"

#include <bit>
#include <cstring>

namespace CodecUtf8 {

bool startsWithMark(QByteArrayView bytes)
{
    return bytes.startsWith(kMark);
}

bool isUtf8BeyondAscii(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    bool beyondAscii = false;
    while (p < end) {
        // Most of a text is ASCII: eight bytes at a time, then straight to the first byte that
        // has its top bit.
        if (end - p >= 8) {
            quint64 block;
            std::memcpy(&block, p, 8);
            const quint64 high = block & 0x8080808080808080ULL;
            if (high == 0) {
                p += 8;
                continue;
            }
            if constexpr (std::endian::native == std::endian::little)
                p += std::countr_zero(high) / 8;
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned char low = 0x80, high = 0xBF; // the range of the byte after the lead
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0)
                low = 0xA0; // not overlong
            else if (lead == 0xED)
                high = 0x9F; // no surrogate
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0)
                low = 0x90; // not overlong
            else if (lead == 0xF4)
                high = 0x8F; // not above U+10FFFF
        } else {
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += more + 1;
        beyondAscii = true;
    }
    return beyondAscii;
}

} // namespace CodecUtf8
