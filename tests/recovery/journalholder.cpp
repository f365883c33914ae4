// Keeps a recovery journal alive in a process of its own, in the folder XDG_STATE_HOME points
// at, until it is killed: "type TEXT" types TEXT and waits; "compact" types and compacts
// without end. Says "ready" once its journal is on disk.
#include "recovery/journalwriter.h"
#include "recovery/recoveryfolder.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    RecoveryFolder folder;
    if (args.size() < 2 || !folder.open())
        return 1;
    JournalWriter writer(folder);
    if (!writer.start(JournalOrigin()))
        return 1;
    if (args[1] == u"type" && args.size() == 3) {
        writer.recordChange(0, 0, args[2]);
        writer.flush();
        std::puts("ready");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (args[1] == u"compact") {
        QString text;
        for (qint64 step = 0;; ++step) {
            writer.recordChange(text.size(), 0, u"x");
            text += u'x';
            writer.flush();
            writer.writeSnapshot(text);
            if (step == 0) {
                std::puts("ready");
                std::fflush(stdout);
            }
        }
    }
    return 1;
}
