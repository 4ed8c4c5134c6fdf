#pragma once

// The behaviour of the main window kentrikh, free of any toolkit: the handlers of its
// buttons, switches, scroll bars, timer and presses, the layout of its controls, the
// captions of its labels and its picture. A shell (the desktop's widgets, the web page)
// forwards the user's events to the handlers and mirrors what the controller changes:
// a box unchecked from code, a label's caption. The handlers keep the names of the
// controls and events they answer.

#include "controller/timer.h"
#include "motion/state.h"
#include "pixels/buffer_surface.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace kentrikh {

enum class Command { Command1, Command2, Command3, Command4, Command5 };
enum class Box { KAMPYLOTHTA, eidiki, MERIKESDYN };
enum class Bar { MAGNHTIO, STAKENTR, ARXIVX, VIMAXRO, klimaka };
inline constexpr int CommandCount = 5;
inline constexpr int BoxCount = 3;
inline constexpr int BarCount = 5;
inline constexpr int LabelCount = 5;

// A scroll bar's range and steps as designed.
struct BarDesign
{
    const char *name;
    int min;
    int max;
    int smallChange;
    int largeChange;
    int value;
};
const BarDesign &barDesign(Bar bar);
const char *commandCaption(Command command);
const char *boxCaption(Box box);
inline constexpr char WindowCaption[] = "KINHSH SE F=K.X KAI SE B";

struct Margins
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Margins &, const Margins &) = default;
};

// Where the window is laid out: the screen's height, its twips per pixel and the frame
// the platform puts around a top-level window.
struct ScreenLayout
{
    int heightPixels = 1080;
    double twipsPerPixel = 15;
    Margins frame;
};

// The client area and every control on it, in device-independent pixels of the client
// area; the window's outer frame is a square screen-high at the screen's top left.
struct WindowLayout
{
    PixelSize client;
    std::array<PixelRect, CommandCount> commands;
    std::array<PixelRect, BoxCount> boxes;
    std::array<PixelRect, BarCount> bars;
    std::array<PixelRect, LabelCount> labels; // Label1 to Label5
};

// What the controller needs from the window it drives.
class ControllerShell
{
public:
    virtual ~ControllerShell() = default;

    // A modal box with the text and an OK button; returns once it has been closed.
    virtual void showMessage(const std::string &text) = 0;
    // A box's state changed from code (its Click handler has run): show it.
    virtual void boxChanged(Box box, bool checked) = 0;
    // Label 1 to 5 has a new caption.
    virtual void labelChanged(int label, const std::string &text) = 0;

    // Draws on a picture and may give it its size first.
    using GraphDrawing
        = std::function<void(Surface &picture, const std::function<void()> &sizePicture)>;
    // RADIUS OF CURVATURE: the curvature window, square, sideTwips on a side, at the screen's
    // top left corner, shown in front; then draw() on its picture, which takes the window's
    // outer size when draw() asks for a size. Message boxes during draw() belong to it.
    virtual void showCurvatureGraph(double sideTwips, const GraphDrawing &draw) = 0;
};

class MainController
{
public:
    // The picture of the main window, at the client area's size in device-independent
    // pixels, twipsPerPixel twips to each.
    using SurfaceFactory
        = std::function<std::unique_ptr<BufferSurface>(PixelSize size, double twipsPerPixel)>;

    // decimalPoint: the user's decimal separator, UTF-8.
    MainController(ControllerShell &shell, Timer &timer, SurfaceFactory makeSurface,
        std::string decimalPoint = ".");
    ~MainController();
    MainController(const MainController &) = delete;
    MainController &operator=(const MainController &) = delete;

    // The start-up in two halves, so that a shell can show its window in between: the
    // controls laid out in the drawing scale and the captions; then the first values of the
    // simulation and the reference circle. No handler runs.
    void layOut(const ScreenLayout &screen);
    void start();
    // Both halves.
    void Main(const ScreenLayout &screen);

    // The window manager framed the window anew: lay it out for that frame and start the
    // picture afresh. False, with nothing changed, when the frame is the one laid out for.
    bool fitFrame(const Margins &frame);

    const ScreenLayout &screen() const { return m_screen; }
    const WindowLayout &layout() const { return m_layout; }

    // The user's events. setBar and setBox run the control's handler when the value
    // changes; a bar's value is clamped to its range.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void click(Command command);
    void setBar(Bar bar, int value);
    void setBox(Box box, bool checked);
    // The timer's tick. Ignored while another handler runs (inside its message box, say).
    void Timer1_Timer();
    // A press on the window itself (not on a control), in user coordinates.
    void Form_MouseDown(float x, float y);
    // The same for a press at a point of the client area in device-independent pixels.
    void pressAt(double pixelX, double pixelY);

    int barValue(Bar bar) const { return m_bars[std::size_t(bar)]; }
    bool boxChecked(Box box) const { return m_boxes[std::size_t(box)]; }
    const std::string &label(int number) const { return m_labels[std::size_t(number - 1)]; }
    SliderValues sliderValues() const;

    Simulation &simulation() { return m_sim; }
    const Simulation &simulation() const { return m_sim; }
    BufferSurface &surface() { return *m_surface; }
    const BufferSurface &surface() const { return *m_surface; }

private:
    class HandlerScope;

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
    void setLabel(int number, std::string text);
    void writeLabel1();
    void writeLabel2();
    void writeLabel3();
    void writeLabel4();
    void writeLabel5();

    ControllerShell &m_shell;
    Timer &m_timer;
    SurfaceFactory m_makeSurface;
    std::string m_decimalPoint;
    Simulation m_sim;
    ScreenLayout m_screen;
    WindowLayout m_layout;
    std::unique_ptr<BufferSurface> m_surface;
    std::array<int, BarCount> m_bars {};
    std::array<bool, BoxCount> m_boxes {};
    std::array<std::string, LabelCount> m_labels;
    int m_handlerDepth = 0;
};

} // namespace kentrikh
