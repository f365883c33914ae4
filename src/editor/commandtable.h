#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

class QAction;
class QMenuBar;

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

/// The actions made from a table, by object name, and the shortcuts they own.
struct CommandSet
{
    QHash<QString, QAction *> actions;
    QList<QKeySequence> shortcuts;
};

/// Builds the menus and rows into `menuBar`. Whoever handles a row connects to its action by
/// name afterwards; a name that finds no action makes that connection warn.
CommandSet buildCommands(QMenuBar *menuBar, std::span<const CommandRow> rows);
