#include "document/textbuffer.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

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

// The bytes of `text` under testTable(), which must have every character of it.
QByteArray bytesOf(const QString &text)
{
    const TextBuffer::ByteTable table = testTable();
    QByteArray bytes;
    for (const QChar c : text)
        bytes.append(char(std::find(table.begin(), table.end(), c.unicode()) - table.begin()));
    return bytes;
}

TextBuffer bufferOf(bool bytes, const QString &text)
{
    return bytes ? TextBuffer(bytesOf(text), testTable()) : TextBuffer(text);
}

// Where `buffer` disagrees with `model` in any read or CR query; empty when it agrees. Parts
// are read from a third of the way on.
QString differences(const TextBuffer &buffer, const QString &model)
{
    const qsizetype third = model.size() / 3;
    QString chunks;
    buffer.forEachChunk(third, model.size(), [&chunks](QStringView chunk) {
        chunks += chunk;
        return chunk.size() <= TextBuffer::kChunkSize;
    });
    if (buffer.size() != model.size() || buffer.toString() != model || chunks != model.mid(third)
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
    void bytesAreReadThroughTheTable_data()
    {
        QTest::addColumn<bool>("latin1"); // the table as Latin-1, or with some of 80-9F moved
        QTest::addColumn<int>("byte"); // and this byte read as `character`
        QTest::addColumn<QChar>("character");

        QTest::newRow("00-FF, Latin-1") << true << 0x0D << QChar(u'\r');
        QTest::newRow("00-FF, those moved and 8D read as CR") << false << 0x8D << QChar(u'\r');
        QTest::newRow("00-FF, those moved and 0A read as CR") << false << 0x0A << QChar(u'\r');
        QTest::newRow("00-FF, those moved, FF read as U+2028") << false << 0xFF << QChar(u'\u2028');
    }

    // Every byte twice, read whole and from odd places in blocks long and short.
    void bytesAreReadThroughTheTable()
    {
        QFETCH(bool, latin1);
        QFETCH(int, byte);
        QFETCH(QChar, character);
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
        QCOMPARE(differences(TextBuffer(bytes, table), expected), QString());
    }

    // On some 50,000 bytes, and as many UTF-16 units (differences() reads them in chunks): a
    // thousand keys typed at one place grow one piece, and a large string put in is not copied.
    void typingGrowsOnePieceChunksStopAndLargeTextIsShared()
    {
        QRandomGenerator random(40000);
        const QString text = randomText(random, 40000);
        for (const bool bytes : { false, true }) {
            TextBuffer buffer = bufferOf(bytes, text);
            QString typed;
            for (int i = 0; i < 1000; ++i) {
                const QString key = i % 10 == 9 ? u"\r"_s : QString(QChar(u'a' + i % 26));
                buffer.replace(2 + typed.size(), 0, key);
                typed += key;
            }
            QCOMPARE(buffer.pieceCount(), qsizetype(3));
            QCOMPARE(differences(buffer, text.left(2) + typed + text.mid(2)), QString());
            int calls = 0;
            QVERIFY(!buffer.forEachChunk(
                0, text.size(), [&calls](QStringView) { return ++calls < 2; }));
            QCOMPARE(calls, 2);
            const QString large(100000, u'x');
            buffer.replace(1, 0, large);
            const char16_t *read = nullptr;
            buffer.forEachChunk(1, 2, [&read](QStringView chunk) {
                read = chunk.utf16();
                return true;
            });
            QCOMPARE(read, reinterpret_cast<const char16_t *>(large.constData()));
        }
    }

    // 5 MB of 50-character lines held as bytes: a thousand edits scattered over them cost
    // little, and a span of the whole keeps the bytes alive once the text has let them go.
    void byteTextCostsLittleAndItsSpanKeepsItAlive()
    {
        QByteArray bytes;
        while (bytes.size() < 5000000)
            bytes += "The quick brown fox jumps over the lazy dog, 12\r\n";
        QString model = QString::fromLatin1(bytes);
        TextBuffer buffer(std::exchange(bytes, {}), testTable()); // its copy the only one left
        QRandomGenerator random(1000);
        for (int i = 0; i < 1000; ++i) {
            const qsizetype pos = random.bounded(int(model.size()) - 5);
            buffer.replace(pos, 5, u"typed"_s);
            model.replace(pos, 5, u"typed"_s);
        }
        const qsizetype used = buffer.memoryUsed();
        QCOMPARE_LT(used, qsizetype(model.size() * 1.2));
        TextSpan everything = buffer.replace(0, buffer.size(), u"\r"_s);
        QCOMPARE_LT(buffer.memoryUsed(), used / 10); // what only the span holds is not counted
        buffer.replace(1, 0, everything);
        everything = {};
        QCOMPARE(buffer.toString(), u"\r"_s + model);
    }

    void randomEditsMatchAPlainString_data()
    {
        QTest::addColumn<bool>("bytes");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("bytes, seed 1") << true << 1u;
        QTest::newRow("UTF-16, seed 2") << false << 2u;
    }

    // Inserts, deletes, replacements and spans taken earlier put back anywhere (undo through the
    // span an edit returns is the document's test); after each step every read and CR query is
    // checked against a QString.
    void randomEditsMatchAPlainString()
    {
        QFETCH(bool, bytes);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QString model = randomText(random, 1500);
        TextBuffer buffer = bufferOf(bytes, model);

        std::vector<std::pair<TextSpan, QString>> kept; // spans kept for later, and their text
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
                std::tie(span, added) = kept[random.bounded(int(kept.size()))];
                removed = reach(pos, 10);
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
