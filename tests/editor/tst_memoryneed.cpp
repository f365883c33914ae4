// The memory check of a load against what a load really takes: the real window, in a process of
// its own, opens files of three sizes and two line lengths under address-space limits around
// what they need. Each either opens and stays open or is refused; none may end the program.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMemoryNeed : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // What the probe said of `path` with `headroom` (none if negative), or "crashed" before it.
    static QString probe(const QString &path, qint64 headroom = -1)
    {
        QProcess process;
        process.start(QStringLiteral(LOADPROBE),
            headroom < 0 ? QStringList { path } : QStringList { path, QString::number(headroom) });
        process.waitForFinished(120000);
        const QString said = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        const bool clean = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        return clean ? said : u"crashed: "_s + said;
    }

private slots:
    void loadOpensOrIsRefusedUnderAnyLimit_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<int>("words"); // of five letters, a line
        for (const qint64 mb : { 2, 8, 32 }) {
            for (const int words : { 2, 166 })
                QTest::addRow("%lld MB in lines of %d words", mb, words) << mb * 1000000 << words;
        }
    }
    void loadOpensOrIsRefusedUnderAnyLimit()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP(
            "AddressSanitizer maps terabytes of shadow memory: address-space limits mean nothing");
#endif
        QFETCH(qint64, bytes);
        QFETCH(int, words);
        const QByteArray line = "wwwww "_ba.repeated(words) + "\r\n";
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(line.repeated(bytes / line.size())));
        file.close();

        const QString free = probe(path);
        QVERIFY2(free.startsWith(u"opened "), qPrintable(free));
        const qint64 growth = free.section(u' ', 1).toLongLong();
        // Just above and below what it takes, and far above: never a crash, and room enough opens.
        for (const double share : { 0.5, 0.8, 1.0, 1.2, 1.5 }) {
            const QString said = probe(path, qint64(share * growth));
            QVERIFY2(said == u"refused" || said.startsWith(u"opened "), qPrintable(said));
        }
        const QString roomy = probe(path, 2 * growth + (64 << 20));
        QVERIFY2(roomy.startsWith(u"opened "), qPrintable(roomy));
    }
};

QTEST_GUILESS_MAIN(TestMemoryNeed)
#include "tst_memoryneed.moc"
