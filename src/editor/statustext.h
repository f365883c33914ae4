#pragma once

#include <QString>

/// The status bar text: font size, font name, line count and the auto-save state.
QString statusBarText(double fontPointSize, const QString &fontName, int lineCount, bool autoSave);
