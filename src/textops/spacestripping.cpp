#include "spacestripping.h"

namespace SpaceStripping {

namespace {

qsizetype leadingSpaces(QStringView text)
{
    qsizetype count = 0;
    while (count < text.size() && text[count] == u' ')
        ++count;
    return count;
}

qsizetype trailingSpaces(QStringView text)
{
    qsizetype count = 0;
    while (count < text.size() && text[text.size() - 1 - count] == u' ')
        ++count;
    return count;
}

} // namespace

QString withoutLeadingSpaces(QStringView text)
{
    return text.sliced(leadingSpaces(text)).toString();
}

QString withoutTrailingSpaces(QStringView text)
{
    return text.chopped(trailingSpaces(text)).toString();
}

QString withoutOuterSpaces(QStringView text)
{
    return withoutTrailingSpaces(text.sliced(leadingSpaces(text)));
}

} // namespace SpaceStripping
