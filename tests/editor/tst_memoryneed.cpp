// The memory check of a load against what a load really takes: the real window, in a process of
// its own, opens files of three sizes and two line lengths under address-space limits around
// what they need. Each either opens and stays open or is refused; none may end the program.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestMemoryNeed : public QObject
{
    Q_OBJECT

private slots:
    void loadOpensOrIsRefusedUnderAnyLimit_data();
    void loadOpensOrIsRefusedUnderAnyLimit();

private:
    QTemporaryDir m_dir;
};

namespace {

struct ProbeEnd
{
    QString said;
    bool clean = false;
};

ProbeEnd probe(const QString &path, std::optional<qint64> headroom)
{
    QProcess process;
    QStringList args { path };
    if (headroom)
        args << QString::number(*headroom);
    process.start(QStringLiteral(LOADPROBE), args);
    process.waitForFinished(120000);
    return { QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 };
}

} // namespace

void TestMemoryNeed::loadOpensOrIsRefusedUnderAnyLimit_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<int>("lineLength");
    for (const qint64 mb : { 2, 8, 32 }) {
        for (const int length : { 12, 1000 }) {
            QTest::addRow("%lld MB in lines of %d", mb, length) << mb * 1000 * 1000 << length;
        }
    }
}

void TestMemoryNeed::loadOpensOrIsRefusedUnderAnyLimit()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer maps terabytes of shadow memory: address-space limits mean nothing");
#endif
    QFETCH(qint64, bytes);
    QFETCH(int, lineLength);
    QByteArray line(lineLength - 2, 'w');
    for (int at = 5; at < line.size(); at += 6)
        line[at] = ' ';
    line += "\r\n";
    const QString path = m_dir.filePath(QStringLiteral("%1-%2.txt").arg(bytes).arg(lineLength));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (qint64 written = 0; written < bytes; written += line.size())
        file.write(line);
    file.close();

    const ProbeEnd free = probe(path, std::nullopt);
    QVERIFY2(free.clean && free.said.startsWith(u"opened "), qPrintable(free.said));
    const qint64 growth = free.said.section(u' ', 1).toLongLong();
    qInfo("%s: the address space grew by %.1f MB at its peak", QTest::currentDataTag(),
        growth / 1e6);
    // Just above and below what it takes, and far above: never a crash, and room enough opens.
    for (const double share : { 0.5, 0.8, 1.0, 1.2, 1.5 }) {
        const ProbeEnd limited = probe(path, qint64(share * growth));
        QVERIFY2(limited.clean, qPrintable(QStringLiteral("%1 of the growth: %2")
                                              .arg(share).arg(limited.said)));
        QVERIFY2(limited.said == u"refused" || limited.said.startsWith(u"opened "),
            qPrintable(limited.said));
    }
    const ProbeEnd roomy = probe(path, 2 * growth + (64 << 20));
    QVERIFY2(roomy.clean && roomy.said.startsWith(u"opened "), qPrintable(roomy.said));
}

QTEST_GUILESS_MAIN(TestMemoryNeed)
#include "tst_memoryneed.moc"
