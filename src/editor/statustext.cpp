#include "statustext.h"

#include <QLocale>

QString statusBarText(double fontPointSize, const QString &fontName, int lineCount, bool autoSave)
{
    // Numbers are written with a sign position: a blank before a number that is not negative.
    const QString lines
        = (lineCount >= 0 ? QStringLiteral(" ") : QString()) + QString::number(lineCount);
    return QLatin1String("Font size ")
        + QLocale::c().toString(fontPointSize, 'g', QLocale::FloatingPointShortest)
        + QLatin1String("  |  Font name ") + fontName + QLatin1String("  |   Number of lines: ")
        + lines + QLatin1String("  |   Auto Save: ")
        + (autoSave ? QLatin1String("True") : QLatin1String("False"));
}
