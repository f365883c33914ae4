#include "editor/codec1252.h"
#include "editor/documentfile.h"
#include "editor/maintoolbar.h"
#include "editor/startup.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The document's file (code page, line ends, safe saving) and the main window's own rules.
class TestEditor : public WindowFixture
{
    Q_OBJECT

private slots:
    void codePageAndWritingRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lost"); // what a save turns into '?', each character once
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString pair = QStringLiteral("\U0001F600");
        QTest::newRow("empty") << QString() << QByteArray() << QString();
        // Decoded by the codec itself: that each byte comes back is what counts.
        QTest::newRow("every byte comes back") << Codec1252::decode(all) << all << QString();
        QTest::newRow("CR, LF, NUL as they are; 80-9F with its five holes as C1 controls")
            << QStringLiteral("\r\n\n\r\0\u20AC\u0081\u008D\u008F\u0090\u201C\u009D\u0178\u00FF")
            << QByteArrayLiteral("\r\n\n\r\0\x80\x81\x8D\x8F\x90\x93\x9D\x9F\xFF") << QString();
        QTest::newRow("C1 controls without a byte, ?, U+0100 twice: each listed once")
            << QStringLiteral("\u0080?\u0100\u0100\u009F") << QByteArray("?????")
            << QStringLiteral("\u0080\u0100\u009F");
        QString letters; // U+0100 to U+0115: twenty-two without a byte
        for (char16_t c = 0x100; c < 0x116; ++c)
            letters += QChar(c);
        QTest::newRow("twenty-two without a byte: twenty listed")
            << letters << QByteArray(22, '?') << letters.left(20);
        QTest::newRow("a surrogate pair is one ?")
            << u'a' + pair + u'b' << QByteArray("a?b") << pair;
        const QString lone = QChar(0xDE00) + QString(QChar(0xD83D));
        QTest::newRow("lone low, lone high, a pair: ???")
            << lone + pair << QByteArray("???") << lone + pair;
    }

    void codePageAndWritingRule()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lost);
        QCOMPARE(Codec1252::encode(text), bytes);
        if (lost.isEmpty())
            QCOMPARE(Codec1252::decode(bytes), text);
        const Codec1252::Unencodable found = Codec1252::findUnencodable(text);
        QCOMPARE(found.first, lost);
        // The count is the number of question marks a save adds.
        QCOMPARE(found.count, bytes.count('?') - text.count(u'?'));
        // A save writes a new file, and adds CR LF after a text that does not end with one.
        QVERIFY(writeDocumentFile(pathOf("a.txt"), text).ok);
        QCOMPARE(readBytes(pathOf("a.txt")), bytes + "\r\n");
    }

    void loadingRule_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file: empty text") << QByteArray() << QString();
        // A bare CR ends a line, a bare LF does not, the last line gets CR LF.
        QTest::newRow("80 CR LF NUL CR 9F LF") << QByteArrayLiteral("\x80\r\n\0\r\x9F\n")
                                               << QStringLiteral("\u20AC\r\n\0\r\n\u0178\n\r\n");
        QTest::newRow("a CR CR LF b") << QByteArray("a\r\r\nb") << QStringLiteral("a\r\n\r\nb\r\n");
        // An old Macintosh file: the text outgrows the file by a character a line.
        QTest::newRow("150000 bare-CR lines")
            << QByteArray("line\r").repeated(100000) + QByteArray("\r").repeated(50000)
            << QStringLiteral("line\r\n").repeated(100000) + QStringLiteral("\r\n").repeated(50000);
    }

    void loadingRule()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(writeBytes(pathOf("a.txt"), bytes));
        QCOMPARE(readDocumentFile(pathOf("a.txt")).text, text);
    }

    void unusablePathsSayWhy_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("reason");
        const QString folder = QStringLiteral("It is a folder, not a file.");
        const QString device = QStringLiteral("It is a device or pipe, not a file.");
        const QString latin1 = QStringLiteral("The name is not valid UTF-8, so Tarvex cannot use "
                                              "it. Rename the file (or its folder) and try again.");
        QTest::newRow("open a missing name with U+FFFD") << false << "caf\uFFFD.txt"
                                                         << "The file does not exist.";
        QTest::newRow("open a folder") << false << "." << folder;
        QTest::newRow("open /dev/zero") << false << "/dev/zero" << device;
        QTest::newRow("open caf\\xe9.txt") << false << "latin1" << latin1;
        QTest::newRow("open a link that leads to itself")
            << false << "loop"
            << "It is a symbolic link that leads round in a loop, never to a file.";
        QTest::newRow("save into a missing folder") << true << "nowhere/a.txt"
                                                    << "The folder does not exist.";
        QTest::newRow("save over a folder") << true << "." << folder;
        QTest::newRow("save to a pipe") << true << "pipe" << device; // it would wait for a reader
        // Rather than make a new file whose name only looks the same.
        QTest::newRow("save as caf\\xe9.txt") << true << "latin1" << latin1;
    }

    void unusablePathsSayWhy()
    {
        QFETCH(bool, saving);
        QFETCH(QString, what);
        QFETCH(QString, reason);
        // A Latin-1 name, which Qt reads with U+FFFD for the byte E9.
        const QByteArray latin1 = QFile::encodeName(m_dir->path()) + "/caf\xe9.txt";
        if (what == QLatin1String("pipe") || what == QLatin1String("latin1"))
            QCOMPARE(::mkfifo(what == "pipe" ? QFile::encodeName(pathOf(what)) : latin1, 0644), 0);
        if (what == QLatin1String("loop"))
            QCOMPARE(::symlink("loop", QFile::encodeName(pathOf(what)).constData()), 0);
        const QString path = what == QLatin1String("latin1") ? QFile::decodeName(latin1)
            : what.startsWith(u'/')                          ? what
                                                             : pathOf(what);
        const QDir::Filters all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
        const qsizetype entries = QDir(m_dir->path()).entryList(all).size();
        const LoadResult loaded = saving ? LoadResult() : readDocumentFile(path);
        const SaveResult saved = saving ? writeDocumentFile(path, u"text") : SaveResult();
        QCOMPARE(QDir(m_dir->path()).entryList(all).size(), entries); // nothing made
        ::unlink(latin1.constData()); // which the folder's removal would not find
        QVERIFY(!loaded.ok && !saved.ok && loaded.text.isEmpty());
        QCOMPARE(saving ? saved.error : loaded.error, reason);
    }

    void savingKeepsTheFileWhole_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("folderMode"); // not 0: saved by nobody, with the folder in this mode
        QTest::addColumn<bool>("newInode"); // replaced by a copy rather than written in place
        QTest::newRow("one link: replaced by a copy") << "" << 0 << true;
        QTest::newRow("two links: written in place") << "link" << 0 << false;
        QTest::newRow("another owner: the copy is given back") << "owner" << 0 << true;
        QTest::newRow("owner may not give the copy their group: in place")
            << "owner" << 0777 << false;
        QTest::newRow("a folder that takes no new file: in place") << "owner" << 0555 << false;
        QTest::newRow("past the size limit: the copy goes") << "limit" << 0 << false;
        QTest::newRow("past the size limit, two links: put back") << "link limit" << 0 << false;
    }

    void savingKeepsTheFileWhole()
    {
        QFETCH(QString, how);
        QFETCH(int, folderMode);
        QFETCH(bool, newInode);
        const QByteArray name = QFile::encodeName(pathOf("a.txt"));
        const QByteArray folder = QFile::encodeName(m_dir->path());
        const QByteArray old = QByteArray("old text\r\n").repeated(100);
        QVERIFY(writeBytes(pathOf("a.txt"), old));
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        if (how.contains(QLatin1String("link")))
            QCOMPARE(::link(name.constData(), (folder + "/link.txt").constData()), 0);
        if (how == QLatin1String("owner") && ::geteuid() != 0)
            QSKIP("Only root can give a file to another owner.");
        if (how == QLatin1String("owner"))
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        struct stat before, after;
        QCOMPARE(::stat(name.constData(), &before), 0);
        // Nobody lacks root's rights to give files away and to pass over modes.
        if (folderMode)
            QCOMPARE(::chmod(folder.constData(), folderMode) + ::setfsuid(65534), 0);
        // Past the file-size limit a write fails (EFBIG), as the program has it, rather than killing
        // the process.
        Startup::ignoreFileSizeSignal();
        rlimit normal {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &normal), 0);
        const bool limit = how.contains(QLatin1String("limit"));
        const rlimit low { limit ? 64 * 1024 : normal.rlim_cur, normal.rlim_max };
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &low), 0);
        const SaveResult saved
            = writeDocumentFile(pathOf("a.txt"), QStringLiteral("new\r\n").repeated(20000));
        ::setrlimit(RLIMIT_FSIZE, &normal);
        ::setfsuid(0);
        QCOMPARE(::chmod(folder.constData(), 0700), 0);
        // The reason alone: the old bytes went back whole, nothing "may be damaged".
        QCOMPARE(saved.error, limit ? QStringLiteral("File too large") : QString());
        const QByteArray now = limit ? old : QByteArray("new\r\n").repeated(20000);
        QCOMPARE(readBytes(pathOf("a.txt")), now);
        QCOMPARE(::stat(name.constData(), &after), 0);
        QCOMPARE(after.st_ino != before.st_ino, newInode);
        QVERIFY(std::tie(after.st_uid, after.st_gid, after.st_mode, after.st_nlink)
            == std::tie(before.st_uid, before.st_gid, before.st_mode, before.st_nlink));
        if (how.contains(QLatin1String("link")))
            QCOMPARE(readBytes(pathOf("link.txt")), now);
        QCOMPARE(
            QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), int(after.st_nlink));
    }

    void titleShowsAPlaceholderInTheNameAsItIs()
    {
        const QString path = pathOf(QStringLiteral("[*].txt")); // Qt's modified placeholder
        QVERIFY(writeBytes(path, "text"));
        m_host->answerOpenFile(path);
        trigger("open");
        QCOMPARE(m_window->windowHandle()->title(), path + QLatin1String("[]  - Tarvex"));
        QTest::keyClicks(area(), QStringLiteral("a"));
        QCOMPARE(m_window->windowHandle()->title(), path + QLatin1String("[*] Tarvex"));
    }

    void statusBarCountsLinesFromTheFirstChange()
    {
        QCOMPARE(m_window->statusText(),
            QStringLiteral(
                "Font size 9.75  |  Font name Comic Sans MS  |   Number of lines:  0  |   "
                "Auto Save: False"));
        QTest::keyClicks(area(), QStringLiteral("x\r\r")); // x, Enter, Enter
        QVERIFY(m_window->statusText().contains(QLatin1String("Number of lines:  3  |")));
    }

    void acceleratorsWinOverTheEditArea_data()
    {
        QTest::addColumn<QString>("row");
        // Keys the area would take for itself otherwise.
        QTest::newRow("Ctrl+Ins: HTML code, not the area's copy") << "mnuhtmlcode";
        QTest::newRow("Ctrl+A: the row's Select All") << "mnuselectall";
        QTest::newRow("Ctrl+V: the row's paste, once") << "mnupaste";
    }

    void acceleratorsWinOverTheEditArea()
    {
        QFETCH(QString, row);
        QAction *action = m_window->command(row);
        // The key runs the row once, and the area does nothing with it besides.
        const auto run = [&](bool byKey) {
            document().setText(QStringLiteral("abc"));
            document().select(1, 1);
            m_host->setClipboardText(QStringLiteral("clip"));
            QSignalSpy triggered(action, &QAction::triggered);
            byKey ? QTest::keySequence(area(), action->shortcut()) : action->trigger();
            return QStringList { QString::number(triggered.count()), document().text(),
                document().selectedText(), m_host->clipboardText() };
        };
        QCOMPARE(run(true), run(false));
    }

    // Every secondary window is a dialog that a screen reader names by its title, with a fixed
    // border, and Escape puts it away.
    void secondaryWindowsAreNamedDialogs_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("find") << "mnufind" << "findreplace";
        QTest::newRow("master clipboard") << "mnumasterclip" << "tempclip";
        QTest::newRow("font face") << "facea" << "setfontedit";
        QTest::newRow("about") << "about" << "frmAbout";
        QTest::newRow("properties, from the toolbar") << "Properties" << "Properties";
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

    void toolbarSeparatorsStandBetweenButtons()
    {
        bool afterButton = false;
        int separators = 0;
        for (QAction *action : m_window->toolbar()->actions()) {
            QVERIFY2(!action->isSeparator() || afterButton, "a separator first or after another");
            afterButton = !action->isSeparator();
            separators += action->isSeparator();
        }
        QVERIFY2(afterButton && separators > 0, "no groups, or a separator last");
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
