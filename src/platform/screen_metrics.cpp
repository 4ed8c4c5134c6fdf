#include "platform/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kentrikh {

namespace {

constexpr double FallbackDpi = 96;

const QScreen *orPrimary(const QScreen *screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

double ratio(int outer, int client)
{
    return client > 0 ? double(outer - client) / client : 0;
}

} // namespace

double twipsPerPixel(const QScreen *screen)
{
    screen = orPrimary(screen);
    const double dpi = screen ? screen->logicalDotsPerInchY() : FallbackDpi;
    return TwipsPerInch / (dpi > 0 ? dpi : FallbackDpi);
}

int screenHeightPixels()
{
    const QScreen *screen = orPrimary(nullptr);
    return screen ? screen->geometry().height() : 0;
}

double screenHeightTwips()
{
    return screenHeightPixels() * twipsPerPixel();
}

bool isPlaceable(const QWidget &window)
{
    return window.isVisible() && (window.windowState() & ~Qt::WindowActive) == Qt::WindowNoState;
}

QMargins frameMargins(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    // A platform that reports no frame gives the client rectangle for both.
    return {std::max(0, client.left() - outer.left()), std::max(0, client.top() - outer.top()),
        std::max(0, outer.right() - client.right()), std::max(0, outer.bottom() - client.bottom())};
}

BorderRatios borderRatios(const QWidget &window)
{
    const QMargins margins = frameMargins(window);
    const QSize client = window.geometry().size();
    return {ratio(client.width() + margins.left() + margins.right(), client.width()),
        ratio(client.height() + margins.top() + margins.bottom(), client.height())};
}

} // namespace kentrikh
