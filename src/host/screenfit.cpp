#include "screenfit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The frame of a window already shown tells how wide frames are; before any is shown, room for a
// title bar and a thin border.
QMargins frameOf(const QWidget *window)
{
    for (const QWidget *shown = window; shown;
         shown = shown->parentWidget() ? shown->parentWidget()->window() : nullptr) {
        const QRect outside = shown->frameGeometry();
        const QRect inside = shown->geometry();
        if (shown->isVisible() && outside != inside) {
            return QMargins(inside.left() - outside.left(), inside.top() - outside.top(),
                outside.right() - inside.right(), outside.bottom() - inside.bottom());
        }
    }
    const int border = 4;
    return QMargins(border, 2 * window->fontMetrics().height(), border, border);
}

QSize room(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return screen->availableGeometry().marginsRemoved(frameOf(window)).size();
}

} // namespace

namespace ScreenFit {

QSize fitted(const QWidget *window, const QSize &size)
{
    return size.boundedTo(room(window));
}

qreal scaleToFit(const QWidget *window, const QSize &size)
{
    const QSize available = room(window);
    if (size.width() <= 0 || size.height() <= 0)
        return 1.0;
    return std::min({ 1.0, available.width() / qreal(size.width()),
        available.height() / qreal(size.height()) });
}

} // namespace ScreenFit
