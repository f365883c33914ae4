#pragma once

#include <QPointer>
#include <Qt>

class QComboBox;
class QPushButton;
class QWidget;

/// How the program's tool windows (find, master clipboard, font face, About, Properties) meet
/// the window system: real dialogs, shown modeless and brought to the keyboard.
namespace ToolWindow {

/// The single window held in `slot`, made by `make` when there is none yet (or the last one
/// was deleted on closing).
template <typename Window, typename Make> Window *single(QPointer<Window> &slot, Make make)
{
    if (!slot)
        slot = make();
    return slot;
}
/// Closes the tool windows `owner` holds (its child dialogs), as they go with its document.
/// Windows made without an owner stay open.
void closeOwned(QWidget *owner);

/// Window flags for a tool window: a dialog with a fixed border, a title and a close box, but
/// no minimise or maximise button.
Qt::WindowFlags dialogFlags();
/// Shows `window` modeless, in front and activated, with the keyboard in `focus` and its text
/// selected, so that what the user types next replaces it.
void present(QWidget *window, QWidget *focus);
/// Enter in the editable `box` presses `button`, also when the box has just completed what is
/// typed from its list (the completion would otherwise take the key for itself).
void pressOnEnter(QComboBox *box, QPushButton *button);
/// Hides `window`; when it had the keyboard, its owner's window takes it back, as the user
/// returns to the document.
void dismiss(QWidget *window);
/// Places the not yet shown `window` beside `owner`: to its right, or to its left, where the
/// screen has room; otherwise lets the window system place it.
void placeBeside(QWidget *window, const QWidget *owner);

} // namespace ToolWindow
