#include "toolwindow.h"

#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

class EnterPresses : public QObject
{
public:
    EnterPresses(QComboBox *box, QPushButton *button)
        : QObject(box)
        , m_button(button)
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && m_button && m_button->isEnabled()) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QPushButton> m_button;
};

} // namespace

namespace ToolWindow {

Qt::WindowFlags dialogFlags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

void present(QWidget *window, QWidget *focus)
{
    window->show();
    // A dialog is centred on its owner at every showing unless its place was set; once shown,
    // it keeps the place the user left it at.
    window->setAttribute(Qt::WA_Moved);
    window->raise();
    window->activateWindow();
    if (!focus)
        return;
    focus->setFocus(Qt::ActiveWindowFocusReason);
    auto *box = qobject_cast<QComboBox *>(focus);
    if (auto *edit = box ? box->lineEdit() : qobject_cast<QLineEdit *>(focus))
        edit->selectAll();
}

void closeOwned(QWidget *owner)
{
    for (QDialog *dialog : owner->findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
        dialog->close();
}

void pressOnEnter(QComboBox *box, QPushButton *button)
{
    new EnterPresses(box, button);
}

void dismiss(QWidget *window)
{
    const bool wasActive = window->isActiveWindow();
    window->hide();
    if (wasActive && window->parentWidget())
        window->parentWidget()->window()->activateWindow();
}

void placeBeside(QWidget *window, const QWidget *owner)
{
    const QScreen *screen = owner->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect ownerFrame = owner->frameGeometry();
    const QRect ownerInside = owner->geometry();
    // A window not yet shown has no frame of its own; the owner's tells how wide one is.
    const QMargins frame(ownerInside.left() - ownerFrame.left(),
        ownerInside.top() - ownerFrame.top(), ownerFrame.right() - ownerInside.right(),
        ownerFrame.bottom() - ownerInside.bottom());
    const QSize outer = window->size().grownBy(frame);
    const int top = std::clamp(
        ownerFrame.top(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height()));
    if (ownerFrame.right() + outer.width() <= room.right())
        window->move(ownerFrame.right() + 1, top);
    else if (ownerFrame.left() - outer.width() >= room.left())
        window->move(ownerFrame.left() - outer.width(), top);
}

} // namespace ToolWindow
