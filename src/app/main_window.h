#pragma once

// The main window kentrikh: the drawing area with the run buttons, the three switches and
// the five parameter scroll bars on it, and every event handler of the simulation. The
// handlers keep the names of the controls and events they answer.

#include "motion/state.h"
#include "platform/image_surface.h"
#include "platform/timer.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QScrollBar;

namespace kentrikh {

class CurvatureWindow;
class WrappingCheckBox;

// Where the window is laid out: the screen's height, its twips per pixel and the frame
// the platform puts around a top-level window.
struct ScreenLayout
{
    int heightPixels = 1080;
    double twipsPerPixel = 15;
    QMargins frame;
};

class MainWindow : public QWidget
{
public:
    MainWindow();
    ~MainWindow() override;

    // The start-up: a square as high as the screen at its top left corner, the controls
    // laid out in the drawing scale, the captions, the reference circle and the first
    // values of the simulation. No handler runs.
    void Main(const ScreenLayout &screen, bool show);

    Simulation &simulation() { return m_sim; }
    const Simulation &simulation() const { return m_sim; }
    ImageSurface &surface() { return *m_surface; }
    SimTimer &Timer1() { return *m_timer; }
    SliderValues sliderValues() const;
    // The curvature window once RADIUS OF CURVATURE has opened it, else null.
    CurvatureWindow *curvatureWindow() const { return m_curvatureWindow.get(); }

    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5;
    WrappingCheckBox *KAMPYLOTHTA, *eidiki, *MERIKESDYN;
    QScrollBar *MAGNHTIO, *STAKENTR, *ARXIVX, *VIMAXRO, *klimaka;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;

    // The timer's tick, public so that headless runs and tests can drive the clock.
    void Timer1_Timer();

    // A press on the window itself (not on a control), in user coordinates.
    void Form_MouseDown(float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void layOut(const ScreenLayout &screen);
    // A window manager frames the window only after it is shown, and may change the frame
    // later: the window is laid out again for the frame it really has.
    void fitFrame();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void MERIKESDYN_Click();
    void eidiki_Click();
    void KAMPYLOTHTA_Click();
    void ARXIVX_Change();
    void klimaka_Change();
    void VIMAXRO_Change();
    void MAGNHTIO_Change();
    void STAKENTR_Change();
    void springOrFieldChanged();

    void ResetRun();
    void switchCurvatureCircleOff();
    void setUserScale(int scaleFactor);
    void drawReferenceCircle();
    void stepAndDraw();

    // Handlers run one at a time: a tick that falls due while another handler runs
    // (inside a message box's event loop, say) is dropped, as a busy timer would drop it,
    // and the timer does not make up afterwards for the time the handler took.
    struct HandlerScope
    {
        explicit HandlerScope(MainWindow &w, bool tick = false)
            : window(w)
            , isTick(tick)
        {
            ++window.m_handlerDepth;
        }
        ~HandlerScope()
        {
            if (--window.m_handlerDepth == 0 && !isTick)
                window.m_timer->restartSchedule();
        }
        MainWindow &window;
        bool isTick;
    };

    // The screen shows at most one picture a display frame: changes of the picture are
    // gathered and painted together.
    void pictureChanged(const QRect &dirty);
    void paintPictureChanges();

    void writeLabel1();
    void writeLabel2();
    void writeLabel3();
    void writeLabel4();
    void writeLabel5();

    Simulation m_sim;
    ScreenLayout m_screen;
    std::unique_ptr<CurvatureWindow> m_curvatureWindow;
    std::unique_ptr<ImageSurface> m_surface;
    std::unique_ptr<SimTimer> m_timer;
    int m_handlerDepth = 0;
    qreal m_devicePixelRatio = 1;
    QRect m_pictureChanges;
    QTimer m_frameTimer;
};

} // namespace kentrikh
