#include "searchprimitives.h"

namespace Search {

namespace {

inline char16_t lowerUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c | 0x20) : c;
    const char32_t lower = QChar::toLower(char32_t(c));
    return lower > 0xFFFF ? c : char16_t(lower); // keep the length
}

// Lower-case comparison of text[at, at + needle.size()) with an already lower-cased needle.
inline bool matchesAt(const char16_t *text, const char16_t *lowerNeedle, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        if (lowerUnit(text[i]) != lowerNeedle[i])
            return false;
    }
    return true;
}

// 0-based index of the first match at or after `from`, or -1.
qsizetype indexOf(
    QStringView text, QStringView find, QStringView lowerFind, qsizetype from, Case matchCase)
{
    if (matchCase == Case::Sensitive)
        return text.indexOf(find, from);
    const qsizetype n = text.size();
    const qsizetype m = lowerFind.size();
    const auto *t = reinterpret_cast<const char16_t *>(text.data());
    const auto *f = reinterpret_cast<const char16_t *>(lowerFind.data());
    const char16_t first = f[0];
    for (qsizetype i = from; i + m <= n; ++i) {
        if (lowerUnit(t[i]) == first && matchesAt(t + i + 1, f + 1, m - 1))
            return i;
    }
    return -1;
}

} // namespace

QString lowerSameLength(QStringView text)
{
    QString lower(text.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(lower.data());
    const auto *in = reinterpret_cast<const char16_t *>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = lowerUnit(in[i]);
    return lower;
}

qsizetype searchDown(QStringView text, QStringView find, qsizetype start, Case matchCase)
{
    if (find.isEmpty() || start < 1 || start > text.size())
        return 0;
    const QString lowerFind = matchCase == Case::Insensitive ? lowerSameLength(find) : QString();
    return indexOf(text, find, lowerFind, start - 1, matchCase) + 1;
}

qsizetype searchUp(QStringView text, QStringView find, qsizetype caret, Case matchCase)
{
    caret = std::min(caret, text.size());
    if (find.isEmpty() || caret < find.size())
        return 0;
    const QStringView before = text.first(caret);
    if (matchCase == Case::Sensitive)
        return before.lastIndexOf(find) + 1;
    const QString lowerFind = lowerSameLength(find);
    const auto *t = reinterpret_cast<const char16_t *>(before.data());
    const auto *f = reinterpret_cast<const char16_t *>(lowerFind.constData());
    for (qsizetype i = caret - find.size(); i >= 0; --i) {
        if (matchesAt(t + i, f, find.size()))
            return i + 1;
    }
    return 0;
}

QString replaceAll(
    QStringView text, QStringView find, QStringView replacement, Case matchCase, qsizetype *count)
{
    qsizetype replaced = 0;
    QString result;
    if (!find.isEmpty()) {
        const QString lowerFind
            = matchCase == Case::Insensitive ? lowerSameLength(find) : QString();
        qsizetype from = 0;
        for (qsizetype at = indexOf(text, find, lowerFind, 0, matchCase); at >= 0;
             at = indexOf(text, find, lowerFind, from, matchCase)) {
            if (replaced == 0)
                result.reserve(
                    text.size() + std::max<qsizetype>(0, replacement.size() - find.size()) * 16);
            result.append(text.mid(from, at - from));
            result.append(replacement);
            from = at + find.size();
            ++replaced;
        }
        if (replaced > 0)
            result.append(text.mid(from));
    }
    if (count)
        *count = replaced;
    return replaced > 0 ? result : text.toString();
}

} // namespace Search
