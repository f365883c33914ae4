#pragma once

#include <QChar>

/// The first character of a protected text: Open locks a document that starts with it, and
/// Protect puts it there.
inline constexpr QChar kProtectionMarker = QChar(0x0081);
