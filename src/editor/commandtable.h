#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenuBar;
class QObject;

/// One row of the menu bar: a menu, a command row or a separator ("-" as caption). Rows follow
/// their menu in table order; `parent` names the menu a row belongs to (empty: the menu bar).
struct CommandRow
{
    enum class Kind { Menu, Row, Separator };

    Kind kind = Kind::Row;
    QString parent;
    QString name;
    QString caption;
    QString shortcut; // portable text such as "Ctrl+N"; empty for none
    std::function<void()> handler;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;

    static CommandRow menu(const QString &parent, const QString &name, const QString &caption);
    static CommandRow separator(const QString &parent, const QString &name);
    static CommandRow row(const QString &parent, const QString &name, const QString &caption,
                          const QString &shortcut, std::function<void()> handler);
    /// The same row with a check mark that starts set or clear.
    CommandRow withCheck(bool startChecked) &&;
    CommandRow disabled() &&;
};

/// The actions made from a table, by object name, and the shortcuts they own.
struct CommandSet
{
    QHash<QString, QAction *> actions;
    QList<QKeySequence> shortcuts;
};

/// Builds the menus and rows of `rows` into `menuBar`. Handlers are connected with `context` as
/// the receiver, so they stop when it is destroyed.
CommandSet buildCommands(QMenuBar *menuBar, const QList<CommandRow> &rows, QObject *context);
