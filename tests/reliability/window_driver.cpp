#include "reliability/window_driver.h"

#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_graph.h"
#include "curvature_window/curvature_window.h"
#include "motion/reset.h"
#include "scene/probe.h"
#include "scene/step_scene.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <mutex>
#include <sstream>
#include <utility>

namespace kentrikh {

namespace {

constexpr const char *SliderNames[] = {"STAKENTR", "MAGNHTIO", "ARXIVX", "VIMAXRO", "klimaka"};
constexpr const char *ButtonNames[] = {"START", "STOP", "step", "CONTINUE", "RADIUS OF CURVATURE"};
constexpr const char *BoxNames[]
    = {"show forces", "Like Foucault Pendulum", "AKYKLOS KAMPYLOTHTAS"};
constexpr int WholeRunTicks = LastSample + 1;

// Pointer positions far beyond the window, up to the largest a float holds.
constexpr float FarAway[] = {1e3f, -1e3f, 1e6f, -1e6f, 1e30f, -1e30f, FLT_MAX, -FLT_MAX};

// The offscreen platform cannot raise a window and says so each time the graph opens.
QtMessageHandler previousQtHandler = nullptr;

void dropRaiseWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(QLatin1String("does not support raise()")))
        return;
    if (previousQtHandler)
        previousQtHandler(type, context, text);
}

template<typename Value>
std::string text(const Value &value)
{
    std::ostringstream out;
    out.precision(9);
    out << value;
    return out.str();
}

std::string differences(const Simulation &expected, const Simulation &actual, int index)
{
    std::string found;
    const auto compare = [&found](const char *name, double e, double a) {
        if (e != a && found.empty())
            found = std::string(name) + " is " + text(a) + ", the replay gives " + text(e);
    };
    const MotionState &e = expected.state;
    const MotionState &a = actual.state;
    compare("SampleIndex", e.SampleIndex, a.SampleIndex);
    compare("HasTrack", e.HasTrack, a.HasTrack);
    compare("X", e.X, a.X);
    compare("Y", e.Y, a.Y);
    compare("VX", e.VX, a.VX);
    compare("VY", e.VY, a.VY);
    compare("VX0", e.VX0, a.VX0);
    const StepMemory &em = expected.memory;
    const StepMemory &am = actual.memory;
    compare("T", em.T, am.T);
    compare("PrevX", em.PrevX, am.PrevX);
    compare("PrevY", em.PrevY, am.PrevY);
    compare("PrevVX", em.PrevVX, am.PrevVX);
    compare("PrevVY", em.PrevVY, am.PrevVY);
    compare("PrevNetFX", em.PrevNetFX, am.PrevNetFX);
    compare("PrevNetFY", em.PrevNetFY, am.PrevNetFY);
    compare("PrevMagFX", em.PrevMagFX, am.PrevMagFX);
    compare("PrevMagFY", em.PrevMagFY, am.PrevMagFY);
    compare("PrevSpringFX", em.PrevSpringFX, am.PrevSpringFX);
    compare("PrevSpringFY", em.PrevSpringFY, am.PrevSpringFY);
    compare("PrevCentreX", em.PrevCentreX, am.PrevCentreX);
    compare("PrevCentreY", em.PrevCentreY, am.PrevCentreY);
    compare("PrevRho", em.PrevRho, am.PrevRho);
    compare("TrackX", expected.track.TrackX[index], actual.track.TrackX[index]);
    compare("TrackY", expected.track.TrackY[index], actual.track.TrackY[index]);
    compare("TrackRho", expected.track.TrackRho[index], actual.track.TrackRho[index]);
    return found;
}

std::string unfitRecordEntry(const TrackRecord &t, int index)
{
    const std::pair<const char *, const TrackArray *> arrays[] = {{"TrackX", &t.TrackX},
        {"TrackY", &t.TrackY}, {"TrackVX", &t.TrackVX}, {"TrackVY", &t.TrackVY},
        {"TrackSpringFX", &t.TrackSpringFX}, {"TrackSpringFY", &t.TrackSpringFY},
        {"TrackMagFX", &t.TrackMagFX}, {"TrackMagFY", &t.TrackMagFY}, {"TrackNetFX", &t.TrackNetFX},
        {"TrackNetFY", &t.TrackNetFY}, {"TrackCentreX", &t.TrackCentreX},
        {"TrackCentreY", &t.TrackCentreY}, {"TrackRho", &t.TrackRho}};
    for (const auto &[name, array] : arrays) {
        if (!std::isfinite((*array)[index]))
            return std::string(name) + "(" + std::to_string(index) + ") = " + text((*array)[index]);
    }
    if (t.TrackRho[index] < 0)
        return "TrackRho(" + std::to_string(index) + ") = " + text(t.TrackRho[index]);
    return {};
}

bool showsANonNumber(const QString &message)
{
    const QString lower = message.toLower();
    return lower.contains(QLatin1String("inf")) || lower.contains(QLatin1String("nan"))
        || lower.contains(QStringLiteral("∞")) || lower.contains(QStringLiteral("—"));
}

} // namespace

std::uint32_t RandomChoices::below(std::uint32_t n)
{
    return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(m_engine);
}

std::uint32_t ByteChoices::below(std::uint32_t n)
{
    if (n <= 1)
        return 0;
    const int bytes = n <= 0x100 ? 1 : n <= 0x10000 ? 2 : 4;
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value <<= 8;
        if (m_next < m_size)
            value |= m_data[m_next++];
    }
    return value % n;
}

std::string Action::toString() const
{
    switch (kind) {
    case ActionKind::Slider:
        return std::string(SliderNames[control]) + " = " + std::to_string(value);
    case ActionKind::Button:
        return std::string("click ") + ButtonNames[control];
    case ActionKind::Box:
        return std::string("click \"") + BoxNames[control] + "\"";
    case ActionKind::Ticks:
        return "up to " + std::to_string(value) + " ticks";
    case ActionKind::Probe:
        return "Form_MouseDown(" + text(x) + ", " + text(y) + ")";
    case ActionKind::Press:
        return "press at pixel (" + text(x) + ", " + text(y) + ")";
    }
    return {};
}

// Takes every coordinate a procedure hands to a surface and keeps the first that is not
// finite. Follows the window's surface so that what depends on its scale comes out the same.
class WindowDriver::FiniteSurface : public Surface
{
public:
    FiniteSurface() { resetScale(6285, 3090); }

    void follow(const Surface &surface)
    {
        scale(surface.scaleLeft(), surface.scaleTop(), surface.scaleLeft() + surface.scaleWidth(),
            surface.scaleTop() + surface.scaleHeight());
        setCurrentX(surface.currentX());
        setCurrentY(surface.currentY());
    }

    std::string takeFault() { return std::exchange(m_fault, {}); }

protected:
    void drawLine(float x1, float y1, float x2, float y2, const Pen &) override
    {
        expectFinite("line", {x1, y1, x2, y2});
    }
    void drawCircle(float x, float y, float radius, const Pen &, const Fill &) override
    {
        expectFinite("circle", {x, y, radius});
    }
    void drawPoint(float x, float y, const Pen &) override { expectFinite("point", {x, y}); }
    void drawText(float x, float y, const std::string &, Rgb) override
    {
        expectFinite("text", {x, y});
    }
    void clear(Rgb) override { }
    float textLineHeight() const override { return 0; }
    void scaleChanged() override
    {
        expectFinite("scale", {scaleLeft(), scaleTop(), scaleWidth(), scaleHeight()});
    }

private:
    void expectFinite(const char *what, std::initializer_list<float> values)
    {
        if (!m_fault.empty())
            return;
        if (std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); }))
            return;
        m_fault = std::string("non-finite coordinate reaches the surface: ") + what;
        for (const float v : values)
            m_fault += " " + text(v);
    }

    std::string m_fault;
};

WindowDriver::WindowDriver()
    : m_window(std::make_unique<MainWindow>())
    , m_replay(std::make_unique<Simulation>())
    , m_replaySurface(std::make_unique<FiniteSurface>())
{
    static std::once_flag filterInstalled;
    std::call_once(
        filterInstalled, [] { previousQtHandler = qInstallMessageHandler(dropRaiseWarnings); });
    m_window->Main({1080, 15, {}}, false);
    // Presses reach the window through the platform, as a person's do.
    m_window->setAttribute(Qt::WA_DontShowOnScreen);
    m_window->show();
}

WindowDriver::~WindowDriver() = default;

Action WindowDriver::choose(ChoiceSource &choices, const Vocabulary &vocabulary)
{
    MainWindow &w = *m_window;
    const std::uint32_t kind = choices.below(100);
    Action action;
    if (kind < 25) {
        action.kind = ActionKind::Slider;
        action.control = static_cast<int>(choices.below(5));
        const QScrollBar *bars[] = {w.STAKENTR, w.MAGNHTIO, w.ARXIVX, w.VIMAXRO, w.klimaka};
        const SliderValues design;
        const int designValues[]
            = {design.STAKENTR, design.MAGNHTIO, design.ARXIVX, design.VIMAXRO, design.klimaka};
        const int min = bars[action.control]->minimum();
        const int max = bars[action.control]->maximum();
        switch (choices.below(8)) {
        case 0:
            action.value = min;
            break;
        case 1:
            action.value = max;
            break;
        case 2:
            action.value = std::clamp(0, min, max);
            break;
        case 3:
            action.value = designValues[action.control];
            break;
        default:
            action.value
                = min + static_cast<int>(choices.below(static_cast<std::uint32_t>(max - min + 1)));
        }
    } else if (kind < 44) {
        action.kind = ActionKind::Button;
        // The graph is a fifth of the button presses.
        action.control = kind < 40 ? static_cast<int>(choices.below(4)) : 4;
    } else if (kind < 54) {
        action.kind = ActionKind::Box;
        action.control = static_cast<int>(choices.below(3));
    } else if (kind < 80) {
        action.kind = ActionKind::Ticks;
        const bool wholeRun = static_cast<int>(choices.below(100)) < vocabulary.wholeRunPercent;
        const auto burst = static_cast<std::uint32_t>(vocabulary.longestBurst);
        action.value = wholeRun ? WholeRunTicks : 1 + static_cast<int>(choices.below(burst));
    } else if (kind < 92) {
        action.kind = ActionKind::Probe;
        const TrackRecord &track = w.simulation().track;
        const ImageSurface &surface = w.surface();
        switch (choices.below(4)) {
        case 0:
        case 1: {
            // On or next to a recorded sample, where the probe has candidates to choose from.
            const int i = static_cast<int>(choices.below(TrackSize));
            const double dx = (static_cast<int>(choices.below(9)) - 4) * 0.1;
            const double dy = (static_cast<int>(choices.below(9)) - 4) * 0.1;
            action.x = static_cast<float>(track.TrackX[i] + dx);
            action.y = static_cast<float>(track.TrackY[i] + dy);
            break;
        }
        case 2:
            action.x = surface.scaleLeft() + surface.scaleWidth() * choices.below(10001) / 10000.0f;
            action.y = surface.scaleTop() + surface.scaleHeight() * choices.below(10001) / 10000.0f;
            break;
        default:
            action.x = FarAway[choices.below(std::size(FarAway))];
            action.y = FarAway[choices.below(std::size(FarAway))];
        }
    } else {
        // A press on the drawing area or a label; one on another control would be that
        // control's click, which the other actions cover.
        action.kind = ActionKind::Press;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const QPoint pixel(
                static_cast<int>(choices.below(static_cast<std::uint32_t>(w.width()))),
                static_cast<int>(choices.below(static_cast<std::uint32_t>(w.height()))));
            QWidget *child = w.childAt(pixel);
            action.x = static_cast<float>(pixel.x());
            action.y = static_cast<float>(pixel.y());
            if (!child || qobject_cast<QLabel *>(child))
                return action;
        }
        action.x = 0;
        action.y = static_cast<float>(w.height() - 1);
    }
    return action;
}

std::string WindowDriver::perform(const Action &action)
{
    m_history.push_back(action.toString());
    if (action.kind != ActionKind::Ticks)
        ++m_coverage.events;
    if ((action.kind == ActionKind::Probe || action.kind == ActionKind::Press)
        && m_window->simulation().state.HasTrack)
        ++m_coverage.probesOfARun;
    switch (action.kind) {
    case ActionKind::Slider:
        setSlider(action.control, action.value);
        break;
    case ActionKind::Button:
        clickButton(action.control);
        break;
    case ActionKind::Box:
        clickBox(action.control);
        break;
    case ActionKind::Ticks:
        for (int i = 0; i < action.value; ++i) {
            // A real timer ticks only while it is enabled with an interval.
            if (!m_window->Timer1().enabled() || m_window->Timer1().interval() <= 0)
                break;
            tick();
            ++m_coverage.events;
            if (std::string fault = check(); !fault.empty())
                return "tick " + std::to_string(i + 1) + ": " + fault;
        }
        return {};
    case ActionKind::Probe:
        probe(action.x, action.y);
        break;
    case ActionKind::Press:
        press(QPoint(static_cast<int>(action.x), static_cast<int>(action.y)));
        break;
    }
    return check();
}

void WindowDriver::setSlider(int slider, int value)
{
    MainWindow &w = *m_window;
    QScrollBar *bars[] = {w.STAKENTR, w.MAGNHTIO, w.ARXIVX, w.VIMAXRO, w.klimaka};
    QScrollBar *bar = bars[slider];
    const bool changes = bar->value() != value;
    bar->setValue(value);
    if (!changes)
        return;
    // Every change unchecks the circle of curvature; the first three also rewind the run.
    m_model.switches.CurvatureCircle = false;
    if (slider <= 2) {
        m_model.enabled = false;
        m_model.sampleIndex = 0;
    }
    m_replaySurface->follow(w.surface());
}

void WindowDriver::clickButton(int button)
{
    MainWindow &w = *m_window;
    Simulation &sim = w.simulation();
    const auto arxivx = static_cast<std::int16_t>(w.ARXIVX->value());
    switch (button) {
    case 0:
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        m_model.enabled = true;
        m_model.started = true;
        m_model.hasTrack = false;
        m_model.messages += 1;
        if (sim.state.VX0 != startVelocityX(sim, arxivx))
            m_fault = "START leaves VX0 = " + text(sim.state.VX0);
        break;
    case 1:
        QTest::mouseClick(w.Command2, Qt::LeftButton);
        m_model.enabled = false;
        m_model.sampleIndex = 0;
        if (sim.state.X != 0 || sim.state.Y != sim.params.R0 || sim.state.VY != 0
            || sim.state.VX != startVelocityX(sim, arxivx))
            m_fault = "STOP leaves the particle away from its start";
        break;
    case 2:
        replayStep();
        QTest::mouseClick(w.Command3, Qt::LeftButton);
        m_model.enabled = false;
        expectStepOutcome();
        break;
    case 3:
        QTest::mouseClick(w.Command4, Qt::LeftButton);
        m_model.enabled = true;
        break;
    default: {
        *m_replay = sim;
        {
            // The replay's own messages are not the window's.
            MessageRecorder quiet;
            drawCurvatureGraph(*m_replaySurface, *m_replay, w.Timer1());
        }
        QTest::mouseClick(w.Command5, Qt::LeftButton);
        ++m_coverage.graphs;
        m_model.messages += sim.switches.FoucaultMode ? 4 : 3;
        if (!w.curvatureWindow() || !w.curvatureWindow()->isVisible())
            m_fault = "the curvature window is not shown";
    }
    }
}

void WindowDriver::clickBox(int box)
{
    MainWindow &w = *m_window;
    WrappingCheckBox *boxes[] = {w.MERIKESDYN, w.eidiki, w.KAMPYLOTHTA};
    bool *flags[] = {&m_model.switches.ShowForces, &m_model.switches.FoucaultMode,
        &m_model.switches.CurvatureCircle};
    boxes[box]->click();
    *flags[box] = !*flags[box];
}

void WindowDriver::replayStep()
{
    MainWindow &w = *m_window;
    *m_replay = w.simulation();
    const StepResult result = StepMotion(*m_replay);
    if (result.outcome == StepOutcome::Sample) {
        m_replaySurface->follow(w.surface());
        DrawStepScene(*m_replaySurface, *m_replay, result.sample,
            static_cast<std::int16_t>(w.MAGNHTIO->value()));
    }
    m_replayOutcome = result.outcome;
}

void WindowDriver::expectStepOutcome()
{
    const Simulation &sim = m_window->simulation();
    switch (m_replayOutcome) {
    case StepOutcome::Sample:
        ++m_coverage.samples;
        if (m_model.sampleIndex == LastSample)
            m_fault = "a sample was taken after sample 1000";
        ++m_model.sampleIndex;
        break;
    case StepOutcome::RunEnded:
        ++m_coverage.runsEnded;
        if (m_model.sampleIndex != LastSample)
            m_fault = "the run ended after sample " + std::to_string(m_model.sampleIndex);
        m_model.sampleIndex = 0;
        m_model.hasTrack = true;
        m_model.enabled = false;
        break;
    case StepOutcome::Fault:
        m_model.enabled = false;
        break;
    }
    if (m_fault.empty())
        m_fault = differences(*m_replay, sim, sim.state.SampleIndex);
}

void WindowDriver::tick()
{
    replayStep();
    m_window->Timer1_Timer();
    expectStepOutcome();
}

void WindowDriver::probe(float x, float y)
{
    MainWindow &w = *m_window;
    *m_replay = w.simulation();
    m_replaySurface->follow(w.surface());
    ProbeTrack(*m_replaySurface, *m_replay, x, y);
    w.Form_MouseDown(x, y);
    if (m_fault.empty())
        m_fault = differences(*m_replay, w.simulation(), w.simulation().state.SampleIndex);
}

void WindowDriver::press(QPoint pixel)
{
    MainWindow &w = *m_window;
    if (!w.childAt(pixel)) {
        *m_replay = w.simulation();
        m_replaySurface->follow(w.surface());
        const auto [x, y] = w.surface().toUser(QPointF(pixel));
        ProbeTrack(*m_replaySurface, *m_replay, static_cast<float>(x), static_cast<float>(y));
    }
    QTest::mouseClick(&w, Qt::LeftButton, {}, pixel);
}

std::string WindowDriver::check()
{
    if (!m_fault.empty())
        return std::exchange(m_fault, {});
    if (std::string fault = m_replaySurface->takeFault(); !fault.empty())
        return fault;

    MainWindow &w = *m_window;
    const Simulation &sim = w.simulation();
    const MotionState &state = sim.state;
    const SimTimer &timer = w.Timer1();

    if (state.SampleIndex < 0 || state.SampleIndex > LastSample)
        return "SampleIndex = " + std::to_string(state.SampleIndex);
    if (state.SampleIndex != m_model.sampleIndex)
        return "SampleIndex = " + std::to_string(state.SampleIndex) + ", expected "
            + std::to_string(m_model.sampleIndex);
    if (timer.enabled() != m_model.enabled)
        return std::string("the timer is ") + (timer.enabled() ? "enabled" : "disabled")
            + ", the run-control table says otherwise";
    if (timer.interval() != (m_model.started ? 1 : 0))
        return "the timer's interval is " + std::to_string(timer.interval());
    if (timer.isTicking() != (timer.enabled() && timer.interval() > 0))
        return "the timer ticks when it should not, or not when it should";
    if (state.HasTrack != m_model.hasTrack)
        return std::string("HasTrack is ") + (state.HasTrack ? "set" : "clear");

    const Switches &s = sim.switches;
    if (s.ShowForces != m_model.switches.ShowForces
        || s.FoucaultMode != m_model.switches.FoucaultMode
        || s.CurvatureCircle != m_model.switches.CurvatureCircle)
        return "a switch is not where its clicks put it";
    if (s.ShowForces != w.MERIKESDYN->isChecked() || s.FoucaultMode != w.eidiki->isChecked()
        || s.CurvatureCircle != w.KAMPYLOTHTA->isChecked())
        return "a switch and its box disagree";

    const SliderValues bars = w.sliderValues();
    if (sim.params.K != springConstant(bars.STAKENTR) || sim.params.B != bars.MAGNHTIO
        || sim.params.DT != timeStep(bars.VIMAXRO) || sim.params.R0 != StartDistance)
        return "the parameters do not follow the scroll bars";

    for (const double v : {state.X, state.Y, state.VX, state.VY, state.VX0, sim.memory.T}) {
        if (!std::isfinite(v))
            return "the particle's state is not finite: " + text(v);
    }
    if (state.SampleIndex > 0) {
        if (std::string fault = unfitRecordEntry(sim.track, state.SampleIndex); !fault.empty())
            return fault;
    }

    const QStringList &shown = m_messages.messages();
    if (shown.size() != m_model.messages)
        return "message boxes: " + std::to_string(shown.size()) + ", expected "
            + std::to_string(m_model.messages);
    for (; m_checkedMessages < shown.size(); ++m_checkedMessages) {
        if (showsANonNumber(shown[m_checkedMessages]))
            return "a message shows a non-number: " + shown[m_checkedMessages].toStdString();
    }
    return {};
}

std::string WindowDriver::checkWholeRecord() const
{
    for (int i = 0; i < TrackSize; ++i) {
        if (std::string fault = unfitRecordEntry(m_window->simulation().track, i); !fault.empty())
            return fault;
    }
    return {};
}

std::string WindowDriver::history() const
{
    std::string out;
    for (std::size_t i = 0; i < m_history.size(); ++i)
        out += std::to_string(i + 1) + ". " + m_history[i] + "\n";
    return out;
}

} // namespace kentrikh
