#include "motion/closed_form.h"
#include "reference_orbit.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

using test::kLargestStep;
using test::kR0;
using test::kRunSamples;
using test::ReferenceOrbit;
using test::Setting;

// A root rounded to 32 bits is off by up to 2^-24 of itself. Over t <= 2 with roots up to
// about 110 that is a phase error of up to 8e-6 of the orbit's size; the final rounding of
// each component adds 6e-8.
constexpr double kOrbitTolerance = 1e-5;

// One 32-bit rounding, with room for the few double operations before it.
constexpr double kFloatTolerance = 4.0 / (1 << 24);

double length(FloatPair v)
{
    return std::hypot(double(v.first), double(v.second));
}

// The magnitude of a velocity on this orbit: roots are bounded by |q| + sqrt|p|.
double speedScale(double p, double q, double u)
{
    return std::abs(u) + (std::abs(q) + std::sqrt(std::abs(p))) * kR0;
}

TEST(ClosedForm, CharacteristicRootsOfTheWorkedSettings)
{
    const FloatPair start = CharacteristicRoots(-500, 5);
    EXPECT_EQ(start.first, 25.0f);
    EXPECT_EQ(start.second, -20.0f);

    const FloatPair noSpring = CharacteristicRoots(0, -20);
    EXPECT_EQ(noSpring.first, 0.0f);
    EXPECT_EQ(noSpring.second, -20.0f);

    const FloatPair escaping = CharacteristicRoots(500, 5);
    EXPECT_EQ(escaping.first, 2.5f);
    EXPECT_EQ(escaping.second, 2.5f);

    // The start settings: a circle of radius 20 R0 / 45 counter-clockwise at 25 plus one of
    // radius 25 R0 / 45 clockwise at 20.
    const RealModes modes = realModes(-500, 5, 0, kR0);
    EXPECT_NEAR(modes.A, -20.0 * kR0 / 45, 1e-12);
    EXPECT_NEAR(modes.C, -25.0 * kR0 / 45, 1e-12);
}

TEST(ClosedForm, StartsAtTheTopWithTheStartVelocityInEveryBranch)
{
    const Setting settings[] = {
        {-500, 5, 0}, {-500, 5, -175}, {0, 20, 100}, {-1000, -100, 200}, {990, 63, -200},
        {500, 5, 0}, {500, 5, 137}, {1000, -3, -200}, {10, 6, 80}, // complex
        {0, 0, 0}, {0, 0, 150}, {100, 20, -200}, {400, -40, 40 * 35}, {900, 60, 17}, // equal
    };
    for (const Setting &s : settings) {
        SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " u " << s.u);
        const FloatPair position = AnalyticPosition(s.p, s.q, 0, s.u, kR0);
        const FloatPair velocity = AnalyticVelocity(s.p, s.q, 0, s.u, kR0);
        EXPECT_EQ(position.first, 0.0f);
        EXPECT_NEAR(position.second, kR0, kR0 * kFloatTolerance);
        EXPECT_NEAR(velocity.first, s.u, speedScale(s.p, s.q, s.u) * kFloatTolerance);
        EXPECT_EQ(velocity.second, 0.0f);
    }
}

TEST(ClosedForm, NoSpringRunsOnACircleOfRadiusUOverQ)
{
    // p = 0, q = 20, u = 100: radius 5 about (0, 75), speed 100 all the way round.
    for (int n = 0; n <= kRunSamples; n += 7) {
        const double t = n * kLargestStep;
        const FloatPair position = AnalyticPosition(0, 20, t, 100, kR0);
        EXPECT_NEAR(std::hypot(position.first, position.second - 75.0), 5.0, 75 * kFloatTolerance);
        EXPECT_NEAR(length(AnalyticVelocity(0, 20, t, 100, kR0)), 100.0, 100 * kFloatTolerance);
    }
}

TEST(ClosedForm, FoucaultStartOscillatesThroughTheCentreOnATurningLine)
{
    // u = -q R0 / 2: the line of the oscillation turns at q/2. Along it the distance is
    // R0 cos(S t / 2) for real roots (S = r1 - r2), R0 cosh(mu t) for complex ones, and R0
    // at equal roots, where the line has stopped swinging and the particle circles.
    struct Case
    {
        double p, q;
        double (*along)(double t);
    };
    const Case cases[] = {
        {-500, 5, [](double t) { return std::cos(45 * t / 2); }},
        {-200, -30, [](double t) { return std::cos(std::sqrt(900.0 + 800) * t / 2); }},
        {500, 5, [](double t) { return std::cosh(0.5 * std::sqrt(2000.0 - 25) * t); }},
        {400, 40, [](double) { return 1.0; }},
    };
    for (const Case &c : cases) {
        const double u = -c.q * kR0 / 2;
        for (int n = 0; n <= kRunSamples; n += 13) {
            const double t = n * kLargestStep;
            SCOPED_TRACE(testing::Message() << "p " << c.p << " q " << c.q << " t " << t);
            const double r = kR0 * c.along(t);
            const FloatPair position = AnalyticPosition(c.p, c.q, t, u, kR0);
            const double size = std::max(std::abs(r), double(kR0));
            EXPECT_NEAR(position.first, -r * std::sin(c.q * t / 2), size * kOrbitTolerance);
            EXPECT_NEAR(position.second, r * std::cos(c.q * t / 2), size * kOrbitTolerance);
        }
    }
}

// Position and velocity against the numerical solution, at every 10th sample of a run
// of the largest time step. Returns the number of samples compared.
int expectAgreesWithIntegration(const Setting &s)
{
    SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " u " << s.u);
    const ReferenceOrbit orbit(s.p, s.q, s.u, kLargestStep, kRunSamples);
    int compared = 0;
    for (int n = 0; n <= kRunSamples; n += 10) {
        const double t = n * kLargestStep;
        const FloatPair position = AnalyticPosition(s.p, s.q, t, s.u, kR0);
        const FloatPair velocity = AnalyticVelocity(s.p, s.q, t, s.u, kR0);
        const test::OrbitPoint &expected = orbit.at(n);
        const double positionError
            = std::hypot(position.first - expected.x, position.second - expected.y);
        const double velocityError
            = std::hypot(velocity.first - expected.vx, velocity.second - expected.vy);
        if (positionError > kOrbitTolerance * orbit.maxDistance()
            || velocityError > kOrbitTolerance * orbit.maxSpeed()) {
            ADD_FAILURE() << "t " << t << ": position off by " << positionError << " of "
                          << orbit.maxDistance() << ", velocity off by " << velocityError << " of "
                          << orbit.maxSpeed();
            return compared;
        }
        ++compared;
    }
    return compared;
}

TEST(ClosedForm, AgreesWithNumericalIntegrationOverTheControlRange)
{
    int compared = 0;
    for (const Setting &s : test::controlRangeSettings())
        compared += expectAgreesWithIntegration(s);
    EXPECT_GT(compared, 100000);
}

TEST(ClosedForm, RealRootsAreRoundedTo32Bits)
{
    // With 32-bit roots the real-root form is the exact motion for p' = r1 r2 and
    // q' = r1 + r2; what is left is the rounding of r R0, r1 - r2 and the results, below
    // 3e-7 over the control range. These settings are where the roots' rounding moves
    // the orbit most away from the one for p and q (about 4e-6).
    constexpr double kRoundedRootsTolerance = 5e-7;
    const Setting settings[] = {{-1000, 84, -2940}, {-990, -95, 3325}, {-1000, -57, 1995}};
    for (const Setting &s : settings) {
        const FloatPair roots = CharacteristicRoots(s.p, s.q);
        const double p = double(roots.first) * roots.second;
        const double q = double(roots.first) + roots.second;
        const ReferenceOrbit orbit(p, q, s.u, kLargestStep, kRunSamples);
        for (int n = 0; n <= kRunSamples; n += 10) {
            const FloatPair position = AnalyticPosition(s.p, s.q, n * kLargestStep, s.u, kR0);
            EXPECT_NEAR(
                position.first, orbit.at(n).x, kRoundedRootsTolerance * orbit.maxDistance());
            EXPECT_NEAR(
                position.second, orbit.at(n).y, kRoundedRootsTolerance * orbit.maxDistance());
        }
    }
}

TEST(ClosedForm, CriticalSettingsAreFiniteAndAgreeWithNumericalIntegration)
{
    for (const Setting &s : test::criticalSettings()) {
        ASSERT_EQ(rootCase(s.p, s.q), RootCase::Equal);
        expectAgreesWithIntegration(s);
    }
}

TEST(ClosedForm, VelocityIsTheTimeDerivativeOfPosition)
{
    // A fourth-order central difference of the 32-bit positions. With the step a twentieth
    // of the fastest turn, truncation stays near 1e-6 and the positions' rounding, divided
    // by the step, near 2e-6 of the speed.
    constexpr double kDerivativeTolerance = 2e-5;
    const Setting settings[] = {
        {-500, 5, 0}, {-500, 5, -175}, {-1000, 100, 200}, {300, 70, -200}, // real
        {500, 5, 0}, {1000, -100, 200}, {10, 6, 80}, // complex
        {100, 20, -200}, {900, -60, 60 * 35}, // equal
    };
    for (const Setting &s : settings) {
        const double fastest = std::abs(s.q) / 2 + std::sqrt(std::abs(s.p) + s.q * s.q / 4);
        const double d = 0.05 / fastest;
        const double scale = ReferenceOrbit(s.p, s.q, s.u, kLargestStep, kRunSamples).maxSpeed();
        for (double t : {0.013, 0.25, 0.777, 1.5, 1.99}) {
            SCOPED_TRACE(testing::Message() << "p " << s.p << " q " << s.q << " t " << t);
            auto at = [&](double k) { return AnalyticPosition(s.p, s.q, t + k * d, s.u, kR0); };
            const FloatPair m2 = at(-2), m1 = at(-1), p1 = at(1), p2 = at(2);
            const double vx = (m2.first - 8.0 * m1.first + 8.0 * p1.first - p2.first) / (12 * d);
            const double vy
                = (m2.second - 8.0 * m1.second + 8.0 * p1.second - p2.second) / (12 * d);
            const FloatPair velocity = AnalyticVelocity(s.p, s.q, t, s.u, kR0);
            EXPECT_NEAR(velocity.first, vx, kDerivativeTolerance * scale);
            EXPECT_NEAR(velocity.second, vy, kDerivativeTolerance * scale);
        }
    }
}

TEST(ClosedForm, EnergyIsConserved)
{
    // u^2 + p (r^2 - R0^2) = v^2. Rounded roots solve the equations for a p off by 1e-7 of
    // itself, so only the 32-bit rounding of the results shows, doubled by the squares.
    constexpr double kEnergyTolerance = 1e-6;
    for (const Setting &s : test::controlRangeSettings()) {
        for (int n = 0; n <= kRunSamples; n += 97) {
            const double t = n * kLargestStep;
            const double r = length(AnalyticPosition(s.p, s.q, t, s.u, kR0));
            const double v = length(AnalyticVelocity(s.p, s.q, t, s.u, kR0));
            const double w = r * r - double(kR0) * kR0;
            const double scale = s.u * s.u + std::abs(s.p) * (r * r + kR0 * kR0) + v * v;
            ASSERT_NEAR(s.u * s.u + s.p * w, v * v, kEnergyTolerance * scale)
                << "p " << s.p << " q " << s.q << " u " << s.u << " t " << t;
        }
    }
}

} // namespace
} // namespace kentrikh
