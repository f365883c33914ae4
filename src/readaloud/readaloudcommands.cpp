#include "readaloudcommands.h"

#include "editor/frmedit.h"
#include "host/editarea.h"
#include "loquenwindow.h"

ReadAloudCommands::ReadAloudCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{ }

CommandHandlers ReadAloudCommands::handlers()
{
    return { { QStringLiteral("mnuloquen"), [this] { mnuloquen_Click(); } } };
}

void ReadAloudCommands::mnuloquen_Click()
{
    if (!m_loquen)
        m_loquen = new LoquenWindow(m_window.host());
    m_loquen->showWithText(m_window.area()->text());
}

LoquenWindow *ReadAloudCommands::loquenWindow() const
{
    return m_loquen;
}
