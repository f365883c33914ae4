#include "documentformat.h"

#include "codec1252.h"
#include "protectionmarker.h"

#include <algorithm>
#include <cstring>

namespace DocumentFormat {

namespace {

constexpr char cr = '\r';
constexpr char lf = '\n';

} // namespace

QString textFromFileBytes(QByteArrayView bytes)
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
        const auto *crAt = static_cast<const char *>(std::memchr(cur, cr, end - cur));
        const char *lineEnd = crAt ? crAt : end;
        Codec1252::decodeInto(QByteArrayView(cur, lineEnd), out);
        out += lineEnd - cur;
        cur = lineEnd;
        if (crAt) {
            ++cur;
            if (cur < end && *cur == lf) {
                ++cur;
            } else if (room - out < 2 + (end - cur) + 2) {
                // An eighth of what is left covers a whole file of bare-CR lines longer than
                // eight characters, so such a file grows once.
                const qsizetype written = out - text.data();
                const qsizetype more = std::max<qsizetype>(1024, (end - cur) / 8);
                text.resize(text.size() + more);
                out = text.data() + written;
                room = text.data() + text.size();
            }
        }
        out[0] = QLatin1Char(cr);
        out[1] = QLatin1Char(lf);
        out += 2;
    }
    text.resize(out - text.data());
    return text;
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

QByteArray fileBytesFromText(QStringView text)
{
    QByteArray bytes(text.size() + 2, Qt::Uninitialized);
    char *out = bytes.data();
    out += Codec1252::encodeInto(text, out);
    if (text.startsWith(kProtectionMarker))
        out = withoutLoadingLineFeeds(bytes.data(), out);
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

} // namespace DocumentFormat
