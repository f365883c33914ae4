#pragma once

class EditArea;
class Host;

/// The toolbar's clipboard buttons: they act on the system clipboard without emptying it first.
namespace ClipboardCommands {

/// Puts the selected text on the clipboard; with nothing selected nothing happens.
void toolbarCopy(EditArea &area, Host &host);
/// Copies the selected text, then removes it, but only once the clipboard holds it.
void toolbarCut(EditArea &area, Host &host);
/// Replaces the selection with the clipboard's text (the empty text when it holds none).
void paste(EditArea &area, Host &host);

} // namespace ClipboardCommands
