#pragma once

// Radius of curvature of the path at time t, from the exact velocity and the force law:
//
//     rho = |v|^3 / |c|,   c = vx ay - vy ax,   ax = p x - q vy,   ay = p y + q vx
//
// with (x, y) and (vx, vy) the 32-bit results of the closed form and the rest in 64 bits.
// The sign of c says which way the path bends: c > 0 to the left of the velocity
// (counter-clockwise), c < 0 to the right. A cross product of exactly 0 (an inflection
// point) gives rho = 0, the same convention as the radius computed from the distance alone.

namespace kentrikh {

struct Curvature
{
    double rho = 0;
    double cross = 0; // c, whose sign is the side of the centre of curvature
};

Curvature curvatureAt(double t, double p, double q, double VX0, float R0);

double CurvatureRadiusAt(double t, double p, double q, double VX0, float R0);

} // namespace kentrikh
