#include "bytedecoder.h"

#include <QtAlgorithms>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

ByteDecoder::ByteDecoder(const ByteTable &table)
    : m_table(table)
{
    for (int b = 0; b < 256; ++b) {
        m_crBytes[b] = table[b] == u'\r';
        if (table[b] != b) {
            m_changedFrom = std::min(m_changedFrom, b);
            m_changedTo = b;
        }
    }
}

void ByteDecoder::decode(const char *bytes, qsizetype count, char16_t *out) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes);
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixteen bytes widened at a time; those in the changed range, found by one signed compare
    // after shifting the range to the bottom, are then looked up one by one.
    if (m_changedTo - m_changedFrom < 255) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i shift = _mm_set1_epi8(char(0x80 - m_changedFrom));
        const __m128i above = _mm_set1_epi8(char(-128 + (m_changedTo - m_changedFrom) + 1));
        for (; i + 16 <= count; i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(
                reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(block, zero));
            if (m_changedTo < 0)
                continue;
            unsigned changed
                = unsigned(_mm_movemask_epi8(_mm_cmplt_epi8(_mm_add_epi8(block, shift), above)));
            for (; changed; changed &= changed - 1) {
                const qsizetype at = i + qCountTrailingZeroBits(changed);
                out[at] = m_table[p[at]];
            }
        }
    }
#endif
    // One table load a byte: testing for plain bytes first would mispredict on mixed text.
    for (; i < count; ++i)
        out[i] = m_table[p[i]];
}
