#include "app/assembly.h"
#include "editor/documentformat.h"
#include "editor/journalkeeper.h"
#include "editor/protectionmarker.h"
#include "editor/recoveryoffer.h"
#include "editor/sessionend.h"
#include "recovery/journalformat.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Lines of a file longer than a journal writes whole when it begins.
QByteArray bigFileBytes(const QByteArray &line = "a line of a long file\r\n")
{
    QByteArray bytes;
    while (bytes.size() < 700 * 1000)
        bytes += line;
    return bytes;
}

} // namespace

/// The window's recovery journal: what it keeps of the document, what ends it, and what the next
/// start offers back from it; the ends from outside (signals, kill -9 in a save).
class TestRecoveryWindow : public WindowFixture
{
    Q_OBJECT

    QString recoveryPath() const { return m_stateHome->path() + u"/tarvex/recovery"_s; }
    QStringList journals() const
    {
        return QDir(recoveryPath()).entryList({ u"*.journal"_s }, QDir::Files, QDir::Name);
    }

    // The journal as a kill now would leave it, replayed on `base`.
    QString textOnDisk(const QString &base = {}) const
    {
        const QString path = m_window->journal().filePath();
        if (path.isEmpty())
            return u"<no journal>"_s;
        return JournalFormat::parse(readBytes(path)).replay(base).text;
    }

    MainWindow *newWindow()
    {
        auto *window = new MainWindow(*m_host);
        assembleSubsystems(*window);
        window->show();
        window->journal().open();
        return window;
    }

    // The program killed (its journal as far as flushed) and started again: a new window, which
    // offers what it finds.
    bool restart(const QString &fileAsked = {})
    {
        delete m_window;
        m_window = newWindow();
        return RecoveryOffer::offerAtStart(*m_window, fileAsked);
    }

    void type(const QString &text) { QTest::keyClicks(area(), text); }
    void openWith(const QString &file, const QByteArray &bytes)
    {
        QVERIFY(writeBytes(file, bytes));
        m_host->answerOpenFile(file);
        trigger("open");
    }

    // Gone, or a zombie that nothing can wake.
    static bool isDead(qint64 pid)
    {
        const QByteArray stat = readBytes(u"/proc/%1/stat"_s.arg(pid));
        const qsizetype end = stat.lastIndexOf(')');
        return stat == "<unreadable>" || (end > 0 && stat.mid(end + 2, 1) == "Z");
    }

    // The pid the holder says once it has come as far as `word`; 0 when it does not.
    static qint64 heldPid(QProcess &holder, const QByteArray &word)
    {
        while (holder.waitForReadyRead(30000)) {
            while (holder.canReadLine()) {
                const QByteArray line = holder.readLine().trimmed();
                if (line.startsWith(word + ' '))
                    return line.mid(word.size() + 1).toLongLong();
            }
        }
        return 0;
    }

private slots:
    // One kind of fault: a kill, after the journal's second has passed.
    void typedWorkComesBackAfterAKill_data()
    {
        QTest::addColumn<QString>("how");
        // An untitled text and a small file come back in answerDecidesWhatBecomesOfTheJournal and
        // changedFileIsToldAndLeftAlone ("same bytes").
        QTest::newRow("700 KB saved without its last line break, then typed") << u"big saved"_s;
        QTest::newRow("700 KB, ' i ' made ' I ' as it loaded, then typed") << u"corrected"_s;
        QTest::newRow("typed, then undone in part") << u"undo"_s;
        QTest::newRow("700 KB of UTF-8: comes back UTF-8") << u"utf-8"_s;
        // Typed into a file too long to be written whole: recorded against its bytes.
        QTest::newRow("700 KB of UTF-8 reopened as Windows-1252: comes back so") << u"reopened"_s;
    }

    void typedWorkComesBackAfterAKill()
    {
        QFETCH(QString, how);
        const QString file = pathOf(u"doc.txt"_s);
        if (how == u"big saved") {
            document().setText(QString::fromLatin1(bigFileBytes()).chopped(2));
            m_host->answerSaveFile(file);
            trigger("saveas");
            type(u"end"_s);
        } else if (how == u"corrected") {
            trigger("mnuautocapitalise");
            openWith(file, bigFileBytes("so i said\r\n"));
            QVERIFY(document().text().startsWith(u"so I said"));
            document().select(0, 0);
            type(u"Also "_s);
        } else if (how == u"undo") {
            type(u"one two"_s);
            document().undo();
            type(u"three"_s);
        } else if (how == u"utf-8" || how == u"reopened") {
            openWith(file, bigFileBytes("caf\xC3\xA9\r\n"));
            if (how == u"reopened")
                trigger("mnureopen");
            document().select(3, 0);
            type(u"XY"_s);
        }
        const TextEncoding encoding = document().encoding();
        QCOMPARE(isUtf8(encoding), how == u"utf-8");
        const QString text = document().text();
        const std::optional<QString> path = document().path();
        const QByteArray fileBytes = readBytes(file);
        // Within its second, with nothing asked for.
        const QString base = DocumentFormat::textFromFileBytes(fileBytes, encoding);
        QTRY_COMPARE(textOnDisk(base), text);
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), text);
        QCOMPARE(document().path(), path);
        QCOMPARE(document().encoding(), encoding);
        QVERIFY(document().isModified());
        QCOMPARE(readBytes(file), fileBytes);
    }

    void answerDecidesWhatBecomesOfTheJournal_data()
    {
        QTest::addColumn<QString>("answer"); // empty: Escape
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("offeredAgain");
        QTest::newRow("Recover: in the window, kept by its journal") << u"Recover"_s << u"Hello"_s << true;
        QTest::newRow("Not Now: offered again") << u"Not Now"_s << QString() << true;
        QTest::newRow("Escape: Not Now") << QString() << QString() << true;
        QTest::newRow("Discard: gone") << u"Discard"_s << QString() << false;
    }

    void answerDecidesWhatBecomesOfTheJournal()
    {
        QFETCH(QString, answer);
        QFETCH(QString, text);
        QFETCH(bool, offeredAgain);
        type(u"Hello"_s);
        if (answer.isEmpty())
            m_host->answerChoiceEscape();
        else
            m_host->answerChoice(answer);
        QCOMPARE(restart(), answer == u"Recover");
        const FakeHost::Shown box = m_host->lastShown();
        QVERIFY2(box.prompt.startsWith(u"An untitled document from "), qPrintable(box.prompt));
        QVERIFY2(box.prompt.contains(u", 5 characters."), qPrintable(box.prompt));
        QCOMPARE(box.title, u"Tarvex: Recovery"_s);
        QCOMPARE(box.answers, QStringList({ u"Recover"_s, u"Not Now"_s, u"Discard"_s }));
        QCOMPARE(document().text(), text);
        if (offeredAgain)
            m_host->answerChoice(u"Discard"_s);
        QVERIFY(!restart()); // offered again or not, as the answers queued say
        QCOMPARE(journals(), QStringList());
    }

    // One kind of fault: the file changed under the journal before the next start.
    void changedFileIsToldAndLeftAlone_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("answer"); // Recover: on the file only when its bytes are the same
        // clang-format off
        QTest::newRow("same bytes, a new time: on the file") << u"touched"_s << u"nothing is written to doc.txt until you save it"_s << u"Recover"_s;
        QTest::newRow("other bytes: untitled") << u"changed"_s << u"doc.txt has changed since: Recover puts the text in a new untitled"_s << u"Recover"_s;
        QTest::newRow("removed: untitled") << u"removed"_s << u"doc.txt is no longer there: Recover"_s << u"Recover"_s;
        QTest::newRow("700 KB, other bytes: cannot be put back") << u"big changed"_s << u"they cannot be put back"_s << u"Not Now"_s;
        // clang-format on
    }

    void changedFileIsToldAndLeftAlone()
    {
        QFETCH(QString, change);
        QFETCH(QString, told);
        QFETCH(QString, answer);
        const QString file = pathOf(u"doc.txt"_s);
        const bool big = change.startsWith(u"big");
        const QByteArray old = big ? bigFileBytes() : QByteArray("Line one\r\n");
        openWith(file, old);
        document().select(4, 0);
        type(u"XY"_s);
        const QString text = document().text();
        QTRY_COMPARE(textOnDisk(DocumentFormat::textFromFileBytes(old)), text);
        QByteArray now = old;
        now[0] = 'l';
        if (change == u"touched")
            now = old;
        if (change == u"removed")
            QVERIFY(QFile::remove(file));
        else
            QVERIFY(writeBytes(file, now));
        m_host->answerChoice(answer);
        QCOMPARE(restart(), answer == u"Recover");
        QVERIFY2(m_host->lastShown().prompt.contains(told), qPrintable(m_host->lastShown().prompt));
        if (answer == u"Recover") {
            QCOMPARE(document().text(), text);
            QCOMPARE(document().path().has_value(), change == u"touched");
        }
        QCOMPARE(readBytes(file), change == u"removed" ? QByteArray("<unreadable>") : now);
    }

    // One kind of fault: the journal cut in its last record, as a kill in a write leaves it.
    // (Files that hold no journal are never offered: tst_recovery's brokenFilesAreNeverOffered.)
    void cutJournalGivesWhatItHolds()
    {
        type(u"Hello world"_s);
        QVERIFY(m_window->journal().flushToDisk());
        const QString path = m_window->journal().filePath();
        delete m_window;
        m_window = nullptr;
        QVERIFY(writeBytes(path, readBytes(path).chopped(3)));
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), u"Hello worl"_s);
        QVERIFY(m_host->lastShown().prompt.contains(u"The record is damaged"));
    }

    void endingsDecideWhetherTheJournalStays_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("stays");
        QTest::newRow("Save") << u"save"_s << false;
        QTest::newRow("New, Yes to proceed") << u"new"_s << false;
        QTest::newRow("Open, No to saving") << u"open"_s << false;
        QTest::newRow("Exit, Yes to exit without saving") << u"exit yes"_s << false;
        QTest::newRow("Exit, No") << u"exit no"_s << true;
        QTest::newRow("session's end, then a close: no question") << u"session"_s << true;
    }

    void endingsDecideWhetherTheJournalStays()
    {
        QFETCH(QString, ending);
        QFETCH(bool, stays);
        type(u"Hello"_s);
        QCOMPARE(journals().size(), 1);
        if (ending == u"save") {
            m_host->answerSaveFile(pathOf(u"a.txt"_s));
            trigger("save");
        } else if (ending == u"new") {
            m_host->answerMessage(Host::Button::Yes);
            trigger("new");
        } else if (ending == u"open") {
            QVERIFY(writeBytes(pathOf(u"b.txt"_s), "b"));
            m_host->answerMessage(Host::Button::No);
            m_host->answerOpenFile(pathOf(u"b.txt"_s));
            trigger("open");
        } else if (ending.startsWith(u"exit")) {
            m_host->answerMessage(ending == u"exit yes" ? Host::Button::Yes : Host::Button::No);
            trigger("exit");
        } else if (ending == u"session") {
            SessionEnd(m_window->journal()).commitSession();
            QVERIFY(m_window->close());
        }
        QCOMPARE(journals().size(), int(stays));
        if (ending == u"session") {
            m_host->answerChoice(u"Recover"_s);
            QVERIFY(restart());
            QCOMPARE(document().text(), u"Hello"_s);
        }
    }

    void protectedTextLeavesNoPlainTextInTheFolder()
    {
        type(u"Meet me at noon"_s);
        QVERIFY(m_window->journal().flushToDisk());
        m_host->answerInput(u"abcde"_s);
        m_host->answerInput(u"abcde"_s);
        m_host->answerMessage(Host::Button::Ok); // "File protected"
        trigger("btncode");
        QVERIFY(document().isLocked());
        const QString protectedText = document().text();
        QVERIFY(protectedText.startsWith(kProtectionMarker));
        const QStringList files = QDir(recoveryPath()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QByteArray bytes = readBytes(recoveryPath() + u'/' + files[0]);
        for (const QString &word : { u"Meet"_s, u"me at"_s, u"noon"_s })
            QVERIFY2(!bytes.contains(QByteArrayView(
                         reinterpret_cast<const char *>(word.utf16()), word.size() * 2)),
                qPrintable(word));
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), protectedText);
        QVERIFY(document().isLocked());
    }

    void oneDocumentIsRecoveredAndTheOthersWait()
    {
        type(u"first"_s);
        MainWindow *second = newWindow();
        QTest::keyClicks(second->area(), u"second"_s);
        delete second;
        m_host->answerChoice(u"Recover"_s);
        m_host->answerMessage(Host::Button::Ok);
        QVERIFY(restart(pathOf(u"asked.txt"_s)));
        QCOMPARE(m_host->lastShown().prompt,
            u"1 more unsaved document waits for the next start of Tarvex.\n\n"_s
                + pathOf(u"asked.txt"_s)
                + u" was not opened: the window holds the recovered document."_s);
        const QString recovered = document().text();
        QVERIFY(recovered == u"first" || recovered == u"second");
        // The one recovered comes back too, kept by the new window's journal.
        m_host->answerChoice(u"Discard"_s);
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), recovered == u"first" ? u"second"_s : u"first"_s);
    }

    void signalPutsTheJournalOnDiskAndQuits_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalPutsTheJournalOnDiskAndQuits()
    {
        QFETCH(int, signal);
        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QStringLiteral(WINDOWHOLDER), { u"type"_s, u"Typed work"_s });
        const qint64 pid = heldPid(holder, "ready");
        QVERIFY(pid > 0);
        // The first key began the journal; the rest wait in memory for a flush.
        const QString file = QDir(recoveryPath()).entryList({ u"*.journal"_s }).value(0);
        QCOMPARE(
            JournalFormat::parse(readBytes(recoveryPath() + u'/' + file)).replay().text, u"T"_s);
        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(holder.readAll().contains("ended"));
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        QCOMPARE(document().text(), u"Typed work"_s);
    }

    // One kind of fault: a kill -9 while a save writes over its file in place. strace holds the
    // holder once the new text is written over the old one's start, before the file is cut to
    // the new length.
    void killInASaveInPlaceOffersTheOldBytes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("restored");
        QTest::newRow("Restore: the old bytes, the text on them") << u"Restore"_s << true;
        QTest::newRow("Discard: the file as the kill left it") << u"Discard"_s << false;
    }

    void killInASaveInPlaceOffersTheOldBytes()
    {
        QFETCH(QString, answer);
        QFETCH(bool, restored);
        const QString strace = QStandardPaths::findExecutable(u"strace"_s);
        QVERIFY2(!strace.isEmpty(), "strace is not installed (scripts/install-deps.sh)");
        const QString file = pathOf(u"notes.txt"_s), link = pathOf(u"link.txt"_s);
        const QByteArray old = "The old text of the notes, longer than the new one.\r\n";
        QVERIFY(writeBytes(file, old));
        // A second name: the save writes in place.
        QCOMPARE(::link(qPrintable(file), qPrintable(link)), 0);
        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(strace,
            { u"-f"_s, u"-o"_s, u"/dev/null"_s, u"-P"_s, file, u"-e"_s,
                u"inject=pwrite64:delay_exit=60000000"_s, QStringLiteral(WINDOWHOLDER), u"save"_s,
                file, u"short"_s });
        const qint64 pid = heldPid(holder, "saving");
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(readBytes(file).startsWith("short\r\n text"), 20000);
        // strace hangs on a tracee killed in its delay: it goes too, the kill already on its way.
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        holder.kill();
        QVERIFY(holder.waitForFinished(30000));
        QTRY_VERIFY_WITH_TIMEOUT(isDead(pid), 20000);
        const QByteArray torn = readBytes(file);
        QCOMPARE(torn.size(), old.size());

        m_host->answerChoice(answer);
        // The journal of the text being saved follows: on the file when it holds the old bytes.
        m_host->answerChoice(u"Recover"_s);
        QVERIFY(restart());
        const QString asked = m_host->shown().value(0).prompt;
        QVERIFY2(asked.startsWith(u"The save of notes.txt was interrupted: restore the file as"),
            qPrintable(asked));
        QCOMPARE(readBytes(file), restored ? old : torn);
        QCOMPARE(readBytes(link), readBytes(file));
        QCOMPARE(document().text(), u"short"_s);
        QCOMPARE(document().path().has_value(), restored);
        QCOMPARE(QDir(recoveryPath()).entryList({ u"*.saveguard"_s }), QStringList());
    }
};

QTEST_MAIN(TestRecoveryWindow)
#include "tst_recoverywindow.moc"
