#pragma once

// One sample of a run: the next sample index, the run time advanced by DT (repeated
// addition, so a change of DT mid-run keeps the time already accumulated), the exact
// position and velocity at that time, the forces, and the centre of curvature.
//
// Sample k (1 to 1000) is taken at time (k - 1) DT; the call after sample 1000 ends the run.
// With m = 1, p = K and q = B. From the stored X, Y, VX, VY (32-bit floats):
//
//     SpringF = (K X, K Y),   MagF = (-B VY, B VX),   NetF = (K X - B VY, K Y + B VX)
//
// each component formed in double and then rounded once to a 32-bit float.
//
// Only when vx != 0 and vy != 0 (exact), with rho = CurvatureRadiusAt(T, p, q) and c the
// cross product vx ay - vy ax it is formed from:
//
//     phi = atan(-VX / VY)
//     Cx = x + |cos phi| |rho|  if c (-vy) > 0,  else  x - |cos phi| |rho|
//     Cy = y + |sin phi| |rho|  if c vx > 0,     else  y - |sin phi| |rho|
//
// i.e. on the normal at distance rho, on the concave side: along (-vy, vx) when the path
// turns left (c > 0), along (vy, -vx) when it turns right. Where c is exactly 0, rho is 0
// and the centre is the particle itself.

#include "motion/state.h"

namespace kentrikh {

// What one sample hands to the drawing.
struct StepSample
{
    int k = 0; // sample index, 1 to 1000
    double x = 0, y = 0; // the new X, Y
    double vx = 0, vy = 0; // the new VX, VY
    double NetFX = 0, NetFY = 0;
    double SpringFX = 0, SpringFY = 0;
    double MagFX = 0, MagFY = 0;
    bool hasCurvature = false; // Cx, Cy and rho were computed for this sample
    double Cx = 0, Cy = 0, rho = 0;
};

enum class StepOutcome {
    Sample, // a sample was taken and recorded: draw it
    RunEnded, // the particle was rewound and HasTrack set: switch the timer off, draw nothing
    Fault, // the sample was not finite and nothing changed: switch the timer off, draw nothing
};

struct StepResult
{
    StepOutcome outcome = StepOutcome::Sample;
    StepSample sample; // meaningful for StepOutcome::Sample only
};

// Advances the run by one sample and records it in TrackRecord at index k (never index 0).
// TrackRho, TrackCentreX and TrackCentreY are written only when hasCurvature is set.
// A sample with any non-finite value is dropped as a whole: SampleIndex, T, the particle
// and the record stay as they were, so the record keeps only consistent samples.
StepResult StepMotion(Simulation &sim);

} // namespace kentrikh
