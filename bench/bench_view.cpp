// Costs of the text view: a key typed and the frame painted in big documents and long lines,
// Ctrl+End on a freshly opened big file, a page scrolled, counting a new text's display lines,
// and the memory the view takes beside the text.
#include "document/document.h"
#include "editor/codec1252.h"
#include "view/textview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>

#include <sys/resource.h>

#include "benchapp.h"
#include "benchtext.h"

namespace {

constexpr qsizetype kMegabyte = 1024 * 1024;

// One paragraph of prose of `characters` characters, without a line break.
QString oneLine(qsizetype characters)
{
    const QString sentence = QStringLiteral("the quick brown fox jumps over the lazy dog again. ");
    QString text = sentence.repeated(characters / sentence.size() + 1);
    text.truncate(characters);
    return text;
}

// Prose lines of about 70 characters and CR LF from a small vocabulary, as real text repeats
// its words (benchmarkLines() numbers every line, a new word each), as a file's bytes.
QByteArray proseBytes(qsizetype characters)
{
    static const char *const words[] = { "the", "of", "and", "to", "in", "a", "is", "that",
        "for", "it", "as", "was", "with", "be", "by", "on", "not", "he", "this", "are", "or",
        "his", "from", "at", "which", "but", "have", "an", "had", "they", "you", "were", "their",
        "one", "all", "we", "can", "her", "has", "there", "been", "if", "more", "when", "will",
        "would", "who", "so", "no", "window", "editor", "document", "paragraph", "character" };
    QByteArray text;
    text.reserve(characters + 100);
    quint32 seed = 12345;
    qsizetype lineStart = 0;
    while (text.size() < characters) {
        seed = seed * 1103515245 + 12345;
        text += words[(seed >> 16) % std::size(words)];
        if (text.size() - lineStart > 64) {
            text += ".\r\n";
            lineStart = text.size();
        } else {
            text += ' ';
        }
    }
    text.truncate(characters);
    return text;
}

void waitUntilCounted(TextView &view)
{
    QElapsedTimer timer;
    timer.start();
    while (!view.lineCountSettled() && timer.elapsed() < 300000)
        QCoreApplication::processEvents();
}

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &up);
}

struct Shown
{
    Document document;
    TextView view { document };

    explicit Shown(const QString &text)
    {
        view.resize(800, 600);
        view.show();
        document.load(TextBuffer(text), std::nullopt);
        waitUntilCounted(view);
    }
};

// A key typed at the end or in the middle, and the frame painted, until the view is as the
// user sees it.
void keyAndFrame(benchmark::State &state, const QString &text, bool atEnd)
{
    Shown shown(text);
    shown.document.select(atEnd ? text.size() : text.size() / 2, 0);
    for (auto _ : state) {
        press(&shown.view, Qt::Key_X, {}, QStringLiteral("x"));
        shown.view.viewport()->repaint();
    }
    if (shown.document.size() == text.size())
        state.SkipWithError("the key did not go in");
}

void BM_KeyAndFrameAtEndOf10MB(benchmark::State &state)
{
    keyAndFrame(state, benchmarkLines(10 * kMegabyte), true);
}
BENCHMARK(BM_KeyAndFrameAtEndOf10MB)->Unit(benchmark::kMillisecond);

void BM_KeyAndFrameInMiddleOf10MB(benchmark::State &state)
{
    keyAndFrame(state, benchmarkLines(10 * kMegabyte), false);
}
BENCHMARK(BM_KeyAndFrameInMiddleOf10MB)->Unit(benchmark::kMillisecond);

void BM_KeyAndFrameAtEndOf1MBLine(benchmark::State &state)
{
    keyAndFrame(state, oneLine(kMegabyte), true);
}
BENCHMARK(BM_KeyAndFrameAtEndOf1MBLine)->Unit(benchmark::kMillisecond);

void BM_KeyAndFrameInMiddleOf1MBLine(benchmark::State &state)
{
    keyAndFrame(state, oneLine(kMegabyte), false);
}
BENCHMARK(BM_KeyAndFrameInMiddleOf1MBLine)->Unit(benchmark::kMillisecond);

void BM_KeyAndFrameAtEndOf5MBLine(benchmark::State &state)
{
    keyAndFrame(state, oneLine(5 * kMegabyte), true);
}
BENCHMARK(BM_KeyAndFrameAtEndOf5MBLine)->Unit(benchmark::kMillisecond);

void BM_KeyAndFrameInMiddleOf5MBLine(benchmark::State &state)
{
    keyAndFrame(state, oneLine(5 * kMegabyte), false);
}
BENCHMARK(BM_KeyAndFrameInMiddleOf5MBLine)->Unit(benchmark::kMillisecond);

// The caret's blink: the one display line it repaints, in a 5 MB line.
void BM_CaretBlinkIn5MBLine(benchmark::State &state)
{
    Shown shown(oneLine(5 * kMegabyte));
    shown.document.select(shown.document.size() / 2, 0);
    const QRect caret = shown.view.caretRect().toAlignedRect();
    for (auto _ : state)
        shown.view.viewport()->repaint(caret);
}
BENCHMARK(BM_CaretBlinkIn5MBLine)->Unit(benchmark::kMicrosecond);

// Ctrl+End straight after a 50 MB text is loaded, before its lines are counted, and the frame.
void ctrlEndFresh(benchmark::State &state, const QString &text)
{
    Document document;
    TextView view(document);
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        state.PauseTiming();
        document.load(TextBuffer(text), std::nullopt);
        state.ResumeTiming();
        press(&view, Qt::Key_End, Qt::ControlModifier);
        view.viewport()->repaint();
    }
    if (document.selection().caret != text.size())
        state.SkipWithError("the caret is not at the end");
}

void BM_CtrlEndFresh50MB(benchmark::State &state)
{
    ctrlEndFresh(state, benchmarkLines(50 * kMegabyte));
}
BENCHMARK(BM_CtrlEndFresh50MB)->Unit(benchmark::kMillisecond);

// The bad inputs: twenty million short lines, and one line of 50 MB.
void BM_CtrlEndFresh20MillionLines(benchmark::State &state)
{
    ctrlEndFresh(state, QStringLiteral("line\r\n").repeated(20'000'000));
}
BENCHMARK(BM_CtrlEndFresh20MillionLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CtrlEndFresh50MBLine(benchmark::State &state)
{
    ctrlEndFresh(state, oneLine(50 * kMegabyte));
}
BENCHMARK(BM_CtrlEndFresh50MBLine)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KeyAndFrameAtEndOf20MillionLines(benchmark::State &state)
{
    const QString text = QStringLiteral("line\r\n").repeated(20'000'000);
    Document document;
    TextView view(document);
    view.resize(800, 600);
    view.show();
    document.load(TextBuffer(text), std::nullopt); // typed into before the count ends
    press(&view, Qt::Key_End, Qt::ControlModifier);
    for (auto _ : state) {
        press(&view, Qt::Key_X, {}, QStringLiteral("x"));
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_KeyAndFrameAtEndOf20MillionLines)->Unit(benchmark::kMillisecond);

void BM_PageDownIn10MB(benchmark::State &state)
{
    Shown shown(benchmarkLines(10 * kMegabyte));
    shown.document.select(0, 0);
    for (auto _ : state) {
        press(&shown.view, Qt::Key_PageDown);
        shown.view.viewport()->repaint();
        if (shown.view.verticalScrollBar()->value() == shown.view.verticalScrollBar()->maximum()) {
            state.PauseTiming();
            shown.document.select(0, 0);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PageDownIn10MB)->Unit(benchmark::kMillisecond);

// Counting every display line of a freshly loaded text in idle time, until the count is exact.
void BM_CountFresh10MB(benchmark::State &state)
{
    const QString text = QString::fromLatin1(proseBytes(10 * kMegabyte));
    Document document;
    TextView view(document);
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        state.PauseTiming();
        document.load(TextBuffer(text), std::nullopt);
        state.ResumeTiming();
        waitUntilCounted(view);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_CountFresh10MB)->Unit(benchmark::kMillisecond)->Iterations(1);

// Peak memory of the whole process with a 50 MB Windows-1252 file in a document and the view
// over it, counted to the end; and what the view holds beside the text.
void BM_PeakMemory50MB(benchmark::State &state)
{
    const auto peakMb = [] {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_maxrss) / 1024;
    };
    const auto residentMb = [] {
        QFile statm(QStringLiteral("/proc/self/statm"));
        statm.open(QIODevice::ReadOnly);
        return statm.readAll().split(' ').value(1).toDouble() * 4096 / kMegabyte;
    };
    for (auto _ : state) {
        // The file's bytes are the document's storage, read through Windows-1252's table.
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString decoded = Codec1252::decode(all);
        TextBuffer::ByteTable table;
        for (int b = 0; b < 256; ++b)
            table[b] = decoded[b].unicode();
        Document document;
        document.load(TextBuffer(proseBytes(50 * kMegabyte), table), std::nullopt);
        const double withoutView = residentMb();
        TextView view(document);
        view.resize(800, 600);
        view.show();
        waitUntilCounted(view);
        press(&view, Qt::Key_End, Qt::ControlModifier);
        view.viewport()->repaint();
        state.counters["view_MB"] = residentMb() - withoutView;
        state.counters["peak_MB"] = peakMb(); // of the process: run this benchmark alone
    }
}
BENCHMARK(BM_PeakMemory50MB)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
