#include "readaloudcommands.h"

#include "document/document.h"
#include "host/toolwindow.h"
#include "loquenwindow.h"

ReadAloudCommands::ReadAloudCommands(const Document &document, Host &host, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
{ }

void ReadAloudCommands::showReadAloud()
{
    // It has no owner, so it stays open when the main window closes.
    ToolWindow::single(m_loquen, [this] {
        return new LoquenWindow(m_host);
    })->showWithText(m_document.text());
}

LoquenWindow *ReadAloudCommands::loquenWindow() const
{
    return m_loquen;
}
