#include "document/document.h"
#include "editor/codec1252.h"
#include "editor/documentfile.h"
#include "editor/documentformat.h"
#include "fakehost.h"
#include "protect/cipher.h"
#include "protect/protectcommands.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kPassword = u"abcde"_s;

// The bytes of a text protected with "abcde": the marker, the substitution `reversed`, the
// separator and the password's symbols reversed.
QByteArray withAbcde(const char *reversed)
{
    return "\x81" + QByteArray(reversed) + "\x7F\xE7\x80\x8D\xB0\xFB";
}

// A row of refusals(); its name tells the command.
void refusal(const char *name, const QString &text, const QString &typed, const QString &said)
{
    QTest::newRow(name) << text << typed << said;
}

} // namespace

// The cipher's functions first, then the commands over a document of their own; `m_lines`
// stands for the lines the text displays.
class TestProtect : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<Document> m_document;
    std::unique_ptr<ProtectCommands> m_commands;
    int m_lines = 1;

    // Answers the password boxes with `typed` and the message boxes with `buttons`: every box
    // must take one of them (FakeHost fails the test otherwise) and every one be taken (cleanup).
    void run(
        void (ProtectCommands::*command)(), const QStringList &typed, QList<Host::Button> buttons)
    {
        for (const QString &password : typed)
            m_host->answerInput(password);
        for (const Host::Button button : buttons)
            m_host->answerMessage(button);
        (m_commands.get()->*command)();
    }

private slots:
    void init()
    {
        m_host = std::make_unique<FakeHost>();
        m_document = std::make_unique<Document>();
        m_commands = std::make_unique<ProtectCommands>(
            *m_document, *m_host, nullptr, [this] { return m_lines; });
    }

    void cleanup() { QCOMPARE(m_host->pendingAnswers(), 0); }

    void encodesExactly_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QByteArray>("bytes"); // in a file, the password "abcde" typed in capitals

        QTest::newRow("Hi.") << u"Hi."_s << withAbcde("\x86\xA7\xAE");
        QTest::newRow("in the end.") << u"in the end."_s << withAbcde("\x86\x80\xA6\xE7\x89");
        QTest::newRow("words") << u"band best thin "_s << withAbcde("\x88\xB7\xF6\x96\xB0\x8C\xB0");
        QTest::newRow("period blank, the") << u"end. the "_s << withAbcde("\x85\x91\x80\xA6\xE7");
        QTest::newRow("three line feeds") << u"a\n\n\nb"_s << withAbcde("\xB0\x8A\x8B\xFB");
        QTest::newRow("emoji: a pair, whole") << u"a\U0001F600"_s << withAbcde("?\xFB");
        QTest::newRow("CR LF, tab, marks") << u"a\r\n\t:;-'/>"_s << withAbcde(">/'-;:\t\x8A\r\xFB");
    }

    // And decoded, the text comes back.
    void encodesExactly()
    {
        QFETCH(QString, document);
        QFETCH(QByteArray, bytes);
        const QString password = Cipher::lowerCasePassword(u"ABCDE");
        QCOMPARE(Codec1252::encode(Cipher::encode(document, password)), bytes);
        QCOMPARE(
            Cipher::decode(Cipher::encode(document, password), Cipher::passwordSymbols(password)),
            document);
    }

    // Saved by the writing rule and reopened by the loading rule up to twice, with any password
    // of the code page that Protect accepts. Nor is such a file ever taken for a damaged one.
    void randomDocumentsComeBackThroughFiles()
    {
        // ASCII from the tab to "~" (the blank's symbol is no document's), word fragments, CR LF.
        const auto pieces = u"and |the |in the |in |on |of |est |. |\r\n|\n\n\n"_s.split(u'|');
        QRandomGenerator random(7);
        for (int i = 0; i < 1500; ++i) {
            QString document;
            for (int k = random.bounded(1, 80); k > 0; --k)
                document += random.bounded(2) ? QString(QChar(u'\t' + random.bounded(118)))
                                              : pieces[random.bounded(pieces.size())];
            QByteArray typed; // five bytes; one the file cannot keep slides out
            while (typed.size() < 5 || Cipher::firstUnstorable(Codec1252::decode(typed)) >= 0)
                typed = typed.right(4) + char(random.bounded(256));
            const QString password = Cipher::lowerCasePassword(Codec1252::decode(typed));
            QString text = Cipher::encode(document, password);
            for (int trip = 0; trip < i % 3; ++trip)
                text = DocumentFormat::textFromFileBytes(DocumentFormat::fileBytesFromText(text));
            text = Cipher::withoutLoadingLineBreaks(text);
            QVERIFY(Cipher::hasPasswordPlace(text) && Cipher::firstForeign(text) < 0
                && Cipher::decode(text, Cipher::passwordSymbols(password)) == document);
        }
    }

    // Any text, with the password it ends with or another: no crash and no wrong password taken.
    void decodeOfAnyTextIsSafe()
    {
        QRandomGenerator random(99);
        for (int i = 0; i < 20000; ++i) {
            QString text = QString(Cipher::marker).repeated(random.bounded(2));
            for (int k = random.bounded(40); k > 0; --k)
                text += QChar(char16_t(random.bounded(random.bounded(2) ? 0x10000 : 0x90)));
            // As UnProtect reads it, after the line breaks a file would have added.
            text = Cipher::withoutLoadingLineBreaks(text + u"\r\n\r\n"_s.left(random.bounded(5)));
            QString symbols = text.right(5);
            std::reverse(symbols.begin(), symbols.end());
            const bool right = text.size() >= 6 && random.bounded(2);
            if (!right)
                symbols = QString(random.bounded(7), QChar(char16_t(random.bounded(0x10000))));
            QCOMPARE(Cipher::decode(text, symbols).has_value(), right);
            QVERIFY(
                !Cipher::hasPasswordPlace(text) || Cipher::firstForeign(text) < text.size() - 6);
        }
    }

    void protectSaveReopenUnprotect_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines"); // that the text displays
        QTest::addColumn<int>("boxes"); // two for the password, a wait past 50 lines, the news

        // clang-format off
        QTest::newRow("CR LF lines, 50") << u"The rest of the band.\r\nSee you!\r\n"_s << 50 << 3;
        QTest::newRow("CR and LF mixed, 51 lines: wait") << u"a\n\r\r\n\n\rb\r\r"_s << 51 << 4;
        QTest::newRow("runs of line feeds") << u"\n\n\none\rtwo\n\n\n\n"_s << 1 << 3;
        // clang-format on
    }

    // The protected text is locked; saved, read back and saved again, as auto-save does, the
    // file keeps its bytes; the password typed in other capitals restores the text.
    void protectSaveReopenUnprotect()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(int, boxes);
        m_lines = lines;
        m_document->setText(text);
        run(&ProtectCommands::protect, { u"\u0130a5s!"_s, u"\u0130a5s!"_s },
            QList<Host::Button>(boxes - 2, Host::Button::Ok));
        QVERIFY(m_document->isLocked() && !m_document->canUndo());
        const QString protectedText = m_document->text();
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.txt"_s);
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(writeDocumentFile(path, m_document->text()).ok);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), Codec1252::encode(protectedText) + "\r\n");
            m_document->load(TextBuffer(readDocumentFile(path).text), path);
        }
        run(&ProtectCommands::unprotect, { u"IA5S!"_s }, { Host::Button::Ok });
        QCOMPARE(m_document->text(), text);
        QVERIFY(!m_document->isLocked() && !m_document->canUndo());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed"); // into the password boxes
        QTest::addColumn<QString>("said"); // part of the last box

        const QString meet = Cipher::encode(u"Meet me at the gate.", kPassword);
        refusal("protect: no text", {}, {}, u"no text to protect"_s);
        refusal("protect: { first", u"{x}"_s, {}, u"already protected"_s);
        refusal("protect: em dash on line 3", u"a\r\nb\rx\u2014"_s, {}, u"7 (line 3, column 2)"_s);
        refusal("protect: four characters", u"plain"_s, u"abcd"_s, u"Invalid password"_s);
        refusal("protect: emoji, 5 units", u"plain"_s, u"abc\U0001F600"_s, u"Invalid password"_s);
        refusal("protect: second differs", u"plain"_s, u"abcde|Abcde"_s, u"Invalid password"_s);
        refusal("protect: Cyrillic", u"plain"_s, u"\u041Aabcd"_s, u"(U+041A), which"_s);
        refusal("protect: line feed", u"plain"_s, u"ab\ncd"_s, u"U+000A, which"_s);
        refusal("unprotect: no text", {}, {}, u"no text to unprotect"_s);
        refusal("unprotect: z first", u"zebra"_s, {}, u"File not protected"_s);
        refusal("unprotect: CJK counts as ?", u"\u4E2D"_s, {}, u"File not protected"_s);
        refusal("unprotect: wrong password", meet, u"abcdx"_s, u"Wrong"_s);
        refusal("unprotect: e acute first", u"\u00E9lan\r\n"_s, kPassword, u"Wrong"_s);
        refusal("unprotect: password damaged", meet.chopped(1) + u'x', kPassword, u"Wrong"_s);
        refusal("unprotect: cut short", meet.chopped(2), {}, u"does not end with its password"_s);
        refusal("unprotect: g put in", QString(meet).replace(2, 1, u'g'), kPassword, u"\"g\""_s);
        refusal("unprotect: LF put in", QString(meet).insert(3, u'\n'), kPassword, u"U+000A,"_s);
    }

    // A refusal leaves the text as it was and asks nothing more.
    void refusals()
    {
        const bool unprotect = QByteArray(QTest::currentDataTag()).startsWith("un");
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QString, said);
        m_document->setText(text);
        // Protect asks twice; a "|" parts two different answers. No to "Unprotect it anyway?".
        QStringList passwords = typed.isEmpty() ? QStringList() : typed.split(u'|');
        if (!unprotect && passwords.size() == 1)
            passwords << typed;
        run(unprotect ? &ProtectCommands::unprotect : &ProtectCommands::protect, passwords,
            { Host::Button::No });
        QVERIFY(m_host->lastShown().prompt.contains(said));
        QCOMPARE(m_document->text(), text);
    }

    // A line feed put into a file after Protect, reopened; if the user takes it, the text around
    // it comes back right.
    void damagedTextTakenAnyway()
    {
        m_document->setText(Cipher::encode(u"Meet me.", kPassword).insert(2, u'\n') + u"\r\n"_s);
        run(&ProtectCommands::unprotect, { kPassword }, { Host::Button::Yes, Host::Button::Ok });
        QCOMPARE(m_document->text(), u"Meet me\n."_s);
    }
};

QTEST_MAIN(TestProtect)
#include "tst_protect.moc"
