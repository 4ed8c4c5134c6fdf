#pragma once

// Inspection of a recorded run: a press on the window clears it, redraws the stored path
// and shows the stored circle of curvature and arrows of the sample nearest the pointer.
// Nothing is recomputed; forces are drawn scaled by 0.001, velocities by 0.01.

#include "motion/state.h"
#include "pixels/surface.h"

namespace kentrikh {

// Only samples closer than this to the pointer, in user units, can be chosen.
inline constexpr double ProbeRadius = 0.4;

// The sample of indices 0 to 1000 nearest (mx, my) among those closer than ProbeRadius,
// distances compared as 32-bit floats; of equal ones the lowest index. Index 0, the start
// point, when no sample is close enough. There is no limit to the number of candidates.
int nearestSample(const TrackRecord &track, float mx, float my);

// With HasTrack: Cls; the path from index 0 to 991 in red; for the nearest sample b, with
// CurvatureCircle its circle of curvature in the foreground colour and the current style,
// with ShowForces the spring and magnetic forces in red, the total force in blue
// (0, 0, 255), the velocity in green (0, 255, 0) and the far sides of the force
// parallelogram dotted in red. Without HasTrack nothing at all. Keeps the pen width as it
// is and leaves the style solid after the parallelogram; DrawArrow stores pi into Pi.
void ProbeTrack(Surface &surface, Simulation &sim, float mx, float my);

} // namespace kentrikh
