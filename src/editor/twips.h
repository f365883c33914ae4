#pragma once

#include <QtGlobal>

/// Lengths of the window design are in twips: 1440 to the inch, 15 to a pixel at 96 DPI.
inline int twipsToPixels(int twips, qreal dotsPerInch)
{
    return qRound(twips * dotsPerInch / 1440.0);
}
