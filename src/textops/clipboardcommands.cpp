#include "clipboardcommands.h"

#include "host/editarea.h"
#include "host/host.h"

namespace ClipboardCommands {

void toolbarCopy(EditArea &area, Host &host)
{
    const QString selected = area.selText();
    if (selected.isEmpty())
        return;
    host.setClipboardText(selected);
    area.setFocus();
}

void toolbarCut(EditArea &area, Host &host)
{
    const QString selected = area.selText();
    if (selected.isEmpty())
        return;
    host.setClipboardText(selected);
    // Text that did not reach the clipboard would be lost: keep it.
    if (host.clipboardText() != selected)
        return;
    area.setSelText(QString());
    area.setFocus();
}

void paste(EditArea &area, Host &host)
{
    area.setSelText(host.clipboardText());
    area.setFocus();
}

void menuCopy(EditArea &area, Host &host)
{
    host.clearClipboard();
    toolbarCopy(area, host);
}

void menuCut(EditArea &area, Host &host)
{
    host.clearClipboard();
    toolbarCut(area, host);
}

void clearClipboard(Host &host)
{
    host.clearClipboard();
}

} // namespace ClipboardCommands
