#include "document/document.h"
#include "fakehost.h"
#include "textops/autocapitalise.h"
#include "textops/autocorrection.h"
#include "textops/caserules.h"
#include "textops/datetimetext.h"
#include "textops/textcommands.h"
#include "textpicture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Rule = QString (*)(QStringView);
using Command = void (TextCommands::*)();
const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 18, 7));

// The corrections as they were first written: each pass replaces over the whole text, in this
// order, and the passes run again while one of them changed something.
QString correctedPassByPass(QString text)
{
    static const QStringList pairs = u" i | I | i.| I.| i?| I?| i!| I!| teh | the | Teh | The "
                                     u"| adn | and | Adn | And |.Com |.com |Http|http| india"
                                     u"| India"_s.split(u'|');
    for (QString before; before != text;) {
        before = text;
        for (qsizetype i = 0; i < pairs.size(); i += 2)
            text.replace(pairs[i], pairs[i + 1]);
        for (char16_t c = u'@'; c <= u'Z'; ++c) // "www." and "@" or a capital, made small
            text.replace(u"www."_s + QChar(c), u"www."_s + QChar(c).toLower());
    }
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TestTextOps : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        using namespace CaseRules;
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        // clang-format off
        QTest::newRow("lower: İ gets longer") << &lowerCase << "AÉİ" << "aéi\u0307";
        QTest::newRow("inverted: ASCII only") << &invertedCase << "Zoo 1 é" << "zOO 1 é";
        QTest::newRow("title: only a blank starts a word, é stays small") << &titleCase << "NASA-b  éCOLE\r\nd (e)\tf" << "Nasa-b  école\r\nd (e)\tf";
        QTest::newRow("sentence: after . ? ! and a blank; ß first") << &sentenceCase << "ßa. b!c? D" << "SSa. B!C? D";
        QTest::newRow("sentence: not two blanks, not a line break") << &sentenceCase << "a.  b.\r\nc" << "A.  b.\r\nc";
        QTest::newRow("sentence: a lone high surrogate stays") << &sentenceCase << QString(QChar(0xD800)) << QString(QChar(0xD800));
        // clang-format on

        // The short date with the whole year, the long time without a zone; at midnight no time.
        const Rule dated = [](QStringView name) {
            const QLocale l(name.toString());
            return generalDateText(kNow, l) + " / " + generalDateText(kNow.date().startOfDay(), l);
        };
        // clang-format off
        QTest::newRow("date: en_US") << dated << "en_US" << "12/6/2026 9:18:07 AM / 12/6/2026";
        QTest::newRow("date: de_DE") << dated << "de_DE" << "06.12.2026 09:18:07 / 06.12.2026";
        // clang-format on
    }
    void rules()
    {
        QFETCH(Rule, rule);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(rule(text), expected);
    }

    // Random texts, and random edits of corrected texts, corrected in one scan and pass by pass.
    void oneScanMatchesThePassesRunOneByOne()
    {
        // Pieces of text the corrections care about, and a stretch of 32 with none, where the scan
        // passes over whole blocks.
        const QStringList pieces = u" |i|t|e|h|a|d|n|.|?|!|T|A|C|om|H|ttp|w|W|ww|www.|Www.|X|@|Z|[|"
                                   u" i | teh | adn |Http|.Com | india|ndia|\r\n"_s.split(u'|')
            << QString(32, u'-');
        QRandomGenerator random(20261206);
        for (int round = 0; round < 3000; ++round) {
            QString text;
            for (int i = random.bounded(80); i > 0; --i)
                text += pieces.at(random.bounded(int(pieces.size())));
            const QString expected = correctedPassByPass(text);
            const std::optional<QString> corrected = Autocorrection::corrected(text);
            QCOMPARE(corrected.value_or(text), expected);
            QCOMPARE(corrected.has_value(), expected != text);
            // An edit of a corrected text: correcting around it corrects the whole text.
            const qsizetype at = random.bounded(expected.size() + 1);
            const QString piece = pieces.at(random.bounded(int(pieces.size())));
            const QString edited = QString(expected).insert(at, piece);
            const auto fix = Autocorrection::correctedAround(edited, at, at + piece.size());
            QCOMPARE(fix ? QString(edited).replace(fix->from, fix->text.size(), fix->text) : edited,
                correctedPassByPass(edited));
        }
    }

    // A command on the document, or keys typed after switching Auto Capitalise on ("^"). After
    // the picture come "~" and the clipboard's text when it no longer holds "old".
    void commands_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const auto row
            = [](const char *name, Command command, const char *keys, const char *before,
                  const char *after) { QTest::newRow(name) << command << keys << before << after; };
        // Select All, the word, the next word, HTML code, date and time, copy, toolbar cut, paste,
        // Clear Clipboard and a first capital on their plainest texts: tst_editor's rows, through
        // the window's own actions.
        using T = TextCommands;
        row("upper case: ß longer, all selected", &T::upperCase, "", "a [ß] b", "a [SS] b");
        row("lower case: nothing selected", &T::lowerCase, "", "A |B", "A |B");
        row("sentence: after the caret", &T::sentenceCase, "", "a |b", "a |B");
        row("sentence: at the end, nothing", &T::sentenceCase, "", "a|", "a|");
        row("select word", &T::selectWord, "", "a b,\tc|d e", "a [b,\tcd] e");
        row("select next word from the caret", &T::selectNextWord, "", "o|ne two", "one [two]");
        row("strip leading blanks", &T::stripLeadingSpaces, "", "x[  \ta ]y", "x\ta |y");
        row("strip trailing blanks", &T::stripTrailingSpaces, "", "x[ a\t  ]y", "x a\t|y");
        row("strip both ends", &T::stripOuterSpaces, "", "x[ a \r\n b ]y", "xa \r\n b|y");
        row("menu copy of nothing: emptied", &T::menuCopy, "", "ab|cd", "ab|cd~");
        row("toolbar copy of nothing: left", &T::toolbarCopy, "", "ab|c", "ab|c");
        row("menu cut, CR LF", &T::menuCut, "", "a[b\r\nc]d", "a|d~b\r\nc");
        row("menu cut of nothing: emptied", &T::menuCut, "", "ab|c", "ab|c~");
        row("toolbar cut of nothing: left", &T::toolbarCut, "", "ab|c", "ab|c");
        row("option off", nullptr, "so i said teh end. x", "|", "so i said teh end. x|");
        row("capital a key late: w", nullptr, "^hi? w", "Note: |", "Note: hi? w|");
        row("capital a key late: Wo", nullptr, "^hi! wo", "Note: |", "Note: hi! Wo|");
        row("across a digit and a blank", nullptr, "^3.5 apples", "|", "3.5 Apples|");
        row("caret kept", nullptr, "^ ", "say i|now", "say I |now");
        row("caret between corrected", nullptr, "^e", "a t|h b", "a th|e b");
        // The first key corrects the whole text; the second only around itself, but the lowered
        // "W"s complete one "www." after the other, farther away than any pattern is long.
        row("www. chain", nullptr, "^ww", "|w.Www.Www.X", "ww|w.www.www.x");
    }
    void commands()
    {
        QFETCH(Command, command);
        QFETCH(QString, keys);
        QFETCH(QString, before);
        QFETCH(QString, after);
        FakeHost host;
        host.setClipboardText(u"old"_s);
        Document document;
        TextCommands commands(document, host, nullptr);
        AutoCapitalise capitalise(document);
        TextPicture::show(document, before);
        const QString text = document.text();
        if (command)
            (commands.*command)();
        if (keys.startsWith(u'^'))
            capitalise.setEnabled(true);
        // Each key as the edit area gives it: Auto Capitalise looks at the text before it goes
        // in, and the key with the capital and the corrections it brings is one change.
        for (const QChar key : keys.sliced(keys.startsWith(u'^'))) {
            document.beginChange();
            capitalise.beforeKey();
            document.replaceSelection(key);
            document.endChange();
        }
        const QString clipboard = host.clipboardText();
        QCOMPARE(TextPicture::of(document) + (clipboard == u"old" ? QString() : u'~' + clipboard),
            after);
        QCOMPARE(document.isModified(), document.text() != text);
    }
};

QTEST_MAIN(TestTextOps)
#include "tst_textops.moc"
