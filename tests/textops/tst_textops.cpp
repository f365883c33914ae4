#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "textops/autocorrection.h"
#include "textops/textcommands.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A picture of the edit area: the text with the selection in brackets, or "|" for the caret.
struct Picture
{
    QString text;
    qsizetype start = 0;
    qsizetype length = 0;
};

Picture parsePicture(const QString &picture)
{
    Picture parsed;
    parsed.text = picture;
    const qsizetype caret = picture.indexOf(u'|');
    if (caret >= 0) {
        parsed.text.remove(caret, 1);
        parsed.start = caret;
        return parsed;
    }
    const qsizetype open = picture.indexOf(u'[');
    const qsizetype close = picture.indexOf(u']');
    Q_ASSERT(open >= 0 && close > open);
    parsed.text.remove(close, 1);
    parsed.text.remove(open, 1);
    parsed.start = open;
    parsed.length = close - open - 1;
    return parsed;
}

QString pictureOf(const EditArea &area)
{
    QString picture = area.text();
    const qsizetype start = area.selStart();
    const qsizetype length = area.selLength();
    if (length == 0)
        return picture.insert(start, u'|');
    picture.insert(start + length, u']');
    return picture.insert(start, u'[');
}

// A text of `size` characters made of short words, to go before the place a command works on.
QString words(qsizetype size)
{
    QString text;
    while (text.size() < size)
        text += QStringLiteral("word ");
    text.truncate(size);
    return text;
}

// The passes as they are written: each one replaces over the whole text, and the runs repeat
// while one of them changed something.
QString correctedPassByPass(QString text)
{
    const QList<Autocorrection::Pass> passes = Autocorrection::passes();
    for (bool changed = true; changed;) {
        changed = false;
        for (const Autocorrection::Pass &pass : passes) {
            const QString before = text;
            text.replace(pass.search, pass.replacement);
            changed = changed || text != before;
        }
    }
    return text;
}

// Pieces of text that the corrections care about, to build random texts from.
QStringList correctionPieces()
{
    return { QStringLiteral(" "), QStringLiteral("i"), QStringLiteral("t"), QStringLiteral("e"),
        QStringLiteral("h"), QStringLiteral("a"), QStringLiteral("d"), QStringLiteral("n"),
        QStringLiteral("."), QStringLiteral("?"), QStringLiteral("!"), QStringLiteral("T"),
        QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("om"), QStringLiteral("H"),
        QStringLiteral("ttp"), QStringLiteral("w"), QStringLiteral("W"), QStringLiteral("ww"),
        QStringLiteral("www."), QStringLiteral("Www."), QStringLiteral("X"), QStringLiteral("@"),
        QStringLiteral(" i "), QStringLiteral(" teh "), QStringLiteral(" adn "),
        QStringLiteral("Http"), QStringLiteral(".Com "), QStringLiteral(" india"),
        QStringLiteral("ndia"), QStringLiteral("\r\n") };
}

QString randomText(QRandomGenerator &random, int maxPieces)
{
    static const QStringList pieces = correctionPieces();
    QString text;
    const int count = random.bounded(maxPieces + 1);
    for (int i = 0; i < count; ++i)
        text += pieces.at(random.bounded(int(pieces.size())));
    return text;
}

// One thing the user or a command does to the document, described so that it can be done the
// same way in two windows.
struct Edit
{
    enum Kind {
        Type,
        Backspace,
        Delete,
        Paste,
        Toggle,
        LowerCase,
        UpperCase,
        Undo,
        Redo,
        Replace,
        OpenKept,
        OpenCancelled,
        ChangeWhileLocked
    } kind;
    QString text;
    qsizetype at = 0;
    qsizetype length = 0;

    QString describe() const
    {
        static const char *const names[]
            = { "type", "backspace", "delete", "paste", "toggle", "lower case", "upper case",
                  "undo", "redo", "replace", "open", "open cancelled", "change while locked" };
        return QStringLiteral("%1 [%2,+%3] '%4'")
            .arg(QLatin1String(names[kind]))
            .arg(at)
            .arg(length)
            .arg(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\\r\\n")));
    }
};

Edit randomEdit(QRandomGenerator &random, qsizetype size)
{
    static const QString keys = QStringLiteral(" .?!ithedanTACoHpwWX\r");
    // Typing, the commonest edit, half the time.
    const int kind = random.bounded(2) ? Edit::Type : random.bounded(Edit::ChangeWhileLocked + 1);
    Edit edit { Edit::Kind(kind), {}, 0, 0 };
    // Short texts keep every step cheap; a long one is replaced, as Open would.
    if (size > 300)
        edit.kind = Edit::Replace;
    edit.at = random.bounded(size + 1);
    edit.length = random.bounded(int(std::min<qsizetype>(size - edit.at, 8)) + 1);
    if (random.bounded(2))
        edit.length = 0;
    switch (edit.kind) {
    case Edit::Type:
        if (random.bounded(2)) {
            // Pieces typed key by key complete patterns with their last key.
            edit.text = randomText(random, 3).replace(QLatin1String("\r\n"), QLatin1String("\r"));
        } else {
            for (int i = random.bounded(1, 9); i > 0; --i)
                edit.text += keys.at(random.bounded(int(keys.size())));
        }
        break;
    case Edit::Backspace:
    case Edit::Delete:
        edit.length = random.bounded(1, 4); // keys pressed
        break;
    case Edit::Paste:
    case Edit::ChangeWhileLocked:
        edit.text = randomText(random, 4);
        break;
    case Edit::Replace:
    case Edit::OpenKept:
    case Edit::OpenCancelled:
        edit.text = randomText(random, 40);
        break;
    default:
        break;
    }
    return edit;
}

void apply(frmedit &window, FakeHost &host, const Edit &edit)
{
    EditArea *area = window.area();
    const auto key = [area](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(area, key, modifiers);
    };
    switch (edit.kind) {
    case Edit::Type:
        area->select(edit.at, edit.length);
        for (const QChar ch : edit.text) {
            if (ch == u'\r')
                key(Qt::Key_Return);
            else
                QTest::keyClicks(area, QString(ch));
        }
        break;
    case Edit::Backspace:
    case Edit::Delete:
        area->setSelStart(edit.at);
        for (int i = 0; i < edit.length; ++i)
            key(edit.kind == Edit::Backspace ? Qt::Key_Backspace : Qt::Key_Delete);
        break;
    case Edit::Paste:
        area->select(edit.at, edit.length);
        host.setClipboardText(edit.text);
        window.command(QStringLiteral("mnupaste"))->trigger();
        break;
    case Edit::Toggle:
        window.command(QStringLiteral("mnuautocapitalise"))->trigger();
        break;
    case Edit::LowerCase:
        area->select(edit.at, edit.length);
        window.command(QStringLiteral("mnulcase"))->trigger();
        break;
    case Edit::UpperCase:
        area->select(edit.at, edit.length);
        window.command(QStringLiteral("mnuucase"))->trigger();
        break;
    case Edit::Undo:
        key(Qt::Key_Z, Qt::ControlModifier);
        break;
    case Edit::Redo:
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        break;
    case Edit::Replace:
        area->setText(edit.text, EditArea::History::Reset);
        break;
    case Edit::OpenKept:
    case Edit::OpenCancelled:
        area->prepareText(edit.text);
        if (edit.kind == Edit::OpenKept)
            area->keepPreparedText();
        else
            area->dropPreparedText();
        break;
    case Edit::ChangeWhileLocked:
        area->setLocked(true);
        area->setText(QString(area->text()).insert(edit.at, edit.text));
        area->setLocked(false);
        break;
    }
}

const QString kHtmlTemplate = QStringLiteral("<HTML>") + QStringLiteral("\r\n")
    + QStringLiteral("<HEAD>") + QStringLiteral("\r\n") + QStringLiteral("<TITLE>   </TITLE>")
    + QStringLiteral("\r\n") + QStringLiteral("</HEAD>") + QStringLiteral("\r\n")
    + QStringLiteral("<BODY>") + QStringLiteral("\r\n") + QStringLiteral("\r\n")
    + QStringLiteral("</BODY>") + QStringLiteral("\r\n") + QStringLiteral("</HTML>")
    + QStringLiteral("\r\n");

// A host whose clipboard can refuse new text, as a clipboard held by another program does.
class ClipboardHost : public FakeHost
{
public:
    void setClipboardText(const QString &text) override
    {
        if (!refuseClipboard)
            FakeHost::setClipboardText(text);
    }
    bool refuseClipboard = false;
};

} // namespace

class TestTextOps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void caseRowsConvertTheSelectionAndSelectItAgain_data();
    void caseRowsConvertTheSelectionAndSelectItAgain();
    void caseShortcutsRunTheirRows_data();
    void caseShortcutsRunTheirRows();

    void typingCapitalisesTheLetterAfterAMarkOneKeyLate_data();
    void typingCapitalisesTheLetterAfterAMarkOneKeyLate();
    void togglingOnAnEmptyTextCapitalisesTheFirstLetter_data();
    void togglingOnAnEmptyTextCapitalisesTheFirstLetter();
    void keyAtTheStartOfTheTextCapitalisesNothing();
    void capitalisingKeyCollapsesTheSelection_data();
    void capitalisingKeyCollapsesTheSelection();
    void correctionsRunUntilNoPassFindsAnything_data();
    void correctionsRunUntilNoPassFindsAnything();
    void correctionsLeaveTheCaretWhereItWas();
    void correctionsFollowACaseConversion();
    void correctionsNeedTheOptionOn();
    void oneScanMatchesThePassesRunOneByOne();
    void correctingTheChangeEqualsCorrectingTheWholeText();
    void correctionsCascadeBeyondTheChange();

    void selectAllSelectsTheWholeText();
    void selectWordRowsSelectUpToTheBlanks_data();
    void selectWordRowsSelectUpToTheBlanks();
    void selectWordTakesAThousandCharactersWithoutABlank_data();
    void selectWordTakesAThousandCharactersWithoutABlank();
    void stripRowsRemoveOnlyBlanksAtTheEnds_data();
    void stripRowsRemoveOnlyBlanksAtTheEnds();
    void htmlCodeInsertsTheTemplate();
    void dateAndTimeIsWrittenAsTheLocaleWritesIt_data();
    void dateAndTimeIsWrittenAsTheLocaleWritesIt();

    void copyRowsDifferInEmptyingTheClipboard_data();
    void copyRowsDifferInEmptyingTheClipboard();
    void cutMovesTheSelectionToTheClipboard_data();
    void cutMovesTheSelectionToTheClipboard();
    void cutKeepsTextTheClipboardRefused_data();
    void cutKeepsTextTheClipboardRefused();
    void pasteReplacesTheSelectionByTheClipboardText_data();
    void pasteReplacesTheSelectionByTheClipboardText();
    void clearClipboardThenPasteDeletesTheSelection();
    void clipboardShortcutsRunTheMenuRows();
    void separatorsFromOtherProgramsBecomeLineBreaks_data();
    void separatorsFromOtherProgramsBecomeLineBreaks();

    void commandsServeTextsBeyond32767Characters_data();
    void commandsServeTextsBeyond32767Characters();
    void correctionsReachTheEndOfALongText();

private:
    EditArea *area() const { return m_window->area(); }
    void trigger(const QString &row) { m_window->command(row)->trigger(); }
    void show(const QString &picture);
    void focusElsewhere();
    /// Sets the picture, runs the row with the focus elsewhere, checks the picture, the
    /// modified marker and the focus.
    void checkRow(const QString &row, const QString &before, const QString &after, bool modifies);
    void switchAutoCapitaliseOn();

    ClipboardHost *m_host = nullptr;
    frmedit *m_window = nullptr;
    QLocale m_startLocale;
};

void TestTextOps::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_startLocale = QLocale();
}

void TestTextOps::init()
{
    m_host = new ClipboardHost;
    m_host->now = QDateTime(QDate(2026, 12, 6), QTime(9, 18, 7));
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestTextOps::cleanup()
{
    QLocale::setDefault(m_startLocale);
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
}

// A fresh picture leaves the document clean, so that a test sees what the row itself changed.
void TestTextOps::show(const QString &picture)
{
    const Picture parsed = parsePicture(picture);
    area()->setText(parsed.text);
    area()->select(parsed.start, parsed.length);
    m_window->setModified(false);
}

void TestTextOps::focusElsewhere()
{
    m_window->toolbar()->cmbtmp()->setFocus();
    QVERIFY(!area()->hasFocus());
}

void TestTextOps::checkRow(
    const QString &row, const QString &before, const QString &after, bool modifies)
{
    show(before);
    focusElsewhere();
    trigger(row);
    QCOMPARE(pictureOf(*area()), after);
    QCOMPARE(m_window->isModified(), modifies);
    QVERIFY(area()->hasFocus());
}

void TestTextOps::switchAutoCapitaliseOn()
{
    trigger(QStringLiteral("mnuautocapitalise"));
    QVERIFY(m_window->command(QStringLiteral("mnuautocapitalise"))->isChecked());
}

// ---- Case conversions --------------------------------------------------------------------

void TestTextOps::caseRowsConvertTheSelectionAndSelectItAgain_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("modifies");

    QTest::newRow("lower: a[BC Dé]F -> a[bc dé]F") << "mnulcase"
                                                   << "a[BC DÉ]F"
                                                   << "a[bc dé]F" << true;
    QTest::newRow("lower: x[\\u0130]y -> x[i\\u0307]y (longer)") << "mnulcase"
                                                                 << "x[\u0130]y"
                                                                 << "x[i\u0307]y" << true;
    QTest::newRow("upper: a[bc dé]f -> a[BC DÉ]f") << "mnuucase"
                                                   << "a[bc dé]f"
                                                   << "a[BC DÉ]f" << true;
    QTest::newRow("upper: [straße] -> [STRASSE] (longer)") << "mnuucase"
                                                           << "a [straße] b"
                                                           << "a [STRASSE] b" << true;
    QTest::newRow("inverted: [Zebra zoo 123 é] -> [zEBRA ZOO 123 é]")
        << "mnuIcase"
        << "[Zebra zoo 123 é]"
        << "[zEBRA ZOO 123 é]" << true;
    QTest::newRow("inverted: mid-text selection") << "mnuIcase"
                                                  << "ab[cD]e"
                                                  << "ab[Cd]e" << true;
    QTest::newRow("title: [NASA rocks] -> [Nasa Rocks]") << "mnutitlecase"
                                                         << "[NASA rocks]"
                                                         << "[Nasa Rocks]" << true;
    QTest::newRow("title: only the blank starts a word")
        << "mnutitlecase"
        << "[one-two  three\r\nfour (five)\tsix]"
        << "[One-two  Three\r\nfour (five)\tsix]" << true;
    QTest::newRow("title: first letter capital mid-word: ab[CD EF]gh -> ab[Cd Ef]gh")
        << "mnutitlecase"
        << "ab[CD EF]gh"
        << "ab[Cd Ef]gh" << true;
    QTest::newRow("title: [éCOLE x] -> [école X]") << "mnutitlecase"
                                                   << "[éCOLE x]"
                                                   << "[école X]" << true;
    QTest::newRow("sentence: [hi. it's me!how? ok] -> [Hi. It's me!How? Ok]")
        << "mnusentencecase"
        << "[hi. it's me!how? ok]"
        << "[Hi. It's me!How? Ok]" << true;
    QTest::newRow("sentence: [e.g. this] -> [E.G. This]") << "mnusentencecase"
                                                          << "[e.g. this]"
                                                          << "[E.G. This]" << true;
    QTest::newRow("sentence: two blanks stop it: [end.  next]") << "mnusentencecase"
                                                                << "[end.  next]"
                                                                << "[End.  next]" << true;
    QTest::newRow("sentence: a line break stops it") << "mnusentencecase"
                                                     << "[end.\r\nnext]"
                                                     << "[End.\r\nnext]" << true;
    QTest::newRow("sentence: nothing made small: [HELLO. WORLD]") << "mnusentencecase"
                                                                  << "[HELLO. WORLD]"
                                                                  << "[HELLO. WORLD]" << false;
    QTest::newRow("sentence: a leading blank stays: x[ hi. there]") << "mnusentencecase"
                                                                    << "x[ hi. there]"
                                                                    << "x[ hi. There]" << true;
    QTest::newRow("sentence: first character by the full mapping: [ßx] -> [SSx]")
        << "mnusentencecase"
        << "[ßx]"
        << "[SSx]" << true;
    QTest::newRow("sentence: no caret: |word -> |Word") << "mnusentencecase"
                                                        << "|word"
                                                        << "|Word" << true;
    QTest::newRow("sentence: no caret: say |word now -> say |Word now") << "mnusentencecase"
                                                                        << "say |word now"
                                                                        << "say |Word now" << true;
    QTest::newRow("sentence: no caret at the end: end| -> end|") << "mnusentencecase"
                                                                 << "end|"
                                                                 << "end|" << false;
    QTest::newRow("sentence: no caret before a blank: a| b -> a| b") << "mnusentencecase"
                                                                     << "a| b"
                                                                     << "a| b" << false;
    QTest::newRow("lower: no selection: AB|C") << "mnulcase"
                                               << "AB|C"
                                               << "AB|C" << false;
    QTest::newRow("upper: no selection: ab|c") << "mnuucase"
                                               << "ab|c"
                                               << "ab|c" << false;
    QTest::newRow("inverted: no selection: ab|c") << "mnuIcase"
                                                  << "ab|c"
                                                  << "ab|c" << false;
    QTest::newRow("title: no selection: see i|t") << "mnutitlecase"
                                                  << "see i|t"
                                                  << "see i|t" << false;
}

void TestTextOps::caseRowsConvertTheSelectionAndSelectItAgain()
{
    QFETCH(QString, row);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, modifies);

    checkRow(row, before, after, modifies);
    if (modifies)
        QCOMPARE(m_window->title(), QStringLiteral("Untitled[*] Tarvex"));
}

void TestTextOps::caseShortcutsRunTheirRows_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "x [ABc DÉF] y"
                            << "x [abc déf] y";
    QTest::newRow("Ctrl+U") << int(Qt::Key_U) << "x [ABc DÉF] y"
                            << "x [ABC DÉF] y";
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << "x [ABc DÉF] y"
                            << "x [abC dÉf] y";
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << "x [ABc DÉF] y"
                            << "x [Abc Déf] y";
    QTest::newRow("Ctrl+W") << int(Qt::Key_W) << "x [a. b] y"
                            << "x [A. B] y";
}

void TestTextOps::caseShortcutsRunTheirRows()
{
    QFETCH(int, key);
    QFETCH(QString, before);
    QFETCH(QString, after);

    show(before);
    QTest::keyClick(area(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(pictureOf(*area()), after);
}

// ---- Auto Capitalise ---------------------------------------------------------------------

void TestTextOps::typingCapitalisesTheLetterAfterAMarkOneKeyLate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hello. w -> hello. w") << "hello. w"
                                          << "hello. w";
    QTest::newRow("hello. wo -> hello. Wo") << "hello. wo"
                                            << "hello. Wo";
    QTest::newRow("hello. world -> hello. World") << "hello. world"
                                                  << "hello. World";
    QTest::newRow("3.5 apples -> 3.5 Apples") << "3.5 apples"
                                              << "3.5 Apples";
    QTest::newRow("what? yes! ok -> what? Yes! Ok") << "what? yes! ok"
                                                    << "what? Yes! Ok";
    QTest::newRow("no mark: just words") << "just words"
                                         << "just words";
}

void TestTextOps::typingCapitalisesTheLetterAfterAMarkOneKeyLate()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    const QString before = QStringLiteral("Note: ");
    show(before + u'|');
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), typed);
    QCOMPARE(area()->text(), before + expected);
    QCOMPARE(pictureOf(*area()), before + expected + u'|');
}

void TestTextOps::togglingOnAnEmptyTextCapitalisesTheFirstLetter_data()
{
    QTest::addColumn<int>("toggles");
    QTest::addColumn<QString>("expected");

    QTest::newRow("on: hello -> Hello") << 1 << "Hello";
    QTest::newRow("on and off again: hello -> Hello, then no more") << 2 << "Hello. there";
}

void TestTextOps::togglingOnAnEmptyTextCapitalisesTheFirstLetter()
{
    QFETCH(int, toggles);
    QFETCH(QString, expected);

    for (int i = 0; i < toggles; ++i)
        trigger(QStringLiteral("mnuautocapitalise"));
    QTest::keyClicks(area(), expected.toLower());
    QCOMPARE(area()->text(), expected);
}

void TestTextOps::keyAtTheStartOfTheTextCapitalisesNothing()
{
    show(QStringLiteral("|rest"));
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), QStringLiteral("."));
    QTest::keyClick(area(), Qt::Key_Home);
    QTest::keyClicks(area(), QStringLiteral("x"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("x|.rest"));
}

void TestTextOps::capitalisingKeyCollapsesTheSelection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("x. a[y]z + q -> x. Aq|yz") << ". a"
                                              << "x. Aq|yz";
    QTest::newRow("x. [y]z + q -> x. q|yz") << ". "
                                            << "x. q|yz";
}

// While `capnext` is set, a key press collapses the selection: the key goes in at its start.
void TestTextOps::capitalisingKeyCollapsesTheSelection()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    show(QStringLiteral("x|yz"));
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), typed);
    QTest::keyClick(area(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(area()->selLength(), 1);
    QTest::keyClicks(area(), QStringLiteral("q"));
    QCOMPARE(pictureOf(*area()), expected);
}

void TestTextOps::correctionsRunUntilNoPassFindsAnything_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");

    QTest::newRow("' i i ' -> ' I I '") << " i i "
                                        << " I I ";
    QTest::newRow("' i.', ' i?', ' i!'") << "so i. and i? or i!"
                                         << "so I. and I? or I!";
    QTest::newRow("teh, Teh, adn, Adn") << "x teh teh Teh adn adn Adn y"
                                        << "x the the The and and And y";
    QTest::newRow("only whole words: tehx, xteh, iz") << "tehx xteh  iz adnx"
                                                      << "tehx xteh  iz adnx";
    QTest::newRow("' india' -> ' India'") << "to india, to indian food"
                                          << "to India, to Indian food";
    QTest::newRow(".Com and Http") << "see Http://a.Com now"
                                   << "see http://a.com now";
    QTest::newRow("'.Com' at the end stays") << "a.Com"
                                             << "a.Com";
    QTest::newRow("www.Example -> www.example") << "see www.Example now"
                                                << "see www.example now";
    QTest::newRow("www.Www.Www.Example -> all small") << "www.Www.Www.Example"
                                                      << "www.www.www.example";
    QTest::newRow("www.EXAMPLE -> www.eXAMPLE") << "www.EXAMPLE"
                                                << "www.eXAMPLE";
    QTest::newRow("www.@ stays") << "www.@x"
                                 << "www.@x";
    QTest::newRow("WWW.Example stays") << "WWW.Example"
                                       << "WWW.Example";
}

void TestTextOps::correctionsRunUntilNoPassFindsAnything()
{
    QFETCH(QString, pasted);
    QFETCH(QString, expected);

    show(QStringLiteral("|"));
    switchAutoCapitaliseOn();
    m_host->setClipboardText(pasted);
    trigger(QStringLiteral("mnupaste"));
    QCOMPARE(area()->text(), expected);
    QCOMPARE(pictureOf(*area()), expected + u'|');
    QVERIFY(m_window->isModified());
}

void TestTextOps::correctionsLeaveTheCaretWhereItWas()
{
    show(QStringLiteral("say i|now"));
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), QStringLiteral(" "));
    QCOMPARE(pictureOf(*area()), QStringLiteral("say I |now"));

    // The correction changes the two characters around the caret; the caret stays between them.
    show(QStringLiteral("a t|h b"));
    QTest::keyClicks(area(), QStringLiteral("e"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("a th|e b"));

    show(QStringLiteral("a |b"));
    m_host->setClipboardText(QStringLiteral(" teh "));
    trigger(QStringLiteral("mnupaste"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("a  the |b"));
}

void TestTextOps::correctionsFollowACaseConversion()
{
    show(QStringLiteral("[A I B]"));
    switchAutoCapitaliseOn();
    trigger(QStringLiteral("mnulcase"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("[a I b]"));
}

void TestTextOps::correctionsNeedTheOptionOn()
{
    show(QStringLiteral("|"));
    QTest::keyClicks(area(), QStringLiteral("so i said teh end. then"));
    QCOMPARE(area()->text(), QStringLiteral("so i said teh end. then"));
}

void TestTextOps::oneScanMatchesThePassesRunOneByOne()
{
    QCOMPARE(Autocorrection::passes().size(), 38);
    QRandomGenerator random(20261206);
    int changedTexts = 0;
    for (int round = 0; round < 5000; ++round) {
        const QString text = randomText(random, 80);
        const QString expected = correctedPassByPass(text);
        const std::optional<QString> corrected = Autocorrection::corrected(text);
        QCOMPARE(corrected.value_or(text), expected);
        QCOMPARE(corrected.has_value(), expected != text);
        changedTexts += corrected.has_value();
    }
    QVERIFY(changedTexts > 500);
}

// A second window does every step too, its row switched off and on before each one, so that it
// corrects its whole text each time; the two must agree after every step.
void TestTextOps::correctingTheChangeEqualsCorrectingTheWholeText()
{
    FakeHost wholeHost;
    frmedit *whole = WindowTest::open(wholeHost);
    QVERIFY(whole);
    const QScopeGuard closeWhole([whole] { WindowTest::close(whole); });
    const auto isOn = [](const frmedit *window) {
        return window->command(QStringLiteral("mnuautocapitalise"))->isChecked();
    };
    QRandomGenerator random(20261207);
    QStringList steps;
    int corrections = 0;
    for (int step = 0; step < 3000; ++step) {
        const Edit edit = randomEdit(random, area()->text().size());
        steps.append(edit.describe());
        // Toggling an empty text would set `capnext` in one window only; the first change of an
        // empty text is all of it anyway.
        if (isOn(whole) && !whole->area()->text().isEmpty()) {
            whole->command(QStringLiteral("mnuautocapitalise"))->trigger();
            whole->command(QStringLiteral("mnuautocapitalise"))->trigger();
        }
        const QString before = area()->text();
        QSignalSpy changes(area(), &EditArea::changed);
        apply(*m_window, *m_host, edit);
        apply(*whole, wholeHost, edit);
        const QString text = area()->text();
        const QString context = steps.mid(std::max<qsizetype>(steps.size() - 6, 0)).join(u'\n');
        QVERIFY2(text == whole->area()->text() && pictureOf(*area()) == pictureOf(*whole->area()),
            qPrintable(QStringLiteral("%1\n'%2' and '%3'")
                           .arg(context, pictureOf(*area()), pictureOf(*whole->area()))));
        // Switching the row on corrects nothing until the next change.
        if (isOn(m_window) && text != before)
            QVERIFY2(correctedPassByPass(text) == text, qPrintable(context));
        // A key whose change set off another: a correction, or the capital after a mark.
        if (edit.kind == Edit::Type && changes.size() > edit.text.size())
            ++corrections;
    }
    QVERIFY(corrections > 200);
}

// A key completes "www." before a chain of them: each lowered "W" completes the next one, farther
// from the key than any pattern is long.
void TestTextOps::correctionsCascadeBeyondTheChange()
{
    show(QStringLiteral("|ww.Www.Www.Www.X"));
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), QStringLiteral("x")); // the first change corrects the whole text
    QTest::keyClick(area(), Qt::Key_Backspace);
    QTest::keyClicks(area(), QStringLiteral("w"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("w|ww.www.www.www.x"));
}

// ---- Selection and insertion -------------------------------------------------------------

void TestTextOps::selectAllSelectsTheWholeText()
{
    checkRow(QStringLiteral("mnuselectall"), QStringLiteral("one\r\ntw|o"),
        QStringLiteral("[one\r\ntwo]"), false);
    show(QStringLiteral("ab|c"));
    QTest::keyClick(area(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(pictureOf(*area()), QStringLiteral("[abc]"));
}

void TestTextOps::selectWordRowsSelectUpToTheBlanks_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString word = QStringLiteral("mnuselectword");
    const QString next = QStringLiteral("mnuselnxtwrd");
    QTest::newRow("alpha be|ta gamma -> alpha [beta] gamma") << word << "alpha be|ta gamma"
                                                             << "alpha [beta] gamma";
    QTest::newRow("alpha beta| gamma -> alpha [beta] gamma") << word << "alpha beta| gamma"
                                                             << "alpha [beta] gamma";
    QTest::newRow("|a b -> [a] b") << word << "|a b"
                                   << "[a] b";
    QTest::newRow("a| b -> [a] b") << word << "a| b"
                                   << "[a] b";
    QTest::newRow("one tw|o -> one [two] (text end)") << word << "one tw|o"
                                                      << "one [two]";
    QTest::newRow("no blank: ab\\r\\ncd| -> [ab\\r\\ncd]") << word << "ab\r\ncd|"
                                                           << "[ab\r\ncd]";
    QTest::newRow("line start: one two\\r\\n|three four -> one [two\\r\\nthree] four")
        << word << "one two\r\n|three four"
        << "one [two\r\nthree] four";
    QTest::newRow("tab and comma inside: a |b,\\tc d -> a [b,\\tc] d") << word << "a |b,\tc d"
                                                                       << "a [b,\tc] d";
    QTest::newRow("on a blank: a | b -> a [ b]") << word << "a | b"
                                                 << "a [ b]";
    QTest::newRow("selection start counts: x [yz w]v -> x [yz] wv") << word << "x [yz w]v"
                                                                    << "x [yz] wv";
    QTest::newRow("empty text: | -> |") << word << "|"
                                        << "|";
    QTest::newRow("next: [one] two three -> one [two] three") << next << "[one] two three"
                                                              << "one [two] three";
    QTest::newRow("next: o|ne two three -> one [two] three") << next << "o|ne two three"
                                                             << "one [two] three";
    QTest::newRow("next: one [two] three -> one two [three]") << next << "one [two] three"
                                                              << "one two [three]";
    QTest::newRow("next: one two [three] -> one two [three] (text end)")
        << next << "one two [three]"
        << "one two [three]";
}

void TestTextOps::selectWordRowsSelectUpToTheBlanks()
{
    QFETCH(QString, row);
    QFETCH(QString, before);
    QFETCH(QString, after);

    checkRow(row, before, after, false);
}

void TestTextOps::selectWordTakesAThousandCharactersWithoutABlank_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");

    const QString run = QString(600, u'x') + QStringLiteral("\r\n") + QString(600, u'y');
    QTest::newRow("1202 without a blank, caret at the end: 1000 from the start")
        << run << int(run.size()) << 0 << 1000;
    QTest::newRow("after a blank: 1000 from just after it")
        << QStringLiteral("ab ") + run << 700 << 3 << 1000;
    QTest::newRow("short last word: up to the end") << QStringLiteral("ab cd") << 4 << 3 << 2;
}

void TestTextOps::selectWordTakesAThousandCharactersWithoutABlank()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, start);
    QFETCH(int, length);

    area()->setText(text);
    area()->setSelStart(caret);
    QTest::keyClick(area(), Qt::Key_F12, Qt::ControlModifier);
    QCOMPARE(area()->selStart(), start);
    QCOMPARE(area()->selLength(), length);
    QCOMPARE(area()->text(), text);
}

void TestTextOps::stripRowsRemoveOnlyBlanksAtTheEnds_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("modifies");

    const QString initial = QStringLiteral("mnusinit");
    const QString terminal = QStringLiteral("mnusend");
    const QString both = QStringLiteral("mnubothwspaces");
    QTest::newRow("initial: [  \\tx ] -> \\tx |") << initial << "a[  \tx ]b"
                                                  << "a\tx |b" << true;
    QTest::newRow("terminal: [ x\\t  ] -> ' x\\t|'") << terminal << "a[ x\t  ]b"
                                                     << "a x\t|b" << true;
    QTest::newRow("both: [  a \\r\\n b  ] -> a \\r\\n b|") << both << "[  a \r\n b  ]"
                                                           << "a \r\n b|" << true;
    QTest::newRow("both: blanks only: x[   ]y -> x|y") << both << "x[   ]y"
                                                       << "x|y" << true;
    QTest::newRow("both: nothing to strip: [a b] -> a b|") << both << "[a b]"
                                                           << "a b|" << false;
    QTest::newRow("initial: no selection:  |  a") << initial << " |  a"
                                                  << " |  a" << false;
    QTest::newRow("terminal: no selection: a  | ") << terminal << "a  | "
                                                   << "a  | " << false;
}

void TestTextOps::stripRowsRemoveOnlyBlanksAtTheEnds()
{
    QFETCH(QString, row);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, modifies);

    checkRow(row, before, after, modifies);
    // The keys F7, F8 and F9 run the same rows.
    const Qt::Key key = row == QLatin1String("mnusinit") ? Qt::Key_F7
        : row == QLatin1String("mnusend")                ? Qt::Key_F8
                                                         : Qt::Key_F9;
    show(before);
    QTest::keyClick(area(), key);
    QCOMPARE(pictureOf(*area()), after);
}

void TestTextOps::htmlCodeInsertsTheTemplate()
{
    QCOMPARE(kHtmlTemplate.size(), 73);
    checkRow(QStringLiteral("mnuhtmlcode"), QStringLiteral("ab|cd"),
        QStringLiteral("ab") + kHtmlTemplate + QStringLiteral("|cd"), true);
    QCOMPARE(m_window->findChild<TextCommands *>()->hatamala(), kHtmlTemplate);

    show(QStringLiteral("a[bc]d"));
    QTest::keyClick(area(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(pictureOf(*area()), QStringLiteral("a") + kHtmlTemplate + QStringLiteral("|d"));
}

void TestTextOps::dateAndTimeIsWrittenAsTheLocaleWritesIt_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("written");

    const QDate date(2026, 12, 6);
    QTest::newRow("en_US morning")
        << "en_US" << QDateTime(date, QTime(9, 18, 7)) << "12/6/2026 9:18:07 AM";
    QTest::newRow("en_US evening")
        << "en_US" << QDateTime(date, QTime(21, 5, 0)) << "12/6/2026 9:05:00 PM";
    QTest::newRow("en_US a second after midnight")
        << "en_US" << QDateTime(date, QTime(0, 0, 1)) << "12/6/2026 12:00:01 AM";
    QTest::newRow("en_US midnight: the date alone")
        << "en_US" << QDateTime(date, QTime(0, 0)) << "12/6/2026";
    QTest::newRow("de_DE") << "de_DE" << QDateTime(date, QTime(9, 18, 7)) << "06.12.2026 09:18:07";
    QTest::newRow("de_DE midnight") << "de_DE" << QDateTime(date, QTime(0, 0)) << "06.12.2026";
    QTest::newRow("en_GB") << "en_GB" << QDateTime(QDate(2026, 3, 4), QTime(17, 0, 9))
                           << "04/03/2026 17:00:09";
}

void TestTextOps::dateAndTimeIsWrittenAsTheLocaleWritesIt()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, now);
    QFETCH(QString, written);

    QLocale::setDefault(QLocale(locale));
    m_host->now = now;
    checkRow(QStringLiteral("mnudatetime"), QStringLiteral("on [x] at"),
        QStringLiteral("on ") + written + QStringLiteral("| at"), true);
    show(QStringLiteral("|"));
    QTest::keyClick(area(), Qt::Key_F5);
    QCOMPARE(pictureOf(*area()), written + u'|');
}

// ---- System clipboard --------------------------------------------------------------------

void TestTextOps::copyRowsDifferInEmptyingTheClipboard_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("clipboard");

    QTest::newRow("menu: a[bc]d puts bc") << true << "a[bc]d" << false << "bc";
    QTest::newRow("toolbar: a[bc]d puts bc") << false << "a[bc]d" << false << "bc";
    QTest::newRow("menu: ab|cd empties it") << true << "ab|cd" << false << "";
    QTest::newRow("toolbar: ab|cd leaves it") << false << "ab|cd" << false << "old";
    QTest::newRow("menu: refused, emptied anyway") << true << "a[bc]d" << true << "";
    QTest::newRow("toolbar: refused, left") << false << "a[bc]d" << true << "old";
}

void TestTextOps::copyRowsDifferInEmptyingTheClipboard()
{
    QFETCH(bool, fromMenu);
    QFETCH(QString, before);
    QFETCH(bool, refused);
    QFETCH(QString, clipboard);

    m_host->setClipboardText(QStringLiteral("old"));
    m_host->refuseClipboard = refused;
    show(before);
    m_window->command(QStringLiteral("mnucopy"))->setEnabled(true);
    m_window->toolbar()->button(QStringLiteral("Copy"))->setEnabled(true);
    if (fromMenu)
        trigger(QStringLiteral("mnucopy"));
    else
        m_window->toolbar()->button(QStringLiteral("Copy"))->trigger();
    QCOMPARE(m_host->clipboardText(), clipboard);
    QCOMPARE(pictureOf(*area()), before);
    QVERIFY(!m_window->isModified());
}

void TestTextOps::cutMovesTheSelectionToTheClipboard_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("clipboard");

    QTest::newRow("menu: a[b\\r\\nc]d -> a|d") << true << "a[b\r\nc]d"
                                               << "a|d"
                                               << "b\r\nc";
    QTest::newRow("toolbar: a[bc]d -> a|d") << false << "a[bc]d"
                                            << "a|d"
                                            << "bc";
    QTest::newRow("menu: ab|cd empties it") << true << "ab|cd"
                                            << "ab|cd"
                                            << "";
    QTest::newRow("toolbar: ab|cd leaves it") << false << "ab|cd"
                                              << "ab|cd"
                                              << "old";
}

void TestTextOps::cutMovesTheSelectionToTheClipboard()
{
    QFETCH(bool, fromMenu);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, clipboard);

    m_host->setClipboardText(QStringLiteral("old"));
    show(before);
    m_window->command(QStringLiteral("mnucut"))->setEnabled(true);
    m_window->toolbar()->button(QStringLiteral("Cut"))->setEnabled(true);
    if (fromMenu)
        trigger(QStringLiteral("mnucut"));
    else
        m_window->toolbar()->button(QStringLiteral("Cut"))->trigger();
    QCOMPARE(m_host->clipboardText(), clipboard);
    QCOMPARE(pictureOf(*area()), after);
    QCOMPARE(m_window->isModified(), before != after);
}

void TestTextOps::cutKeepsTextTheClipboardRefused_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("clipboard");

    QTest::newRow("menu: emptied, text kept") << true << "";
    QTest::newRow("toolbar: left, text kept") << false << "old";
}

void TestTextOps::cutKeepsTextTheClipboardRefused()
{
    QFETCH(bool, fromMenu);
    QFETCH(QString, clipboard);

    m_host->setClipboardText(QStringLiteral("old"));
    m_host->refuseClipboard = true;
    show(QStringLiteral("a[bc]d"));
    m_window->command(QStringLiteral("mnucut"))->setEnabled(true);
    if (fromMenu)
        trigger(QStringLiteral("mnucut"));
    else
        emit m_window->toolbar()->button(QStringLiteral("Cut"))->triggered();
    QCOMPARE(pictureOf(*area()), QStringLiteral("a[bc]d"));
    QCOMPARE(m_host->clipboardText(), clipboard);
    QVERIFY(!m_window->isModified());
}

void TestTextOps::pasteReplacesTheSelectionByTheClipboardText_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("a[bc]d + xy -> axy|d") << "xy"
                                          << "a[bc]d"
                                          << "axy|d";
    QTest::newRow("ab|cd + line breaks -> ab1\\r\\n2|cd") << "1\r\n2"
                                                          << "ab|cd"
                                                          << "ab1\r\n2|cd";
    QTest::newRow("a[bc]d + no text -> a|d") << ""
                                             << "a[bc]d"
                                             << "a|d";
}

void TestTextOps::pasteReplacesTheSelectionByTheClipboardText()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, before);
    QFETCH(QString, after);

    m_host->setClipboardText(clipboard);
    checkRow(QStringLiteral("mnupaste"), before, after, true);
    QCOMPARE(m_host->clipboardText(), clipboard);
}

void TestTextOps::clearClipboardThenPasteDeletesTheSelection()
{
    m_host->setClipboardText(QStringLiteral("held"));
    show(QStringLiteral("a[bc]d"));
    trigger(QStringLiteral("mnuclearclip"));
    QCOMPARE(m_host->clipboardText(), QString());
    QCOMPARE(pictureOf(*area()), QStringLiteral("a[bc]d"));
    QVERIFY(!m_window->isModified());
    trigger(QStringLiteral("mnupaste"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("a|d"));
}

void TestTextOps::clipboardShortcutsRunTheMenuRows()
{
    m_host->setClipboardText(QStringLiteral("old"));
    QTest::keyClicks(area(), QStringLiteral("one two"));
    QTest::keyClick(area(), Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(area(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(m_host->clipboardText(), QStringLiteral("two"));
    QCOMPARE(pictureOf(*area()), QStringLiteral("one |"));
    QTest::keyClick(area(), Qt::Key_Home);
    QTest::keyClick(area(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pictureOf(*area()), QStringLiteral("two|one "));
    QTest::keyClick(area(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(area(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_host->clipboardText(), QStringLiteral("o"));
}

// ---- Long texts --------------------------------------------------------------------------

void TestTextOps::separatorsFromOtherProgramsBecomeLineBreaks_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QChar>("separator");

    const QChar paragraph = QChar::ParagraphSeparator;
    const QChar line = QChar::LineSeparator;
    QTest::newRow("menu paste, U+2029") << "menu paste" << paragraph;
    QTest::newRow("menu paste, U+2028") << "menu paste" << line;
    QTest::newRow("toolbar paste, U+2029") << "toolbar paste" << paragraph;
    QTest::newRow("temporary clipboard drop, U+2029") << "temporary clipboard drop" << paragraph;
    QTest::newRow("context-menu paste, U+2028") << "context-menu paste" << line;
    QTest::newRow("Replace All, U+2029") << "Replace All" << paragraph;
    QTest::newRow("slow paste, U+2028") << "slow paste" << line;
    QTest::newRow("Shift+Return") << "Shift+Return" << line;
}

// Qt's widget shows each separator as a line break; the text must hold one there too, or every
// later edit lands a character away from where the user sees it.
void TestTextOps::separatorsFromOtherProgramsBecomeLineBreaks()
{
    QFETCH(QString, road);
    QFETCH(QChar, separator);

    const QString pasted = QStringLiteral("1") + separator + QStringLiteral("2");
    show(QStringLiteral("ab|cd"));
    if (road == QLatin1String("menu paste") || road == QLatin1String("toolbar paste")) {
        m_host->setClipboardText(pasted);
        if (road == QLatin1String("menu paste"))
            trigger(QStringLiteral("mnupaste"));
        else
            m_window->toolbar()->button(QStringLiteral("Paste"))->trigger();
    } else if (road == QLatin1String("temporary clipboard drop")) {
        QComboBox *cmbtmp = m_window->toolbar()->cmbtmp();
        QMimeData data;
        data.setText(pasted);
        QDragEnterEvent enter(cmbtmp->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(cmbtmp, &enter);
        QDropEvent drop(cmbtmp->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(cmbtmp, &drop);
        emit cmbtmp->activated(0);
    } else if (road == QLatin1String("context-menu paste")) {
        QApplication::clipboard()->setText(pasted);
        area()->paste();
    } else if (road == QLatin1String("Replace All")) {
        area()->setText(QStringLiteral("abXcd"));
        trigger(QStringLiteral("mnureplace"));
        FindReplaceWindow *find = m_window->findChild<SearchCommands *>()->findWindow();
        find->txtfind()->setEditText(QStringLiteral("X"));
        find->txtReplace()->setEditText(pasted);
        find->btnReplaceAll()->click();
    } else if (road == QLatin1String("slow paste")) {
        trigger(QStringLiteral("mnuslowpaste"));
        m_window->toolbar()->cmbtmp()->setEditText(pasted);
        trigger(QStringLiteral("mnuuseword"));
        // Each key as the slow paste's keystrokes bring it.
        for (const QChar ch : m_host->postedKeystrokes.join(QString()))
            QTest::sendKeyEvent(QTest::Click, area(), Qt::Key_unknown, QString(ch), {});
    } else {
        area()->setFocus();
        QTest::keyClick(area(), '1');
        QTest::keyClick(area(), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(area(), '2');
    }
    QTRY_COMPARE(area()->text(), QStringLiteral("ab1\r\n2cd"));
    QCOMPARE(area()->toPlainText(), QStringLiteral("ab1\n2cd"));

    QTest::keyClick(area(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(area(), 'x');
    QCOMPARE(area()->text(), QStringLiteral("ab1\r\n2cdx"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pasted.txt"));
    m_host->answerSaveFile(file);
    trigger(QStringLiteral("saveas"));
    QCOMPARE(WindowTest::readBytes(file), QByteArray("ab1\r\n2cdx\r\n"));
}

void TestTextOps::commandsServeTextsBeyond32767Characters_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString head = words(90000);
    const QString tail = words(10000);
    QTest::newRow("select all") << "mnuselectall" << head + u'|' + tail
                                << u'[' + head + tail + u']';
    QTest::newRow("select word at 90,000")
        << "mnuselectword" << head + "be|ta " + tail << head + "[beta] " + tail;
    QTest::newRow("select next word at 90,000")
        << "mnuselnxtwrd" << head + "[one] two " + tail << head + "one [two] " + tail;
    QTest::newRow("select word without a blank from 40,000")
        << "mnuselectword" << head.first(40000) + ' ' + QString(60000, u'x') + '|'
        << head.first(40000) + " [" + QString(1000, u'x') + ']' + QString(59000, u'x');
    QTest::newRow("upper case of 50,000 from 40,000")
        << "mnuucase" << head.first(40000) + '[' + head.sliced(40000, 50000) + ']' + tail
        << head.first(40000) + '[' + head.sliced(40000, 50000).toUpper() + ']' + tail;
    QTest::newRow("title case at 90,000")
        << "mnutitlecase" << head + "[aB cD]" + tail << head + "[Ab Cd]" + tail;
    QTest::newRow("sentence case at 90,000")
        << "mnusentencecase" << head + "|ok" + tail << head + "|Ok" + tail;
    QTest::newRow("strip both at 99,990")
        << "mnubothwspaces" << head + tail + "[  x  ]" << head + tail + "x|";
    QTest::newRow("HTML code at the end")
        << "mnuhtmlcode" << head + tail + '|' << head + tail + kHtmlTemplate + '|';
}

void TestTextOps::commandsServeTextsBeyond32767Characters()
{
    QFETCH(QString, row);
    QFETCH(QString, before);
    QFETCH(QString, after);

    QVERIFY(parsePicture(before).text.size() >= 100000);
    show(before);
    trigger(row);
    QCOMPARE(pictureOf(*area()), after);
}

void TestTextOps::correctionsReachTheEndOfALongText()
{
    const QString text = words(100000);
    show(text + QStringLiteral("so i|"));
    switchAutoCapitaliseOn();
    QTest::keyClicks(area(), QStringLiteral(" think teh end. ok"));
    QCOMPARE(pictureOf(*area()), text + QStringLiteral("so I think the end. Ok|"));
}

QTEST_MAIN(TestTextOps)
#include "tst_textops.moc"
