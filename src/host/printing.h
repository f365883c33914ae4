#pragma once

#include <QString>

class QFont;
class QPagedPaintDevice;

/// Prints a document's true text (CR LF line breaks) on `device` in `font`, wrapping long lines
/// and starting new pages as needed.
void printPlainText(QPagedPaintDevice &device, const QString &text, const QFont &font);
