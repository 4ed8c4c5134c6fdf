#include "app/main_window.h"

#include "app/focus_scroll_bar.h"
#include "app/window_actions.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_graph.h"
#include "curvature_window/curvature_window.h"
#include "motion/reset.h"
#include "motion/step.h"
#include "platform/backing_image.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "platform/screen_metrics.h"
#include "scene/probe.h"
#include "scene/step_scene.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace kentrikh {

namespace {

const QString WindowCaption = QStringLiteral("KINHSH SE F=K.X KAI SE B");
constexpr Rgb ReferenceCircleColour = rgb(55, 0, 255);

struct TwipRect
{
    int left, top, width, height;
};

QRect toPixels(const TwipRect &r, double twipsPerPixel)
{
    const auto px = [twipsPerPixel](int twips) { return qRound(twips / twipsPerPixel); };
    return {px(r.left), px(r.top), px(r.width), px(r.height)};
}

QScrollBar *makeScrollBar(QWidget *parent, const char *name, int min, int max, int smallChange,
    int largeChange, int value)
{
    auto *bar = new FocusScrollBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(min, max);
    bar->setSingleStep(smallChange);
    bar->setPageStep(largeChange);
    bar->setValue(value);
    // The value changes when a dragged thumb is released, at once for arrows and trough.
    bar->setTracking(false);
    return bar;
}

} // namespace

MainWindow::MainWindow()
    : m_timer(std::make_unique<SimTimer>())
{
    setObjectName(QStringLiteral("kentrikh"));
    setWindowTitle(WindowCaption);
    setAttribute(Qt::WA_OpaquePaintEvent);
    createControls();
    m_timer->setEnabled(true);
    m_timer->setInterval(0);
    m_timer->setTickHandler([this] { Timer1_Timer(); });
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] { paintPictureChanges(); });
    addWindowActions(*this);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    Command1 = new QPushButton(QStringLiteral("START"), this);
    Command2 = new QPushButton(QStringLiteral("STOP"), this);
    Command3 = new QPushButton(QStringLiteral("step"), this);
    Command4 = new QPushButton(QStringLiteral("CONTINUE"), this);
    Command5 = new QPushButton(QStringLiteral("RADIUS OF CURVATURE "), this);
    KAMPYLOTHTA = new WrappingCheckBox(QStringLiteral("AKYKLOS KAMPYLOTHTAS"), this);
    eidiki = new WrappingCheckBox(QStringLiteral("Like Foucault Pendulum"), this);
    MERIKESDYN = new WrappingCheckBox(QStringLiteral("show forces"), this);
    MAGNHTIO = makeScrollBar(this, "MAGNHTIO", -100, 100, 1, 19, 5);
    STAKENTR = makeScrollBar(this, "STAKENTR", -100, 100, 1, 10, -50);
    ARXIVX = makeScrollBar(this, "ARXIVX", -200, 200, 1, 20, 0);
    VIMAXRO = makeScrollBar(this, "VIMAXRO", 1, 2000, 5, 100, 500);
    klimaka = makeScrollBar(this, "klimaka", 1, 10, 1, 1, 1);
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label2 = new QLabel(QStringLiteral("Label2"), this);
    Label3 = new QLabel(QStringLiteral("Label3"), this);
    Label4 = new QLabel(QStringLiteral("Label4"), this);
    Label5 = new QLabel(QStringLiteral("Label5"), this);

    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4->setObjectName(QStringLiteral("Command4"));
    Command5->setObjectName(QStringLiteral("Command5"));
    KAMPYLOTHTA->setObjectName(QStringLiteral("KAMPYLOTHTA"));
    eidiki->setObjectName(QStringLiteral("eidiki"));
    MERIKESDYN->setObjectName(QStringLiteral("MERIKESDYN"));

    // Focus order as designed; the labels between take no focus.
    QWidget *const tabOrder[] = {MAGNHTIO, STAKENTR, Command1, Command2, ARXIVX, Command3, Command4,
        VIMAXRO, klimaka, KAMPYLOTHTA, eidiki, MERIKESDYN, Command5};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    for (QLabel *label : {Label1, Label2, Label3, Label4, Label5})
        label->setFocusPolicy(Qt::NoFocus);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    // A box's handler runs on every change of its state, also one made from code.
    connect(MERIKESDYN, &QCheckBox::toggled, this, [this] { MERIKESDYN_Click(); });
    connect(eidiki, &QCheckBox::toggled, this, [this] { eidiki_Click(); });
    connect(KAMPYLOTHTA, &QCheckBox::toggled, this, [this] { KAMPYLOTHTA_Click(); });
    connect(ARXIVX, &QScrollBar::valueChanged, this, [this] { ARXIVX_Change(); });
    connect(klimaka, &QScrollBar::valueChanged, this, [this] { klimaka_Change(); });
    connect(VIMAXRO, &QScrollBar::valueChanged, this, [this] { VIMAXRO_Change(); });
    connect(MAGNHTIO, &QScrollBar::valueChanged, this, [this] { MAGNHTIO_Change(); });
    connect(STAKENTR, &QScrollBar::valueChanged, this, [this] { STAKENTR_Change(); });
}

SliderValues MainWindow::sliderValues() const
{
    return {static_cast<std::int16_t>(STAKENTR->value()),
        static_cast<std::int16_t>(MAGNHTIO->value()), static_cast<std::int16_t>(ARXIVX->value()),
        static_cast<std::int16_t>(VIMAXRO->value()), static_cast<std::int16_t>(klimaka->value())};
}

void MainWindow::Main(const ScreenLayout &screen, bool show)
{
    HandlerScope scope(*this);
    m_screen = screen;
    // A window on the screen draws at the screen's pixels; pictures for files stay at one
    // pixel a pixel, whatever the screen.
    m_devicePixelRatio = show ? devicePixelRatioF() : 1;
    layOut(screen);
    // The control first in the focus order has the focus when the window opens.
    MAGNHTIO->setFocus();
    if (show)
        QWidget::show();
    initialiseSimulation(m_sim, sliderValues());
    m_surface->setDrawStyle(DrawStyle::DashDot);
    m_surface->circle(0, 0, m_sim.params.R0, ReferenceCircleColour);
    m_surface->setDrawStyle(DrawStyle::Solid);
}

void MainWindow::layOut(const ScreenLayout &screen)
{
    const double tpp = screen.twipsPerPixel;
    const int side = screen.heightPixels;
    const QSize client(std::max(1, side - screen.frame.left() - screen.frame.right()),
        std::max(1, side - screen.frame.top() - screen.frame.bottom()));

    // Buttons and check boxes stay where they were designed, in twips.
    Command1->setGeometry(toPixels({240, 120, 1215, 375}, tpp));
    Command2->setGeometry(toPixels({1560, 120, 1215, 375}, tpp));
    Command3->setGeometry(toPixels({2760, 120, 1215, 375}, tpp));
    Command4->setGeometry(toPixels({4080, 120, 975, 375}, tpp));
    Command5->setGeometry(toPixels({5160, 120, 2055, 375}, tpp));
    KAMPYLOTHTA->setGeometry(toPixels({3840, 600, 1695, 615}, tpp));
    eidiki->setGeometry(toPixels({3840, 1200, 1815, 495}, tpp));
    MERIKESDYN->setGeometry(toPixels({5760, 840, 1695, 495}, tpp));

    move(0, 0);
    resize(client);
    if (m_surface) {
        m_surface->resize(client);
    } else {
        m_surface = std::make_unique<ImageSurface>(client, tpp, font(), m_devicePixelRatio);
        m_surface->setChangedHandler([this](const QRect &dirty) { pictureChanged(dirty); });
        m_surface->setBackColor(White);
    }

    // The frame measured in twips before any user scale.
    const float outerWidth = static_cast<float>(side * tpp);
    const float outerHeight = static_cast<float>(side * tpp);
    const float clientWidth = static_cast<float>(client.width() * tpp);
    const float clientHeight = static_cast<float>(client.height() * tpp);
    m_sim.BorderRatioX = (outerWidth - clientWidth) / clientWidth;
    m_sim.BorderRatioY = (outerHeight - clientHeight) / clientHeight;
    setUserScale(1);

    const float ax = 1 - m_sim.BorderRatioX;
    const float ay = 1 - m_sim.BorderRatioY;
    const float left = -100 * ax;
    const float bottom = -100 * ay;
    const int barHeight = qRound(375 / tpp);
    const auto place = [this](QWidget *widget, float x, float top, float width, int heightPx) {
        const QPointF topLeft = m_surface->toPixel(x, top);
        const QPointF right = m_surface->toPixel(x + width, top);
        widget->setGeometry(
            qRound(topLeft.x()), qRound(topLeft.y()), qRound(right.x() - topLeft.x()), heightPx);
    };
    const auto unitsHigh = [this](float units) {
        return qRound(m_surface->toPixel(0, -units).y() - m_surface->toPixel(0, 0).y());
    };
    place(STAKENTR, left, bottom + 20, 20, barHeight);
    place(MAGNHTIO, left, bottom + 15, 20, barHeight);
    place(ARXIVX, left, bottom + 25, 20, barHeight);
    place(VIMAXRO, left, bottom + 30, 20, barHeight);
    place(klimaka, left, bottom + 35, 20, barHeight);

    const int labelHeight = unitsHigh(5);
    place(Label1, left + 20, bottom + 20, 30, labelHeight);
    place(Label2, left + 20, bottom + 15, 30, labelHeight);
    place(Label3, left + 20, bottom + 25, 30, labelHeight);
    place(Label4, left + 20, bottom + 30, 30, labelHeight);
    place(Label5, left + 20, bottom + 35, 30, qRound(255 / tpp));
    writeLabel1();
    writeLabel2();
    writeLabel3();
    writeLabel4();
    writeLabel5();
}

void MainWindow::fitFrame()
{
    if (!isPlaceable(*this))
        return;
    const QMargins frame = frameMargins(*this);
    if (frame == m_screen.frame)
        return;
    // The scale follows the frame, so what was drawn no longer fits: start from the
    // picture the window opens with.
    m_screen.frame = frame;
    layOut(m_screen);
    m_surface->cls();
    setUserScale(klimaka->value());
    drawReferenceCircle();
}

void MainWindow::showEvent(QShowEvent *)
{
    fitFrame();
}

void MainWindow::moveEvent(QMoveEvent *)
{
    fitFrame();
}

void MainWindow::resizeEvent(QResizeEvent *)
{
    fitFrame();
}

void MainWindow::setUserScale(int scaleFactor)
{
    const float ax = 1 - m_sim.BorderRatioX;
    const float ay = 1 - m_sim.BorderRatioY;
    const float s = static_cast<float>(scaleFactor);
    m_surface->scale(-100 * ax * s, 100 * ay * s, 100 * ax * s, -100 * ay * s);
}

void MainWindow::drawReferenceCircle()
{
    m_surface->setDrawWidth(1);
    m_surface->setDrawStyle(DrawStyle::DashDot);
    m_surface->circle(0, 0, m_sim.params.R0, ReferenceCircleColour);
    m_surface->setDrawStyle(DrawStyle::Solid);
}

void MainWindow::writeLabel1()
{
    Label1->setText(QStringLiteral("σταθερή = ")
        + formatNumber(
            springConstant(static_cast<std::int16_t>(STAKENTR->value())), NumberPattern::Whole));
}

void MainWindow::writeLabel2()
{
    Label2->setText(QStringLiteral(" Μαγνητικό = ")
        + formatNumber(MAGNHTIO->value(), NumberPattern::TwoDecimals));
}

void MainWindow::writeLabel3()
{
    Label3->setText(
        QStringLiteral(" ΑΡΧΙΚΗ VX= ") + formatNumber(ARXIVX->value(), NumberPattern::TwoDecimals));
}

void MainWindow::writeLabel4()
{
    Label4->setText(QStringLiteral("Πολλ. χρόνου = ")
        + formatNumber(VIMAXRO->value() / 100.0, NumberPattern::TwoDecimals));
}

void MainWindow::writeLabel5()
{
    Label5->setText(
        QStringLiteral("Κλίμακα= ") + formatNumber(klimaka->value(), NumberPattern::Whole));
}

void MainWindow::switchCurvatureCircleOff()
{
    KAMPYLOTHTA->setChecked(false);
    m_sim.switches.CurvatureCircle = false;
}

void MainWindow::ResetRun()
{
    switchCurvatureCircleOff();
    resetRunState(m_sim, sliderValues());
    setUserScale(klimaka->value());
    drawReferenceCircle();
}

void MainWindow::stepAndDraw()
{
    const StepResult result = StepMotion(m_sim);
    if (result.outcome == StepOutcome::Sample)
        DrawStepScene(
            *m_surface, m_sim, result.sample, static_cast<std::int16_t>(MAGNHTIO->value()));
    else
        m_timer->setEnabled(false);
}

void MainWindow::Command1_Click()
{
    HandlerScope scope(*this);
    m_sim.state.HasTrack = false;
    m_sim.state.VX = startVelocityX(m_sim, static_cast<std::int16_t>(ARXIVX->value()));
    m_sim.state.VX0 = m_sim.state.VX;
    showMessage(formatPlain(m_sim.state.VX0));
    m_timer->setEnabled(true);
    m_timer->setInterval(1);
}

void MainWindow::Command2_Click()
{
    HandlerScope scope(*this);
    m_timer->setEnabled(false);
    rewindParticle(m_sim, startVelocityX(m_sim, static_cast<std::int16_t>(ARXIVX->value())));
    m_sim.state.SampleIndex = 0;
}

void MainWindow::Command3_Click()
{
    HandlerScope scope(*this);
    m_timer->setEnabled(false);
    stepAndDraw();
}

void MainWindow::Command4_Click()
{
    HandlerScope scope(*this);
    m_timer->setEnabled(true);
}

void MainWindow::Command5_Click()
{
    HandlerScope scope(*this);
    ShowCurvatureGraph(m_curvatureWindow, m_sim, *m_timer,
        m_screen.heightPixels * m_screen.twipsPerPixel, m_screen.twipsPerPixel);
}

void MainWindow::Timer1_Timer()
{
    if (m_handlerDepth > 0)
        return;
    HandlerScope scope(*this, true);
    stepAndDraw();
}

void MainWindow::MERIKESDYN_Click()
{
    m_sim.switches.ShowForces = !m_sim.switches.ShowForces;
}

void MainWindow::eidiki_Click()
{
    m_sim.switches.FoucaultMode = !m_sim.switches.FoucaultMode;
}

void MainWindow::KAMPYLOTHTA_Click()
{
    m_sim.switches.CurvatureCircle = !m_sim.switches.CurvatureCircle;
}

void MainWindow::ARXIVX_Change()
{
    HandlerScope scope(*this);
    m_surface->cls();
    switchCurvatureCircleOff();
    m_timer->setEnabled(false);
    m_sim.state.SampleIndex = 0;
    writeLabel3();
    ResetRun();
}

void MainWindow::klimaka_Change()
{
    HandlerScope scope(*this);
    writeLabel5();
    m_surface->cls();
    switchCurvatureCircleOff();
    ResetRun();
}

void MainWindow::VIMAXRO_Change()
{
    HandlerScope scope(*this);
    m_sim.params.DT = timeStep(static_cast<std::int16_t>(VIMAXRO->value()));
    switchCurvatureCircleOff();
    writeLabel4();
}

void MainWindow::MAGNHTIO_Change()
{
    springOrFieldChanged();
}

void MainWindow::STAKENTR_Change()
{
    springOrFieldChanged();
}

void MainWindow::springOrFieldChanged()
{
    HandlerScope scope(*this);
    m_surface->cls();
    m_timer->setEnabled(false);
    m_sim.state.SampleIndex = 0;
    switchCurvatureCircleOff();
    writeLabel1();
    writeLabel2();
    ResetRun();
    DrawFieldSymbol(*m_surface, static_cast<std::int16_t>(MAGNHTIO->value()));
}

void MainWindow::pictureChanged(const QRect &dirty)
{
    if (!isVisible())
        return;
    m_pictureChanges |= dirty;
    // The first change after a quiet spell shows at once, the others a frame later.
    if (!m_frameTimer.isActive()) {
        paintPictureChanges();
        const qreal refreshRate = screen() ? screen()->refreshRate() : 0;
        m_frameTimer.start(qBound(4, qRound(1000 / (refreshRate > 0 ? refreshRate : 60)), 100));
    }
}

void MainWindow::paintPictureChanges()
{
    if (m_pictureChanges.isEmpty()) {
        m_frameTimer.stop();
        return;
    }
    update(m_pictureChanges);
    m_pictureChanges = QRect();
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintBackingImage(painter, event->rect(), m_surface->image());
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    // Labels and the margins of check boxes pass presses on; those are not on the window.
    if (childAt(event->position().toPoint()))
        return;
    const auto [x, y] = m_surface->toUser(event->position());
    Form_MouseDown(static_cast<float>(x), static_cast<float>(y));
}

void MainWindow::Form_MouseDown(float x, float y)
{
    HandlerScope scope(*this);
    ProbeTrack(*m_surface, m_sim, x, y);
}

} // namespace kentrikh
