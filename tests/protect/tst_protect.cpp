#include "editor/codec1252.h"
#include "editor/documentformat.h"
#include "protect/cipher.h"
#include "windowfixture.h"

#include <QRandomGenerator>
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
    QTest::newRow(name) << QByteArray(name).startsWith("un") << text << typed << said;
}

} // namespace

// The cipher's functions first, then the commands through the window.
class TestProtect : public WindowFixture
{
    Q_OBJECT

    // Answers the password boxes with `typed` and the message boxes with `buttons`.
    void run(const char *command, const QStringList &typed, QList<Host::Button> buttons)
    {
        for (const QString &password : typed)
            m_host->answerInput(password);
        for (const Host::Button button : buttons)
            m_host->answerMessage(button);
        trigger(command);
    }

private slots:
    // A symbol with no byte of its own would come back from a saved file as another character.
    void symbolsSurviveTheCodePage()
    {
        int reserved = 0;
        for (char16_t c = 1; c < 0xFFFF; ++c) {
            reserved += Cipher::isReserved(QChar(c));
            const QString text = Cipher::encode(QString(QChar(c)), kPassword);
            if (c < 0x7F || Cipher::isReserved(QChar(c)))
                QCOMPARE(Codec1252::decode(Codec1252::encode(text)), text);
        }
        QCOMPARE(reserved, 82); // 81 symbols and the marker
    }

    void encodesExactly_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QByteArray>("bytes"); // in a file, the password "abcde" typed in capitals

        QTest::newRow("Hi.") << u"Hi."_s << withAbcde("\x86\xA7\xAE");
        QTest::newRow("in the end.") << u"in the end."_s << withAbcde("\x86\x80\xA6\xE7\x89");
        QTest::newRow("words") << u"band best thin "_s << withAbcde("\x88\xB7\xF6\x96\xB0\x8C\xB0");
        QTest::newRow("period blank, the") << u"end. the "_s << withAbcde("\x85\x91\x80\xA6\xE7");
        QTest::newRow("three line feeds") << u"a\n\n\nb"_s << withAbcde("\xB0\x8A\x8B\xFB");
        QTest::newRow("CR LF, tab, marks") << u"a\r\n\t:;-'/>"_s << withAbcde(">/'-;:\t\x8A\r\xFB");
    }

    void encodesExactly()
    {
        QFETCH(QString, document);
        QFETCH(QByteArray, bytes);
        const QString password = Cipher::lowerCasePassword(u"ABCDE");
        QCOMPARE(Codec1252::encode(Cipher::encode(document, password)), bytes);
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

        QTest::newRow("CR LF lines") << u"The rest of the band.\r\nSee you!\r\n"_s;
        QTest::newRow("bare CR and LF mixed") << u"a\n\r\r\n\n\rb\r\r"_s;
        QTest::newRow("runs of line feeds") << u"\n\n\none\rtwo\n\n\n\n"_s;
    }

    // The protected text is locked against commands and typing; Open locks it again. Saved again
    // after the reopen, as auto-save does, the file keeps its bytes.
    void protectSaveReopenUnprotect()
    {
        QFETCH(QString, text);
        document().setText(text);
        run("btncode", { u"\u0130a5s!"_s, u"\u0130a5s!"_s }, { Host::Button::Ok });
        const QString protectedText = document().text();
        document().select(1, 3);
        trigger("mnuucase");
        QTest::keyClicks(area(), "typed");
        QCOMPARE(document().text(), protectedText);
        m_host->answerSaveFile(pathOf(u"a.txt"_s));
        trigger("saveas");
        QCOMPARE(readBytes(pathOf(u"a.txt"_s)), Codec1252::encode(protectedText) + "\r\n");
        m_host->answerOpenFile(pathOf(u"a.txt"_s));
        run("open", {}, { Host::Button::Ok }); // "Protected file"
        trigger("save");
        QCOMPARE(readBytes(pathOf(u"a.txt"_s)), Codec1252::encode(protectedText) + "\r\n");
        run("btndecode", { u"IA5S!"_s }, { Host::Button::Ok });
        QCOMPARE(document().text(), text);
        QVERIFY(!document().isLocked());
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("unprotect");
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
        QFETCH(bool, unprotect);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QString, said);
        document().setText(text);
        // Protect asks twice; a "|" parts two different answers. No to "Unprotect it anyway?".
        QStringList passwords = typed.isEmpty() ? QStringList() : typed.split(u'|');
        if (!unprotect && passwords.size() == 1)
            passwords << typed;
        run(unprotect ? "btndecode" : "btncode", passwords, { Host::Button::No });
        QCOMPARE(m_host->shown().size(), passwords.size() + 1);
        QVERIFY(m_host->lastShown().prompt.contains(said));
        QCOMPARE(document().text(), text);
    }

    // A line feed put into a file after Protect, reopened; if the user takes it, the text around
    // it comes back right.
    void damagedTextTakenAnyway()
    {
        document().setText(Cipher::encode(u"Meet me.", kPassword).insert(2, u'\n') + u"\r\n"_s);
        run("btndecode", { kPassword }, { Host::Button::Yes, Host::Button::Ok });
        QCOMPARE(document().text(), u"Meet me\n."_s);
    }
};

QTEST_MAIN(TestProtect)
#include "tst_protect.moc"
