#pragma once

// The graph of the radius of curvature in its window (see graph_drawing.h for the picture).

#include "curvature_window/graph_drawing.h"

#include <functional>
#include <memory>

namespace kentrikh {

class CurvatureWindow;
class SimTimer;

// drawCurvatureGraph with the program's message boxes and the user's decimal separator.
void drawCurvatureGraph(Surface &EIKONA, Simulation &sim, const SimTimer &Timer1,
    const std::function<void()> &sizePicture = {});

// Draws on a picture and may give it its size first.
using GraphDrawing
    = std::function<void(Surface &picture, const std::function<void()> &sizePicture)>;

// The press of "RADIUS OF CURVATURE ": a square window KAMPYLOTHTA sideTwips on a side at
// the screen's top left corner, shown modeless with no owner and in front, then draw() on
// its picture, which takes the window's outer size when draw() sizes it; message boxes
// meanwhile belong to the window. The window is created on the first call and kept; one the
// user closed is replaced by a new, empty one.
void ShowCurvatureGraph(std::unique_ptr<CurvatureWindow> &KAMPYLOTHTA, double sideTwips,
    double twipsPerPixel, const GraphDrawing &draw);

// The same, half as high as the screen, with the graph of the last run.
void ShowCurvatureGraph(std::unique_ptr<CurvatureWindow> &KAMPYLOTHTA, Simulation &sim,
    const SimTimer &Timer1, double screenHeightTwips, double twipsPerPixel);

} // namespace kentrikh
