#include "textcommands.h"

#include "editor/frmedit.h"

TextCommands::TextCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{
}

CommandHandlers TextCommands::handlers()
{
    return {};
}

void TextCommands::autocorrect() { }
