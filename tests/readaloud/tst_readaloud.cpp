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
// box: "ok", "yes", "no", or the file a load or save dialog gives ("load:a.txt", "save:" for
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

// Steps on a window opened on "Hi →" with a.txt holding "a", CR, "b"; then what the engine was
// asked, and the Pause button, its row, the Resume button and its row as "+" for enabled and
// "-" for disabled with the box's first line and what b.txt holds, or "closed". A question
// asked with no answer queued fails the test, as does an answer left unused.
void TestReadAloud::controls_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("window");
    // clang-format off
    QTest::newRow("just opened") << "" << "" << "++-+ Hi →";
    QTest::newRow("Play, Pause") << "play pause" << "say:Hi → pause" << "--++ Hi →";
    QTest::newRow("Play, Pause, Resume") << "play pause resumer" << "say:Hi → pause resume" << "++-- Hi →";
    QTest::newRow("the same by rows") << "player pauser mnuresume" << "say:Hi → pause resume" << "++-- Hi →";
    QTest::newRow("the same by keys") << "F5 Ctrl+P Ctrl+R" << "say:Hi → pause resume" << "++-- Hi →";
    QTest::newRow("Resume row at start") << "mnuresume" << "resume" << "++-- Hi →";
    QTest::newRow("Pause row at start") << "pauser" << "pause" << "--++ Hi →";
    QTest::newRow("Play while paused") << "play pause play" << "say:Hi → pause say:Hi →" << "++-- Hi →";
    QTest::newRow("About, reopened while paused") << "play pause about mnuloquen" << "say:Hi → pause" << "--++ Hi →";
    QTest::newRow("engine fails: told once") << "fail ok play pause player" << "say:Hi → pause say:Hi →" << "++-- Hi →";
    QTest::newRow("editor closed") << "yes editor" << "" << "++-+ Hi →";
    QTest::newRow("New, No keeps") << "no mnunew" << "" << "++-+ Hi →";
    QTest::newRow("New, Yes clears; empty: no question") << "yes mnunew mnunew" << "" << "++-+ ";
    QTest::newRow("Close, No stays") << "no close" << "" << "++-+ Hi →";
    QTest::newRow("Close, Yes stops the speech") << "play yes close" << "say:Hi → stop" << "closed";
    QTest::newRow("Exit row, Yes") << "yes exit" << "stop" << "closed";
    QTest::newRow("About fills the box") << "about" << "" << "++-+ Loquen v 1.0.0";
    QTest::newRow("Help row fills the box") << "help" << "" << "++-+ Loquen v 1.0.0";
    QTest::newRow("Load, Save: the editor's rules") << "load:a.txt loadfile save:b.txt mnusave" << "" << "++-+ a a\r\nb\r\n\r\n";
    QTest::newRow("Load of a missing file, Cancel") << "load:none.txt loadfile load: mnuloadfile" << "" << "++-+ Hi →";
    QTest::newRow("Save: Yes writes ?") << "save:b.txt yes mnusave" << "" << "++-+ Hi → Hi ?\r\n";
    QTest::newRow("Save: No, Cancel write nothing") << "save:b.txt no mnusave save: mnusave" << "" << "++-+ Hi →";
    QTest::newRow("Save fails: told") << "save:no/b.txt yes ok mnusave" << "" << "++-+ Hi →";
    // clang-format on
}

void TestReadAloud::controls()
{
    QFETCH(QString, steps);
    QFETCH(QString, calls);
    QFETCH(QString, window);
    QVERIFY(writeBytes(pathOf(QStringLiteral("a.txt")), "a\rb"));
    area()->setText(QStringLiteral("Hi \u2192"));
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
    if (QFile::exists(pathOf(QStringLiteral("b.txt"))))
        seen += u' ' + QString::fromLatin1(readBytes(pathOf(QStringLiteral("b.txt"))));
    QCOMPARE(loquen->isVisible() ? seen : QStringLiteral("closed"), window);
}

QTEST_MAIN(TestReadAloud)
#include "tst_readaloud.moc"
