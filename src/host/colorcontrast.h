#pragma once

class QColor;
class QPalette;

/// How well one colour reads on another, by the measure of the Web Content Accessibility
/// Guidelines, and the choice of a text colour that reads on a background the program sets.
namespace ColorContrast {

/// The contrast ratio of two colours: 1 for two alike, 21 for black and white.
double ratio(const QColor &first, const QColor &second);
/// `preferred` where it reads on `background` (a ratio of at least 4.5, enough for body text);
/// otherwise whichever of the palette's text and background colours reads best on it.
QColor readableOn(const QColor &background, const QColor &preferred, const QPalette &palette);

} // namespace ColorContrast
