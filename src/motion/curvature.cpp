#include "motion/curvature.h"

#include "motion/closed_form.h"

#include <cmath>

namespace kentrikh {

Curvature curvatureAt(double t, double p, double q, double VX0, float R0)
{
    const FloatPair velocity = AnalyticVelocity(p, q, t, VX0, R0);
    const FloatPair position = AnalyticPosition(p, q, t, VX0, R0);
    const double vx = velocity.first;
    const double vy = velocity.second;
    const double x = position.first;
    const double y = position.second;

    const double V3 = std::pow(std::sqrt(vy * vy + vx * vx), 3);
    const double ax = p * x - q * vy;
    const double ay = p * y + q * vx;
    const double cross = vx * ay - vy * ax;
    if (cross == 0)
        return {0, 0};
    return {V3 / std::abs(cross), cross};
}

double CurvatureRadiusAt(double t, double p, double q, double VX0, float R0)
{
    return curvatureAt(t, p, q, VX0, R0).rho;
}

} // namespace kentrikh
