#pragma once

#include <QtGlobal>

/// Window lengths are kept in twips, 1440 to the inch (15 to a pixel at 96 DPI), so that a
/// window keeps its proportions at every resolution.
inline int twipsToPixels(int twips, qreal dotsPerInch)
{
    return qRound(twips * dotsPerInch / 1440.0);
}

/// Turns twips into pixels at one resolution, every length grown by `scale` where this
/// platform's captions need more room than the usual layout gives them.
class TwipsScale
{
public:
    explicit TwipsScale(qreal dotsPerInch, qreal scale = 1.0)
        : m_dotsPerInch(dotsPerInch)
        , m_scale(scale)
    { }

    int operator()(int twips) const
    {
        return twipsToPixels(qRound(twips * m_scale), m_dotsPerInch);
    }

private:
    qreal m_dotsPerInch;
    qreal m_scale;
};
