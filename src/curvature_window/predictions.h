#pragma once

// Predictions from the closed form alone, through the distance r from the centre.
// With w = r^2 - R0^2, energy and the conserved x vy - y vx - q r^2 / 2 give
//
//     speed^2 = u^2 + p w,    cross product = q u^2 + p R0 u + p q w / 2,
//     rho(r)  = (sqrt(u^2 + p w))^3 / |q u^2 + p R0 u + p q w / 2|   (0 when the divisor is 0)
//
// and the distance at time t is
//     D < 0:  r = sqrt(A^2 + C^2 + 2 A C cos((r1 - r2) t))
//     D > 0:  r = a sqrt(e^(2 mu t) + e^(-2 mu t) - 2 cos(2 phi))
//     D = 0:  r = |h t + i R0|, the length of the equal-root position
// A, C, r1, r2, mu, h, phi and a as in motion/closed_form.h. A radicand that rounding takes
// below 0 (its exact value is a square) counts as 0.

namespace kentrikh {

struct PredictionInputs
{
    double K = 0;
    double B = 0;
    double VX0 = 0;
    double DT = 0;
    float R0 = 0;
};

double AnalyticDistance(double K, double B, double t, double VX0, float R0);

// The distance form of the radius of curvature at the squared distance s = r^2.
double CurvatureRadiusFromSquaredDistance(const PredictionInputs &in, double s);

// In the real-root case a distance within 0.0001 of R0 counts as R0.
double CurvatureRadiusFromDistanceAt(const PredictionInputs &in, double t);

// D < 0: the largest rho(r) over eleven quarter periods of the distance oscillation,
// t_n = (Pi n / 2) / |r1 - r2|, n = 0..10 (distances within 0.0001 of R0 count as R0);
// writes 4 atan 1 into Pi, as the graph's readers expect.
// D >= 0: rho(r) at the last sample of a run, t = 1000 DT, where the growing distance peaks.
double MaxCurvatureRadius(const PredictionInputs &in, double &Pi);

} // namespace kentrikh
