#include "app/main_window.h"
#include "support/localised.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

// One pixel at 1080 pixels for 200 units: 5.4 pixels a unit.
constexpr double PixelsPerUnit = 1080.0 / 200.0;

class StartUp : public ::testing::Test
{
protected:
    void SetUp() override { window.Main({1080, 15, {}}, false); }
    MainWindow window;
};

TEST_F(StartUp, WindowIsASquareAsHighAsTheScreenAtTheTopLeft)
{
    EXPECT_EQ(window.geometry(), QRect(0, 0, 1080, 1080));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KINHSH SE F=K.X KAI SE B"));
    EXPECT_EQ(window.simulation().BorderRatioX, 0.0f);
    EXPECT_EQ(window.simulation().BorderRatioY, 0.0f);
    EXPECT_FLOAT_EQ(window.surface().scaleLeft(), -100);
    EXPECT_FLOAT_EQ(window.surface().scaleTop(), 100);
    EXPECT_FLOAT_EQ(window.surface().scaleWidth(), 200);
    EXPECT_FLOAT_EQ(window.surface().scaleHeight(), -200);
}

TEST_F(StartUp, FrameMarginsShrinkTheUserAreaToTheClient)
{
    MainWindow framed;
    framed.Main({1080, 15, QMargins(4, 30, 4, 4)}, false);
    EXPECT_EQ(framed.size(), QSize(1072, 1046));
    const Simulation &sim = framed.simulation();
    EXPECT_FLOAT_EQ(sim.BorderRatioX, 8.0f / 1072);
    EXPECT_FLOAT_EQ(sim.BorderRatioY, 34.0f / 1046);
    EXPECT_FLOAT_EQ(framed.surface().scaleLeft(), -100 * (1 - sim.BorderRatioX));
    EXPECT_EQ(framed.STAKENTR->x(), 0);
}

TEST_F(StartUp, ScrollBarsStandAtTheBottomLeftTwentyUnitsWide)
{
    const int bottom = 1080;
    const auto topAbove = [&](double units) { return qRound(bottom - units * PixelsPerUnit); };
    const struct
    {
        QScrollBar *bar;
        double d;
        int min, max, small, large, value;
    } bars[] = {
        {window.MAGNHTIO, 15, -100, 100, 1, 19, 5},
        {window.STAKENTR, 20, -100, 100, 1, 10, -50},
        {window.ARXIVX, 25, -200, 200, 1, 20, 0},
        {window.VIMAXRO, 30, 1, 2000, 5, 100, 500},
        {window.klimaka, 35, 1, 10, 1, 1, 1},
    };
    for (const auto &b : bars) {
        SCOPED_TRACE(b.bar->objectName().toStdString());
        EXPECT_EQ(b.bar->x(), 0);
        EXPECT_EQ(b.bar->y(), topAbove(b.d));
        EXPECT_EQ(b.bar->width(), qRound(20 * PixelsPerUnit));
        EXPECT_EQ(b.bar->height(), 25);
        EXPECT_EQ(b.bar->minimum(), b.min);
        EXPECT_EQ(b.bar->maximum(), b.max);
        EXPECT_EQ(b.bar->singleStep(), b.small);
        EXPECT_EQ(b.bar->pageStep(), b.large);
        EXPECT_EQ(b.bar->value(), b.value);
    }
    // Label1 belongs beside STAKENTR and Label2 beside MAGNHTIO.
    EXPECT_EQ(window.Label1->y(), window.STAKENTR->y());
    EXPECT_EQ(window.Label2->y(), window.MAGNHTIO->y());
    EXPECT_EQ(window.Label1->x(), qRound(20 * PixelsPerUnit));
    EXPECT_EQ(window.Label1->height(), qRound(5 * PixelsPerUnit));
    EXPECT_EQ(window.Label5->height(), 17);
    // Buttons keep their designed places in twips.
    EXPECT_EQ(window.Command1->geometry(), QRect(16, 8, 81, 25));
    EXPECT_EQ(window.Command5->geometry(), QRect(344, 8, 137, 25));
}

TEST_F(StartUp, LabelsShowTheStartValues)
{
    EXPECT_EQ(window.Label1->text(), QStringLiteral("σταθερή = -500"));
    EXPECT_EQ(window.Label2->text(), QStringLiteral(" Μαγνητικό = ") + localised("5.00"));
    EXPECT_EQ(window.Label3->text(), QStringLiteral(" ΑΡΧΙΚΗ VX= ") + localised("0.00"));
    EXPECT_EQ(window.Label4->text(), QStringLiteral("Πολλ. χρόνου = ") + localised("5.00"));
    EXPECT_EQ(window.Label5->text(), QStringLiteral("Κλίμακα= 1"));
}

TEST_F(StartUp, StateIsWhatAResetLeavesAndNoHandlerRan)
{
    const Simulation &sim = window.simulation();
    EXPECT_EQ(sim.params.K, -500);
    EXPECT_EQ(sim.params.B, 5.0);
    EXPECT_EQ(sim.params.R0, 70.0f);
    EXPECT_EQ(sim.params.DT, 500 * 0.0001 / 100);
    EXPECT_EQ(sim.state.X, 0);
    EXPECT_EQ(sim.state.Y, 70);
    EXPECT_EQ(sim.state.VX, 0);
    EXPECT_EQ(sim.state.VX0, 0);
    EXPECT_EQ(sim.state.SampleIndex, 0);
    EXPECT_FALSE(sim.state.HasTrack);
    EXPECT_FALSE(
        sim.switches.ShowForces || sim.switches.FoucaultMode || sim.switches.CurvatureCircle);
    EXPECT_TRUE(sim.track.TrackY.isSet(0));
    EXPECT_FALSE(sim.track.TrackX.isSet(1));
    EXPECT_TRUE(window.Timer1().enabled());
    EXPECT_EQ(window.Timer1().interval(), 0);
}

TEST_F(StartUp, ReferenceCircleIsDrawnOnTheBackingImage)
{
    const QImage &image = window.surface().image();
    ASSERT_EQ(image.size(), QSize(1080, 1080));
    const QRgb circle = qRgb(55, 0, 255);
    // Radius 70 units is 378 pixels from the centre at (540, 540); a dash-dot pen leaves
    // gaps, so look for the colour near the top and nowhere far from the circle.
    int onCircle = 0;
    for (int x = 440; x <= 640; ++x)
        for (int y = 158; y <= 166; ++y)
            onCircle += image.pixel(x, y) == circle;
    EXPECT_GT(onCircle, 50);
    EXPECT_EQ(image.pixel(540, 540), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(540, 300), qRgb(255, 255, 255));
}

} // namespace
} // namespace kentrikh
