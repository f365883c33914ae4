#include "document/textbuffer.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

struct Edit
{
    qsizetype pos;
    qsizetype removed;
    QString added;
};
using Edits = QList<Edit>;
Q_DECLARE_METATYPE(Edits)

namespace {

enum class Origin { Text, Bytes };

// Latin-1 with a few of the high bytes moved, as a code page's table would: the buffer has to
// read every byte through whatever table it is given.
TextBuffer::ByteTable testTable()
{
    TextBuffer::ByteTable table;
    for (int b = 0; b < 256; ++b)
        table[b] = char16_t(b);
    table[0x80] = u'€';
    table[0x85] = u'…';
    table[0x93] = u'“';
    table[0x94] = u'”';
    table[0x9F] = u'Ÿ';
    return table;
}

// The bytes of `text` under testTable(); every character of it must have one.
QByteArray bytesOf(const QString &text)
{
    const TextBuffer::ByteTable table = testTable();
    QByteArray bytes;
    for (const QChar c : text) {
        const auto *found = std::find(table.begin(), table.end(), c.unicode());
        Q_ASSERT(found != table.end());
        bytes.append(char(found - table.begin()));
    }
    return bytes;
}

TextBuffer bufferOf(Origin origin, const QString &text)
{
    return origin == Origin::Text ? TextBuffer(text) : TextBuffer(bytesOf(text), testTable());
}

// Where `buffer` disagrees with `model` in any read or CR query; empty when it agrees.
QString differences(const TextBuffer &buffer, const QString &model)
{
    QString chunks;
    buffer.forEachChunk(0, model.size(), [&chunks](QStringView chunk) {
        chunks += chunk;
        return chunk.size() <= TextBuffer::kChunkSize;
    });
    const qsizetype third = model.size() / 3;
    if (buffer.size() != model.size() || buffer.toString() != model || chunks != model
        || buffer.mid(third, third + 1) != model.mid(third, third + 1))
        return u"size, text, chunks or mid(%1, %2) differ"_s.arg(third).arg(third + 1);
    qsizetype crs = 0;
    for (qsizetype pos = 0; pos <= model.size(); ++pos) {
        const QChar c = pos < model.size() ? model.at(pos) : QChar();
        if (buffer.countCrsBefore(pos) != crs || buffer.at(pos) != c
            || (c == u'\r' && buffer.positionOfCr(crs++) != pos))
            return u"countCrsBefore, at or positionOfCr differ at %1"_s.arg(pos);
    }
    if (buffer.crCount() != crs || buffer.positionOfCr(crs) != -1)
        return u"crCount %1, model %2"_s.arg(buffer.crCount()).arg(crs);
    return {};
}

// Random text from pieces that hold every kind of line end, each character one the test table
// has.
QString randomText(QRandomGenerator &random, qsizetype pieces)
{
    static const QString kinds[]
        = { u"a"_s, u"b"_s, u" "_s, u"\r"_s, u"\n"_s, u"\r\n"_s, u"é"_s, u"€"_s, u"“x”"_s };
    QString text;
    for (qsizetype i = 0; i < pieces; ++i)
        text += kinds[random.bounded(int(std::size(kinds)))];
    return text;
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void editsKeepTextAndCrsAndTheirSpansUndoAndRedo_data()
    {
        QTest::addColumn<QString>("original");
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QString>("expected");

        // clang-format off
        QTest::newRow("a\\r\\nb\\rc\\nd, every line end kept") << u"a\r\nb\rc\nd"_s << Edits {} << u"a\r\nb\rc\nd"_s;
        QTest::newRow("empty") << QString() << Edits {} << QString();
        QTest::newRow("a\\r|\\nb +x -> a\\rx\\nb") << u"a\r\nb"_s << Edits { { 2, 0, u"x"_s } } << u"a\rx\nb"_s;
        QTest::newRow("a\\r[\\n]b -> a\\rb, a bare CR") << u"a\r\nb"_s << Edits { { 2, 1, {} } } << u"a\rb"_s;
        QTest::newRow("a[\\r]\\nb -> a\\nb, a bare LF") << u"a\r\nb"_s << Edits { { 1, 1, {} } } << u"a\nb"_s;
        QTest::newRow("a\\r[x]\\nb -> a\\r\\nb, CR and LF of two pieces") << u"a\rx\nb"_s << Edits { { 2, 1, {} } } << u"a\r\nb"_s;
        QTest::newRow("a|\\nb +\\r -> a\\r\\nb") << u"a\nb"_s << Edits { { 1, 0, u"\r"_s } } << u"a\r\nb"_s;
        QTest::newRow("a\\r|b +\\n -> a\\r\\nb") << u"a\rb"_s << Edits { { 2, 0, u"\n"_s } } << u"a\r\nb"_s;
        QTest::newRow("\\r|\\n +\\r -> \\r\\r\\n") << u"\r\n"_s << Edits { { 1, 0, u"\r"_s } } << u"\r\r\n"_s;
        QTest::newRow("a[b\\r\\nc]d =X\\rY -> aX\\rYd") << u"ab\r\ncd"_s << Edits { { 1, 4, u"X\rY"_s } } << u"aX\rYd"_s;
        QTest::newRow("|\\r\\n| +\\r +\\n -> \\r\\r\\n\\n") << u"\r\n"_s << Edits { { 0, 0, u"\r"_s }, { 3, 0, u"\n"_s } } << u"\r\r\n\n"_s;
        QTest::newRow("[a\\r\\nb] then +\\r\\n -> \\r\\n") << u"a\r\nb"_s << Edits { { 0, 4, {} }, { 0, 0, u"\r\n"_s } } << u"\r\n"_s;
        QTest::newRow("a|b +\\r +\\n +x, typed -> a\\r\\nxb") << u"ab"_s << Edits { { 1, 0, u"\r"_s }, { 2, 0, u"\n"_s }, { 3, 0, u"x"_s } } << u"a\r\nxb"_s;
        QTest::newRow("a\\r|\\nb +x +y +z, typed -> a\\rxyz\\nb") << u"a\r\nb"_s << Edits { { 2, 0, u"x"_s }, { 3, 0, u"y"_s }, { 4, 0, u"z"_s } } << u"a\rxyz\nb"_s;
        QTest::newRow("a[\\r]\\nb, then [\\n] -> ab") << u"a\r\nb"_s << Edits { { 1, 1, {} }, { 1, 1, {} } } << u"ab"_s;
        QTest::newRow("a\\rb\\rc\\r, each \\r =\\r\\n") << u"a\rb\rc\r"_s << Edits { { 1, 1, u"\r\n"_s }, { 4, 1, u"\r\n"_s }, { 7, 1, u"\r\n"_s } } << u"a\r\nb\r\nc\r\n"_s;
        QTest::newRow("ab|cd +\\r\\n\\r\\n, then [\\n\\r] -> ab\\r\\ncd") << u"abcd"_s << Edits { { 2, 0, u"\r\n\r\n"_s }, { 3, 2, {} } } << u"ab\r\ncd"_s;
        QTest::newRow("a\\r[b]\\n =c, then [c] -> a\\r\\n") << u"a\rb\n"_s << Edits { { 2, 1, u"c"_s }, { 2, 1, {} } } << u"a\r\n"_s;
        QTest::newRow("[a\\r\\nb] =, then +c\\r, then [c\\r] =ab\\r\\nc") << u"a\r\nb"_s << Edits { { 0, 4, {} }, { 0, 0, u"c\r"_s }, { 0, 2, u"ab\r\nc"_s } } << u"ab\r\nc"_s;
        QTest::newRow("a[b\\r\\n]cd =\\n, [a\\n] =\\r, [cd] -> \\r, cuts that overlap") << u"ab\r\ncd"_s << Edits { { 1, 3, u"\n"_s }, { 0, 2, u"\r"_s }, { 1, 2, {} } } << u"\r"_s;
        QTest::newRow("ab[, past the end] +\\r -> a\\r") << u"ab"_s << Edits { { 1, 10, u"\r"_s } } << u"a\r"_s;
        QTest::newRow("ab, past the end| +x -> abx") << u"ab"_s << Edits { { 5, 0, u"x"_s } } << u"abx"_s;
        // clang-format on
    }

    // Then undo puts back the span that each edit returned, and redo the span of what it added.
    void editsKeepTextAndCrsAndTheirSpansUndoAndRedo()
    {
        QFETCH(QString, original);
        QFETCH(Edits, edits);
        QFETCH(QString, expected);
        for (const Origin origin : { Origin::Text, Origin::Bytes }) {
            TextBuffer buffer = bufferOf(origin, original);
            QStringList states { original };
            QList<TextSpan> removed, added;
            for (const Edit &edit : edits) {
                removed.append(buffer.replace(edit.pos, edit.removed, edit.added));
                added.append(buffer.span(qMin(edit.pos, states.last().size()), edit.added.size()));
                states.append(buffer.toString());
            }
            QString found = differences(buffer, expected);
            QVERIFY2(found.isEmpty(), qPrintable(found));
            for (qsizetype i = edits.size() - 1; i >= 0; --i) {
                buffer.replace(
                    qMin(edits[i].pos, states[i].size()), edits[i].added.size(), removed[i]);
                found = differences(buffer, states[i]);
                QVERIFY2(found.isEmpty(), qPrintable(u"undo %1: "_s.arg(i) + found));
            }
            QCOMPARE(
                buffer.pieceCount(), qsizetype(original.isEmpty() ? 0 : 1)); // every cut healed
            for (qsizetype i = 0; i < edits.size(); ++i) {
                buffer.replace(edits[i].pos, edits[i].removed, added[i]);
                found = differences(buffer, states[i + 1]);
                QVERIFY2(found.isEmpty(), qPrintable(u"redo %1: "_s.arg(i) + found));
            }
        }
    }

    void typingAtOnePlaceGrowsOnePiece()
    {
        TextBuffer buffer(bytesOf(u"ab\r\ncd"_s), testTable());
        QString typed;
        for (int i = 0; i < 1000; ++i) {
            const QString key = i % 10 == 9 ? u"\r"_s : QString(QChar(u'a' + i % 26));
            buffer.replace(2 + typed.size(), 0, key);
            typed += key;
        }
        QCOMPARE(buffer.pieceCount(), qsizetype(3));
        QCOMPARE(differences(buffer, u"ab"_s + typed + u"\r\ncd"_s), QString());
    }

    void bytesAreReadThroughTheTable_data()
    {
        QTest::addColumn<bool>("latin1"); // the table as Latin-1, or with some of 80-9F moved
        QTest::addColumn<int>("byte"); // and this byte read as `character`
        QTest::addColumn<QChar>("character");
        QTest::addColumn<qsizetype>("crs");

        // clang-format off
        QTest::newRow("00-FF, Latin-1") << true << 0x0D << QChar(u'\r') << qsizetype(1);
        QTest::newRow("00-FF, 80 85 93 94 9F moved") << false << 0x0D << QChar(u'\r') << qsizetype(1);
        QTest::newRow("00-FF, those moved and 8D read as CR") << false << 0x8D << QChar(u'\r') << qsizetype(2);
        QTest::newRow("00-FF, those moved and 0A read as CR") << false << 0x0A << QChar(u'\r') << qsizetype(2);
        QTest::newRow("00-FF, those moved and FF read as U+2028") << false << 0xFF << QChar(u'\u2028') << qsizetype(1);
        // clang-format on
    }

    // Every byte, decoded from every offset in blocks long and short.
    void bytesAreReadThroughTheTable()
    {
        QFETCH(bool, latin1);
        QFETCH(int, byte);
        QFETCH(QChar, character);
        QFETCH(qsizetype, crs);
        TextBuffer::ByteTable table = testTable();
        if (latin1) {
            for (int b = 0; b < 256; ++b)
                table[b] = char16_t(b);
        }
        table[byte] = character.unicode();
        QByteArray bytes;
        QString expected;
        for (int b = 0; b < 512; ++b) {
            bytes.append(char(b));
            expected.append(QChar(table[b % 256]));
        }
        TextBuffer buffer(bytes, table);
        QCOMPARE(buffer.crCount(), 2 * crs);
        for (qsizetype from = 0; from < 32; ++from) {
            for (const qsizetype length : { 1, 15, 16, 17, 300 })
                QCOMPARE(buffer.mid(from, length), expected.mid(from, length));
        }
        buffer.replace(0x93, 2, u"\"\r\""_s);
        expected.replace(0x93, 2, u"\"\r\""_s);
        QCOMPARE(differences(buffer, expected), QString());
    }

    // On 40,000 bytes, and on 40,000 UTF-16 units.
    void chunksAreBoundedAndCanBeStopped()
    {
        QRandomGenerator random(40000);
        const QString text = randomText(random, 40000);
        for (const Origin origin : { Origin::Text, Origin::Bytes }) {
            const TextBuffer buffer = bufferOf(origin, text);
            qsizetype largest = 0;
            QString read;
            QVERIFY(buffer.forEachChunk(5, text.size() - 5, [&](QStringView chunk) {
                largest = std::max(largest, chunk.size());
                read += chunk;
                return true;
            }));
            QCOMPARE(read, text.mid(5, text.size() - 10));
            QCOMPARE(largest, TextBuffer::kChunkSize);
            int calls = 0;
            QVERIFY(!buffer.forEachChunk(
                0, text.size(), [&calls](QStringView) { return ++calls < 2; }));
            QCOMPARE(calls, 2);
        }
    }

    void spanKeepsDeletedTextAlive()
    {
        QByteArray bytes(1000000, 'x');
        TextBuffer buffer(bytes, testTable());
        bytes.clear(); // the buffer's copy is the only one left
        const qsizetype whole = buffer.memoryUsed();
        QVERIFY(whole >= 1000000);
        TextSpan everything = buffer.replace(0, buffer.size(), u"\r"_s);
        QVERIFY(buffer.memoryUsed() < whole); // the text no longer counts what only the span holds
        QCOMPARE(everything.size(), qsizetype(1000000));
        buffer.replace(1, 0, everything);
        everything = {};
        QCOMPARE(differences(buffer, u"\r"_s + QString(1000000, u'x')), QString());
    }

    void largeStringIsSharedNotCopied()
    {
        const QString large(100000, u'x');
        TextBuffer buffer(u"ab"_s);
        buffer.replace(1, 0, large);
        const char16_t *read = nullptr;
        buffer.forEachChunk(1, 2, [&read](QStringView chunk) {
            read = chunk.utf16();
            return true;
        });
        QCOMPARE(read, reinterpret_cast<const char16_t *>(large.constData()));
    }

    void byteTextCostsLittleMoreThanItsBytes()
    {
        // 5 MB of 50-character lines, then a thousand edits scattered over it.
        QByteArray bytes;
        while (bytes.size() < 5000000)
            bytes += "The quick brown fox jumps over the lazy dog, 12\r\n";
        TextBuffer buffer(bytes, testTable());
        QRandomGenerator random(1000);
        for (int i = 0; i < 1000; ++i)
            buffer.replace(random.bounded(int(buffer.size())), random.bounded(3), u"typed"_s);
        QCOMPARE_LT(buffer.memoryUsed(), qsizetype(bytes.size() * 1.2));
    }

    void randomEditsMatchAPlainString_data()
    {
        QTest::addColumn<bool>("bytes");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("bytes, seed 1") << true << 1u;
        QTest::newRow("UTF-16, seed 2") << false << 2u;
    }

    // Inserts, deletes, replacements and spans taken earlier put back anywhere (undo through the
    // span an edit returns is editsKeepTextAndCrsAndTheirSpansUndoAndRedo's); after each step every read and CR query is checked against a
    // QString.
    void randomEditsMatchAPlainString()
    {
        QFETCH(bool, bytes);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QString model = randomText(random, 1500);
        TextBuffer buffer = bufferOf(bytes ? Origin::Bytes : Origin::Text, model);

        struct Kept
        {
            TextSpan span;
            QString text;
        };
        std::vector<Kept> kept;
        qsizetype typingAt = -1;
        for (int step = 0; step < 3000; ++step) {
            const auto reach = [&](qsizetype pos, int most) {
                return qsizetype(
                    random.bounded(int(std::min<qsizetype>(most, model.size() - pos)) + 1));
            };
            qsizetype pos = random.bounded(int(model.size()) + 1);
            qsizetype removed = 0;
            QString added;
            TextSpan span;
            const int kind = model.size() > 3000 ? 0 : int(random.bounded(100));
            if (kind < 5) { // cut a big stretch
                removed = reach(pos, int(model.size()));
            } else if (kind < 30) { // type on where the last key went
                pos = typingAt >= 0 && typingAt <= model.size() ? typingAt : pos;
                added = randomText(random, 1);
            } else if (kind < 70) { // delete, or replace from 50 on
                removed = reach(pos, 20);
                added = kind < 50 ? QString() : randomText(random, random.bounded(20));
            } else if (kind < 80 && !kept.empty()) { // put back a span taken earlier
                const Kept &k = kept[random.bounded(int(kept.size()))];
                removed = reach(pos, 10);
                span = k.span;
                added = k.text;
            } else if (kind < 88) { // keep a span for later
                const qsizetype length = reach(pos, 200);
                if (kept.size() == 8)
                    kept.erase(kept.begin());
                kept.push_back({ buffer.span(pos, length), model.mid(pos, length) });
                continue;
            } else if (kind < 89) { // large enough for a buffer of its own
                added = randomText(random, 12000);
                added.squeeze(); // so that it is shared
            } else {
                added = randomText(random, random.bounded(200));
            }
            const TextSpan taken = span.isEmpty() && added.size()
                ? buffer.replace(pos, removed, added)
                : buffer.replace(pos, removed, span);
            model.replace(pos, removed, added);
            typingAt = pos + added.size();
            const QString found = differences(buffer, model);
            QVERIFY2(found.isEmpty(), qPrintable(u"step %1: "_s.arg(step) + found));
            QCOMPARE(taken.size(), removed);
        }
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
