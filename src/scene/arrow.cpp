#include "scene/arrow.h"

#include "motion/numeric.h"

#include <cmath>

namespace kentrikh {

void DrawArrow(double x1, double y1, double dx, double dy, Surface &surface, int red, int green,
    int blue, double &Pi)
{
    Pi = 4 * std::atan(1.0);
    const double x2 = x1 + dx;
    const double y2 = y1 + dy;
    if (!isFinite(x1) || !isFinite(y1) || !isFinite(x2) || !isFinite(y2))
        return;

    const Rgb colour = rgb(red, green, blue);
    surface.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
        static_cast<float>(y2), colour);

    const double width = surface.scaleWidth();
    const double height = surface.scaleHeight();
    const double h = std::sqrt(width * width + height * height) / 5 / 15;
    const double theta = x2 - x1 != 0 ? std::atan((y2 - y1) / (x2 - x1)) : Pi / 2;
    const double a1 = theta + Pi / 6;
    const double a2 = theta - Pi / 6;

    double p1x, p1y, p2x, p2y;
    if (dx < 0) {
        p1x = x2 + h * std::cos(a2);
        p1y = y2 + h * std::sin(a2);
        p2x = x2 + h * std::cos(a1);
        p2y = y2 + h * std::sin(a1);
    } else if (dx == 0 && dy < 0) {
        p1x = x2 - h * std::cos(a1);
        p1y = y2 + h * std::sin(a1);
        p2x = x2 - h * std::cos(a2);
        p2y = y2 + h * std::sin(a2);
    } else {
        p1x = x2 - h * std::cos(a1);
        p1y = y2 - h * std::sin(a1);
        p2x = x2 - h * std::cos(a2);
        p2y = y2 - h * std::sin(a2);
    }

    const float tipX = static_cast<float>(x2);
    const float tipY = static_cast<float>(y2);
    surface.line(tipX, tipY, static_cast<float>(p1x), static_cast<float>(p1y), colour);
    surface.line(tipX, tipY, static_cast<float>(p2x), static_cast<float>(p2y), colour);
}

} // namespace kentrikh
