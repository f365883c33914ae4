#include "editor/filecommands.h"
#include "windowfixture.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

/// UTF-8 files stay UTF-8 and every other file stays Windows-1252, through the real window.
class TestEncoding : public WindowFixture
{
    Q_OBJECT

    QAction *reopenRow() const { return m_window->command(u"mnureopen"_s); }
    // Writes `bytes` to `path` and opens it.
    void openWith(const QString &path, const QByteArray &bytes)
    {
        QVERIFY(writeBytes(path, bytes));
        m_host->answerOpenFile(path);
        trigger("open");
    }

private slots:
    // Opened and saved, three times over: the same bytes each time, but for the line break the
    // loading rule gives a last line without one; Calculate File Size counts those bytes.
    void filesKeepTheirEncodingAndBytes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("saved");

        const QByteArray mark = "\xEF\xBB\xBF"_ba;
        const QString utf8 = u"UTF-8"_s, cp = u"Windows-1252"_s;
        // Bytes 00 to FF: not UTF-8, so each byte its Windows-1252 character (80-9F below), the
        // bare CR ended by an LF, and a CR LF after the last line.
        const QString w1252 = u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                              u"\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                              u"\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178"_s;
        QByteArray every;
        QString everyText;
        for (int b = 0; b < 256; ++b) {
            every.append(char(b));
            everyText += b >= 0x80 && b < 0xA0 ? w1252.at(b - 0x80) : QChar(b);
            everyText += b == '\r' ? u"\n"_s : QString();
        }
        // Longer than the pieces the text is written in.
        // clang-format off
        QTest::newRow("mark, caf\u00E9") << mark + "caf\xC3\xA9\r\n"_ba << utf8 << u"caf\u00E9\r\n"_s << mark + "caf\xC3\xA9\r\n"_ba;
        QTest::newRow("mark alone") << mark << utf8 << QString() << mark + "\r\n"_ba;
        QTest::newRow("mark twice, and after a bare CR") << mark + mark + "x\r"_ba + mark << utf8 << u"\uFEFFx\r\n\uFEFF\r\n"_s << mark + mark + "x\r\n"_ba + mark + "\r\n"_ba;
        QTest::newRow("\u00E9 \u20AC emoji, no mark") << "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"_ba << utf8 << u"\u00E9 \u20AC \U0001F600\r\n"_s << "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n"_ba;
        QTest::newRow("UTF-8, bare CR and LF") << "\xC3\xA9\rb\nc\r\n"_ba << utf8 << u"\u00E9\r\nb\nc\r\n"_s << "\xC3\xA9\r\nb\nc\r\n"_ba;
        QTest::newRow("empty") << QByteArray() << cp << QString() << "\r\n"_ba;
        QTest::newRow("all 256 bytes, 100 times") << every.repeated(100) << cp
            << everyText.repeated(100) + u"\r\n"_s
            << every.repeated(100).replace("\r", "\r\n") + "\r\n"_ba;
        QTest::newRow("all ASCII") << "plain\r\ntext"_ba << cp << u"plain\r\ntext\r\n"_s << "plain\r\ntext\r\n"_ba;
        QTest::newRow("a CR") << "a\r"_ba << cp << u"a\r\n"_s << "a\r\n"_ba;
        QTest::newRow("a LF") << "a\n"_ba << cp << u"a\n\r\n"_s << "a\n\r\n"_ba;
        QTest::newRow("a CR CR LF b") << "a\r\r\nb"_ba << cp << u"a\r\n\r\nb\r\n"_s
            << "a\r\n\r\nb\r\n"_ba;
        QTest::newRow("a CR LF CR LF") << "a\r\n\r\n"_ba << cp << u"a\r\n\r\n"_s << "a\r\n\r\n"_ba;
        QTest::newRow("1252 \u00E9 as E9") << "caf\xE9\r\n"_ba << cp << u"caf\u00E9\r\n"_s << "caf\xE9\r\n"_ba;
        QTest::newRow("C3 then no follower") << "\xC3("_ba << cp << u"\u00C3(\r\n"_s << "\xC3(\r\n"_ba;
        QTest::newRow("overlong C0 AF") << "\xC0\xAF"_ba << cp << u"\u00C0\u00AF\r\n"_s << "\xC0\xAF\r\n"_ba;
        QTest::newRow("surrogate ED A0 80") << "\xED\xA0\x80"_ba << cp << u"\u00ED\u00A0\u20AC\r\n"_s << "\xED\xA0\x80\r\n"_ba;
        QTest::newRow("cut short E2 82") << "\xE2\x82"_ba << cp << u"\u00E2\u201A\r\n"_s << "\xE2\x82\r\n"_ba;
        QTest::newRow("above U+10FFFF") << "\xF4\x90\x80\x80"_ba << cp << u"\u00F4\u0090\u20AC\u20AC\r\n"_s << "\xF4\x90\x80\x80\r\n"_ba;
        // clang-format on
        // An old Macintosh file: the text outgrows the file by a character a line.
        const QByteArray mac = "line\r"_ba.repeated(100000) + "\r"_ba.repeated(50000);
        const QByteArray macSaved = QByteArray(mac).replace("\r", "\r\n");
        QTest::newRow("150000 bare-CR lines")
            << mac << cp << QString::fromLatin1(macSaved) << macSaved;
        // A protected file, told and locked at each opening, keeps its bare CR: the marker,
        // "b", LF's symbol, CR, "a" (a CR LF b reversed), the separator, "edcba".
        const QByteArray locked = "\x81\xB0\x8A\r\xFB\x7F\xE7\x80\x8D\xB0\xFB\r\n"_ba;
        QTest::newRow("protected, a bare CR inside") << locked << cp << QString() << locked;
    }
    void filesKeepTheirEncodingAndBytes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QFETCH(QByteArray, saved);
        const QString path = pathOf(u"doc.txt"_s);
        QVERIFY(writeBytes(path, file));
        const bool locked = file.startsWith('\x81');
        for (int round = 1; round <= 3; ++round) {
            m_host->answerOpenFile(path);
            if (locked)
                m_host->answerMessage(Host::Button::Ok);
            trigger("open");
            QCOMPARE(document().isLocked(), locked);
            if (locked)
                QCOMPARE(m_host->lastShown().prompt, u"Protected file"_s);
            QCOMPARE(m_window->encodingText(), encoding);
            if (round == 1 && !locked)
                QCOMPARE(document().text(), text);
            trigger("save");
            QCOMPARE(readBytes(path), saved);
        }
        m_host->answerMessage(Host::Button::Ok);
        trigger("mnufsize");
        QVERIFY(m_host->lastShown().prompt.endsWith(u" is %1 bytes long"_s.arg(saved.size())));
    }

    // Text typed or inserted is saved in the document's own encoding: a UTF-8 file takes any
    // character without a question by Save, Save As or Auto Save (a box with no answer queued
    // fails the test). Inserted text is read by the loading rule, whatever the document's
    // encoding, which stays; New is Windows-1252.
    void addedTextKeepsTheDocumentsEncoding_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("steps"); // "type", an auto-save "tick", or else a row
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("saved");

        const QString utf8 = u"UTF-8"_s, cp = u"Windows-1252"_s;
        const QByteArray e = "\xC3\xA9"_ba, arrow = "\xE2\x86\x92\xC3\xA9\r\n"_ba; // \u2192 typed
        // clang-format off
        QTest::newRow("UTF-8, typed, Save") << e << "type save" << ""_ba << utf8 << arrow;
        QTest::newRow("UTF-8, typed, Save As") << e << "type saveas" << ""_ba << utf8 << arrow;
        QTest::newRow("UTF-8, typed, Auto Save") << e << "type mnuautosave tick" << ""_ba << utf8
            << arrow;
        QTest::newRow("UTF-8, New") << e << "new type saveas" << ""_ba << cp << "\x80\r\n"_ba;
        QTest::newRow("1252 <- UTF-8 \u00E9\u20AC") << "a"_ba << "mnuinsfile save"
            << "\xC3\xA9\xE2\x82\xAC"_ba << cp << "\xE9\x80\r\na\r\n"_ba;
        QTest::newRow("UTF-8 <- 1252 \u00E9") << "\xE2\x82\xAC"_ba << "mnuinsfile save" << "\xE9"_ba
            << utf8 << "\xC3\xA9\r\n\xE2\x82\xAC\r\n"_ba;
        QTest::newRow("UTF-8 <- UTF-8 emoji") << "\xE2\x82\xAC"_ba << "mnuinsfile save"
            << "\xF0\x9F\x98\x80"_ba << utf8 << "\xF0\x9F\x98\x80\r\n\xE2\x82\xAC\r\n"_ba;
        // clang-format on
    }
    void addedTextKeepsTheDocumentsEncoding()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, other);
        QFETCH(QString, encoding);
        QFETCH(QByteArray, saved);
        const QString path = pathOf(u"doc.txt"_s), otherPath = pathOf(u"other.txt"_s);
        QVERIFY(writeBytes(otherPath, other));
        openWith(path, file);
        // A key that keyClicks() cannot send: it goes no further than Latin-1.
        const QString key = encoding == u"UTF-8"_s ? u"\u2192"_s : u"\u20AC"_s;
        for (const QString &step : steps.split(u' ')) {
            if (step == "mnuinsfile"_L1) // the other file
                m_host->answerOpenFile(otherPath);
            if (step == "saveas"_L1)
                m_host->answerSaveFile(path);
            if (step == "type"_L1)
                QTest::sendKeyEvent(QTest::Click, area(), Qt::Key_unknown, key, Qt::NoModifier);
            else if (step == "tick"_L1)
                m_window->findChild<FileCommands *>()->autoSaveTick();
            else
                trigger(qPrintable(step));
        }
        QCOMPARE(m_window->encodingText(), encoding);
        QCOMPARE(readBytes(path), saved);
        QCOMPARE(document().isModified(), false);
    }

    // Protected, saved, reopened and unprotected, a UTF-8 file gives back the characters
    // Windows-1252 lacks, and stays UTF-8.
    void protectedUtf8FileComesBack()
    {
        const QString path = pathOf(u"a.txt"_s);
        const QString text = u"\u03A9 and \U0001F600\r\n\u4E2D\r\n"_s;
        openWith(path, text.toUtf8());
        m_host->answerInput(u"abcde"_s);
        m_host->answerInput(u"abcde"_s);
        m_host->answerMessage(Host::Button::Ok); // "File protected"
        trigger("btncode");
        trigger("save");
        QVERIFY(readBytes(path).startsWith("\xC2\x81")); // the marker in UTF-8
        m_host->answerOpenFile(path);
        m_host->answerMessage(Host::Button::Ok); // "Protected file"
        trigger("open");
        QVERIFY(document().isLocked());
        m_host->answerInput(u"abcde"_s);
        m_host->answerMessage(Host::Button::Ok); // "File protection removed"
        trigger("btndecode");
        QCOMPARE(document().text(), text);
        QCOMPARE(m_window->encodingText(), u"UTF-8"_s);
    }

    // The row reads the file again in the other encoding; a modified document asks Open's
    // question first: Yes saves, No drops the changes, Cancel keeps everything. (Escape on that
    // question: tst_filecommands's escapeKeepsEverythingAsItWas.) New, untitled, has no file to
    // read again, nor has the window at its start.
    void reopenAsksAsOpenDoes_data()
    {
        QTest::addColumn<int>("answer"); // -1: clean; -2: New instead of the row
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("file");

        const QString utf8 = u"UTF-8"_s, cp = u"Windows-1252"_s;
        const QByteArray mine = "caf\xC3\xA9\r\n"_ba;
        // clang-format off
        QTest::newRow("clean") << -1 << u"caf\u00C3\u00A9\r\n"_s << cp << mine;
        QTest::newRow("modified, Yes saves first") << int(Host::Button::Yes) << u"xcaf\u00C3\u00A9\r\n"_s << cp << "xcaf\xC3\xA9\r\n"_ba;
        QTest::newRow("modified, No drops it") << int(Host::Button::No) << u"caf\u00C3\u00A9\r\n"_s << cp << mine;
        QTest::newRow("New after a UTF-8 file") << -2 << QString() << cp << mine;
        QTest::newRow("modified, Cancel keeps it") << int(Host::Button::Cancel) << u"xcaf\u00E9\r\n"_s << utf8 << mine;
        // clang-format on
    }
    void reopenAsksAsOpenDoes()
    {
        QFETCH(int, answer);
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(QByteArray, file);
        const QString path = pathOf(u"doc.txt"_s);
        QVERIFY(!reopenRow()->isEnabled());
        openWith(path, "caf\xC3\xA9\r\n");
        if (answer >= 0) {
            QTest::keyClicks(area(), "x");
            m_host->answerMessage(Host::Button(answer));
        }
        trigger(answer == -2 ? "new" : "mnureopen");
        QCOMPARE(document().text(), text);
        QCOMPARE(m_window->encodingText(), encoding);
        QCOMPARE(document().isModified(), encoding == u"UTF-8"_s);
        QCOMPARE(readBytes(path), file);
        QCOMPARE(reopenRow()->isEnabled(), answer != -2);
        QCOMPARE(reopenRow()->text(),
            encoding == u"UTF-8"_s ? u"Reopen as Windows-1252"_s : u"Reopen as UTF-8"_s);
        if (document().isModified() || answer == -2)
            return;
        trigger("mnureopen"); // and back
        QCOMPARE(m_window->encodingText(), u"UTF-8"_s);
        QCOMPARE(document().text(), QString(text).replace(u"\u00C3\u00A9"_s, u"\u00E9"_s));
    }
};

QTEST_MAIN(TestEncoding)
#include "tst_encoding.moc"
