#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "platform/message_box.h"

#include <QPushButton>
#include <QScrollBar>
#include <cstring>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

class SilentShell : public ControllerShell
{
    void showMessage(const std::string &) override { }
    void boxChanged(Box, bool) override { }
    void labelChanged(int, const std::string &) override { }
    void showCurvatureGraph(double, const GraphDrawing &) override { }
};

class SilentTimer : public Timer
{
public:
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool enabled() const override { return m_enabled; }
    void setInterval(int milliseconds) override { m_interval = milliseconds; }
    int interval() const override { return m_interval; }
    void restartSchedule() override { }

private:
    bool m_enabled = false;
    int m_interval = 0;
};

bool samePixels(const QImage &image, const BufferSurface &buffer)
{
    if (image.width() != buffer.deviceSize().width || image.height() != buffer.deviceSize().height)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        if (std::memcmp(image.constScanLine(y),
                buffer.constPixels() + std::ptrdiff_t(y) * buffer.stride(),
                std::size_t(image.width()) * 4)
            != 0)
            return false;
    }
    return true;
}

// The web page draws into a plain pixel buffer, the window into a QImage: the same handlers
// must give the same pixels, through a rescale, a run with everything on and a
// probe.
TEST(PlainBuffer, DrawsWhatTheWindowDraws)
{
    MessageRecorder messages;
    MainWindow window;
    window.Main({900, 15, {}}, false);
    SilentShell shell;
    SilentTimer timer;
    MainController plain(shell, timer, [](PixelSize size, double twipsPerPixel) {
        return std::make_unique<BufferSurface>(size, twipsPerPixel);
    });
    plain.Main({900, 15, {}});

    const auto both = [&](auto &&onWindow, auto &&onPlain) {
        onWindow();
        onPlain();
    };
    both([&] { window.klimaka->setValue(2); }, [&] { plain.setBar(Bar::klimaka, 2); });
    both([&] { window.MERIKESDYN->click(); }, [&] { plain.setBox(Box::MERIKESDYN, true); });
    both([&] { window.KAMPYLOTHTA->click(); }, [&] { plain.setBox(Box::KAMPYLOTHTA, true); });
    both([&] { window.Command1->click(); }, [&] { plain.Command1_Click(); });
    for (int i = 0; i < 1000; ++i)
        both([&] { window.Timer1_Timer(); }, [&] { plain.Timer1_Timer(); });
    ASSERT_TRUE(samePixels(window.surface().image(), plain.surface()));
    both([&] { window.Form_MouseDown(10, 20); }, [&] { plain.Form_MouseDown(10, 20); });
    EXPECT_TRUE(samePixels(window.surface().image(), plain.surface()));
}

} // namespace
} // namespace kentrikh
