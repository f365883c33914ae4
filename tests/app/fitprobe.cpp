// Opens one window of the program, by the steps a user takes, on the screen the environment
// gives (the desktop tests run it at twice the scale on a 1280 x 1024 screen), and prints the
// screen's room in the toolkit's units, then each part of the window that is not on it: the
// window's frame, or a control outside the screen or cut by its window's edge.
#include "app/assembly.h"
#include "fakehost.h"
#include "windowsteps.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

QString describe(const QRect &rect)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    FakeHost host;
    MainWindow window(host);
    assembleSubsystems(window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    runSteps(window, QString::fromLocal8Bit(argv[2]));
    QWidget *shown = shownWindow(QString::fromLocal8Bit(argv[1]));
    if (!shown || !QTest::qWaitForWindowExposed(shown))
        return 3;
    QCoreApplication::processEvents();

    const QRect room = shown->screen()->availableGeometry();
    std::printf("screen %dx%d\n", room.width(), room.height());
    if (!room.contains(shown->frameGeometry()))
        std::printf("frame %s\n", qPrintable(describe(shown->frameGeometry())));
    const QRect inside = shown->geometry();
    for (const QWidget *control : shown->findChildren<QWidget *>()) {
        if (control->isWindow() || !control->isVisibleTo(shown))
            continue;
        const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (!room.contains(place) || !inside.contains(place)) {
            std::printf("%s %s %s\n", control->metaObject()->className(),
                qPrintable(control->objectName()), qPrintable(describe(place)));
        }
    }
    return 0;
}
