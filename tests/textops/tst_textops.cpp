#include "editor/maintoolbar.h"
#include "textops/autocorrection.h"
#include "textops/caserules.h"
#include "textops/datetimetext.h"
#include "textops/htmltemplate.h"
#include "textops/spacestripping.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

namespace {

using Rule = QString (*)(QStringView);
const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 18, 7));

// The corrections as they were first written: each pass replaces over the whole text, and the
// passes run again while one of them changed something.
QString correctedPassByPass(QString text)
{
    for (QString before; before != text;) {
        before = text;
        for (const Autocorrection::Pass &pass : Autocorrection::passes())
            text.replace(pass.search, pass.replacement);
    }
    return text;
}

} // namespace

class TestTextRules : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        using namespace CaseRules;
        using namespace SpaceStripping;
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("lower: İ gets longer") << &lowerCase << "AÉİ" << "aéi\u0307";
        QTest::newRow("upper: ß gets longer") << &upperCase << "straße" << "STRASSE";
        QTest::newRow("inverted: ASCII only") << &invertedCase << "Zoo 1 é" << "zOO 1 é";
        QTest::newRow("title: only a blank starts a word, é stays small")
            << &titleCase << "NASA-b  éCOLE\r\nd (e)\tf" << "Nasa-b  école\r\nd (e)\tf";
        QTest::newRow("sentence: after . ? ! and a blank; ß first")
            << &sentenceCase << "ßa. b!c? D" << "SSa. B!C? D";
        QTest::newRow("sentence: not two blanks, not a line break")
            << &sentenceCase << "a.  b.\r\nc" << "A.  b.\r\nc";
        QTest::newRow("sentence: a lone high surrogate stays")
            << &sentenceCase << QString(QChar(0xD800)) << QString(QChar(0xD800));
        QTest::newRow("strip leading blanks") << &withoutLeadingSpaces << "  \tx " << "\tx ";
        QTest::newRow("strip trailing blanks") << &withoutTrailingSpaces << " x\t  " << " x\t";
        QTest::newRow("strip both ends") << &withoutOuterSpaces << " a \r\n b " << "a \r\n b";

        // Alone and amid a long text, where the scan passes over whole blocks.
        const Rule corrected = [](QStringView text) {
            const QString pad(40, u'-'), padded = pad + text.toString() + pad;
            return Autocorrection::corrected(padded).value_or(padded).sliced(40).chopped(40);
        };
        QTest::newRow("correct: i") << corrected << " i i. i? i!" << " I I. I? I!";
        QTest::newRow("correct: teh adn")
            << corrected << " teh Teh adn Adn " << " the The and And ";
        QTest::newRow("correct: whole words") << corrected << "tehx xteh iz" << "tehx xteh iz";
        QTest::newRow("correct: india Http .Com")
            << corrected << " india Http:a.Com .Com" << " India http:a.com .Com";
        QTest::newRow("correct: www. chain")
            << corrected << "www.Www.Www.EXAMPLE www.@" << "www.www.www.eXAMPLE www.@";

        // The short date with the whole year, the long time without a zone; at midnight no time.
        const Rule dated = [](QStringView name) {
            const QLocale l(name.toString());
            return generalDateText(kNow, l) + " / " + generalDateText(kNow.date().startOfDay(), l);
        };
        QTest::newRow("date: en_US") << dated << "en_US" << "12/6/2026 9:18:07 AM / 12/6/2026";
        QTest::newRow("date: de_DE") << dated << "de_DE" << "06.12.2026 09:18:07 / 06.12.2026";
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
        // Pieces of text the corrections care about.
        const QStringList pieces = QStringLiteral(" |i|t|e|h|a|d|n|.|?|!|T|A|C|om|H|ttp|w|W|ww|"
                                                  "www.|Www.|X|@| i | teh | adn |Http|.Com | "
                                                  "india|ndia|\r\n")
                                       .split(u'|');
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
};

class TestTextWindow : public WindowFixture
{
    Q_OBJECT

    // A picture of the area: its text with the selection in brackets, or "|" at the caret.
    void show(const QString &picture)
    {
        const qsizetype start = std::max(picture.indexOf(u'|'), picture.indexOf(u'['));
        // Loaded as a new document is: unmodified, the text's own correction done.
        document().load(TextBuffer(QString(picture).remove(u'|').remove(u'[').remove(u']')), {});
        document().select(start, std::max<qsizetype>(picture.indexOf(u']') - start - 1, 0));
    }
    QString picture() const
    {
        QString text = document().text();
        const qsizetype start = document().selectionStart(), end = start + document().selectionLength();
        return end == start ? text.insert(start, u'|') : text.insert(end, u']').insert(start, u'[');
    }

private slots:
    // A command, or keys typed after switching Auto Capitalise on ("^"). After the picture come
    // "~" and the clipboard's text when it no longer holds "old".
    void edits_data()
    {
        QTest::addColumn<QString>("does");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");

        QTest::newRow("upper case: longer") << "mnuucase" << "a [ß] b" << "a [SS] b";
        QTest::newRow("sentence: after the caret") << "mnusentencecase" << "a |b" << "a |B";
        QTest::newRow("select word") << "mnuselectword" << "a b,\tc|d e" << "a [b,\tcd] e";
        QTest::newRow("select next word") << "mnuselnxtwrd" << "a [b] c" << "a b [c]";
        QTest::newRow("strip both ends") << "mnubothwspaces" << "x[  a b ]y" << "xa b|y";
        QTest::newRow("HTML code") << "mnuhtmlcode" << "a[bc]d" << "a" + htmlTemplate() + "|d";
        QTest::newRow("date and time")
            << "mnudatetime" << "a[bc]d" << "a" + generalDateText(kNow, QLocale()) + "|d";
        QTest::newRow("menu copy") << "mnucopy" << "a[bc]d" << "a[bc]d~bc";
        QTest::newRow("menu copy of nothing: emptied") << "mnucopy" << "ab|cd" << "ab|cd~";
        QTest::newRow("toolbar copy of nothing: left") << "toolbar Copy" << "ab|c" << "ab|c";
        QTest::newRow("menu cut, CR LF") << "mnucut" << "a[b\r\nc]d" << "a|d~b\r\nc";
        QTest::newRow("paste") << "mnupaste" << "a[bc]d" << "aold|d";
        QTest::newRow("clear clipboard") << "mnuclearclip" << "a[bc]d" << "a[bc]d~";
        QTest::newRow("option off") << "so i said teh end. x" << "|" << "so i said teh end. x|";
        QTest::newRow("empty text: first letter") << "^hello" << "|" << "Hello|";
        QTest::newRow("capital a key late: w") << "^hi? w" << "Note: |" << "Note: hi? w|";
        QTest::newRow("capital a key late: Wo") << "^hi! wo" << "Note: |" << "Note: hi! Wo|";
        QTest::newRow("caret kept") << "^ " << "say i|now" << "say I |now";
        QTest::newRow("caret between corrected") << "^e" << "a t|h b" << "a th|e b";
        // The first key corrects the whole text; the second only around itself, but the lowered
        // "W"s complete one "www." after the other, farther away than any pattern is long.
        QTest::newRow("www. chain") << "^ww" << "|w.Www.Www.X" << "ww|w.www.www.x";
    }
    void edits()
    {
        QFETCH(QString, does);
        QFETCH(QString, before);
        QFETCH(QString, after);
        m_host->setClipboardText(QStringLiteral("old"));
        m_host->now = kNow;
        show(before);
        const QString text = document().text();
        QAction *action = does.startsWith(u"toolbar ") ? m_window->toolbar()->button(does.mid(8))
                                                       : m_window->command(does);
        if (action) {
            action->setEnabled(true); // what the handler does with no selection is the point
            action->trigger();
        } else {
            if (does.startsWith(u'^'))
                trigger("mnuautocapitalise");
            QTest::keyClicks(area(), does.sliced(does.startsWith(u'^')));
        }
        const QString clipboard = m_host->clipboardText();
        QCOMPARE(picture() + (clipboard == u"old" ? QString() : u'~' + clipboard), after);
        QCOMPARE(m_window->document().isModified(), document().text() != text);
    }
};

// The rules run without a window, the commands each on a fresh one.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestTextRules rules;
    TestTextWindow window;
    return QTest::qExec(&rules, argc, argv) | QTest::qExec(&window, argc, argv);
}

#include "tst_textops.moc"
