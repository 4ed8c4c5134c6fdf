#include "controller/main_controller.h"

#include "controller/number_text.h"
#include "curvature_window/graph_drawing.h"
#include "motion/reset.h"
#include "motion/step.h"
#include "scene/probe.h"
#include "scene/step_scene.h"

#include <algorithm>

namespace kentrikh {

namespace {

constexpr Rgb ReferenceCircleColour = rgb(55, 0, 255);

constexpr std::array<BarDesign, BarCount> BarDesigns = {{
    {"MAGNHTIO", -100, 100, 1, 19, 5},
    {"STAKENTR", -100, 100, 1, 10, -50},
    {"ARXIVX", -200, 200, 1, 20, 0},
    {"VIMAXRO", 1, 2000, 5, 100, 500},
    {"klimaka", 1, 10, 1, 1, 1},
}};

struct TwipRect
{
    int left, top, width, height;
};

PixelRect toPixels(const TwipRect &r, double twipsPerPixel)
{
    const auto px = [twipsPerPixel](int twips) { return roundedPixels(twips / twipsPerPixel); };
    return {px(r.left), px(r.top), px(r.width), px(r.height)};
}

} // namespace

const BarDesign &barDesign(Bar bar)
{
    return BarDesigns[std::size_t(bar)];
}

const char *commandCaption(Command command)
{
    switch (command) {
    case Command::Command1:
        return "START";
    case Command::Command2:
        return "STOP";
    case Command::Command3:
        return "step";
    case Command::Command4:
        return "CONTINUE";
    case Command::Command5:
        return "RADIUS OF CURVATURE ";
    }
    return "";
}

const char *boxCaption(Box box)
{
    switch (box) {
    case Box::KAMPYLOTHTA:
        return "AKYKLOS KAMPYLOTHTAS";
    case Box::eidiki:
        return "Like Foucault Pendulum";
    case Box::MERIKESDYN:
        return "show forces";
    }
    return "";
}

// Handlers run one at a time: a tick that falls due while another handler runs (inside a
// message box, say) is dropped, as a busy timer would drop it, and the timer does not make
// up afterwards for the time the handler took.
class MainController::HandlerScope
{
public:
    explicit HandlerScope(MainController &controller, bool isTick = false)
        : m_controller(controller)
        , m_isTick(isTick)
    {
        ++m_controller.m_handlerDepth;
    }
    ~HandlerScope()
    {
        if (--m_controller.m_handlerDepth == 0 && !m_isTick)
            m_controller.m_timer.restartSchedule();
    }
    HandlerScope(const HandlerScope &) = delete;
    HandlerScope &operator=(const HandlerScope &) = delete;

private:
    MainController &m_controller;
    bool m_isTick;
};

MainController::MainController(
    ControllerShell &shell, Timer &timer, SurfaceFactory makeSurface, std::string decimalPoint)
    : m_shell(shell)
    , m_timer(timer)
    , m_makeSurface(std::move(makeSurface))
    , m_decimalPoint(std::move(decimalPoint))
{
    for (std::size_t i = 0; i < BarDesigns.size(); ++i)
        m_bars[i] = BarDesigns[i].value;
    m_timer.setEnabled(true);
    m_timer.setInterval(0);
}

MainController::~MainController() = default;

SliderValues MainController::sliderValues() const
{
    return {static_cast<std::int16_t>(barValue(Bar::STAKENTR)),
        static_cast<std::int16_t>(barValue(Bar::MAGNHTIO)),
        static_cast<std::int16_t>(barValue(Bar::ARXIVX)),
        static_cast<std::int16_t>(barValue(Bar::VIMAXRO)),
        static_cast<std::int16_t>(barValue(Bar::klimaka))};
}

void MainController::Main(const ScreenLayout &screen)
{
    layOut(screen);
    start();
}

void MainController::start()
{
    HandlerScope scope(*this);
    initialiseSimulation(m_sim, sliderValues());
    m_surface->setDrawStyle(DrawStyle::DashDot);
    m_surface->circle(0, 0, m_sim.params.R0, ReferenceCircleColour);
    m_surface->setDrawStyle(DrawStyle::Solid);
}

void MainController::layOut(const ScreenLayout &screen)
{
    m_screen = screen;
    const double tpp = screen.twipsPerPixel;
    const int side = screen.heightPixels;
    const PixelSize client {std::max(1, side - screen.frame.left - screen.frame.right),
        std::max(1, side - screen.frame.top - screen.frame.bottom)};
    m_layout.client = client;

    // Buttons and check boxes stay where they were designed, in twips.
    m_layout.commands = {toPixels({240, 120, 1215, 375}, tpp),
        toPixels({1560, 120, 1215, 375}, tpp), toPixels({2760, 120, 1215, 375}, tpp),
        toPixels({4080, 120, 975, 375}, tpp), toPixels({5160, 120, 2055, 375}, tpp)};
    m_layout.boxes = {toPixels({3840, 600, 1695, 615}, tpp), toPixels({3840, 1200, 1815, 495}, tpp),
        toPixels({5760, 840, 1695, 495}, tpp)};

    if (m_surface) {
        m_surface->resize(client);
    } else {
        m_surface = m_makeSurface(client, tpp);
        m_surface->setBackColor(White);
    }

    // The frame measured in twips before any user scale.
    const float outerWidth = static_cast<float>(side * tpp);
    const float outerHeight = static_cast<float>(side * tpp);
    const float clientWidth = static_cast<float>(client.width * tpp);
    const float clientHeight = static_cast<float>(client.height * tpp);
    m_sim.BorderRatioX = (outerWidth - clientWidth) / clientWidth;
    m_sim.BorderRatioY = (outerHeight - clientHeight) / clientHeight;
    setUserScale(1);

    const float ax = 1 - m_sim.BorderRatioX;
    const float ay = 1 - m_sim.BorderRatioY;
    const float left = -100 * ax;
    const float bottom = -100 * ay;
    const int barHeight = roundedPixels(375 / tpp);
    const auto place = [this](float x, float top, float width, int heightPx) {
        const PixelPoint topLeft = m_surface->pixelOf(x, top);
        const PixelPoint right = m_surface->pixelOf(x + width, top);
        return PixelRect {roundedPixels(topLeft.x()), roundedPixels(topLeft.y()),
            roundedPixels(right.x() - topLeft.x()), heightPx};
    };
    const auto unitsHigh = [this](float units) {
        return roundedPixels(m_surface->pixelOf(0, -units).y() - m_surface->pixelOf(0, 0).y());
    };
    const auto bar = [this](Bar b) -> PixelRect & { return m_layout.bars[std::size_t(b)]; };
    bar(Bar::STAKENTR) = place(left, bottom + 20, 20, barHeight);
    bar(Bar::MAGNHTIO) = place(left, bottom + 15, 20, barHeight);
    bar(Bar::ARXIVX) = place(left, bottom + 25, 20, barHeight);
    bar(Bar::VIMAXRO) = place(left, bottom + 30, 20, barHeight);
    bar(Bar::klimaka) = place(left, bottom + 35, 20, barHeight);

    const int labelHeight = unitsHigh(5);
    m_layout.labels = {place(left + 20, bottom + 20, 30, labelHeight),
        place(left + 20, bottom + 15, 30, labelHeight),
        place(left + 20, bottom + 25, 30, labelHeight),
        place(left + 20, bottom + 30, 30, labelHeight),
        place(left + 20, bottom + 35, 30, roundedPixels(255 / tpp))};
    writeLabel1();
    writeLabel2();
    writeLabel3();
    writeLabel4();
    writeLabel5();
}

bool MainController::fitFrame(const Margins &frame)
{
    if (frame == m_screen.frame)
        return false;
    // The scale follows the frame, so what was drawn no longer fits: start from the
    // picture the window opens with.
    ScreenLayout screen = m_screen;
    screen.frame = frame;
    layOut(screen);
    m_surface->cls();
    setUserScale(barValue(Bar::klimaka));
    drawReferenceCircle();
    return true;
}

void MainController::setUserScale(int scaleFactor)
{
    const float ax = 1 - m_sim.BorderRatioX;
    const float ay = 1 - m_sim.BorderRatioY;
    const float s = static_cast<float>(scaleFactor);
    m_surface->scale(-100 * ax * s, 100 * ay * s, 100 * ax * s, -100 * ay * s);
}

void MainController::drawReferenceCircle()
{
    m_surface->setDrawWidth(1);
    m_surface->setDrawStyle(DrawStyle::DashDot);
    m_surface->circle(0, 0, m_sim.params.R0, ReferenceCircleColour);
    m_surface->setDrawStyle(DrawStyle::Solid);
}

void MainController::setLabel(int number, std::string text)
{
    m_labels[std::size_t(number - 1)] = std::move(text);
    m_shell.labelChanged(number, label(number));
}

void MainController::writeLabel1()
{
    setLabel(1,
        "σταθερή = "
            + numberText(springConstant(static_cast<std::int16_t>(barValue(Bar::STAKENTR))),
                NumberPattern::Whole, m_decimalPoint));
}

void MainController::writeLabel2()
{
    setLabel(2,
        " Μαγνητικό = "
            + numberText(barValue(Bar::MAGNHTIO), NumberPattern::TwoDecimals, m_decimalPoint));
}

void MainController::writeLabel3()
{
    setLabel(3,
        " ΑΡΧΙΚΗ VX= "
            + numberText(barValue(Bar::ARXIVX), NumberPattern::TwoDecimals, m_decimalPoint));
}

void MainController::writeLabel4()
{
    setLabel(4,
        "Πολλ. χρόνου = "
            + numberText(
                barValue(Bar::VIMAXRO) / 100.0, NumberPattern::TwoDecimals, m_decimalPoint));
}

void MainController::writeLabel5()
{
    setLabel(
        5, "Κλίμακα= " + numberText(barValue(Bar::klimaka), NumberPattern::Whole, m_decimalPoint));
}

void MainController::switchCurvatureCircleOff()
{
    if (boxChecked(Box::KAMPYLOTHTA)) {
        setBox(Box::KAMPYLOTHTA, false);
        m_shell.boxChanged(Box::KAMPYLOTHTA, false);
    }
    m_sim.switches.CurvatureCircle = false;
}

void MainController::ResetRun()
{
    switchCurvatureCircleOff();
    resetRunState(m_sim, sliderValues());
    setUserScale(barValue(Bar::klimaka));
    drawReferenceCircle();
}

void MainController::stepAndDraw()
{
    const StepResult result = StepMotion(m_sim);
    if (result.outcome == StepOutcome::Sample)
        DrawStepScene(
            *m_surface, m_sim, result.sample, static_cast<std::int16_t>(barValue(Bar::MAGNHTIO)));
    else
        m_timer.setEnabled(false);
}

void MainController::click(Command command)
{
    switch (command) {
    case Command::Command1:
        Command1_Click();
        break;
    case Command::Command2:
        Command2_Click();
        break;
    case Command::Command3:
        Command3_Click();
        break;
    case Command::Command4:
        Command4_Click();
        break;
    case Command::Command5:
        Command5_Click();
        break;
    }
}

void MainController::Command1_Click()
{
    HandlerScope scope(*this);
    m_sim.state.HasTrack = false;
    m_sim.state.VX = startVelocityX(m_sim, static_cast<std::int16_t>(barValue(Bar::ARXIVX)));
    m_sim.state.VX0 = m_sim.state.VX;
    m_shell.showMessage(plainNumberText(m_sim.state.VX0, m_decimalPoint));
    m_timer.setEnabled(true);
    m_timer.setInterval(1);
}

void MainController::Command2_Click()
{
    HandlerScope scope(*this);
    m_timer.setEnabled(false);
    rewindParticle(m_sim, startVelocityX(m_sim, static_cast<std::int16_t>(barValue(Bar::ARXIVX))));
    m_sim.state.SampleIndex = 0;
}

void MainController::Command3_Click()
{
    HandlerScope scope(*this);
    m_timer.setEnabled(false);
    stepAndDraw();
}

void MainController::Command4_Click()
{
    HandlerScope scope(*this);
    m_timer.setEnabled(true);
}

void MainController::Command5_Click()
{
    HandlerScope scope(*this);
    const double screenHeightTwips = m_screen.heightPixels * m_screen.twipsPerPixel;
    m_shell.showCurvatureGraph(
        screenHeightTwips / 2, [this](Surface &picture, const std::function<void()> &sizePicture) {
            drawCurvatureGraph(
                picture, m_sim, m_timer,
                [this](const std::string &text) { m_shell.showMessage(text); }, sizePicture,
                m_decimalPoint);
        });
}

void MainController::Timer1_Timer()
{
    if (m_handlerDepth > 0)
        return;
    HandlerScope scope(*this, true);
    stepAndDraw();
}

void MainController::setBox(Box box, bool checked)
{
    if (boxChecked(box) == checked)
        return;
    m_boxes[std::size_t(box)] = checked;
    switch (box) {
    case Box::KAMPYLOTHTA:
        KAMPYLOTHTA_Click();
        break;
    case Box::eidiki:
        eidiki_Click();
        break;
    case Box::MERIKESDYN:
        MERIKESDYN_Click();
        break;
    }
}

void MainController::MERIKESDYN_Click()
{
    m_sim.switches.ShowForces = !m_sim.switches.ShowForces;
}

void MainController::eidiki_Click()
{
    m_sim.switches.FoucaultMode = !m_sim.switches.FoucaultMode;
}

void MainController::KAMPYLOTHTA_Click()
{
    m_sim.switches.CurvatureCircle = !m_sim.switches.CurvatureCircle;
}

void MainController::setBar(Bar bar, int value)
{
    const BarDesign &design = barDesign(bar);
    value = std::clamp(value, design.min, design.max);
    if (barValue(bar) == value)
        return;
    m_bars[std::size_t(bar)] = value;
    switch (bar) {
    case Bar::MAGNHTIO:
        MAGNHTIO_Change();
        break;
    case Bar::STAKENTR:
        STAKENTR_Change();
        break;
    case Bar::ARXIVX:
        ARXIVX_Change();
        break;
    case Bar::VIMAXRO:
        VIMAXRO_Change();
        break;
    case Bar::klimaka:
        klimaka_Change();
        break;
    }
}

void MainController::ARXIVX_Change()
{
    HandlerScope scope(*this);
    m_surface->cls();
    switchCurvatureCircleOff();
    m_timer.setEnabled(false);
    m_sim.state.SampleIndex = 0;
    writeLabel3();
    ResetRun();
}

void MainController::klimaka_Change()
{
    HandlerScope scope(*this);
    writeLabel5();
    m_surface->cls();
    switchCurvatureCircleOff();
    ResetRun();
}

void MainController::VIMAXRO_Change()
{
    HandlerScope scope(*this);
    m_sim.params.DT = timeStep(static_cast<std::int16_t>(barValue(Bar::VIMAXRO)));
    switchCurvatureCircleOff();
    writeLabel4();
}

void MainController::MAGNHTIO_Change()
{
    springOrFieldChanged();
}

void MainController::STAKENTR_Change()
{
    springOrFieldChanged();
}

void MainController::springOrFieldChanged()
{
    HandlerScope scope(*this);
    m_surface->cls();
    m_timer.setEnabled(false);
    m_sim.state.SampleIndex = 0;
    switchCurvatureCircleOff();
    writeLabel1();
    writeLabel2();
    ResetRun();
    DrawFieldSymbol(*m_surface, static_cast<std::int16_t>(barValue(Bar::MAGNHTIO)));
}

void MainController::Form_MouseDown(float x, float y)
{
    HandlerScope scope(*this);
    ProbeTrack(*m_surface, m_sim, x, y);
}

void MainController::pressAt(double pixelX, double pixelY)
{
    const auto [x, y] = m_surface->userOf({pixelX, pixelY});
    Form_MouseDown(static_cast<float>(x), static_cast<float>(y));
}

} // namespace kentrikh
