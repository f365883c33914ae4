#include "document/document.h"
#include "fakehost.h"
#include "help/aboutwindow.h"
#include "help/helpcommands.h"
#include "textpicture.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>

using namespace Qt::StringLiterals;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    // Help puts its text (tests/data/helptext.txt, its lines ended by CR LF and none after the
    // last) in place of the selection at once on an unmodified document, asks first on a modified
    // one, and goes out with one Undo. About shows one window however often it is asked for, and
    // Escape closes it.
    void helpAndAbout()
    {
        QFile file(QFINDTESTDATA("data/helptext.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(file.readAll()).trimmed().replace(u'\n', u"\r\n"_s);
        FakeHost host;
        Document document;
        HelpCommands commands(document, host, nullptr, nullptr);
        TextPicture::show(document, u"a[-]b"_s);
        commands.insertHelp();
        QCOMPARE(document.text(), u'a' + help + u'b');
        host.answerMessage(Host::Button::No);
        commands.insertHelp();
        QCOMPARE(host.lastShown().prompt, u"File not saved, proceed?"_s);
        QCOMPARE(host.lastShown().title, u"Help Alert"_s);
        host.answerMessage(Host::Button::Yes);
        commands.insertHelp();
        document.undo();
        document.undo();
        QCOMPARE(document.text(), u"a-b"_s);

        commands.showAbout();
        commands.showAbout();
        QList<QPointer<AboutWindow>> abouts;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *about = qobject_cast<AboutWindow *>(window))
                abouts << about;
        }
        QCOMPARE(abouts.size(), 1);
        QVERIFY(abouts[0]->isVisible());
        QTest::keyClick(abouts[0], Qt::Key_Escape);
        QTRY_VERIFY(!abouts[0]);
        QCOMPARE(host.pendingAnswers(), 0);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
