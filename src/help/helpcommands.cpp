#include "helpcommands.h"

#include "aboutwindow.h"
#include "editor/frmedit.h"
#include "helptext.h"
#include "host/editarea.h"
#include "host/host.h"
#include "host/toolwindow.h"

#include <QAction>

HelpCommands::HelpCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
{
    connect(window.command("helpa"), &QAction::triggered, this, &HelpCommands::helpa_Click);
    connect(window.command("about"), &QAction::triggered, this, &HelpCommands::about_Click);
}

void HelpCommands::helpa_Click()
{
    EditArea *area = m_window.area();
    // A locked text takes nothing in: no question about a help text that could not go in.
    if (area->locked())
        return;
    if (m_window.isModified()) {
        const bool yes = m_window.host().messageBox(QStringLiteral("File not saved, proceed?"),
                             QStringLiteral("Help Alert"), Host::Icon::Question,
                             Host::Buttons::YesNo, Host::Button::No)
            == Host::Button::Yes;
        area->setFocus();
        if (!yes)
            return;
    }
    area->setSelText(helpText());
}

void HelpCommands::about_Click()
{
    ToolWindow::present(
        ToolWindow::single(m_about, [this] { return new AboutWindow(&m_window); }), nullptr);
}

AboutWindow *HelpCommands::aboutWindow() const
{
    return m_about;
}
