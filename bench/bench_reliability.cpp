// A whole run at the settings with the largest numbers: the strongest repelling spring, no
// or a weak field, the largest time step and every switch on, drawn on the 1080 x 1080
// backing image of the window. The particle leaves the picture within a few hundred samples
// and its coordinates, arrows and circle of curvature grow to 1e30 and beyond; every step
// must still stay well inside the timer's 1 ms.
//
// Reports the mean time of a step (per_step, seconds) and the slowest single step over all
// the runs measured (slowest_step_us), in the thread's CPU time: on a shared machine the
// wall time of one step mostly measures when the scheduler took the core away.

#include "gui_benchmark_main.h"
#include "motion/reset.h"
#include "motion/step.h"
#include "platform/image_surface.h"
#include "scene/step_scene.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <ctime>

namespace kentrikh {
namespace {

constexpr std::int16_t StrongestRepulsion = 100;
constexpr std::int16_t LargestTimeStep = 2000;

double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_WholeRunStronglyRepelling(benchmark::State &state)
{
    const auto field = static_cast<std::int16_t>(state.range(0));
    const SliderValues bars {StrongestRepulsion, field, 0, LargestTimeStep, 1};
    ImageSurface surface(QSize(1080, 1080), 15);
    surface.scale(-100, 100, 100, -100);

    double slowest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        surface.cls();
        Simulation sim;
        initialiseSimulation(sim, bars);
        sim.switches = {.ShowForces = true, .FoucaultMode = true, .CurvatureCircle = true};
        resetRunState(sim, bars);
        state.ResumeTiming();

        for (int k = 1; k <= LastSample; ++k) {
            const double start = threadSeconds();
            const StepResult result = StepMotion(sim);
            if (result.outcome == StepOutcome::Sample)
                DrawStepScene(surface, sim, result.sample, field);
            slowest = std::max(slowest, threadSeconds() - start);
        }
    }
    state.counters["per_step"]
        = benchmark::Counter(static_cast<double>(state.iterations()) * LastSample,
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["slowest_step_us"] = slowest * 1e6;
}

BENCHMARK(BM_WholeRunStronglyRepelling)
    ->ArgName("MAGNHTIO")
    ->Arg(0)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kentrikh

int main(int argc, char **argv)
{
    return kentrikh::runGuiBenchmarks(argc, argv);
}
