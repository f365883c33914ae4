#include "textaffixes.h"

#include <algorithm>
#include <cstring>

namespace {

// Compare in blocks first: memcmp is vectorised, a character loop is not.
constexpr qsizetype kBlock = 2048;

qsizetype commonPrefix(const QChar *a, const QChar *b, qsizetype n)
{
    qsizetype i = 0;
    while (i + kBlock <= n && std::memcmp(a + i, b + i, kBlock * sizeof(QChar)) == 0)
        i += kBlock;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

qsizetype commonSuffix(const QChar *aEnd, const QChar *bEnd, qsizetype n)
{
    qsizetype i = 0;
    while (i + kBlock <= n
        && std::memcmp(aEnd - i - kBlock, bEnd - i - kBlock, kBlock * sizeof(QChar)) == 0)
        i += kBlock;
    while (i < n && aEnd[-i - 1] == bEnd[-i - 1])
        ++i;
    return i;
}

} // namespace

TextAffixes TextAffixes::of(QStringView a, QStringView b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    TextAffixes affixes;
    affixes.prefix = commonPrefix(a.data(), b.data(), shorter);
    affixes.suffix
        = commonSuffix(a.data() + a.size(), b.data() + b.size(), shorter - affixes.prefix);
    return affixes;
}
