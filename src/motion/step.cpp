#include "motion/step.h"

#include "motion/closed_form.h"
#include "motion/curvature.h"
#include "motion/numeric.h"
#include "motion/reset.h"

#include <cmath>
#include <initializer_list>

namespace kentrikh {

namespace {

// The particle's mass, a 16-bit integer constant.
constexpr int Mass = 1;

bool isFiniteSample(const StepSample &s)
{
    for (const double value : {s.x, s.y, s.vx, s.vy, s.NetFX, s.NetFY, s.SpringFX, s.SpringFY,
             s.MagFX, s.MagFY, s.Cx, s.Cy, s.rho}) {
        if (!isFinite(value))
            return false;
    }
    return true;
}

// The centre lies on the side the path bends to, which is the side of the normal part of
// the net force: the magnetic force alone points there only while it outweighs the
// spring's normal part. The sign of the cross product that gave rho decides, so radius and
// side come from the same numbers.
void placeCurvatureCentre(StepSample &s, double cross)
{
    // vy != 0 here, so the normal's direction needs no special case.
    const double phi = std::atan(-s.vx / s.vy);
    const double dx = std::abs(std::cos(phi)) * std::abs(s.rho);
    const double dy = std::abs(std::sin(phi)) * std::abs(s.rho);
    s.Cx = cross * -s.vy > 0 ? s.x + dx : s.x - dx;
    s.Cy = cross * s.vx > 0 ? s.y + dy : s.y - dy;
}

void record(TrackRecord &track, const StepSample &s)
{
    const int k = s.k;
    track.TrackMagFX.store(k, s.MagFX);
    track.TrackMagFY.store(k, s.MagFY);
    track.TrackSpringFX.store(k, s.SpringFX);
    track.TrackSpringFY.store(k, s.SpringFY);
    track.TrackNetFX.store(k, s.NetFX);
    track.TrackNetFY.store(k, s.NetFY);
    track.TrackVX.store(k, s.vx);
    track.TrackVY.store(k, s.vy);
    track.TrackX.store(k, s.x);
    track.TrackY.store(k, s.y);
    if (s.hasCurvature) {
        track.TrackRho.store(k, s.rho);
        track.TrackCentreX.store(k, s.Cx);
        track.TrackCentreY.store(k, s.Cy);
    }
}

} // namespace

StepResult StepMotion(Simulation &sim)
{
    MotionParams &params = sim.params;
    MotionState &state = sim.state;

    params.Pi = 4 * std::atan(1.0);
    const double t = state.SampleIndex == 0 ? 0.0 : sim.memory.T + params.DT;
    const double p = params.K / Mass;
    const double q = params.B / Mass;
    const int k = state.SampleIndex + 1;

    if (k > LastSample) {
        sim.memory.T = t;
        state.SampleIndex = 0;
        rewindParticle(sim, state.VX0);
        state.HasTrack = true;
        return {StepOutcome::RunEnded, {}};
    }

    const double u = state.VX0;
    const FloatPair position = AnalyticPosition(p, q, t, u, params.R0);
    const FloatPair velocity = AnalyticVelocity(p, q, t, u, params.R0);

    StepSample s;
    s.k = k;
    s.x = position.first;
    s.y = position.second;
    s.vx = velocity.first;
    s.vy = velocity.second;

    const double K = params.K;
    const double B = params.B;
    s.SpringFX = f32(K * s.x);
    s.SpringFY = f32(K * s.y);
    s.MagFX = f32(s.vy * -B);
    s.MagFY = f32(B * s.vx);
    s.NetFX = f32(K * s.x - B * s.vy);
    s.NetFY = f32(K * s.y + B * s.vx);

    s.hasCurvature = s.vx != 0 && s.vy != 0;
    if (s.hasCurvature) {
        const Curvature curvature = curvatureAt(t, p, q, u, params.R0);
        s.rho = curvature.rho;
        placeCurvatureCentre(s, curvature.cross);
    }

    if (!isFiniteSample(s))
        return {StepOutcome::Fault, {}};

    sim.memory.T = t;
    state.SampleIndex = k;
    state.VX = s.vx;
    state.VY = s.vy;
    state.X = s.x;
    state.Y = s.y;
    record(sim.track, s);
    return {StepOutcome::Sample, s};
}

} // namespace kentrikh
