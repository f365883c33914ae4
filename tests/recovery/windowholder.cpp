// The real main window in a process of its own, its journal in the folder XDG_STATE_HOME points
// at, for the tests that end a process from outside:
//   type TEXT       types TEXT, says "ready PID" and waits (no flush unless something asks);
//   save FILE TEXT  opens FILE, puts TEXT in its place, says "saving PID" and saves.
// Says "ended" when its main loop ends.
#include "app/assembly.h"
#include "editor/filecommands.h"
#include "editor/journalkeeper.h"
#include "editor/mainwindow.h"
#include "editor/sessionend.h"
#include "host/qthost.h"
#include "view/textview.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto say = [](const char *what) {
        std::printf("%s %d\n", what, int(::getpid()));
        std::fflush(stdout);
    };
    QtHost host;
    MainWindow window(host);
    const Subsystems subsystems = assembleSubsystems(window);
    window.show();
    if (!window.journal().open())
        return 2;
    window.journal().setFlushDelay(3600 * 1000);
    SessionEnd sessionEnd(window.journal());
    if (args.value(1) == u"type" && args.size() == 3) {
        QTest::keyClicks(window.area(), args[2]);
        say("ready");
    } else if (args.value(1) == u"save" && args.size() == 4) {
        subsystems.files->openPath(args[2]);
        window.document().setText(args[3]);
        say("saving");
        window.command(QStringLiteral("save"))->trigger();
    } else {
        return 2;
    }
    const int code = app.exec();
    std::puts("ended");
    std::fflush(stdout);
    return code;
}
