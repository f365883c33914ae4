#include "colorcontrast.h"

#include <QColor>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kReadable = 4.5;

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

} // namespace

namespace ColorContrast {

double ratio(const QColor &first, const QColor &second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The candidates are the colours a palette pairs with each other, so one of them stands out
// from any background that is light or dark.
QColor readableOn(const QColor &background, const QColor &preferred, const QPalette &palette)
{
    if (ratio(preferred, background) >= kReadable)
        return preferred;
    QColor best = preferred;
    for (const QPalette::ColorRole role :
        { QPalette::Text, QPalette::Base, QPalette::WindowText, QPalette::Window }) {
        const QColor candidate = palette.color(role);
        if (ratio(candidate, background) > ratio(best, background))
            best = candidate;
    }
    return best;
}

} // namespace ColorContrast
