#include "document/document.h"
#include "textpicture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An edit as a table row writes it: `length` characters from `position` become `text`.
struct Edit
{
    qsizetype position;
    qsizetype length;
    QString text;
    EditKind kind = EditKind::Command;
};

// The paragraphs of a text as the document must see them: each ends at a CR, the LF of a pair
// belonging to the break.
QStringList paragraphsOf(const QString &text)
{
    QStringList result = text.split(u'\r');
    for (qsizetype i = 1; i < result.size(); ++i) {
        if (result[i].startsWith(u'\n'))
            result[i].remove(0, 1);
    }
    return result;
}

QStringList paragraphsIn(const Document &document)
{
    QStringList result;
    for (qsizetype i = 0; i < document.paragraphCount(); ++i) {
        const qsizetype start = document.paragraphStart(i);
        result.append(document.mid(start, document.paragraphEnd(i) - start));
        if (document.paragraphAt(start) != i)
            result.last() += u"<paragraphAt wrong>"_s;
    }
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

/// The document on its own: its text, paragraphs, selection, changes, history and file state.
class TestDocumentModel : public QObject
{
    Q_OBJECT

private slots:
    // The picture `before` takes the edit; the text, its paragraphs and the selection follow, and
    // undo and redo bring back each picture, the cut pieces of the text healed by the undo.
    void editsKeepTheTextExactlyAndUndo_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("a[\\r]\\nb|: a bare LF") << u"a\r\nb|"_s << Edit { 1, 1, {} } << u"a\nb|"_s;
        QTest::newRow("[a\\r[\\n]b]: a bare CR") << u"[a\r\nb]"_s << Edit { 2, 1, {} } << u"[a\rb]"_s;
        QTest::newRow("a\\r|(+x)\\nb: CR LF split") << u"|a\r\nb"_s << Edit { 2, 0, u"x"_s } << u"|a\rx\nb"_s;
        QTest::newRow("a\\r[x]\\nb: CR LF joined") << u"a\rx\nb|"_s << Edit { 2, 1, {} } << u"a\r\nb|"_s;
        QTest::newRow("a|(+\\r)\\nb: CR before LF") << u"a\nb|"_s << Edit { 1, 0, u"\r"_s } << u"a\r\nb|"_s;
        QTest::newRow("\\r|(+\\r)\\n") << u"\r\n|"_s << Edit { 1, 0, u"\r"_s } << u"\r\r\n|"_s;
        QTest::newRow("a[b\\r\\nc]d =X\\rY") << u"ab\r\ncd|"_s << Edit { 1, 4, u"X\rY"_s } << u"aX\rYd|"_s;
        QTest::newRow("a(b[cd]e) =XY: caret at its start") << u"ab[cd]ef"_s << Edit { 1, 4, u"XY"_s } << u"a|XYf"_s;
        QTest::newRow("a|(+Z)bc: caret stays before") << u"a|bc"_s << Edit { 1, 0, u"Z"_s } << u"a|Zbc"_s;
        QTest::newRow("separators -> CR LF, frame -> U+FFFD") << u"|ab"_s << Edit { 1, 0, u"\u2028\u2029\uFDD0"_s } << u"|a\r\n\r\n\uFFFDb"_s;
        QTest::newRow("empty, +\\r\\n") << u"|"_s << Edit { 0, 0, u"\r\n"_s } << u"|\r\n"_s;
        QTest::newRow("[a\\r\\nb] =, the end") << u"[a\r\nb]"_s << Edit { 0, 4, {} } << u"|"_s;
        QTest::newRow("a\\r\\n, +\\r at the end") << u"|a\r\n"_s << Edit { 3, 0, u"\r"_s } << u"|a\r\n\r"_s;
        QTest::newRow("|ab, past the end: clamped") << u"|ab"_s << Edit { 9, 9, u"c"_s } << u"|abc"_s;
        // clang-format on
    }

    void editsKeepTheTextExactlyAndUndo()
    {
        QFETCH(QString, before);
        QFETCH(Edit, edit);
        QFETCH(QString, after);
        Document document;
        TextPicture::show(document, before);
        document.replace(edit.position, edit.length, edit.text);
        QCOMPARE(TextPicture::of(document), after);
        QCOMPARE(paragraphsIn(document), paragraphsOf(document.text()));
        document.undo();
        QCOMPARE(TextPicture::of(document), before);
        QCOMPARE(paragraphsIn(document), paragraphsOf(document.text()));
        QCOMPARE(document.buffer().pieceCount(), qsizetype(document.isEmpty() ? 0 : 1));
        document.redo();
        QCOMPARE(TextPicture::of(document), after);
    }

    // A change made of several edits, with a correction made while it finishes, is one notice
    // covering all of it, one step of the history and one state change.
    void aChangeIsAnnouncedOnceWithItsCorrections()
    {
        Document document;
        document.load(TextBuffer(u"so i said"_s), u"/tmp/x.txt"_s);
        QSignalSpy changed(&document, &Document::changed);
        QSignalSpy state(&document, &Document::stateChanged);
        connect(&document, &Document::changeFinishing, this, [&document] {
            if (document.mid(3, 1) == u"i"_s)
                document.replace(3, 1, u"I"_s);
        });

        document.beginChange();
        document.replace(0, 1, u"S"_s);
        document.replace(9, 0, u" it"_s, EditKind::Typing);
        document.endChange();

        QCOMPARE(document.text(), u"So I said it"_s);
        // One notice, from the first character changed to the last: 9 old characters became 12.
        QCOMPARE(QList<QVariantList>(changed), (QList<QVariantList> { { 0LL, 9LL, 12LL } }));
        QCOMPARE(state.size(), 1);
        QCOMPARE(document.lastStep(), Document::LastStep::Edited);
        document.undo();
        QCOMPARE(document.text(), u"so i said"_s);
        QCOMPARE(changed.size(), 2);
    }

    // Edits one after another from an empty document; after them, undo takes back whole steps, and
    // `steps` lists the text after each undo until nothing is left to undo. Keys, line breaks and
    // backspaces typed are the view's test keysMoveSelectEditAndUndo.
    void undoGroupsAsTheUserTyped_data()
    {
        QTest::addColumn<QList<Edit>>("edits");
        QTest::addColumn<QStringList>("steps");

        const auto typed = [](qsizetype at, const QString &text) {
            return Edit { at, 0, text, EditKind::Typing };
        };
        const auto del = [](qsizetype at) { return Edit { at, 1, {}, EditKind::Delete }; };

        using Edits = QList<Edit>;
        // clang-format off
        QTest::newRow("a command between keys splits them") << Edits { typed(0, u"a"_s), Edit { 1, 0, u"P"_s }, typed(2, u"b"_s) } << QStringList { u"aP"_s, u"a"_s, QString() };
        QTest::newRow("deletes in a row are one step, apart from typing") << Edits { Edit { 0, 0, u"abcd"_s }, typed(4, u"e"_s), del(1), del(1) } << QStringList { u"abcde"_s, u"abcd"_s, QString() };
        // clang-format on
    }

    void undoGroupsAsTheUserTyped()
    {
        QFETCH(QList<Edit>, edits);
        QFETCH(QStringList, steps);

        Document document;
        for (const Edit &edit : edits)
            document.replace(edit.position, edit.length, edit.text, edit.kind);
        const QString done = document.text();
        QStringList undone;
        while (document.canUndo()) {
            document.undo();
            undone.append(document.text());
        }
        QCOMPARE(undone, steps);
        while (document.canRedo())
            document.redo();
        QCOMPARE(document.text(), done);
    }

    // Refusing edits while a load is prepared, and giving it up, are the window's test
    // nothingReachesTheDocumentWhileAFileOpens; here, what each step leaves as the last one.
    void loadingPreparingAndSavingSetTheState()
    {
        Document document;
        QCOMPARE(document.lastStep(), Document::LastStep::Started);
        document.replace(0, 0, u"typed"_s);
        document.prepareLoad(TextBuffer(u"other\r\n"_s));
        document.keepPrepared(u"/tmp/other.txt"_s);
        QCOMPARE(document.lastStep(), Document::LastStep::Opened);
        document.markSaved(u"/tmp/saved.txt"_s);
        QCOMPARE(document.lastStep(), Document::LastStep::Saved);
        document.load(TextBuffer(), std::nullopt);
        QCOMPARE(document.lastStep(), Document::LastStep::Emptied);
        QVERIFY(!document.path());
    }

    void aLockedDocumentRefusesEveryEdit()
    {
        Document document;
        document.load(TextBuffer(u"abc"_s), std::nullopt);
        document.replace(0, 0, u"x"_s);
        document.setLocked(true);
        QSignalSpy changed(&document, &Document::changed);
        document.replace(0, 1, u"y"_s);
        document.select(0, 1);
        document.replaceSelection(u"z"_s);
        document.setText(u"new"_s);
        document.undo();
        QCOMPARE(document.text(), u"xabc"_s);
        QCOMPARE(changed.size(), 0);
        document.setLocked(false);
        document.undo();
        QCOMPARE(document.text(), u"abc"_s);
    }
};

QTEST_GUILESS_MAIN(TestDocumentModel)
#include "tst_documentmodel.moc"
