// Costs of the edit area: a small program edit to a big text against Qt's own whole-text
// assignment, and a keystroke through the whole change pipeline of the main window.
#include "app/assembly.h"
#include "editor/mainwindow.h"
#include "host/editarea.h"
#include "host/qthost.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "benchapp.h"
#include "benchwindow.h"

namespace {

// The same text with one character changed in the middle, as its own copy.
QString withMiddleChanged(const QString &text)
{
    QString changed(text.constData(), text.size());
    changed[changed.size() / 2] = changed[changed.size() / 2] == u'#' ? u'*' : u'#';
    return changed;
}

constexpr qsizetype kTenMegabytes = 10 * 1024 * 1024;
constexpr qsizetype kOneMegabyte = 1024 * 1024;

void BM_AreaSetTextOneCharChanged10MB(benchmark::State &state)
{
    Document document;
    EditArea area(document);
    area.resize(800, 600);
    area.show();
    const QString a = benchmarkLines(kTenMegabytes);
    const QString b = withMiddleChanged(a);
    document.setText(a);
    waitForLayout(area);
    bool flip = false;
    for (auto _ : state) {
        document.setText(flip ? a : b);
        flip = !flip;
    }
    state.SetLabel("one character changed, 10 MB");
}
BENCHMARK(BM_AreaSetTextOneCharChanged10MB)->Unit(benchmark::kMillisecond);

void BM_QtSetPlainText10MB(benchmark::State &state)
{
    QPlainTextEdit edit;
    edit.resize(800, 600);
    edit.show();
    const QString a = benchmarkLines(kTenMegabytes);
    const QString b = withMiddleChanged(a);
    edit.setPlainText(a);
    bool flip = false;
    for (auto _ : state) {
        edit.setPlainText(flip ? a : b);
        flip = !flip;
    }
    state.SetLabel("QPlainTextEdit::setPlainText, 10 MB");
}
BENCHMARK(BM_QtSetPlainText10MB)->Unit(benchmark::kMillisecond);

// One key typed into a document of `bytes`, until the change pipeline (marker, title, line
// count, status bar) has run; with `paint`, until the area has painted the frame as well.
void keystroke(benchmark::State &state, qsizetype bytes, bool atEnd, bool paint)
{
    QtHost host;
    MainWindow window(host);
    assembleSubsystems(window);
    showDocument(window, bytes, atEnd);
    EditArea *area = window.area();
    for (auto _ : state) {
        typeKey(area, u'x');
        if (paint)
            area->viewport()->repaint();
    }
    if (!window.document().isModified())
        state.SkipWithError("the change pipeline did not run");
}

void BM_KeystrokeAtEndOf1MB(benchmark::State &state)
{
    keystroke(state, kOneMegabyte, true, false);
}
BENCHMARK(BM_KeystrokeAtEndOf1MB)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeAtStartOf1MB(benchmark::State &state)
{
    keystroke(state, kOneMegabyte, false, false);
}
BENCHMARK(BM_KeystrokeAtStartOf1MB)->Unit(benchmark::kMicrosecond);

// Auto Capitalise is off, as in a new window.
void BM_KeystrokeAndFrameAtEndOf10MB(benchmark::State &state)
{
    keystroke(state, kTenMegabytes, true, true);
}
BENCHMARK(BM_KeystrokeAndFrameAtEndOf10MB)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
