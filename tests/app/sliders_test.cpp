#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "platform/message_box.h"
#include "support/localised.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

class Sliders : public ::testing::Test
{
protected:
    void SetUp() override { window.Main({1080, 15, {}}, false); }

    void startAndTick(int n)
    {
        QTest::mouseClick(window.Command1, Qt::LeftButton);
        for (int i = 0; i < n; ++i)
            window.Timer1_Timer();
    }
    void checkCurvatureBox()
    {
        QTest::mouseClick(window.KAMPYLOTHTA, Qt::LeftButton);
        ASSERT_TRUE(window.simulation().switches.CurvatureCircle);
    }
    void expectCurvatureCircleOff()
    {
        EXPECT_FALSE(window.KAMPYLOTHTA->isChecked());
        EXPECT_FALSE(window.simulation().switches.CurvatureCircle);
    }
    // Pixels of the reference circle's colour within 2 pixels of a circle about the centre.
    int referencePixelsNearRadius(double radius)
    {
        const QImage &image = window.surface().image();
        const QPointF centre = window.surface().toPixel(0, 0);
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double r = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                count += std::abs(r - radius) < 2 && image.pixel(x, y) == qRgb(55, 0, 255);
            }
        return count;
    }
    QRgb pixelAt(double x, double y)
    {
        const QPointF p = window.surface().toPixel(x, y);
        return window.surface().image().pixel(int(p.x()), int(p.y()));
    }

    MessageRecorder messages;
    MainWindow window;
    const Simulation &sim = window.simulation();
};

TEST_F(Sliders, StartVelocityRewindsAndRewritesItsLabel)
{
    startAndTick(5);
    checkCurvatureBox();
    window.ARXIVX->setValue(-35);
    EXPECT_EQ(window.Label3->text(), QStringLiteral(" ΑΡΧΙΚΗ VX= ") + localised("-35.00"));
    EXPECT_FALSE(window.Timer1().enabled());
    EXPECT_EQ(sim.state.SampleIndex, 0);
    EXPECT_EQ(sim.state.VX0, -35);
    expectCurvatureCircleOff();

    window.ARXIVX->setValue(200);
    EXPECT_EQ(window.Label3->text(), QStringLiteral(" ΑΡΧΙΚΗ VX= ") + localised("200.00"));

    // In Foucault mode the label follows the bar but the start velocity stays -B R0 / 2.
    QTest::mouseClick(window.eidiki, Qt::LeftButton);
    window.ARXIVX->setValue(-200);
    EXPECT_EQ(window.Label3->text(), QStringLiteral(" ΑΡΧΙΚΗ VX= ") + localised("-200.00"));
    EXPECT_EQ(sim.state.VX0, -175);
}

TEST_F(Sliders, ScaleRescalesWithoutStoppingTheRun)
{
    startAndTick(5);
    window.klimaka->setValue(10);
    EXPECT_EQ(window.Label5->text(), QStringLiteral("Κλίμακα= 10"));
    EXPECT_TRUE(window.Timer1().enabled());
    EXPECT_EQ(sim.state.SampleIndex, 5);
    EXPECT_FLOAT_EQ(window.surface().scaleWidth(), 2000);
    EXPECT_FLOAT_EQ(window.surface().scaleHeight(), -2000);
    // The window was cleared; the reference circle is now a tenth as large.
    EXPECT_GT(referencePixelsNearRadius(37.8), 100);
    EXPECT_EQ(referencePixelsNearRadius(378), 0);
    window.Timer1_Timer();
    EXPECT_EQ(sim.state.SampleIndex, 6);
}

TEST_F(Sliders, TimeStepChangesOnlyTheStepAndItsLabel)
{
    startAndTick(5);
    checkCurvatureBox();
    const QImage before = window.surface().image();
    window.VIMAXRO->setValue(1);
    EXPECT_EQ(sim.params.DT, 1 * 0.0001 / 100);
    EXPECT_EQ(window.Label4->text(), QStringLiteral("Πολλ. χρόνου = ") + localised("0.01"));
    EXPECT_EQ(window.surface().image(), before);
    EXPECT_TRUE(window.Timer1().enabled());
    EXPECT_EQ(sim.state.SampleIndex, 5);
    expectCurvatureCircleOff();

    window.VIMAXRO->setValue(2000);
    EXPECT_EQ(sim.params.DT, 2000 * 0.0001 / 100);
    EXPECT_EQ(window.Label4->text(), QStringLiteral("Πολλ. χρόνου = ") + localised("20.00"));
    window.VIMAXRO->setValue(505);
    EXPECT_EQ(window.Label4->text(), QStringLiteral("Πολλ. χρόνου = ") + localised("5.05"));
}

TEST_F(Sliders, SpringAndFieldRewriteBothLabelsAndRewind)
{
    startAndTick(5);
    checkCurvatureBox();
    window.STAKENTR->setValue(-100);
    EXPECT_EQ(window.Label1->text(), QStringLiteral("σταθερή = -1000"));
    EXPECT_EQ(window.Label2->text(), QStringLiteral(" Μαγνητικό = ") + localised("5.00"));
    EXPECT_FALSE(window.Timer1().enabled());
    EXPECT_EQ(sim.state.SampleIndex, 0);
    EXPECT_EQ(sim.params.K, -1000);
    expectCurvatureCircleOff();

    window.MAGNHTIO->setValue(100);
    EXPECT_EQ(window.Label2->text(), QStringLiteral(" Μαγνητικό = ") + localised("100.00"));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("σταθερή = -1000"));
    window.STAKENTR->setValue(100);
    window.MAGNHTIO->setValue(-100);
    EXPECT_EQ(window.Label1->text(), QStringLiteral("σταθερή = 1000"));
    EXPECT_EQ(window.Label2->text(), QStringLiteral(" Μαγνητικό = ") + localised("-100.00"));
    EXPECT_EQ(sim.params.B, -100);

    // CONTINUE runs the new motion from its start.
    QTest::mouseClick(window.Command4, Qt::LeftButton);
    window.Timer1_Timer();
    EXPECT_EQ(sim.state.SampleIndex, 1);
    EXPECT_EQ(sim.memory.T, 0);
}

TEST_F(Sliders, FieldSymbolShowsACrossForPositiveFieldsAndADotOtherwise)
{
    // The symbol sits at (W/5, H/5) = (40, -40) with radius 8; the cross's arms reach
    // 0.707 x 8 along the diagonals, the dot has radius 1.6.
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    window.MAGNHTIO->setValue(1);
    EXPECT_EQ(pixelAt(40 + 4, -40 + 4), black);
    EXPECT_EQ(pixelAt(40 + 1, -40), white);
    EXPECT_EQ(pixelAt(40, -40 + 8), black);

    for (int value : {0, -5}) {
        window.MAGNHTIO->setValue(value);
        EXPECT_EQ(pixelAt(40 + 4, -40 + 4), white) << value;
        EXPECT_EQ(pixelAt(40 + 1, -40), black) << value;
        EXPECT_EQ(pixelAt(40, -40 + 8), black) << value;
    }
}

} // namespace
} // namespace kentrikh
