// Opening and saving 10, 50 and 100 MB files through the real commands of the main window, against
// reading the same bytes with QFile::readAll in the same run.
#include "app/assembly.h"
#include "editor/filecommands.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "view/textview.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchapp.h"

namespace {

constexpr qsizetype kMegabyte = 1024 * 1024;

// Windows-1252 lines with accented letters, quotes and the euro sign, CR LF line ends.
QByteArray fileBytes(qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size + 200);
    for (int line = 0; bytes.size() < size; ++line) {
        bytes += "Line ";
        bytes += QByteArray::number(line);
        bytes += ": caf\xE9 \x93quoted\x94 costs 5 \x80, the quick brown fox jumps again.\r\n";
    }
    return bytes;
}

struct OpenFixture
{
    QTemporaryDir dir;
    FakeHost host;
    MainWindow window { host };
    Subsystems subsystems = assembleSubsystems(window);

    OpenFixture()
    {
        for (const int megabytes : { 10, 50, 100 }) {
            QFile file(path(megabytes));
            file.open(QIODevice::WriteOnly);
            file.write(fileBytes(megabytes * kMegabyte));
        }
        window.resize(800, 600);
        window.show();
        QCoreApplication::processEvents();
    }

    QString path(int megabytes) const
    {
        return dir.filePath(QStringLiteral("big%1.txt").arg(megabytes));
    }

    void open(int megabytes)
    {
        host.answerOpenFile(path(megabytes));
        window.findChild<FileCommands *>()->open();
    }

    void newDocument()
    {
        window.document().load(TextBuffer(), std::nullopt);
        QCoreApplication::processEvents();
    }
};

// Made in main: a window must go before the application does.
OpenFixture *g_fixture = nullptr;

OpenFixture &fixture()
{
    return *g_fixture;
}

void BM_ReadAll(benchmark::State &state)
{
    OpenFixture &f = fixture();
    for (auto _ : state) {
        QFile file(f.path(int(state.range(0))));
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMegabyte);
}
BENCHMARK(BM_ReadAll)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// Open until the command is done and the first screen is painted: the view lays out no more.
void BM_OpenWhole(benchmark::State &state)
{
    OpenFixture &f = fixture();
    for (auto _ : state) {
        f.open(int(state.range(0)));
        f.window.area()->viewport()->repaint();
        state.PauseTiming();
        f.newDocument();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMegabyte);
}
BENCHMARK(BM_OpenWhole)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State &state)
{
    OpenFixture &f = fixture();
    f.open(int(state.range(0)));
    for (auto _ : state)
        f.window.findChild<FileCommands *>()->save();
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMegabyte);
    f.newDocument();
}
BENCHMARK(BM_Save)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv, [] {
        OpenFixture openFixture;
        g_fixture = &openFixture;
        benchmark::RunSpecifiedBenchmarks();
        g_fixture = nullptr;
        return true;
    });
}
