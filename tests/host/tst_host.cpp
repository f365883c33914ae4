#include "host/qthost.h"
#include "host/speechtext.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The real host's windows.
class TestHost : public QObject
{
    Q_OBJECT

private slots:
    // The real message box answers by its keys and its close box; Escape and the close box give
    // what the scripted host gives for them.
    void realMessageBoxesAnswer_data()
    {
        QTest::addColumn<Host::Buttons>("buttons");
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<Host::Button>("answer");
        using B = Host::Buttons;
        const int enter = Qt::Key_Return, escape = Qt::Key_Escape;
        QTest::newRow("OK, Enter") << B::Ok << enter << Host::Button::Ok;
        QTest::newRow("OK, close box") << B::Ok << 0 << Host::Button::Ok;
        QTest::newRow("Yes/No, Enter: the default") << B::YesNo << enter << Host::Button::Yes;
        QTest::newRow("Yes/No, Escape") << B::YesNo << escape << Host::Button::No;
        QTest::newRow("Yes/No, close box") << B::YesNo << 0 << Host::Button::No;
        QTest::newRow("Yes/No/Cancel, close box") << B::YesNoCancel << 0 << Host::Button::Cancel;
    }

    void realMessageBoxesAnswer()
    {
        QFETCH(Host::Buttons, buttons);
        QFETCH(int, key);
        QFETCH(Host::Button, answer);
        QtHost host;
        QTimer::singleShot(0, [key] {
            QWidget *box = QApplication::activeModalWidget();
            key ? QTest::keyClick(box, Qt::Key(key)) : void(box->windowHandle()->close());
        });
        QCOMPARE(host.messageBox({}, {}, Host::Icon::Question, buttons, Host::Button::Yes), answer);
    }

    // The progress window is modal to its owner even when no window is active, as right after a
    // file dialog has closed.
    void realProgressIsModalToItsOwner()
    {
        QtHost host;
        QWidget owner;
        owner.show();
        QApplication::setActiveWindow(nullptr);
        std::unique_ptr<Progress> progress = host.showProgress(&owner, u"Opening"_s, {});
        auto *dialog = owner.findChild<QProgressDialog *>();
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QVERIFY(host.isShowingModal()); // before it appears, too
        QVERIFY(!progress->wasCanceled());
        dialog->findChild<QPushButton *>()->click();
        QVERIFY(progress->wasCanceled());
        progress.reset();
        QVERIFY(!host.isShowingModal());
    }

    // A process may not map more than its address-space limit, whatever the machine has free.
    void realMemoryAvailableKeepsToTheAddressSpaceLimit()
    {
        QtHost host;
        QFile statm(u"/proc/self/statm"_s);
        QVERIFY(host.memoryAvailable() > 0 && statm.open(QIODevice::ReadOnly));
        const qint64 mapped
            = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
        const rlimit lower { rlim_t(mapped + 64 * 1024 * 1024), old.rlim_max };
        QCOMPARE(setrlimit(RLIMIT_AS, &lower), 0);
        const qint64 available = host.memoryAvailable();
        setrlimit(RLIMIT_AS, &old);
        QVERIFY2(available > 32 * 1024 * 1024 && available <= 64 * 1024 * 1024,
            qPrintable(QString::number(available)));
    }

    // What the speech engine is given as one utterance: a sentence, never a piece with nothing to
    // say.
    void speechGoesASentenceAtATime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("utterances"); // split by |
        QTest::newRow("sentences")
            << u"One. Two! Three? Four; five: six"_s << u"One.|Two!|Three?|Four;|five:|six"_s;
        QTest::newRow("a stop inside a word")
            << u"See www.example.org now."_s << u"See www.example.org now."_s;
        QTest::newRow("a line break goes on, a blank line ends")
            << u"one\r\ntwo\r\n\r\nthree\r\rfour"_s << u"one\r\ntwo|three|four"_s;
        QTest::newRow("nothing to say is left out")
            << u"  ... \r\n\r\n - ! Word.  "_s << u"Word."_s;
    }

    void speechGoesASentenceAtATime()
    {
        QFETCH(QString, text);
        QFETCH(QString, utterances);
        QCOMPARE(SpeechText::utterances(text), utterances.split(u'|'));
    }
};

QTEST_MAIN(TestHost)
#include "tst_host.moc"
