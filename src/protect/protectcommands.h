#pragma once

#include "editor/commandtable.h"

#include <QObject>

class frmedit;

/// Protect File and UnProtect File.
class ProtectCommands : public QObject
{
    Q_OBJECT

public:
    explicit ProtectCommands(frmedit &window);

    CommandHandlers handlers();

private:
    frmedit &m_window;
};
