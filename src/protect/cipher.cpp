#include "cipher.h"

#include "editor/codec1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

// A protected file must read as 81 passes over the whole text would leave it, each pass reading
// what the ones before it left. Encoding and decoding here reach that in one scan each, because:
// - the word fragments ("and ", "the ", "in ", "on ", "of ", "est ") all end in their only
//   blank and none is the end of another, so no two occurrences ever overlap and every one of
//   them is replaced; ". " cannot overlap them either. So each blank decides, by the few
//   characters before it, whether a fragment ends there;
// - a run of line feeds (and of line-feed symbols already in the text) folds into pairs from
//   its start;
// - the "in " symbol followed by the "the " symbol folds into one, checked as the second is
//   written;
// - no symbol is the source of a later character pass, so the 71 character passes are one
//   lookup per character;
// - on decoding, every symbol expands to a fixed string that no later step reads again.

namespace Cipher {

namespace {

constexpr char16_t kPeriodBlank = 0x2018; // ". "
constexpr char16_t kLineFeed = 0x0160; // line feed
constexpr char16_t kTwoLineFeeds = 0x2039;
constexpr char16_t kAnd = 0x0152;
constexpr char16_t kThe = 0x2026;
constexpr char16_t kIn = 0x02C6;
constexpr char16_t kOn = 0x201C;
constexpr char16_t kOf = 0x2014;
constexpr char16_t kEst = 0x2013;
constexpr char16_t kInThe = 0x2030;

struct CharPass
{
    char16_t source;
    char16_t symbol;
};

// The character passes, in their order.
constexpr CharPass kCharPasses[] = {
    { u'a', 0x00FB },
    { u'b', 0x00B0 },
    { u'c', 0x008D },
    { u'd', 0x20AC },
    { u'e', 0x00E7 },
    { u'f', 0x00E1 },
    { u'g', 0x00BB },
    { u'h', 0x00B7 },
    { u'i', 0x00A7 },
    { u'j', 0x0192 },
    { u'k', 0x00A5 },
    { u'l', 0x00A3 },
    { u'm', 0x00B5 },
    { u'n', 0x00A6 },
    { u'o', 0x00FA },
    { u'p', 0x00DC },
    { u'q', 0x00FF },
    { u'r', 0x00E0 },
    { u's', 0x00F2 },
    { u't', 0x00F6 },
    { u'u', 0x00F4 },
    { u'v', 0x00DF },
    { u'w', 0x00C9 },
    { u'x', 0x00C5 },
    { u'y', 0x00C4 },
    { u'z', 0x00E6 },
    { u'A', 0x00A9 },
    { u'B', 0x00AB },
    { u'C', 0x00B3 },
    { u'D', 0x00AF },
    { u'E', 0x00B1 },
    { u'F', 0x00B2 },
    { u'G', 0x00B6 },
    { u'H', 0x00AE },
    { u'I', 0x00B9 },
    { u'J', 0x00BC },
    { u'K', 0x00BE },
    { u'L', 0x00D0 },
    { u'M', 0x00D7 },
    { u'N', 0x00D8 },
    { u'O', 0x00DD },
    { u'P', 0x00DE },
    { u'Q', 0x00F0 },
    { u'R', 0x00F1 },
    { u'S', 0x00F7 },
    { u'T', 0x00F8 },
    { u'U', 0x2022 },
    { u'V', 0x00FE },
    { u'W', 0x00FD },
    { u'X', 0x00CD },
    { u'Y', 0x00CC },
    { u'Z', 0x00CB },
    { u'0', 0x00BD },
    { u'1', 0x00AC },
    { u'2', 0x00BF },
    { u'3', 0x00AA },
    { u'4', 0x00BA },
    { u'5', 0x00EA },
    { u'6', 0x00EB },
    { u'7', 0x00E8 },
    { u'8', 0x00EF },
    { u'9', 0x00EE },
    { u' ', 0x007F },
    { u'?', 0x201E },
    { u'!', 0x201D },
    { u'.', 0x2020 },
    { u',', 0x2021 },
    { u'(', 0x017D },
    { u')', 0x008F },
    { u'<', 0x0090 },
    { u'"', 0x2019 },
};

struct Expansion
{
    char16_t symbol;
    std::u16string_view text;
};

// What the symbols of the word passes become again; two of them unfold into symbols of others
// first, which comes to the same strings.
constexpr Expansion kExpansions[] = {
    { kPeriodBlank, u". " }, { kOn, u"on " }, { kOf, u"of " }, { kAnd, u"and " },
    { kTwoLineFeeds, u"\n\n" }, { kLineFeed, u"\n" }, { kInThe, u"in the " }, { kIn, u"in " },
    { kThe, u"the " }, { kEst, u"est " }, { 0x0081, u"" }, // every marker goes
};

// Characters the encoder cannot map on their own: every word fragment ends in the blank, so the
// blank looks back at what came before it.
enum EncodeClass : std::uint8_t {
    Single,
    Blank,
    LineBreak,
    TheSymbol,
};

struct Tables
{
    std::array<char16_t, 0x10000> encodeChar;
    std::array<EncodeClass, 0x10000> encodeClass;
    std::array<char16_t, 0x10000> decodeChar;
    // 0: one for one by decodeChar; otherwise 1 + the index in kExpansions.
    std::array<std::uint8_t, 0x10000> decodeExpansion;
    std::array<std::uint8_t, 0x10000> decodeLength;
    std::array<bool, 0x10000> reserved;

    Tables()
    {
        for (int c = 0; c < 0x10000; ++c) {
            encodeChar[c] = char16_t(c);
            encodeClass[c] = Single;
            decodeChar[c] = char16_t(c);
            decodeExpansion[c] = 0;
            decodeLength[c] = 1;
            reserved[c] = false;
        }
        for (const CharPass &pass : kCharPasses) {
            encodeChar[pass.source] = pass.symbol;
            decodeChar[pass.symbol] = pass.source;
            reserved[pass.symbol] = true;
        }
        for (std::size_t i = 0; i < std::size(kExpansions); ++i) {
            const Expansion &expansion = kExpansions[i];
            decodeExpansion[expansion.symbol] = std::uint8_t(i + 1);
            decodeLength[expansion.symbol] = std::uint8_t(expansion.text.size());
            reserved[expansion.symbol] = true;
        }
        encodeClass[u' '] = Blank;
        encodeClass[u'\n'] = LineBreak;
        encodeClass[kLineFeed] = LineBreak;
        encodeClass[kThe] = TheSymbol;
    }
};

const Tables &tables()
{
    static const std::unique_ptr<const Tables> instance = std::make_unique<const Tables>();
    return *instance;
}

} // namespace

QString encode(QStringView text, QStringView password)
{
    const Tables &t = tables();
    const qsizetype size = text.size() + password.size() + 2;
    QString result(size, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(result.data());

    // Written backwards from the end: the password symbols, the separator, then the document's
    // substitution, so that it comes out reversed. The character written last is at *out.
    char16_t *out = begin + size;
    for (const QChar ch : password)
        *--out = t.encodeChar[ch.unicode()];
    *--out = separator.unicode();
    const char16_t *const textEnd = out;

    // The "the " symbol right after the "in " symbol folds into the pair's symbol.
    auto writeThe = [&] {
        if (out < textEnd && *out == kIn)
            *out = kInThe;
        else
            *--out = kThe;
    };

    const char16_t *const first = text.utf16();
    const char16_t *const last = first + text.size();
    for (const char16_t *in = first; in < last;) {
        const char16_t c = *in;
        // A surrogate pair goes out whole, high half first, as reversed text still reads it:
        // halves apart are no character, and a UTF-8 file cannot keep them.
        if (QChar::isHighSurrogate(c) && in + 1 < last && QChar::isLowSurrogate(in[1])) {
            *--out = in[1];
            *--out = c;
            in += 2;
            continue;
        }
        switch (t.encodeClass[c]) {
        case Single:
            *--out = t.encodeChar[c];
            ++in;
            continue;
        case LineBreak: {
            const char16_t *run = in;
            while (in < last && (*in == u'\n' || *in == kLineFeed))
                ++in;
            const qsizetype count = in - run;
            for (qsizetype pair = count / 2; pair > 0; --pair)
                *--out = kTwoLineFeeds;
            if (count % 2)
                *--out = kLineFeed;
            continue;
        }
        case TheSymbol:
            writeThe();
            ++in;
            continue;
        case Blank:
            break;
        }

        // The characters before the blank went out one for one; a fragment ending here takes
        // their place.
        const char16_t *const blank = in++;
        auto is = [&](qsizetype back, char16_t ch) {
            return blank - first >= back && blank[-back] == ch;
        };
        if (is(1, u'.')) {
            *out = kPeriodBlank;
        } else if (is(1, u'd') && is(2, u'n') && is(3, u'a')) {
            out += 3;
            *--out = kAnd;
        } else if (is(1, u'e') && is(2, u'h') && is(3, u't')) {
            out += 3;
            writeThe();
        } else if (is(1, u't') && is(2, u's') && is(3, u'e')) {
            out += 3;
            *--out = kEst;
        } else if (is(1, u'n') && is(2, u'i')) {
            out += 2;
            *--out = kIn;
        } else if (is(1, u'n') && is(2, u'o')) {
            out += 2;
            *--out = kOn;
        } else if (is(1, u'f') && is(2, u'o')) {
            out += 2;
            *--out = kOf;
        } else {
            *--out = t.encodeChar[u' '];
        }
    }
    *--out = marker.unicode();
    result.remove(0, out - begin);
    return result;
}

QString passwordSymbols(QStringView password)
{
    const Tables &t = tables();
    QString symbols(password.size(), Qt::Uninitialized);
    std::transform(password.begin(), password.end(), symbols.begin(),
        [&t](QChar ch) { return QChar(t.encodeChar[ch.unicode()]); });
    return symbols;
}

std::optional<QString> decode(QStringView protectedText, QStringView symbols)
{
    // Reversed, the text reads: password symbols, separator, substituted text, marker.
    const qsizetype size = protectedText.size();
    if (symbols.size() != passwordLength || size < passwordLength + 1)
        return std::nullopt;
    for (qsizetype i = 0; i < passwordLength; ++i) {
        if (protectedText[size - 1 - i] != symbols[i])
            return std::nullopt;
    }

    const Tables &t = tables();
    const char16_t *const first = protectedText.utf16();
    const char16_t *const last = first + size - (passwordLength + 1);
    qsizetype length = 0;
    for (const char16_t *in = first; in < last; ++in)
        length += t.decodeLength[*in];

    QString document(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(document.data());
    for (const char16_t *in = last; in-- > first;) {
        const char16_t c = *in;
        if (QChar::isLowSurrogate(c) && in > first && QChar::isHighSurrogate(in[-1])) {
            *out++ = *--in; // a pair, kept whole by encode()
            *out++ = c;
            continue;
        }
        if (const std::uint8_t expansion = t.decodeExpansion[c]) {
            const std::u16string_view text = kExpansions[expansion - 1].text;
            out = std::copy(text.begin(), text.end(), out);
        } else {
            *out++ = t.decodeChar[c];
        }
    }
    return document;
}

int firstCharacterCode(QStringView text)
{
    if (text.isEmpty())
        return 0;
    const qsizetype length = text.front().isHighSurrogate() && text.size() > 1 ? 2 : 1;
    return static_cast<unsigned char>(Codec1252::encode(text.first(length)).front());
}

bool isProtected(QStringView text)
{
    return firstCharacterCode(text) > 122;
}

qsizetype firstReserved(QStringView text)
{
    const Tables &t = tables();
    const auto found = std::find_if(
        text.begin(), text.end(), [&t](QChar ch) { return t.reserved[ch.unicode()]; });
    return found == text.end() ? -1 : found - text.begin();
}

qsizetype characterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

qsizetype firstUnstorable(QStringView password)
{
    // One code unit for one: an index of the lower case is one of the password.
    const QString stored = lowerCasePassword(password);
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar ch = stored[i];
        if (ch == u'\r' || ch == u'\n'
            || Codec1252::findUnencodable(QStringView(stored).sliced(i, 1)).count)
            return i;
    }
    return -1;
}

bool hasPasswordPlace(QStringView protectedText)
{
    const qsizetype size = protectedText.size();
    return size >= passwordLength + 2 && protectedText.front() == marker
        && protectedText[size - passwordLength - 1] == separator;
}

qsizetype firstForeign(QStringView protectedText)
{
    const Tables &t = tables();
    const qsizetype end = protectedText.size() - passwordLength - 1;
    for (qsizetype i = 1; i < end; ++i) {
        const char16_t c = protectedText[i].unicode();
        if (t.encodeChar[c] != c || c == u'\n')
            return i;
    }
    return -1;
}

QString lowerCasePassword(QStringView password)
{
    QString lower = password.toString();
    for (qsizetype i = 0; i < lower.size(); ++i) {
        const QChar ch = lower.at(i);
        if (ch.isHighSurrogate() && i + 1 < lower.size() && lower.at(i + 1).isLowSurrogate()) {
            const char32_t lowered = QChar::toLower(QChar::surrogateToUcs4(ch, lower.at(i + 1)));
            if (QChar::requiresSurrogates(lowered)) {
                lower[i] = QChar::highSurrogate(lowered);
                lower[i + 1] = QChar::lowSurrogate(lowered);
            }
            ++i;
            continue;
        }
        const char32_t lowered = QChar::toLower(char32_t(ch.unicode()));
        if (lowered != ch.unicode()) {
            if (!QChar::requiresSurrogates(lowered))
                lower[i] = QChar(char16_t(lowered));
            continue;
        }
        // The capital I with dot lowers to an i and a combining dot; the i is its simple form.
        const QString full = QString(ch).toLower();
        if (full.size() > 1 && !full.front().isSurrogate()
            && std::all_of(full.begin() + 1, full.end(), [](QChar c) { return c.isMark(); }))
            lower[i] = full.front();
    }
    return lower;
}

QString withoutLoadingLineBreaks(QStringView text)
{
    if (!text.endsWith(u"\r\n"))
        return text.toString();
    qsizetype end = text.size();
    while (end >= 2 && text[end - 2] == u'\r' && text[end - 1] == u'\n')
        end -= 2;

    QString result(end, Qt::Uninitialized);
    const char16_t *const first = text.utf16();
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    char16_t previous = 0;
    for (const char16_t *in = first; in < first + end; ++in) {
        if (!(*in == u'\n' && previous == u'\r'))
            *out++ = *in;
        previous = *in;
    }
    result.truncate(out - reinterpret_cast<char16_t *>(result.data()));
    return result;
}

} // namespace Cipher
