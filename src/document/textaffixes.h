#pragma once

#include <QStringView>

/// Lengths of the longest common prefix of two texts and of the longest common suffix that does
/// not overlap it: what an assignment of a whole text leaves as it was.
struct TextAffixes
{
    qsizetype prefix = 0;
    qsizetype suffix = 0;

    static TextAffixes of(QStringView a, QStringView b);
};
