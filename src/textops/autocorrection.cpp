#include "autocorrection.h"

#include <algorithm>
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

// The longest pattern: a match that touches a change starts less than this before it.
constexpr qsizetype kLongestPattern = 6;

// Calls visit(i) for every i in [from, to) where a pattern may start, in order, and perhaps for
// a few more up to a block further; `to` may grow meanwhile. A fix never makes a place need a
// fix that the check of the text as given did not flag: no fix writes a blank, a dot or an "H",
// and the only new match a fix makes ("www." completed by a lowered "W") ends in a dot and a
// capital that were there before.
template <typename Visit>
void forEachCandidate(
    const char16_t *s, qsizetype n, qsizetype from, const qsizetype &to, Visit visit)
{
    qsizetype i = from;
    for (; i < to && i + kBlock + 3 <= n; i += kBlock) {
        if (!blockHasCandidate(s + i))
            continue;
        for (qsizetype k = i; k < i + kBlock; ++k) {
            if (mayStartPattern(s[k]))
                visit(k);
        }
    }
    for (; i < std::min(to, n); ++i) {
        if (mayStartPattern(s[i]))
            visit(i);
    }
}

// The text as corrected so far: the text as given, but for a copy of the stretch from the first
// fix to the last, so that correcting a few characters copies no more than those. Fixes come
// from left to right: each lies at or after the place the scan has reached.
class Draft
{
public:
    explicit Draft(const QString &text)
        : m_s(reinterpret_cast<const char16_t *>(text.constData()))
        , m_n(text.size())
    { }

    const char16_t *given() const { return m_s; }
    qsizetype size() const { return m_n; }

    char16_t at(qsizetype k) const
    {
        if (k < 0 || k >= m_n)
            return 0;
        const qsizetype inCopy = k - m_from;
        return inCopy >= 0 && inCopy < m_copy.size() ? m_copy.at(inCopy).unicode() : m_s[k];
    }

    void set(qsizetype k, char16_t c)
    {
        if (m_copy.isEmpty())
            m_from = k;
        Q_ASSERT(k >= m_from);
        const qsizetype copied = m_from + m_copy.size();
        if (k >= copied)
            m_copy.append(QStringView(m_s + copied, k + 1 - copied));
        m_copy[k - m_from] = QChar(c);
    }

    std::optional<Correction> correction() const
    {
        if (m_copy.isEmpty())
            return std::nullopt;
        return Correction { m_from, m_copy };
    }

private:
    const char16_t *m_s;
    qsizetype m_n;
    qsizetype m_from = 0;
    QString m_copy;
};

// The fix of the pattern that starts at i, if any. No fix changes a character that another
// pattern needs as it stands (blanks, marks, "ttp", "om ", "ndia"), except that a lowered "W"
// can complete a "www." further on. So one scan from left to right over the text as corrected
// so far reaches the same text as rerunning every pass until none finds anything.
inline Fix fixAt(const Draft &d, qsizetype i)
{
    switch (d.at(i)) {
    case u' ': {
        const char16_t next = d.at(i + 1);
        if (next == u'i') {
            const char16_t after = d.at(i + 2);
            if (after == u' ' || after == u'.' || after == u'?' || after == u'!'
                || (after == u'n' && d.at(i + 3) == u'd' && d.at(i + 4) == u'i'
                    && d.at(i + 5) == u'a'))
                return { i + 1, u'I' }; // " i ", " i.", " i?", " i!", " india"
        } else if ((next == u't' || next == u'T') && d.at(i + 2) == u'e' && d.at(i + 3) == u'h'
            && d.at(i + 4) == u' ') {
            return { i + 2, u'h', u'e' }; // " teh ", " Teh "
        } else if ((next == u'a' || next == u'A') && d.at(i + 2) == u'd' && d.at(i + 3) == u'n'
            && d.at(i + 4) == u' ') {
            return { i + 2, u'n', u'd' }; // " adn ", " Adn "
        }
        break;
    }
    case u'.': {
        const char16_t next = d.at(i + 1);
        if (next == u'C' && d.at(i + 2) == u'o' && d.at(i + 3) == u'm' && d.at(i + 4) == u' ')
            return { i + 1, u'c' }; // ".Com "
        if (next >= u'A' && next <= u'Z' && d.at(i - 3) == u'w' && d.at(i - 2) == u'w'
            && d.at(i - 1) == u'w')
            return { i + 1, char16_t(next + 32) }; // "www." and a capital
        break;
    }
    case u'H':
        if (d.at(i + 1) == u't' && d.at(i + 2) == u't' && d.at(i + 3) == u'p')
            return { i, u'h' }; // "Http"
        break;
    }
    return {};
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
    const std::optional<Correction> correction = correctedAround(text, 0, text.size());
    if (!correction)
        return std::nullopt;
    QString result = text;
    result.replace(correction->from, correction->text.size(), correction->text);
    return result;
}

std::optional<Correction> correctedAround(const QString &text, qsizetype from, qsizetype to)
{
    Draft draft(text);
    qsizetype end = to + kLongestPattern;
    forEachCandidate(draft.given(), draft.size(), std::max<qsizetype>(from - kLongestPattern, 0),
        end, [&](qsizetype i) {
            const Fix fix = fixAt(draft, i);
            if (fix.at < 0)
                return;
            draft.set(fix.at, fix.first);
            if (fix.second)
                draft.set(fix.at + 1, fix.second);
            // What the fix changed may complete a match a little further on.
            end = std::max(end, fix.at + 2 + kLongestPattern);
        });
    return draft.correction();
}

bool endsSentence(QChar ch)
{
    return ch == u'.' || ch == u'?' || ch == u'!';
}

} // namespace Autocorrection
