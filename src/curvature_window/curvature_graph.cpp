#include "curvature_window/curvature_graph.h"

#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "platform/timer.h"

namespace kentrikh {

void drawCurvatureGraph(Surface &EIKONA, Simulation &sim, const SimTimer &Timer1,
    const std::function<void()> &sizePicture)
{
    drawCurvatureGraph(
        EIKONA, sim, Timer1,
        [](const std::string &text) { showMessage(QString::fromStdString(text)); }, sizePicture,
        decimalPointOf());
}

void ShowCurvatureGraph(std::unique_ptr<CurvatureWindow> &KAMPYLOTHTA, double sideTwips,
    double twipsPerPixel, const GraphDrawing &draw)
{
    if (!KAMPYLOTHTA || KAMPYLOTHTA->wasClosed())
        KAMPYLOTHTA = std::make_unique<CurvatureWindow>(twipsPerPixel);
    CurvatureWindow &window = *KAMPYLOTHTA;

    const float side = static_cast<float>(sideTwips);
    window.setOuterGeometry(0, 0, side, side);
    window.show();
    // In front of the main window, whose button was just pressed, and its messages over it.
    window.raise();
    window.activateWindow();
    const MessageOwner messagesOnTheGraph(&window);
    // The frame is known once the native window exists: place the window again with it.
    window.setOuterGeometry(0, 0, side, side);

    // The picture takes the window's outer size and so reaches past its client area.
    draw(window.EIKONA->surface(),
        [&window] { window.EIKONA->resize(window.frameGeometry().size()); });
}

void ShowCurvatureGraph(std::unique_ptr<CurvatureWindow> &KAMPYLOTHTA, Simulation &sim,
    const SimTimer &Timer1, double screenHeightTwips, double twipsPerPixel)
{
    ShowCurvatureGraph(KAMPYLOTHTA, screenHeightTwips / 2, twipsPerPixel,
        [&](Surface &picture, const std::function<void()> &sizePicture) {
            drawCurvatureGraph(picture, sim, Timer1, sizePicture);
        });
}

} // namespace kentrikh
