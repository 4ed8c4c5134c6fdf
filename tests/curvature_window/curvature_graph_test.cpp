#include "curvature_window/curvature_graph.h"
#include "curvature_window/predictions.h"
#include "platform/message_box.h"
#include "pixels/recording_surface.h"
#include "platform/timer.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace kentrikh {
namespace {

constexpr Rgb Magenta = rgb(255, 0, 255);
constexpr Rgb Blue = rgb(0, 0, 255);

// Written with "." and shown with the user's decimal separator.
QString localised(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

class CurvatureGraph : public testing::Test
{
protected:
    CurvatureGraph()
    {
        sim.params.R0 = StartDistance;
        sim.params.K = -500;
        sim.params.B = 5;
        sim.params.DT = 500 * 0.0001 / 100;
        Timer1.setInterval(1);
    }

    std::vector<DrawCall> draw()
    {
        picture.forget();
        drawCurvatureGraph(picture, sim, Timer1);
        return picture.calls();
    }

    void foucault(double K, double B)
    {
        sim.params.K = K;
        sim.params.B = B;
        sim.state.VX0 = -B * sim.params.R0 / 2;
        sim.switches.FoucaultMode = true;
    }

    // Left, top, right and bottom edge.
    std::vector<float> range() const
    {
        return {picture.scaleLeft(), picture.scaleTop(), picture.scaleLeft() + picture.scaleWidth(),
            picture.scaleTop() + picture.scaleHeight()};
    }

    PredictionInputs in() const
    {
        return {sim.params.K, sim.params.B, sim.state.VX0, sim.params.DT, sim.params.R0};
    }

    Simulation sim;
    SimTimer Timer1;
    RecordingSurface picture;
    MessageRecorder messages;
};

TEST_F(CurvatureGraph, RangeFromTheRecordedMaximumAndTheInterval)
{
    draw();
    EXPECT_EQ(messages.messages().value(1), localised("MAXCAMP =  0.000"));
    EXPECT_EQ(range(), (std::vector<float> {-10, 105, 1000, -52.5}));

    // Before the first START the interval is 0: the graph spans the samples all the same.
    // Index 0 is not part of a run, and up to 1.5 R0 the range stays.
    Timer1.setInterval(0);
    sim.track.TrackRho.store(0, 1000);
    sim.track.TrackRho.store(400, 100);
    const std::vector<DrawCall> calls = draw();
    EXPECT_EQ(range(), (std::vector<float> {-10, 105, 1000, -52.5}));
    EXPECT_EQ(calls[0], DrawCall::makeLine(-50, 0, 1000, 0, Black));
    EXPECT_EQ(calls[1], DrawCall::makeLine(0, -105, 0, 105, Black));

    sim.track.TrackRho.store(1000, 200);
    draw();
    EXPECT_EQ(range(), (std::vector<float> {-10, 300, 1000, -150}));
    EXPECT_EQ(messages.messages().value(7), localised("MAXCAMP =  200.000"));
}

TEST_F(CurvatureGraph, SeriesOfEachSampleAtItsMultipleOfTheInterval)
{
    for (int i = 1; i <= LastSample; ++i) {
        sim.track.TrackRho.store(i, 40 + 0.01 * i);
        sim.track.TrackX.store(i, 70 * std::sin(0.01 * i));
        sim.track.TrackY.store(i, 60 * std::cos(0.01 * i));
    }
    Timer1.setInterval(2);
    const std::vector<DrawCall> calls = draw();
    EXPECT_EQ(calls[0], DrawCall::makeLine(-100, 0, 2000, 0, Black));
    const auto predicted = [&](int i) { return CurvatureRadiusFromDistanceAt(in(), in().DT * i); };
    for (const int i : {1, 999}) {
        const std::size_t at = 2 + 3 * std::size_t(i - 1);
        const float x = 2.0f * i;
        EXPECT_EQ(
            calls[at], DrawCall::makeLine(x, 40 + 0.01 * i, x + 2, 40 + 0.01 * (i + 1), Blue));
        EXPECT_EQ(calls[at + 1],
            DrawCall::makeLine(x, predicted(i), x + 2, predicted(i + 1), rgb(255, 55, 0)));
        RecordingSurface dot;
        dot.pset(
            x, AnalyticDistance(in().K, in().B, in().DT * i, in().VX0, in().R0), rgb(255, 55, 55));
        EXPECT_EQ(calls[at + 2], dot.calls()[0]);
    }
    EXPECT_EQ(calls[2 + 3 * 999], DrawCall::makeLine(0, 70, 2000, 70, rgb(0, 150, 255)));

    // Then the radius at the recorded distance, at every fifth sample and width 4.
    for (int n = 0; n < 200; ++n) {
        const DrawCall &dot = calls[3 + 3 * 999 + std::size_t(n)];
        const int i = 1 + 5 * n;
        const double s = std::pow(sim.track.TrackX[i], 2) + std::pow(sim.track.TrackY[i], 2);
        EXPECT_EQ(dot.kind, DrawCall::Kind::Point);
        EXPECT_EQ(dot.pen, (Surface::Pen {rgb(0, 255, 0), 4, DrawStyle::Solid}));
        EXPECT_EQ(dot.x1, 2.0f * i);
        EXPECT_EQ(dot.y1, float(CurvatureRadiusFromSquaredDistance(in(), s)));
    }
    EXPECT_EQ(calls.size(), 3 + 3 * 999 + 200 + 1);
    EXPECT_EQ(calls.back().pen.width, 3);
    EXPECT_EQ(picture.drawWidth(), 1);
}

TEST_F(CurvatureGraph, FoucaultReportsTheTurningPointAndTheMaxima)
{
    foucault(-500, 20);
    sim.track.TrackRho.store(10, 90);
    std::vector<DrawCall> calls = draw();
    EXPECT_EQ(messages.messages().value(2), localised("ρ = 10.00"));
    // The label alone, at half the scale and so below the picture, then the two lines.
    const auto text = std::find_if(calls.begin(), calls.end(),
        [](const DrawCall &call) { return call.kind == DrawCall::Kind::Text; });
    ASSERT_GE(calls.end() - text, 4);
    EXPECT_EQ(text->text, "r= ");
    EXPECT_EQ(std::pair(text->x1, text->y1), std::pair(505.0f, -78.75f));
    EXPECT_EQ(text[1], DrawCall::makeLine(0, 10, 1000, 10, Blue));
    EXPECT_EQ(text[2], DrawCall::makeLine(0, 90, 1000, 90, Magenta));

    foucault(-500, 5);
    sim.params.Pi = 0;
    calls = draw();
    const QStringList shown = messages.messages().mid(4);
    EXPECT_EQ(shown,
        (QStringList {localised("megis aktis = 315.00"), localised("MAXCAMP =  90.000"),
            localised("ρ = 0.85"), localised("rmax = 315.00  AktiNmax  =")}));
    EXPECT_NEAR(calls.back().y1, 315, 1e-3);
    EXPECT_EQ(sim.params.Pi, std::numbers::pi);
}

TEST_F(CurvatureGraph, NoTurningPointWithoutFieldOrAtKHalfBSquared)
{
    for (const auto &[K, B] : {std::pair {-500.0, 0.0}, std::pair {200.0, 20.0}}) {
        foucault(K, B);
        const std::vector<DrawCall> calls = draw();
        EXPECT_EQ(messages.messages().value(messages.messages().size() - 2),
            QStringLiteral("ρ = undefined"));
        // Level lines: the start distance, M and the predicted maximum, no rhoF.
        const auto levels = std::count_if(calls.begin(), calls.end(),
            [](const DrawCall &c) { return c.x1 == 0 && c.y1 == c.y2; });
        EXPECT_EQ(levels, 3);
    }
}

TEST_F(CurvatureGraph, ValuesBeyondFloatRangeAreLeftOut)
{
    // The fastest escaping spiral: the predicted radius outgrows a 32-bit float.
    sim.params.K = 1000;
    sim.params.B = 0;
    sim.params.DT = 2000 * 0.0001 / 100;
    sim.state.VX0 = 100;
    const std::vector<DrawCall> calls = draw();
    EXPECT_TRUE(std::all_of(calls.begin(), calls.end(), [](const DrawCall &c) {
        return std::isfinite(c.x1) && std::isfinite(c.y1) && std::isfinite(c.x2)
            && std::isfinite(c.y2);
    }));
    const auto predicted = std::count_if(calls.begin(), calls.end(),
        [](const DrawCall &c) { return c.pen.colour == rgb(255, 55, 0); });
    EXPECT_GT(predicted, 0);
    EXPECT_LT(predicted, 999);
}

} // namespace
} // namespace kentrikh
