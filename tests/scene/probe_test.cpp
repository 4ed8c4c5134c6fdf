#include "pixels/recording_surface.h"
#include "scene/arrow.h"
#include "scene/probe.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace kentrikh {
namespace {

constexpr Rgb Red = rgb(255, 0, 0);

class Probe : public testing::Test
{
protected:
    Probe()
    {
        surface.scale(-100, 100, 100, -100);
        sim.state.HasTrack = true;
        TrackRecord &t = sim.track;
        t.TrackX.store(0, 0);
        t.TrackY.store(0, 70);
        // Nine tenths of a circle: neighbours, 0.34 apart, are candidates too.
        for (int i = 1; i <= LastSample; ++i) {
            const double a = 2 * std::numbers::pi * 0.9 * i / LastSample;
            t.TrackX.store(i, 60 * std::sin(a));
            t.TrackY.store(i, 60 * std::cos(a));
            t.TrackSpringFX.store(i, -30 * i);
            t.TrackSpringFY.store(i, 20 * i);
            t.TrackMagFX.store(i, 100 + i);
            t.TrackMagFY.store(i, 2000 - 3 * i);
            t.TrackNetFX.store(i, 100 - 29 * i);
            t.TrackNetFY.store(i, 2000 + 17 * i);
            t.TrackVX.store(i, 300 + i);
            t.TrackVY.store(i, -200 + 2 * i);
            t.TrackCentreX.store(i, 0.1 * i);
            t.TrackCentreY.store(i, -0.1 * i);
            t.TrackRho.store(i, 50 + 0.01 * i);
        }
    }

    // Cls, the path from index 0 to 991 and, when b is given, what both switches show of
    // sample b, all at the given pen width.
    std::vector<DrawCall> expected(int width, int b = -1) const
    {
        const TrackRecord &t = sim.track;
        RecordingSurface picture;
        picture.scale(-100, 100, 100, -100);
        picture.setDrawWidth(width);
        picture.cls();
        for (int i = 0; i <= 990; ++i)
            picture.line(t.TrackX[i], t.TrackY[i], t.TrackX[i + 1], t.TrackY[i + 1], Red);
        if (b < 0)
            return picture.calls();
        const double x = t.TrackX[b];
        const double y = t.TrackY[b];
        const double sx = t.TrackSpringFX[b] * 0.001, sy = t.TrackSpringFY[b] * 0.001;
        const double mx = t.TrackMagFX[b] * 0.001, my = t.TrackMagFY[b] * 0.001;
        const double nx = t.TrackNetFX[b] * 0.001, ny = t.TrackNetFY[b] * 0.001;
        picture.circle(t.TrackCentreX[b], t.TrackCentreY[b], t.TrackRho[b]);
        double Pi = 0;
        DrawArrow(x, y, sx, sy, picture, 255, 0, 0, Pi);
        DrawArrow(x, y, mx, my, picture, 255, 0, 0, Pi);
        DrawArrow(x, y, nx, ny, picture, 0, 0, 255, Pi);
        DrawArrow(x, y, t.TrackVX[b] * 0.01, t.TrackVY[b] * 0.01, picture, 0, 255, 0, Pi);
        picture.setDrawStyle(DrawStyle::Dot);
        picture.line(x + mx, y + my, x + nx, y + ny, Red);
        picture.line(x + nx, y + ny, x + sx, y + sy, Red);
        return picture.calls();
    }

    std::vector<DrawCall> probe(double mx, double my)
    {
        surface.forget();
        ProbeTrack(surface, sim, float(mx), float(my));
        return surface.calls();
    }

    RecordingSurface surface;
    Simulation sim;
};

TEST_F(Probe, ShowsTheHitSampleWithThePenAsLeft)
{
    sim.switches.ShowForces = true;
    sim.switches.CurvatureCircle = true;
    surface.setDrawWidth(3);
    EXPECT_EQ(probe(sim.track.TrackX[500], sim.track.TrackY[500]), expected(3, 500));
    EXPECT_EQ(surface.drawWidth(), 3);
    EXPECT_EQ(surface.drawStyle(), DrawStyle::Solid);

    // Far from the path: index 0 holds a position only, so a zero-radius circle at the
    // origin and bare arrowheads at the start point.
    const std::vector<DrawCall> far = probe(-99, -99);
    EXPECT_EQ(far, expected(3, 0));
    EXPECT_EQ(far[992], DrawCall::makeCircle(0, 0, 0, Black, 3));
    EXPECT_EQ(far[993], DrawCall::makeLine(0, 70, 0, 70, Red, 3));
}

TEST_F(Probe, SwitchesDecideWhatFollowsThePath)
{
    EXPECT_EQ(probe(sim.track.TrackX[995], sim.track.TrackY[995]), expected(1));
    sim.state.HasTrack = false;
    sim.switches.ShowForces = true;
    EXPECT_TRUE(probe(sim.track.TrackX[500], sim.track.TrackY[500]).empty());
}

TEST_F(Probe, NearestStrictlyInsideTheRadiusAndEarliestOfEquals)
{
    TrackRecord &t = sim.track;
    // sqrt(0.4^2) is 0.4 again in double precision: on the boundary, not a candidate.
    t.TrackX.store(300, -0.4);
    t.TrackY.store(300, 0);
    EXPECT_EQ(nearestSample(t, 0, 0), 0);
    t.TrackX.store(300, -0.3999);
    EXPECT_EQ(nearestSample(t, 0, 0), 300);

    t.TrackX.store(640, t.TrackX[320]);
    t.TrackY.store(640, t.TrackY[320]);
    EXPECT_EQ(nearestSample(t, float(t.TrackX[320]), float(t.TrackY[320])), 320);

    // Distances compare as 32-bit floats: nearer by less than a float resolves is equal.
    t.TrackX.store(5, -50);
    t.TrackY.store(5, -50.1 - 1e-12);
    t.TrackX.store(7, -50);
    t.TrackY.store(7, -50.1);
    EXPECT_EQ(nearestSample(t, -50, -50), 5);
}

TEST_F(Probe, CrowdedPointerChoosesAsFromAnUnlimitedTable)
{
    // A slow run out along the x axis and back: samples i and 1000 - i coincide, and
    // hundreds lie within the radius of any point on the way.
    TrackRecord &t = sim.track;
    for (int i = 0; i <= LastSample; ++i) {
        t.TrackX.store(i, 0.001 * (i <= 500 ? i : LastSample - i));
        t.TrackY.store(i, 0);
    }
    EXPECT_EQ(nearestSample(t, float(t.TrackX[300]), 0), 300);
    EXPECT_EQ(nearestSample(t, float(t.TrackX[310]) + 0.0002f, 0), 310);
}

} // namespace
} // namespace kentrikh
