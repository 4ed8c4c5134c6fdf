// A whole run on the real 1 ms timer, as a person starts it: the main window shown (on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise), every option on, START
// pressed, and the event loop left to run. The figure is the wall time from the first
// tick to the end of the run; 1000 samples at 1 ms should take one second.

#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "gui_benchmark_main.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace kentrikh {
namespace {

void BM_WholeRunOnTheTimer(benchmark::State &state)
{
    MessageRecorder messages;
    for (auto _ : state) {
        MainWindow window;
        window.Main({1080, 15, {}}, true);
        window.MERIKESDYN->click();
        window.eidiki->click();
        window.KAMPYLOTHTA->click();
        window.Command1->click();

        const Simulation &sim = window.simulation();
        while (sim.state.SampleIndex == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QElapsedTimer clock;
        clock.start();
        while (window.Timer1().enabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(clock.nsecsElapsed() * 1e-9);
        state.counters["HasTrack"] = sim.state.HasTrack ? 1 : 0;
    }
}
BENCHMARK(BM_WholeRunOnTheTimer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

} // namespace
} // namespace kentrikh

int main(int argc, char **argv)
{
    return kentrikh::runGuiBenchmarks<QApplication>(argc, argv);
}
