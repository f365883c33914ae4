// Costs of the recovery journal: what a typed key adds (recording it, and its share of the
// flush that follows within a second) beside doing nothing and a plain QString insert into a
// 50 MB text; a key typed into a 50 MB document through the real window with the journal and
// without; hashing a 50 MB file as it is opened; the size of the journal of an hour of typing;
// replaying that hour on a 50 MB file; a snapshot of a 50 MB text. The journals are written
// beside the program, on the disk the build is on.
#include "app/assembly.h"
#include "benchapp.h"
#include "benchtext.h"
#include "benchwindow.h"
#include "document/document.h"
#include "editor/journalkeeper.h"
#include "editor/mainwindow.h"
#include "host/qthost.h"
#include "recovery/contenthash.h"
#include "recovery/journalreader.h"
#include "recovery/journalwriter.h"
#include "recovery/recoveryfolder.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr qsizetype kDocument = 50 * 1000 * 1000; // characters of the big document
constexpr int kKeysPerSecond = 5;
constexpr int kHourOfKeys = 3600 * kKeysPerSecond;

const QString &bigText()
{
    static const QString text = benchmarkLines(kDocument);
    return text;
}

// A recovery folder of the run's own, beside the program.
RecoveryFolder &folder()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static RecoveryFolder folder;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>(
            QCoreApplication::applicationDirPath() + QStringLiteral("/recovery-XXXXXX"));
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir->path()));
        folder.open();
    }
    return folder;
}

JournalOrigin bigFileOrigin()
{
    return { QStringLiteral("/home/ann/big.txt"), kDocument, 1700000000000000000, 42,
        QStringLiteral("windows-1252") };
}

void BM_Nothing(benchmark::State &state)
{
    qsizetype position = kDocument / 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(++position);
}
BENCHMARK(BM_Nothing);

// What a text model that is one QString pays for a key in the middle of 50 MB: the character
// goes in, and out again so that the next key meets the same text.
void BM_QStringInsertAndRemoveInMiddleOf50MB(benchmark::State &state)
{
    QString text = bigText();
    for (auto _ : state) {
        text.insert(kDocument / 2, u'a');
        text.remove(kDocument / 2, 1);
        benchmark::DoNotOptimize(text.constData());
    }
}
BENCHMARK(BM_QStringInsertAndRemoveInMiddleOf50MB)->Unit(benchmark::kMillisecond);

// Recording one key in memory, as each change is told; a fixed count of keys, so that what is
// recorded stays in memory without a flush.
void BM_RecordKeyIn50MB(benchmark::State &state)
{
    JournalWriter writer(folder());
    if (!writer.start(bigFileOrigin())) {
        state.SkipWithError("no journal");
        return;
    }
    qsizetype position = kDocument / 2;
    for (auto _ : state)
        writer.recordChange(position++, 0, u"a");
    writer.discard();
}
BENCHMARK(BM_RecordKeyIn50MB)->Iterations(200000);

// Five keys, then the flush the integrator's timer makes within the second: the check for
// compaction and the write, the sync being handed to the writer's own thread. Wall time, as
// the window would wait; the time per key is the counter.
void BM_FiveKeysThenFlushIn50MB(benchmark::State &state)
{
    JournalWriter writer(folder());
    if (!writer.start(bigFileOrigin())) {
        state.SkipWithError("no journal");
        return;
    }
    qsizetype position = kDocument / 2;
    for (auto _ : state) {
        for (int key = 0; key < kKeysPerSecond; ++key)
            writer.recordChange(position++, 0, u"a");
        if (writer.needsCompaction(kDocument) || !writer.flush()) {
            state.SkipWithError("flush failed");
            break;
        }
    }
    state.counters["per_key"] = benchmark::Counter(double(state.iterations() * kKeysPerSecond),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    writer.discard();
}
BENCHMARK(BM_FiveKeysThenFlushIn50MB)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the sync thread waits for each second: a key's record written and put on disk.
void BM_KeyFlushedAndOnDisk(benchmark::State &state)
{
    JournalWriter writer(folder());
    if (!writer.start(bigFileOrigin())) {
        state.SkipWithError("no journal");
        return;
    }
    qsizetype position = kDocument / 2;
    for (auto _ : state) {
        writer.recordChange(position++, 0, u"a");
        if (!writer.flush() || !writer.waitForDisk()) {
            state.SkipWithError("flush failed");
            break;
        }
    }
    writer.discard();
}
BENCHMARK(BM_KeyFlushedAndOnDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

// A real window with a 50 MB document opened from its file, laid out, the caret at its end; one
// keeps its journal from the first key, the other keeps none. Made once each.
MainWindow &bigWindow(bool journal)
{
    static QtHost host;
    static MainWindow *windows[2] = {};
    MainWindow *&window = windows[journal];
    if (!window) {
        folder(); // the state home of the run's own
        window = new MainWindow(host);
        assembleSubsystems(*window);
        window->resize(800, 600);
        window->show();
        if (journal)
            window->journal().open();
        window->document().load(TextBuffer(bigText()), bigFileOrigin().path);
        window->journal().setFileOrigin(bigFileOrigin(), true);
        waitForLayout(*window->area());
        window->document().select(window->document().size(), 0);
        typeKey(window->area(), u'x'); // begins the journal
    }
    return *window;
}

void pressBackspace(QWidget *target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// A key typed at the end of a 50 MB document opened from its file, then Backspace, so that the
// text stays as it is: each through the whole change pipeline of the real window (marker,
// title, line count, status bar), with the window's journal (argument 1) and without (0). The
// flush that follows within the second is BM_FiveKeysThenFlushIn50MB's. Time per iteration:
// two keys; the counter gives one.
void BM_KeyTypedInto50MBWindow(benchmark::State &state)
{
    MainWindow &window = bigWindow(state.range(0));
    if (bool(state.range(0)) != !window.journal().filePath().isEmpty()) {
        state.SkipWithError("the journal is not as asked");
        return;
    }
    for (auto _ : state) {
        typeKey(window.area(), u'x');
        pressBackspace(window.area());
    }
    state.counters["per_key"] = benchmark::Counter(
        double(state.iterations() * 2), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyTypedInto50MBWindow)
    ->ArgName("journal")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The same key and Backspace on the document model alone, a 50 MB document opened from its
// file, with a journal keeper (argument 1) and without (0): what the keeper adds, apart from the
// window's own costs and their noise.
void BM_KeyInto50MBDocument(benchmark::State &state)
{
    folder();
    Document document;
    JournalKeeper journal(document);
    if (state.range(0))
        journal.open();
    document.load(TextBuffer(bigText()), bigFileOrigin().path);
    journal.setFileOrigin(bigFileOrigin(), true);
    const qsizetype end = document.size();
    document.replace(end, 0, u"x", EditKind::Typing);
    document.replace(end, 1, u"", EditKind::Backspace);
    if (bool(state.range(0)) != !journal.filePath().isEmpty()) {
        state.SkipWithError("the journal is not as asked");
        return;
    }
    for (auto _ : state) {
        document.replace(end, 0, u"x", EditKind::Typing);
        document.replace(end, 1, u"", EditKind::Backspace);
    }
    state.counters["per_key"] = benchmark::Counter(
        double(state.iterations() * 2), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    journal.discard();
}
BENCHMARK(BM_KeyInto50MBDocument)->ArgName("journal")->Arg(0)->Arg(1);

void BM_ContentHash50MB(benchmark::State &state)
{
    const QByteArray bytes(kDocument, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(ContentHash::hash(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ContentHash50MB)->Unit(benchmark::kMillisecond);

// An hour of typing at five keys a second: runs of typing with a backspace now and then, the
// caret put elsewhere every twenty keys or so. Flushed once at the end: how often does not
// change what is written.
void typeAnHour(JournalWriter &writer, qsizetype length)
{
    QRandomGenerator random(7);
    qsizetype caret = length / 2;
    for (int key = 0; key < kHourOfKeys; ++key) {
        if (random.bounded(20) == 0)
            caret = random.bounded(length + 1);
        if (random.bounded(10) == 0 && caret > 0) {
            writer.recordChange(--caret, 1, {});
            --length;
        } else {
            writer.recordChange(caret++, 0, key % 7 == 6 ? u" " : u"e");
            ++length;
        }
    }
    writer.flush();
}

// The journal's size after the hour on a 50 MB file (the counter); its records do not depend
// on the text's size, and stay below the compaction bound of 1 MiB.
void BM_JournalOfAnHourOfTyping(benchmark::State &state)
{
    qint64 size = 0;
    bool compactionDue = false;
    for (auto _ : state) {
        JournalWriter writer(folder());
        writer.start(bigFileOrigin());
        typeAnHour(writer, kDocument);
        size = QFileInfo(writer.filePath()).size();
        compactionDue = writer.needsCompaction(0);
        writer.discard();
    }
    state.counters["journal_bytes"] = double(size);
    state.counters["compaction_due_untitled"] = compactionDue;
}
BENCHMARK(BM_JournalOfAnHourOfTyping)->Unit(benchmark::kMillisecond)->Iterations(1);

// At start: the hour's journal, left by an instance that is gone, found, read and replayed on
// the 50 MB file's text.
void BM_ReplayAnHourOfTypingOn50MB(benchmark::State &state)
{
    {
        JournalWriter writer(folder());
        writer.start(bigFileOrigin());
        typeAnHour(writer, kDocument);
    }
    for (auto _ : state) {
        const std::vector<JournalReader::Orphan> orphans = JournalReader::orphans(folder());
        const JournalReplay replayed
            = orphans.size() == 1 ? orphans[0].content.replay(bigText()) : JournalReplay();
        if (replayed.damaged || replayed.applied != kHourOfKeys) {
            state.SkipWithError("replay incomplete");
            break;
        }
        benchmark::DoNotOptimize(replayed.text.constData());
    }
    for (JournalReader::Orphan &orphan : JournalReader::orphans(folder()))
        orphan.file.remove();
}
BENCHMARK(BM_ReplayAnHourOfTypingOn50MB)->Unit(benchmark::kMillisecond);

// Compaction, or the rewrite after Protect, of a 50 MB text: written, synced, put in place.
void BM_SnapshotOf50MB(benchmark::State &state)
{
    JournalWriter writer(folder());
    writer.start(bigFileOrigin());
    for (auto _ : state) {
        if (!writer.writeSnapshot(bigText())) {
            state.SkipWithError("snapshot failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * bigText().size() * 2);
    writer.discard();
}
BENCHMARK(BM_SnapshotOf50MB)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
