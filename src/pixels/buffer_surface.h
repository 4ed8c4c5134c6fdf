#pragma once

// The drawing surface of the pictures: a white pixel buffer that keeps everything drawn on
// it until it is cleared, so that a window only has to show the buffer when it is exposed.
//
// Drawing is never antialiased: erasing by drawing the same thing again in white must
// leave no trace. Lines, circles and points go through our own rasteriser (raster.h); text
// through a font the shell supplies (without one, print() draws nothing). Every coordinate
// is mapped and clipped in double precision before it is rasterised, so a float of any
// size, infinite or NaN can neither crash nor hang the drawing: what lies far outside the
// image is cut away, or not drawn at all when it cannot be placed.
//
// The path layer: the scene redraws its whole trajectory every step, one polyline a little
// longer each time. The surface keeps the pixels of the last polyline and a log of the runs
// written over them since. A polyline that extends the last one (the same pen, the same first
// points) paints only its new segments and the old path's pixels that the log shows were
// written over. Painting a set of pixels in one opaque colour gives the same image whatever was
// there, so the image comes out exactly as if every segment had been drawn again. Circles
// drawn again where they were (the reference circle) are kept the same way: the log takes in
// the runs that meet their pixels too, and such a circle repaints only where it was written
// over since it was last painted.
// Clearing, rescaling and resizing forget the path and what the log knew.

#include "pixels/raster.h"
#include "pixels/surface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kentrikh {

// To the nearest whole pixel, halves away from zero, as the desktop toolkit rounds its sizes
// and places.
inline int roundedPixels(double value)
{
    return value >= 0 ? int(value + 0.5) : int(value - 0.5);
}

struct PixelSize
{
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelSize &, const PixelSize &) = default;
};

struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelRect &, const PixelRect &) = default;
};

struct PixelPoint
{
    constexpr PixelPoint() = default;
    constexpr PixelPoint(double x, double y)
        : px(x)
        , py(y)
    {
    }
    constexpr double x() const { return px; }
    constexpr double y() const { return py; }

    double px = 0;
    double py = 0;
};

// Writable pixels: one 32-bit word 0xffRRGGBB a pixel, rows stride words apart.
struct PixelBuffer
{
    std::uint32_t *data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Where the pixels live. The desktop keeps them in a toolkit image; elsewhere a vector.
class PixelStore
{
public:
    virtual ~PixelStore() = default;
    // A new buffer of the size in device pixels, filled with the colour, what was drawn
    // kept at the top left.
    virtual void resize(int width, int height, Rgb fill) = 0;
    virtual void fill(Rgb colour) = 0;
    // For writing; null data when the size is empty.
    virtual PixelBuffer pixels() = 0;
    virtual const std::uint32_t *constPixels() const = 0;
    virtual int stride() const = 0;
};

class VectorPixelStore : public PixelStore
{
public:
    void resize(int width, int height, Rgb fill) override;
    void fill(Rgb colour) override;
    PixelBuffer pixels() override;
    const std::uint32_t *constPixels() const override { return m_pixels.data(); }
    int stride() const override { return m_width; }

private:
    std::vector<std::uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
};

class BufferSurface : public Surface
{
public:
    // size in device-independent pixels; until the first scale() the user units are twips,
    // twipsPerPixel of them to a pixel. The buffer has devicePixelRatio device pixels to each
    // of those along each axis.
    BufferSurface(PixelSize size, double twipsPerPixel, double devicePixelRatio = 1,
        std::unique_ptr<PixelStore> store = std::make_unique<VectorPixelStore>());
    ~BufferSurface() override;
    BufferSurface(BufferSurface &&) noexcept = default;
    BufferSurface &operator=(BufferSurface &&) noexcept = default;

    // Keeps what is drawn; new area is white. A surface still in twips stays in twips
    // (of the new size); a user scale stays as it is and stretches over the new size.
    void resize(PixelSize size);
    PixelSize size() const { return m_size; }
    double twipsPerPixel() const { return m_twipsPerPixel; }
    double devicePixelRatio() const { return m_devicePixelRatio; }
    // The buffer in device pixels.
    PixelSize deviceSize() const { return m_deviceSize; }
    const std::uint32_t *constPixels() const { return m_store->constPixels(); }
    int stride() const { return m_store->stride(); }

    // Called after each change of the buffer with the area that changed, in
    // device-independent pixels.
    using ChangeHandler = std::function<void(const PixelRect &)>;
    void onChange(ChangeHandler handler) { m_changed = std::move(handler); }

    // User coordinates to device-independent pixel coordinates and back. A point drawn at
    // whole pixel coordinates (i, j) fills pixel (i, j); the image's right and bottom edges
    // (scaleLeft() + scaleWidth(), ...) lie just outside it. Not finite while the scale
    // is degenerate.
    PixelPoint pixelOf(double x, double y) const;
    std::pair<double, double> userOf(PixelPoint pixel) const;

    // On by default; off, a polyline is drawn line by line and a circle drawn again checks
    // every run of its outline.
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

    // Text in a font: draws the text with its top left at the point (in device-independent
    // pixels) and returns the area it may have changed. Without a font nothing is drawn.
    virtual PixelRect paintText(PixelPoint topLeft, const std::string &text, Rgb colour);
    // The height of a line of text in device-independent pixels; 0 without a font.
    virtual double textLineHeightPixels() const;
    bool canDraw() const;
    PixelStore &store() { return *m_store; }
    const PixelStore &store() const { return *m_store; }

private:
    void resetToTwips();
    void changed(PixelRect area);
    void dot(PixelPoint centre, const Pen &pen);
    // A canvas on the buffer that logs its runs while the path layer needs them.
    raster::Canvas canvas();
    void reportChange(const raster::Canvas &canvas);
    // From device-independent pixel coordinates to the canvas's.
    raster::Point device(PixelPoint pixel) const;
    raster::Stroke stroke(const Pen &pen) const;
    void forgetPath();

    std::unique_ptr<PixelStore> m_store;
    PixelSize m_size;
    PixelSize m_deviceSize;
    double m_twipsPerPixel;
    double m_devicePixelRatio;
    ChangeHandler m_changed;
    // Pixels per user unit along each axis; negative when the axis runs the other way.
    double m_pixelsPerUnitX = 0;
    double m_pixelsPerUnitY = 0;

    bool m_pathLayerEnabled = true;
    // The image shows m_path as drawn in full with m_pathPen, apart from the pixels that
    // the runs in m_log cover.
    bool m_pathValid = false;
    bool m_drawingPath = false;
    std::vector<UserPoint> m_path;
    Pen m_pathPen;
    raster::PixelSet m_pathPixels;

    // The runs written over the path and the kept outlines, by pieces that end where a
    // polyline is drawn: those of this piece and those of the last.
    class WriteLog : public raster::WriteHistory
    {
    public:
        std::vector<raster::Run> runs;
        // The path's pixels and the kept outlines': empty, nothing needs the log.
        raster::PixelSet watched;

        // The start of this piece: the path paints, unlogged, within runs logged earlier in
        // it, so an outline painted in between looks at all of them.
        std::uint64_t now() const override { return m_piece; }
        bool since(std::uint64_t point, std::span<const raster::Run> &earlier,
            std::span<const raster::Run> &later) const override;
        void watch(std::span<const raster::Run> outline) override;
        bool isWatching() const { return !watched.isEmpty(); }
        // A polyline was drawn: the runs from now on make a new piece.
        void turn();
        // Nothing is watched, nothing known.
        void forget(int width, int height);

    private:
        std::vector<raster::Run> m_earlier;
        std::uint64_t m_piece = 1;
    };
    WriteLog m_log;

    raster::OutlineCache m_outlines;
};

} // namespace kentrikh
