#pragma once

// The drawing surface of the windows: a white QImage that keeps everything drawn on it
// until it is cleared, so that a window only has to paint the image when it is exposed.
//
// Drawing is never antialiased: erasing by drawing the same thing again in white must
// leave no trace. Lines, circles and points go through our own rasteriser (raster.h), text
// through QPainter. Every coordinate is mapped and clipped in double precision before it is
// rasterised, so a float of any size, infinite or NaN can neither crash nor hang the
// drawing: what lies far outside the image is cut away, or not drawn at all when it cannot
// be placed.
//
// The path layer: the scene redraws its whole trajectory every step, one polyline a little
// longer each time. The surface keeps the pixels of the last polyline and a log of the runs
// written over them since. A polyline that extends the last one (the same pen, the same first
// points) paints only its new segments and the old path's pixels that the log shows were
// written over. Painting a set of pixels in one opaque colour gives the same image whatever was
// there, so the image comes out exactly as if every segment had been drawn again.
// Clearing, rescaling and resizing forget the path.

#include "platform/raster.h"
#include "platform/surface.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace kentrikh {

class ImageSurface : public Surface
{
public:
    // pixelSize in device-independent pixels; until the first scale() the user units are
    // twips, twipsPerPixel of them to a pixel. The backing image has devicePixelRatio
    // physical pixels to each of those.
    ImageSurface(QSize pixelSize, double twipsPerPixel, const QFont &font = QFont(),
        qreal devicePixelRatio = 1);

    // Keeps what is drawn; new area is white. A surface still in twips stays in twips
    // (of the new size); a user scale stays as it is and stretches over the new size.
    void resize(QSize pixelSize);
    QSize pixelSize() const { return m_pixelSize; }
    double twipsPerPixel() const { return m_twipsPerPixel; }
    const QImage &image() const { return m_image; }

    // The font of print(); text is drawn without antialiasing like everything else.
    void setFont(const QFont &font);
    const QFont &font() const { return m_font; }

    // Called after each change of the image with the area that changed, in
    // device-independent pixels.
    using ChangedHandler = std::function<void(const QRect &)>;
    void setChangedHandler(ChangedHandler handler) { m_changed = std::move(handler); }

    // User coordinates to device-independent pixel coordinates and back. A point drawn at
    // whole pixel coordinates (i, j) fills pixel (i, j); the image's right and bottom edges
    // (scaleLeft() + scaleWidth(), ...) lie just outside it. Not finite while the scale
    // is degenerate.
    QPointF toPixel(double x, double y) const;
    std::pair<double, double> toUser(QPointF pixel) const;

    // On by default; off, a polyline is drawn line by line.
    void setPathLayerEnabled(bool enabled);
    bool pathLayerEnabled() const { return m_pathLayerEnabled; }

protected:
    void drawLine(float x1, float y1, float x2, float y2, const Pen &pen) override;
    void drawPolyline(std::span<const UserPoint> points, const Pen &pen) override;
    void drawCircle(float x, float y, float radius, const Pen &pen, const Fill &fill) override;
    void drawPoint(float x, float y, const Pen &pen) override;
    void drawText(float x, float y, const std::string &text, Rgb colour) override;
    void clear(Rgb colour) override;
    float textLineHeight() const override;
    void scaleChanged() override;

private:
    void resetToTwips();
    bool canDraw() const;
    void paint(const QRectF &dirty, const std::function<void(QPainter &)> &draw);
    void dot(QPointF centre, const Pen &pen);
    // A canvas on the image that logs its runs while the path layer needs them.
    raster::Canvas canvas();
    void reportChange(const raster::Canvas &canvas);
    // From device-independent pixel coordinates to the canvas's.
    raster::Point device(QPointF pixel) const;
    raster::Stroke stroke(const Pen &pen) const;
    void forgetPath();

    QImage m_image;
    QSize m_pixelSize;
    double m_twipsPerPixel;
    qreal m_devicePixelRatio;
    QFont m_font;
    ChangedHandler m_changed;
    // Pixels per user unit along each axis; negative when the axis runs the other way.
    double m_pixelsPerUnitX = 0;
    double m_pixelsPerUnitY = 0;

    bool m_pathLayerEnabled = true;
    // The image shows m_path as drawn in full with m_pathPen, apart from the pixels that
    // the runs in m_writes cover.
    bool m_pathValid = false;
    bool m_drawingPath = false;
    std::vector<UserPoint> m_path;
    Pen m_pathPen;
    raster::PixelSet m_pathPixels;
    std::vector<raster::Run> m_writes;

    raster::OutlineCache m_outlines;
};

} // namespace kentrikh
