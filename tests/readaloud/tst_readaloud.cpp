#include "document/document.h"
#include "fakehost.h"
#include "readaloud/loquenwindow.h"
#include "readaloud/readaloudcommands.h"
#include "view/textview.h"

#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The read-aloud window as the editor's row opens it, on a document of its own.
class TestReadAloud : public QObject
{
    Q_OBJECT

private slots:
    // Steps on a window opened on "→" with file a holding "a", CR, "b", file u "é" in UTF-8 and
    // file big 3 MB of lines "a big file" (read behind a progress window, as Open reads; its
    // memory check: tst_filecommands); then what the engine was asked, and the Pause button, its
    // row, the Resume button and its row as "+" for enabled and "-" for disabled with the box's
    // first line and what file b holds (as Latin-1), or "closed". A question asked with no answer
    // queued fails the test, as does an answer left unused.
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
        QTest::newRow("big file") << "load:big loadfile" << "" << "++-+ a big file";
        QTest::newRow("big, Cancel") << "load:big cancel@40 loadfile" << "" << "++-+ →";
        QTest::newRow("big, text sent") << "load:big mnuloquen@40 loadfile" << "" << "++-+ →";
        // clang-format on
    }

    void controls()
    {
        QFETCH(QString, steps);
        QFETCH(QString, calls);
        QFETCH(QString, window);
        FakeHost host;
        Document document;
        ReadAloudCommands commands(document, host);
        // The window is nobody's child: it goes before the host it talks through.
        const auto closing = qScopeGuard([&] { delete commands.loquenWindow(); });
        QTemporaryDir dir;
        const auto write = [&](const char *name, const QByteArray &bytes) {
            QFile file(dir.filePath(QLatin1String(name)));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        const QByteArray big = QByteArray("a big file\r\n").repeated(300000);
        QVERIFY(write("a", "a\rb") && write("u", "\xC3\xA9") && write("big", big));
        document.setText(u"\u2192"_s);
        commands.showReadAloud();
        LoquenWindow *loquen = commands.loquenWindow();
        QVERIFY(QTest::qWaitForWindowActive(loquen));
        // A button (play), a row of the window (player) or the editor's row (mnuloquen), a key
        // (F5), "fail": the engine fails from here on; "cancel@40" or "mnuloquen@40": Cancel, or
        // the editor's row, once a load's progress reaches 40; or the answer to the next box:
        // "ok", "yes", "no", or the file a load or save dialog gives ("load:a", "save:" for
        // Cancel).
        const QHash<QString, Host::Button> answers { { u"ok"_s, Host::Button::Ok },
            { u"yes"_s, Host::Button::Yes }, { u"no"_s, Host::Button::No } };
        for (const QString &control : steps.split(u' ', Qt::SkipEmptyParts)) {
            std::optional<QString> path; // Cancel
            if (!control.endsWith(u':'))
                path = dir.filePath(control.section(u':', 1));
            const int at = control.section(u'@', 1).toInt();
            if (control.startsWith(u"cancel@"))
                host.cancelProgressAt = at;
            else if (control.startsWith(u"mnuloquen@"))
                host.whileProgressing = [&commands, at, sent = false](int percent) mutable {
                    if (percent >= at && !std::exchange(sent, true))
                        commands.showReadAloud();
                };
            else if (control == u"fail")
                static_cast<FakeSpeechEngine *>(loquen->speech())->failure = u"no device"_s;
            else if (answers.contains(control))
                host.answerMessage(answers.value(control));
            else if (control.startsWith(u"load:"))
                host.answerOpenFile(path);
            else if (control.startsWith(u"save:"))
                host.answerSaveFile(path);
            else if (control.front().isUpper())
                QTest::keySequence(loquen, QKeySequence(control));
            else if (QPushButton *button = loquen->button(control))
                button->click();
            else if (QAction *row = loquen->command(control))
                row->trigger();
            else if (control == u"mnuloquen")
                commands.showReadAloud();
            else
                QFAIL(qPrintable(control));
        }
        QCOMPARE(static_cast<FakeSpeechEngine *>(loquen->speech())->calls.join(u' '), calls);
        QString seen = u' ' + loquen->textArea()->textDocument().text().section(u"\r\n"_s, 0, 0);
        for (QString name : { "mnuresume", "resumer", "pauser", "pause" }) {
            QPushButton *button = loquen->button(name);
            seen.prepend(
                (button ? button->isEnabled() : loquen->command(name)->isEnabled()) ? '+' : '-');
        }
        QFile b(dir.filePath(u"b"_s));
        if (b.open(QIODevice::ReadOnly))
            seen += u' ' + QString::fromLatin1(b.readAll());
        QCOMPARE(loquen->isVisible() ? seen : u"closed"_s, window);
        QCOMPARE(host.pendingAnswers(), 0);
    }
};

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
