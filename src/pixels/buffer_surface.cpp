#include "pixels/buffer_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace kentrikh {

namespace {

// Up to this radius in pixels a circle is rasterised from its centre and radius in plain
// doubles (a solid one row by row), which place it to far below a pixel; larger ones are cut
// down to the arcs that cross the image first.
constexpr double RowwiseRadiusLimit = 4096;
// The largest gap between a chord of a drawn arc and the true arc, in pixels.
constexpr double ArcSagitta = 0.25;
// Over the whole image a circle this close to its tangent is drawn as the tangent.
constexpr double StraightSagitta = 0.1;
// A circle of a smaller radius in pixels is drawn as a dot.
constexpr double DotRadius = 0.5;
// Far more than any arc inside the image needs; a bound against runaway arithmetic.
constexpr int MaxArcSegments = 100000;
// Lines with both ends this near the image (in pixels) are clipped in plain doubles, which
// place them to a billionth of a pixel.
constexpr double NearPixels = 1e7;
// Pixel (i, j) covers the square from (i, j) to (i + 1, j + 1) of pixel coordinates, and it
// is painted when its centre, taken this far (in device pixels) up and left of the middle,
// lies in the shape. The offset puts the edges at whole and half pixels, common in user
// units, clearly on one side: a point at (i, j) fills pixel (i, j), a line of width 2 along
// y = 100 covers rows 99 and 100, not one or three.
constexpr double SampleOffset = 1.0 / 1024;

constexpr double TwoPi = 2 * std::numbers::pi;

// Past this many runs written since the last polyline, the path is forgotten and the next
// one drawn in full, rather than the log kept growing.
constexpr std::size_t MaxLoggedRuns = std::size_t(1) << 20;

// An axis-aligned rectangle in double precision whose contains() takes in its edges.
struct Box
{
    double left;
    double top;
    double right;
    double bottom;

    bool contains(PixelPoint p) const
    {
        return p.x() >= left && p.x() <= right && p.y() >= top && p.y() <= bottom;
    }
    double diagonal() const { return std::hypot(right - left, bottom - top); }
};

// The image enlarged by more than a pen width, so that cutting a line or an arc at its
// edge changes no visible pixel.
Box viewport(PixelSize size, int penWidth)
{
    const double margin = penWidth + 2.0;
    return {-margin, -margin, size.width + margin, size.height + margin};
}

std::uint32_t toPixelValue(Rgb colour)
{
    return 0xff000000u | colour;
}

// Line clipping (Cohen-Sutherland) in double precision.

enum Outside : unsigned { LeftOf = 1, RightOf = 2, Above = 4, Below = 8 };

unsigned outcode(PixelPoint p, const Box &box)
{
    unsigned code = 0;
    if (p.x() < box.left)
        code |= LeftOf;
    else if (p.x() > box.right)
        code |= RightOf;
    if (p.y() < box.top)
        code |= Above;
    else if (p.y() > box.bottom)
        code |= Below;
    return code;
}

// Where the segment pq meets the vertical line through x, which separates p from q.
// Interpolating from the end nearer the line keeps the magnitude of a far end (1e30)
// from swamping the result; the crossing coordinate is the edge itself, exactly.
PixelPoint meetVertical(PixelPoint p, PixelPoint q, double x)
{
    if (std::abs(q.x() - x) < std::abs(p.x() - x))
        std::swap(p, q);
    return {x, p.y() + (q.y() - p.y()) * ((x - p.x()) / (q.x() - p.x()))};
}

PixelPoint meetHorizontal(PixelPoint p, PixelPoint q, double y)
{
    if (std::abs(q.y() - y) < std::abs(p.y() - y))
        std::swap(p, q);
    return {p.x() + (q.x() - p.x()) * ((y - p.y()) / (q.y() - p.y())), y};
}

// Cuts the segment ab to the box; false when nothing of it lies inside.
bool clipSegment(PixelPoint &a, PixelPoint &b, const Box &box)
{
    // Each pass puts one end on an edge, so two ends need at most eight; more would mean
    // rounding sends an end back and forth.
    for (int pass = 0; pass < 8; ++pass) {
        const unsigned codeA = outcode(a, box);
        const unsigned codeB = outcode(b, box);
        if ((codeA | codeB) == 0)
            return true;
        if (codeA & codeB)
            return false;
        PixelPoint &end = codeA ? a : b;
        const PixelPoint other = codeA ? b : a;
        const unsigned code = codeA ? codeA : codeB;
        if (code & LeftOf)
            end = meetVertical(end, other, box.left);
        else if (code & RightOf)
            end = meetVertical(end, other, box.right);
        else if (code & Above)
            end = meetHorizontal(end, other, box.top);
        else
            end = meetHorizontal(end, other, box.bottom);
    }
    return false;
}

// Vector arithmetic on pixel coordinates, one coordinate at a time.
PixelPoint operator+(PixelPoint a, PixelPoint b)
{
    return {a.px + b.px, a.py + b.py};
}
PixelPoint operator-(PixelPoint a, PixelPoint b)
{
    return {a.px - b.px, a.py - b.py};
}
PixelPoint operator*(PixelPoint a, double s)
{
    return {a.px * s, a.py * s};
}
PixelPoint operator*(double s, PixelPoint a)
{
    return {a.px * s, a.py * s};
}
PixelPoint operator/(PixelPoint a, double s)
{
    return {a.px / s, a.py / s};
}
PixelPoint &operator+=(PixelPoint &a, PixelPoint b)
{
    a = a + b;
    return a;
}
PixelPoint &operator/=(PixelPoint &a, double s)
{
    a = a / s;
    return a;
}

// Twice double precision, as the unevaluated sum hi + lo, for the few places where two
// numbers near 1e30 cancel.
struct Wide
{
    double hi = 0;
    double lo = 0;
};

Wide exactSum(double a, double b)
{
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

Wide exactProduct(double a, double b)
{
    const double product = a * b;
    return {product, std::fma(a, b, -product)};
}

Wide difference(double a, Wide b)
{
    const Wide d = exactSum(a, -b.hi);
    return exactSum(d.hi, d.lo - b.lo);
}

Wide times(Wide a, double b)
{
    const Wide p = exactProduct(a.hi, b);
    return exactSum(p.hi, p.lo + a.lo * b);
}

class WideSum
{
public:
    void add(double x)
    {
        const Wide s = exactSum(m_hi, x);
        m_hi = s.hi;
        m_lo += s.lo;
    }
    double value() const { return m_hi + m_lo; }

private:
    double m_hi = 0;
    double m_lo = 0;
};

void addProduct(WideSum &sum, Wide a, Wide b, double sign)
{
    const Wide p = exactProduct(a.hi, b.hi);
    sum.add(sign * p.hi);
    sum.add(sign * p.lo);
    sum.add(sign * (a.hi * b.lo + a.lo * b.hi));
}

// User coordinates to pixels relative to the centre of the image, in twice double
// precision: a point 1e30 away keeps its last pixel, so two such points can be
// subtracted from each other.
struct CentredMapping
{
    Wide originX; // the user coordinates of the image centre
    Wide originY;
    double pixelsPerUnitX;
    double pixelsPerUnitY;

    Wide x(double userX) const { return times(difference(userX, originX), pixelsPerUnitX); }
    Wide y(double userY) const { return times(difference(userY, originY), pixelsPerUnitY); }
};

CentredMapping centredMapping(const UserScale &scale, double pixelsPerUnitX, double pixelsPerUnitY)
{
    return {exactSum(scale.left, double(scale.width) / 2),
        exactSum(scale.top, double(scale.height) / 2), pixelsPerUnitX, pixelsPerUnitY};
}

// The part near the image of a line between far points, relative to the image centre,
// no longer than reach from it either way: the foot of the perpendicular from the centre
// comes from the cross product of the two ends, where their huge coordinates cancel
// exactly. False when the line passes further than reach from the centre.
bool nearPart(const CentredMapping &map, float x1, float y1, float x2, float y2, double reach,
    PixelPoint &a, PixelPoint &b)
{
    const Wide ax = map.x(x1);
    const Wide ay = map.y(y1);
    const Wide bx = map.x(x2);
    const Wide by = map.y(y2);
    const PixelPoint d((bx.hi - ax.hi) + (bx.lo - ax.lo), (by.hi - ay.hi) + (by.lo - ay.lo));
    const double length = std::hypot(d.x(), d.y());
    if (!(length > 0))
        return false;
    const PixelPoint u = d / length;
    WideSum cross;
    addProduct(cross, ax, by, 1);
    addProduct(cross, bx, ay, -1);
    const double offset = cross.value() / length;
    if (std::abs(offset) > reach)
        return false;
    const PixelPoint foot = offset * PixelPoint(u.y(), -u.x());
    const auto along
        = [&](Wide x, Wide y) { return std::clamp(x.hi * u.x() + y.hi * u.y(), -reach, reach); };
    a = foot + along(ax, ay) * u;
    b = foot + along(bx, by) * u;
    return true;
}

// A circle in pixels with its centre relative to the centre of the image. A circle of
// radius 1e30 that passes through the image is the difference of two numbers near 1e30:
// in plain doubles it would be misplaced by 1e14 pixels, so centre and radius are wide.
struct PixelCircle
{
    Wide x;
    Wide y;
    Wide radius;

    PixelPoint centre() const { return {x.hi + x.lo, y.hi + y.lo}; }

    // |p - centre|^2 - radius^2: negative inside the circle, positive outside.
    double power(PixelPoint p) const
    {
        WideSum sum;
        addSquare(sum, p.x(), x);
        addSquare(sum, p.y(), y);
        const Wide square = exactProduct(radius.hi, radius.hi);
        sum.add(-square.hi);
        sum.add(-square.lo);
        sum.add(-2 * radius.hi * radius.lo);
        return sum.value();
    }

private:
    static void addSquare(WideSum &sum, double p, Wide c)
    {
        const Wide d = exactSum(p, -c.hi);
        const double lo = d.lo - c.lo;
        const Wide square = exactProduct(d.hi, d.hi);
        sum.add(square.hi);
        sum.add(square.lo);
        sum.add(2 * d.hi * lo);
        sum.add(lo * lo);
    }
};

std::vector<PixelPoint> corners(const Box &box)
{
    return {
        {box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
}

// The points of a convex region's outline in order around it.
std::vector<PixelPoint> convexPolygon(std::vector<PixelPoint> points)
{
    PixelPoint mean;
    for (const PixelPoint &p : points)
        mean += p;
    mean /= double(points.size());
    const auto angle = [&](PixelPoint p) { return std::atan2(p.y() - mean.y(), p.x() - mean.x()); };
    std::sort(points.begin(), points.end(),
        [&](PixelPoint a, PixelPoint b) { return angle(a) < angle(b); });
    return points;
}

struct Arc
{
    double from;
    double to;
};

// The angle intervals of the circle (centre, radius) that lie inside the box.
std::vector<Arc> visibleArcs(PixelPoint centre, double radius, const Box &box)
{
    const auto at = [&](double angle) {
        return centre + radius * PixelPoint(std::cos(angle), std::sin(angle));
    };
    std::vector<double> crossings;
    for (const double x : {box.left, box.right}) {
        const double dx = x - centre.x();
        if (std::abs(dx) > radius)
            continue;
        const double h = std::sqrt(std::max(0.0, radius * radius - dx * dx));
        for (const double y : {centre.y() - h, centre.y() + h}) {
            if (y >= box.top && y <= box.bottom)
                crossings.push_back(std::atan2(y - centre.y(), dx));
        }
    }
    for (const double y : {box.top, box.bottom}) {
        const double dy = y - centre.y();
        if (std::abs(dy) > radius)
            continue;
        const double h = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        for (const double x : {centre.x() - h, centre.x() + h}) {
            if (x >= box.left && x <= box.right)
                crossings.push_back(std::atan2(dy, x - centre.x()));
        }
    }
    std::vector<Arc> arcs;
    if (crossings.empty()) {
        if (box.contains(at(0)))
            arcs.push_back({0, TwoPi});
        return arcs;
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        const double from = crossings[i];
        const double to = i + 1 < crossings.size() ? crossings[i + 1] : crossings.front() + TwoPi;
        if (to - from > 1e-12 && box.contains(at((from + to) / 2)))
            arcs.push_back({from, to});
    }
    return arcs;
}

std::vector<PixelPoint> arcPolyline(PixelPoint centre, double radius, const Arc &arc)
{
    // A chord spanning the angle a leaves the arc by radius * (1 - cos(a/2)) ~ radius a^2/8.
    const double step = 2 * std::sqrt(2 * ArcSagitta / radius);
    const int segments
        = int(std::clamp(std::ceil((arc.to - arc.from) / step), 1.0, double(MaxArcSegments)));
    std::vector<PixelPoint> polyline;
    polyline.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double angle = arc.from + (arc.to - arc.from) * i / segments;
        polyline.push_back(centre + radius * PixelPoint(std::cos(angle), std::sin(angle)));
    }
    return polyline;
}

PixelRect intersected(PixelRect a, PixelRect b)
{
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

// The smallest rectangle of whole pixels that holds the rectangle (x, y, width, height).
PixelRect alignedRect(double x, double y, double width, double height)
{
    const int left = int(std::floor(x));
    const int top = int(std::floor(y));
    const int right = int(std::ceil(x + width));
    const int bottom = int(std::ceil(y + height));
    return {left, top, right - left, bottom - top};
}

// The buffer's size in device pixels for a size in device-independent ones.
PixelSize deviceSizeOf(PixelSize size, double devicePixelRatio)
{
    if (size.isEmpty())
        return {};
    return {roundedPixels(size.width * devicePixelRatio),
        roundedPixels(size.height * devicePixelRatio)};
}

} // namespace

void VectorPixelStore::resize(int width, int height, Rgb fill)
{
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), toPixelValue(fill));
    const int rows = std::min(height, m_height);
    const int columns = std::min(width, m_width);
    for (int y = 0; y < rows; ++y) {
        std::copy_n(m_pixels.begin() + std::ptrdiff_t(y) * m_width, columns,
            pixels.begin() + std::ptrdiff_t(y) * width);
    }
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
}

void VectorPixelStore::fill(Rgb colour)
{
    std::fill(m_pixels.begin(), m_pixels.end(), toPixelValue(colour));
}

PixelBuffer VectorPixelStore::pixels()
{
    if (m_pixels.empty())
        return {};
    return {m_pixels.data(), m_width, m_height, m_width};
}

BufferSurface::BufferSurface(PixelSize size, double twipsPerPixel, double devicePixelRatio,
    std::unique_ptr<PixelStore> store)
    : m_store(std::move(store))
    , m_size(size)
    , m_twipsPerPixel(twipsPerPixel)
    , m_devicePixelRatio(
          std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1)
{
    m_deviceSize = deviceSizeOf(size, m_devicePixelRatio);
    m_store->resize(m_deviceSize.width, m_deviceSize.height, backColor());
    forgetPath();
    resetToTwips();
}

BufferSurface::~BufferSurface() = default;

void BufferSurface::resetToTwips()
{
    resetScale(float(m_size.width * m_twipsPerPixel), float(m_size.height * m_twipsPerPixel));
}

void BufferSurface::resize(PixelSize size)
{
    if (size == m_size)
        return;
    const bool inTwips = scaleLeft() == 0 && scaleTop() == 0
        && scaleWidth() == float(m_size.width * m_twipsPerPixel)
        && scaleHeight() == float(m_size.height * m_twipsPerPixel);
    m_deviceSize = deviceSizeOf(size, m_devicePixelRatio);
    m_store->resize(m_deviceSize.width, m_deviceSize.height, backColor());
    m_size = size;
    forgetPath();
    if (inTwips)
        resetToTwips();
    else
        scaleChanged();
    if (m_changed && !m_size.isEmpty())
        m_changed({0, 0, m_size.width, m_size.height});
}

void BufferSurface::scaleChanged()
{
    forgetPath();
    m_pixelsPerUnitX = m_size.width / double(scaleWidth());
    m_pixelsPerUnitY = m_size.height / double(scaleHeight());
}

PixelPoint BufferSurface::pixelOf(double x, double y) const
{
    return {(x - scaleLeft()) * m_pixelsPerUnitX, (y - scaleTop()) * m_pixelsPerUnitY};
}

std::pair<double, double> BufferSurface::userOf(PixelPoint pixel) const
{
    return {scaleLeft() + pixel.x() / m_pixelsPerUnitX, scaleTop() + pixel.y() / m_pixelsPerUnitY};
}

bool BufferSurface::canDraw() const
{
    // A scale with a zero, infinite or NaN extent has no mapping to pixels.
    const auto usable = [](double factor) { return std::isfinite(factor) && factor != 0; };
    return !m_deviceSize.isEmpty() && usable(m_pixelsPerUnitX) && usable(m_pixelsPerUnitY)
        && std::isfinite(scaleLeft()) && std::isfinite(scaleTop());
}

void BufferSurface::changed(PixelRect area)
{
    area = intersected(area, {0, 0, m_size.width, m_size.height});
    if (area.isEmpty())
        return;
    if (m_log.isWatching()) {
        const double ratio = m_devicePixelRatio;
        PixelRect pixels
            = alignedRect(area.x * ratio, area.y * ratio, area.width * ratio, area.height * ratio);
        pixels = intersected({pixels.x - 1, pixels.y - 1, pixels.width + 2, pixels.height + 2},
            {0, 0, m_deviceSize.width, m_deviceSize.height});
        for (int y = pixels.y; y < pixels.y + pixels.height; ++y)
            m_log.runs.push_back({y, pixels.x, pixels.x + pixels.width - 1});
    }
    if (m_changed)
        m_changed(area);
}

raster::Canvas BufferSurface::canvas()
{
    const PixelBuffer buffer = m_store->pixels();
    if (!buffer.data)
        return raster::Canvas(nullptr, 0, 0, 0);
    raster::Canvas canvas(buffer.data, buffer.width, buffer.height, buffer.stride);
    if (m_log.runs.size() > MaxLoggedRuns)
        forgetPath();
    // Writes that miss the path and the kept outlines need no repair.
    if (m_drawingPath)
        canvas.setLog(&m_log.runs);
    else if (m_log.isWatching())
        canvas.setLog(&m_log.runs, &m_log.watched);
    return canvas;
}

void BufferSurface::reportChange(const raster::Canvas &canvas)
{
    if (!m_changed || !canvas.wroteAny())
        return;
    const double ratio = m_devicePixelRatio;
    PixelRect area = alignedRect(canvas.left() / ratio, canvas.top() / ratio,
        (canvas.right() - canvas.left() + 1) / ratio, (canvas.bottom() - canvas.top() + 1) / ratio);
    if (ratio != 1)
        area = {area.x - 1, area.y - 1, area.width + 2, area.height + 2};
    area = intersected(area, {0, 0, m_size.width, m_size.height});
    if (!area.isEmpty())
        m_changed(area);
}

// The canvas centres its pixel i on i, where pixel coordinates put the middle at i + 1/2.
raster::Point BufferSurface::device(PixelPoint pixel) const
{
    const double shift = SampleOffset - 0.5;
    return {pixel.x() * m_devicePixelRatio + shift, pixel.y() * m_devicePixelRatio + shift};
}

// Wide pens are always solid.
raster::Stroke BufferSurface::stroke(const Pen &pen) const
{
    raster::Stroke result {pen.width * m_devicePixelRatio, raster::Dashes::Solid};
    if (pen.width == 1 && pen.style == DrawStyle::Dot)
        result.dashes = raster::Dashes::Dot;
    else if (pen.width == 1 && pen.style == DrawStyle::DashDot)
        result.dashes = raster::Dashes::DashDot;
    return result;
}

void BufferSurface::clear(Rgb colour)
{
    if (m_deviceSize.isEmpty())
        return;
    m_store->fill(colour);
    forgetPath();
    if (m_changed)
        m_changed({0, 0, m_size.width, m_size.height});
}

void BufferSurface::setPathLayerEnabled(bool enabled)
{
    m_pathLayerEnabled = enabled;
    forgetPath();
}

void BufferSurface::forgetPath()
{
    m_pathValid = false;
    m_path.clear();
    m_log.forget(m_deviceSize.width, m_deviceSize.height);
}

bool BufferSurface::WriteLog::since(std::uint64_t point, std::span<const raster::Run> &earlier,
    std::span<const raster::Run> &later) const
{
    if (point != m_piece && point + 1 != m_piece)
        return false;
    earlier = point == m_piece ? std::span<const raster::Run>() : m_earlier;
    later = runs;
    return true;
}

void BufferSurface::WriteLog::watch(std::span<const raster::Run> outline)
{
    for (const raster::Run &run : outline)
        watched.add(run.y, run.x0, run.x1);
}

void BufferSurface::WriteLog::turn()
{
    m_earlier.swap(runs);
    runs.clear();
    ++m_piece;
}

void BufferSurface::WriteLog::forget(int width, int height)
{
    runs.clear();
    m_earlier.clear();
    m_piece += 2;
    watched.reset(width, height);
}

void BufferSurface::drawLine(float x1, float y1, float x2, float y2, const Pen &pen)
{
    // An infinite end point gives no direction to draw in: such a line is left out, like
    // one with a NaN.
    if (!canDraw() || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2)
        || !std::isfinite(y2))
        return;
    const Box box = viewport(m_size, pen.width);
    PixelPoint a = pixelOf(x1, y1);
    PixelPoint b = pixelOf(x2, y2);
    const auto near
        = [](PixelPoint p) { return std::abs(p.x()) < NearPixels && std::abs(p.y()) < NearPixels; };
    if (!near(a) || !near(b)) {
        const PixelPoint imageCentre = PixelPoint(m_size.width, m_size.height) / 2;
        if (!nearPart(centredMapping(userScale(), m_pixelsPerUnitX, m_pixelsPerUnitY), x1, y1, x2,
                y2, box.diagonal(), a, b))
            return;
        a += imageCentre;
        b += imageCentre;
    }
    if (!clipSegment(a, b, box))
        return;
    raster::Canvas canvas = this->canvas();
    canvas.setColour(toPixelValue(pen.colour));
    double phase = 0;
    canvas.segment(device(a), device(b), stroke(pen), phase);
    reportChange(canvas);
}

void BufferSurface::drawPolyline(std::span<const UserPoint> points, const Pen &pen)
{
    if (!m_pathLayerEnabled) {
        Surface::drawPolyline(points, pen);
        return;
    }
    const bool extends = m_pathValid && pen == m_pathPen && points.size() >= m_path.size()
        && std::memcmp(points.data(), m_path.data(), m_path.size() * sizeof(UserPoint)) == 0;
    std::size_t first = 1; // the end of the first segment to draw
    if (extends) {
        // What it paints lies within runs the log holds already.
        raster::Canvas canvas = this->canvas();
        canvas.setLog(nullptr);
        canvas.setColour(toPixelValue(pen.colour));
        canvas.spansWithin(m_pathPixels, m_log.runs);
        reportChange(canvas);
        first = m_path.size();
        m_path.insert(m_path.end(), points.begin() + std::ptrdiff_t(m_path.size()), points.end());
    } else {
        // The old path's pixels are watched no longer: the kept outlines start again.
        forgetPath();
        m_pathPixels.reset(m_deviceSize.width, m_deviceSize.height);
        m_path.assign(points.begin(), points.end());
        m_pathPen = pen;
    }
    m_pathValid = false;
    m_drawingPath = true;
    const std::size_t segmentRuns = m_log.runs.size();
    for (std::size_t i = first; i < points.size(); ++i)
        drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, pen);
    m_drawingPath = false;
    for (std::size_t i = segmentRuns; i < m_log.runs.size(); ++i) {
        const raster::Run &run = m_log.runs[i];
        m_pathPixels.add(run.y, run.x0, run.x1);
        m_log.watched.add(run.y, run.x0, run.x1);
    }
    m_log.turn();
    m_pathValid = true;
}

void BufferSurface::dot(PixelPoint centre, const Pen &pen)
{
    raster::Canvas canvas = this->canvas();
    canvas.setColour(toPixelValue(pen.colour));
    canvas.point(device(centre), stroke(pen).width);
    reportChange(canvas);
}

void BufferSurface::drawPoint(float x, float y, const Pen &pen)
{
    if (!canDraw() || !std::isfinite(x) || !std::isfinite(y))
        return;
    const PixelPoint at = pixelOf(x, y);
    if (viewport(m_size, pen.width).contains(at))
        dot(at, pen);
}

void BufferSurface::drawCircle(float x, float y, float radius, const Pen &pen, const Fill &fill)
{
    if (!canDraw() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius))
        return;

    // Everything relative to the centre of the image, where the box is small and exact.
    const PixelPoint imageCentre = PixelPoint(m_size.width, m_size.height) / 2;
    const Box full = viewport(m_size, pen.width);
    const Box box {full.left - imageCentre.x(), full.top - imageCentre.y(),
        full.right - imageCentre.x(), full.bottom - imageCentre.y()};
    const CentredMapping map = centredMapping(userScale(), m_pixelsPerUnitX, m_pixelsPerUnitY);
    // The radius is measured in units of the x axis.
    const PixelCircle circle {
        map.x(x), map.y(y), exactProduct(std::abs(double(radius)), std::abs(m_pixelsPerUnitX))};

    if (circle.radius.hi < DotRadius) {
        if (box.contains(circle.centre()))
            dot(imageCentre + circle.centre(), pen);
        return;
    }
    const PixelPoint nearest(
        std::clamp(circle.x.hi, box.left, box.right), std::clamp(circle.y.hi, box.top, box.bottom));
    if (circle.power(nearest) > 0)
        return;
    const std::vector<PixelPoint> boxCorners = corners(box);
    const bool boxInside = std::all_of(boxCorners.begin(), boxCorners.end(),
        [&](PixelPoint corner) { return circle.power(corner) < 0; });
    raster::Canvas canvas = this->canvas();
    if (boxInside) {
        // Only the interior shows.
        if (fill.filled) {
            canvas.setColour(toPixelValue(fill.colour));
            canvas.fill();
            reportChange(canvas);
        }
        return;
    }

    const raster::Stroke outlineStroke = stroke(pen);
    const auto drawOutline = [&](const std::vector<PixelPoint> &polyline) {
        double phase = 0;
        for (std::size_t i = 1; i < polyline.size(); ++i) {
            canvas.segment(device(imageCentre + polyline[i - 1]), device(imageCentre + polyline[i]),
                outlineStroke, phase);
        }
    };

    if (circle.radius.hi <= RowwiseRadiusLimit) {
        const raster::Point centre = device(imageCentre + circle.centre());
        const double r = circle.radius.hi * m_devicePixelRatio;
        if (fill.filled) {
            canvas.setColour(toPixelValue(fill.colour));
            canvas.disc(centre, r);
        }
        canvas.setColour(toPixelValue(pen.colour));
        if (outlineStroke.dashes == raster::Dashes::Solid) {
            m_outlines.circle(
                canvas, centre, r, outlineStroke.width, m_pathLayerEnabled ? &m_log : nullptr);
        } else {
            // The pattern runs along the chords of each visible arc, from where it enters.
            for (const Arc &arc : visibleArcs(circle.centre(), circle.radius.hi, box))
                drawOutline(arcPolyline(circle.centre(), circle.radius.hi, arc));
        }
        reportChange(canvas);
        return;
    }

    // Outline pieces and, for a filled circle, the outline of the visible part of the
    // disc (convex: the disc cut by the box).
    std::vector<std::vector<PixelPoint>> outline;
    std::vector<PixelPoint> region;
    for (const PixelPoint &corner : boxCorners) {
        if (circle.power(corner) < 0)
            region.push_back(corner);
    }
    const double diagonal = box.diagonal();
    if (circle.radius.hi * 8 * StraightSagitta > diagonal * diagonal) {
        // Over the image the arc is its tangent at the point nearest the image centre.
        const double distance = std::hypot(circle.x.hi, circle.y.hi);
        const PixelPoint towardsCentre(circle.x.hi / distance, circle.y.hi / distance);
        const double gap = circle.power({0, 0}) / (distance + circle.radius.hi);
        const PixelPoint touch = towardsCentre * gap;
        const PixelPoint along(-towardsCentre.y() * diagonal, towardsCentre.x() * diagonal);
        PixelPoint a = touch - along;
        PixelPoint b = touch + along;
        if (clipSegment(a, b, box)) {
            outline.push_back({a, b});
            region.push_back(a);
            region.push_back(b);
        }
    } else {
        const PixelPoint centre = circle.centre();
        for (const Arc &arc : visibleArcs(centre, circle.radius.hi, box)) {
            outline.push_back(arcPolyline(centre, circle.radius.hi, arc));
            region.insert(region.end(), outline.back().begin(), outline.back().end());
        }
    }
    if (fill.filled && region.size() >= 3) {
        std::vector<raster::Point> interior;
        for (const PixelPoint &p : convexPolygon(std::move(region)))
            interior.push_back(device(imageCentre + p));
        canvas.setColour(toPixelValue(fill.colour));
        canvas.convexPolygon(interior);
    }
    canvas.setColour(toPixelValue(pen.colour));
    for (const std::vector<PixelPoint> &polyline : outline)
        drawOutline(polyline);
    reportChange(canvas);
}

void BufferSurface::drawText(float x, float y, const std::string &text, Rgb colour)
{
    if (!canDraw() || !std::isfinite(x) || !std::isfinite(y))
        return;
    changed(paintText(pixelOf(x, y), text, colour));
}

PixelRect BufferSurface::paintText(PixelPoint, const std::string &, Rgb)
{
    return {};
}

double BufferSurface::textLineHeightPixels() const
{
    return 0;
}

float BufferSurface::textLineHeight() const
{
    if (!canDraw())
        return 0;
    return float(textLineHeightPixels() / m_pixelsPerUnitY);
}

} // namespace kentrikh
