#include "editor/maintoolbar.h"
#include "tempclip/masterclipwindow.h"
#include "tempclip/tempclipcommands.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QListView>
#include <QTest>

class TestTempClip : public WindowFixture
{
    Q_OBJECT

private slots:
    void entriesKeepAlphabeticalOrderInBothViews();
    void slowPasteIsTypedAndUndone_data();
    void slowPasteIsTypedAndUndone();

private:
    QComboBox *cmbtmp() const { return m_window->toolbar()->cmbtmp(); }
    void addSelection(const QString &text);
};

// Copy to Temp Clipboard with all of `text` selected.
void TestTempClip::addSelection(const QString &text)
{
    area()->setText(text);
    area()->select(0, text.size());
    trigger("mnucopytotemp");
}

void TestTempClip::entriesKeepAlphabeticalOrderInBothViews()
{
    for (const char *entry : { "pear", "Apple", "banana", "My\r\n\r\nhouse", "apple", "", "pear" })
        addSelection(QString::fromUtf8(entry));
    const QStringList shown { "", "Apple", "apple", "banana", "My||house", "pear", "pear" };
    QListView *list = m_window->findChild<TempClipCommands *>()->existingMasterWindow()->tmpcmb();
    for (int row = 0; row < shown.size(); ++row) {
        QCOMPARE(cmbtmp()->itemText(row), shown.at(row));
        QCOMPARE(list->model()->index(row, 0).data().toString(), shown.at(row));
    }
    QCOMPARE(cmbtmp()->count(), shown.size());
    QCOMPARE(cmbtmp()->currentText(), QStringLiteral("Temporary Clipboard")); // adding keeps it

    // Choosing an entry pastes its real line breaks.
    area()->setText(QString());
    emit cmbtmp()->activated(4);
    QCOMPARE(area()->text(), QStringLiteral("My\r\n\r\nhouse"));
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
    area()->setText(QStringLiteral("before "), EditArea::History::Reset);
    area()->setSelStart(7);
    trigger("mnuslowpaste");
    emit cmbtmp()->activated(0);
    QCOMPARE(area()->text(), QStringLiteral("before ")); // queued, not typed yet
    QTRY_COMPARE(area()->text(), QStringLiteral("before ") + entry);
    for (int i = 0; i < undos; ++i)
        QTest::keyClick(area(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(area()->text(), QStringLiteral("before "));
}

QTEST_MAIN(TestTempClip)
#include "tst_tempclip.moc"
