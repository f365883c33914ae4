#include "clipboardcommands.h"

#include "document/document.h"
#include "host/host.h"

namespace ClipboardCommands {

bool toolbarCopy(Document &document, Host &host)
{
    const QString selected = document.selectedText();
    if (selected.isEmpty())
        return false;
    host.setClipboardText(selected);
    return true;
}

bool toolbarCut(Document &document, Host &host)
{
    const QString selected = document.selectedText();
    if (selected.isEmpty())
        return false;
    host.setClipboardText(selected);
    // Text that did not reach the clipboard would be lost: keep it.
    if (host.clipboardText() != selected)
        return false;
    document.replaceSelection(QString());
    return true;
}

bool paste(Document &document, Host &host)
{
    document.replaceSelection(host.clipboardText());
    return true;
}

bool menuCopy(Document &document, Host &host)
{
    host.clearClipboard();
    return toolbarCopy(document, host);
}

bool menuCut(Document &document, Host &host)
{
    host.clearClipboard();
    return toolbarCut(document, host);
}

} // namespace ClipboardCommands
