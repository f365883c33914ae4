#include "textrendering.h"

namespace TextRendering {

namespace {

constexpr QChar cr = QLatin1Char('\r');
constexpr QChar lf = QLatin1Char('\n');

} // namespace

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
