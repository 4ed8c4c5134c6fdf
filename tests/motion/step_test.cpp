#include "motion/closed_form.h"
#include "motion/reset.h"
#include "motion/step.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <utility>

namespace kentrikh {
namespace {

// The closed form and the radius come back as 32-bit floats near 70; the centre sums a few
// of them, so it carries a few float ulps of 70 (about 1e-5 each).
constexpr double CentreTolerance = 1e-3;

Simulation startedSimulation(SliderValues bars = {})
{
    Simulation sim;
    initialiseSimulation(sim, bars);
    return sim;
}

void runTo(Simulation &sim, int sample)
{
    while (sim.state.SampleIndex < sample)
        ASSERT_EQ(StepMotion(sim).outcome, StepOutcome::Sample);
}

TEST(StepMotion, FirstSamplesAreTakenAtZeroAndDT)
{
    Simulation sim = startedSimulation({.ARXIVX = 40});
    sim.params.Pi = 0;
    sim.track.TrackX.store(0, -1);

    const StepResult first = StepMotion(sim);
    ASSERT_EQ(first.outcome, StepOutcome::Sample);
    EXPECT_DOUBLE_EQ(sim.params.Pi, std::numbers::pi);
    EXPECT_EQ(first.sample.k, 1);
    EXPECT_EQ(sim.state.SampleIndex, 1);
    EXPECT_EQ(sim.memory.T, 0);
    // Sample 1 is the start point, moving along x: vy = 0, so no curvature.
    EXPECT_NEAR(sim.state.X, 0, 1e-4);
    EXPECT_NEAR(sim.state.Y, 70, 1e-4);
    EXPECT_NEAR(sim.state.VX, 40, 1e-4);
    EXPECT_EQ(sim.state.VY, 0);
    EXPECT_FALSE(first.sample.hasCurvature);
    EXPECT_FALSE(sim.track.TrackRho.isSet(1));

    const StepResult second = StepMotion(sim);
    ASSERT_EQ(second.outcome, StepOutcome::Sample);
    const StepSample &s = second.sample;
    EXPECT_EQ(s.k, 2);
    EXPECT_EQ(sim.memory.T, sim.params.DT);
    const FloatPair position = AnalyticPosition(-500, 5, sim.params.DT, 40, 70);
    const FloatPair velocity = AnalyticVelocity(-500, 5, sim.params.DT, 40, 70);
    EXPECT_EQ(sim.state.X, position.first);
    EXPECT_EQ(sim.state.Y, position.second);
    EXPECT_EQ(sim.state.VX, velocity.first);
    EXPECT_EQ(sim.state.VY, velocity.second);

    // The forces are 32-bit floats of the stored position and velocity, and add up.
    EXPECT_EQ(s.NetFX, static_cast<float>(s.NetFX));
    EXPECT_EQ(s.MagFY, static_cast<float>(s.MagFY));
    EXPECT_NEAR(s.SpringFX, -500 * s.x, 1e-2);
    EXPECT_NEAR(s.MagFX, -5 * s.vy, 1e-3);
    EXPECT_NEAR(s.NetFX, s.SpringFX + s.MagFX, 1e-2);
    EXPECT_NEAR(s.NetFY, s.SpringFY + s.MagFY, 1e-2);

    // Everything is recorded at index 2; index 0 belongs to the reset, never to the step.
    const TrackRecord &track = sim.track;
    const std::pair<const TrackArray &, double> recorded[] = {{track.TrackX, s.x},
        {track.TrackY, s.y}, {track.TrackVX, s.vx}, {track.TrackVY, s.vy},
        {track.TrackNetFX, s.NetFX}, {track.TrackNetFY, s.NetFY}, {track.TrackSpringFX, s.SpringFX},
        {track.TrackSpringFY, s.SpringFY}, {track.TrackMagFX, s.MagFX}, {track.TrackMagFY, s.MagFY},
        {track.TrackRho, s.rho}, {track.TrackCentreX, s.Cx}, {track.TrackCentreY, s.Cy}};
    for (const auto &[array, value] : recorded)
        EXPECT_EQ(array[2], value);
    EXPECT_TRUE(s.hasCurvature);
    EXPECT_EQ(track.TrackX[0], -1);
    EXPECT_FALSE(track.TrackNetFX.isSet(0));
}

TEST(StepMotion, CallAfterSample1000EndsTheRun)
{
    Simulation sim = startedSimulation({.ARXIVX = 30});
    runTo(sim, 1000);
    EXPECT_NEAR(sim.memory.T, 999 * sim.params.DT, 1e-12);
    const TrackRecord before = sim.track;

    EXPECT_EQ(StepMotion(sim).outcome, StepOutcome::RunEnded);
    EXPECT_TRUE(sim.state.HasTrack);
    EXPECT_EQ(sim.state.SampleIndex, 0);
    EXPECT_EQ(sim.state.X, 0);
    EXPECT_EQ(sim.state.Y, 70);
    EXPECT_EQ(sim.state.VX, 30);
    EXPECT_EQ(sim.state.VY, 0);
    for (int k = 0; k <= LastSample; ++k) {
        ASSERT_EQ(sim.track.TrackX[k], before.TrackX[k]) << k;
        ASSERT_EQ(sim.track.TrackRho[k], before.TrackRho[k]) << k;
    }

    // "step" after the end starts a new run at time 0 and keeps HasTrack.
    const StepResult next = StepMotion(sim);
    ASSERT_EQ(next.outcome, StepOutcome::Sample);
    EXPECT_EQ(next.sample.k, 1);
    EXPECT_EQ(sim.memory.T, 0);
    EXPECT_NEAR(next.sample.y, 70, 1e-4);
    EXPECT_TRUE(sim.state.HasTrack);
}

TEST(StepMotion, NoCurvatureWhereAVelocityComponentIsExactlyZero)
{
    // K < 0, B = 0, VX0 = 0: an oscillation along the y axis, vx = 0 at every sample.
    Simulation sim = startedSimulation({.MAGNHTIO = 0, .ARXIVX = 0});
    sim.track.TrackRho.store(5, 42); // left over from an earlier run
    runTo(sim, 1000);
    for (int k = 1; k <= LastSample; ++k) {
        ASSERT_EQ(sim.track.TrackVX[k], 0) << k;
        ASSERT_FALSE(sim.track.TrackCentreX.isSet(k)) << k;
    }
    EXPECT_EQ(sim.track.TrackRho[5], 42);
}

TEST(StepMotion, CurvatureCentresLieTowardsTheForceCentreWithoutAField)
{
    // B = 0, K < 0: an ellipse about the origin, which is always on its concave side.
    Simulation sim = startedSimulation({.MAGNHTIO = 0, .ARXIVX = 60, .VIMAXRO = 2000});
    int centres = 0;
    for (int k = 1; k <= LastSample; ++k) {
        const StepSample s = StepMotion(sim).sample;
        if (!s.hasCurvature)
            continue;
        ++centres;
        ASSERT_GT((s.Cx - s.x) * -s.x + (s.Cy - s.y) * -s.y, 0) << k;
        ASSERT_NEAR(std::hypot(s.Cx - s.x, s.Cy - s.y), s.rho, CentreTolerance * s.rho) << k;
    }
    EXPECT_GT(centres, 900);
}

TEST(StepMotion, CurvatureCentreOfAFreeCircleIsItsCentre)
{
    // No spring, q = 20, start (0, 70) moving at (100, 0): a circle of radius 5 about (0, 75),
    // with the magnetic force pointing at its centre in every quadrant of the velocity.
    Simulation sim = startedSimulation({.STAKENTR = 0, .MAGNHTIO = 20, .ARXIVX = 100});
    int centres = 0;
    for (int k = 1; k <= LastSample; ++k) {
        const StepSample s = StepMotion(sim).sample;
        if (!s.hasCurvature)
            continue;
        ++centres;
        ASSERT_NEAR(s.rho, 5, CentreTolerance) << k;
        ASSERT_NEAR(s.Cx, 0, CentreTolerance) << k;
        ASSERT_NEAR(s.Cy, 75, CentreTolerance) << k;
    }
    EXPECT_GT(centres, 900);
}

TEST(StepMotion, ChangingDTMidRunKeepsTheAccumulatedTime)
{
    Simulation sim = startedSimulation({.ARXIVX = 20});
    const double first = sim.params.DT;
    runTo(sim, 3);
    sim.params.DT = timeStep(1500);
    const StepSample s = StepMotion(sim).sample;

    const double expected = ((0 + first) + first) + timeStep(1500);
    EXPECT_EQ(sim.memory.T, expected);
    EXPECT_EQ(s.x, AnalyticPosition(-500, 5, expected, 20, 70).first);
}

TEST(StepMotion, NonFiniteSampleLeavesTheRunAsItWas)
{
    // A strongly repelling spring late in time: the growing mode overflows a 32-bit float.
    Simulation sim = startedSimulation({.STAKENTR = 100, .MAGNHTIO = 0, .ARXIVX = 10});
    runTo(sim, 4);
    const MotionState before = sim.state;
    sim.memory.T = 1e4;

    EXPECT_EQ(StepMotion(sim).outcome, StepOutcome::Fault);
    EXPECT_EQ(sim.state.SampleIndex, 4);
    EXPECT_EQ(sim.memory.T, 1e4);
    EXPECT_EQ(sim.state.X, before.X);
    EXPECT_EQ(sim.state.VY, before.VY);
    EXPECT_FALSE(sim.track.TrackX.isSet(5));
    EXPECT_FALSE(sim.track.TrackNetFX.isSet(5));
}

} // namespace
} // namespace kentrikh
