#pragma once

// The main window kentrikh on the desktop: the drawing area with the run buttons, the three
// switches and the five parameter scroll bars on it. Its behaviour is the controller's.

#include "controller/main_controller.h"
#include "motion/state.h"
#include "platform/image_surface.h"
#include "platform/timer.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace kentrikh {

class CurvatureWindow;
class WrappingCheckBox;

// Where the window is laid out: the screen's height, its twips per pixel and the frame
// the platform puts around a top-level window.
struct WindowScreen
{
    int heightPixels = 1080;
    double twipsPerPixel = 15;
    QMargins frame;
};

// The window forwards the user's events to the controller's handlers and shows what they
// change: the picture, the captions, a box unchecked from code, the curvature window.
class MainWindow : public QWidget, private ControllerShell
{
public:
    MainWindow();
    ~MainWindow() override;

    // The start-up: a square as high as the screen at its top left corner, the controls
    // laid out in the drawing scale, the captions, the reference circle and the first
    // values of the simulation. No handler runs.
    void Main(const WindowScreen &screen, bool show);

    Simulation &simulation() { return m_controller.simulation(); }
    const Simulation &simulation() const { return m_controller.simulation(); }
    ImageSurface &surface() { return static_cast<ImageSurface &>(m_controller.surface()); }
    SimTimer &Timer1() { return m_timer; }
    SliderValues sliderValues() const { return m_controller.sliderValues(); }
    // The curvature window once RADIUS OF CURVATURE has opened it, else null.
    CurvatureWindow *curvatureWindow() const { return m_curvatureWindow.get(); }

    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5;
    WrappingCheckBox *KAMPYLOTHTA, *eidiki, *MERIKESDYN;
    QScrollBar *MAGNHTIO, *STAKENTR, *ARXIVX, *VIMAXRO, *klimaka;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;

    // The timer's tick, public so that headless runs and tests can drive the clock.
    void Timer1_Timer() { m_controller.Timer1_Timer(); }

    // A press on the window itself (not on a control), in user coordinates.
    void Form_MouseDown(float x, float y) { m_controller.Form_MouseDown(x, y); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showMessage(const std::string &text) override;
    void boxChanged(Box box, bool checked) override;
    void labelChanged(int label, const std::string &text) override;
    void showCurvatureGraph(double sideTwips, const GraphDrawing &draw) override;

    void createControls();
    QCheckBox *box(Box box) const;
    // The controls where the controller laid them out.
    void placeControls();
    // A window manager frames the window only after it is shown, and may change the frame
    // later: the window is laid out again for the frame it really has.
    void fitFrame();

    // The screen shows at most one picture a display frame: changes of the picture are
    // gathered and painted together.
    void pictureChanged(const QRect &dirty);
    void paintPictureChanges();

    SimTimer m_timer;
    MainController m_controller;
    std::unique_ptr<CurvatureWindow> m_curvatureWindow;
    qreal m_devicePixelRatio = 1;
    QRect m_pictureChanges;
    QTimer m_frameTimer;
};

} // namespace kentrikh
