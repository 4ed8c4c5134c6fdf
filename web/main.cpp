// The web page's side of the program: a shell around the main window's controller that the
// page's script drives through the C functions below. The script forwards the user's events,
// and the shell answers through the page's callbacks: a label's caption, a box's state, a
// message box, the curvature panel and the pixels that changed on a picture.
//
// Message boxes hold the handler that opened them until OK is pressed: the module sleeps
// (Asyncify) while the page shows the dialog, and the page makes no other call meanwhile.

#include "controller/main_controller.h"
#include "controller/tick_schedule.h"
#include "controller/track_csv.h"
#include "curvature_window/graph_drawing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <emscripten.h>
#include <memory>
#include <string>
#include <vector>

// The page's callbacks, given to the module when it is created. Their bodies are JavaScript.
// clang-format off
EM_ASYNC_JS(void, pageShowMessage, (const char *text), {
    await Module.showMessage(UTF8ToString(text));
});
EM_JS(void, pageLabelChanged, (int label, const char *text), {
    Module.labelChanged(label, UTF8ToString(text));
});
EM_JS(void, pageBoxChanged, (int box, int checked), {
    Module.boxChanged(box, checked !== 0);
});
EM_JS(void, pageShowGraph, (int outerSide), {
    Module.showGraph(outerSide);
});
// A picture's RGBA pixels (width x height device pixels, shown as cssWidth x cssHeight
// pixels of the page) and the area of them that changed.
EM_JS(void, pagePaint, (int picture, const std::uint8_t *rgba, int width, int height,
                        int cssWidth, int cssHeight, int x, int y, int changedWidth,
                        int changedHeight), {
    Module.paint(picture, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height,
        cssWidth, cssHeight, x, y, changedWidth, changedHeight);
});
// clang-format on

namespace kentrikh {
namespace {

constexpr double TwipsPerPixel = 15;

enum Picture { MainPicture = 0, GraphPicture = 1 };

int pixelsOf(double twips)
{
    return roundedPixels(twips / TwipsPerPixel);
}

TickSchedule::Clock::time_point clockAt(double milliseconds)
{
    return TickSchedule::Clock::time_point(
        std::chrono::duration_cast<TickSchedule::Clock::duration>(
            std::chrono::duration<double, std::milli>(milliseconds)));
}

// A picture as the page shows it: the surface's pixels copied as RGBA where they changed.
class PagePicture
{
public:
    PagePicture(Picture id, std::unique_ptr<BufferSurface> surface)
        : m_id(id)
        , m_surface(std::move(surface))
    {
        watch(*m_surface);
    }

    // A picture another owns: the main window's belongs to the controller, whose factory
    // hands each new one to watch().
    explicit PagePicture(Picture id)
        : m_id(id)
    {
    }

    void watch(BufferSurface &surface)
    {
        m_watched = &surface;
        surface.onChange([this](const PixelRect &area) { changed(area); });
        m_whole = true;
    }

    BufferSurface &surface() { return *m_surface; }

    // Sends what changed since the last flush to the page; returns whether anything did.
    bool flush()
    {
        if (!m_watched)
            return false;
        const PixelSize size = m_watched->deviceSize();
        if (size.width != m_width || size.height != m_height) {
            m_width = size.width;
            m_height = size.height;
            m_rgba.assign(std::size_t(m_width) * std::size_t(m_height) * 4, 0);
            m_whole = true;
        }
        // The changed area is in device-independent pixels; the buffer in device pixels.
        const double ratio = m_watched->devicePixelRatio();
        int left = 0;
        int top = 0;
        int right = m_width;
        int bottom = m_height;
        if (!m_whole) {
            left = std::max(int(std::floor(m_dirty.x * ratio)), 0);
            top = std::max(int(std::floor(m_dirty.y * ratio)), 0);
            right = std::min(int(std::ceil((m_dirty.x + m_dirty.width) * ratio)), m_width);
            bottom = std::min(int(std::ceil((m_dirty.y + m_dirty.height) * ratio)), m_height);
        }
        m_dirty = {};
        m_whole = false;
        if (left >= right || top >= bottom)
            return false;
        const std::uint32_t *pixels = m_watched->constPixels();
        const int stride = m_watched->stride();
        for (int row = top; row < bottom; ++row) {
            const std::uint32_t *from = pixels + std::size_t(row) * std::size_t(stride);
            std::uint8_t *to = m_rgba.data() + (std::size_t(row) * std::size_t(m_width)) * 4;
            for (int column = left; column < right; ++column) {
                const std::uint32_t word = from[column];
                std::uint8_t *rgba = to + std::size_t(column) * 4;
                rgba[0] = std::uint8_t(word >> 16);
                rgba[1] = std::uint8_t(word >> 8);
                rgba[2] = std::uint8_t(word);
                rgba[3] = 0xff;
            }
        }
        pagePaint(m_id, m_rgba.data(), m_width, m_height, m_watched->size().width,
            m_watched->size().height, left, top, right - left, bottom - top);
        return true;
    }

private:
    void changed(const PixelRect &area)
    {
        if (area.isEmpty())
            return;
        if (m_dirty.isEmpty()) {
            m_dirty = area;
            return;
        }
        const int left = std::min(m_dirty.x, area.x);
        const int top = std::min(m_dirty.y, area.y);
        const int right = std::max(m_dirty.x + m_dirty.width, area.x + area.width);
        const int bottom = std::max(m_dirty.y + m_dirty.height, area.y + area.height);
        m_dirty = {left, top, right - left, bottom - top};
    }

    Picture m_id;
    std::unique_ptr<BufferSurface> m_surface;
    BufferSurface *m_watched = nullptr;
    PixelRect m_dirty;
    bool m_whole = false;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_rgba;
};

// The animation timer. The page's display frames deliver its ticks: each frame stands for
// the ticks that fell due since the last one (see TickSchedule).
class PageTimer : public Timer
{
public:
    void setEnabled(bool enabled) override
    {
        if (enabled != m_enabled) {
            m_enabled = enabled;
            restartSchedule();
        }
    }
    bool enabled() const override { return m_enabled; }
    void setInterval(int milliseconds) override
    {
        milliseconds = std::max(milliseconds, 0);
        if (milliseconds != m_interval) {
            m_interval = milliseconds;
            restartSchedule();
        }
    }
    int interval() const override { return m_interval; }
    void restartSchedule() override { m_schedule.restart(clockAt(emscripten_get_now())); }

    bool ticking() const { return m_enabled && m_interval > 0; }
    int ticksAt(double now)
    {
        return m_schedule.ticksFor(clockAt(now), std::chrono::milliseconds(m_interval));
    }

private:
    bool m_enabled = false;
    int m_interval = 0;
    TickSchedule m_schedule;
};

class WebShell : public ControllerShell
{
public:
    // The pictures have devicePixelRatio device pixels to each pixel of the page, so that
    // lines stay sharp on high-density screens.
    WebShell(int screenHeight, double devicePixelRatio)
        : m_devicePixelRatio(devicePixelRatio)
        , m_controller(*this, m_timer, [this](PixelSize size, double twipsPerPixel) {
            auto surface = std::make_unique<BufferSurface>(size, twipsPerPixel, m_devicePixelRatio);
            m_main.watch(*surface);
            return surface;
        })
    {
        m_controller.Main({screenHeight, TwipsPerPixel, {}});
        flush();
    }

    MainController &controller() { return m_controller; }
    PageTimer &timer() { return m_timer; }

    // The page closed the curvature panel: the next press opens a new one.
    void closeGraph() { m_graphClosed = true; }

    // Sends the changed pixels of both pictures; returns whether any changed.
    bool flush()
    {
        const bool main = m_main.flush();
        const bool graph = m_graph && m_graph->flush();
        return main || graph;
    }

    void showMessage(const std::string &text) override
    {
        // The dialog stands over the pictures as drawn so far.
        flush();
        pageShowMessage(text.c_str());
        // The time the dialog stood open is not made up with ticks afterwards.
        m_timer.restartSchedule();
    }
    void boxChanged(Box box, bool checked) override { pageBoxChanged(int(box), checked); }
    void labelChanged(int label, const std::string &text) override
    {
        pageLabelChanged(label, text.c_str());
    }
    void showCurvatureGraph(double sideTwips, const GraphDrawing &draw) override
    {
        if (!m_graph || m_graphClosed) {
            m_graph = std::make_unique<PagePicture>(GraphPicture,
                std::make_unique<BufferSurface>(
                    PixelSize {pixelsOf(GraphPictureWidthTwips), pixelsOf(GraphPictureHeightTwips)},
                    TwipsPerPixel, m_devicePixelRatio));
            m_graphClosed = false;
        }
        const int side = std::max(1, pixelsOf(sideTwips));
        pageShowGraph(side);
        // The picture takes the panel's outer size and so reaches past its client area.
        BufferSurface &picture = m_graph->surface();
        draw(picture, [&picture, side] { picture.resize({side, side}); });
        flush();
    }

private:
    double m_devicePixelRatio;
    PageTimer m_timer;
    PagePicture m_main {MainPicture};
    std::unique_ptr<PagePicture> m_graph;
    bool m_graphClosed = false;
    MainController m_controller;
};

std::unique_ptr<WebShell> shell;
std::string text;
std::vector<int> numbers;

void putRect(const PixelRect &rect)
{
    numbers.insert(numbers.end(), {rect.x, rect.y, rect.width, rect.height});
}

} // namespace
} // namespace kentrikh

using namespace kentrikh;

extern "C" {

// The screen's height in pixels: the window is laid out as a square that high. Ratios below
// 1 (a page zoomed out) draw at 1.
EMSCRIPTEN_KEEPALIVE void kentrikh_start(int screenHeight, double devicePixelRatio)
{
    shell.reset();
    shell = std::make_unique<WebShell>(screenHeight, std::max(devicePixelRatio, 1.0));
}

// The client area's width and height, then x, y, width, height of the five buttons, the
// three boxes, the five bars and the five labels, in pixels of the client area.
EMSCRIPTEN_KEEPALIVE const int *kentrikh_layout()
{
    const WindowLayout &layout = shell->controller().layout();
    numbers = {layout.client.width, layout.client.height};
    for (const PixelRect &rect : layout.commands)
        putRect(rect);
    for (const PixelRect &rect : layout.boxes)
        putRect(rect);
    for (const PixelRect &rect : layout.bars)
        putRect(rect);
    for (const PixelRect &rect : layout.labels)
        putRect(rect);
    return numbers.data();
}

// Minimum, maximum, small and large change and the value of a bar as designed.
EMSCRIPTEN_KEEPALIVE const int *kentrikh_barDesign(int bar)
{
    const BarDesign &design = barDesign(Bar(bar));
    numbers = {design.min, design.max, design.smallChange, design.largeChange, design.value};
    return numbers.data();
}

EMSCRIPTEN_KEEPALIVE const char *kentrikh_commandCaption(int command)
{
    return commandCaption(Command(command));
}

EMSCRIPTEN_KEEPALIVE const char *kentrikh_boxCaption(int box)
{
    return boxCaption(Box(box));
}

EMSCRIPTEN_KEEPALIVE const char *kentrikh_windowCaption()
{
    return WindowCaption;
}

EMSCRIPTEN_KEEPALIVE const char *kentrikh_label(int label)
{
    return shell->controller().label(label).c_str();
}

EMSCRIPTEN_KEEPALIVE int kentrikh_barValue(int bar)
{
    return shell->controller().barValue(Bar(bar));
}

EMSCRIPTEN_KEEPALIVE int kentrikh_boxChecked(int box)
{
    return shell->controller().boxChecked(Box(box));
}

// The user's events. Each may open message boxes and so returns only after their OK.
EMSCRIPTEN_KEEPALIVE void kentrikh_click(int command)
{
    shell->controller().click(Command(command));
    shell->flush();
}

EMSCRIPTEN_KEEPALIVE void kentrikh_setBar(int bar, int value)
{
    shell->controller().setBar(Bar(bar), value);
    shell->flush();
}

EMSCRIPTEN_KEEPALIVE void kentrikh_setBox(int box, int checked)
{
    shell->controller().setBox(Box(box), checked != 0);
    shell->flush();
}

EMSCRIPTEN_KEEPALIVE void kentrikh_pressAt(double x, double y)
{
    shell->controller().pressAt(x, y);
    shell->flush();
}

// A display frame at now (milliseconds on the page's clock): the ticks that fell due since
// the last frame while the timer runs, then the pictures. Returns whether they changed.
EMSCRIPTEN_KEEPALIVE int kentrikh_frame(double now)
{
    PageTimer &timer = shell->timer();
    if (timer.ticking()) {
        const int ticks = timer.ticksAt(now);
        // A tick may switch the timer off (the end of a run): the ones after it are void.
        for (int i = 0; i < ticks && timer.ticking(); ++i)
            shell->controller().Timer1_Timer();
    }
    return shell->flush();
}

// Timer periods without waiting for them: each steps only while the timer runs. Returns
// the number of periods that stepped.
EMSCRIPTEN_KEEPALIVE int kentrikh_tick(int periods)
{
    PageTimer &timer = shell->timer();
    int stepped = 0;
    for (int i = 0; i < periods && timer.ticking(); ++i, ++stepped)
        shell->controller().Timer1_Timer();
    shell->flush();
    return stepped;
}

EMSCRIPTEN_KEEPALIVE int kentrikh_timerRunning()
{
    return shell->timer().ticking();
}

EMSCRIPTEN_KEEPALIVE void kentrikh_closeGraph()
{
    shell->closeGraph();
}

// A point of the client area in the main picture's user coordinates.
EMSCRIPTEN_KEEPALIVE const double *kentrikh_userOf(double x, double y)
{
    static double user[2];
    const auto [userX, userY] = shell->controller().surface().userOf({x, y});
    user[0] = userX;
    user[1] = userY;
    return user;
}

// The recorded run in the desktop's CSV format.
EMSCRIPTEN_KEEPALIVE const char *kentrikh_csv()
{
    text = trackCsvText(shell->controller().simulation().track);
    return text.c_str();
}

} // extern "C"
