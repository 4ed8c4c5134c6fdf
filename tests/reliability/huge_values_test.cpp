// The settings with the largest numbers: a particle pushed straight out from the centre at
// the largest time step. Along a straight path the radius of curvature grows beyond what a
// 32-bit float holds, with every option on to draw it.

#include "reliability/window_driver.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kentrikh {
namespace {

Action slider(int control, int value)
{
    return {ActionKind::Slider, control, value};
}

Action button(int control)
{
    return {ActionKind::Button, control};
}

Action box(int control)
{
    return {ActionKind::Box, control};
}

// Sets the bars, switches forces and the circle of curvature on, lets a whole run go by,
// probes the first sample whose radius a float cannot hold, and opens the graph.
void runStraightOut(int stakentr, int arxivx)
{
    SCOPED_TRACE("STAKENTR " + std::to_string(stakentr) + ", ARXIVX " + std::to_string(arxivx));
    WindowDriver driver;
    const std::vector<Action> setUp = {slider(0, stakentr), slider(1, 0), slider(2, arxivx),
        slider(3, 2000), box(0), box(2), button(0), {ActionKind::Ticks, 0, LastSample + 1}};
    for (const Action &action : setUp)
        ASSERT_EQ(driver.perform(action), "") << driver.history();
    ASSERT_TRUE(driver.window().simulation().state.HasTrack);

    const TrackRecord &track = driver.window().simulation().track;
    int huge = 1;
    while (huge < LastSample && std::isfinite(static_cast<float>(track.TrackRho[huge])))
        ++huge;
    ASSERT_FALSE(std::isfinite(static_cast<float>(track.TrackRho[huge])))
        << "no radius beyond a float: the case is not exercised";
    const Action probe {ActionKind::Probe, 0, 0, static_cast<float>(track.TrackX[huge]),
        static_cast<float>(track.TrackY[huge])};
    EXPECT_EQ(driver.perform(probe), "") << driver.history();
    EXPECT_EQ(driver.perform(button(4)), "") << driver.history();
}

TEST(HugeValues, StraightOutFromRestAndFromTheFastestStart)
{
    runStraightOut(50, 0);
    runStraightOut(100, 200);
}

} // namespace
} // namespace kentrikh
