#pragma once

// The second window, KAMPYLOTHTA ("CURVATURE VS TIME"): a top-level window with nothing on
// it but the picture box EIKONA, which shows the graph of the radius of curvature. Sizes
// and places are given in twips, as the graph's procedure computes them.

#include "platform/image_surface.h"

#include <QWidget>

namespace kentrikh {

// A picture box: a child widget that shows its drawing surface and keeps what is drawn
// when it is resized. Drawing is never antialiased.
class PictureBox : public QWidget
{
public:
    PictureBox(QWidget *parent, double twipsPerPixel);

    ImageSurface &surface() { return m_surface; }
    const ImageSurface &surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ImageSurface m_surface;
};

class CurvatureWindow : public QWidget
{
public:
    explicit CurvatureWindow(double twipsPerPixel);

    PictureBox *EIKONA;

    // The window with its frame, in twips: where the platform reports no frame (or not
    // yet, before the window is first shown) the client area takes the whole size.
    void setOuterGeometry(double leftTwips, double topTwips, double widthTwips, double heightTwips);

    // The user closed the window: what it showed is gone, and the graph needs a new one.
    bool wasClosed() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // A window manager frames the window only after it is shown, and may change the frame
    // later: the window is placed again for the frame it really has.
    void fitFrame();

    double m_twipsPerPixel;
    bool m_closed = false;
    QRectF m_outerTwips;
    QMargins m_frame;
};

} // namespace kentrikh
