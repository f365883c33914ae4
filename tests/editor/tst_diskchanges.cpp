#include "editor/filecommands.h"
#include "editor/frmedit.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QAction>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using WindowTest::readBytes;

namespace {

// A time with no fraction of a second, so that a copy of it is exact.
const QDateTime kReadTime(QDate(2024, 3, 1), QTime(9, 30), Qt::UTC);

bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

/// Save and auto-save against a file that another program changed after this one read it.
class TestDiskChanges : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveAsksBeforeOverwritingAChangeMadeElsewhere_data();
    void saveAsksBeforeOverwritingAChangeMadeElsewhere();
    void autoSaveTellsOnceThenWaitsForASaveByHand();

private:
    // Opens "mine" from disk and types "x" before it.
    void openAndEdit();
    void changeElsewhere(const QString &how);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_file;
};

void TestDiskChanges::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestDiskChanges::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath(QStringLiteral("doc.txt"));
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestDiskChanges::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    delete m_dir;
}

void TestDiskChanges::openAndEdit()
{
    QVERIFY(WindowTest::writeBytes(m_file, "mine"));
    QVERIFY(setModified(m_file, kReadTime));
    m_host->answerOpenFile(m_file);
    m_window->command(QStringLiteral("open"))->trigger();
    QTest::keyClicks(m_window->area(), "x");
    m_host->forgetShown();
}

void TestDiskChanges::changeElsewhere(const QString &how)
{
    if (how == QLatin1String("grew")) {
        QVERIFY(WindowTest::writeBytes(m_file, "theirs"));
    } else if (how == QLatin1String("same size, later time")) {
        QVERIFY(WindowTest::writeBytes(m_file, "MINE"));
        QVERIFY(setModified(m_file, kReadTime.addSecs(60)));
    } else if (how == QLatin1String("replaced, same size and time")) {
        const QString next = m_file + QStringLiteral(".new");
        QVERIFY(WindowTest::writeBytes(next, "MINE"));
        QVERIFY(setModified(next, kReadTime));
        QVERIFY(std::rename(QFile::encodeName(next), QFile::encodeName(m_file)) == 0);
    } else {
        QVERIFY(QFile::remove(m_file));
    }
}

void TestDiskChanges::saveAsksBeforeOverwritingAChangeMadeElsewhere_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("left");

    QTest::newRow("grew, No keeps theirs") << "grew" << false << QByteArray("theirs");
    QTest::newRow("same size, later time, No keeps theirs")
        << "same size, later time" << false << QByteArray("MINE");
    QTest::newRow("replaced, same size and time, No keeps theirs")
        << "replaced, same size and time" << false << QByteArray("MINE");
    QTest::newRow("grew, Yes writes ours") << "grew" << true << QByteArray("xmine\r\n\r\n");
    QTest::newRow("removed, Yes writes ours") << "removed" << true << QByteArray("xmine\r\n\r\n");
}

void TestDiskChanges::saveAsksBeforeOverwritingAChangeMadeElsewhere()
{
    QFETCH(QString, how);
    QFETCH(bool, yes);
    QFETCH(QByteArray, left);

    openAndEdit();
    changeElsewhere(how);
    m_host->answerMessage(yes ? Host::Button::Yes : Host::Button::No);
    QTest::keyClick(m_window->area(), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(m_host->shown().size(), 1);
    const FakeHost::Shown question = m_host->lastShown();
    QCOMPARE(question.title, QStringLiteral("Confirm Save"));
    QCOMPARE(question.buttons, Host::Buttons::YesNo);
    QCOMPARE(question.defaultButton, Host::Button::No);
    QVERIFY2(question.prompt.contains(m_file), qPrintable(question.prompt));
    QCOMPARE(readBytes(m_file), left);
    QCOMPARE(m_window->star(), yes ? QString() : QStringLiteral("*"));

    // What Save wrote is this program's own: the next Save asks nothing.
    if (yes) {
        m_window->command(QStringLiteral("save"))->trigger();
        QCOMPARE(m_host->shown().size(), 1);
    }
}

void TestDiskChanges::autoSaveTellsOnceThenWaitsForASaveByHand()
{
    openAndEdit();
    changeElsewhere(QStringLiteral("grew"));
    m_host->answerMessage(Host::Button::Ok);
    for (int tick = 0; tick < 3; ++tick)
        m_window->findChild<FileCommands *>()->Timer1_Timer();

    QCOMPARE(m_host->shown().size(), 1);
    const FakeHost::Shown notice = m_host->lastShown();
    QCOMPARE(notice.title, QStringLiteral("Tarvex: Message"));
    QCOMPARE(notice.buttons, Host::Buttons::Ok);
    QVERIFY2(notice.prompt.contains(QStringLiteral("changed by another program")),
        qPrintable(notice.prompt));
    QCOMPARE(readBytes(m_file), QByteArray("theirs"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    // Saved by hand, the file is this program's again and auto-save resumes.
    m_host->answerMessage(Host::Button::Yes);
    m_window->command(QStringLiteral("save"))->trigger();
    QTest::keyClicks(m_window->area(), "y");
    m_window->findChild<FileCommands *>()->Timer1_Timer();
    QCOMPARE(m_host->shown().size(), 2);
    QCOMPARE(readBytes(m_file), QByteArray("xymine\r\n\r\n"));
}

QTEST_MAIN(TestDiskChanges)
#include "tst_diskchanges.moc"
