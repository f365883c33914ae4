#include "autocorrection.h"

#include <cstdint>

namespace Autocorrection {

namespace {

// What one pattern changes where it matches: one or two characters from `at`.
struct Fix
{
    qsizetype at = -1;
    char16_t first = 0;
    char16_t second = 0;
};

// Only patterns that start with one of these can match.
inline bool mayStartPattern(char16_t c)
{
    return c == u' ' || c == u'.' || c == u'H';
}

constexpr qsizetype kBlock = 32;

// Whether a pattern may start in p[0, kBlock), looking up to three characters further. Written
// without branches so that the compiler checks the block in a few vector instructions; text
// without anything to correct is passed over a block at a time.
inline bool blockHasCandidate(const char16_t *p)
{
    std::uint16_t any = 0;
    for (qsizetype k = 0; k < kBlock; ++k) {
        const std::uint16_t c = p[k];
        const std::uint16_t n1 = p[k + 1];
        const std::uint16_t n2 = p[k + 2];
        const std::uint16_t n3 = p[k + 3];
        const std::uint16_t folded = n1 | 0x20;
        // " i" before a blank or mark (any of codes 0 to 63 will do) or before "nd"
        const std::uint16_t pronoun = (n1 == u'i') & ((n2 < 0x40) | ((n2 == u'n') & (n3 == u'd')));
        const std::uint16_t swapped = ((folded == u't') & (n2 == u'e') & (n3 == u'h'))
            | ((folded == u'a') & (n2 == u'd') & (n3 == u'n'));
        const std::uint16_t blank = (c == u' ') & (pronoun | swapped);
        const std::uint16_t dot = (c == u'.') & (std::uint16_t(n1 - u'A') < 26);
        const std::uint16_t http = (c == u'H') & (n1 == u't') & (n2 == u't');
        any |= blank | dot | http;
    }
    return any != 0;
}

// Calls visit(i) for every i in [from, n) where a pattern may start, in order, until it returns
// false. A fix never makes a place need a fix that the block check did not flag: the only new
// match a fix makes ("www." completed by a lowered "W") ends in a dot and a capital.
template <typename Visit>
void forEachCandidate(const char16_t *s, qsizetype n, qsizetype from, Visit visit)
{
    qsizetype i = from;
    for (; i + kBlock + 3 <= n; i += kBlock) {
        if (!blockHasCandidate(s + i))
            continue;
        for (qsizetype k = 0; k < kBlock; ++k) {
            if (mayStartPattern(s[i + k]) && !visit(i + k))
                return;
        }
    }
    for (; i < n; ++i) {
        if (mayStartPattern(s[i]) && !visit(i))
            return;
    }
}

// The fix of the pattern that starts at i, if any. No fix changes a character that another
// pattern needs as it stands (blanks, marks, "ttp", "om ", "ndia"), except that a lowered "W"
// can complete a "www." further on. So one scan from left to right over the text as corrected
// so far reaches the same text as rerunning every pass until none finds anything.
inline Fix fixAt(const char16_t *s, qsizetype n, qsizetype i)
{
    const auto at = [s, n](qsizetype k) { return k < n ? s[k] : char16_t(0); };
    switch (s[i]) {
    case u' ': {
        const char16_t next = at(i + 1);
        if (next == u'i') {
            const char16_t after = at(i + 2);
            if (after == u' ' || after == u'.' || after == u'?' || after == u'!'
                || (after == u'n' && at(i + 3) == u'd' && at(i + 4) == u'i' && at(i + 5) == u'a'))
                return { i + 1, u'I' }; // " i ", " i.", " i?", " i!", " india"
        } else if ((next == u't' || next == u'T') && at(i + 2) == u'e' && at(i + 3) == u'h'
            && at(i + 4) == u' ') {
            return { i + 2, u'h', u'e' }; // " teh ", " Teh "
        } else if ((next == u'a' || next == u'A') && at(i + 2) == u'd' && at(i + 3) == u'n'
            && at(i + 4) == u' ') {
            return { i + 2, u'n', u'd' }; // " adn ", " Adn "
        }
        break;
    }
    case u'.': {
        const char16_t next = at(i + 1);
        if (next == u'C' && at(i + 2) == u'o' && at(i + 3) == u'm' && at(i + 4) == u' ')
            return { i + 1, u'c' }; // ".Com "
        if (next >= u'A' && next <= u'Z' && i >= 3 && s[i - 3] == u'w' && s[i - 2] == u'w'
            && s[i - 1] == u'w')
            return { i + 1, char16_t(next + 32) }; // "www." and a capital
        break;
    }
    case u'H':
        if (at(i + 1) == u't' && at(i + 2) == u't' && at(i + 3) == u'p')
            return { i, u'h' }; // "Http"
        break;
    }
    return {};
}

qsizetype firstFix(const char16_t *s, qsizetype n)
{
    qsizetype first = -1;
    forEachCandidate(s, n, 0, [&](qsizetype i) {
        if (fixAt(s, n, i).at < 0)
            return true;
        first = i;
        return false;
    });
    return first;
}

} // namespace

QList<Pass> passes()
{
    QList<Pass> list {
        { QStringLiteral(" i "), QStringLiteral(" I ") },
        { QStringLiteral(" i."), QStringLiteral(" I.") },
        { QStringLiteral(" i?"), QStringLiteral(" I?") },
        { QStringLiteral(" i!"), QStringLiteral(" I!") },
        { QStringLiteral(" teh "), QStringLiteral(" the ") },
        { QStringLiteral(" Teh "), QStringLiteral(" The ") },
        { QStringLiteral(" adn "), QStringLiteral(" and ") },
        { QStringLiteral(" Adn "), QStringLiteral(" And ") },
        { QStringLiteral(".Com "), QStringLiteral(".com ") },
        { QStringLiteral("Http"), QStringLiteral("http") },
        { QStringLiteral(" india"), QStringLiteral(" India") },
    };
    for (char16_t c = u'@'; c <= u'Z'; ++c) {
        const QChar capital(c);
        list.append(
            { QStringLiteral("www.") + capital, QStringLiteral("www.") + capital.toLower() });
    }
    return list;
}

std::optional<QString> corrected(const QString &text)
{
    const qsizetype n = text.size();
    const qsizetype first = firstFix(reinterpret_cast<const char16_t *>(text.constData()), n);
    if (first < 0)
        return std::nullopt;
    QString result(text.constData(), n);
    char16_t *s = reinterpret_cast<char16_t *>(result.data());
    forEachCandidate(s, n, first, [&](qsizetype i) {
        const Fix fix = fixAt(s, n, i);
        if (fix.at >= 0) {
            s[fix.at] = fix.first;
            if (fix.second)
                s[fix.at + 1] = fix.second;
        }
        return true;
    });
    return result;
}

bool endsSentence(QChar ch)
{
    return ch == u'.' || ch == u'?' || ch == u'!';
}

} // namespace Autocorrection
