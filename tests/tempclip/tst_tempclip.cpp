#include "editor/maintoolbar.h"
#include "tempclip/masterclipwindow.h"
#include "tempclip/tempclipcommands.h"
#include "windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QTest>

class TestTempClip : public WindowFixture
{
    Q_OBJECT

private slots:
    void entriesKeepAlphabeticalOrderInBothViews();
    void slowPasteIsTypedAndUndone_data();
    void slowPasteIsTypedAndUndone();
    void pasteSelectedPastesTheHighlightedEntry_data();
    void pasteSelectedPastesTheHighlightedEntry();

private:
    QComboBox *clipboardBox() const { return m_window->toolbar()->clipboardBox(); }
    void addSelection(const QString &text);
};

// Copy to Temp Clipboard with all of `text` selected.
void TestTempClip::addSelection(const QString &text)
{
    document().setText(text);
    document().select(0, text.size());
    trigger("mnucopytotemp");
}

void TestTempClip::entriesKeepAlphabeticalOrderInBothViews()
{
    for (const char *entry : { "pear", "Apple", "banana", "My\r\n\r\nhouse", "apple", "", "pear" })
        addSelection(QString::fromUtf8(entry));
    const QStringList shown { "", "Apple", "apple", "banana", "My||house", "pear", "pear" };
    QListView *list = m_window->findChild<TempClipCommands *>()->existingMasterWindow()->entryList();
    for (int row = 0; row < shown.size(); ++row) {
        QCOMPARE(clipboardBox()->itemText(row), shown.at(row));
        QCOMPARE(list->model()->index(row, 0).data().toString(), shown.at(row));
    }
    QCOMPARE(clipboardBox()->count(), shown.size());
    QCOMPARE(clipboardBox()->currentText(), QStringLiteral("Temporary Clipboard")); // adding keeps it

    // Choosing an entry pastes its real line breaks.
    document().setText(QString());
    emit clipboardBox()->activated(4);
    QCOMPARE(document().text(), QStringLiteral("My\r\n\r\nhouse"));
}

void TestTempClip::slowPasteIsTypedAndUndone_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("undos");
    QTest::newRow("+^%~(){}[] a<Tab>b: one undo") << "+^%~(){}[] a\tb" << 1;
    QTest::newRow("two lines: an undo per line and break") << "a\r\nnext line!" << 3;
}

// Slow paste types the entry, each character as itself, so that undo takes it back.
void TestTempClip::slowPasteIsTypedAndUndone()
{
    QFETCH(QString, entry);
    QFETCH(int, undos);
    addSelection(entry);
    document().setText(QStringLiteral("before "));
    document().select(7, 0);
    trigger("mnuslowpaste");
    emit clipboardBox()->activated(0);
    QCOMPARE(document().text(), QStringLiteral("before ")); // queued, not typed yet
    QTRY_COMPARE(document().text(), QStringLiteral("before ") + entry);
    for (int i = 0; i < undos; ++i)
        QTest::keyClick(area(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(document().text(), QStringLiteral("before "));
}

void TestTempClip::pasteSelectedPastesTheHighlightedEntry_data()
{
    QTest::addColumn<QString>("steps"); // keys to the focused control, "click:<row>", "remove"
    QTest::addColumn<QString>("pasted");
    QTest::newRow("opened: the list's first entry") << "" << "apple";
    QTest::newRow("Down Down") << "Down Down" << "cherry\r\nred";
    QTest::newRow("End, Up") << "End Up" << "cherry\r\nred";
    QTest::newRow("End, Home") << "End Home" << "apple";
    QTest::newRow("the letter d") << "D" << "date";
    QTest::newRow("click on banana") << "click:1" << "banana";
    QTest::newRow("click on date, Up") << "click:3 Up" << "cherry\r\nred";
    QTest::newRow("Down, Remove Selected keeps it") << "Down remove" << "banana";
    QTest::newRow("Tab into the preview, Ctrl+Tab") << "Tab Ctrl+Tab" << "\tapple";
    QTest::newRow("Tab, Tab leaves the preview") << "Tab Tab Ctrl+Tab" << "apple";
}

// What "Paste Selected" pastes is the entry the list highlights, however it came to be.
void TestTempClip::pasteSelectedPastesTheHighlightedEntry()
{
    QFETCH(QString, steps);
    QFETCH(QString, pasted);
    for (const char *entry : { "date", "banana", "cherry\r\nred", "apple" })
        addSelection(QString::fromUtf8(entry));
    document().setText(QString());
    trigger("mnumasterclip");
    MasterClipWindow *master = m_window->findChild<TempClipCommands *>()->existingMasterWindow();
    QTRY_COMPARE(QApplication::activeWindow(), master);
    QListView *list = master->entryList();
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step.startsWith(u"click:")) {
            const QModelIndex entry = list->model()->index(step.section(u':', 1).toInt(), 0);
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
        } else if (step == u"remove") {
            QTest::mouseClick(master->removeButton(), Qt::LeftButton);
        } else {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        }
    }
    if (master->selectedRow() >= 0) // what shows as chosen is the entry the list is on
        QCOMPARE(master->selectedRow(), list->currentIndex().row());
    QTest::mouseClick(master->pasteButton(), Qt::LeftButton);
    QCOMPARE(document().text(), pasted);
    QVERIFY(!master->isVisible());
}

QTEST_MAIN(TestTempClip)
#include "tst_tempclip.moc"
