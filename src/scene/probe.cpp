#include "scene/probe.h"

#include "scene/arrow.h"

#include <cmath>

namespace kentrikh {

namespace {

constexpr int LastPathSample = 991;
constexpr double ForceScale = 0.001;
constexpr double VelocityScale = 0.01;

constexpr Rgb Red = rgb(255, 0, 0);

} // namespace

int nearestSample(const TrackRecord &track, float mx, float my)
{
    // The running nearest makes the same choice as comparing a table of every candidate
    // in order, however many samples crowd near the pointer in a slow run.
    int best = 0;
    float bestDistance = 0;
    bool found = false;
    for (int i = 0; i <= LastSample; ++i) {
        const double dx = mx - track.TrackX[i];
        const double dy = my - track.TrackY[i];
        const double d = std::sqrt(dx * dx + dy * dy);
        if (!(d < ProbeRadius))
            continue;
        const float distance = static_cast<float>(d);
        if (!found || distance < bestDistance) {
            best = i;
            bestDistance = distance;
            found = true;
        }
    }
    return best;
}

void ProbeTrack(Surface &surface, Simulation &sim, float mx, float my)
{
    if (!sim.state.HasTrack)
        return;
    const TrackRecord &track = sim.track;

    surface.cls();
    for (int i = 0; i < LastPathSample; ++i) {
        surface.line(static_cast<float>(track.TrackX[i]), static_cast<float>(track.TrackY[i]),
            static_cast<float>(track.TrackX[i + 1]), static_cast<float>(track.TrackY[i + 1]), Red);
    }

    const int b = nearestSample(track, mx, my);
    if (sim.switches.CurvatureCircle) {
        // The radius of a nearly straight stretch can lie beyond the float range.
        const float cx = static_cast<float>(track.TrackCentreX[b]);
        const float cy = static_cast<float>(track.TrackCentreY[b]);
        const float rho = static_cast<float>(track.TrackRho[b]);
        if (std::isfinite(cx) && std::isfinite(cy) && std::isfinite(rho))
            surface.circle(cx, cy, rho);
    }
    if (!sim.switches.ShowForces)
        return;

    const double x = track.TrackX[b];
    const double y = track.TrackY[b];
    const double springX = track.TrackSpringFX[b] * ForceScale;
    const double springY = track.TrackSpringFY[b] * ForceScale;
    const double magX = track.TrackMagFX[b] * ForceScale;
    const double magY = track.TrackMagFY[b] * ForceScale;
    const double netX = track.TrackNetFX[b] * ForceScale;
    const double netY = track.TrackNetFY[b] * ForceScale;
    double &Pi = sim.params.Pi;
    DrawArrow(x, y, springX, springY, surface, 255, 0, 0, Pi);
    DrawArrow(x, y, magX, magY, surface, 255, 0, 0, Pi);
    DrawArrow(x, y, netX, netY, surface, 0, 0, 255, Pi);
    DrawArrow(x, y, track.TrackVX[b] * VelocityScale, track.TrackVY[b] * VelocityScale, surface, 0,
        255, 0, Pi);

    surface.setDrawStyle(DrawStyle::Dot);
    surface.line(static_cast<float>(x + magX), static_cast<float>(y + magY),
        static_cast<float>(x + netX), static_cast<float>(y + netY), Red);
    surface.lineTo(static_cast<float>(x + springX), static_cast<float>(y + springY), Red);
    surface.setDrawStyle(DrawStyle::Solid);
}

} // namespace kentrikh
