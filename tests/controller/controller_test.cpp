#include "controller/main_controller.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kentrikh {
namespace {

class ManualTimer : public Timer
{
public:
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool enabled() const override { return m_enabled; }
    void setInterval(int milliseconds) override
    {
        m_interval = milliseconds < 0 ? 0 : milliseconds;
    }
    int interval() const override { return m_interval; }
    void restartSchedule() override { }

private:
    bool m_enabled = false;
    int m_interval = 0;
};

// Records what a window would show; a message box may run code while it is open, as a
// modal box's event loop does.
class RecordingShell : public ControllerShell
{
public:
    void showMessage(const std::string &text) override
    {
        messages.push_back(text);
        if (whileMessageShows)
            whileMessageShows();
    }
    void boxChanged(Box box, bool checked) override { mirrored.push_back({box, checked}); }
    void labelChanged(int label, const std::string &text) override
    {
        labels[std::size_t(label - 1)] = text;
    }
    void showCurvatureGraph(double sideTwips, const GraphDrawing &draw) override
    {
        graphSideTwips = sideTwips;
        graph = std::make_unique<BufferSurface>(PixelSize {1, 1}, 15);
        draw(*graph, [this, sideTwips] {
            graph->resize({int(sideTwips / 15), int(sideTwips / 15)});
        });
    }

    std::vector<std::string> messages;
    std::function<void()> whileMessageShows;
    std::vector<std::pair<Box, bool>> mirrored;
    std::array<std::string, LabelCount> labels;
    double graphSideTwips = 0;
    std::unique_ptr<BufferSurface> graph;
};

class Controller : public ::testing::Test
{
protected:
    void SetUp() override { controller.Main({1080, 15, {}}); }

    void run()
    {
        for (int i = 0; i < 2000 && timer.enabled() && timer.interval() > 0; ++i)
            controller.Timer1_Timer();
    }

    RecordingShell shell;
    ManualTimer timer;
    MainController controller {shell, timer,
        [](PixelSize size, double twipsPerPixel) {
            return std::make_unique<BufferSurface>(size, twipsPerPixel);
        },
        ","};
};

TEST_F(Controller, ShellsSeeCaptionsMessagesAndBoxesChangedFromCode)
{
    EXPECT_EQ(shell.labels[0], "σταθερή = -500");
    EXPECT_EQ(shell.labels[3], "Πολλ. χρόνου = 5,00");

    controller.setBox(Box::MERIKESDYN, true);
    controller.setBox(Box::KAMPYLOTHTA, true);
    EXPECT_TRUE(controller.simulation().switches.CurvatureCircle);
    EXPECT_TRUE(shell.mirrored.empty()) << "the user's own clicks need no mirroring";

    // Inside START's box the timer is still off and a tick that comes is dropped.
    shell.whileMessageShows = [this] { controller.Timer1_Timer(); };
    controller.Command1_Click();
    shell.whileMessageShows = {};
    EXPECT_EQ(shell.messages, std::vector<std::string> {"0"});
    EXPECT_EQ(controller.simulation().state.SampleIndex, 0);
    run();
    EXPECT_TRUE(controller.simulation().state.HasTrack);

    controller.setBar(Bar::VIMAXRO, 5000);
    EXPECT_EQ(controller.barValue(Bar::VIMAXRO), 2000) << "values stay in the bar's range";
    EXPECT_EQ(shell.labels[3], "Πολλ. χρόνου = 20,00");
    EXPECT_FALSE(controller.boxChecked(Box::KAMPYLOTHTA));
    EXPECT_EQ(shell.mirrored, (std::vector<std::pair<Box, bool>> {{Box::KAMPYLOTHTA, false}}));

    controller.Command5_Click();
    EXPECT_EQ(shell.graphSideTwips, 1080 * 15 / 2.0);
    ASSERT_EQ(shell.messages.size(), 4u);
    EXPECT_EQ(shell.messages[1].rfind("megis aktis = ", 0), 0u);
    EXPECT_EQ(shell.graph->size(), (PixelSize {540, 540}));
}

TEST_F(Controller, LayoutPutsTheBarsInTheBottomStripAndFollowsTheFrame)
{
    const WindowLayout &layout = controller.layout();
    EXPECT_EQ(layout.client, (PixelSize {1080, 1080}));
    EXPECT_EQ(layout.commands[0], (PixelRect {16, 8, 81, 25}));
    // MAGNHTIO is the lowest bar: 15 units above the bottom of a 200-unit-high picture.
    EXPECT_EQ(layout.bars[std::size_t(Bar::MAGNHTIO)].y, 1080 - 15 * 1080 / 200);

    EXPECT_FALSE(controller.fitFrame({}));
    EXPECT_TRUE(controller.fitFrame({4, 30, 4, 4}));
    EXPECT_EQ(controller.layout().client, (PixelSize {1072, 1046}));
    EXPECT_LT(controller.simulation().BorderRatioY, 0.04f);
    EXPECT_GT(controller.simulation().BorderRatioY, 0.03f);
}

} // namespace
} // namespace kentrikh
