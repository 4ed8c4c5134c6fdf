#include "platform/backing_image.h"

#include <QImage>
#include <QPainter>

namespace kentrikh {

void paintBackingImage(QPainter &painter, const QRect &area, const QImage &image)
{
    const qreal ratio = image.devicePixelRatio();
    const QRectF source(
        area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
    painter.drawImage(QRectF(area), image, source);
}

} // namespace kentrikh
