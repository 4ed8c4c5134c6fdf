#include "motion/closed_form.h"

#include "motion/numeric.h"

#include <cmath>

namespace kentrikh {

namespace {

FloatPair narrowed(double first, double second)
{
    return {static_cast<float>(first), static_cast<float>(second)};
}

// The start x velocity seen from the frame that turns at q/2.
double rotatingFrameVelocity(double q, double u, float R0)
{
    return u + q * R0 / 2;
}

} // namespace

RootCase rootCase(double p, double q)
{
    const double D = 4 * p - q * q;
    if (D < 0)
        return RootCase::Real;
    return D > 0 ? RootCase::Complex : RootCase::Equal;
}

FloatPair CharacteristicRoots(double p, double q)
{
    if (rootCase(p, q) == RootCase::Real) {
        const double S = std::sqrt(q * q - 4 * p);
        return narrowed((q + S) / 2, (q - S) / 2);
    }
    return narrowed(q / 2, q / 2);
}

RealModes realModes(double p, double q, double u, float R0)
{
    const FloatPair roots = CharacteristicRoots(p, q);
    RealModes modes;
    modes.r1 = roots.first;
    modes.r2 = roots.second;
    modes.gap = f32(modes.r1 - modes.r2);
    const double r1R0 = f32(modes.r1 * R0);
    const double r2R0 = f32(modes.r2 * R0);
    modes.A = (u + r2R0) / modes.gap;
    modes.C = -(u + r1R0) / modes.gap;
    return modes;
}

ComplexModes complexModes(double p, double q, double u, float R0)
{
    const double Pi = 4 * std::atan(1.0);
    ComplexModes modes;
    modes.mu = 0.5 * std::sqrt(4 * p - q * q);
    modes.h = rotatingFrameVelocity(q, u, R0);
    modes.phi = modes.h != 0 ? std::atan(modes.mu * R0 / modes.h) : Pi / 2;
    if (modes.phi < 0)
        modes.phi += Pi;
    const double R0d = R0;
    modes.a = 0.5 * std::sqrt(R0d * R0d + modes.h * modes.h / (modes.mu * modes.mu));
    return modes;
}

FloatPair AnalyticPosition(double p, double q, double t, double u, float R0)
{
    const RootCase roots = rootCase(p, q);
    if (roots == RootCase::Real) {
        const RealModes m = realModes(p, q, u, R0);
        return narrowed(m.A * std::sin(m.r1 * t) + m.C * std::sin(m.r2 * t),
            -m.A * std::cos(m.r1 * t) - m.C * std::cos(m.r2 * t));
    }
    const double theta = q * t / 2;
    if (roots == RootCase::Complex) {
        const ComplexModes m = complexModes(p, q, u, R0);
        const double grow = std::exp(m.mu * t);
        const double shrink = std::exp(-m.mu * t);
        return narrowed(m.a * (grow * std::cos(theta + m.phi) - shrink * std::cos(theta - m.phi)),
            m.a * (grow * std::sin(theta + m.phi) - shrink * std::sin(theta - m.phi)));
    }
    const double along = rotatingFrameVelocity(q, u, R0) * t;
    return narrowed(along * std::cos(theta) - R0 * std::sin(theta),
        along * std::sin(theta) + R0 * std::cos(theta));
}

FloatPair AnalyticVelocity(double p, double q, double t, double u, float R0)
{
    const RootCase roots = rootCase(p, q);
    if (roots == RootCase::Real) {
        const RealModes m = realModes(p, q, u, R0);
        return narrowed(m.A * m.r1 * std::cos(m.r1 * t) + m.C * m.r2 * std::cos(m.r2 * t),
            m.A * m.r1 * std::sin(m.r1 * t) + m.C * m.r2 * std::sin(m.r2 * t));
    }
    const double theta = q * t / 2;
    if (roots == RootCase::Complex) {
        const ComplexModes m = complexModes(p, q, u, R0);
        const double grow = std::exp(m.mu * t);
        const double shrink = std::exp(-m.mu * t);
        const double plus = theta + m.phi;
        const double minus = theta - m.phi;
        return narrowed(m.a
                * (grow * (m.mu * std::cos(plus) - (q / 2) * std::sin(plus))
                    + shrink * (m.mu * std::cos(minus) + (q / 2) * std::sin(minus))),
            m.a
                * (grow * (m.mu * std::sin(plus) + (q / 2) * std::cos(plus))
                    + shrink * (m.mu * std::sin(minus) - (q / 2) * std::cos(minus))));
    }
    const double turning = (q / 2) * rotatingFrameVelocity(q, u, R0) * t;
    return narrowed(u * std::cos(theta) - turning * std::sin(theta),
        u * std::sin(theta) + turning * std::cos(theta));
}

} // namespace kentrikh
