#pragma once

// The main of a benchmark that needs widgets: the offscreen platform unless another is asked
// for, Google Benchmark's flags taken out, and an application for the run.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <functional>

/// Runs the registered benchmarks with an application; `run`, when given, runs them itself (to
/// build what must live inside the application) and returns false to fail the program.
inline int runBenchmarksWithApplication(
    int argc, char **argv, const std::function<bool()> &run = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    const bool ok = run ? run() : (benchmark::RunSpecifiedBenchmarks(), true);
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
