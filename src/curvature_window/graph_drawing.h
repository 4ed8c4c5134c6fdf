#pragma once

// The radius of curvature of the last run against the sample number, beside what the
// closed form predicts, and the extremes reported in message boxes.
//
// With I the timer interval (0, before the first START, counts as 1), M the largest
// recorded radius of curvature (0 when none is positive) and
//     Ymax = 1.5 M  if M > 1.5 R0,  else 1.5 R0
// the picture spans x from -10 I to 1000 I and y from -Ymax / 2 to Ymax, and sample i is
// drawn at x = i I. Its series, all at pen width 1 unless noted:
//     axes                    (-50 I, 0)-(1000 I, 0) and (0, -Ymax)-(0, Ymax), black
//     recorded rho            TrackRho(i), i = 1..1000, line, (0, 0, 255)
//     predicted rho           CurvatureRadiusFromDistanceAt(DT i), line, (255, 55, 0)
//     distance                AnalyticDistance(K, B, DT i, VX0), i = 1..999, dots, (255, 55, 55)
//     start distance          y = R0, x from 0 to 1000 I, (0, 150, 255)
//     rho at the recorded     the distance form at TrackX(i)^2 + TrackY(i)^2, i = 1, 6, ..., 996,
//       distance              dots at pen width 4, (0, 255, 0)
//     Foucault only           y = rhoF = R0 / (2 |2 K / B^2 - 1|), the turning points,
//                             (0, 0, 255), and y = M, (255, 0, 255)
//     predicted maximum       y = MaxCurvatureRadius, pen width 3, (255, 0, 255)
// A point or segment with a coordinate beyond the range of a 32-bit float is left out.

#include "controller/timer.h"
#include "motion/state.h"
#include "pixels/surface.h"

#include <functional>
#include <string>
#include <string_view>

namespace kentrikh {

// The curvature window's design in twips: its client area, and the picture box on it, which
// fills it with a margin all round until the graph gives the picture its size.
inline constexpr int GraphWindowWidthTwips = 4680;
inline constexpr int GraphWindowHeightTwips = 3090;
inline constexpr int GraphPictureLeftTwips = 240;
inline constexpr int GraphPictureTopTwips = 360;
inline constexpr int GraphPictureWidthTwips = GraphWindowWidthTwips - 2 * GraphPictureLeftTwips;
inline constexpr int GraphPictureHeightTwips
    = GraphWindowHeightTwips - GraphPictureTopTwips - GraphPictureLeftTwips;

// The procedure from the recorded maximum on, drawing on the picture EIKONA: the messages
// "megis aktis = " and "MAXCAMP =  ", then sizePicture (where the window gives the picture
// its size), the user coordinates, the series in the order above, in Foucault mode the
// text "r= " at half the scale width and height, the message "ρ = " (with rhoF, or
// "undefined" for B = 0 and K = B^2 / 2, where no line is drawn for it) and its two lines,
// the message "rmax = ... AktiNmax  =", and last the predicted maximum. Nothing is erased.
// Timer1's interval is read each time it is needed; MaxCurvatureRadius writes Pi. Numbers
// in the messages take the given decimal separator.
void drawCurvatureGraph(Surface &EIKONA, Simulation &sim, const Timer &Timer1,
    const std::function<void(const std::string &)> &showMessage,
    const std::function<void()> &sizePicture, std::string_view decimalPoint = ".");

} // namespace kentrikh
