#pragma once

// The exact motion of a particle of unit mass and charge under the central force p r and
// the magnetic force q (-vy, vx):
//
//     x'' = p x - q y',    y'' = p y + q x',    or with z = x + i y:  z'' = p z + i q z'.
//
// A rotating mode z = e^(i w t) solves it when w^2 - q w + p = 0; D = 4p - q^2 decides.
// The start is z(0) = i R0 with velocity (u, 0).
//
// D < 0, real roots r1 > r2 (32-bit floats, as are r R0 and r1 - r2):
//     A = (u + r2 R0) / (r1 - r2),   C = -(u + r1 R0) / (r1 - r2)
//     x  = A sin(r1 t) + C sin(r2 t),            y  = -A cos(r1 t) - C cos(r2 t)
//     vx = A r1 cos(r1 t) + C r2 cos(r2 t),      vy = A r1 sin(r1 t) + C r2 sin(r2 t)
//
// D > 0, roots q/2 +- i mu with mu = sqrt(4p - q^2) / 2:
//     h = u + q R0 / 2,  phi = atan(mu R0 / h) (pi/2 when h = 0, + pi when negative),
//     a = sqrt(R0^2 + h^2 / mu^2) / 2,  theta = q t / 2,  E+- = e^(+-mu t)
//     x  = a (E+ cos(theta + phi) - E- cos(theta - phi))
//     y  = a (E+ sin(theta + phi) - E- sin(theta - phi))
//     vx = a (E+ (mu cos(theta + phi) - q/2 sin(theta + phi))
//             + E- (mu cos(theta - phi) + q/2 sin(theta - phi)))
//     vy = a (E+ (mu sin(theta + phi) + q/2 cos(theta + phi))
//             + E- (mu sin(theta - phi) - q/2 cos(theta - phi)))
//
// D = 0, the equal-root limit, with h as above:
//     z  = e^(i q t / 2) (z0 + (u - i (q/2) z0) t) = e^(i q t / 2) (h t + i R0),  z0 = i R0
//     z' = e^(i q t / 2) (u + i (q/2) h t)
//
// Every returned component is rounded to a 32-bit float as its last step.

namespace kentrikh {

struct FloatPair
{
    float first = 0;
    float second = 0;
};

enum class RootCase {
    Real, // D < 0
    Complex, // D > 0
    Equal, // D == 0 exactly
};

RootCase rootCase(double p, double q);

// The coefficients of the real-root form, narrowed as the closed form narrows them.
struct RealModes
{
    double r1 = 0; // the 32-bit roots
    double r2 = 0;
    double gap = 0; // r1 - r2 as a 32-bit float
    double A = 0;
    double C = 0;
};

RealModes realModes(double p, double q, double u, float R0);

// The coefficients of the complex-root form; only meaningful for D > 0.
struct ComplexModes
{
    double mu = 0;
    double h = 0;
    double phi = 0;
    double a = 0;
};

ComplexModes complexModes(double p, double q, double u, float R0);

// D < 0: the two real roots, r1 > r2, each a 32-bit float. Otherwise both are q/2.
FloatPair CharacteristicRoots(double p, double q);
FloatPair AnalyticPosition(double p, double q, double t, double u, float R0);
FloatPair AnalyticVelocity(double p, double q, double t, double u, float R0);

} // namespace kentrikh
