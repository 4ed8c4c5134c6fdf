#pragma once

// A benchmark main for programs that draw on an image surface: the surface needs a GUI
// application for its font, on the offscreen platform so that no window is needed.

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace kentrikh {

inline int runGuiBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kentrikh
