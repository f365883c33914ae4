#include "startup.h"

#include "filecommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace Startup {

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

void describeProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarvex"));
    QCoreApplication::setApplicationVersion(version());
    // Lets the desktop match the windows to tarvex.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvex"));
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icons/tarvex.svg"));
}

QString fileArgument(int argc, char *argv[])
{
    // A core application of its own gives the usage line the program's name, and needs no
    // display for --help and --version.
    int count = argc;
    QCoreApplication parsing(count, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A plain-text editor for Windows-1252 text files with CR LF line breaks."));
    // Not addHelpOption(): its --help-all lists toolkit options that this program does not take.
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Displays this help."));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("The file to open at start."), QStringLiteral("[file]"));
    parser.process(parsing);
    if (parser.isSet(help))
        parser.showHelp(0);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        fputs("Tarvex: Only one file can be opened at a time.\n", stderr);
        std::exit(EXIT_FAILURE);
    }
    return files.value(0);
}

void openAtStart(FileCommands &files, const QString &file)
{
    if (!file.isEmpty())
        files.openPath(QFileInfo(file).absoluteFilePath());
}

} // namespace Startup
