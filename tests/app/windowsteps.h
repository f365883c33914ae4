#pragma once

#include "editor/maintoolbar.h"
#include "editor/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

/// Opens windows as the user does: each step is a menu row of the main window ("mnureplace")
/// or the key of a toolbar button ("Properties"), triggered in turn.
inline void runSteps(MainWindow &window, const QString &steps)
{
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        QAction *action = window.toolbar()->button(step);
        if (!action)
            action = window.command(step);
        Q_ASSERT_X(action, "runSteps", qPrintable(step));
        action->trigger();
    }
}

/// The shown window named `name`, or null.
inline QWidget *shownWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}
