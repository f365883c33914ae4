#include "textrendering.h"

namespace TextRendering {

namespace {

constexpr QChar cr = QLatin1Char('\r');
constexpr QChar lf = QLatin1Char('\n');

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

} // namespace TextRendering
