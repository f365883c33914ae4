#include "windowtest.h"

#include "app/assembly.h"
#include "editor/frmedit.h"
#include "fakehost.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace WindowTest {

frmedit *open(FakeHost &host)
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
    auto *window = new frmedit(host);
    assembleSubsystems(*window);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        delete window;
        return nullptr;
    }
    return window;
}

void close(frmedit *window)
{
    if (!window)
        return;
    window->setModified(false);
    delete window;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

} // namespace WindowTest
