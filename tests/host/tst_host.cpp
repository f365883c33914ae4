#include "host/editarea.h"
#include "host/qthost.h"
#include "host/speechtext.h"

#include <QApplication>
#include <QClipboard>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// What the widget shows for a true text, its line breaks read back as "\n"; the table of
// program edits checks it against texts written out by hand.
static QString shown(const QString &trueText)
{
    return TextRendering::toWidgetText(trueText).replace(TextRendering::paragraphBreak, u'\n');
}

// The edit area on its own, and the real host's windows.
class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void programEditsKeepTheTextExactly_data();
    void programEditsKeepTheTextExactly();
    void typingAroundBareBreaksKeepsThem_data();
    void typingAroundBareBreaksKeepsThem();
    void copyAndPasteCarryExactText();
    void lockedAreaRefusesEveryEdit();
    void menuKeysBeatTheArea();
    void wrappedLinesCountAtOnce();
    void bigTextIsShownPieceByPiece();
    void openingCanBeGivenUpWhileShowing();
    void realMessageBoxesAnswer_data();
    void realMessageBoxesAnswer();
    void realProgressIsModalToItsOwner();
    void realMemoryAvailableKeepsToTheAddressSpaceLimit();
    void speechGoesASentenceAtATime_data();
    void speechGoesASentenceAtATime();

private:
    Document *m_document = nullptr;
    EditArea *m_area = nullptr;
};

void TestHost::init()
{
    m_document = new Document;
    m_area = new EditArea(*m_document);
    m_document->setParent(m_area);
    m_area->resize(400, 300);
    m_area->show();
    m_area->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_area));
}

void TestHost::cleanup()
{
    delete m_area;
}

// `before` becomes `after` by a program edit; the area keeps `text` and shows `shown`: a line
// break for a CR LF or a bare CR, a glyph for a bare LF.
void TestHost::programEditsKeepTheTextExactly_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a CR LF b") << u""_s << u"a\r\nb"_s << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("glyphs") << u""_s << u"\u240D\u240A"_s << u"\u240D\u240A"_s << u"\u240D\u240A"_s;
    QTest::newRow("mixed") << u""_s << u"\rA\r\n\n\r"_s << u"\rA\r\n\n\r"_s << u"\nA\n\u240A\n"_s;
    QTest::newRow("a CR b, + LF") << u"a\rb"_s << u"a\r\nb"_s << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("a LF b, + CR") << u"a\nb"_s << u"a\r\nb"_s << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("a CR LF b, - LF") << u"a\r\nb"_s << u"a\rb"_s << u"a\rb"_s << u"a\nb"_s;
    QTest::newRow("a CR LF b, - CR") << u"a\r\nb"_s << u"a\nb"_s << u"a\nb"_s << u"a\u240Ab"_s;
    QTest::newRow("X in CR LF") << u"a\r\nb"_s << u"a\rX\nb"_s << u"a\rX\nb"_s << u"a\nX\u240Ab"_s;
    QTest::newRow("a CR X LF b, - X") << u"a\rX\nb"_s << u"a\r\nb"_s << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("CR CR CR, + LF") << u"\r\r\r"_s << u"\r\r\n\r"_s << u"\r\r\n\r"_s << u"\n\n\n"_s;
    QTest::newRow("separators") << u""_s << u"a\u2028b\u2029"_s << u"a\r\nb\r\n"_s << u"a\nb\n"_s;
    QTest::newRow("frame characters") << u""_s << u"a\uFDD0"_s << u"a\uFFFD"_s << u"a\uFFFD"_s;
}

void TestHost::programEditsKeepTheTextExactly()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    m_document->setText(before);
    m_document->setText(after);
    QCOMPARE(m_document->text(), text);
    QCOMPARE(m_area->toPlainText(), shown);
    QCOMPARE(m_area->lineCount(), int(shown.count(u'\n')) + 1); // nothing here wraps
    // The widget's positions still map: a character typed at the end lands at the true end.
    QTest::keyClick(m_area, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_area, 'z');
    QCOMPARE(m_document->text(), text + u'z');
}

// `before` holds a | where the caret is put.
void TestHost::typingAroundBareBreaksKeepsThem_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("after");
    // A CR and an LF that come together are one line break from then on, in an undo step of its
    // own: undone, the CR would stand alone again.
    QTest::addColumn<bool>("undoIsExact");
    QTest::newRow("a|CR b: x") << u"a|\rb"_s << Qt::Key_X << u"ax\rb"_s << true;
    QTest::newRow("a CR|b: x") << u"a\r|b"_s << Qt::Key_X << u"a\rxb"_s << true;
    QTest::newRow("a CR|b: backspace") << u"a\r|b"_s << Qt::Key_Backspace << u"ab"_s << true;
    QTest::newRow("a CR b|: backspace") << u"a\rb|"_s << Qt::Key_Backspace << u"a\r"_s << true;
    QTest::newRow("a|LF b: delete") << u"a|\nb"_s << Qt::Key_Delete << u"ab"_s << true;
    QTest::newRow("a|CR LF b: delete") << u"a|\r\nb"_s << Qt::Key_Delete << u"ab"_s << true;
    QTest::newRow("a CR|LF b: x") << u"a\r|\nb"_s << Qt::Key_X << u"ax\r\nb"_s << true;
    QTest::newRow("a CR|b: enter") << u"a\r|b"_s << Qt::Key_Return << u"a\r\r\nb"_s << true;
    QTest::newRow("a|LF: enter") << u"a|\n"_s << Qt::Key_Return << u"a\r\n\n"_s << true;
    QTest::newRow("CR x|LF: backspace") << u"\rx|\n"_s << Qt::Key_Backspace << u"\r\n"_s << false;
}

void TestHost::typingAroundBareBreaksKeepsThem()
{
    QFETCH(QString, before);
    QFETCH(Qt::Key, key);
    QFETCH(QString, after);
    QFETCH(bool, undoIsExact);
    const qsizetype caret = before.indexOf(u'|');
    m_document->setText(before.remove(caret, 1));
    m_document->select(caret, 0);
    QSignalSpy changed(m_document, &Document::changed);
    QTest::keyClick(m_area, key);
    QCOMPARE(m_document->text(), after);
    QCOMPARE(m_area->toPlainText(), shown(after));
    QCOMPARE(changed.count(), 1); // once the key is done, not later
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    if (undoIsExact) {
        QCOMPARE(m_document->text(), before);
        QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_document->text(), after);
    }
    QCOMPARE(m_area->toPlainText(), shown(m_document->text()));
}

void TestHost::copyAndPasteCarryExactText()
{
    m_document->setText(u"ab\r\ncd\rx\ny\r\nz"_s);
    m_document->select(6, 4);
    m_area->copy();
    QCOMPARE(QApplication::clipboard()->text(), u"\rx\ny"_s);
    m_document->select(13, 0);
    m_area->paste();
    QCOMPARE(m_document->text(), u"ab\r\ncd\rx\ny\r\nz\rx\ny"_s);
    // A pasted bare CR that lands before a bare LF makes one line break with it.
    m_document->select(13, 1);
    m_area->copy();
    m_document->select(15, 0);
    m_area->paste();
    QCOMPARE(m_document->text(), u"ab\r\ncd\rx\ny\r\nz\rx\r\ny"_s);
    QTRY_COMPARE(m_area->toPlainText(), shown(m_document->text()));
    // Other programs break lines with an LF or a separator.
    QApplication::clipboard()->setText(u"x\ny\u2029z\r\n"_s);
    m_document->setText(QString());
    m_area->paste();
    QCOMPARE(m_document->text(), u"x\r\ny\r\nz\r\n"_s);
}

// A locked text is a protected one: neither the user nor a command may change it.
void TestHost::lockedAreaRefusesEveryEdit()
{
    m_document->setText(u"keep"_s);
    m_document->setLocked(true);
    m_document->select(4, 0);
    QSignalSpy changed(m_document, &Document::changed);
    for (const Qt::Key key : { Qt::Key_X, Qt::Key_Return, Qt::Key_Backspace })
        QTest::keyClick(m_area, key);
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    m_document->replaceSelection(u">"_s);
    m_document->setText(u"other"_s);
    m_document->replace(0, 1, u"K");
    QCOMPARE(m_area->toPlainText() + m_document->text(), u"keepkeep"_s);
    QCOMPARE(changed.count(), 0);
    QTest::keyClick(m_area, Qt::Key_Home); // the caret still moves
    m_document->setLocked(false);
    QTest::keyClick(m_area, '!');
    QCOMPARE(m_document->text(), u"!keep"_s);
}

// The area's own keys for cut, paste and select all give way to menu rows that have them.
void TestHost::menuKeysBeatTheArea()
{
    m_document->setText(u"some text"_s);
    for (const char *keys : { "Ctrl+X", "Ctrl+V", "Shift+Ins", "Ctrl+A" }) {
        QAction row;
        row.setShortcut(QKeySequence(QString::fromLatin1(keys)));
        m_area->addAction(&row);
        m_area->setMenuShortcuts({ row.shortcut() });
        QSignalSpy triggered(&row, &QAction::triggered);
        m_document->select(0, 4);
        QTest::keySequence(m_area, row.shortcut());
        QVERIFY2(triggered.count() == 1, keys);
        QCOMPARE(m_document->text() + m_document->selectedText(), u"some textsome"_s);
    }
}

// Wrapped lines count at once, and the scroll bar follows the count.
void TestHost::wrappedLinesCountAtOnce()
{
    m_document->setText(u"word "_s.repeated(400));
    const int counted = m_area->lineCount();
    const int scrollEnd = m_area->verticalScrollBar()->maximum();
    QVERIFY2(counted > 20 && scrollEnd > 0, qPrintable(QString::number(counted)));
    for (int typed = 0; typed < 100 && m_area->lineCount() == counted; ++typed)
        QTest::keyClick(m_area, 'x');
    QCOMPARE(m_area->lineCount(), counted + 1);
    QCOMPARE(m_area->verticalScrollBar()->maximum(), scrollEnd + 1);
}

void TestHost::bigTextIsShownPieceByPiece()
{
    const QString big = u"line with a bare\rCR and a bare\nLF\r\n"_s.repeated(70000);
    m_document->setText(u"end"_s);
    m_document->select(3, 0); // after the change: the caret goes there once that part is shown
    QSignalSpy progress(m_area, &EditArea::streamProgress);
    m_document->setText(big + u"end"_s);
    QCOMPARE(m_document->text(), big + u"end"_s); // the true text is whole at once
    QVERIFY(m_area->isStreaming() && m_area->isReadOnly());
    QTRY_VERIFY_WITH_TIMEOUT(m_area->lineCountSettled(), 30000);
    QVERIFY(progress.count() > 2 && progress.last().at(0).toInt() == 100);
    QCOMPARE(m_area->toPlainText(), shown(big + u"end"_s));
    QCOMPARE(m_area->lineCount(), 140001);
    QVERIFY(m_document->canUndo()); // a change of any size is undone in one step
    QTest::keyClick(m_area, 'z');
    QCOMPARE(m_document->text(), big + u"endz"_s);
    // A key typed while it arrives waits for all of it.
    m_document->setText(QString());
    m_document->setText(big);
    QTest::keyClick(m_area, 'y');
    QCOMPARE(m_document->text(), u'y' + big);
}

// Opening a file shows it a piece at a time; Cancel brings the old text back as it was.
void TestHost::openingCanBeGivenUpWhileShowing()
{
    const QString file = u"0123456789\r\n"_s.repeated(120000);
    m_document->setText(u"old\rtext"_s);
    m_document->select(4, 2);
    m_document->prepareLoad(TextBuffer(file));
    QVERIFY(m_area->prepareNextPiece() < 100);
    QTest::keyClick(m_area, 'k');
    QCOMPARE(m_document->text(), file); // not the document yet: it takes no keys
    m_document->dropPrepared();
    QCOMPARE(m_document->text() + m_document->selectedText(), u"old\rtextte"_s);
    QCOMPARE(m_area->toPlainText(), u"old\ntext"_s);
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier); // its history came back too
    QCOMPARE(m_document->text(), QString());
    // Kept, it is the document, with nothing to undo.
    m_document->prepareLoad(TextBuffer(file));
    while (m_area->prepareNextPiece() < 100) { }
    m_document->keepPrepared(std::nullopt);
    QCOMPARE(m_area->toPlainText(), shown(file));
    QVERIFY(!m_document->canUndo());
}

// The real message box answers by its keys and its close box; Escape and the close box give
// what the scripted host gives for them.
void TestHost::realMessageBoxesAnswer_data()
{
    QTest::addColumn<Host::Buttons>("buttons");
    QTest::addColumn<int>("key"); // 0: the close box
    QTest::addColumn<Host::Button>("answer");
    const Host::Buttons ok = Host::Buttons::Ok, yesNo = Host::Buttons::YesNo,
                        yesNoCancel = Host::Buttons::YesNoCancel;
    QTest::newRow("OK, Enter") << ok << int(Qt::Key_Return) << Host::Button::Ok;
    QTest::newRow("OK, close box") << ok << 0 << Host::Button::Ok;
    QTest::newRow("Yes/No, Enter: the default")
        << yesNo << int(Qt::Key_Return) << Host::Button::Yes;
    QTest::newRow("Yes/No, Escape") << yesNo << int(Qt::Key_Escape) << Host::Button::No;
    QTest::newRow("Yes/No, close box") << yesNo << 0 << Host::Button::No;
    QTest::newRow("Yes/No/Cancel, Escape")
        << yesNoCancel << int(Qt::Key_Escape) << Host::Button::Cancel;
    QTest::newRow("Yes/No/Cancel, close box") << yesNoCancel << 0 << Host::Button::Cancel;
}

void TestHost::realMessageBoxesAnswer()
{
    QFETCH(Host::Buttons, buttons);
    QFETCH(int, key);
    QFETCH(Host::Button, answer);
    QtHost host;
    QMetaObject::invokeMethod(
        m_area,
        [key] {
            QWidget *box = QApplication::activeModalWidget();
            key ? QTest::keyClick(box, Qt::Key(key)) : void(box->windowHandle()->close());
        },
        Qt::QueuedConnection);
    QCOMPARE(host.messageBox({}, {}, Host::Icon::Question, buttons, Host::Button::Yes), answer);
}

// The progress window is modal to its owner even when no window is active, as right after a
// file dialog has closed.
void TestHost::realProgressIsModalToItsOwner()
{
    QtHost host;
    QApplication::setActiveWindow(nullptr);
    std::unique_ptr<Progress> progress = host.showProgress(m_area, u"Opening"_s, {});
    auto *dialog = m_area->findChild<QProgressDialog *>();
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QVERIFY(host.isShowingModal()); // before it appears, too
    QVERIFY(!progress->wasCanceled());
    dialog->findChild<QPushButton *>()->click();
    QVERIFY(progress->wasCanceled());
    progress.reset();
    QVERIFY(!host.isShowingModal());
}

// A process may not map more than its address-space limit, whatever the machine has free.
void TestHost::realMemoryAvailableKeepsToTheAddressSpaceLimit()
{
    QtHost host;
    QFile statm(u"/proc/self/statm"_s);
    QVERIFY(host.memoryAvailable() > 0 && statm.open(QIODevice::ReadOnly));
    const qint64 mapped = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
    const rlimit lower { rlim_t(mapped + 64 * 1024 * 1024), old.rlim_max };
    QCOMPARE(setrlimit(RLIMIT_AS, &lower), 0);
    const qint64 available = host.memoryAvailable();
    setrlimit(RLIMIT_AS, &old);
    QVERIFY2(available > 32 * 1024 * 1024 && available <= 64 * 1024 * 1024,
        qPrintable(QString::number(available)));
}

// What the speech engine is given as one utterance: a sentence, never a piece with nothing to say.
void TestHost::speechGoesASentenceAtATime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("utterances");
    QTest::newRow("sentences") << u"One. Two! Three? Four; five: six"_s
                               << QStringList { "One.", "Two!", "Three?", "Four;", "five:", "six" };
    QTest::newRow("a stop inside a word")
        << u"See www.example.org now."_s << QStringList { "See www.example.org now." };
    QTest::newRow("a line break goes on, a blank line ends")
        << u"one\r\ntwo\r\n\r\nthree\r\rfour"_s << QStringList { "one\r\ntwo", "three", "four" };
    QTest::newRow("nothing to say is left out")
        << u"  ... \r\n\r\n - ! Word.  "_s << QStringList { "Word." };
}

void TestHost::speechGoesASentenceAtATime()
{
    QFETCH(QString, text);
    QFETCH(QStringList, utterances);
    QCOMPARE(SpeechText::utterances(text), utterances);
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"
