#include "readaloudcommands.h"

#include "editor/frmedit.h"
#include "host/editarea.h"
#include "host/toolwindow.h"
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
    // It has no owner, so it stays open when the main window closes.
    ToolWindow::single(m_loquen, [this] {
        return new LoquenWindow(m_window.host());
    })->showWithText(m_window.area()->text());
}

LoquenWindow *ReadAloudCommands::loquenWindow() const
{
    return m_loquen;
}
