#include "platform/image_surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace kentrikh {

namespace {

// The pixels in a QImage of the buffer's device size, which the windows paint directly.
// Writing through pixels() detaches the image from any copy taken of it, so a copy keeps
// the picture of its moment.
class ImagePixelStore : public PixelStore
{
public:
    explicit ImagePixelStore(qreal devicePixelRatio)
        : m_ratio(devicePixelRatio)
    {
    }

    void resize(int width, int height, Rgb fill) override
    {
        if (width <= 0 || height <= 0) {
            m_image = QImage();
            return;
        }
        QImage image(width, height, QImage::Format_RGB32);
        image.setDevicePixelRatio(m_ratio);
        image.fill(QColor(QRgb(fill)));
        if (!m_image.isNull()) {
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(QPointF(0, 0), m_image);
        }
        m_image = std::move(image);
    }
    void fill(Rgb colour) override { m_image.fill(QColor(QRgb(colour))); }
    PixelBuffer pixels() override
    {
        if (m_image.isNull())
            return {};
        return {reinterpret_cast<std::uint32_t *>(m_image.bits()), m_image.width(),
            m_image.height(), int(m_image.bytesPerLine() / 4)};
    }
    const std::uint32_t *constPixels() const override
    {
        return reinterpret_cast<const std::uint32_t *>(m_image.constBits());
    }
    int stride() const override { return int(m_image.bytesPerLine() / 4); }

    const QImage &image() const { return m_image; }

private:
    qreal m_ratio;
    QImage m_image;
};

QFont withoutAntialiasing(QFont font)
{
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

ImageSurface::ImageSurface(
    QSize pixelSize, double twipsPerPixel, const QFont &font, qreal devicePixelRatio)
    : BufferSurface({pixelSize.width(), pixelSize.height()}, twipsPerPixel, devicePixelRatio,
        std::make_unique<ImagePixelStore>(
            std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1))
    , m_font(withoutAntialiasing(font))
{
}

const QImage &ImageSurface::image() const
{
    return static_cast<const ImagePixelStore &>(store()).image();
}

void ImageSurface::setFont(const QFont &font)
{
    m_font = withoutAntialiasing(font);
}

void ImageSurface::setChangedHandler(ChangedHandler handler)
{
    if (!handler) {
        onChange({});
        return;
    }
    onChange([handler = std::move(handler)](const PixelRect &area) {
        handler(QRect(area.x, area.y, area.width, area.height));
    });
}

QPointF ImageSurface::toPixel(double x, double y) const
{
    const PixelPoint pixel = pixelOf(x, y);
    return {pixel.x(), pixel.y()};
}

PixelRect ImageSurface::paintText(PixelPoint topLeft, const std::string &text, Rgb colour)
{
    // Writing detaches the image from copies taken of it: they keep their picture.
    store().pixels();
    QImage &target = const_cast<QImage &>(image());
    const QPointF at(topLeft.x(), topLeft.y());
    const QString string = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFontMetricsF metrics(m_font, &target);
    const QRectF bounds(at, QSizeF(metrics.horizontalAdvance(string), metrics.height()));
    if (!bounds.intersects(QRectF(QPointF(), QSizeF(pixelSize()))))
        return {};
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(m_font);
        painter.setPen(QColor(QRgb(colour)));
        painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), string);
    }
    // Glyphs may reach a little past their advance (italics, overhangs).
    const double overhang = metrics.height() / 2;
    const QRect area = bounds.adjusted(-overhang, 0, overhang, 0).toAlignedRect();
    return {area.x(), area.y(), area.width(), area.height()};
}

double ImageSurface::textLineHeightPixels() const
{
    return QFontMetricsF(m_font, &image()).height();
}

} // namespace kentrikh
