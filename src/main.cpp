#include "app/assembly.h"
#include "editor/journalkeeper.h"
#include "editor/mainwindow.h"
#include "editor/recoveryoffer.h"
#include "editor/sessionend.h"
#include "editor/startup.h"
#include "host/qthost.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>

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
    // The work of instances that are gone comes back first, kept from then on like any other.
    window->journal().open();
    const QPointer<SessionEnd> sessionEnd = new SessionEnd(window->journal(), window);
    if (!RecoveryOffer::offerAtStart(*window, file))
        Startup::openAtStart(*subsystems.files, file);
    // A signal during the boxes: the main loop, which would forget it, does not start.
    if (sessionEnd && sessionEnd->quitAsked())
        return 0;
    return app.exec();
}
