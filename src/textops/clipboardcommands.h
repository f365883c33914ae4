#pragma once

class Document;
class Host;

/// Copy, Cut and Paste on the system clipboard. The Edit menu's rows empty the clipboard first;
/// the toolbar's buttons do not. Each returns whether it did its work, after which the command
/// gives the text the keyboard.
namespace ClipboardCommands {

/// Puts the selected text on the clipboard; with nothing selected nothing happens.
bool toolbarCopy(Document &document, Host &host);
/// Copies the selected text, then removes it, but only once the clipboard holds it.
bool toolbarCut(Document &document, Host &host);
/// Replaces the selection with the clipboard's text (the empty text when it holds none).
bool paste(Document &document, Host &host);

/// Empties the clipboard, then puts the selected text on it; with nothing selected the
/// clipboard stays empty.
bool menuCopy(Document &document, Host &host);
/// As menuCopy, then removes the selected text, but only once the clipboard holds it.
bool menuCut(Document &document, Host &host);

} // namespace ClipboardCommands
