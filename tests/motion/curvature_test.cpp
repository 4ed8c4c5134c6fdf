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

// The path is known exactly; what is left is the 32-bit rounding of position and velocity,
// amplified a few times by the cube and the cross product.
constexpr double kRadiusTolerance = 1e-5;

TEST(CurvatureRadius, IsTheCircleRadiusWithoutASpring)
{
    for (int n = 1; n <= kRunSamples; n += 3) {
        const double t = n * kLargestStep;
        EXPECT_NEAR(CurvatureRadiusAt(t, 0, 20, 100, kR0), 5.0, 5 * kRadiusTolerance) << t;
    }
}

TEST(CurvatureRadius, AtTheTopOfAnEllipseWithoutAField)
{
    // q = 0: x = (u / w) sin(w t), y = R0 cos(w t) with w = sqrt(-p); at the top the
    // radius is u^2 / (-p R0), at the start and at every return.
    for (double p : {-500.0, -40.0, -1000.0}) {
        for (double u : {-200.0, 35.0, 150.0}) {
            const double expected = u * u / (-p * kR0);
            const double w = std::sqrt(-p);
            for (int turn = 0; turn <= 3; ++turn) {
                const double t = turn * 2 * std::numbers::pi / w;
                EXPECT_NEAR(
                    CurvatureRadiusAt(t, p, 0, u, kR0), expected, expected * kRadiusTolerance)
                    << "p " << p << " u " << u << " turn " << turn;
            }
        }
    }
}

TEST(CurvatureRadius, StraightPathsAndRestGiveZeroInsteadOfDividingByZero)
{
    // No force at all: a straight line, cross product exactly 0 at every time.
    for (double t : {0.0, 0.5, 2.0})
        EXPECT_EQ(CurvatureRadiusAt(t, 0, 0, 150, kR0), 0.0);
    // At rest at the start: no speed and no cross product.
    EXPECT_EQ(CurvatureRadiusAt(0, -500, 5, 0, kR0), 0.0);
    EXPECT_EQ(CurvatureRadiusAt(1, 0, 0, 0, kR0), 0.0);
}

TEST(CurvatureRadius, FiniteAtEveryCriticalSetting)
{
    for (const test::Setting &s : test::criticalSettings()) {
        for (int n = 0; n <= kRunSamples; n += 50) {
            const double rho = CurvatureRadiusAt(n * kLargestStep, s.p, s.q, s.u, kR0);
            EXPECT_TRUE(std::isfinite(rho)) << s.p << " " << s.q << " " << s.u << " " << n;
            EXPECT_GE(rho, 0.0);
        }
    }
    // The Foucault start at equal roots circles the centre at distance R0.
    for (int n = 1; n <= kRunSamples; n += 50)
        EXPECT_NEAR(CurvatureRadiusAt(n * kLargestStep, 400, 40, -40 * 35, kR0), kR0,
            kR0 * kRadiusTolerance);
}

} // namespace
} // namespace kentrikh
