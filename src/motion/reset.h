#pragma once

// Putting the motion back at its start from the scroll bars. The controls' part of a
// reset (unchecking the curvature box, the drawing scale, the reference circle) belongs
// to the window; this is the state part.

#include "motion/state.h"

namespace kentrikh {

// K = STAKENTR x 10, formed as a 16-bit integer (the bar's range keeps it in range).
double springConstant(std::int16_t stakentr);

// DT = VIMAXRO x 0.0001, then divided by 100.
double timeStep(std::int16_t vimaxro);

// -B R0 / 2 in Foucault mode, else the ARXIVX value.
double startVelocityX(const Simulation &sim, std::int16_t arxivx);

// B, K, the start point and start velocity, TrackX(0), TrackY(0) and DT from the bars.
// Leaves SampleIndex, HasTrack, the switches and the step's memory alone.
void resetRunState(Simulation &sim, const SliderValues &bars);

// The first values at start-up: R0, Pi, then what a reset gives, all switches off.
void initialiseSimulation(Simulation &sim, const SliderValues &bars);

// The particle back at (0, R0) with the start velocity, as STOP and the end of a run do.
void rewindParticle(Simulation &sim, double startVX);

} // namespace kentrikh
