#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "platform/message_box.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

class RunControl : public ::testing::Test
{
protected:
    void SetUp() override { window.Main({1080, 15, {}}, false); }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            window.Timer1_Timer();
    }
    // A tick reaches the step only while the timer is enabled and its interval is set.
    void realTicks(int n)
    {
        for (int i = 0; i < n; ++i)
            if (window.Timer1().enabled() && window.Timer1().interval() > 0)
                window.Timer1_Timer();
    }
    const MotionState &state() const { return window.simulation().state; }
    bool running() { return window.Timer1().enabled(); }

    MessageRecorder messages;
    MainWindow window;
};

TEST_F(RunControl, StartShowsTheStartVelocityThenRunsFromTimeZero)
{
    click(window.Command1);
    EXPECT_EQ(messages.messages(), QStringList {QStringLiteral("0")});
    EXPECT_TRUE(running());
    EXPECT_EQ(window.Timer1().interval(), 1);
    EXPECT_FALSE(state().HasTrack);

    realTicks(2);
    EXPECT_EQ(state().SampleIndex, 2);
    EXPECT_EQ(window.simulation().memory.T, window.simulation().params.DT);
}

TEST_F(RunControl, StateTableTransitions)
{
    // Rewound: STOP stays Rewound, step pauses at sample 1, CONTINUE enables the timer but
    // with the interval still 0 no tick follows.
    click(window.Command2);
    EXPECT_FALSE(running());
    click(window.Command3);
    EXPECT_EQ(state().SampleIndex, 1);
    EXPECT_FALSE(running());
    click(window.Command2);
    click(window.Command4);
    EXPECT_TRUE(running());
    EXPECT_EQ(window.Timer1().interval(), 0);
    EXPECT_FALSE(window.Timer1().isTicking());
    realTicks(5);
    EXPECT_EQ(state().SampleIndex, 0);

    // Paused: START goes on from the current sample, after its message.
    click(window.Command3);
    click(window.Command3);
    click(window.Command1);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 3);
    EXPECT_TRUE(window.Timer1().isTicking());

    // Running: step pauses one sample further, STOP rewinds.
    click(window.Command3);
    EXPECT_EQ(state().SampleIndex, 4);
    EXPECT_FALSE(running());
    click(window.Command4);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 5);
    click(window.Command2);
    EXPECT_FALSE(running());
    EXPECT_EQ(state().SampleIndex, 0);
    EXPECT_EQ(state().X, 0);
    EXPECT_EQ(state().Y, 70);

    // STOP then CONTINUE restarts from time zero without a message.
    const int shown = messages.messages().size();
    click(window.Command4);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 1);
    EXPECT_EQ(window.simulation().memory.T, 0);
    EXPECT_EQ(messages.messages().size(), shown);
}

TEST_F(RunControl, TheTickAfterSample1000EndsTheRun)
{
    click(window.Command1);
    realTicks(1000);
    EXPECT_EQ(state().SampleIndex, 1000);
    EXPECT_FALSE(state().HasTrack);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 0);
    EXPECT_TRUE(state().HasTrack);
    EXPECT_FALSE(running());
    realTicks(3);
    EXPECT_EQ(state().SampleIndex, 0);

    // step after the end starts a new run and keeps HasTrack; START clears it.
    click(window.Command3);
    EXPECT_EQ(state().SampleIndex, 1);
    EXPECT_TRUE(state().HasTrack);
    click(window.Command1);
    EXPECT_FALSE(state().HasTrack);
}

TEST_F(RunControl, FoucaultStartDuringARunKeepsTheSampleIndex)
{
    click(window.Command1);
    realTicks(10);
    click(window.eidiki);
    EXPECT_TRUE(window.simulation().switches.FoucaultMode);
    click(window.Command1);
    EXPECT_EQ(messages.messages().last(), QStringLiteral("-175"));
    EXPECT_EQ(state().VX0, -175);
    EXPECT_EQ(state().SampleIndex, 10);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 11);

    click(window.eidiki);
    EXPECT_FALSE(window.simulation().switches.FoucaultMode);
}

TEST_F(RunControl, SwitchBoxesFlipTheirFlags)
{
    click(window.MERIKESDYN);
    EXPECT_TRUE(window.simulation().switches.ShowForces);
    click(window.KAMPYLOTHTA);
    EXPECT_TRUE(window.simulation().switches.CurvatureCircle);
    click(window.MERIKESDYN);
    EXPECT_FALSE(window.simulation().switches.ShowForces);
    EXPECT_FALSE(window.MERIKESDYN->isChecked());
}

TEST_F(RunControl, NoTickRunsInsideStartsMessageBox)
{
    click(window.Command1);
    realTicks(3);
    int indexSeenInsideBox = -1;
    setMessageHandler([&](const QString &) {
        // The nested event loop of a real box would deliver the tick here.
        window.Timer1_Timer();
        indexSeenInsideBox = state().SampleIndex;
    });
    click(window.Command1);
    EXPECT_EQ(indexSeenInsideBox, 3);
    realTicks(1);
    EXPECT_EQ(state().SampleIndex, 4);
}

} // namespace
} // namespace kentrikh
