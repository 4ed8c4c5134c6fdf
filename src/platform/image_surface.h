#pragma once

// The pixel buffer surface of the windows, kept in a QImage so that a window paints it as
// it is, with text in the window's font. See BufferSurface for how it draws.

#include "pixels/buffer_surface.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <functional>
#include <utility>

namespace kentrikh {

class ImageSurface : public BufferSurface
{
public:
    // pixelSize in device-independent pixels; until the first scale() the user units are
    // twips, twipsPerPixel of them to a pixel. The backing image has devicePixelRatio
    // physical pixels to each of those.
    ImageSurface(QSize pixelSize, double twipsPerPixel, const QFont &font = QFont(),
        qreal devicePixelRatio = 1);

    void resize(QSize pixelSize) { BufferSurface::resize({pixelSize.width(), pixelSize.height()}); }
    QSize pixelSize() const { return {size().width, size().height}; }
    const QImage &image() const;

    // The font of print(); text is drawn without antialiasing like everything else.
    void setFont(const QFont &font);
    const QFont &font() const { return m_font; }

    // Called after each change of the image with the area that changed, in
    // device-independent pixels.
    using ChangedHandler = std::function<void(const QRect &)>;
    void setChangedHandler(ChangedHandler handler);

    QPointF toPixel(double x, double y) const;
    std::pair<double, double> toUser(QPointF pixel) const { return userOf({pixel.x(), pixel.y()}); }

protected:
    PixelRect paintText(PixelPoint topLeft, const std::string &text, Rgb colour) override;
    double textLineHeightPixels() const override;

private:
    QFont m_font;
};

} // namespace kentrikh
