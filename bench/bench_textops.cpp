// Typing at the end of a big document: each key runs the whole change pipeline, with Auto
// Capitalise on (corrections included) and off. The baseline, measured in the same run, corrects
// the plain way: each of the 38 passes reads the whole text, replaces and writes it back.
#include "app/assembly.h"
#include "document/document.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "view/textview.h"
#include "textops/autocorrection.h"

#include <QAction>
#include <QApplication>

#include "benchapp.h"
#include "benchwindow.h"

namespace {

constexpr qsizetype kOneMegabyte = 1024 * 1024;
constexpr int kTypedKeys = 100;

// A hundred keys that complete a correction now and then.
QString typedText()
{
    QString typed = QStringLiteral(" so i think teh cat adn dog went to india, see www.Example "
                                   "now and Http links i said ok then it was fine by me");
    typed.truncate(kTypedKeys);
    while (typed.size() < kTypedKeys)
        typed += u'x';
    return typed;
}

// The straightforward routine: the passes one by one over the whole text through the edit area.
// A write that changes the text runs the pipeline, and so this routine, again inside it.
void correctPassByPass(Document &document, const QList<Autocorrection::Pass> &passes)
{
    const qsizetype caret = document.selectionStart();
    if (caret >= 1) {
        document.select(caret - 1, 1);
        document.select(caret, 0);
    }
    for (const Autocorrection::Pass &pass : passes) {
        QString text = document.text();
        text.replace(pass.search, pass.replacement);
        document.setText(text);
    }
    document.select(caret, 0);
}

enum class Corrector { AutoCapitaliseOn, AutoCapitaliseOff, PassByPass };

void BM_TypingAtTheEnd(benchmark::State &state, Corrector corrector)
{
    const qsizetype size = state.range(0) * kOneMegabyte;
    FakeHost host;
    MainWindow window(host);
    assembleSubsystems(window);
    // The row is on before the document comes in, which is corrected whole as it comes in, as
    // an opened file is; the keys typed then correct only what they change.
    if (corrector == Corrector::AutoCapitaliseOn)
        window.command(QStringLiteral("mnuautocapitalise"))->trigger();
    showDocument(window, size, true);
    TextView *area = window.area();

    const QList<Autocorrection::Pass> passes = Autocorrection::passes();
    if (corrector == Corrector::PassByPass) {
        // Runs after the window's own handling of the change, where autocorrect would run.
        Document *document = &window.document();
        QObject::connect(document, &Document::changed, &window,
            [document, &passes] { correctPassByPass(*document, passes); });
    }

    const QString typed = typedText();
    int next = 0;
    for (auto _ : state)
        typeKey(area, typed[next++ % kTypedKeys]);

    const QString end = window.document().text().right(kTypedKeys);
    const bool corrected = end.contains(QLatin1String(" I think the cat and dog went to India"))
        && end.contains(QLatin1String("www.example")) && end.contains(QLatin1String("http"));
    if (corrected != (corrector != Corrector::AutoCapitaliseOff))
        state.SkipWithError(
            "the corrections ran when they should not, or did not when they should");
    state.SetLabel(QStringLiteral("per key, %1 MB document").arg(state.range(0)).toStdString());
}

BENCHMARK_CAPTURE(BM_TypingAtTheEnd, AutoCapitaliseOn, Corrector::AutoCapitaliseOn)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Iterations(kTypedKeys)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TypingAtTheEnd, AutoCapitaliseOff, Corrector::AutoCapitaliseOff)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Iterations(kTypedKeys)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TypingAtTheEnd, PassByPass, Corrector::PassByPass)
    ->Arg(10)
    ->Iterations(kTypedKeys)
    ->Unit(benchmark::kMillisecond);

// The scan alone, over a 10 MB text that needs no correction.
void BM_CorrectedScan10MB(benchmark::State &state)
{
    const QString text = benchmarkLines(10 * kOneMegabyte);
    for (auto _ : state) {
        const std::optional<QString> corrected = Autocorrection::corrected(text);
        benchmark::DoNotOptimize(corrected);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_CorrectedScan10MB)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
