#pragma once

#include <QString>

class QIcon;
class FileCommands;

/// What the program does before and right after its main window opens: its name, version and
/// icon, and the one file the command line may name (`tarvex [FILE]`).
namespace Startup {

/// The program's version, as --version and the About window show it; the build sets it from
/// the project's version.
inline QString version()
{
    return QStringLiteral(TARVEX_VERSION);
}
/// Makes a write past the file-size limit (ulimit -f) fail with EFBIG, so that Save puts the old
/// bytes back and tells the user, where the kernel's SIGXFSZ would end the program in the middle
/// of the write and take the unsaved text with it. Call it first, before anything is written.
void ignoreFileSizeSignal();
/// Sets the name, version and desktop file name; needs no application object yet.
void describeProgram();
/// The program's own icon, for its windows and the desktop.
QIcon programIcon();
/// The FILE named on the command line, or an empty string. --help, --version and a wrong
/// argument print their answer and end the program here. Call it before the application
/// object exists.
QString fileArgument(int argc, char *argv[]);
/// Opens `file`, relative to the current folder, as Open does once its dialog has chosen it. A
/// file that cannot be read leaves the document empty and says why in a message box.
void openAtStart(FileCommands &files, const QString &file);

} // namespace Startup
