#include "toolbarkeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QToolBar>

#include <algorithm>

ToolbarKeys::ToolbarKeys(QToolBar *toolbar, QWidget *text)
    : QObject(toolbar)
    , m_toolbar(toolbar)
    , m_text(text)
{
    for (QAction *action : toolbar->actions()) {
        QWidget *item = toolbar->widgetForAction(action);
        if (action->isSeparator() || !item)
            continue;
        if (!qobject_cast<QComboBox *>(item))
            item->setFocusPolicy(Qt::TabFocus);
        item->installEventFilter(this);
    }
    // F6 goes from one part of a window to the next in desktop programs, and no menu row has
    // it. The shortcut belongs to the toolbar, so it does nothing while the toolbar is hidden.
    auto *key = new QShortcut(QKeySequence(Qt::Key_F6), toolbar);
    key->setObjectName(QStringLiteral("toolbarkey"));
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, &ToolbarKeys::toggle);
}

// The controls the keyboard can go to, left to right: disabled ones (Copy and Cut with
// nothing selected) are passed over.
QList<QWidget *> ToolbarKeys::reachable() const
{
    QList<QWidget *> items;
    for (QAction *action : m_toolbar->actions()) {
        QWidget *item = m_toolbar->widgetForAction(action);
        if (!action->isSeparator() && item && item->isVisible() && item->isEnabled())
            items.append(item);
    }
    return items;
}

void ToolbarKeys::toggle()
{
    const QWidget *focus = QApplication::focusWidget();
    if (focus && m_toolbar->isAncestorOf(focus)) {
        returnToText();
        return;
    }
    const QList<QWidget *> items = reachable();
    if (!items.isEmpty())
        focusItem(items.constFirst());
}

// Moved by the keyboard, the control shows that it has it, as after Tab.
void ToolbarKeys::focusItem(QWidget *item)
{
    item->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    item->setFocus(Qt::TabFocusReason);
}

void ToolbarKeys::move(QWidget *from, int key)
{
    const QList<QWidget *> items = reachable();
    if (items.isEmpty())
        return;
    const qsizetype at = std::max<qsizetype>(items.indexOf(from), 0);
    qsizetype to = 0;
    switch (key) {
    case Qt::Key_Home:
        break;
    case Qt::Key_End:
        to = items.size() - 1;
        break;
    case Qt::Key_Left:
        to = (at + items.size() - 1) % items.size();
        break;
    default:
        to = (at + 1) % items.size();
        break;
    }
    focusItem(items.at(to));
}

void ToolbarKeys::returnToText()
{
    if (m_text)
        m_text->setFocus(Qt::ShortcutFocusReason);
}

// Whether the arrow `key` would leave the box's text: the caret is at that end of it, or the
// whole text is selected, as when the keyboard has just come to the box.
bool ToolbarKeys::atEdge(const QComboBox *box, int key)
{
    const QLineEdit *edit = box->lineEdit();
    if (!edit)
        return true;
    if (edit->hasSelectedText())
        return edit->selectedText() == edit->text();
    return edit->cursorPosition() == (key == Qt::Key_Left ? 0 : edit->text().size());
}

bool ToolbarKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *press = static_cast<QKeyEvent *>(event);
    if (press->modifiers() & ~Qt::KeypadModifier)
        return false;
    auto *item = static_cast<QWidget *>(watched);
    const bool isBox = qobject_cast<QComboBox *>(item) != nullptr;
    switch (press->key()) {
    case Qt::Key_Escape:
        returnToText();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (isBox && !atEdge(static_cast<QComboBox *>(item), press->key()))
            return false; // it moves in the box's text
        move(item, press->key());
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (isBox)
            return false; // they move in the box's text
        move(item, press->key());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QAbstractButton *>(item)) {
            button->click();
            return true;
        }
        return false;
    default:
        return false;
    }
}
