#include "helpcommands.h"

#include "aboutwindow.h"
#include "document/document.h"
#include "helptext.h"
#include "host/host.h"
#include "host/toolwindow.h"

#include <QWidget>

HelpCommands::HelpCommands(
    Document &document, Host &host, QWidget *owner, QWidget *view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
    , m_owner(owner)
    , m_view(view)
{ }

void HelpCommands::insertHelp()
{
    // A locked text takes nothing in: no question about a help text that could not go in.
    if (m_document.isLocked())
        return;
    if (m_document.isModified()) {
        const bool yes = m_host.messageBox(QStringLiteral("File not saved, proceed?"),
                             QStringLiteral("Help Alert"), Host::Icon::Question,
                             Host::Buttons::YesNo, Host::Button::No)
            == Host::Button::Yes;
        if (m_view)
            m_view->setFocus();
        if (!yes)
            return;
    }
    m_document.replaceSelection(helpText());
}

void HelpCommands::showAbout()
{
    ToolWindow::present(
        ToolWindow::single(m_about, [this] { return new AboutWindow(m_owner); }), nullptr);
}
