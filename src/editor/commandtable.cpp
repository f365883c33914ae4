#include "commandtable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

CommandRow CommandRow::menu(const QString &parent, const QString &name, const QString &caption)
{
    CommandRow r;
    r.kind = Kind::Menu;
    r.parent = parent;
    r.name = name;
    r.caption = caption;
    return r;
}

CommandRow CommandRow::separator(const QString &parent, const QString &name)
{
    CommandRow r;
    r.kind = Kind::Separator;
    r.parent = parent;
    r.name = name;
    r.caption = QStringLiteral("-");
    return r;
}

CommandRow CommandRow::row(const QString &parent, const QString &name, const QString &caption,
                           const QString &shortcut, std::function<void()> handler)
{
    CommandRow r;
    r.parent = parent;
    r.name = name;
    r.caption = caption;
    r.shortcut = shortcut;
    r.handler = std::move(handler);
    return r;
}

CommandRow CommandRow::withCheck(bool startChecked) &&
{
    checkable = true;
    checked = startChecked;
    return std::move(*this);
}

CommandRow CommandRow::disabled() &&
{
    enabled = false;
    return std::move(*this);
}

CommandSet buildCommands(QMenuBar *menuBar, const QList<CommandRow> &rows, QObject *context)
{
    CommandSet set;
    QHash<QString, QMenu *> menus;
    for (const CommandRow &row : rows) {
        QMenu *parentMenu = row.parent.isEmpty() ? nullptr : menus.value(row.parent);
        Q_ASSERT_X(row.parent.isEmpty() || parentMenu, "buildCommands",
                   qPrintable(QStringLiteral("menu %1 not defined before %2")
                                      .arg(row.parent, row.name)));
        QAction *action = nullptr;
        switch (row.kind) {
        case CommandRow::Kind::Menu: {
            QMenu *menu = parentMenu ? parentMenu->addMenu(row.caption)
                                     : menuBar->addMenu(row.caption);
            menu->setObjectName(row.name);
            menus.insert(row.name, menu);
            action = menu->menuAction();
            break;
        }
        case CommandRow::Kind::Separator:
            action = parentMenu->addSeparator();
            break;
        case CommandRow::Kind::Row:
            action = parentMenu ? parentMenu->addAction(row.caption)
                                : menuBar->addAction(row.caption);
            if (!row.shortcut.isEmpty()) {
                const QKeySequence sequence(row.shortcut, QKeySequence::PortableText);
                action->setShortcut(sequence);
                set.shortcuts.append(sequence);
            }
            action->setCheckable(row.checkable);
            action->setChecked(row.checked);
            if (row.handler)
                QObject::connect(action, &QAction::triggered, context, row.handler);
            break;
        }
        action->setObjectName(row.name);
        action->setEnabled(row.enabled);
        set.actions.insert(row.name, action);
    }
    return set;
}
