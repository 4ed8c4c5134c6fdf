#include "curvature_window/predictions.h"

#include "motion/closed_form.h"
#include "motion/numeric.h"

#include <algorithm>
#include <cmath>

namespace kentrikh {

namespace {

// Every radicand here is a square in exact arithmetic, a squared distance or speed; rounding
// can take one a hair below 0 where the true value is 0 (a Foucault orbit through the
// centre, a particle at rest).
double rootOfNonNegative(double value)
{
    return std::sqrt(std::max(value, 0.0));
}

double realDistance(const RealModes &m, double t)
{
    return rootOfNonNegative(m.A * m.A + m.C * m.C + 2 * m.A * m.C * std::cos(m.gap * t));
}

double distanceAt(double p, double q, double u, float R0, double t)
{
    const RootCase roots = rootCase(p, q);
    if (roots == RootCase::Real)
        return realDistance(realModes(p, q, u, R0), t);
    if (roots == RootCase::Complex) {
        const ComplexModes m = complexModes(p, q, u, R0);
        return m.a
            * rootOfNonNegative(
                std::exp(2 * m.mu * t) + std::exp(-2 * m.mu * t) - 2 * std::cos(2 * m.phi));
    }
    return std::hypot((u + q * R0 / 2) * t, static_cast<double>(R0));
}

// The distance returns to R0 once a period; rounding would leave it a hair away.
double snappedToStart(double r, float R0)
{
    return std::abs(r - R0) < 0.0001 ? static_cast<double>(R0) : r;
}

} // namespace

double AnalyticDistance(double K, double B, double t, double VX0, float R0)
{
    return distanceAt(K, B, VX0, R0, t);
}

double CurvatureRadiusFromSquaredDistance(const PredictionInputs &in, double s)
{
    const double p = in.K;
    const double q = in.B;
    const double u = in.VX0;
    const double R0 = in.R0;
    const double w = s - R0 * R0;
    const double V = std::pow(rootOfNonNegative(u * u + p * w), 3);
    const double Dc = std::abs(q * u * u + p * R0 * u + p * q * w / 2);
    if (Dc == 0)
        return 0;
    return V / Dc;
}

double CurvatureRadiusFromDistanceAt(const PredictionInputs &in, double t)
{
    double r = distanceAt(in.K, in.B, in.VX0, in.R0, t);
    if (rootCase(in.K, in.B) == RootCase::Real)
        r = snappedToStart(r, in.R0);
    return CurvatureRadiusFromSquaredDistance(in, r * r);
}

double MaxCurvatureRadius(const PredictionInputs &in, double &Pi)
{
    if (rootCase(in.K, in.B) != RootCase::Real) {
        const double r = distanceAt(in.K, in.B, in.VX0, in.R0, in.DT * 1000);
        return CurvatureRadiusFromSquaredDistance(in, r * r);
    }

    // Quarter periods of the distance: R0, sqrt(A^2 + C^2), |A - C|, sqrt(A^2 + C^2), R0, ...
    // The radius of curvature, as a function of r^2, has no interior maximum unless the
    // cross product vanishes on the orbit, so the extremes of the distance carry it.
    const RealModes m = realModes(in.K, in.B, in.VX0, in.R0);
    Pi = 4 * std::atan(1.0);
    const double beat = f32(std::abs(m.r2 - m.r1));
    double largest = 0;
    for (int n = 0; n <= 10; ++n) {
        const double r = snappedToStart(realDistance(m, (Pi * n / 2) / beat), in.R0);
        const double rho = CurvatureRadiusFromSquaredDistance(in, r * r);
        if (rho > largest)
            largest = rho;
    }
    return largest;
}

} // namespace kentrikh
