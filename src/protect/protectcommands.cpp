#include "protectcommands.h"

#include "editor/frmedit.h"

ProtectCommands::ProtectCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{
}

CommandHandlers ProtectCommands::handlers()
{
    return {};
}
