#pragma once

// A benchmark main for programs that draw on an image surface or show a window: the
// application owns the fonts and the windows, on the offscreen platform unless
// QT_QPA_PLATFORM names another, so that no display is needed.

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace kentrikh {

template<typename Application = QGuiApplication>
int runGuiBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kentrikh
