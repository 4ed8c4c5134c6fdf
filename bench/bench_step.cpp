// One step of the animation: the sample and its picture, with every option on. The picture
// redraws the whole path so far, so drawn line by line the cost grows with the sample
// number. Measured on a surface that only counts the calls (the scene's own cost) and on the
// 1080 x 1080 backing image of the window (what a tick really costs), with the path layer
// and without it. Only the step itself is timed (manual time), so read the Time column.

#include "gui_benchmark_main.h"
#include "motion/reset.h"
#include "motion/step.h"
#include "platform/image_surface.h"
#include "scene/step_scene.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>

namespace kentrikh {
namespace {

constexpr std::int16_t Field = 5;
const QSize WindowImage(1080, 1080);

class CountingSurface : public Surface
{
public:
    long calls = 0;

protected:
    void drawLine(float, float, float, float, const Pen &) override { ++calls; }
    void drawCircle(float, float, float, const Pen &, const Fill &) override { ++calls; }
    void drawPoint(float, float, const Pen &) override { ++calls; }
    void drawText(float, float, const std::string &, Rgb) override { ++calls; }
    void clear(Rgb) override { ++calls; }
    float textLineHeight() const override { return 0; }
};

// The default sliders, forces and circle of curvature on, the window's scale.
Simulation startRun(Surface &surface)
{
    Simulation sim;
    initialiseSimulation(sim, SliderValues {});
    sim.switches.ShowForces = true;
    sim.switches.CurvatureCircle = true;
    surface.scale(-100, 100, 100, -100);
    return sim;
}

void step(Surface &surface, Simulation &sim)
{
    const StepResult result = StepMotion(sim);
    DrawStepScene(surface, sim, result.sample, Field);
}

// Takes sample k over and over as a run takes it, after samples k - 8 to k - 1: the index and
// the time are wound back and those samples drawn again untimed, so that the timed step
// erases what sample k - 1 drew, adds one segment to the path and draws sample k where a run
// draws it. Taking sample k right after itself would draw everything where it was just
// drawn, and a surface that remembers what it drew lately would do that faster than a run
// ever can; eight samples in between draw more than it remembers.
void stepRepeatedly(benchmark::State &state, Surface &surface)
{
    constexpr int Between = 8;
    const int k = static_cast<int>(state.range(0));
    Simulation sim = startRun(surface);
    while (sim.state.SampleIndex < std::max(k - 1 - Between, 1))
        step(surface, sim);
    const int index = sim.state.SampleIndex;
    const double time = sim.memory.T;
    for (auto _ : state) {
        sim.state.SampleIndex = index;
        sim.memory.T = time;
        while (sim.state.SampleIndex < k - 1)
            step(surface, sim);
        const auto start = std::chrono::steady_clock::now();
        step(surface, sim);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void BM_StepOnCountingSurface(benchmark::State &state)
{
    CountingSurface surface;
    stepRepeatedly(state, surface);
    benchmark::DoNotOptimize(surface.calls);
}

void BM_StepOnImageSurface(benchmark::State &state)
{
    ImageSurface surface(WindowImage, 15);
    stepRepeatedly(state, surface);
}

void BM_StepOnImageSurfaceWithoutPathLayer(benchmark::State &state)
{
    ImageSurface surface(WindowImage, 15);
    surface.setPathLayerEnabled(false);
    stepRepeatedly(state, surface);
}

// A whole run of 1000 samples as the timer drives it, each step with one new segment;
// reported per step.
void BM_RunOnImageSurface(benchmark::State &state)
{
    ImageSurface surface(WindowImage, 15);
    for (auto _ : state) {
        Simulation sim = startRun(surface);
        while (sim.state.SampleIndex < LastSample)
            step(surface, sim);
    }
    state.counters["per step"] = benchmark::Counter(double(state.iterations()) * LastSample,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void samples(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10)->Arg(500)->Arg(1000)->Repetitions(5)->ReportAggregatesOnly(true);
    benchmark->UseManualTime()->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_StepOnCountingSurface)->Apply(samples);
BENCHMARK(BM_StepOnImageSurface)->Apply(samples);
BENCHMARK(BM_StepOnImageSurfaceWithoutPathLayer)->Apply(samples);
BENCHMARK(BM_RunOnImageSurface)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kentrikh

int main(int argc, char **argv)
{
    return kentrikh::runGuiBenchmarks(argc, argv);
}
