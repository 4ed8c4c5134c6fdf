// One sample's physics as the motion step evaluates it: position, velocity and radius of
// curvature, in each branch of the closed form.

#include "motion/closed_form.h"
#include "motion/curvature.h"

#include <benchmark/benchmark.h>

namespace {

constexpr float kR0 = 70.0f;
constexpr double kDT = 500 * 0.0001 / 100;

void evaluateSamples(benchmark::State &state, double p, double q, double u)
{
    int sample = 0;
    for (auto _ : state) {
        sample = sample % 1000 + 1;
        const double t = sample * kDT;
        benchmark::DoNotOptimize(kentrikh::AnalyticPosition(p, q, t, u, kR0));
        benchmark::DoNotOptimize(kentrikh::AnalyticVelocity(p, q, t, u, kR0));
        benchmark::DoNotOptimize(kentrikh::CurvatureRadiusAt(t, p, q, u, kR0));
    }
}

void realRoots(benchmark::State &state)
{
    evaluateSamples(state, -500, 5, 100);
}

void complexRoots(benchmark::State &state)
{
    evaluateSamples(state, 500, 5, 100);
}

void equalRoots(benchmark::State &state)
{
    evaluateSamples(state, 100, 20, 100);
}

} // namespace

BENCHMARK(realRoots);
BENCHMARK(complexRoots);
BENCHMARK(equalRoots);

BENCHMARK_MAIN();
