#include "motion/reset.h"

#include <cmath>

namespace kentrikh {

double springConstant(std::int16_t stakentr)
{
    return static_cast<std::int16_t>(stakentr * 10);
}

double timeStep(std::int16_t vimaxro)
{
    return vimaxro * 0.0001 / 100;
}

double startVelocityX(const Simulation &sim, std::int16_t arxivx)
{
    if (sim.switches.FoucaultMode)
        return -sim.params.B * static_cast<double>(sim.params.R0) / 2;
    return arxivx;
}

void rewindParticle(Simulation &sim, double startVX)
{
    sim.state.X = 0;
    sim.state.Y = sim.params.R0;
    sim.state.VX = startVX;
    sim.state.VY = 0;
}

void resetRunState(Simulation &sim, const SliderValues &bars)
{
    sim.params.B = bars.MAGNHTIO;
    sim.params.K = springConstant(bars.STAKENTR);
    rewindParticle(sim, startVelocityX(sim, bars.ARXIVX));
    sim.state.VX0 = sim.state.VX;
    sim.track.TrackX.store(0, sim.state.X);
    sim.track.TrackY.store(0, sim.state.Y);
    sim.params.DT = timeStep(bars.VIMAXRO);
}

void initialiseSimulation(Simulation &sim, const SliderValues &bars)
{
    sim.params.R0 = StartDistance;
    sim.params.Pi = 4 * std::atan(1.0);
    sim.switches = {};
    resetRunState(sim, bars);
}

} // namespace kentrikh
