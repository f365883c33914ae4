#include "app/assembly.h"
#include "editor/mainwindow.h"
#include "editor/startup.h"
#include "host/qthost.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    Startup::ignoreFileSizeSignal();
    // --help and --version answer before there is an application, so they need no display.
    Startup::describeProgram();
    const QString file = Startup::fileArgument(argc, argv);

    QApplication app(argc, argv);
    QApplication::setWindowIcon(Startup::programIcon());

    QtHost host;
    auto *window = new MainWindow(host);
    const Subsystems subsystems = assembleSubsystems(*window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    Startup::openAtStart(*subsystems.files, file);
    return app.exec();
}
