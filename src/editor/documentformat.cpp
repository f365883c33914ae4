#include "documentformat.h"

#include "codec1252.h"
#include "codecutf8.h"
#include "protectionmarker.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace DocumentFormat {

namespace {

constexpr char cr = '\r';
constexpr char lf = '\n';

// The loading rule, the bytes turned into characters by `decode(bytes, out)`, which returns the
// end of what it wrote: at most one character a byte. A CR LF stays as it is, so everything up
// to a bare CR is decoded in one call (a line at a time costs a call a line); each bare CR gains
// an LF, and the last line a CR LF if it has no end.
template <typename Decode> QString linesFromBytes(QByteArrayView bytes, Decode decode)
{
    const char *cur = bytes.data();
    const char *const end = cur + bytes.size();
    if (cur == end)
        return {};

    // Right for a file whose lines all end in CR LF, or whose last line has no end; each bare
    // CR needs one character more, found on the way.
    QString text(bytes.size() + 2, Qt::Uninitialized);
    QChar *out = text.data();
    QChar *room = out + text.size();

    while (cur < end) {
        const char *bare = cur;
        while ((bare = static_cast<const char *>(std::memchr(bare, cr, end - bare)))) {
            if (bare + 1 == end || bare[1] != lf)
                break;
            bare += 2;
        }
        const char *runEnd = bare ? bare + 1 : end;
        out = decode(QByteArrayView(cur, runEnd), out);
        cur = runEnd;
        if (!bare)
            break;
        if (room - out < 1 + (end - cur) + 2) {
            // An eighth of what is left covers a whole file of bare-CR lines longer than eight
            // characters, so such a file grows once.
            const qsizetype written = out - text.data();
            const qsizetype more = std::max<qsizetype>(1024, (end - cur) / 8);
            text.resize(text.size() + more);
            out = text.data() + written;
            room = text.data() + text.size();
        }
        *out++ = QLatin1Char(lf);
    }
    if (out - text.data() < 2 || out[-2] != QLatin1Char(cr) || out[-1] != QLatin1Char(lf)) {
        out[0] = QLatin1Char(cr);
        out[1] = QLatin1Char(lf);
        out += 2;
    }
    text.resize(out - text.data());
    return text;
}

} // namespace

TextEncoding encodingOf(QByteArrayView bytes)
{
    if (CodecUtf8::startsWithMark(bytes))
        return TextEncoding::Utf8WithMark;
    return CodecUtf8::isUtf8BeyondAscii(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

TextEncoding utf8EncodingOf(QByteArrayView bytes)
{
    return CodecUtf8::startsWithMark(bytes) ? TextEncoding::Utf8WithMark : TextEncoding::Utf8;
}

QString textFromFileBytes(QByteArrayView bytes, TextEncoding encoding)
{
    if (!isUtf8(encoding)) {
        return linesFromBytes(bytes, [](QByteArrayView run, QChar *out) {
            Codec1252::decodeInto(run, out);
            return out + run.size();
        });
    }
    if (CodecUtf8::startsWithMark(bytes))
        bytes = bytes.sliced(CodecUtf8::kMark.size());
    // A run ends at a CR, which is never part of a longer sequence: runs decode apart. A mark
    // further on is a character (U+FEFF) of the text; only the file's first is left out.
    QStringDecoder decoder(QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return linesFromBytes(
        bytes, [&](QByteArrayView run, QChar *out) { return decoder.appendToBuffer(out, run); });
}

namespace {

// The loading rule in byte space, for a code page whose CR and LF are bytes 0D and 0A: an LF
// after each bare CR and a CR LF after a last line without one.
QByteArray linesOfBytes(QByteArray bytes)
{
    if (bytes.isEmpty())
        return bytes;
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    qsizetype bareCrs = 0;
    for (const char *at = begin; (at = static_cast<const char *>(std::memchr(at, cr, end - at)));
         ++at) {
        if (at + 1 == end || at[1] != lf)
            ++bareCrs;
    }
    // A last CR, bare or not, ends the text with CR LF once its LF is there.
    const bool lastLineEnds = end[-1] == cr || (end - begin >= 2 && end[-2] == cr && end[-1] == lf);
    if (bareCrs == 0 && lastLineEnds) {
        bytes.squeeze(); // the room left for reading, given back in place
        return bytes;
    }
    // Fixed in place, from the end back, so that the file is never held twice: the room left
    // after reading usually takes what is added, and else the array grows by realloc, which
    // moves a big block's pages rather than copying them.
    const qsizetype size = bytes.size();
    bytes.resize(size + bareCrs + (lastLineEnds ? 0 : 2));
    char *const data = bytes.data();
    char *out = data + bytes.size();
    if (!lastLineEnds) {
        *--out = lf;
        *--out = cr;
    }
    // [data, in) is still to place, [out, end) placed: out - in is the LFs yet to add.
    const char *in = data + size;
    char after = 0; // the file's byte after the CR placed next: the first one placed, if any
    while (out != in) {
        const auto *crAt = static_cast<const char *>(memrchr(data, cr, in - data));
        const char *runStart = crAt ? crAt + 1 : data;
        const auto run = size_t(in - runStart);
        if (run > 0)
            after = *runStart;
        out -= run;
        std::memmove(out, runStart, run);
        if (!crAt)
            break;
        if (after != lf)
            *--out = lf;
        *--out = cr;
        in = crAt;
        after = cr;
    }
    bytes.squeeze();
    return bytes;
}

} // namespace

TextBuffer bufferFromFileBytes(QByteArray bytes, TextEncoding encoding)
{
    if (isUtf8(encoding)) {
        const QString text = textFromFileBytes(bytes, encoding);
        bytes = QByteArray(); // gone before the text's index of CRs is made
        return TextBuffer(text);
    }
    // Moved on, so that the rule can fix the bytes in place when nothing else shares them.
    const QByteArray lines = linesOfBytes(std::move(bytes));
    return TextBuffer(lines, Codec1252::decodeTable());
}

namespace {

// A protected text has no line feed of its own: loading put one after each of its carriage
// returns. Left out again (but for the line breaks at its end), they give the protected file
// back byte for byte. Works in place on the bytes [begin, end); returns their new end.
char *withoutLoadingLineFeeds(char *begin, char *end)
{
    const char *bodyEnd = end;
    while (bodyEnd - begin >= 2 && bodyEnd[-2] == cr && bodyEnd[-1] == lf)
        bodyEnd -= 2;
    char *out = begin;
    char previous = 0;
    for (const char *in = begin; in < bodyEnd; ++in) {
        if (*in != lf || previous != cr)
            *out++ = *in;
        previous = *in;
    }
    return std::copy(bodyEnd, static_cast<const char *>(end), out);
}

} // namespace

QByteArray fileBytesFromText(QStringView text, TextEncoding encoding)
{
    QByteArray bytes;
    char *out = nullptr;
    char *textStart = nullptr;
    if (isUtf8(encoding)) {
        QStringEncoder encoder(QStringEncoder::Utf8);
        bytes.resize(CodecUtf8::kMark.size() + encoder.requiredSpace(text.size()) + 2);
        textStart = bytes.data();
        out = textStart;
        // Written here, since the encoder writes none before an empty text.
        if (encoding == TextEncoding::Utf8WithMark)
            out = std::copy(CodecUtf8::kMark.begin(), CodecUtf8::kMark.end(), out);
        out = encoder.appendToBuffer(out, text);
    } else {
        bytes.resize(text.size() + 2);
        textStart = bytes.data();
        out = textStart + Codec1252::encodeInto(text, textStart);
    }
    if (text.startsWith(kProtectionMarker))
        out = withoutLoadingLineFeeds(textStart, out);
    // Loading ends the last line with CR LF: a text that ends so already is written as it is,
    // so that opening and saving a file does not make it a line longer each time.
    if (!text.endsWith(u"\r\n")) {
        out[0] = cr;
        out[1] = lf;
        out += 2;
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

QString encodingName(TextEncoding encoding)
{
    return isUtf8(encoding) ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

QString journalName(TextEncoding encoding)
{
    return isUtf8(encoding) ? QStringLiteral("utf-8") : QStringLiteral("windows-1252");
}

TextEncoding encodingFromJournal(const QString &name)
{
    return name == journalName(TextEncoding::Utf8) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

} // namespace DocumentFormat
