#include "document/document.h"
#include "fakehost.h"
#include "help/aboutwindow.h"
#include "help/helpcommands.h"
#include "textpicture.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    // Help puts its text (tests/data/helptext.txt, its lines ended by CR LF and none after the
    // last) in place of the selection at once on an unmodified document, asks first on a modified
    // one (its words: tst_filecommands; No: tst_editor's "Help, modified: No"), and goes out with
    // one Undo. About shows one window however often it is asked for (Escape closing it:
    // tst_editor's secondaryWindowsAreNamedDialogs).
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
        host.answerMessage(Host::Button::Yes);
        commands.insertHelp();
        document.undo();
        document.undo();
        QCOMPARE(document.text(), u"a-b"_s);

        commands.showAbout();
        commands.showAbout();
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                     [](QWidget *w) { return qobject_cast<AboutWindow *>(w) && w->isVisible(); }),
            1);
        QCOMPARE(host.pendingAnswers(), 0);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
