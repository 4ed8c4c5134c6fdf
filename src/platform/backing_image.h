#pragma once

class QImage;
class QPainter;
class QRect;

namespace kentrikh {

// Paints the part of a widget's backing image under the widget's rectangle area. Areas are
// in the widget's device-independent pixels; the image has devicePixelRatio() of its own
// pixels to each of those, so it is copied pixel for pixel, never scaled.
void paintBackingImage(QPainter &painter, const QRect &area, const QImage &image);

} // namespace kentrikh
