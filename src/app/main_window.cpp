#include "app/main_window.h"

#include "app/focus_scroll_bar.h"
#include "app/window_actions.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_graph.h"
#include "curvature_window/curvature_window.h"
#include "platform/backing_image.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "platform/screen_metrics.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace kentrikh {

namespace {

QScrollBar *makeScrollBar(QWidget *parent, Bar bar)
{
    const BarDesign &design = barDesign(bar);
    auto *scrollBar = new FocusScrollBar(parent);
    scrollBar->setObjectName(QString::fromLatin1(design.name));
    scrollBar->setRange(design.min, design.max);
    scrollBar->setSingleStep(design.smallChange);
    scrollBar->setPageStep(design.largeChange);
    scrollBar->setValue(design.value);
    // The value changes when a dragged thumb is released, at once for arrows and trough.
    scrollBar->setTracking(false);
    return scrollBar;
}

QRect toQRect(const PixelRect &r)
{
    return {r.x, r.y, r.width, r.height};
}

} // namespace

MainWindow::MainWindow()
    : m_controller(
        *this, m_timer,
        [this](PixelSize size, double twipsPerPixel) {
            auto surface = std::make_unique<ImageSurface>(
                QSize(size.width, size.height), twipsPerPixel, font(), m_devicePixelRatio);
            surface->setChangedHandler([this](const QRect &dirty) { pictureChanged(dirty); });
            return surface;
        },
        decimalPointOf())
{
    setObjectName(QStringLiteral("kentrikh"));
    setWindowTitle(QString::fromUtf8(WindowCaption));
    setAttribute(Qt::WA_OpaquePaintEvent);
    createControls();
    m_timer.setTickHandler([this] { Timer1_Timer(); });
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] { paintPictureChanges(); });
    addWindowActions(*this);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    QPushButton **const commands[] = {&Command1, &Command2, &Command3, &Command4, &Command5};
    for (int i = 0; i < CommandCount; ++i) {
        const auto command = Command(i);
        QPushButton *button = new QPushButton(QString::fromUtf8(commandCaption(command)), this);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        connect(
            button, &QPushButton::clicked, this, [this, command] { m_controller.click(command); });
        *commands[i] = button;
    }
    WrappingCheckBox **const boxes[] = {&KAMPYLOTHTA, &eidiki, &MERIKESDYN};
    for (int i = 0; i < BoxCount; ++i) {
        const auto which = Box(i);
        auto *checkBox = new WrappingCheckBox(QString::fromUtf8(boxCaption(which)), this);
        // A box's handler runs on every change of its state, also one made from code.
        connect(checkBox, &QCheckBox::toggled, this,
            [this, which](bool checked) { m_controller.setBox(which, checked); });
        *boxes[i] = checkBox;
    }
    KAMPYLOTHTA->setObjectName(QStringLiteral("KAMPYLOTHTA"));
    eidiki->setObjectName(QStringLiteral("eidiki"));
    MERIKESDYN->setObjectName(QStringLiteral("MERIKESDYN"));

    QScrollBar **const bars[] = {&MAGNHTIO, &STAKENTR, &ARXIVX, &VIMAXRO, &klimaka};
    for (int i = 0; i < BarCount; ++i) {
        const auto which = Bar(i);
        QScrollBar *bar = makeScrollBar(this, which);
        connect(bar, &QScrollBar::valueChanged, this,
            [this, which](int value) { m_controller.setBar(which, value); });
        *bars[i] = bar;
    }
    QLabel **const labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
    for (int i = 0; i < LabelCount; ++i) {
        *labels[i] = new QLabel(QStringLiteral("Label%1").arg(i + 1), this);
        (*labels[i])->setFocusPolicy(Qt::NoFocus);
    }

    // Focus order as designed; the labels between take no focus.
    QWidget *const tabOrder[] = {MAGNHTIO, STAKENTR, Command1, Command2, ARXIVX, Command3, Command4,
        VIMAXRO, klimaka, KAMPYLOTHTA, eidiki, MERIKESDYN, Command5};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

QCheckBox *MainWindow::box(Box box) const
{
    switch (box) {
    case Box::KAMPYLOTHTA:
        return KAMPYLOTHTA;
    case Box::eidiki:
        return eidiki;
    case Box::MERIKESDYN:
        return MERIKESDYN;
    }
    return nullptr;
}

void MainWindow::Main(const WindowScreen &screen, bool show)
{
    // A window on the screen draws at the screen's pixels; pictures for files stay at one
    // pixel a pixel, whatever the screen.
    m_devicePixelRatio = show ? devicePixelRatioF() : 1;
    const QMargins &frame = screen.frame;
    m_controller.layOut({screen.heightPixels, screen.twipsPerPixel,
        {frame.left(), frame.top(), frame.right(), frame.bottom()}});
    placeControls();
    // The control first in the focus order has the focus when the window opens.
    MAGNHTIO->setFocus();
    if (show)
        QWidget::show();
    m_controller.start();
}

void MainWindow::placeControls()
{
    const WindowLayout &layout = m_controller.layout();
    QWidget *const commands[] = {Command1, Command2, Command3, Command4, Command5};
    for (int i = 0; i < CommandCount; ++i)
        commands[i]->setGeometry(toQRect(layout.commands[std::size_t(i)]));
    for (int i = 0; i < BoxCount; ++i)
        box(Box(i))->setGeometry(toQRect(layout.boxes[std::size_t(i)]));
    move(0, 0);
    resize(layout.client.width, layout.client.height);
    QWidget *const bars[] = {MAGNHTIO, STAKENTR, ARXIVX, VIMAXRO, klimaka};
    for (int i = 0; i < BarCount; ++i)
        bars[i]->setGeometry(toQRect(layout.bars[std::size_t(i)]));
    QWidget *const labels[] = {Label1, Label2, Label3, Label4, Label5};
    for (int i = 0; i < LabelCount; ++i)
        labels[i]->setGeometry(toQRect(layout.labels[std::size_t(i)]));
}

void MainWindow::fitFrame()
{
    if (!isPlaceable(*this))
        return;
    const QMargins frame = frameMargins(*this);
    if (m_controller.fitFrame({frame.left(), frame.top(), frame.right(), frame.bottom()}))
        placeControls();
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

void MainWindow::showMessage(const std::string &text)
{
    kentrikh::showMessage(QString::fromStdString(text));
}

void MainWindow::boxChanged(Box which, bool checked)
{
    const QSignalBlocker quiet(box(which));
    box(which)->setChecked(checked);
}

void MainWindow::labelChanged(int label, const std::string &text)
{
    QLabel *const labels[] = {Label1, Label2, Label3, Label4, Label5};
    labels[label - 1]->setText(QString::fromStdString(text));
}

void MainWindow::showCurvatureGraph(double sideTwips, const GraphDrawing &draw)
{
    ShowCurvatureGraph(m_curvatureWindow, sideTwips, m_controller.screen().twipsPerPixel, draw);
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
    paintBackingImage(painter, event->rect(), surface().image());
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    // Labels and the margins of check boxes pass presses on; those are not on the window.
    if (childAt(event->position().toPoint()))
        return;
    const QPointF at = event->position();
    m_controller.pressAt(at.x(), at.y());
}

} // namespace kentrikh
