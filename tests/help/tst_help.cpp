#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "editor/propertieswindow.h"
#include "fakehost.h"
#include "help/aboutwindow.h"
#include "help/helpcommands.h"
#include "help/helptext.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void helpTextIsBuiltFromItsPieces();
    void helpTextNamesNoPersonOrAddress();
    void helpOnCleanDocumentInsertsAtOnce();
    void secondHelpAsks_data();
    void secondHelpAsks();
    void helpReplacesTheSelection();
    void helpInTheMiddleOfALineRunsIntoItsText();
    void aboutShowsTitleVersionAndDescription();
    void aboutTwiceGivesOneWindow();
    void aboutClosesWithOkEnterOrEscape_data();
    void aboutClosesWithOkEnterOrEscape();
    void propertiesPutsAboutInFront();
    void mainWindowCloseClosesAbout();

private:
    AboutWindow *about() const { return m_window->findChild<HelpCommands *>()->aboutWindow(); }

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

void TestHelp::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestHelp::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestHelp::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == QLatin1String("Properties"))
            window->close();
    }
}

void TestHelp::helpTextIsBuiltFromItsPieces()
{
    const QString text = helpText();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(0), QString(78, u'*'));
    QCOMPARE(lines.at(1), QStringLiteral("                                       Tarvex"));
    QCOMPARE(lines.at(2), QString(79, u'*'));
    // Eight paragraphs, each after an empty line, then the closing paragraph.
    for (int p = 0; p < 9; ++p) {
        QCOMPARE(lines.at(3 + 2 * p), QString());
        QVERIFY2(
            lines.at(4 + 2 * p).startsWith(QStringLiteral("   ")), qPrintable(QString::number(p)));
    }
    QVERIFY(lines.at(4).startsWith(QStringLiteral("   Tarvex is a text editor that I developed")));
    QVERIFY(lines.at(4).contains(QStringLiteral("your editting a whole lot faster")));
    QVERIFY(
        lines.at(6).endsWith(QStringLiteral("Defautl is deactivated slow paste(i.e.fast paste)")));
    QVERIFY(
        lines.at(18).endsWith(QStringLiteral("before unprotecting your file, use mirror again.")));
    QVERIFY(lines.at(20).startsWith(QStringLiteral("   Thank you for using Tarvex.")));
    QCOMPARE(lines.at(21), QString());
    QCOMPARE(lines.at(23), QString());
    QVERIFY(!text.endsWith(QStringLiteral("\r\n")));
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n")))); // CR LF only
}

void TestHelp::helpTextNamesNoPersonOrAddress()
{
    const QString text = helpText();
    QVERIFY(!text.contains(u'@'));
    QVERIFY(!text.contains(QStringLiteral("http")));
    QVERIFY(text.contains(QStringLiteral("issue tracker")));
}

void TestHelp::helpOnCleanDocumentInsertsAtOnce()
{
    QTest::keyClick(m_window->area(), Qt::Key_F1);
    QCOMPARE(m_window->area()->text(), helpText());
    QCOMPARE(m_window->star(), QStringLiteral("*"));
    QCOMPARE(m_window->title(), QStringLiteral("Untitled[*] Tarvex"));
    QVERIFY(m_host->shown().isEmpty());
}

void TestHelp::secondHelpAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("copies");
    QTest::newRow("No inserts nothing") << int(Host::Button::No) << 1;
    QTest::newRow("Yes inserts again") << int(Host::Button::Yes) << 2;
}

void TestHelp::secondHelpAsks()
{
    QFETCH(int, answer);
    QFETCH(int, copies);
    m_window->command("helpa")->trigger();
    m_host->answerMessage(Host::Button(answer));
    m_window->command("helpa")->trigger();

    const FakeHost::Shown box = m_host->lastShown();
    QCOMPARE(box.prompt, QStringLiteral("File not saved, proceed?"));
    QCOMPARE(box.title, QStringLiteral("Help Alert"));
    QCOMPARE(box.icon, Host::Icon::Question);
    QCOMPARE(box.buttons, Host::Buttons::YesNo);
    QCOMPARE(box.defaultButton, std::optional<Host::Button>(Host::Button::No));
    QCOMPARE(m_window->area()->text(), helpText().repeated(copies));
    QCOMPARE(QApplication::focusWidget(), m_window->area());
}

void TestHelp::helpReplacesTheSelection()
{
    m_window->area()->setText(QStringLiteral("keep REPLACED keep"));
    m_window->setModified(false);
    m_window->area()->select(5, 8);
    m_window->command("helpa")->trigger();
    QCOMPARE(
        m_window->area()->text(), QStringLiteral("keep ") + helpText() + QStringLiteral(" keep"));
}

void TestHelp::helpInTheMiddleOfALineRunsIntoItsText()
{
    QTest::keyClicks(m_window->area(), "beforeafter");
    m_window->area()->setSelStart(6);
    m_host->answerMessage(Host::Button::Yes);
    m_window->command("helpa")->trigger();
    const QStringList lines = m_window->area()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.first(), QStringLiteral("before") + QString(78, u'*'));
    QVERIFY(lines.last().endsWith(QStringLiteral("1.0.0after")));
}

void TestHelp::aboutShowsTitleVersionAndDescription()
{
    m_window->command("about")->trigger();
    QVERIFY(about());
    QVERIFY(about()->isVisible());
    QCOMPARE(about()->windowTitle(), QStringLiteral("About Tarvex"));
    auto label = [this](const char *name) { return about()->findChild<QLabel *>(name); };
    QCOMPARE(label("lblTitle")->text(), QStringLiteral("Tarvex"));
    QCOMPARE(label("lblTitle")->font().family(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(label("lblTitle")->font().pointSizeF(), 15.75);
    QCOMPARE(label("lblTitle")->font().weight(), QFont::Bold);
    QCOMPARE(label("lblVersion")->text(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(label("lblDescription")->text(),
        QStringLiteral("    A free text editor that has many added features, that makes "
                       "editting something better. "));
    QVERIFY(!label("picIcon")->pixmap().isNull());
    QVERIFY(about()->findChild<QPushButton *>("cmdOK")->isDefault());
}

void TestHelp::aboutTwiceGivesOneWindow()
{
    m_window->command("about")->trigger();
    AboutWindow *first = about();
    m_window->command("about")->trigger();
    QCOMPARE(about(), first);
    QCOMPARE(m_window->findChildren<AboutWindow *>().size(), 1);
}

void TestHelp::aboutClosesWithOkEnterOrEscape_data()
{
    QTest::addColumn<int>("key"); // 0: click OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestHelp::aboutClosesWithOkEnterOrEscape()
{
    QFETCH(int, key);
    m_window->command("about")->trigger();
    QPointer<AboutWindow> window = about();
    if (key == 0)
        window->findChild<QPushButton *>("cmdOK")->click();
    else
        QTest::keyClick(window->findChild<QPushButton *>("cmdOK"), Qt::Key(key));
    QTRY_VERIFY(!window);
    // The next About makes a new one.
    m_window->command("about")->trigger();
    QVERIFY(about());
}

void TestHelp::propertiesPutsAboutInFront()
{
    m_window->toolbar()->button("Properties")->trigger();
    QVERIFY(about());
    QVERIFY(about()->isVisible());
    QVERIFY(m_window->propertiesWindow()->isVisible());
}

void TestHelp::mainWindowCloseClosesAbout()
{
    m_window->command("about")->trigger();
    QPointer<AboutWindow> window = about();
    QVERIFY(m_window->close());
    QTRY_VERIFY(!window);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
