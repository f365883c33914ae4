// Search and Replace All on a 10 MB text against QString's own indexOf and replace with the same
// case sensitivity, and Replace All through the find window with the text set back into the
// edit area.
#include "app/assembly.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "view/textview.h"
#include "search/findreplacewindow.h"
#include "search/searchcommands.h"
#include "search/searchprimitives.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "benchapp.h"

namespace {

constexpr qsizetype kTextSize = 10 * 1024 * 1024;

// English-like prose; "fox" comes about 100,000 times (half of them "Fox"), "Zanzibar" once,
// near the end.
const QString &prose()
{
    static const QString text = [] {
        const QStringList words = { "The", "quick", "brown", "fox", "jumps", "over", "the", "lazy",
            "dog", "and", "Fox", "runs", "into", "a", "forest", "where", "nobody", "waits.", "Then",
            "it", "sleeps", "under", "an", "old", "tree", "until", "morning", "comes", "again",
            "with", "light", "rain", "falling", "softly", "on", "leaves", "of", "green" };
        QString t;
        t.reserve(kTextSize + 64);
        for (qsizetype i = 0; t.size() < kTextSize - 64; ++i) {
            t += words.at(i % words.size());
            t += (i % 12 == 11) ? QStringLiteral("\r\n") : QStringLiteral(" ");
        }
        t += QStringLiteral("Zanzibar at the very end.\r\n");
        return t;
    }();
    return text;
}

void BM_FindNearEnd_Ours(benchmark::State &state)
{
    const Search::Case matchCase
        = state.range(0) ? Search::Case::Sensitive : Search::Case::Insensitive;
    for (auto _ : state)
        benchmark::DoNotOptimize(Search::searchDown(prose(), u"zanzibar", 1, matchCase));
    state.SetLabel(state.range(0) ? "Match Case" : "ignoring case");
}
BENCHMARK(BM_FindNearEnd_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FindNearEnd_QStringIndexOf(benchmark::State &state)
{
    const Qt::CaseSensitivity cs = state.range(0) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (auto _ : state)
        benchmark::DoNotOptimize(prose().indexOf(u"zanzibar", 0, cs));
    state.SetLabel(state.range(0) ? "Match Case" : "ignoring case");
}
BENCHMARK(BM_FindNearEnd_QStringIndexOf)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll_Ours(benchmark::State &state)
{
    const Search::Case matchCase
        = state.range(0) ? Search::Case::Sensitive : Search::Case::Insensitive;
    qsizetype count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Search::replaceAll(prose(), u"fox", u"wolverine", matchCase, &count));
    state.counters["replaced"] = double(count);
    state.SetLabel(state.range(0) ? "Match Case" : "ignoring case");
}
BENCHMARK(BM_ReplaceAll_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll_QStringReplace(benchmark::State &state)
{
    const Qt::CaseSensitivity cs = state.range(0) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (auto _ : state) {
        QString copy = prose();
        copy.replace(QStringLiteral("fox"), QStringLiteral("wolverine"), cs);
        benchmark::DoNotOptimize(copy);
    }
    state.SetLabel(state.range(0) ? "Match Case" : "ignoring case");
}
BENCHMARK(BM_ReplaceAll_QStringReplace)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The window's Replace All, until the edit area shows the result's first screen.
void BM_ReplaceAllInWindow(benchmark::State &state)
{
    FakeHost host;
    MainWindow window(host);
    assembleSubsystems(window);
    window.resize(800, 600);
    window.show();
    TextView *area = window.area();
    window.findChild<SearchCommands *>()->findAndReplace();
    FindReplaceWindow *find = window.findChild<SearchCommands *>()->findWindow();
    find->findBox()->setEditText(QStringLiteral("fox"));
    find->replaceBox()->setEditText(QStringLiteral("wolverine"));
    for (auto _ : state) {
        state.PauseTiming();
        window.document().setText(prose());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        find->replaceAllButton()->click();
        area->viewport()->repaint();
    }
}
BENCHMARK(BM_ReplaceAllInWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
