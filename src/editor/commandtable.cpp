#include "commandtable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

CommandSet buildCommands(QMenuBar *menuBar, std::span<const CommandRow> rows)
{
    CommandSet set;
    QHash<QString, QMenu *> menus;
    for (const CommandRow &row : rows) {
        const QString name = QLatin1String(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        QMenu *parentMenu = menus.value(QLatin1String(row.parent));
        Q_ASSERT_X(*row.parent == '\0' || parentMenu, "buildCommands", row.name);
        QAction *action = nullptr;
        switch (row.kind) {
        case CommandRow::Kind::Menu: {
            QMenu *menu = parentMenu ? parentMenu->addMenu(caption) : menuBar->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            action = menu->menuAction();
            break;
        }
        case CommandRow::Kind::Separator:
            action = parentMenu->addSeparator();
            break;
        case CommandRow::Kind::Row: {
            action = parentMenu ? parentMenu->addAction(caption) : menuBar->addAction(caption);
            if (*row.shortcut != '\0') {
                const QKeySequence sequence(
                    QLatin1String(row.shortcut), QKeySequence::PortableText);
                action->setShortcut(sequence);
                set.shortcuts.append(sequence);
            }
            action->setCheckable(row.flags & CommandRow::Checkable);
            action->setChecked((row.flags & CommandRow::Checked) == CommandRow::Checked);
            break;
        }
        }
        action->setObjectName(name);
        action->setEnabled(!(row.flags & CommandRow::Disabled));
        set.actions.insert(name, action);
    }
    return set;
}
