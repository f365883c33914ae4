#pragma once

class EditArea;
class Host;

/// Copy, Cut and Paste on the system clipboard. The Edit menu's rows empty the clipboard first;
/// the toolbar's buttons do not.
namespace ClipboardCommands {

/// Puts the selected text on the clipboard; with nothing selected nothing happens.
void toolbarCopy(EditArea &area, Host &host);
/// Copies the selected text, then removes it, but only once the clipboard holds it.
void toolbarCut(EditArea &area, Host &host);
/// Replaces the selection with the clipboard's text (the empty text when it holds none).
void paste(EditArea &area, Host &host);

/// Empties the clipboard, then puts the selected text on it; with nothing selected the
/// clipboard stays empty.
void menuCopy(EditArea &area, Host &host);
/// As menuCopy, then removes the selected text, but only once the clipboard holds it.
void menuCut(EditArea &area, Host &host);
void clearClipboard(Host &host);

} // namespace ClipboardCommands
