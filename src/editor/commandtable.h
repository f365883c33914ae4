#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <span>

class QAction;
class QMenuBar;
class QObject;

/// One row of the menu bar as plain data: a menu, a command row or a separator. Rows follow
/// their menu in table order; `parent` names the menu a row belongs to ("" for the menu bar).
struct CommandRow
{
    enum class Kind { Menu, Row, Separator };
    enum Flag { Plain = 0, Checkable = 1, Checked = 2 | Checkable, Disabled = 4 };

    Kind kind;
    const char *parent;
    const char *name;
    const char *caption;
    const char *shortcut = ""; // portable text such as "Ctrl+N"
    int flags = Plain;
};

/// What a row does when chosen, by the row's object name.
using CommandHandlers = QHash<QString, std::function<void()>>;

/// The actions made from a table, by object name, and the shortcuts they own.
struct CommandSet
{
    QHash<QString, QAction *> actions;
    QList<QKeySequence> shortcuts;
};

/// Builds the menus and rows into `menuBar` and connects each row that has a handler, with
/// `context` as the receiver so that nothing runs after it is gone.
CommandSet buildCommands(QMenuBar *menuBar, std::span<const CommandRow> rows,
    const CommandHandlers &handlers, QObject *context);
