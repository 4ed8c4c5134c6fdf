#include "curvature_window/curvature_graph.h"
#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"
#include "platform/screen_metrics.h"
#include "platform/timer.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace kentrikh {
namespace {

// A circle of radius 5 (K = 0, B = 20, VX0 = 100): every prediction lies between 5 and 75,
// so the recorded radius drawn at 50 or at 80 has the picture to itself at sample 500.
class CurvatureWindowTest : public testing::Test
{
protected:
    CurvatureWindowTest()
    {
        sim.params.R0 = StartDistance;
        sim.params.B = 20;
        sim.params.DT = 500 * 0.0001 / 100;
        sim.state.VX0 = 100;
        Timer1.setInterval(1);
    }

    void press(double recordedRho)
    {
        for (int i = 1; i <= LastSample; ++i)
            sim.track.TrackRho.store(i, recordedRho);
        ShowCurvatureGraph(window, sim, Timer1, screenHeightTwips(), twipsPerPixel());
    }

    QColor colourAt(double x, double y) const
    {
        const ImageSurface &surface = window->EIKONA->surface();
        const QPointF at = surface.toPixel(x, y);
        return surface.image().pixelColor(int(std::floor(at.x())), int(std::floor(at.y())));
    }

    Simulation sim;
    SimTimer Timer1;
    MessageRecorder messages;
    std::unique_ptr<CurvatureWindow> window;
};

const QColor Blue(0, 0, 255);

TEST_F(CurvatureWindowTest, SquareOfHalfTheScreenAtTheTopLeft)
{
    ASSERT_EQ(screenHeightTwips(), 1080 * 15);
    press(50);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("CURVATURE VS TIME"));
    EXPECT_EQ(window->frameGeometry(), QRect(0, 0, 540, 540));
    // Placed as designed, 240 and 360 twips in, with the window's outer size.
    EXPECT_EQ(window->EIKONA->geometry(), QRect(16, 24, 540, 540));
    const ImageSurface &surface = window->EIKONA->surface();
    EXPECT_EQ(surface.pixelSize(), QSize(540, 540));
    EXPECT_EQ(surface.scaleLeft(), -10);
    EXPECT_EQ(surface.scaleWidth(), 1010);
    EXPECT_EQ(messages.messages().size(), 3);
}

TEST_F(CurvatureWindowTest, KeptAndDrawnOverUntilClosed)
{
    press(50);
    CurvatureWindow *first = window.get();
    EXPECT_EQ(colourAt(500, 50), Blue);

    press(80);
    EXPECT_EQ(window.get(), first);
    EXPECT_EQ(colourAt(500, 50), Blue);
    EXPECT_EQ(colourAt(500, 80), Blue);

    window->close();
    press(80);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->wasClosed());
    EXPECT_EQ(colourAt(500, 50), QColor(Qt::white));
    EXPECT_EQ(colourAt(500, 80), Blue);
    EXPECT_EQ(window->frameGeometry(), QRect(0, 0, 540, 540));
}

} // namespace
} // namespace kentrikh
