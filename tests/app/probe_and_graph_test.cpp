#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

class Inspection : public ::testing::Test
{
protected:
    void SetUp() override { window.Main({1080, 15, {}}, false); }

    void completeRun()
    {
        QTest::mouseClick(window.Command1, Qt::LeftButton);
        for (int i = 0; i < 1001; ++i)
            window.Timer1_Timer();
        ASSERT_TRUE(window.simulation().state.HasTrack);
    }

    MessageRecorder messages;
    MainWindow window;
};

TEST_F(Inspection, APressOnTheWindowRedrawsTheRecordedPathOnly)
{
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    const QImage startPicture = window.surface().image();

    // Before a whole run a press changes nothing.
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(540, 300));
    EXPECT_EQ(window.surface().image(), startPicture);

    completeRun();
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(540, 300));
    const QImage &probed = window.surface().image();
    // The reference circle went with the clearing; the path from the start point is red.
    const QPointF top = window.surface().toPixel(0, 70);
    EXPECT_EQ(probed.pixel(int(top.x()), int(top.y())), qRgb(255, 0, 0));
    EXPECT_EQ(probed.pixel(int(top.x()) + 100, int(top.y()) + 30), qRgb(255, 255, 255));
}

TEST_F(Inspection, APressOnAControlIsNotAPressOnTheWindow)
{
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    completeRun();
    const QImage before = window.surface().image();
    QTest::mouseClick(window.Label1, Qt::LeftButton);
    EXPECT_EQ(window.surface().image(), before);
    QTest::mouseClick(&window, Qt::LeftButton, {}, window.Label1->geometry().center());
    EXPECT_EQ(window.surface().image(), before);
}

TEST_F(Inspection, TheGraphButtonOpensTheCurvatureWindowOnce)
{
    completeRun();
    QTest::mouseClick(window.Command5, Qt::LeftButton);
    CurvatureWindow *graph = window.curvatureWindow();
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(graph->windowTitle(), QStringLiteral("CURVATURE VS TIME"));
    // After START's: the predicted maximum, the recorded one, the predicted one again.
    const QStringList shown = messages.messages();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("megis aktis = ")));
    EXPECT_TRUE(shown[2].startsWith(QStringLiteral("MAXCAMP =  ")));
    EXPECT_TRUE(shown[3].startsWith(QStringLiteral("rmax = ")));
    // The animation is left alone.
    EXPECT_FALSE(window.Timer1().enabled());

    QTest::mouseClick(window.Command5, Qt::LeftButton);
    EXPECT_EQ(window.curvatureWindow(), graph);
}

} // namespace
} // namespace kentrikh
