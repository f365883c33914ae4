// The temporary clipboard: a 10,000-character slow paste until every key has arrived (and the
// longest turn of the event loop meanwhile), and adding to a list of 10,000 entries.
#include "app/assembly.h"
#include "document/document.h"
#include "editor/mainwindow.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "view/textview.h"
#include "tempclip/tempclipcommands.h"
#include "tempclip/tempcliplist.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include "benchapp.h"

namespace {

QString entryText(qsizetype length)
{
    QString text;
    for (int i = 0; text.size() < length; ++i)
        text += QStringLiteral("word%1 {x}+(y)^2 ~%\t").arg(i % 97) + (i % 8 == 7 ? "\r\n" : " ");
    text.truncate(length);
    return text;
}

void BM_SlowPaste10000Characters(benchmark::State &state)
{
    FakeHost host;
    MainWindow window(host);
    assembleSubsystems(window);
    window.resize(800, 600);
    window.show();
    window.activateWindow();
    // The keys go to the focused control, as typed keys do: wait until the window has it.
    for (QElapsedTimer wait;
         !wait.isValid() || (!window.isActiveWindow() && wait.elapsed() < 5000);) {
        if (!wait.isValid())
            wait.start();
        QCoreApplication::processEvents();
    }
    window.command(QStringLiteral("mnuslowpaste"))->trigger();
    TempClipCommands *clip = window.findChild<TempClipCommands *>();
    const QString entry = entryText(10000);
    Document &document = window.document();
    document.setText(entry);
    document.select(0, entry.size());
    clip->copySelection();
    QComboBox *cmbtmp = window.toolbar()->clipboardBox();
    double longestTurnMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        document.setText(QString());
        state.ResumeTiming();
        emit cmbtmp->activated(0); // the user chooses the entry
        QElapsedTimer turn;
        QElapsedTimer limit;
        limit.start();
        while (document.size() < entry.size()) {
            if (limit.elapsed() > 60000) {
                state.SkipWithError("the keys did not arrive");
                break;
            }
            turn.start();
            QCoreApplication::processEvents();
            longestTurnMs = std::max(longestTurnMs, turn.nsecsElapsed() / 1e6);
        }
    }
    state.counters["longest_turn_ms"] = longestTurnMs;
}
BENCHMARK(BM_SlowPaste10000Characters)->Unit(benchmark::kMillisecond);

void BM_AddTo10000Entries(benchmark::State &state)
{
    TempClipList list;
    for (int i = 0; i < 10000; ++i)
        list.add(QStringLiteral("entry %1 of the list").arg((i * 7919) % 10007));
    int i = 0;
    for (auto _ : state) {
        list.add(QStringLiteral("added %1").arg(i++));
        state.PauseTiming();
        list.removeAt(list.rowCount() - 1);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddTo10000Entries)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
