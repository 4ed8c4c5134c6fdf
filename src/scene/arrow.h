#pragma once

// An arrow: the shaft from (x1, y1) to the tip (x2, y2) = (x1 + dx, y1 + dy) and two barbs
// of a fixed length h, a 75th of the diagonal of the surface's user area:
//
//     h = sqrt(ScaleWidth^2 + ScaleHeight^2) / 5 / 15
//     theta = atan((y2 - y1) / (x2 - x1)),  or pi/2 when x2 - x1 = 0
//     a1 = theta + pi/6,  a2 = theta - pi/6
//
//     dx >= 0, not (dx = 0 and dy < 0):
//         P1 = (x2 - h cos a1, y2 - h sin a1),  P2 = (x2 - h cos a2, y2 - h sin a2)
//     dx = 0 and dy < 0:
//         P1 = (x2 - h cos a1, y2 + h sin a1),  P2 = (x2 - h cos a2, y2 + h sin a2)
//     dx < 0:
//         P1 = (x2 + h cos a2, y2 + h sin a2),  P2 = (x2 + h cos a1, y2 + h sin a1)
//
// The slope comes from the tip minus the start, the case from dx and dy themselves: the two
// differ only when dx is lost against x1. The head does not shrink with the vector, so a
// tiny vector shows as a bare head at the start point.

#include "pixels/surface.h"

namespace kentrikh {

// Draws the shaft, then the barb to P1, then the barb to P2, in the colour (red, green,
// blue) with the surface's current pen width and style; stores pi into Pi. Coordinates are
// computed in double and narrowed to float at the surface. An arrow whose start or tip is
// not finite is not drawn at all.
void DrawArrow(double x1, double y1, double dx, double dy, Surface &surface, int red, int green,
    int blue, double &Pi);

} // namespace kentrikh
