#include "scene/step_scene.h"

#include "scene/arrow.h"

#include <cmath>
#include <vector>

namespace kentrikh {

namespace {

constexpr double VelocityScale = 0.01;
constexpr double ForceScale = 0.001;

constexpr Rgb NetForceColour = rgb(0, 5, 255);
constexpr Rgb VelocityColour = rgb(255, 0, 255);
constexpr Rgb Red = rgb(255, 0, 0); // component forces, their parallelogram, the path
constexpr Rgb ReferenceColour = rgb(55, 0, 255);

// The components of a colour, as the arrow takes them.
void arrow(Surface &surface, double x1, double y1, double dx, double dy, Rgb colour, double &Pi)
{
    DrawArrow(
        x1, y1, dx, dy, surface, (colour >> 16) & 0xff, (colour >> 8) & 0xff, colour & 0xff, Pi);
}

void line(Surface &surface, double x1, double y1, double x2, double y2, Rgb colour)
{
    surface.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
        static_cast<float>(y2), colour);
}

void lineTo(Surface &surface, double x2, double y2, Rgb colour)
{
    surface.lineTo(static_cast<float>(x2), static_cast<float>(y2), colour);
}

// A circle whose centre or radius lies beyond the float range (the radius of curvature of
// a nearly straight path reaches 1e47) cannot be placed and is left out.
void circle(Surface &surface, double x, double y, double radius, Colour colour = {})
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fr = static_cast<float>(radius);
    if (std::isfinite(fx) && std::isfinite(fy) && std::isfinite(fr))
        surface.circle(fx, fy, fr, colour);
}

void erasePrevious(Surface &surface, Simulation &sim, int k)
{
    const StepMemory &m = sim.memory;
    const TrackRecord &track = sim.track;
    double &Pi = sim.params.Pi;

    surface.setDrawWidth(4);
    arrow(surface, m.PrevX, m.PrevY, m.PrevVX * VelocityScale, m.PrevVY * VelocityScale, White, Pi);
    if (k > 2) {
        const double x = track.TrackX[k - 2];
        const double y = track.TrackY[k - 2];
        arrow(surface, x, y, track.TrackVX[k - 2] * VelocityScale,
            track.TrackVY[k - 2] * VelocityScale, White, Pi);
        surface.setFillStyle(FillStyle::Solid);
        surface.setFillColor(White);
        circle(surface, x, y, 1.6, White);
        surface.setFillStyle(FillStyle::Transparent);
    }
    arrow(surface, m.PrevX, m.PrevY, m.PrevNetFX * ForceScale, m.PrevNetFY * ForceScale, White, Pi);
    if (sim.switches.ShowForces) {
        arrow(surface, m.PrevX, m.PrevY, m.PrevMagFX * ForceScale, m.PrevMagFY * ForceScale, White,
            Pi);
        arrow(surface, m.PrevX, m.PrevY, m.PrevSpringFX * ForceScale, m.PrevSpringFY * ForceScale,
            White, Pi);
        line(surface, m.PrevX + m.PrevMagFX * ForceScale, m.PrevY + m.PrevMagFY * ForceScale,
            m.PrevX + m.PrevNetFX * ForceScale, m.PrevY + m.PrevNetFY * ForceScale, White);
        lineTo(surface, m.PrevX + m.PrevSpringFX * ForceScale,
            m.PrevY + m.PrevSpringFY * ForceScale, White);
    }
    if (k > 1)
        circle(surface, m.PrevCentreX, m.PrevCentreY, m.PrevRho, White);
}

void drawComponentForces(Surface &surface, const StepSample &s, double &Pi)
{
    arrow(surface, s.x, s.y, s.SpringFX * ForceScale, s.SpringFY * ForceScale, Red, Pi);
    arrow(surface, s.x, s.y, s.MagFX * ForceScale, s.MagFY * ForceScale, Red, Pi);
    surface.setDrawStyle(DrawStyle::Dot);
    line(surface, s.x + s.MagFX * ForceScale, s.y + s.MagFY * ForceScale,
        s.x + s.NetFX * ForceScale, s.y + s.NetFY * ForceScale, Red);
    lineTo(surface, s.x + s.SpringFX * ForceScale, s.y + s.SpringFY * ForceScale, Red);
    surface.setDrawStyle(DrawStyle::Solid);
}

// The lines from sample j to j + 1 for j = 1 to k - 2, as one polyline through samples 1 to
// k - 1: a surface can then keep the path from one step to the next.
void drawPath(Surface &surface, const TrackRecord &track, int k)
{
    std::vector<UserPoint> points;
    points.reserve(k > 1 ? k - 1 : 0);
    for (int j = 1; j <= k - 1; ++j)
        points.push_back(
            {static_cast<float>(track.TrackX[j]), static_cast<float>(track.TrackY[j])});
    surface.polyline(points, Red);
}

} // namespace

void DrawStepScene(
    Surface &surface, Simulation &sim, const StepSample &s, std::int16_t magnhtioValue)
{
    double &Pi = sim.params.Pi;
    StepMemory &m = sim.memory;

    erasePrevious(surface, sim, s.k);

    surface.setDrawWidth(3);
    circle(surface, s.x, s.y, 1.5);
    arrow(surface, s.x, s.y, s.NetFX * ForceScale, s.NetFY * ForceScale, NetForceColour, Pi);
    arrow(surface, s.x, s.y, s.vx * VelocityScale, s.vy * VelocityScale, VelocityColour, Pi);
    if (sim.switches.ShowForces)
        drawComponentForces(surface, s, Pi);
    drawPath(surface, sim.track, s.k);

    surface.setDrawWidth(3);
    surface.setDrawStyle(DrawStyle::DashDot);
    circle(surface, 0, 0, sim.params.R0, ReferenceColour);
    surface.setDrawStyle(DrawStyle::Solid);

    if (s.hasCurvature && sim.switches.CurvatureCircle) {
        surface.setDrawWidth(1);
        surface.setDrawStyle(DrawStyle::Dot);
        circle(surface, s.Cx, s.Cy, s.rho);
        surface.setDrawStyle(DrawStyle::Solid);
        m.PrevCentreX = s.Cx;
        m.PrevCentreY = s.Cy;
        m.PrevRho = s.rho;
    }

    m.PrevX = s.x;
    m.PrevY = s.y;
    m.PrevVX = s.vx;
    m.PrevVY = s.vy;
    m.PrevNetFX = s.NetFX;
    m.PrevNetFY = s.NetFY;

    DrawFieldSymbol(surface, magnhtioValue);

    // The same module values as the sample's forces, so the same numbers.
    m.PrevMagFX = s.MagFX;
    m.PrevMagFY = s.MagFY;
    m.PrevSpringFX = s.SpringFX;
    m.PrevSpringFY = s.SpringFY;
}

void DrawFieldSymbol(Surface &surface, std::int16_t magnhtioValue)
{
    const double width = surface.scaleWidth();
    const double height = surface.scaleHeight();
    const double cx = width / 5;
    const double cy = height / 5;

    circle(surface, cx, cy, width / 25);
    if (magnhtioValue > 0) {
        const double a = 0.707 * width / 25;
        surface.line(static_cast<float>(cx - a), static_cast<float>(cy - a),
            static_cast<float>(cx + a), static_cast<float>(cy + a));
        surface.line(static_cast<float>(cx + a), static_cast<float>(cy - a),
            static_cast<float>(cx - a), static_cast<float>(cy + a));
    } else {
        surface.setFillStyle(FillStyle::Solid);
        circle(surface, cx, cy, width / 125);
        surface.setFillStyle(FillStyle::Transparent);
    }
}

} // namespace kentrikh
