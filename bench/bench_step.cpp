// One step of the animation late in a run: the sample and its picture, with every option on.
// The picture redraws the whole path so far, so the cost grows with the sample number.
// Measured on a surface that only counts the calls (the scene's own cost) and on the
// 1080 x 1080 backing image of the window (what a tick really costs).

#include "motion/reset.h"
#include "motion/step.h"
#include "platform/image_surface.h"
#include "scene/step_scene.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace kentrikh {
namespace {

constexpr std::int16_t Field = 5;

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
Simulation runUpTo(Surface &surface, int lastSample)
{
    Simulation sim;
    initialiseSimulation(sim, SliderValues {});
    sim.switches.ShowForces = true;
    sim.switches.CurvatureCircle = true;
    surface.scale(-100, 100, 100, -100);
    while (sim.state.SampleIndex < lastSample) {
        const StepResult result = StepMotion(sim);
        DrawStepScene(surface, sim, result.sample, Field);
    }
    return sim;
}

// Takes sample k over and over: the index and the time are put back after each step.
void stepRepeatedly(benchmark::State &state, Surface &surface)
{
    const int k = static_cast<int>(state.range(0));
    Simulation sim = runUpTo(surface, k - 1);
    const int index = sim.state.SampleIndex;
    const double time = sim.memory.T;
    for (auto _ : state) {
        const StepResult result = StepMotion(sim);
        DrawStepScene(surface, sim, result.sample, Field);
        sim.state.SampleIndex = index;
        sim.memory.T = time;
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
    ImageSurface surface(QSize(1080, 1080), 15);
    stepRepeatedly(state, surface);
}

void samples(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10)->Arg(500)->Arg(1000)->Repetitions(5)->ReportAggregatesOnly(true);
    benchmark->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_StepOnCountingSurface)->Apply(samples);
BENCHMARK(BM_StepOnImageSurface)->Apply(samples);

} // namespace
} // namespace kentrikh

int main(int argc, char **argv)
{
    // The image surface needs a GUI application for its font; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
