#include "editor/maintoolbar.h"
#include "readaloud/loquenwindow.h"
#include "textpicture.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's own rules: its rows, its title and status bar, its windows, its undo.
class TestEditor : public WindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(u"en_US"_s)); } // for Date And Time

    // Each row reaches its command; the windows they open are the main window's, but Loquen.
    // From the picture, with the clipboard holding "clip" and the keyboard in the drop-down, the
    // steps: "=" and the answer to the next box ("=yes", "=no", "=ok", or what is typed into
    // it), "key:" and a key or a row's shortcut pressed in the text (the row's, though the area
    // may have a use of its own for it), "dblclick" in the text, "cmbtmp"
    // to choose the drop-down's first entry, a toolbar button, or else a row. Then the picture, "~"
    // and the clipboard when it no longer holds "clip", "+" and the title of each window up (",
    // alone" when it is not the main window's), and "@" and who has the keyboard.
    void rowsReachTheirCommands_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after");
        const QString html = u"<HTML>\r\n<HEAD>\r\n<TITLE>   </TITLE>\r\n</HEAD>\r\n<BODY>\r\n\r\n"
                             u"</BODY>\r\n</HTML>\r\n"_s;
        // clang-format off
        QTest::newRow("Lower Case") << "a [bC]" << "key:Ctrl+L" << "a [bc] @Area";
        QTest::newRow("Upper Case") << "a [bC]" << "key:Ctrl+U" << "a [BC] @Area";
        QTest::newRow("Inverted Case") << "a [bC]" << "key:Ctrl+I" << "a [Bc] @Area";
        QTest::newRow("Title Case") << "[a bC]" << "key:Ctrl+T" << "[A Bc] @Area";
        QTest::newRow("Sentence Case") << "[a. bC]" << "key:Ctrl+W" << "[A. BC] @Area";
        QTest::newRow("Select All") << "a |bc" << "key:Ctrl+A" << "[a bc] @Area";
        QTest::newRow("Select Word") << "a b|c" << "key:Ctrl+F12" << "a [bc] @Area";
        QTest::newRow("Select next word") << "[a] bc" << "key:Shift+F12" << "a [bc] @Area";
        QTest::newRow("Initial whitespaces") << "a[ b ]c" << "key:F7" << "ab |c @Area";
        QTest::newRow("Terminal whitespaces") << "a[ b ]c" << "key:F8" << "a b|c @Area";
        QTest::newRow("Both") << "a[ b ]c" << "key:F9" << "ab|c @Area";
        QTest::newRow("Date And Time") << "a[b]c" << "key:F5" << "a12/6/2026 9:18:07 AM|c @Area";
        QTest::newRow("HTML code") << "a[b]c" << "key:Ctrl+Ins" << u"a"_s + html + u"|c @Area"_s;
        QTest::newRow("Copy") << "a [b]c" << "key:Ctrl+C" << "a [b]c~b @Area";
        QTest::newRow("Cut") << "a [b]c" << "key:Ctrl+X" << "a |c~b @Area";
        QTest::newRow("Paste, once") << "a [b]c" << "key:Ctrl+V" << "a clip|c @Area";
        QTest::newRow("Clear Clipboard") << "a [b]c" << "mnuclearclip" << "a [b]c~ @cmbtmp";
        QTest::newRow("toolbar Copy") << "a [b]c" << "Copy" << "a [b]c~b @Area";
        QTest::newRow("toolbar Cut") << "a [b]c" << "Cut" << "a |c~b @Area";
        QTest::newRow("Auto Capitalise") << "|" << "mnuautocapitalise key:H key:I" << "Hi| @cmbtmp";
        QTest::newRow("Protect, Unprotect") << "Hi." << "=abcde =abcde =ok btncode =abcde =ok btndecode" << "|Hi. @Area";
        QTest::newRow("Help, modified: No") << "|" << "key:X =no key:F1" << "x| @Area";
        QTest::newRow("About") << "|" << "about" << "| +About Tarvex @cmdOK";
        QTest::newRow("Find") << "a b|c" << "key:Ctrl+F" << "a [bc] +Find @txtfind";
        QTest::newRow("Find Next") << "a b|c bc" << "key:Ctrl+F key:F3 key:F3" << "a bc [bc] +Find @txtfind";
        QTest::newRow("Replace") << "a b|c" << "key:Ctrl+H" << "a b|c +Replace @txtfind";
        QTest::newRow("a double-click puts Find away") << "a b|c" << "mnufind dblclick" << "a [bc] @Area";
        QTest::newRow("Copy to Temp, chosen") << "a [b]c" << "key:Ctrl+D cmbtmp" << "a b|c @Area";
        QTest::newRow("Use Word") << "a [b]c" << "key:F2" << "a Temporary Clipboard|c @Area";
        QTest::newRow("Clear Temp, Use Word") << "a [b]c" << "mnucleartmpcmb mnuuseword" << "a |c @Area";
        QTest::newRow("Slow Paste: typed later") << "a [b]c" << "mnuslowpaste mnuuseword" << "a [b]c @Area";
        QTest::newRow("Master Clipboard") << "|" << "key:Ctrl+M" << "| +Master Temporary Clipboard: Tarvex @tmpcmb";
        QTest::newRow("Loquen") << "a|" << "mnuloquen" << "a| +Loquen, alone @Text1";
        QTest::newRow("Exit closes the main window's") << "|" << "mnufind about mnumasterclip mnuloquen exit" << "| +Loquen, alone @Text1";
        // clang-format on
    }

    void rowsReachTheirCommands()
    {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        m_host->now = QDateTime(QDate(2026, 12, 6), QTime(9, 18, 7));
        m_host->setClipboardText(u"clip"_s);
        TextPicture::show(document(), before);
        QTest::keyRelease(area(), Qt::Key_Shift); // as a selection made by keyboard ends
        m_window->toolbar()->clipboardBox()->setFocus();
        // Loquen is nobody's child: it goes before the host it talks through.
        const auto deleteLoquen = qScopeGuard([] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (qobject_cast<LoquenWindow *>(window))
                    return delete window;
            }
        });
        const auto doubleClickText = [this] {
            m_window->activateWindow(); // as the click itself would
            QTest::mouseDClick(
                area()->viewport(), Qt::LeftButton, {}, area()->caretRect().center().toPoint());
        };
        const QStringList buttons { u"=ok"_s, u"=yes"_s, u"=no"_s }; // in Host::Button's order
        for (const QString &step : steps.split(u' ')) {
            if (buttons.contains(step))
                m_host->answerMessage(Host::Button(buttons.indexOf(step)));
            else if (step.startsWith(u'='))
                m_host->answerInput(step.sliced(1));
            else if (step.startsWith(u"key:"))
                QTest::keySequence(area(), QKeySequence(step.sliced(4)));
            else if (step == u"dblclick")
                doubleClickText();
            else if (step == u"cmbtmp")
                emit m_window->toolbar()->clipboardBox()->activated(0);
            else if (QAction *button = m_window->toolbar()->button(step))
                button->trigger();
            else
                trigger(qPrintable(step));
        }
        const auto seen = [this] {
            QString seen = TextPicture::of(document());
            if (m_host->clipboardText() != u"clip")
                seen += u'~' + m_host->clipboardText();
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window != m_window && window->isVisible())
                    seen += u" +"_s + window->windowTitle()
                        + (window->parentWidget() == m_window ? u""_s : u", alone"_s);
            }
            QWidget *focus = QApplication::focusWidget();
            if (focus && focus->objectName().isEmpty())
                focus = focus->parentWidget(); // the field of a drop-down
            return seen + u" @"_s + (focus ? focus->objectName() : QString());
        };
        QTRY_COMPARE(seen(), after);
    }

    // With Auto Capitalise on, each key is one change, however much its capital and the
    // corrections add: one notice, on which the line count and the status bar are refreshed,
    // and at most one new title. The status bar counts no lines before the first change.
    void eachKeyRunsThePipelineOnce()
    {
        const QString status = u"Font size 9.75  |  Font name Comic Sans MS  |   Number of lines:  "
                               u"%1  |   Auto Save: False"_s;
        QCOMPARE(m_window->statusText(), status.arg(0));
        trigger("mnuautocapitalise");
        QSignalSpy changed(&document(), &Document::changed);
        QSignalSpy titled(m_window, &QWidget::windowTitleChanged);
        QStringList counts;
        for (const QChar key : u"so i \r"_s) {
            QTest::keyClick(area(), key.toLatin1());
            counts << u"%1 %2"_s.arg(changed.size()).arg(titled.size()); // so far
        }
        QCOMPARE(counts.join(u", "), u"1 1, 2 1, 3 1, 4 1, 5 1, 6 1"_s);
        QCOMPARE(document().text(), u"So I \r\n"_s);
        QCOMPARE(m_window->title(), u"Untitled[*] Tarvex"_s);
        QCOMPARE(m_window->statusText(), status.arg(2));
    }

    // Every secondary window is a dialog that a screen reader names by its title, with a fixed
    // border, and Escape puts it away.
    void secondaryWindowsAreNamedDialogs_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("find") << "mnufind" << "findreplace";
        QTest::newRow("master clipboard") << "mnumasterclip" << "tempclip";
        QTest::newRow("font face") << "facea" << "setfontedit";
        QTest::newRow("about") << "about" << "frmAbout";
        QTest::newRow("properties, from the toolbar") << "Properties" << "Properties";
        // clang-format on
    }

    void secondaryWindowsAreNamedDialogs()
    {
        QFETCH(QString, row);
        QFETCH(QString, name);
        if (QAction *button = m_window->toolbar()->button(row))
            emit button->triggered();
        else
            trigger(qPrintable(row));
        QPointer<QWidget> window;
        for (QWidget *widget : QApplication::topLevelWidgets())
            window = widget->objectName() == name && widget->isVisible() ? widget : window.data();
        QVERIFY(window && !window->windowTitle().isEmpty());
        QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(dialog->role(), QAccessible::Dialog);
        QCOMPARE(dialog->text(QAccessible::Name), window->windowTitle());
        const Qt::WindowFlags flags = window->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        window->activateWindow(); // Properties opens behind About
        QTRY_COMPARE(QApplication::activeWindow(), window.data());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window || !window->isVisible());
    }

    // A command's change is one undo step whatever its size: 3 MB changed by Replace All, by
    // Upper Case over a Select All or by a paste over it, then Undo gives the text back exactly
    // and Redo the change again. (A big insertion undone whole: tst_filecommands's
    // bigInsertCanBeGivenUp.)
    void bigChangesUndoInOneStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after"); // each stretch of the text
        const char *cat = "the cat\r\nruns\r\n quick cat\r\n";
        // clang-format off
        QTest::newRow("Replace All fox with cat") << "replace all" << cat;
        QTest::newRow("Ctrl+A, Ctrl+U") << "upper case" << "THE FOX\r\nRUNS\r\n QUICK FOX\r\n";
        QTest::newRow("Ctrl+A, Ctrl+V of 3 MB of cats") << "paste" << cat;
        // clang-format on
    }
    void bigChangesUndoInOneStep()
    {
        QFETCH(QString, how);
        QFETCH(QString, after);
        const QString stretch = u"the fox\r\nruns\r\n quick fox\r\n"_s;
        const QString original = stretch.repeated(3'000'000 / stretch.size());
        const QString expected = after.repeated(3'000'000 / stretch.size());
        document().setText(original);
        if (how == u"replace all") {
            trigger("mnureplace");
            m_window->findChild<QComboBox *>(u"txtfind"_s)->setEditText(u"fox"_s);
            m_window->findChild<QComboBox *>(u"txtReplace"_s)->setEditText(u"cat"_s);
            m_window->findChild<QPushButton *>(u"btnReplaceAll"_s)->click();
        } else {
            m_host->setClipboardText(expected); // for the paste
            QTest::keyClick(area(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(area(), how == u"paste" ? Qt::Key_V : Qt::Key_U, Qt::ControlModifier);
        }
        QVERIFY2(document().text() == expected, "another change");
        QTest::keySequence(area(), QKeySequence::Undo);
        QVERIFY2(document().text() == original, "Undo gave another text back");
        QTest::keySequence(area(), QKeySequence::Redo);
        QVERIFY2(document().text() == expected, "Redo gave another change");
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
