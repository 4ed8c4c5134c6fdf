#include "pixels/recording_surface.h"
#include "scene/arrow.h"
#include "scene/step_scene.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace kentrikh {
namespace {

constexpr Rgb Red = rgb(255, 0, 0);
constexpr Rgb NetForce = rgb(0, 5, 255);
constexpr Rgb Velocity = rgb(255, 0, 255);
constexpr Rgb Reference = rgb(55, 0, 255);

// The user area of these tests: 200 x -200 with the origin in the middle, so the field
// symbol is centred at (40, -40) with radius 8, a cross arm of 0.707 x 8 and a dot of 1.6.
void scaleLikeTheWindow(Surface &surface)
{
    surface.scale(-100, 100, 100, -100);
}

// The calls a picture is expected to make. Arrows come from DrawArrow itself, which has
// tests of its own; here only their place in the picture matters.
class Picture
{
public:
    Picture() { scaleLikeTheWindow(m_scratch); }

    Picture &arrow(double x, double y, double dx, double dy, Rgb colour, int width)
    {
        m_scratch.forget();
        m_scratch.setDrawWidth(width);
        double Pi = 0;
        DrawArrow(x, y, dx, dy, m_scratch, (colour >> 16) & 0xff, (colour >> 8) & 0xff,
            colour & 0xff, Pi);
        m_calls.insert(m_calls.end(), m_scratch.calls().begin(), m_scratch.calls().end());
        return *this;
    }
    Picture &line(double x1, double y1, double x2, double y2, Rgb colour, int width,
        DrawStyle style = DrawStyle::Solid)
    {
        m_calls.push_back(
            DrawCall::makeLine(float(x1), float(y1), float(x2), float(y2), colour, width, style));
        return *this;
    }
    Picture &circle(double x, double y, double radius, Rgb colour, int width,
        DrawStyle style = DrawStyle::Solid, Surface::Fill fill = {})
    {
        m_calls.push_back(
            DrawCall::makeCircle(float(x), float(y), float(radius), colour, width, style, fill));
        return *this;
    }
    Picture &cross(int width)
    {
        const double a = 0.707 * 200 / 25;
        return circle(40, -40, 8, Black, width)
            .line(40 - a, -40 - a, 40 + a, -40 + a, Black, width)
            .line(40 + a, -40 - a, 40 - a, -40 + a, Black, width);
    }
    Picture &dot(Rgb fill, int width)
    {
        return circle(40, -40, 8, Black, width)
            .circle(40, -40, 1.6, Black, width, DrawStyle::Solid, {true, fill});
    }

    const std::vector<DrawCall> &calls() const { return m_calls; }

private:
    RecordingSurface m_scratch;
    std::vector<DrawCall> m_calls;
};

bool containsRun(const std::vector<DrawCall> &calls, const Picture &part)
{
    return std::search(calls.begin(), calls.end(), part.calls().begin(), part.calls().end())
        != calls.end();
}

class StepScene : public testing::Test
{
protected:
    StepScene()
    {
        scaleLikeTheWindow(surface);
        sim.params.R0 = 70;
        sim.params.K = -500;
        sim.params.B = 5;
    }

    // A made-up sample k, recorded as the step records it; the values differ from sample
    // to sample so that every arrow can be told apart.
    StepSample take(int k)
    {
        StepSample s;
        s.k = k;
        s.x = 10 + 3 * k;
        s.y = 60 - 2 * k;
        s.vx = 300 + 10 * k;
        s.vy = -200 + 5 * k;
        s.SpringFX = -5000 - 100 * k;
        s.SpringFY = -30000 + 50 * k;
        s.MagFX = 1000 - 20 * k;
        s.MagFY = 1500 + 10 * k;
        s.NetFX = s.SpringFX + s.MagFX;
        s.NetFY = s.SpringFY + s.MagFY;
        sim.track.TrackX.store(k, s.x);
        sim.track.TrackY.store(k, s.y);
        sim.track.TrackVX.store(k, s.vx);
        sim.track.TrackVY.store(k, s.vy);
        return s;
    }

    StepSample takeWithCurvature(int k)
    {
        StepSample s = take(k);
        s.hasCurvature = true;
        s.Cx = s.x - 4 * k;
        s.Cy = s.y + k;
        s.rho = 12 + k;
        return s;
    }

    std::vector<DrawCall> draw(const StepSample &s, std::int16_t magnhtio = 5)
    {
        surface.forget();
        DrawStepScene(surface, sim, s, magnhtio);
        return surface.calls();
    }

    // The marker, the total force and the velocity of a sample.
    static Picture &particle(Picture &picture, const StepSample &s)
    {
        return picture.circle(s.x, s.y, 1.5, Black, 3)
            .arrow(s.x, s.y, s.NetFX * 0.001, s.NetFY * 0.001, NetForce, 3)
            .arrow(s.x, s.y, s.vx * 0.01, s.vy * 0.01, Velocity, 3);
    }

    RecordingSurface surface;
    Simulation sim;
};

TEST_F(StepScene, FirstThreeSamplesEraseAndDrawInOrder)
{
    const StepSample s1 = take(1);
    Picture first;
    // Nothing was drawn before: zero arrows at the origin are erased.
    first.arrow(0, 0, 0, 0, White, 4).arrow(0, 0, 0, 0, White, 4);
    particle(first, s1).circle(0, 0, 70, Reference, 3, DrawStyle::DashDot).cross(3);
    EXPECT_EQ(draw(s1), first.calls());

    const StepSample s2 = take(2);
    Picture second;
    second.arrow(s1.x, s1.y, s1.vx * 0.01, s1.vy * 0.01, White, 4)
        .arrow(s1.x, s1.y, s1.NetFX * 0.001, s1.NetFY * 0.001, White, 4)
        .circle(0, 0, 0, White, 4); // no circle of curvature yet
    particle(second, s2).circle(0, 0, 70, Reference, 3, DrawStyle::DashDot).cross(3);
    EXPECT_EQ(draw(s2), second.calls());

    const StepSample s3 = take(3);
    Picture third;
    third.arrow(s2.x, s2.y, s2.vx * 0.01, s2.vy * 0.01, White, 4)
        .arrow(s1.x, s1.y, s1.vx * 0.01, s1.vy * 0.01, White, 4)
        .circle(s1.x, s1.y, 1.6, White, 4, DrawStyle::Solid, {true, White})
        .arrow(s2.x, s2.y, s2.NetFX * 0.001, s2.NetFY * 0.001, White, 4)
        .circle(0, 0, 0, White, 4);
    particle(third, s3)
        .line(s1.x, s1.y, s2.x, s2.y, Red, 3)
        .circle(0, 0, 70, Reference, 3, DrawStyle::DashDot)
        .cross(3);
    EXPECT_EQ(draw(s3), third.calls());

    EXPECT_EQ(surface.drawStyle(), DrawStyle::Solid);
    EXPECT_EQ(surface.fillStyle(), FillStyle::Transparent);
    EXPECT_EQ(sim.memory.PrevX, s3.x);
    EXPECT_EQ(sim.memory.PrevVY, s3.vy);
    EXPECT_EQ(sim.memory.PrevMagFX, s3.MagFX);
    EXPECT_EQ(sim.memory.PrevSpringFY, s3.SpringFY);
}

TEST_F(StepScene, PathRunsFromSampleOneToTheSampleBefore)
{
    for (int k = 1; k < 6; ++k)
        draw(take(k));
    std::vector<DrawCall> path;
    for (const DrawCall &call : surface.calls()) {
        if (call.kind == DrawCall::Kind::Line && call.pen.colour == Red)
            path.push_back(call);
    }
    Picture expected;
    for (int j = 1; j <= 3; ++j) {
        expected.line(sim.track.TrackX[j], sim.track.TrackY[j], sim.track.TrackX[j + 1],
            sim.track.TrackY[j + 1], Red, 3);
    }
    EXPECT_EQ(path, expected.calls());
}

TEST_F(StepScene, ComponentForcesFollowTheSwitchFromTheNextStep)
{
    const StepSample s1 = take(1);
    draw(s1);

    sim.switches.ShowForces = true;
    const StepSample s2 = take(2);
    const std::vector<DrawCall> on = draw(s2);
    // The memory of sample 1's component forces was kept although they were not drawn.
    const double px = s1.x, py = s1.y;
    Picture eraseComponents;
    eraseComponents.arrow(px, py, s1.NetFX * 0.001, s1.NetFY * 0.001, White, 4)
        .arrow(px, py, s1.MagFX * 0.001, s1.MagFY * 0.001, White, 4)
        .arrow(px, py, s1.SpringFX * 0.001, s1.SpringFY * 0.001, White, 4)
        .line(px + s1.MagFX * 0.001, py + s1.MagFY * 0.001, px + s1.NetFX * 0.001,
            py + s1.NetFY * 0.001, White, 4)
        .line(px + s1.NetFX * 0.001, py + s1.NetFY * 0.001, px + s1.SpringFX * 0.001,
            py + s1.SpringFY * 0.001, White, 4)
        .circle(0, 0, 0, White, 4);
    EXPECT_TRUE(containsRun(on, eraseComponents));
    Picture drawComponents;
    particle(drawComponents, s2)
        .arrow(s2.x, s2.y, s2.SpringFX * 0.001, s2.SpringFY * 0.001, Red, 3)
        .arrow(s2.x, s2.y, s2.MagFX * 0.001, s2.MagFY * 0.001, Red, 3)
        .line(s2.x + s2.MagFX * 0.001, s2.y + s2.MagFY * 0.001, s2.x + s2.NetFX * 0.001,
            s2.y + s2.NetFY * 0.001, Red, 3, DrawStyle::Dot)
        .line(s2.x + s2.NetFX * 0.001, s2.y + s2.NetFY * 0.001, s2.x + s2.SpringFX * 0.001,
            s2.y + s2.SpringFY * 0.001, Red, 3, DrawStyle::Dot)
        .circle(0, 0, 70, Reference, 3, DrawStyle::DashDot);
    EXPECT_TRUE(containsRun(on, drawComponents));

    // Switched off, sample 2's components stay on the screen: not erased, nothing new.
    sim.switches.ShowForces = false;
    const StepSample s3 = take(3);
    const std::vector<DrawCall> off = draw(s3);
    Picture eraseMagnetic;
    eraseMagnetic.arrow(s2.x, s2.y, s2.MagFX * 0.001, s2.MagFY * 0.001, White, 4);
    EXPECT_FALSE(containsRun(off, eraseMagnetic));
    for (const DrawCall &call : off)
        EXPECT_NE(call.pen.style, DrawStyle::Dot) << call;
    EXPECT_EQ(std::count_if(off.begin(), off.end(),
                  [](const DrawCall &call) { return call.pen.colour == Red; }),
        1); // the path from sample 1 to 2
}

TEST_F(StepScene, LastCircleOfCurvatureIsErasedAtEveryStep)
{
    sim.switches.CurvatureCircle = true;
    draw(take(1));
    const StepSample s2 = takeWithCurvature(2);
    Picture drawn;
    drawn.circle(0, 0, 70, Reference, 3, DrawStyle::DashDot)
        .circle(s2.Cx, s2.Cy, s2.rho, Black, 1, DrawStyle::Dot)
        .cross(1); // the symbol takes the pen as the circle left it
    EXPECT_TRUE(containsRun(draw(s2), drawn));

    Picture erased;
    erased.circle(s2.Cx, s2.Cy, s2.rho, White, 4);
    auto dotted = [](const std::vector<DrawCall> &calls) {
        return std::count_if(calls.begin(), calls.end(),
            [](const DrawCall &call) { return call.pen.style == DrawStyle::Dot; });
    };

    // Switch on but no centre for this sample: nothing drawn, the old circle still erased.
    const std::vector<DrawCall> noCentre = draw(take(3));
    EXPECT_TRUE(containsRun(noCentre, erased));
    EXPECT_EQ(dotted(noCentre), 0);

    // A centre but the switch off: the same old circle erased once more.
    sim.switches.CurvatureCircle = false;
    const std::vector<DrawCall> switchedOff = draw(takeWithCurvature(4));
    EXPECT_TRUE(containsRun(switchedOff, erased));
    EXPECT_EQ(dotted(switchedOff), 0);
}

TEST_F(StepScene, FieldSymbolDotIsBlackUntilTheThirdSample)
{
    Picture dotBlack;
    dotBlack.dot(Black, 3);
    EXPECT_TRUE(containsRun(draw(take(1), 0), dotBlack));
    EXPECT_TRUE(containsRun(draw(take(2), -3), dotBlack));

    Picture dotWhite;
    dotWhite.dot(White, 3);
    EXPECT_TRUE(containsRun(draw(take(3), -3), dotWhite));
    EXPECT_TRUE(containsRun(draw(take(4), 0), dotWhite));
}

TEST(DrawFieldSymbol, CrossForAPositiveFieldDotOtherwiseWithThePenAsItIs)
{
    RecordingSurface surface;
    scaleLikeTheWindow(surface);
    surface.setDrawWidth(2);
    surface.setFillColor(rgb(1, 2, 3));

    DrawFieldSymbol(surface, 1);
    EXPECT_EQ(surface.calls(), Picture().cross(2).calls());

    for (const std::int16_t value : {0, -3, -100}) {
        surface.forget();
        DrawFieldSymbol(surface, value);
        EXPECT_EQ(surface.calls(), Picture().dot(rgb(1, 2, 3), 2).calls()) << value;
        EXPECT_EQ(surface.fillStyle(), FillStyle::Transparent);
    }
}

} // namespace
} // namespace kentrikh
