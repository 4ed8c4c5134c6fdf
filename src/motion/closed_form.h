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
//     vx = a (E+ (mu cos(theta + phi) - q/2 sin(theta + phi)) + E- (mu cos(theta - phi) + q/2 sin(theta - phi)))
//     vy = a (E+ (mu sin(theta + phi) + q/2 cos(theta + phi)) + E- (mu sin(theta - phi) - q/2 cos(theta - phi)))
//
// D = 0, the equal-root limit:
//     z = e^(i q t / 2) (z0 + (u - i (q/2) z0) t),  z0 = i R0.
//
// Every returned component is rounded to a 32-bit float as its last step.

namespace kentrikh {

struct FloatPair
{
    float first = 0;
    float second = 0;
};

FloatPair CharacteristicRoots(double p, double q);
FloatPair AnalyticPosition(double p, double q, double t, double u, float R0);
FloatPair AnalyticVelocity(double p, double q, double t, double u, float R0);

} // namespace kentrikh
