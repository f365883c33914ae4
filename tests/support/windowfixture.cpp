#include "windowfixture.h"

#include "app/assembly.h"
#include "editor/journalkeeper.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

void WindowFixture::init()
{
    // A connection that names a missing signal or slot is a wiring fault, not a warning.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
    m_dir = std::make_unique<QTemporaryDir>();
    m_stateHome = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && m_stateHome->isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_stateHome->path()));
    m_host = std::make_unique<FakeHost>();
    m_window = new MainWindow(*m_host);
    assembleSubsystems(*m_window);
    QVERIFY(m_window->journal().open());
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void WindowFixture::cleanup()
{
    m_host->whileProgressing = nullptr;
    delete std::exchange(m_window, nullptr);
    QCOMPARE(m_host->pendingAnswers(), 0);
    m_host.reset();
    m_dir.reset();
    m_stateHome.reset();
}

void WindowFixture::trigger(const char *name)
{
    QAction *action = m_window->command(QLatin1String(name));
    QVERIFY2(action, name);
    action->trigger();
}

bool WindowFixture::writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray WindowFixture::readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
