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
    const bool compact = args.size() == 2 && args[1] == u"compact";
    RecoveryFolder folder;
    if (!(compact || (args.size() == 3 && args[1] == u"type")) || !folder.open())
        return 1;
    JournalWriter writer(folder);
    if (!writer.start(JournalOrigin()))
        return 1;
    QString text = compact ? QStringLiteral("x") : args[2];
    writer.recordChange(0, 0, text);
    writer.flush();
    std::puts("ready");
    std::fflush(stdout);
    while (compact) {
        writer.writeSnapshot(text);
        writer.recordChange(text.size(), 0, u"x");
        text += u'x';
        writer.flush();
    }
    for (;;)
        ::pause();
}
