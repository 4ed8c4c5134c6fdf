// The path layer redraws only what changed; the picture must be the very one that drawing
// every segment again gives. Whole runs are drawn on two window-sized images, one with the
// layer and one without, and compared pixel for pixel after every step.

#include "motion/reset.h"
#include "motion/step.h"
#include "platform/image_surface.h"
#include "scene/step_scene.h"

#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kentrikh {
namespace {

constexpr Rgb ReferenceColour = rgb(55, 0, 255);

std::string firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return "the sizes differ";
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y)
                    + "): " + std::to_string(a.pixel(x, y)) + " with the layer, "
                    + std::to_string(b.pixel(x, y)) + " without";
            }
        }
    }
    return {};
}

// A simulation and the main window's backing image on a 1080-pixel screen.
struct Window
{
    Simulation sim;
    ImageSurface surface {QSize(1080, 1080), 15};

    // What a scale change does to the picture: clear, rescale, the thin reference circle.
    void rescale(float halfWidth)
    {
        surface.cls();
        surface.scale(-halfWidth, halfWidth, halfWidth, -halfWidth);
        surface.setDrawWidth(1);
        surface.setDrawStyle(DrawStyle::DashDot);
        surface.circle(0, 0, sim.params.R0, ReferenceColour);
        surface.setDrawStyle(DrawStyle::Solid);
    }
};

class PathLayer : public testing::Test
{
protected:
    PathLayer() { plain.surface.setPathLayerEnabled(false); }

    void forBoth(const std::function<void(Window &)> &action)
    {
        action(layered);
        action(plain);
    }

    // A new run from the bars, every option on, as the window starts one.
    void start(const SliderValues &bars, bool foucault)
    {
        forBoth([&](Window &w) {
            initialiseSimulation(w.sim, bars);
            w.sim.switches = {true, foucault, true};
            resetRunState(w.sim, bars);
            w.rescale(100);
        });
    }

    // Steps both windows until the run ends or a step faults, comparing the pictures after
    // every step; between(k) runs on both before sample k is drawn.
    void runToTheEnd(const std::function<void(Window &, int)> &between = {})
    {
        for (;;) {
            bool drew = false;
            forBoth([&](Window &w) {
                if (between)
                    between(w, w.sim.state.SampleIndex + 1);
                const StepResult result = StepMotion(w.sim);
                drew = result.outcome == StepOutcome::Sample;
                if (drew)
                    DrawStepScene(w.surface, w.sim, result.sample, 5);
            });
            const int k = layered.sim.state.SampleIndex;
            ASSERT_EQ(k, plain.sim.state.SampleIndex);
            ASSERT_TRUE(layered.surface.image() == plain.surface.image())
                << "after sample " << k << ": "
                << firstDifference(layered.surface.image(), plain.surface.image());
            if (!drew)
                return;
        }
    }

    Window layered;
    Window plain;
};

TEST_F(PathLayer, DrawsWholeRunsExactlyAsSegmentBySegment)
{
    start(SliderValues {}, false);
    runToTheEnd();

    // A second run over the first picture, cleared and rescaled half way, with the
    // switches flipped on the way.
    runToTheEnd([](Window &w, int k) {
        if (k == 300)
            w.rescale(200);
        if (k == 450)
            w.sim.switches.ShowForces = false;
        if (k == 500)
            w.sim.switches.CurvatureCircle = false;
        if (k == 520)
            w.sim.switches.CurvatureCircle = true;
        if (k == 700)
            w.surface.cls();
    });
}

TEST_F(PathLayer, DrawsTheFoucaultPendulumExactly)
{
    start(SliderValues {}, true);
    runToTheEnd();
}

// Without a spring the particle circles round and round: the circle of curvature is erased
// in the same place step after step, across the path.
TEST_F(PathLayer, DrawsACircleRetracedExactly)
{
    SliderValues bars;
    bars.STAKENTR = 0;
    bars.MAGNHTIO = 20;
    bars.ARXIVX = 100;
    bars.VIMAXRO = 100;
    start(bars, false);
    runToTheEnd();
}

// A strong repulsion and the longest time step drive the particle to huge coordinates.
TEST_F(PathLayer, DrawsAnEscapingParticleExactly)
{
    SliderValues bars;
    bars.STAKENTR = 100;
    bars.MAGNHTIO = 5;
    bars.VIMAXRO = 2000;
    start(bars, false);
    runToTheEnd();
}

} // namespace
} // namespace kentrikh
