#include "help/aboutwindow.h"
#include "help/helptext.h"
#include "windowfixture.h"

#include <QTest>

class TestHelp : public WindowFixture
{
    Q_OBJECT

private slots:
    void helpAndAbout();
};

// Help puts its text in place of the selection at once on an unmodified document, asks first on
// a modified one, and goes out with one Undo. About shows one window however often it is asked
// for, and Escape closes it.
void TestHelp::helpAndAbout()
{
    document().load(TextBuffer(QStringLiteral("a-b")), {});
    document().select(1, 1);
    trigger("helpa");
    QCOMPARE(document().text(), u'a' + helpText() + u'b');
    m_host->answerMessage(Host::Button::No);
    trigger("helpa");
    QTest::keyClick(area(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(document().text(), QStringLiteral("a-b"));

    trigger("about");
    trigger("about");
    QCOMPARE(m_window->findChildren<AboutWindow *>().size(), 1);
    QVERIFY(m_window->findChild<AboutWindow *>()->isVisible());
    QTest::keyClick(m_window->findChild<AboutWindow *>(), Qt::Key_Escape);
    QTRY_VERIFY(!m_window->findChild<AboutWindow *>());
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
