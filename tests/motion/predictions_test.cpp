#include "curvature_window/predictions.h"
#include "motion/closed_form.h"
#include "motion/curvature.h"
#include "reference_orbit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace kentrikh {
namespace {

using test::kLargestStep;
using test::kR0;
using test::kRunSamples;
using test::ReferenceOrbit;
using test::Setting;

// The distance of the closed form, rounded roots and all, against the numerical solution:
// the phase error of 32-bit roots, as for the position itself.
constexpr double kDistanceTolerance = 1e-5;

// Both radii describe the same orbit; they differ by the 32-bit rounding of the position
// and velocity that one of them starts from, magnified where the speed or the cross
// product is a small difference of large terms. Samples where either falls below
// kWellConditioned of its terms' size are left out.
constexpr double kRadiusAgreement = 1e-4;
constexpr double kWellConditioned = 0.05;

PredictionInputs inputs(double K, double B, double VX0, double DT = kLargestStep)
{
    return {K, B, VX0, DT, kR0};
}

double maxRadius(const PredictionInputs &in)
{
    double Pi = 0;
    return MaxCurvatureRadius(in, Pi);
}

TEST(Predictions, WorkedMaxima)
{
    // Foucault start at the start settings: the orbit passes through the centre, where the
    // radius is largest.
    double Pi = 0;
    EXPECT_NEAR(MaxCurvatureRadius(inputs(-500, 5, -175), Pi), 315.0, 315 * 1e-9);
    EXPECT_EQ(Pi, 4 * std::atan(1.0));
    EXPECT_NEAR(maxRadius(inputs(0, 20, 100)), 5.0, 5 * 1e-9);

    // The escaping branch reads Pi and leaves it alone.
    Pi = 3;
    MaxCurvatureRadius(inputs(500, 5, 0), Pi);
    EXPECT_EQ(Pi, 3.0);
}

TEST(Predictions, NoSpringKeepsTheCircleRadius)
{
    const PredictionInputs in = inputs(0, 20, 100);
    for (int n = 1; n <= kRunSamples; n += 3)
        EXPECT_NEAR(CurvatureRadiusFromDistanceAt(in, n * kLargestStep), 5.0, 5 * 1e-9) << n;
}

TEST(Predictions, StartDistanceAndStartRadiusInEveryBranch)
{
    const Setting settings[] = {{-500, 5, 0}, {-500, 5, 120}, {0, -20, -200}, {500, 5, 0},
        {500, 5, 77}, {100, 20, -200}, {0, 0, 150}};
    for (const Setting &s : settings) {
        SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " u " << s.u);
        EXPECT_NEAR(AnalyticDistance(s.p, s.q, 0, s.u, kR0), kR0, kR0 * 1e-12);
        const double divisor = std::abs(s.q * s.u * s.u + s.p * kR0 * s.u);
        const double expected = divisor == 0 ? 0 : std::pow(std::abs(s.u), 3) / divisor;
        EXPECT_NEAR(CurvatureRadiusFromSquaredDistance(inputs(s.p, s.q, s.u), kR0 * kR0), expected,
            expected * 1e-12);
    }
}

TEST(Predictions, ReturnsToTheStartPointAtRest)
{
    // From rest the particle comes back to (0, R0) at rest once a period: radius 0 there,
    // as at the start, not the noise of a distance a hair away from R0.
    for (double q : {-87.0, 4.0, 17.0}) {
        const PredictionInputs in = inputs(-1000, q, 0);
        const double gap = realModes(-1000, q, 0, kR0).gap;
        for (int k = 0; k <= 3; ++k) {
            const double t = k * 2 * std::numbers::pi / gap;
            EXPECT_EQ(CurvatureRadiusFromDistanceAt(in, t), 0.0) << q << " " << k;
        }
    }
}

void expectDistanceAgreesWithIntegration(const Setting &s)
{
    const ReferenceOrbit orbit(s.p, s.q, s.u, kLargestStep, kRunSamples);
    for (int n = 0; n <= kRunSamples; n += 20) {
        const test::OrbitPoint &expected = orbit.at(n);
        const double r = AnalyticDistance(s.p, s.q, n * kLargestStep, s.u, kR0);
        if (std::abs(r - std::hypot(expected.x, expected.y))
            > kDistanceTolerance * orbit.maxDistance()) {
            ADD_FAILURE() << "p " << s.p << " q " << s.q << " u " << s.u << " sample " << n << ": "
                          << r << " instead of " << std::hypot(expected.x, expected.y);
            return;
        }
    }
}

TEST(Predictions, DistanceAgreesWithNumericalIntegration)
{
    for (const Setting &s : test::controlRangeSettings())
        expectDistanceAgreesWithIntegration(s);
    for (const Setting &s : test::criticalSettings())
        expectDistanceAgreesWithIntegration(s);
}

// Compares the two radii at every 10th sample of a run; returns how many samples were
// well conditioned enough to compare.
int expectRadiiAgree(const Setting &s)
{
    const PredictionInputs in = inputs(s.p, s.q, s.u);
    int compared = 0;
    for (int n = 1; n <= kRunSamples; n += 10) {
        const double t = n * kLargestStep;
        const FloatPair position = AnalyticPosition(s.p, s.q, t, s.u, kR0);
        const FloatPair velocity = AnalyticVelocity(s.p, s.q, t, s.u, kR0);
        const double x = position.first, y = position.second;
        const double vx = velocity.first, vy = velocity.second;
        const double ax = s.p * x - s.q * vy, ay = s.p * y + s.q * vx;
        const double speed = std::hypot(vx, vy);
        const double r2 = x * x + y * y;
        const bool snapped = std::abs(std::sqrt(r2) - kR0) < 1e-3;
        if (snapped
            || std::abs(vx * ay - vy * ax)
                < kWellConditioned * speed * (std::abs(s.p) * std::sqrt(r2) + std::abs(s.q) * speed)
            || speed * speed < kWellConditioned * (s.u * s.u + std::abs(s.p) * (r2 + kR0 * kR0)))
            continue;
        const double expected = CurvatureRadiusAt(t, s.p, s.q, s.u, kR0);
        const double actual = CurvatureRadiusFromDistanceAt(in, t);
        if (std::abs(actual - expected) > kRadiusAgreement * expected) {
            ADD_FAILURE() << "p " << s.p << " q " << s.q << " u " << s.u << " t " << t << ": "
                          << actual << " from the distance, " << expected << " from the motion";
            return compared;
        }
        ++compared;
    }
    return compared;
}

TEST(Predictions, RadiusFromTheDistanceAgreesWithTheRadiusFromTheMotion)
{
    int compared = 0;
    for (const Setting &s : test::controlRangeSettings())
        compared += expectRadiiAgree(s);
    for (const Setting &s : test::criticalSettings())
        compared += expectRadiiAgree(s);
    EXPECT_GT(compared, 100000);
}

TEST(Predictions, MaximumBoundsTheRadiusOverABoundOrbit)
{
    // Along a bound orbit whose cross product keeps its sign, the radius of curvature is
    // largest at the nearest or farthest point, which the maximum samples; a fine sweep
    // over one period of the distance comes close to it and never passes it.
    const Setting settings[] = {{-500, 5, 0}, {-500, 5, -175}, {-1000, 30, -200}, {-100, -80, 50},
        {200, 40, 200}, {100, 30, 0}, {-300, 0, 120}};
    for (const Setting &s : settings) {
        SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " u " << s.u);
        const PredictionInputs in = inputs(s.p, s.q, s.u);
        const RealModes modes = realModes(s.p, s.q, s.u, kR0);
        auto cross = [&](double r) {
            return s.q * s.u * s.u + s.p * kR0 * s.u + s.p * s.q * (r * r - kR0 * kR0) / 2;
        };
        ASSERT_GE(cross(kR0) * cross(modes.A - modes.C), 0.0);

        const double expected = maxRadius(in);
        const double period = 2 * std::numbers::pi / modes.gap;
        double largest = 0;
        for (int k = 1; k < 20000; ++k)
            largest = std::max(largest, CurvatureRadiusAt(period * k / 20000, s.p, s.q, s.u, kR0));
        EXPECT_LE(largest, expected * (1 + kRadiusAgreement));
        EXPECT_GE(largest, expected * (1 - 1e-3));
    }
}

TEST(Predictions, MaximumDependsOnTheTimeStepOnlyWhenTheOrbitEscapes)
{
    EXPECT_EQ(maxRadius(inputs(-500, 5, 100, 0.0005)), maxRadius(inputs(-500, 5, 100, 0.002)));
    EXPECT_GT(maxRadius(inputs(500, 5, 0, 0.002)), 10 * maxRadius(inputs(500, 5, 0, 0.0005)));
    // An escaping orbit's maximum is where the predicted curve ends, at the run's last sample.
    for (const Setting &s : {Setting {500, 5, 0}, Setting {1000, -30, 200}, Setting {100, 20, 0}}) {
        const PredictionInputs in = inputs(s.p, s.q, s.u, 0.0013);
        EXPECT_EQ(maxRadius(in), CurvatureRadiusFromDistanceAt(in, 1000 * 0.0013));
    }
}

TEST(Predictions, CriticalSettingsGiveFiniteValues)
{
    for (const Setting &s : test::criticalSettings()) {
        SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " u " << s.u);
        const PredictionInputs in = inputs(s.p, s.q, s.u);
        for (int n = 0; n <= kRunSamples; n += 50) {
            EXPECT_TRUE(std::isfinite(AnalyticDistance(s.p, s.q, n * kLargestStep, s.u, kR0)));
            EXPECT_TRUE(std::isfinite(CurvatureRadiusFromDistanceAt(in, n * kLargestStep)));
        }
        EXPECT_TRUE(std::isfinite(maxRadius(in)));
    }
    // The Foucault start circles at R0; with no force at all the path is straight, and a
    // straight path reports 0 like every other vanishing cross product.
    EXPECT_NEAR(maxRadius(inputs(400, -40, 40 * 35)), kR0, kR0 * 1e-9);
    EXPECT_EQ(maxRadius(inputs(0, 0, 150)), 0.0);
}

TEST(Predictions, RoundingBelowZeroUnderARootCountsAsZero)
{
    // A squared distance just past what the energy allows: no speed left, radius 0.
    const PredictionInputs in = inputs(-500, 5, 0);
    EXPECT_EQ(CurvatureRadiusFromSquaredDistance(in, kR0 * kR0 + 1e-9), 0.0);
    // Foucault orbits pass through the centre, where the distance is the root of a
    // difference of equal terms.
    for (const Setting &s : test::controlRangeSettings()) {
        if (s.u != -s.q * kR0 / 2 || rootCase(s.p, s.q) != RootCase::Real)
            continue;
        const double gap = realModes(s.p, s.q, s.u, kR0).gap;
        for (int k = 1; k < 40; k += 2) {
            const double t = k * std::numbers::pi / gap;
            ASSERT_FALSE(std::isnan(AnalyticDistance(s.p, s.q, t, s.u, kR0))) << s.p << s.q;
            ASSERT_FALSE(std::isnan(CurvatureRadiusFromDistanceAt(inputs(s.p, s.q, s.u), t)));
        }
    }
}

} // namespace
} // namespace kentrikh
