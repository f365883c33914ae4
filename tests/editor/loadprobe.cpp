// Opens a file in the real main window, in a process of its own, under an address-space limit:
//   loadprobe FILE [HEADROOM]
// limits the address space to what the process maps now plus HEADROOM bytes (no limit without
// it), opens FILE, waits until the window has counted its lines, types a key and prints
// "opened GROWTH" (the growth of the address space at its peak, in bytes) or "refused". A load
// the limit cannot hold must end as "refused": any other end is a crash.
#include "app/assembly.h"
#include "editor/filecommands.h"
#include "editor/mainwindow.h"
#include "host/qthost.h"
#include "view/textview.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>

namespace {

// The real host, except that a box, which here can only be a refusal, does not wait.
struct TellingHost : QtHost
{
    bool refused = false;

    Button messageBox(
        const QString &, const QString &, Icon, Buttons, std::optional<Button>) override
    {
        refused = true;
        return Button::Ok;
    }
};

// The address space's `key` line of /proc/self/status, in bytes.
qint64 addressSpace(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray all = status.readAll();
    const qsizetype at = all.indexOf(key) + qstrlen(key);
    return all.mid(at, all.indexOf('\n', at) - at).trimmed().split(' ').value(0).toLongLong()
        * 1024;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TellingHost host;
    MainWindow window(host);
    const Subsystems subsystems = assembleSubsystems(window);
    window.show();
    QCoreApplication::processEvents();
    const qint64 before = addressSpace("VmSize:");
    const rlimit limit { rlim_t(before + args.value(2).toLongLong()), RLIM_INFINITY };
    if (args.size() > 2 && setrlimit(RLIMIT_AS, &limit) != 0)
        return 2;
    subsystems.files->openPath(args.value(1));
    if (host.refused) {
        std::puts("refused");
        return 0;
    }
    // Quiet: the lines counted and a moment with nothing left to do.
    if (!QTest::qWaitFor([&] { return window.area()->lineCountSettled(); }, 600000))
        return 3;
    QTest::qWait(200);
    QTest::keyClicks(window.area(), QStringLiteral("x"));
    QCoreApplication::processEvents();
    std::printf("opened %lld\n", addressSpace("VmPeak:") - before);
    return 0;
}
