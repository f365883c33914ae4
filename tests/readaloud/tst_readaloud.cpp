#include "readaloud/loquenwindow.h"
#include "readaloud/readaloudcommands.h"
#include "windowfixture.h"

#include <QPushButton>
#include <QTest>

class TestReadAloud : public WindowFixture
{
    Q_OBJECT

private slots:
    void controls_data();
    void controls();

private:
    LoquenWindow *loquen() { return m_window->findChild<ReadAloudCommands *>()->loquenWindow(); }
    void step(const QString &control);
};

// A button (play), a row of the window (player) or else of the editor (mnuloquen), a key (F5),
// "editor" to close the editor, "fail": the engine fails from here on; or the answer to the next
// box: "ok", "yes", "no", or the file a load or save dialog gives ("load:a", "save:" for
// Cancel).
void TestReadAloud::step(const QString &control)
{
    const QHash<QString, Host::Button> answers { { QStringLiteral("ok"), Host::Button::Ok },
        { QStringLiteral("yes"), Host::Button::Yes }, { QStringLiteral("no"), Host::Button::No } };
    const std::optional<QString> path
        = control.endsWith(u':') ? std::nullopt : std::optional(pathOf(control.section(u':', 1)));
    if (control == u"fail")
        static_cast<FakeSpeechEngine *>(loquen()->t2s())->failure = QStringLiteral("no device");
    else if (answers.contains(control))
        m_host->answerMessage(answers.value(control));
    else if (control.startsWith(u"load:"))
        m_host->answerOpenFile(path);
    else if (control.startsWith(u"save:"))
        m_host->answerSaveFile(path);
    else if (control == u"editor")
        QVERIFY(m_window->close());
    else if (control.front().isUpper())
        QTest::keySequence(loquen(), QKeySequence(control));
    else if (QPushButton *button = loquen()->button(control))
        button->click();
    else if (QAction *row = loquen()->command(control))
        row->trigger();
    else
        trigger(qPrintable(control));
}

// Steps on a window opened on "→" with file a holding "a", CR, "b"; then what the engine was
// asked, and the Pause button, its row, the Resume button and its row as "+" for enabled and
// "-" for disabled with the box's first line and what file b holds, or "closed". A question
// asked with no answer queued fails the test, as does an answer left unused.
void TestReadAloud::controls_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("window");
    // clang-format off
    QTest::newRow("just opened") << "" << "" << "++-+ →";
    QTest::newRow("Play, Pause") << "play pause" << "say:→ pause" << "--++ →";
    QTest::newRow("by buttons") << "play pause resumer" << "say:→ pause resume" << "++-- →";
    QTest::newRow("by rows") << "player pauser mnuresume" << "say:→ pause resume" << "++-- →";
    QTest::newRow("by keys") << "F5 Ctrl+P Ctrl+R" << "say:→ pause resume" << "++-- →";
    QTest::newRow("Resume row at start") << "mnuresume" << "resume" << "++-- →";
    QTest::newRow("Pause row at start") << "pauser" << "pause" << "--++ →";
    QTest::newRow("Play while paused") << "play pause play" << "say:→ pause say:→" << "++-- →";
    QTest::newRow("reopen paused") << "play pause about mnuloquen" << "say:→ pause" << "--++ →";
    QTest::newRow("engine fails: told once") << "fail ok play pause" << "say:→ pause" << "--++ →";
    QTest::newRow("editor closed") << "yes editor" << "" << "++-+ →";
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
    // clang-format on
}

void TestReadAloud::controls()
{
    QFETCH(QString, steps);
    QFETCH(QString, calls);
    QFETCH(QString, window);
    QVERIFY(writeBytes(pathOf(QStringLiteral("a")), "a\rb"));
    area()->setText(QStringLiteral("\u2192"));
    trigger("mnuloquen");
    LoquenWindow *loquen = this->loquen();
    // Nobody's child: it goes with the main window, before the host it talks through.
    connect(m_window, &QObject::destroyed, loquen, [loquen] { delete loquen; });
    QVERIFY(QTest::qWaitForWindowActive(loquen));
    for (const QString &control : steps.split(u' ', Qt::SkipEmptyParts))
        step(control);
    QCOMPARE(static_cast<FakeSpeechEngine *>(loquen->t2s())->calls.join(u' '), calls);
    QString seen = u' ' + loquen->Text1()->text().section(QStringLiteral("\r\n"), 0, 0);
    for (QString name : { "mnuresume", "resumer", "pauser", "pause" }) {
        QPushButton *button = loquen->button(name);
        seen.prepend(
            (button ? button->isEnabled() : loquen->command(name)->isEnabled()) ? '+' : '-');
    }
    if (QFile::exists(pathOf(QStringLiteral("b"))))
        seen += u' ' + QString::fromLatin1(readBytes(pathOf(QStringLiteral("b"))));
    QCOMPARE(loquen->isVisible() ? seen : QStringLiteral("closed"), window);
}

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
