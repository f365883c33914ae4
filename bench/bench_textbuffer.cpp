// The text storage on a 50 MB Windows-1252 file of a million lines: loading it, keys typed into
// it after a thousand edits, reads of a screenful and of the whole. Baseline: the same bytes made
// into a QString by QString::fromLatin1.
#include "document/textbuffer.h"
#include "editor/codec1252.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kFileSize = 50 * 1000 * 1000;

// Lines of 5 to 14 words, ASCII and bytes 80-FF, ended by CR LF: about a million of them.
QByteArray prose()
{
    static const char *const words[] = { "the", "quick", "brown", "fox", "jumps", "over", "lazy",
        "dog", "\x80uro", "caf\xE9", "na\xEFve", "\x93quoted\x94", "and", "of", "d\xE9j\xE0" };
    constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));
    QByteArray bytes;
    bytes.reserve(kFileSize + 200);
    quint32 state = 2463534242u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (bytes.size() < kFileSize) {
        const int wordsInLine = 5 + int(next() % 10);
        for (int w = 0; w < wordsInLine; ++w) {
            if (w)
                bytes.append(' ');
            bytes.append(words[next() % wordCount]);
        }
        bytes.append("\r\n");
    }
    bytes.truncate(kFileSize);
    return bytes;
}

const QByteArray &bigFile()
{
    static const QByteArray bytes = prose();
    return bytes;
}

// Windows-1252 as the table the caller hands in.
TextBuffer::ByteTable windows1252()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString decoded = Codec1252::decode(all);
    TextBuffer::ByteTable table;
    for (int b = 0; b < 256; ++b)
        table[b] = decoded[b].unicode();
    return table;
}

// The file loaded, then a thousand edits at scattered places: typing, deletions, replacements.
TextBuffer editedBuffer()
{
    TextBuffer buffer(bigFile(), windows1252());
    quint32 state = 88172645u;
    for (int i = 0; i < 1000; ++i) {
        state = state * 1664525u + 1013904223u;
        const qsizetype pos = qsizetype(state % quint32(buffer.size()));
        switch (i % 3) {
        case 0:
            buffer.replace(pos, 0, u"inserted words ");
            break;
        case 1:
            buffer.replace(pos, 7, QStringView());
            break;
        default:
            buffer.replace(pos, 3, u"\x201Cnew\x201D\r\n");
            break;
        }
    }
    return buffer;
}

void BM_FromLatin1(benchmark::State &state)
{
    const QByteArray &bytes = bigFile();
    for (auto _ : state) {
        const QString text = QString::fromLatin1(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("baseline: QString::fromLatin1, 50 MB");
}
BENCHMARK(BM_FromLatin1)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State &state)
{
    const QByteArray &bytes = bigFile();
    const TextBuffer::ByteTable table = windows1252();
    qsizetype memory = 0;
    qsizetype lines = 0;
    for (auto _ : state) {
        const TextBuffer buffer(bytes, table);
        memory = buffer.memoryUsed();
        lines = buffer.crCount();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.counters["memoryPerByte"] = double(memory) / double(kFileSize);
    state.counters["lines"] = double(lines);
    state.SetLabel("bytes shared, CRs indexed, 50 MB");
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// One key a turn, each after the last, as typing goes; `where` is a fraction of the text.
void typeKeys(benchmark::State &state, double where)
{
    TextBuffer buffer = editedBuffer();
    qsizetype pos = qsizetype(double(buffer.size()) * where);
    const QChar keys[] = { u'a', u'b', u' ', u'\r', u'\n' };
    int key = 0;
    for (auto _ : state) {
        buffer.replace(pos++, 0, QStringView(&keys[key], 1));
        key = (key + 1) % 5;
    }
    state.counters["pieces"] = double(buffer.pieceCount());
}

void BM_KeyAtEndAfter1000Edits(benchmark::State &state)
{
    typeKeys(state, 1.0);
}
BENCHMARK(BM_KeyAtEndAfter1000Edits)->Unit(benchmark::kMicrosecond);

void BM_KeyInMiddleAfter1000Edits(benchmark::State &state)
{
    typeKeys(state, 0.5);
}
BENCHMARK(BM_KeyInMiddleAfter1000Edits)->Unit(benchmark::kMicrosecond);

// A character inserted at a new place each turn and deleted again: two edits a turn, each
// cutting or healing a piece.
void BM_InsertAndDeleteAnywhereAfter1000Edits(benchmark::State &state)
{
    TextBuffer buffer = editedBuffer();
    quint32 random = 12345u;
    for (auto _ : state) {
        random = random * 1664525u + 1013904223u;
        const qsizetype pos = qsizetype(random % quint32(buffer.size()));
        buffer.replace(pos, 0, u"x");
        buffer.replace(pos, 1, QStringView());
    }
    state.counters["pieces"] = double(buffer.pieceCount());
}
BENCHMARK(BM_InsertAndDeleteAnywhereAfter1000Edits)->Unit(benchmark::kMicrosecond);

// The CR queries a view asks for a screen: the paragraph of a position, the start of another.
void BM_CrQueriesAfter1000Edits(benchmark::State &state)
{
    const TextBuffer buffer = editedBuffer();
    quint32 random = 777u;
    for (auto _ : state) {
        random = random * 1664525u + 1013904223u;
        benchmark::DoNotOptimize(buffer.countCrsBefore(qsizetype(random % quint32(buffer.size()))));
        benchmark::DoNotOptimize(
            buffer.positionOfCr(qsizetype(random % quint32(buffer.crCount()))));
    }
}
BENCHMARK(BM_CrQueriesAfter1000Edits)->Unit(benchmark::kMicrosecond);

// 60 lines of about 46 characters from the middle of the text.
void BM_MidScreenfulAfter1000Edits(benchmark::State &state)
{
    const TextBuffer buffer = editedBuffer();
    const qsizetype first = buffer.positionOfCr(buffer.crCount() / 2) + 2;
    const qsizetype length = buffer.positionOfCr(buffer.crCount() / 2 + 60) + 2 - first;
    for (auto _ : state) {
        const QString screen = buffer.mid(first, length);
        benchmark::DoNotOptimize(screen.constData());
    }
    state.counters["characters"] = double(length);
}
BENCHMARK(BM_MidScreenfulAfter1000Edits)->Unit(benchmark::kMicrosecond);

void BM_ToStringAfter1000Edits(benchmark::State &state)
{
    const TextBuffer buffer = editedBuffer();
    for (auto _ : state) {
        const QString text = buffer.toString();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(BM_ToStringAfter1000Edits)->Unit(benchmark::kMillisecond);

// Undo of a Replace All over the whole text: the old text's span put back in place of the new.
void BM_WholeTextSpanPutBackAfter1000Edits(benchmark::State &state)
{
    TextBuffer buffer = editedBuffer();
    TextSpan other = buffer.span(0, buffer.size());
    for (auto _ : state)
        other = buffer.replace(0, buffer.size(), other);
    state.counters["pieces"] = double(buffer.pieceCount());
}
BENCHMARK(BM_WholeTextSpanPutBackAfter1000Edits)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
