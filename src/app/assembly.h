#pragma once

class AppearanceCommands;
class FileCommands;
class frmedit;
class HelpCommands;
class ProtectCommands;
class ReadAloudCommands;
class SearchCommands;
class TempClipCommands;
class TextCommands;

/// The command objects of every subsystem, children of the main window they serve.
struct Subsystems
{
    FileCommands *files;
    TextCommands *text;
    ProtectCommands *protect;
    AppearanceCommands *appearance;
    HelpCommands *help;
    SearchCommands *search;
    TempClipCommands *tempclip;
    ReadAloudCommands *readaloud;
};

/// Gives `window` its commands: makes each subsystem's command object, which connects itself
/// to its rows and controls. The main window knows none of them, so that it depends on no
/// subsystem.
Subsystems assembleSubsystems(frmedit &window);
