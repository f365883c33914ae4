#include "document/document.h"
#include "fakehost.h"
#include "tempclip/masterclipwindow.h"
#include "tempclip/tempclipcommands.h"
#include "view/textview.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

// The commands over a document of their own, shown in an edit area, and a drop-down of their
// own; the master window has no owner.
struct Clipping
{
    FakeHost host;
    Document document;
    TextView area { document };
    QComboBox box;
    TempClipCommands commands { document, host, editable(box), nullptr, &area };

    static QComboBox *editable(QComboBox &box)
    {
        box.setEditable(true);
        box.setEditText(QStringLiteral("Temporary Clipboard"));
        return &box;
    }
    Clipping()
    {
        area.show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
    }
    ~Clipping() { delete commands.existingMasterWindow(); }
    // Copy to Temp Clipboard with all of each text selected.
    void add(std::initializer_list<const char *> texts)
    {
        for (const char *text : texts) {
            document.setText(QString::fromUtf8(text));
            document.select(0, document.size());
            commands.copySelection();
        }
    }
};

} // namespace

class TestTempClip : public QObject
{
    Q_OBJECT

private slots:
    // In the drop-down and in the master window's list, which show the same entries.
    void entriesKeepAlphabeticalOrder()
    {
        Clipping c;
        c.add({ "pear", "Apple", "banana", "My\r\n\r\nhouse", "apple", "", "pear" });
        const QStringList shown { "", "Apple", "apple", "banana", "My||house", "pear", "pear" };
        QCOMPARE(c.box.count(), shown.size());
        for (int row = 0; row < shown.size(); ++row)
            QCOMPARE(c.box.itemText(row), shown.at(row));
        QCOMPARE(c.box.currentText(), QStringLiteral("Temporary Clipboard")); // adding keeps it

        // Choosing an entry pastes its real line breaks.
        c.document.setText(QString());
        emit c.box.activated(4);
        QCOMPARE(c.document.text(), QStringLiteral("My\r\n\r\nhouse"));
    }

    void slowPasteIsTypedAndUndone_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("undos");
        QTest::newRow("+^%~(){}[] a<Tab>b: one undo") << "+^%~(){}[] a\tb" << 1;
        QTest::newRow("two lines: an undo per line and break") << "a\r\nnext line!" << 3;
    }

    // Slow paste types the entry, each character as itself, so that undo takes it back.
    void slowPasteIsTypedAndUndone()
    {
        QFETCH(QString, entry);
        QFETCH(int, undos);
        Clipping c;
        c.add({ qPrintable(entry) });
        c.document.setText(QStringLiteral("before "));
        c.document.select(7, 0);
        c.commands.setSlowPaste(true);
        emit c.box.activated(0);
        QCOMPARE(c.document.text(), QStringLiteral("before ")); // queued, not typed yet
        QTRY_COMPARE(c.document.text(), QStringLiteral("before ") + entry);
        for (int i = 0; i < undos; ++i)
            QTest::keyClick(&c.area, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c.document.text(), QStringLiteral("before "));
    }

    void pasteSelectedPastesTheHighlightedEntry_data()
    {
        QTest::addColumn<QString>("steps"); // keys to the focused control, "click:<row>", "remove"
        QTest::addColumn<QString>("pasted");
        // clang-format off
        QTest::newRow("opened: the list's first entry") << "" << "apple";
        QTest::newRow("Down Down") << "Down Down" << "cherry\r\nred";
        QTest::newRow("the letter d") << "D" << "date";
        QTest::newRow("click on banana") << "click:1" << "banana";
        QTest::newRow("Down, Remove Selected keeps it") << "Down remove" << "banana";
        QTest::newRow("Tab into the preview, Ctrl+Tab") << "Tab Ctrl+Tab" << "\tapple";
        QTest::newRow("Tab, Tab leaves the preview") << "Tab Tab Ctrl+Tab" << "apple";
        // clang-format on
    }

    // What "Paste Selected" pastes is the entry the list highlights, however it came to be.
    void pasteSelectedPastesTheHighlightedEntry()
    {
        QFETCH(QString, steps);
        QFETCH(QString, pasted);
        Clipping c;
        c.add({ "date", "banana", "cherry\r\nred", "apple" });
        c.document.setText(QString());
        c.commands.showMasterWindow();
        MasterClipWindow *master = c.commands.existingMasterWindow();
        QTRY_COMPARE(QApplication::activeWindow(), master);
        QListView *list = master->entryList();
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step.startsWith(u"click:")) {
                const QRect entry
                    = list->visualRect(list->model()->index(step.sliced(6).toInt(), 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
            } else if (step == u"remove") {
                QTest::mouseClick(master->removeButton(), Qt::LeftButton);
            } else {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
        }
        if (master->selectedRow() >= 0) // what shows as chosen is the entry the list is on
            QCOMPARE(master->selectedRow(), list->currentIndex().row());
        QTest::mouseClick(master->pasteButton(), Qt::LeftButton);
        QCOMPARE(c.document.text(), pasted);
        QVERIFY(!master->isVisible());
    }
};

QTEST_MAIN(TestTempClip)
#include "tst_tempclip.moc"
