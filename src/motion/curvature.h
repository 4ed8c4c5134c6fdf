#pragma once

// Radius of curvature of the path at time t, from the exact velocity and the force law:
//
//     rho = |v|^3 / |vx ay - vy ax|,   ax = p x - q vy,   ay = p y + q vx
//
// with (x, y) and (vx, vy) the 32-bit results of the closed form and the rest in 64 bits.
// A cross product of exactly 0 (an inflection point) gives 0, the same convention as the
// radius computed from the distance alone.

namespace kentrikh {

double CurvatureRadiusAt(double t, double p, double q, double VX0, float R0);

} // namespace kentrikh
