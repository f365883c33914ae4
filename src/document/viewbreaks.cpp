#include "viewbreaks.h"

#include <algorithm>

namespace ViewBreaks {

namespace {

bool isViewBreak(char16_t ch)
{
    return ch == 0x2028 || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1;
}

} // namespace

bool holdsAny(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return isViewBreak(ch.unicode()); });
}

QString withoutAny(const QString &text)
{
    if (!holdsAny(text))
        return text;
    QString result;
    result.reserve(text.size() + 16);
    for (const QChar ch : text) {
        if (!isViewBreak(ch.unicode()))
            result.append(ch);
        else if (ch.unicode() >= 0xFDD0)
            result.append(QChar::ReplacementCharacter);
        else
            result.append(QLatin1String("\r\n"));
    }
    return result;
}

} // namespace ViewBreaks
