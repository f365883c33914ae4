#include "readaloudcommands.h"

#include "editor/frmedit.h"
#include "host/editarea.h"
#include "loquenwindow.h"

#include <QAction>

ReadAloudCommands::ReadAloudCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{
    connect(window.command("mnuloquen"), &QAction::triggered, this,
        &ReadAloudCommands::mnuloquen_Click);
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
