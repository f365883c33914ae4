#pragma once

class AppearanceCommands;
class AutoCapitalise;
class FileCommands;
class HelpCommands;
class MainWindow;
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
    AutoCapitalise *autoCapitalise;
    ProtectCommands *protect;
    AppearanceCommands *appearance;
    HelpCommands *help;
    SearchCommands *search;
    TempClipCommands *tempclip;
    ReadAloudCommands *readaloud;
};

/// Gives `window` its commands: makes each subsystem's command object over the window's document
/// and host, and wires the menu rows and controls to them. The main window knows none of them,
/// so that it depends on no subsystem.
Subsystems assembleSubsystems(MainWindow &window);
