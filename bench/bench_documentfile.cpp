// Costs of opening and saving a big document: the plain read as a baseline, the whole open, the
// loading rule on its own, and the whole save; the UTF-8 check and the loading rule in UTF-8.
#include "editor/codec1252.h"
#include "editor/documentfile.h"
#include "editor/documentformat.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kFileSize = 50 * 1000 * 1000;

// Lines of ASCII words and bytes 80-FF, mostly ended by CR LF, a few by a bare CR or LF.
QByteArray windows1252Bytes(qsizetype size)
{
    static const char *const words[]
        = { "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "\x80uro", "caf\xE9",
              "na\xEFve", "\x93quoted\x94", "\xC6sir", "d\xE9j\xE0", "\x85" };
    constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));
    QByteArray bytes;
    bytes.reserve(size + 200);
    quint32 state = 2463534242u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (bytes.size() < size) {
        const int wordsInLine = 4 + int(next() % 12);
        for (int w = 0; w < wordsInLine; ++w) {
            if (w)
                bytes.append(' ');
            bytes.append(words[next() % wordCount]);
        }
        const quint32 end = next() % 50;
        bytes.append(end == 0 ? "\r" : end == 1 ? "\n" : "\r\n");
    }
    bytes.truncate(size);
    return bytes;
}

// The file, made once; its folder goes when the program ends.
struct BigFile
{
    BigFile()
        : path(dir.filePath(QStringLiteral("big.txt")))
        , copyPath(dir.filePath(QStringLiteral("big-copy.txt")))
        , bytes(windows1252Bytes(kFileSize))
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            path.clear();
    }

    QTemporaryDir dir;
    QString path;
    QString copyPath;
    QByteArray bytes;
};

const BigFile &bigFile()
{
    static const BigFile file;
    return file;
}

void BM_QFileReadAll(benchmark::State &state)
{
    const BigFile &file = bigFile();
    for (auto _ : state) {
        QFile in(file.path);
        if (!in.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open the file");
            break;
        }
        const QByteArray bytes = in.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("QFile::readAll, 50 MB");
}
BENCHMARK(BM_QFileReadAll)->Unit(benchmark::kMillisecond);

void BM_ReadDocumentFile(benchmark::State &state)
{
    const BigFile &file = bigFile();
    for (auto _ : state) {
        const LoadResult loaded = readDocumentFile(file.path);
        if (!loaded.ok) {
            state.SkipWithError("cannot read the file");
            break;
        }
        benchmark::DoNotOptimize(loaded.text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("read, decode and loading rule, 50 MB");
}
BENCHMARK(BM_ReadDocumentFile)->Unit(benchmark::kMillisecond);

// What Open reads: the file kept as its bytes, copied once with an LF after its few bare CRs.
void BM_ReadDocumentBuffer(benchmark::State &state)
{
    const BigFile &file = bigFile();
    for (auto _ : state) {
        const BufferLoad loaded = readDocumentBuffer(file.path);
        if (!loaded.ok) {
            state.SkipWithError("cannot read the file");
            break;
        }
        benchmark::DoNotOptimize(loaded.text.size());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("read and loading rule, kept as bytes, 50 MB");
}
BENCHMARK(BM_ReadDocumentBuffer)->Unit(benchmark::kMillisecond);

// The loading rule in byte space when it has work: every line ends in a bare CR.
void BM_BufferFromBareCrBytes(benchmark::State &state)
{
    const QByteArray bytes = QByteArray(bigFile().bytes).replace("\r\n", "\r");
    for (auto _ : state) {
        const TextBuffer text = DocumentFormat::bufferFromFileBytes(bytes);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetLabel("loading rule on bare CR lines, kept as bytes, 50 MB");
}
BENCHMARK(BM_BufferFromBareCrBytes)->Unit(benchmark::kMillisecond);

void BM_TextFromFileBytes(benchmark::State &state)
{
    const BigFile &file = bigFile();
    for (auto _ : state) {
        const QString text = DocumentFormat::textFromFileBytes(file.bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("decode and loading rule in memory, 50 MB");
}
BENCHMARK(BM_TextFromFileBytes)->Unit(benchmark::kMillisecond);

// The check every file goes through: all ASCII is its worst case, read to the end.
void BM_EncodingOfAllAscii(benchmark::State &state)
{
    const QByteArray bytes(kFileSize, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(DocumentFormat::encodingOf(bytes));
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("UTF-8 check of an all-ASCII file, 50 MB");
}
BENCHMARK(BM_EncodingOfAllAscii)->Unit(benchmark::kMillisecond);

// The same text as UTF-8 (its bytes beyond ASCII take two or three): checked, then decoded.
void BM_TextFromUtf8Bytes(benchmark::State &state)
{
    const QByteArray bytes = Codec1252::decode(bigFile().bytes).toUtf8();
    for (auto _ : state) {
        const TextEncoding encoding = DocumentFormat::encodingOf(bytes);
        const QString text = DocumentFormat::textFromFileBytes(bytes, encoding);
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetLabel(QStringLiteral("UTF-8 check, decode and loading rule in memory, %1 MB")
                       .arg(bytes.size() / 1000000)
                       .toStdString());
}
BENCHMARK(BM_TextFromUtf8Bytes)->Unit(benchmark::kMillisecond);

void BM_WriteDocumentFile(benchmark::State &state)
{
    const BigFile &file = bigFile();
    const LoadResult loaded = readDocumentFile(file.path);
    if (!loaded.ok) {
        state.SkipWithError("cannot read the file");
        return;
    }
    for (auto _ : state) {
        const SaveResult saved = writeDocumentFile(file.copyPath, loaded.text);
        if (!saved.ok) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    state.SetLabel("encode and safe save, 50 MB");
}
BENCHMARK(BM_WriteDocumentFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
