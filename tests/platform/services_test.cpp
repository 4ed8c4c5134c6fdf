// The timer, the message box and the screen measurements.

#include "platform/message_box.h"
#include "platform/screen_metrics.h"
#include "platform/timer.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

TEST(SimTimer, TicksOnlyWhileEnabledWithAPositiveInterval)
{
    SimTimer timer;
    int ticks = 0;
    timer.setTickHandler([&] { ++ticks; });

    timer.setEnabled(true);
    EXPECT_FALSE(timer.isTicking());
    timer.deliverTick();
    EXPECT_EQ(ticks, 0);

    timer.setInterval(1);
    EXPECT_TRUE(timer.isTicking());
    timer.deliverTick();
    EXPECT_EQ(ticks, 1);

    timer.setInterval(0);
    EXPECT_FALSE(timer.isTicking());
    timer.setInterval(-5);
    EXPECT_EQ(timer.interval(), 0);
    EXPECT_FALSE(timer.isTicking());

    timer.setInterval(1);
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isTicking());
    timer.deliverTick();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer.interval(), 1);

    timer.setEnabled(true);
    EXPECT_TRUE(timer.isTicking());
}

TEST(SimTimer, DropsATickThatArrivesWhileTheLastIsHandled)
{
    SimTimer timer;
    int ticks = 0;
    timer.setTickHandler([&] {
        ++ticks;
        timer.deliverTick(); // as from the event loop of a modal box
    });
    timer.setInterval(1);
    timer.setEnabled(true);
    timer.deliverTick();
    EXPECT_EQ(ticks, 1);
}

TEST(MessageRecorder, RecordsInsteadOfShowingAndRestoresTheHandlerBefore)
{
    QStringList outer;
    const MessageHandler none = setMessageHandler([&](const QString &text) { outer << text; });
    {
        MessageRecorder recorder;
        showMessage(QStringLiteral("-175"));
        showMessage(QStringLiteral("5,05"));
        EXPECT_EQ(recorder.messages(), QStringList({"-175", "5,05"}));
    }
    showMessage(QStringLiteral("after"));
    EXPECT_EQ(outer, QStringList({"after"}));
    setMessageHandler(none);
}

// The test screen is 1920 x 1080 pixels at 96 dpi.
TEST(ScreenMetrics, MeasuresTheScreenInTwips)
{
    EXPECT_EQ(twipsPerPixel(), 15);
    EXPECT_EQ(screenHeightPixels(), 1080);
    EXPECT_EQ(screenHeightTwips(), 16200);
}

TEST(ScreenMetrics, GivesTheFrameRatiosThePlatformReports)
{
    QWidget window;
    window.setGeometry(0, 0, 400, 300);
    window.show();
    const QSize outer = window.frameGeometry().size();
    const BorderRatios ratios = borderRatios(window);
    EXPECT_DOUBLE_EQ(ratios.x, (outer.width() - 400) / 400.0);
    EXPECT_DOUBLE_EQ(ratios.y, (outer.height() - 300) / 300.0);

    QWidget frameless(nullptr, Qt::FramelessWindowHint);
    frameless.setGeometry(0, 0, 400, 300);
    frameless.show();
    EXPECT_EQ(frameMargins(frameless), QMargins());
    EXPECT_EQ(borderRatios(frameless).x, 0);
    EXPECT_EQ(borderRatios(frameless).y, 0);
}

} // namespace
} // namespace kentrikh
