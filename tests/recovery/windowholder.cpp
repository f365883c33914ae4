// The real main window in a process of its own, its journal in the folder XDG_STATE_HOME points
// at, for the tests that end a process from outside:
//   type TEXT       types TEXT, says "ready PID" and waits (no flush unless something asks);
//   save FILE TEXT  opens FILE, puts TEXT in its place, says "saving PID" and saves;
//   compact         keeps a journal of its own that it types into and compacts without end.
// Says "ended PID" when its main loop ends.
#include "app/assembly.h"
#include "editor/filecommands.h"
#include "editor/journalkeeper.h"
#include "editor/mainwindow.h"
#include "editor/sessionend.h"
#include "host/qthost.h"
#include "recovery/journalwriter.h"
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
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each line reaches the test as it is said
    const auto say = [](const char *what) { std::printf("%s %d\n", what, int(::getpid())); };
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
    } else if (args.value(1) == u"compact") {
        JournalWriter writer(window.journal().folder());
        if (!writer.start(JournalOrigin()))
            return 2;
        say("ready");
        for (QString text = QStringLiteral("x");; text += u'x') {
            writer.recordChange(text.size() - 1, 0, u"x");
            writer.flush();
            writer.writeSnapshot(text);
        }
    } else {
        return 2;
    }
    const int code = app.exec();
    say("ended");
    return code;
}
