#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "tempclip/masterclipwindow.h"
#include "tempclip/tempclipcommands.h"
#include "tempclip/tempcliplist.h"
#include "windowtest.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// The object name of the control that has the keyboard, empty while none has.
QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

} // namespace

class TestTempClip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void entriesKeepAlphabeticalOrderInBothViews();
    void copyWithNothingSelectedAddsAnEmptyEntryFirst();
    void f2BeforeAnyChoicePastesTheStartText();
    void choosingAnEntryPastesItAndF2PastesItAgain();
    void multiLineEntriesShowBarsAndPasteBreaks();
    void slowPasteTypesEveryCharacterAndUndoTakesItBack();
    void clearEmptiesBothViewsAndTheTextField();
    void dropOnTheDropDownAddsTheDroppedText();
    void dropFromTheAreaCopies();
    void masterWindowIsCreatedHiddenByAnAddition();
    void masterWindowHints_data();
    void masterWindowHints();
    void clickingAnEntryPreviewsIt();
    void keysInTheMasterWindow_data();
    void keysInTheMasterWindow();
    void pasteSelectedKeepsTheSelection();
    void removeSelectedInOneViewShowsInTheOther();
    void removeWithoutSelectionSaysSo();
    void clearFromTheMasterWindowAsksFirst_data();
    void clearFromTheMasterWindowAsksFirst();
    void dropOnTheListAddsTheDroppedText();
    void listOutlivesTheMasterWindow();

private:
    TempClipCommands *clip() const { return m_window->findChild<TempClipCommands *>(); }
    QComboBox *cmbtmp() const { return m_window->toolbar()->cmbtmp(); }
    QStringList comboItems() const;
    QStringList listItems();
    void trigger(const char *row) { m_window->command(QLatin1String(row))->trigger(); }
    void addSelection(const QString &text);
    void sendDrop(QWidget *target, QMimeData *data);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

void TestTempClip::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestTempClip::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestTempClip::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<MasterClipWindow *>(w), "a master window outlived its window");
}

QStringList TestTempClip::comboItems() const
{
    QStringList items;
    for (int i = 0; i < cmbtmp()->count(); ++i)
        items << cmbtmp()->itemText(i);
    return items;
}

QStringList TestTempClip::listItems()
{
    QStringList items;
    QAbstractItemModel *model = clip()->masterWindow()->tmpcmb()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        items << model->index(i, 0).data().toString();
    return items;
}

void TestTempClip::addSelection(const QString &text)
{
    m_window->area()->setText(text);
    m_window->area()->select(0, text.size());
    QTest::keyClick(m_window->area(), Qt::Key_D, Qt::ControlModifier);
}

// A drag that offers copy and move, as one from the edit area does.
void TestTempClip::sendDrop(QWidget *target, QMimeData *data)
{
    const Qt::DropActions action = Qt::CopyAction | Qt::MoveAction;
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, action, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

void TestTempClip::entriesKeepAlphabeticalOrderInBothViews()
{
    for (const char *word : { "pear", "Apple", "banana", "apple", "pear" })
        addSelection(QLatin1String(word));
    const QStringList expected { "Apple", "apple", "banana", "pear", "pear" };
    QCOMPARE(comboItems(), expected);
    QCOMPARE(listItems(), expected);
    QCOMPARE(cmbtmp()->currentText(), QStringLiteral("Temporary Clipboard"));
}

void TestTempClip::copyWithNothingSelectedAddsAnEmptyEntryFirst()
{
    addSelection(QStringLiteral("zeta"));
    m_window->area()->setSelStart(0);
    trigger("mnucopytotemp");
    QCOMPARE(comboItems(), (QStringList { QString(), QStringLiteral("zeta") }));
}

void TestTempClip::f2BeforeAnyChoicePastesTheStartText()
{
    QTest::keyClick(m_window->area(), Qt::Key_F2);
    QCOMPARE(m_window->area()->text(), QStringLiteral("Temporary Clipboard"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));
}

void TestTempClip::choosingAnEntryPastesItAndF2PastesItAgain()
{
    addSelection(QStringLiteral("snippet"));
    m_window->area()->setText(QStringLiteral("<>"));
    m_window->area()->setSelStart(1);
    cmbtmp()->setCurrentIndex(0);
    emit cmbtmp()->activated(0);
    QCOMPARE(m_window->area()->text(), QStringLiteral("<snippet>"));
    QCOMPARE(cmbtmp()->currentText(), QStringLiteral("snippet"));
    QTest::keyClick(m_window->area(), Qt::Key_F2);
    QCOMPARE(m_window->area()->text(), QStringLiteral("<snippetsnippet>"));
    QCOMPARE(QApplication::focusWidget(), m_window->area());
}

void TestTempClip::multiLineEntriesShowBarsAndPasteBreaks()
{
    const QString entry = QStringLiteral("My\r\n\r\nhouse");
    addSelection(entry);
    QCOMPARE(comboItems(), QStringList { QStringLiteral("My||house") });
    m_window->area()->setText(QString());
    emit cmbtmp()->activated(0);
    QCOMPARE(m_window->area()->text(), entry);
    QCOMPARE(m_window->area()->lineCount(), 3);
}

void TestTempClip::slowPasteTypesEveryCharacterAndUndoTakesItBack()
{
    const QString entry = QStringLiteral("+^%~(){}[] a\tb\r\nnext line!");
    addSelection(entry);
    m_window->area()->setText(QStringLiteral("before "), EditArea::History::Reset);
    m_window->area()->setSelStart(7);
    trigger("mnuslowpaste");
    QVERIFY(m_window->command("mnuslowpaste")->isChecked());
    emit cmbtmp()->activated(0);
    QCOMPARE(m_window->area()->text(), QStringLiteral("before ")); // queued, not typed yet
    QTRY_COMPARE(m_window->area()->text(), QStringLiteral("before ") + entry);
    QCOMPARE(m_host->postedKeystrokes, QStringList { entry });

    for (int i = 0; i < 40 && m_window->area()->document()->isUndoAvailable(); ++i)
        QTest::keyClick(m_window->area(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->area()->text(), QStringLiteral("before "));
}

void TestTempClip::clearEmptiesBothViewsAndTheTextField()
{
    addSelection(QStringLiteral("one"));
    addSelection(QStringLiteral("two"));
    trigger("mnucleartmpcmb");
    QVERIFY(comboItems().isEmpty());
    QVERIFY(listItems().isEmpty());
    QCOMPARE(cmbtmp()->currentText(), QString());
    m_window->area()->setText(QStringLiteral("x"));
    m_window->area()->setSelStart(1);
    QTest::keyClick(m_window->area(), Qt::Key_F2);
    QCOMPARE(m_window->area()->text(), QStringLiteral("x"));
}

void TestTempClip::dropOnTheDropDownAddsTheDroppedText()
{
    m_window->area()->setText(QStringLiteral("selected here"));
    m_window->area()->select(0, 8);
    auto *data = new QMimeData;
    data->setText(QStringLiteral("from another program"));
    sendDrop(cmbtmp()->lineEdit(), data);
    delete data;
    QCOMPARE(comboItems(), QStringList { QStringLiteral("from another program") });
    QCOMPARE(cmbtmp()->currentText(), QStringLiteral("Temporary Clipboard"));
}

void TestTempClip::dropFromTheAreaCopies()
{
    m_window->area()->setText(QStringLiteral("keep me"));
    m_window->area()->select(0, 4);
    auto *data = new QMimeData;
    data->setText(m_window->area()->selText());
    sendDrop(cmbtmp(), data);
    delete data;
    QCOMPARE(comboItems(), QStringList { QStringLiteral("keep") });
    QCOMPARE(m_window->area()->text(), QStringLiteral("keep me"));
}

void TestTempClip::masterWindowIsCreatedHiddenByAnAddition()
{
    QVERIFY(!clip()->existingMasterWindow());
    addSelection(QStringLiteral("a"));
    QVERIFY(clip()->existingMasterWindow());
    QVERIFY(!clip()->existingMasterWindow()->isVisible());
    QTest::keyClick(m_window->area(), Qt::Key_M, Qt::ControlModifier);
    MasterClipWindow *master = clip()->existingMasterWindow();
    QVERIFY(master->isVisible());
    QCOMPARE(master->windowTitle(), QStringLiteral("Master Temporary Clipboard: Tarvex"));
    QCOMPARE(master->statusText(),
        QStringLiteral("Master Temporary Clipboard allows you to manage multiple clipboard "
                       "data."));
}

void TestTempClip::masterWindowHints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint");
    QTest::newRow("list") << "tmpcmb"
                          << "Cipboard: Click on the item you wish to paste or view preview.";
    QTest::newRow("preview") << "fullclip"
                             << "Shows preview of selected item. You may alter before pasting. "
                                "Drag Drop altered text to the Clipboard to add item.";
    QTest::newRow("Paste Selected") << "OKButton"
                                    << "Paste the item as shown in the preview.";
    QTest::newRow("Cancel / Return") << "CancelButton"
                                     << "Return without making any changes";
    QTest::newRow("Remove Selected") << "remselected"
                                     << "Remove the selected item from the temporary clipboard.";
    QTest::newRow("Clear Clipboard") << "cleartmp"
                                     << "Clear the temporary clipboard";
}

void TestTempClip::masterWindowHints()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    trigger("mnumasterclip");
    MasterClipWindow *master = clip()->existingMasterWindow();
    QWidget *widget = master->findChild<QWidget *>(control);
    if (auto *view = qobject_cast<QAbstractScrollArea *>(widget))
        widget = view->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QCOMPARE(master->statusText(), hint);
    // Back over the background: the window's own hint.
    QMouseEvent back(QEvent::MouseMove, QPointF(1, master->height() - 30),
        master->mapToGlobal(QPointF(1, master->height() - 30)), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QApplication::sendEvent(master, &back);
    QVERIFY(master->statusText().startsWith(QStringLiteral("Master Temporary Clipboard")));
}

void TestTempClip::clickingAnEntryPreviewsIt()
{
    addSelection(QStringLiteral("line1\r\nline2"));
    trigger("mnumasterclip");
    MasterClipWindow *master = clip()->existingMasterWindow();
    const QModelIndex first = master->tmpcmb()->model()->index(0, 0);
    emit master->tmpcmb()->clicked(first);
    QCOMPARE(master->fullclip()->toPlainText(), QStringLiteral("line1\nline2"));
}

void TestTempClip::keysInTheMasterWindow_data()
{
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("focusAfter");

    QTestEventList secondThenEnter;
    secondThenEnter.addKeyClick(Qt::Key_Down);
    secondThenEnter.addKeyClick(Qt::Key_Down);
    secondThenEnter.addKeyClick(Qt::Key_Return);
    QTest::newRow("Enter on an entry previews it") << secondThenEnter << true << "pear"
                                                   << "tmpcmb";
    QTestEventList escape;
    escape.addKeyClick(Qt::Key_Escape);
    QTest::newRow("Escape hides, back to the document") << escape << false << ""
                                                        << "Area";
}

void TestTempClip::keysInTheMasterWindow()
{
    QFETCH(QTestEventList, keys);
    QFETCH(bool, shown);
    QFETCH(QString, preview);
    QFETCH(QString, focusAfter);

    addSelection(QStringLiteral("pear"));
    addSelection(QStringLiteral("apple"));
    QTest::keyClick(m_window->area(), Qt::Key_M, Qt::ControlModifier);
    MasterClipWindow *master = clip()->existingMasterWindow();
    QTRY_COMPARE(QApplication::activeWindow(), master);
    QCOMPARE(QApplication::focusWidget(), master->tmpcmb()); // the keyboard is in the list
    keys.simulate(QApplication::focusWidget());
    QCOMPARE(master->isVisible(), shown);
    QCOMPARE(master->fullclip()->toPlainText(), preview);
    QTRY_COMPARE(focusName(), focusAfter);
}

void TestTempClip::pasteSelectedKeepsTheSelection()
{
    trigger("mnumasterclip");
    MasterClipWindow *master = clip()->existingMasterWindow();
    master->fullclip()->setPlainText(QStringLiteral("hello"));
    m_window->area()->setText(QStringLiteral("world"));
    m_window->area()->select(0, 5);
    master->okButton()->click();
    QCOMPARE(m_window->area()->text(), QStringLiteral("worldhello"));
    QCOMPARE(m_window->area()->selStart(), 10);
    QVERIFY(!master->isVisible());
}

void TestTempClip::removeSelectedInOneViewShowsInTheOther()
{
    for (const char *word : { "a", "b", "c" })
        addSelection(QLatin1String(word));
    trigger("mnumasterclip");
    MasterClipWindow *master = clip()->existingMasterWindow();
    master->tmpcmb()->setCurrentIndex(master->tmpcmb()->model()->index(1, 0));
    master->fullclip()->setPlainText(QStringLiteral("kept"));
    master->remselected()->click();
    QCOMPARE(comboItems(), (QStringList { "a", "c" }));
    QCOMPARE(listItems(), (QStringList { "a", "c" }));
    QCOMPARE(master->fullclip()->toPlainText(), QStringLiteral("kept"));
}

void TestTempClip::removeWithoutSelectionSaysSo()
{
    addSelection(QStringLiteral("a"));
    trigger("mnumasterclip");
    m_host->answerMessage(Host::Button::Ok);
    clip()->existingMasterWindow()->remselected()->click();
    QCOMPARE(m_host->lastShown().prompt, QStringLiteral("No item selected to delete"));
    QCOMPARE(m_host->lastShown().title, QStringLiteral("Tarvex"));
    QCOMPARE(m_host->lastShown().icon, Host::Icon::None);
    QCOMPARE(comboItems(), QStringList { QStringLiteral("a") });
}

void TestTempClip::clearFromTheMasterWindowAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("Yes clears") << int(Host::Button::Yes) << 0;
    QTest::newRow("No keeps") << int(Host::Button::No) << 2;
}

void TestTempClip::clearFromTheMasterWindowAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(int, left);
    addSelection(QStringLiteral("a"));
    addSelection(QStringLiteral("b"));
    trigger("mnumasterclip");
    m_host->answerMessage(Host::Button(answer));
    clip()->existingMasterWindow()->cleartmp()->click();
    const FakeHost::Shown box = m_host->lastShown();
    QCOMPARE(box.prompt, QStringLiteral("This will clear the temporary clipboard. Proceed?"));
    QCOMPARE(box.title, QStringLiteral("Confirm Clear"));
    QCOMPARE(box.icon, Host::Icon::Question);
    QCOMPARE(box.defaultButton, std::optional<Host::Button>(Host::Button::No));
    QCOMPARE(comboItems().size(), left);
    QCOMPARE(cmbtmp()->currentText().isEmpty(), left == 0);
}

void TestTempClip::dropOnTheListAddsTheDroppedText()
{
    trigger("mnumasterclip");
    MasterClipWindow *master = clip()->existingMasterWindow();
    master->fullclip()->setPlainText(QStringLiteral("preview text"));
    auto *data = new QMimeData;
    data->setText(QStringLiteral("text"));
    sendDrop(master->tmpcmb()->viewport(), data);
    delete data;
    QCOMPARE(listItems(), QStringList { QStringLiteral("text") });
    QCOMPARE(comboItems(), QStringList { QStringLiteral("text") });
    QCOMPARE(master->fullclip()->toPlainText(), QStringLiteral("preview text"));
}

void TestTempClip::listOutlivesTheMasterWindow()
{
    addSelection(QStringLiteral("survivor"));
    QPointer<MasterClipWindow> master = clip()->masterWindow();
    master->close();
    QTRY_VERIFY(!master);
    QCOMPARE(comboItems(), QStringList { QStringLiteral("survivor") });
    QCOMPARE(listItems(), QStringList { QStringLiteral("survivor") });
}

QTEST_MAIN(TestTempClip)
#include "tst_tempclip.moc"
