#pragma once

/// What the program sets up in the toolkit once, before its first window.
namespace Desktop {

/// Readable faces for the families the program asks for and a machine may lack ("Comic Sans
/// MS", "MS Sans Serif"), and names and roles for screen readers where the toolkit gives none
/// or says a name twice. The font keeps the family asked for; only what is drawn changes. Safe
/// to call again.
void prepare();

} // namespace Desktop
