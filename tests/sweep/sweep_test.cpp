// Every spring and field setting at the largest time step, where the escaping spirals grow
// the most: each run must record all its samples with finite values, and the curvature
// window's predictions for it must be finite too, and every centre of curvature must lie on
// the side the path bends to.

#include "curvature_window/predictions.h"
#include "motion/reset.h"
#include "motion/step.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>
#include <string>

namespace kentrikh {
namespace {

constexpr std::int16_t LargestTimeStep = 2000;
constexpr int SliderMin = -100;
constexpr int SliderMax = 100;
// The graph draws the radius at the recorded distance for every fifth sample.
constexpr int GreenDotStep = 5;

// The start x velocity of a run: a value of ARXIVX, or the Foucault start.
struct Start
{
    std::int16_t arxivx = 0;
    bool foucault = false;
};

bool finiteAndNonNegative(double value)
{
    return std::isfinite(value) && value >= 0;
}

// Collects the faults of a whole sweep; only the first is described, the rest are counted,
// so that a broken build does not print a hundred thousand lines.
class Faults
{
public:
    template<typename Describe>
    void check(bool ok, Describe describe)
    {
        if (ok)
            return;
        if (m_count++ == 0)
            m_first = describe();
    }
    int count() const { return m_count; }
    const std::string &first() const { return m_first; }

private:
    int m_count = 0;
    std::string m_first;
};

// The centre seen from the particle points the way the normal part of the net force points.
// Where that part is lost in the rounding of the forces to 32 bits, the side is not known.
bool centreOnConcaveSide(const TrackRecord &t, int k)
{
    const double vx = t.TrackVX[k], vy = t.TrackVY[k];
    const double fx = t.TrackNetFX[k], fy = t.TrackNetFY[k];
    const double along = (fx * vx + fy * vy) / (vx * vx + vy * vy);
    const double nx = fx - along * vx, ny = fy - along * vy;
    if (t.TrackRho[k] == 0 || std::hypot(nx, ny) < 1e-4 * std::hypot(fx, fy))
        return true;
    return (t.TrackCentreX[k] - t.TrackX[k]) * nx + (t.TrackCentreY[k] - t.TrackY[k]) * ny > 0;
}

std::string where(int stakentr, int magnhtio, const Start &start, int sample, const char *what)
{
    std::ostringstream out;
    out << what << " at STAKENTR " << stakentr << ", MAGNHTIO " << magnhtio << ", "
        << (start.foucault ? std::string("Foucault start")
                           : "ARXIVX " + std::to_string(start.arxivx))
        << ", sample " << sample;
    return out.str();
}

void sweepRun(int stakentr, int magnhtio, const Start &start, Faults &faults)
{
    const SliderValues bars {static_cast<std::int16_t>(stakentr),
        static_cast<std::int16_t>(magnhtio), start.arxivx, LargestTimeStep, 1};
    Simulation sim;
    initialiseSimulation(sim, bars);
    if (start.foucault) {
        sim.switches.FoucaultMode = true;
        resetRunState(sim, bars);
    }
    const auto at = [&](int sample, const char *what) {
        return [=] { return where(stakentr, magnhtio, start, sample, what); };
    };

    for (int k = 1; k <= LastSample; ++k) {
        if (StepMotion(sim).outcome != StepOutcome::Sample) {
            faults.check(false, at(k, "sample not taken"));
            return;
        }
    }
    faults.check(StepMotion(sim).outcome == StepOutcome::RunEnded, at(LastSample + 1, "no end"));

    const TrackRecord &t = sim.track;
    for (int k = 1; k <= LastSample; ++k) {
        bool finite = true;
        for (const TrackArray *a : {&t.TrackX, &t.TrackY, &t.TrackVX, &t.TrackVY, &t.TrackSpringFX,
                 &t.TrackSpringFY, &t.TrackMagFX, &t.TrackMagFY, &t.TrackNetFX, &t.TrackNetFY,
                 &t.TrackCentreX, &t.TrackCentreY})
            finite = finite && std::isfinite((*a)[k]);
        faults.check(finite, at(k, "recorded value not finite"));
        faults.check(finiteAndNonNegative(t.TrackRho[k]), at(k, "recorded rho"));
        if (t.TrackCentreX.isSet(k))
            faults.check(
                centreOnConcaveSide(t, k), at(k, "centre of curvature on the convex side"));
    }

    const PredictionInputs in {
        sim.params.K, sim.params.B, sim.state.VX0, sim.params.DT, sim.params.R0};
    for (int i = 1; i <= LastSample; ++i) {
        const double time = sim.params.DT * i;
        faults.check(finiteAndNonNegative(AnalyticDistance(in.K, in.B, time, in.VX0, in.R0)),
            at(i, "AnalyticDistance"));
        faults.check(finiteAndNonNegative(CurvatureRadiusFromDistanceAt(in, time)),
            at(i, "CurvatureRadiusFromDistanceAt"));
    }
    for (int i = 1; i < LastSample; i += GreenDotStep) {
        const double s = t.TrackX[i] * t.TrackX[i] + t.TrackY[i] * t.TrackY[i];
        faults.check(finiteAndNonNegative(CurvatureRadiusFromSquaredDistance(in, s)),
            at(i, "CurvatureRadiusFromSquaredDistance"));
    }
    double Pi = 0;
    faults.check(finiteAndNonNegative(MaxCurvatureRadius(in, Pi)), at(0, "MaxCurvatureRadius"));
}

void sweep(const Start &start)
{
    Faults faults;
    for (int stakentr = SliderMin; stakentr <= SliderMax; ++stakentr) {
        for (int magnhtio = SliderMin; magnhtio <= SliderMax; ++magnhtio)
            sweepRun(stakentr, magnhtio, start, faults);
    }
    EXPECT_EQ(faults.count(), 0) << faults.first();
}

TEST(Sweep, StartingBackwards)
{
    sweep({-200, false});
}

TEST(Sweep, StartingAtRest)
{
    sweep({0, false});
}

TEST(Sweep, StartingForwards)
{
    sweep({200, false});
}

TEST(Sweep, FoucaultStart)
{
    sweep({0, true});
}

} // namespace
} // namespace kentrikh
