// Sequences of a person's actions on the real main window, drawn from fixed seeds. A failing
// sequence prints its seed and every action up to the failure.

#include "reliability/window_driver.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace kentrikh {
namespace {

// Enough failing sequences to tell one fault from several without flooding the log.
constexpr int ReportedFailures = 3;

struct Sequences
{
    std::uint32_t firstSeed = 1;
    int count = 0;
    int actions = 0;
    Vocabulary vocabulary;
};

// Returns whether the sequence held throughout.
bool runSequence(std::uint32_t seed, const Sequences &plan, Coverage &coverage)
{
    WindowDriver driver;
    RandomChoices choices(seed);
    std::string fault;
    for (int i = 0; i < plan.actions && fault.empty(); ++i) {
        const Action action = driver.choose(choices, plan.vocabulary);
        fault = driver.perform(action);
        if (!fault.empty())
            fault = "action " + std::to_string(i + 1) + " (" + action.toString() + "): " + fault;
    }
    if (fault.empty())
        fault = driver.checkWholeRecord();
    coverage += driver.coverage();
    if (fault.empty())
        return true;
    ADD_FAILURE() << "seed " << seed << ", " << fault << "\nthe sequence:\n" << driver.history();
    return false;
}

Coverage runSequences(const Sequences &plan)
{
    Coverage coverage;
    int failures = 0;
    for (int i = 0; i < plan.count && failures < ReportedFailures; ++i) {
        if (!runSequence(plan.firstSeed + static_cast<std::uint32_t>(i), plan, coverage))
            ++failures;
    }
    return coverage;
}

// Runs seldom reach their end here: many short sequences interleave every control with the
// first few hundred samples of a run.
TEST(RandomSequences, EveryControlBetweenShortBurstsOfTicks)
{
    const Coverage c = runSequences({1, 300, 250, {.longestBurst = 30, .wholeRunPercent = 0}});
    EXPECT_GT(c.samples, 50000);
    EXPECT_GT(c.graphs, 2000);
}

// A whole run takes up to a second of drawing, so fewer sequences that often let a run
// finish: the end of a run, the probe over a recorded run and the graph of one.
TEST(RandomSequences, WholeRunsBetweenTheOtherControls)
{
    const Coverage c = runSequences({1001, 100, 100, {.longestBurst = 30, .wholeRunPercent = 25}});
    EXPECT_GT(c.runsEnded, 60);
    EXPECT_GT(c.probesOfARun, 200);
}

} // namespace
} // namespace kentrikh
