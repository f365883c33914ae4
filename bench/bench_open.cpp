// Opening and saving a 50 MB file through the real commands of the main window, against reading
// the same bytes with QFile::readAll in the same run.
#include "editor/filecommands.h"
#include "editor/frmedit.h"
#include "fakehost.h"
#include "host/editarea.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "benchapp.h"

namespace {

constexpr qsizetype kFileBytes = 50 * 1024 * 1024;

// Windows-1252 lines with accented letters, quotes and the euro sign, CR LF line ends.
QByteArray fileBytes()
{
    QByteArray bytes;
    bytes.reserve(kFileBytes + 200);
    for (int line = 0; bytes.size() < kFileBytes; ++line) {
        bytes += "Line ";
        bytes += QByteArray::number(line);
        bytes += ": caf\xE9 \x93quoted\x94 costs 5 \x80, the quick brown fox jumps again.\r\n";
    }
    return bytes;
}

struct OpenFixture
{
    QTemporaryDir dir;
    QString path;
    FakeHost host;
    frmedit window { host };

    OpenFixture()
    {
        path = dir.filePath(QStringLiteral("big.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(fileBytes());
        file.close();
        window.resize(800, 600);
        window.show();
        QCoreApplication::processEvents();
    }

    void open()
    {
        host.answerOpenFile(path);
        window.fileCommands()->open_Click();
    }

    void newDocument()
    {
        window.setStar(QString());
        window.new_Click();
        QCoreApplication::processEvents();
    }
};

// Made in main: a window must go before the application does.
OpenFixture *g_fixture = nullptr;

OpenFixture &fixture()
{
    return *g_fixture;
}

void BM_ReadAll50MB(benchmark::State &state)
{
    OpenFixture &f = fixture();
    for (auto _ : state) {
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_ReadAll50MB)->Unit(benchmark::kMillisecond);

// Open until the document is the file's and its first screen is painted; the rest of the text
// reaches the widget in idle time.
void BM_OpenAndShow50MB(benchmark::State &state)
{
    OpenFixture &f = fixture();
    for (auto _ : state) {
        f.open();
        f.window.area()->viewport()->repaint();
        state.PauseTiming();
        f.newDocument();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_OpenAndShow50MB)->Unit(benchmark::kMillisecond);

// Open until the widget holds the whole text.
void BM_OpenWhole50MB(benchmark::State &state)
{
    OpenFixture &f = fixture();
    for (auto _ : state) {
        f.open();
        f.window.area()->finishStreaming();
        state.PauseTiming();
        f.newDocument();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_OpenWhole50MB)->Unit(benchmark::kMillisecond);

void BM_Save50MB(benchmark::State &state)
{
    OpenFixture &f = fixture();
    f.open();
    for (auto _ : state)
        f.window.fileCommands()->save_Click();
    state.SetBytesProcessed(state.iterations() * kFileBytes);
    f.newDocument();
}
BENCHMARK(BM_Save50MB)->Unit(benchmark::kMillisecond);

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
