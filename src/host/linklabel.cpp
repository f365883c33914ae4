#include "linklabel.h"

#include "colorcontrast.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

LinkLabel::LinkLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setTextFormat(Qt::PlainText);
    setForegroundRole(QPalette::Link);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMargin(1); // room for the frame that shows the keyboard
    keepLinkReadable();
}

// A scheme's link colour may be too dim for its own window colour (dark schemes often are);
// the link is then drawn in a text colour of the scheme.
void LinkLabel::keepLinkReadable()
{
    QPalette palette = this->palette();
    const QColor link = ColorContrast::readableOn(palette.color(QPalette::Window),
        QApplication::palette(this).color(QPalette::Link), palette);
    if (palette.color(QPalette::Link) == link)
        return;
    palette.setColor(QPalette::Link, link);
    setPalette(palette);
}

void LinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        keepLinkReadable();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        activate();
    else
        QLabel::mouseReleaseEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
