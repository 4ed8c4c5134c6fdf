#include "controller/tick_schedule.h"

#include <gtest/gtest.h>

namespace kentrikh {
namespace {

using Clock = TickSchedule::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr Clock::duration Interval = milliseconds(1);

TEST(TickSchedule, ALateEventStandsForTheTicksThatFellDueAndNoneIsLeftOut)
{
    const Clock::time_point start;
    TickSchedule schedule;
    schedule.restart(start);
    const struct
    {
        int atMicroseconds;
        int ticks;
    } events[] = {
        {1000, 1}, // on time
        {2300, 1}, // a little late: tick 2 only
        {4100, 2}, // ticks 3 and 4
        {4500, 1}, // early: still one, as a timer event always was
        {7000, 2}, // ticks 6 and 7; tick 5 went early
        {7100, 1},
    };
    for (const auto &e : events)
        EXPECT_EQ(schedule.ticksFor(start + microseconds(e.atMicroseconds), Interval), e.ticks)
            << e.atMicroseconds;
}

TEST(TickSchedule, ARunOfATimerThatIsAlwaysLateLastsItsTicksTimesTheInterval)
{
    const Clock::time_point start;
    TickSchedule schedule;
    schedule.restart(start);
    // Events every 1.3 ms, as when each tick's drawing makes the next one late.
    Clock::time_point now = start;
    int ticks = 0;
    while (ticks < 1000) {
        now += microseconds(1300);
        ticks += schedule.ticksFor(now, Interval);
    }
    EXPECT_LE(ticks, 1001); // the last event may stand for two
    const double lastMs = std::chrono::duration<double, std::milli>(now - start).count();
    EXPECT_NEAR(lastMs, 1000, 1.3);
}

TEST(TickSchedule, AMachineThatCannotKeepUpIsNotMadeToCatchUpForEver)
{
    const Clock::time_point start;
    TickSchedule schedule;
    schedule.restart(start);
    EXPECT_EQ(
        schedule.ticksFor(start + milliseconds(200), Interval), TickSchedule::MaxTicksPerEvent);
    // The debt is forgiven: counting starts afresh at that event.
    EXPECT_EQ(schedule.ticksFor(start + milliseconds(201), Interval), 1);
    EXPECT_EQ(schedule.ticksFor(start + milliseconds(203), Interval), 2);

    // So is the time before a restart (a message box, another handler).
    schedule.restart(start + milliseconds(500));
    EXPECT_EQ(schedule.ticksFor(start + milliseconds(501), Interval), 1);
}

} // namespace
} // namespace kentrikh
