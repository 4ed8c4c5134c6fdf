#pragma once

// Twips (1440 to the inch) and the sizes the layout is computed from. Lengths in pixels
// are device-independent pixels.

#include <QMargins>

class QScreen;
class QWidget;

namespace kentrikh {

inline constexpr double TwipsPerInch = 1440;

// 15 at 96 dpi. A screen of null means the primary screen; without any screen, 96 dpi.
double twipsPerPixel(const QScreen *screen = nullptr);

int screenHeightPixels();
double screenHeightTwips();

// How far the window's frame (title bar and borders) reaches past its client area on each
// side, as the platform reports it: none where there is no window manager, and before the
// native window exists.
QMargins frameMargins(const QWidget &window);

// Whether the program may place the window to fit its frame: it is shown, and neither
// maximised nor minimised (then it is where the person put it).
bool isPlaceable(const QWidget &window);

struct BorderRatios
{
    double x = 0; // (outer width - client width) / client width
    double y = 0; // (outer height - client height) / client height
};

BorderRatios borderRatios(const QWidget &window);

} // namespace kentrikh
