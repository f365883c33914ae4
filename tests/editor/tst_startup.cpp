#include "editor/filecommands.h"
#include "editor/frmedit.h"
#include "editor/startup.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileNamedAtStartOpensAsOpenWould_data();
    void fileNamedAtStartOpensAsOpenWould();
    void unreadableFileAtStartLeavesTheEditorEmptyAndSaysWhy();
    void programIconDraws();

private:
    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_startFolder;
};

void TestStartup::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_startFolder = QDir::currentPath();
}

void TestStartup::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestStartup::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    QDir::setCurrent(m_startFolder);
    delete m_dir;
}

void TestStartup::fileNamedAtStartOpensAsOpenWould_data()
{
    QTest::addColumn<QString>("argument");
    QTest::newRow("name in the current folder") << "notes.txt";
    QTest::newRow("relative path through . and ..") << "./sub/../notes.txt";
    QTest::newRow("full path through ..") << "<folder>/sub/../notes.txt";
}

void TestStartup::fileNamedAtStartOpensAsOpenWould()
{
    QFETCH(QString, argument);
    const QString file = m_dir->filePath(QStringLiteral("notes.txt"));
    QVERIFY(WindowTest::writeBytes(file, "first\rsecond"));

    Startup::openAtStart(*m_window->findChild<FileCommands *>(),
        argument.replace(QLatin1String("<folder>"), m_dir->path()));

    QCOMPARE(m_window->area()->text(), QStringLiteral("first\r\nsecond\r\n"));
    QCOMPARE(m_window->saveme(), file);
    QCOMPARE(m_window->title(), file + QStringLiteral("[]  - Tarvex"));
    QVERIFY(m_window->loadedfromfile());
    QVERIFY(m_host->shown().isEmpty());
}

void TestStartup::unreadableFileAtStartLeavesTheEditorEmptyAndSaysWhy()
{
    m_host->answerMessage(Host::Button::Ok);
    Startup::openAtStart(*m_window->findChild<FileCommands *>(), QStringLiteral("missing.txt"));

    const FakeHost::Shown box = m_host->lastShown();
    QVERIFY2(box.prompt.contains(m_dir->filePath(QStringLiteral("missing.txt"))),
        qPrintable(box.prompt));
    QVERIFY2(box.prompt.contains(QStringLiteral("does not exist")), qPrintable(box.prompt));
    QCOMPARE(m_window->area()->text(), QString());
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[] -Tarvex"));
}

void TestStartup::programIconDraws()
{
    QVERIFY(!Startup::programIcon().pixmap(48, 48).isNull());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
