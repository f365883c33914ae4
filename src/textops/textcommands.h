#pragma once

#include "editor/commandtable.h"

#include <QObject>

class frmedit;

/// The text commands of the Edit and Format menus and Auto Capitalise.
class TextCommands : public QObject
{
    Q_OBJECT

public:
    explicit TextCommands(frmedit &window);

    CommandHandlers handlers();
    /// Runs after every change of the text while Auto Capitalise is on.
    void autocorrect();

private:
    frmedit &m_window;
};
