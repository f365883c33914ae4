#pragma once

#include <QString>
#include <QStringView>

/// The Strip w/Spaces rows: only blanks (code 32) go, and only at the two ends of the whole
/// text, not at the ends of the lines inside it.
namespace SpaceStripping {

QString withoutLeadingSpaces(QStringView text);
QString withoutTrailingSpaces(QStringView text);
QString withoutOuterSpaces(QStringView text);

} // namespace SpaceStripping
