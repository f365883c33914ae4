#include "textrendering.h"

#include <algorithm>
#include <cstring>

namespace TextRendering {

namespace {

constexpr QChar cr = QLatin1Char('\r');
constexpr QChar lf = QLatin1Char('\n');

// U+2028, U+2029, U+FDD0 and U+FDD1.
inline bool isWidgetBreak(char16_t c)
{
    return (c & 0xFFFE) == 0x2028 || (c & 0xFFFE) == 0xFDD0;
}

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

QString toWidgetText(QStringView trueText)
{
    QString shown(trueText.size(), Qt::Uninitialized);
    QChar *out = shown.data();
    const qsizetype n = trueText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = trueText[i];
        if (ch == cr && i + 1 < n && trueText[i + 1] == lf) {
            *out++ = paragraphBreak;
            ++i;
        } else if (ch == cr) {
            *out++ = paragraphBreak;
        } else if (ch == lf) {
            *out++ = lfStandIn;
        } else {
            *out++ = ch;
        }
    }
    shown.truncate(out - shown.constData());
    return shown;
}

qsizetype nextBareCr(QStringView trueText, qsizetype from, qsizetype to)
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, trueText.size());
    // Only [from, to) is searched: an edit of a long line must not read the rest of the text.
    const QStringView searched = trueText.first(to);
    for (qsizetype i = searched.indexOf(cr, from); i >= 0; i = searched.indexOf(cr, i + 1)) {
        if (i + 1 == trueText.size() || trueText[i + 1] != lf)
            return i;
    }
    return -1;
}

bool hasBareCr(QStringView trueText, qsizetype from, qsizetype to)
{
    return nextBareCr(trueText, from, to) >= 0;
}

BareCrs findBareCrs(QStringView trueText)
{
    BareCrs found;
    qsizetype breaks = 0;
    for (qsizetype i = trueText.indexOf(cr); i >= 0; i = trueText.indexOf(cr, i + 1), ++breaks) {
        if (i + 1 == trueText.size() || trueText[i + 1] != lf) {
            found.positions.append(i);
            found.breaksBefore.append(breaks);
        }
    }
    return found;
}

qsizetype trueLengthOfUnits(QStringView trueText, qsizetype from, qsizetype units)
{
    qsizetype pos = from;
    const qsizetype n = trueText.size();
    for (qsizetype u = 0; u < units && pos < n; ++u) {
        if (trueText[pos] == cr && pos + 1 < n && trueText[pos + 1] == lf)
            pos += 2;
        else
            pos += 1;
    }
    return pos - from;
}

Range widenForRendering(QStringView trueText, Range range)
{
    if (range.from > 0 && trueText[range.from - 1] == cr)
        --range.from;
    if (range.to < trueText.size() && trueText[range.to] == lf)
        ++range.to;
    return range;
}

Affixes commonAffixes(QStringView a, QStringView b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    Affixes affixes;
    affixes.prefix = commonPrefix(a.data(), b.data(), shorter);
    affixes.suffix
        = commonSuffix(a.data() + a.size(), b.data() + b.size(), shorter - affixes.prefix);
    return affixes;
}

bool hasRunWithoutBreakOpportunity(QStringView text, qsizetype limit)
{
    qsizetype run = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
            run = 0;
        } else if (++run > limit) {
            return true;
        }
    }
    return false;
}

QString withCrLfLineBreaks(QStringView text)
{
    QString result;
    result.reserve(text.size() + text.count(lf));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == lf && (i == 0 || text[i - 1] != cr))
            result.append(cr);
        result.append(text[i]);
    }
    return result;
}

bool holdsWidgetBreaks(QStringView text)
{
    return std::any_of(
        text.begin(), text.end(), [](QChar ch) { return isWidgetBreak(ch.unicode()); });
}

QString withoutWidgetBreaks(const QString &text)
{
    if (!holdsWidgetBreaks(text))
        return text;
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar ch : text) {
        if (!isWidgetBreak(ch.unicode()))
            result.append(ch);
        else if (ch.unicode() >= 0xFDD0)
            result.append(QChar::ReplacementCharacter);
        else
            result.append(QLatin1String("\r\n"));
    }
    return result;
}

} // namespace TextRendering
