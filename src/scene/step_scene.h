#pragma once

// The picture of one sample, drawn incrementally over the previous ones: what the last
// samples drew at the old position is drawn again in white, then the new picture.
// Velocities are drawn scaled by 0.01, forces by 0.001; positions unscaled.
//
// The field symbol, with W = ScaleWidth and H = ScaleHeight:
//
//     circle at (W/5, H/5), radius W/25
//     B > 0:   a cross, a = 0.707 W / 25: (W/5 - a, H/5 - a)-(W/5 + a, H/5 + a) and
//              (W/5 + a, H/5 - a)-(W/5 - a, H/5 + a)
//     B <= 0:  a dot, radius W/125, filled with the surface's current fill colour

#include "motion/step.h"
#include "pixels/surface.h"

#include <cstdint>

namespace kentrikh {

// Erase phase, in white at width 4: the previous velocity arrow; for k > 2 the velocity
// arrow and, with a filled white disc of radius 1.6, the marker of sample k - 2; the
// previous total force; with ShowForces the previous component forces and the far sides of
// their parallelogram; for k > 1 the last circle of curvature drawn, whether or not
// CurvatureCircle is on.
//
// Draw phase, at width 3: the marker (radius 1.5, foreground colour), the total force
// (0, 5, 255) and the velocity (255, 0, 255); with ShowForces the spring and magnetic
// forces in red and the far sides of their parallelogram dotted; the path from sample 1 to
// k - 1 in red, as one polyline (the same lines as a line() for each pair of samples); the
// dash-dot reference circle (55, 0, 255); with CurvatureCircle and a centre for this sample,
// the dotted circle of curvature at width 1; the field symbol with the pen as left.
//
// Updates the drawing memory of sim.memory: the previous position, velocity and total
// force every step, the magnetic and spring forces at the very end, the last circle of
// curvature only when one is drawn. Reads the record at indices below k only. Leaves the
// surface's pen solid, its fill transparent and, from k = 3 on, its fill colour white.
void DrawStepScene(
    Surface &surface, Simulation &sim, const StepSample &sample, std::int16_t magnhtioValue);

// The direction of the field, right of and below the centre: a cross for a positive
// MAGNHTIO value, a dot for 0 and negative ones. The magnetic force B (-vy, vx) is
// v x (-B z), so a positive B points into the picture (a cross, the tail of an arrow) and a
// negative one out of it (a dot, its tip). Uses the pen as it is.
void DrawFieldSymbol(Surface &surface, std::int16_t magnhtioValue);

} // namespace kentrikh
