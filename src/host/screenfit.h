#pragma once

#include <QtGlobal>

class QSize;
class QWidget;

/// Windows whose sizes come from their designed measures stay within the screen, whatever its
/// size and scale: a window larger than the room its screen leaves is made smaller.
namespace ScreenFit {

/// `size` for the inside of `window`, no larger than the room on its screen (the screen less
/// its panels) less the frame the window system puts around it.
QSize fitted(const QWidget *window, const QSize &size);
/// The factor by which a window's designed lengths shrink so that `size` fits as fitted()
/// says: 1 where it fits already. Windows laid out by fixed places shrink them all alike, so
/// that every control stays on screen and in its place relative to the others.
qreal scaleToFit(const QWidget *window, const QSize &size);

} // namespace ScreenFit
