#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "editor/propertieswindow.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "readaloud/loquenwindow.h"
#include "readaloud/readaloudcommands.h"
#include "windowtest.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

class TestCommandSurface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuRowsAreInPlace_data();
    void menuRowsAreInPlace();
    void menusHoldTheirRowsInOrder();
    void toolbarHasItsPositionsAndControls();
    void copyAndCutFollowTheSelectionAtReleases();
    void toolbarCopyLeavesTheClipboardAloneWithoutSelection();
    void toolbarCutAndPaste();
    void hidingTheStatusBarGreysOutTheToolbarRow();
    void hidingTheToolbarHidesItsControls();
    void propertiesOpensTwoWindows();
    void propertiesCloses_data();
    void propertiesCloses();
    void secondaryWindowsAreNamedDialogsThatEscapeCloses_data();
    void secondaryWindowsAreNamedDialogsThatEscapeCloses();
    void controlsAreNamedForWhatTheyAreFor_data();
    void controlsAreNamedForWhatTheyAreFor();
    void everyFocusableControlHasAName();
    void acceleratorsWinOverTheEditArea_data();
    void acceleratorsWinOverTheEditArea();
    void windowKeepsItsMinimumSize();

private:
    /// Opens a window as the user does: a menu row, or for "Properties" its toolbar button.
    QWidget *openWindow(const QString &row, const QString &name);

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

namespace {

QWidget *shownWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

// A focusable control needs a name that says what it is for: not none, and not merely the text
// it holds at the moment (unless it was given that name). Returns the controls without one, as
// "role object name".
QStringList namelessControls(QAccessibleInterface *node)
{
    QStringList nameless;
    const QAccessible::State state = node->state();
    const QString name = node->text(QAccessible::Name).trimmed();
    const QString value = node->text(QAccessible::Value);
    const auto *widget = qobject_cast<const QWidget *>(node->object());
    const bool namedByValue = name == value && (!widget || widget->accessibleName().isEmpty());
    if (state.focusable && !state.invisible && (name.isEmpty() || namedByValue)) {
        nameless << QStringLiteral("%1 %2 \"%3\"")
                        .arg(int(node->role()))
                        .arg(node->object() ? node->object()->objectName() : QString(), name);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            nameless << namelessControls(child);
    }
    return nameless;
}

} // namespace

QWidget *TestCommandSurface::openWindow(const QString &row, const QString &name)
{
    if (row == QLatin1String("Properties"))
        emit m_window->toolbar()->button(row)->triggered();
    else
        m_window->command(row)->trigger();
    return shownWindow(name);
}

void TestCommandSurface::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestCommandSurface::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestCommandSurface::cleanup()
{
    WindowTest::close(m_window);
    // The Properties window outlives the main window; each test closes what it opened.
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<PropertiesWindow *>(window) || !window->isVisible(),
            "a Properties window was left open");
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
}

void TestCommandSurface::menuRowsAreInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("state"); // e = enabled, d = disabled, c = checked, u = unchecked

    QTest::newRow("new") << "new"
                         << "file"
                         << "&New"
                         << "Ctrl+N"
                         << "e";
    QTest::newRow("saveas") << "saveas"
                            << "file"
                            << "Save &As"
                            << ""
                            << "e";
    QTest::newRow("mnufsize") << "mnufsize"
                              << "file"
                              << "Calculate File Size"
                              << "F12"
                              << "e";
    QTest::newRow("exit") << "exit"
                          << "file"
                          << "E&xit"
                          << "Ctrl+E"
                          << "e";
    QTest::newRow("mnureplace") << "mnureplace"
                                << "edit"
                                << "Find And &Replace"
                                << "Ctrl+H"
                                << "e";
    QTest::newRow("mnucopy") << "mnucopy"
                             << "edit"
                             << "Copy"
                             << "Ctrl+C"
                             << "d";
    QTest::newRow("mnucut") << "mnucut"
                            << "edit"
                            << "Cut"
                            << "Ctrl+X"
                            << "d";
    QTest::newRow("mnuclearclip") << "mnuclearclip"
                                  << "edit"
                                  << "&Clear Clipboard"
                                  << ""
                                  << "e";
    QTest::newRow("mnuselnxtwrd") << "mnuselnxtwrd"
                                  << "edit"
                                  << "Select next word"
                                  << "Shift+F12"
                                  << "e";
    QTest::newRow("mnuinsfile") << "mnuinsfile"
                                << "mnuinsert"
                                << "Insert File"
                                << "Shift+Ins"
                                << "e";
    QTest::newRow("mnuhtmlcode") << "mnuhtmlcode"
                                 << "mnuinsert"
                                 << "HTML code"
                                 << "Ctrl+Ins"
                                 << "e";
    QTest::newRow("mnuIcase") << "mnuIcase"
                              << "mnuformat"
                              << "Inverted Case"
                              << "Ctrl+I"
                              << "e";
    QTest::newRow("bold") << "bold"
                          << "mnuformat"
                          << "Bold"
                          << ""
                          << "eu";
    QTest::newRow("ten") << "ten"
                         << "sizea"
                         << "10"
                         << ""
                         << "eu";
    QTest::newRow("mnubothwspaces") << "mnubothwspaces"
                                    << "mnustrip"
                                    << "Both"
                                    << "F9"
                                    << "e";
    QTest::newRow("mnushowstatus") << "mnushowstatus"
                                   << "mnuoptions"
                                   << "Show StatusBar"
                                   << ""
                                   << "ec";
    QTest::newRow("mnuautosave") << "mnuautosave"
                                 << "mnuoptions"
                                 << "Auto Save (5 seconds)"
                                 << ""
                                 << "eu";
    QTest::newRow("mnuuseword") << "mnuuseword"
                                << "mnutemp"
                                << "Paste (Temp Clipboard)"
                                << "F2"
                                << "e";
    QTest::newRow("mnualphasort") << "mnualphasort"
                                  << "mnutemp"
                                  << "Alphabetical Sorting"
                                  << ""
                                  << "dc";
    QTest::newRow("reverser") << "reverser"
                              << "mnuoptions"
                              << "Mirror"
                              << ""
                              << "d";
    QTest::newRow("btndecode") << "btndecode"
                               << "mnuoptions"
                               << "UnProtect File"
                               << ""
                               << "e";
    QTest::newRow("helpa") << "helpa"
                           << "help"
                           << "Help"
                           << "F1"
                           << "e";
}

void TestCommandSurface::menuRowsAreInPlace()
{
    QFETCH(QString, name);
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(QString, state);

    QAction *row = m_window->command(name);
    QVERIFY(row);
    QCOMPARE(row->text(), caption);
    QCOMPARE(row->shortcut(), QKeySequence(shortcut, QKeySequence::PortableText));
    QCOMPARE(row->isEnabled(), state.contains(u'e'));
    QCOMPARE(row->isCheckable(), state.contains(u'c') || state.contains(u'u'));
    QCOMPARE(row->isChecked(), state.contains(u'c'));
    auto *parentMenu = m_window->findChild<QMenu *>(menu);
    QVERIFY(parentMenu);
    QVERIFY(parentMenu->actions().contains(row));
}

void TestCommandSurface::menusHoldTheirRowsInOrder()
{
    QStringList bar;
    for (QAction *action : m_window->menuBar()->actions())
        bar << action->text();
    QCOMPARE(bar, (QStringList { "&File", "&Edit", "F&ormat", "Op&tions", "&Help" }));

    QStringList file;
    for (QAction *action : m_window->findChild<QMenu *>("file")->actions())
        file << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(file,
        (QStringList { "&New", "&Open", "&Save", "Save &As", "-", "Print", "Calculate File Size",
            "-", "E&xit" }));

    QStringList sizes;
    for (QAction *action : m_window->findChild<QMenu *>("sizea")->actions())
        sizes << action->objectName();
    QCOMPARE(sizes, (QStringList { "eight", "ten", "twelve", "fourteen", "sixteen" }));
    QCOMPARE(m_window->findChild<QMenu *>("fontera")->parent(),
        m_window->findChild<QMenu *>("mnuformat"));
}

void TestCommandSurface::toolbarHasItsPositionsAndControls()
{
    MainToolbar *toolbar = m_window->toolbar();
    QCOMPARE(toolbar->objectName(), QStringLiteral("Toolbar1"));
    QStringList positions;
    for (QAction *action : toolbar->actions()) {
        if (action->isSeparator())
            positions << QStringLiteral("|");
        else if (!action->data().toString().isEmpty())
            positions << action->data().toString();
    }
    QCOMPARE(positions,
        (QStringList { "New", "Open", "Save", "|", "Print", "|", "Copy", "Cut", "Paste", "|",
            "Find", "|", "Properties" }));
    for (const char *key : { "New", "Save", "Find", "Properties" })
        QVERIFY2(!toolbar->button(QLatin1String(key))->icon().isNull(), key);

    QCOMPARE(toolbar->fontbig()->text(), QStringLiteral("A"));
    QCOMPARE(toolbar->fontbig()->toolTip(), QStringLiteral("Increase font size"));
    QCOMPARE(toolbar->fontbig()->font().pointSize(), 18);
    QCOMPARE(toolbar->fontsmall()->objectName(), QStringLiteral("Fontsmall"));
    QCOMPARE(toolbar->fontsmall()->toolTip(), QStringLiteral("Reduce font size"));
    QCOMPARE(toolbar->cmbtmp()->currentText(), QStringLiteral("Temporary Clipboard"));
    QCOMPARE(toolbar->cmbtmp()->toolTip(),
        QStringLiteral("Drag-Drop text into this. Then just select from here."
                       "(Alphabetical sorting)"));
    // The three controls sit to the right of the last button.
    QVERIFY(toolbar->fontbig()->x() > toolbar->widgetForAction(toolbar->button("Properties"))->x());
    QVERIFY(toolbar->cmbtmp()->x() > toolbar->fontsmall()->x());
}

void TestCommandSurface::copyAndCutFollowTheSelectionAtReleases()
{
    auto enabled = [this] {
        return QList<bool> { m_window->toolbar()->button("Copy")->isEnabled(),
            m_window->command("mnucut")->isEnabled(),
            m_window->toolbar()->button("Cut")->isEnabled(),
            m_window->command("mnucopy")->isEnabled() };
    };
    QCOMPARE(enabled(), QList<bool>(4, false));
    QTest::keyClicks(m_window->area(), "some text");
    QTest::keyClick(m_window->area(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(enabled(), QList<bool>(4, true));

    // A selection set by the program shows at the next release only.
    m_window->area()->setSelStart(0);
    QCOMPARE(enabled(), QList<bool>(4, true));
    QTest::mouseClick(
        m_window->area()->viewport(), Qt::LeftButton, {}, m_window->area()->cursorRect().center());
    QCOMPARE(enabled(), QList<bool>(4, false));
}

void TestCommandSurface::toolbarCopyLeavesTheClipboardAloneWithoutSelection()
{
    m_host->setClipboardText(QStringLiteral("before"));
    m_window->area()->setText(QStringLiteral("text"));
    m_window->toolbar()->button("Copy")->setEnabled(true); // as after a selection went away
    m_window->toolbar()->button("Copy")->trigger();
    QCOMPARE(m_host->clipboardText(), QStringLiteral("before"));

    m_window->area()->select(1, 2);
    emit m_window->toolbar()->button(QStringLiteral("Copy"))->triggered();
    QCOMPARE(m_host->clipboardText(), QStringLiteral("ex"));
    QCOMPARE(m_window->area()->text(), QStringLiteral("text"));
}

void TestCommandSurface::toolbarCutAndPaste()
{
    m_window->area()->setText(QStringLiteral("cut me"));
    m_window->area()->select(0, 4);
    emit m_window->toolbar()->button(QStringLiteral("Cut"))->triggered();
    QCOMPARE(m_host->clipboardText(), QStringLiteral("cut "));
    QCOMPARE(m_window->area()->text(), QStringLiteral("me"));
    QCOMPARE(m_window->star(), QStringLiteral("*"));

    m_window->area()->setSelStart(2);
    emit m_window->toolbar()->button(QStringLiteral("Paste"))->triggered();
    QCOMPARE(m_window->area()->text(), QStringLiteral("mecut "));

    // A clipboard without text: the selection goes.
    m_host->clearClipboard();
    m_window->area()->select(0, 2);
    emit m_window->toolbar()->button(QStringLiteral("Paste"))->triggered();
    QCOMPARE(m_window->area()->text(), QStringLiteral("cut "));
}

void TestCommandSurface::hidingTheStatusBarGreysOutTheToolbarRow()
{
    const int before = m_window->area()->height();
    m_window->command("mnushowstatus")->trigger();
    QVERIFY(!m_window->statusBar()->isVisible());
    QVERIFY(!m_window->command("mnushowstatus")->isChecked());
    QVERIFY(!m_window->command("mnushowtool")->isEnabled());
    QTRY_VERIFY(m_window->area()->height() > before);

    m_window->command("mnushowstatus")->trigger();
    QVERIFY(m_window->statusBar()->isVisible());
    QVERIFY(m_window->command("mnushowtool")->isEnabled());
    QTRY_COMPARE(m_window->area()->height(), before);
}

void TestCommandSurface::hidingTheToolbarHidesItsControls()
{
    const int top = m_window->area()->mapTo(m_window, QPoint()).y();
    m_window->command("mnushowtool")->trigger();
    QVERIFY(!m_window->toolbar()->isVisible());
    QVERIFY(!m_window->toolbar()->fontbig()->isVisible());
    QVERIFY(!m_window->toolbar()->cmbtmp()->isVisible());
    QVERIFY(!m_window->command("mnushowstatus")->isEnabled());
    QTRY_VERIFY(m_window->area()->mapTo(m_window, QPoint()).y() < top);

    m_window->command("mnushowtool")->trigger();
    QVERIFY(m_window->toolbar()->cmbtmp()->isVisible());
    QVERIFY(m_window->command("mnushowstatus")->isEnabled());
}

void TestCommandSurface::propertiesOpensTwoWindows()
{
    QSignalSpy about(m_window->command("about"), &QAction::triggered);
    m_window->toolbar()->button("Properties")->trigger();
    QVERIFY(m_window->propertiesWindow());
    QVERIFY(m_window->propertiesWindow()->isVisible());
    QCOMPARE(m_window->propertiesWindow()->windowTitle(), QStringLiteral("Properties"));
    QCOMPARE(about.count(), 1);

    // Once more brings the same window forward; closing the main window leaves it.
    PropertiesWindow *first = m_window->propertiesWindow();
    emit m_window->toolbar()->button(QStringLiteral("Properties"))->triggered();
    QCOMPARE(m_window->propertiesWindow(), first);
    QVERIFY(m_window->close());
    QVERIFY(first->isVisible());
    first->close();
    QTRY_VERIFY(!m_window->propertiesWindow());
}

void TestCommandSurface::propertiesCloses_data()
{
    QTest::addColumn<QString>("button"); // empty: Enter
    QTest::newRow("OK") << "OKButton";
    QTest::newRow("Cancel") << "CancelButton";
    QTest::newRow("Enter") << "";
}

void TestCommandSurface::propertiesCloses()
{
    QFETCH(QString, button);
    emit m_window->toolbar()->button(QStringLiteral("Properties"))->triggered();
    QPointer<PropertiesWindow> properties = m_window->propertiesWindow();
    if (button.isEmpty())
        QTest::keyClick(properties, Qt::Key_Return);
    else
        properties->findChild<QPushButton *>(button)->click();
    QTRY_VERIFY(!properties);
}

void TestCommandSurface::secondaryWindowsAreNamedDialogsThatEscapeCloses_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("find") << "mnufind"
                          << "findreplace"
                          << "Find";
    QTest::newRow("replace") << "mnureplace"
                             << "findreplace"
                             << "Replace";
    QTest::newRow("master clipboard") << "mnumasterclip"
                                      << "tempclip"
                                      << "Master Temporary Clipboard: Tarvex";
    QTest::newRow("font face") << "facea"
                               << "setfontedit"
                               << "Font";
    QTest::newRow("about") << "about"
                           << "frmAbout"
                           << "About Tarvex";
    QTest::newRow("properties") << "Properties"
                                << "Properties"
                                << "Properties";
}

void TestCommandSurface::secondaryWindowsAreNamedDialogsThatEscapeCloses()
{
    QFETCH(QString, row);
    QFETCH(QString, name);
    QFETCH(QString, caption);

    QPointer<QWidget> window = openWindow(row, name);
    QVERIFY(window);
    QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(window);
    QCOMPARE(dialog->role(), QAccessible::Dialog);
    QCOMPARE(dialog->text(QAccessible::Name), caption);
    // A fixed dialog border: a title and a close box, no minimise or maximise button.
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(window->minimumSize(), window->maximumSize());

    window->activateWindow(); // Properties opens behind About
    QTRY_COMPARE(QApplication::activeWindow(), window.data());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!window || !window->isVisible());
    QCOMPARE(m_window->area()->font().family(), QStringLiteral("Comic Sans MS"));
    if (window && row == QLatin1String("Properties"))
        window->close();
}

void TestCommandSurface::controlsAreNamedForWhatTheyAreFor_data()
{
    QTest::addColumn<QString>("row"); // the window the control is in, empty for the main one
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");

    QTest::newRow("edit area") << ""
                               << "frmedit"
                               << "Area"
                               << "Text";
    QTest::newRow("bigger letters") << ""
                                    << "frmedit"
                                    << "fontbig"
                                    << "Increase font size";
    QTest::newRow("smaller letters") << ""
                                     << "frmedit"
                                     << "Fontsmall"
                                     << "Reduce font size";
    QTest::newRow("find box") << "mnureplace"
                              << "findreplace"
                              << "txtfind"
                              << "Find what";
    QTest::newRow("replace box") << "mnureplace"
                                 << "findreplace"
                                 << "txtReplace"
                                 << "Replace with";
    QTest::newRow("clipboard list") << "mnumasterclip"
                                    << "tempclip"
                                    << "tmpcmb"
                                    << "Temporary Clipboard";
    QTest::newRow("clipboard preview") << "mnumasterclip"
                                       << "tempclip"
                                       << "fullclip"
                                       << "Preview";
    QTest::newRow("read-aloud text") << "mnuloquen"
                                     << "loquen"
                                     << "Text1"
                                     << "Text";
    QTest::newRow("about picture") << "about"
                                   << "frmAbout"
                                   << "picIcon"
                                   << "Tarvex";
}

void TestCommandSurface::controlsAreNamedForWhatTheyAreFor()
{
    QFETCH(QString, row);
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);

    m_window->area()->setText(QStringLiteral("word"));
    m_window->area()->setSelStart(0);
    QWidget *shown = row.isEmpty() ? m_window : openWindow(row, window);
    QVERIFY(shown);
    auto *widget = shown->findChild<QWidget *>(control);
    QVERIFY(widget);
    if (auto *box = qobject_cast<QComboBox *>(widget))
        box->setEditText(
            QStringLiteral("word")); // a box with text in it is still named by its label
    QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
    delete m_window->findChild<ReadAloudCommands *>()->loquenWindow();
}

void TestCommandSurface::everyFocusableControlHasAName()
{
    m_window->area()->setText(QStringLiteral("word"));
    m_window->area()->select(0, 4);
    m_window->command("mnucopytotemp")->trigger(); // an entry in the temporary clipboard
    QStringList nameless;
    const auto walk = [&](QWidget *window, const QString &label) {
        QVERIFY2(window, qPrintable(label));
        for (const QString &control :
            namelessControls(QAccessible::queryAccessibleInterface(window)))
            nameless << label + QStringLiteral(": ") + control;
    };
    walk(m_window, QStringLiteral("main window"));
    walk(openWindow(QStringLiteral("mnufind"), QStringLiteral("findreplace")), "find");
    walk(openWindow(QStringLiteral("mnureplace"), QStringLiteral("findreplace")), "replace");
    walk(openWindow(QStringLiteral("mnumasterclip"), QStringLiteral("tempclip")), "clipboard");
    walk(openWindow(QStringLiteral("facea"), QStringLiteral("setfontedit")), "font face");
    walk(openWindow(QStringLiteral("Properties"), QStringLiteral("Properties")), "properties");
    walk(openWindow(QStringLiteral("about"), QStringLiteral("frmAbout")), "about");
    walk(openWindow(QStringLiteral("mnuloquen"), QStringLiteral("loquen")), "read aloud");
    delete m_window->findChild<ReadAloudCommands *>()->loquenWindow();
    if (QWidget *properties = shownWindow(QStringLiteral("Properties")))
        properties->close();
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral("; "))));
}

void TestCommandSurface::acceleratorsWinOverTheEditArea_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("Ctrl+H") << "mnureplace" << int(Qt::Key_H) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+I") << "mnuIcase" << int(Qt::Key_I) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Ins") << "mnuhtmlcode" << int(Qt::Key_Insert) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+A") << "mnuselectall" << int(Qt::Key_A) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+V") << "mnupaste" << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+D") << "mnucopytotemp" << int(Qt::Key_D) << int(Qt::ControlModifier);
}

void TestCommandSurface::acceleratorsWinOverTheEditArea()
{
    QFETCH(QString, row);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    QSignalSpy triggered(m_window->command(row), &QAction::triggered);
    QTest::keyClicks(m_window->area(), "abc");
    m_host->setClipboardText(QStringLiteral("clip"));
    QTest::keyClick(m_window->area(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // The row ran, once; the area did not act on the key as well (a second paste, say).
    QCOMPARE(triggered.count(), 1);
    QVERIFY(m_window->area()->text().count(QStringLiteral("clip")) <= 1);
}

void TestCommandSurface::windowKeepsItsMinimumSize()
{
    const int minimum = qRound(2500 * m_window->logicalDpiY() / 1440.0);
    QCOMPARE(m_window->minimumSize(), QSize(minimum, minimum));
    m_window->resize(50, 50);
    QVERIFY(m_window->width() >= minimum);
}

QTEST_MAIN(TestCommandSurface)
#include "tst_commandsurface.moc"
