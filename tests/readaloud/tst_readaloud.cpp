#include "document/document.h"
#include "editor/memoryneed.h"
#include "fakehost.h"
#include "view/textview.h"
#include "readaloud/loquenwindow.h"
#include "readaloud/readaloudcommands.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The read-aloud window as the editor's row opens it, on a document of its own.
class TestReadAloud : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_host = std::make_unique<FakeHost>();
        m_document = std::make_unique<Document>();
        m_commands = std::make_unique<ReadAloudCommands>(*m_document, *m_host);
        m_dir = std::make_unique<QTemporaryDir>();
    }

    // The window is nobody's child: it goes before the host it talks through.
    void cleanup()
    {
        delete loquen();
        QCOMPARE(m_host->pendingAnswers(), 0);
    }

    // Steps on a window opened on "→" with file a holding "a", CR, "b" and file u "é" in UTF-8;
    // then what the engine was asked, and the Pause button, its row, the Resume button and its
    // row as "+" for enabled and "-" for disabled with the box's first line and what file b holds
    // (as Latin-1), or "closed". A question asked with no answer queued fails the test, as does
    // an answer left unused.
    void controls_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("window");
        // clang-format off
        QTest::newRow("just opened") << "" << "" << "++-+ →";
        QTest::newRow("by buttons") << "play pause resumer" << "say:→ pause resume" << "++-- →";
        QTest::newRow("by rows") << "player pauser mnuresume" << "say:→ pause resume" << "++-- →";
        QTest::newRow("by keys") << "F5 Ctrl+P Ctrl+R" << "say:→ pause resume" << "++-- →";
        QTest::newRow("Resume row at start") << "mnuresume" << "resume" << "++-- →";
        QTest::newRow("Pause row at start") << "pauser" << "pause" << "--++ →";
        QTest::newRow("Play while paused") << "play pause play" << "say:→ pause say:→" << "++-- →";
        QTest::newRow("reopen paused") << "play pause about mnuloquen" << "say:→ pause" << "--++ →";
        QTest::newRow("engine fails: told once") << "fail ok play pause" << "say:→ pause" << "--++ →";
        QTest::newRow("New, No keeps") << "no mnunew" << "" << "++-+ →";
        QTest::newRow("New, Yes clears; empty: no question") << "yes mnunew mnunew" << "" << "++-+ ";
        QTest::newRow("Close, No stays") << "no close" << "" << "++-+ →";
        QTest::newRow("Close, Yes stops the speech") << "play yes close" << "say:→ stop" << "closed";
        QTest::newRow("Exit row, Yes") << "yes exit" << "stop" << "closed";
        QTest::newRow("About fills the box") << "about" << "" << "++-+ Loquen v 1.0.0";
        QTest::newRow("Help row fills the box") << "help" << "" << "++-+ Loquen v 1.0.0";
        QTest::newRow("Load+Save") << "load:a loadfile save:b mnusave" << "" << "++-+ a a\r\nb\r\n";
        QTest::newRow("Load: none, Cancel") << "load:none loadfile load: mnuloadfile" << "" << "++-+ →";
        QTest::newRow("Save: Yes writes ?") << "save:b yes mnusave" << "" << "++-+ → ?\r\n";
        QTest::newRow("Save: No, Cancel") << "save:b no mnusave save: mnusave" << "" << "++-+ →";
        QTest::newRow("Save fails: told") << "save:no/b yes ok mnusave" << "" << "++-+ →";
        QTest::newRow("UTF-8 kept") << "load:u loadfile save:b mnusave" << "" << "++-+ é Ã©\r\n";
        // clang-format on
    }

    void controls()
    {
        QFETCH(QString, steps);
        QFETCH(QString, calls);
        QFETCH(QString, window);
        QVERIFY(write(u"a"_s, "a\rb") && write(u"u"_s, "\xC3\xA9"));
        m_document->setText(u"\u2192"_s);
        m_commands->showReadAloud();
        LoquenWindow *loquen = this->loquen();
        QVERIFY(QTest::qWaitForWindowActive(loquen));
        for (const QString &control : steps.split(u' ', Qt::SkipEmptyParts))
            step(control);
        QCOMPARE(static_cast<FakeSpeechEngine *>(loquen->speech())->calls.join(u' '), calls);
        QString seen = u' ' + loquen->textArea()->textDocument().text().section(u"\r\n"_s, 0, 0);
        for (QString name : { "mnuresume", "resumer", "pauser", "pause" }) {
            QPushButton *button = loquen->button(name);
            seen.prepend(
                (button ? button->isEnabled() : loquen->command(name)->isEnabled()) ? '+' : '-');
        }
        QFile b(pathOf(u"b"_s));
        if (b.open(QIODevice::ReadOnly))
            seen += u' ' + QString::fromLatin1(b.readAll());
        QCOMPARE(loquen->isVisible() ? seen : u"closed"_s, window);
    }

    // A big file is read and shown a piece at a time behind a progress window, as Open does: Cancel
    // keeps the box's text, a file too big for the memory left is refused and told, and the
    // editor's text sent meanwhile wins over the file. The editor's own text is never touched.
    void loadGoesThroughTheProgressWindow_data()
    {
        QTest::addColumn<QString>("arrival");
        QTest::addColumn<int>("at"); // the progress value it arrives at: reading below 20
        QTest::addColumn<QString>("box"); // "old" or "editor", or empty for the file's text
        QTest::addColumn<QString>("said"); // part of the last box

        QTest::newRow("runs to the end") << "" << 1000 << "" << "";
        QTest::newRow("Cancel late in the load") << "cancel" << 40 << "old" << "";
        QTest::newRow("the editor's text late in the load") << "mnuloquen" << 40 << "editor" << "";
        // Memory just enough to read a file of empty lines but too little for its lines.
        QTest::newRow("memory: too little for the lines") << "memory" << 0 << "old" << " has ";
    }

    void loadGoesThroughTheProgressWindow()
    {
        QFETCH(QString, arrival);
        QFETCH(int, at);
        QFETCH(QString, box);
        QFETCH(QString, said);
        // Empty lines where the memory is short: what its lines take outweighs its text.
        const QByteArray bytes = arrival == u"memory" ? QByteArray("\r\n").repeated(1 << 20) : [] {
            QByteArray bytes;
            for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i)
                bytes += "a line of a big file, number " + QByteArray::number(i) + "\r\n";
            return bytes;
        }();
        const QString big = pathOf(u"big.txt"_s);
        QVERIFY(write(u"big.txt"_s, bytes));
        m_document->setText(u"editor"_s);
        m_commands->showReadAloud();
        LoquenWindow *loquen = this->loquen();
        loquen->textArea()->textDocument().setText(u"old"_s);
        if (arrival == u"cancel")
            m_host->cancelProgressAt = at;
        bool arrived = false;
        m_host->whileProgressing = [&](int percent) {
            if (arrival == u"mnuloquen" && percent >= at && !std::exchange(arrived, true))
                m_commands->showReadAloud();
        };
        m_host->answerOpenFile(big);
        if (arrival == u"memory") {
            m_host->availableMemory = MemoryNeed::toReadAndShow(bytes.size()) + at;
            m_host->answerMessage(Host::Button::Ok);
        }
        loquen->button(u"loadfile"_s)->click();

        QVERIFY(!m_host->isShowingModal());
        QVERIFY2(m_host->lastShown().prompt.contains(said), qPrintable(m_host->lastShown().prompt));
        QCOMPARE(loquen->textArea()->textDocument().text(),
            box.isEmpty() ? QString::fromLatin1(bytes) : box);
        QVERIFY(m_document->text() == u"editor" && m_document->isModified());
    }

private:
    LoquenWindow *loquen() { return m_commands->loquenWindow(); }
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(pathOf(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // A button (play), a row of the window (player) or the editor's row (mnuloquen), a key (F5),
    // "fail": the engine fails from here on; or the answer to the next box: "ok", "yes", "no", or
    // the file a load or save dialog gives ("load:a", "save:" for Cancel).
    void step(const QString &control)
    {
        const QHash<QString, Host::Button> answers { { u"ok"_s, Host::Button::Ok },
            { u"yes"_s, Host::Button::Yes }, { u"no"_s, Host::Button::No } };
        std::optional<QString> path; // Cancel
        if (!control.endsWith(u':'))
            path = pathOf(control.section(u':', 1));
        if (control == u"fail")
            static_cast<FakeSpeechEngine *>(loquen()->speech())->failure = u"no device"_s;
        else if (answers.contains(control))
            m_host->answerMessage(answers.value(control));
        else if (control.startsWith(u"load:"))
            m_host->answerOpenFile(path);
        else if (control.startsWith(u"save:"))
            m_host->answerSaveFile(path);
        else if (control.front().isUpper())
            QTest::keySequence(loquen(), QKeySequence(control));
        else if (QPushButton *button = loquen()->button(control))
            button->click();
        else if (QAction *row = loquen()->command(control))
            row->trigger();
        else if (control == u"mnuloquen")
            m_commands->showReadAloud();
        else
            QFAIL(qPrintable(control));
    }

    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<Document> m_document;
    std::unique_ptr<ReadAloudCommands> m_commands;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
