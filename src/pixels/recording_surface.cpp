#include "pixels/recording_surface.h"

#include <cstdio>
#include <ostream>

namespace kentrikh {

namespace {

std::string colourName(Rgb colour)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "rgb(%u,%u,%u)", (colour >> 16) & 0xff,
        (colour >> 8) & 0xff, colour & 0xff);
    return buffer;
}

std::string penName(const Surface::Pen &pen)
{
    return colourName(pen.colour) + " w" + std::to_string(pen.width) + " s"
        + std::to_string(static_cast<int>(pen.style));
}

} // namespace

std::string DrawCall::toString() const
{
    char buffer[160];
    switch (kind) {
    case Kind::Clear:
        return "Cls " + colourName(pen.colour);
    case Kind::Line:
        std::snprintf(buffer, sizeof buffer, "Line (%.9g, %.9g)-(%.9g, %.9g) ", x1, y1, x2, y2);
        return buffer + penName(pen);
    case Kind::Circle:
        std::snprintf(buffer, sizeof buffer, "Circle (%.9g, %.9g) r %.9g ", x1, y1, radius);
        return buffer + penName(pen) + (fill.filled ? " filled " + colourName(fill.colour) : "");
    case Kind::Point:
        std::snprintf(buffer, sizeof buffer, "PSet (%.9g, %.9g) ", x1, y1);
        return buffer + penName(pen);
    case Kind::Text:
        std::snprintf(buffer, sizeof buffer, "Print (%.9g, %.9g) ", x1, y1);
        return buffer + ("\"" + text + "\" ") + colourName(pen.colour);
    }
    return {};
}

std::ostream &operator<<(std::ostream &out, const DrawCall &call)
{
    return out << call.toString();
}

DrawCall DrawCall::makeLine(
    float x1, float y1, float x2, float y2, Rgb colour, int width, DrawStyle style)
{
    DrawCall call;
    call.kind = Kind::Line;
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.pen = {colour, width, style};
    return call;
}

DrawCall DrawCall::makeCircle(
    float x, float y, float radius, Rgb colour, int width, DrawStyle style, Surface::Fill fill)
{
    DrawCall call;
    call.kind = Kind::Circle;
    call.x1 = x;
    call.y1 = y;
    call.radius = radius;
    call.pen = {colour, width, style};
    call.fill = fill;
    return call;
}

RecordingSurface::RecordingSurface(float widthTwips, float heightTwips)
{
    resetScale(widthTwips, heightTwips);
}

void RecordingSurface::drawLine(float x1, float y1, float x2, float y2, const Pen &pen)
{
    m_calls.push_back(DrawCall::makeLine(x1, y1, x2, y2, pen.colour, pen.width, pen.style));
}

void RecordingSurface::drawCircle(float x, float y, float radius, const Pen &pen, const Fill &fill)
{
    m_calls.push_back(DrawCall::makeCircle(
        x, y, radius, pen.colour, pen.width, pen.style, fill.filled ? fill : Fill {}));
}

void RecordingSurface::drawPoint(float x, float y, const Pen &pen)
{
    DrawCall call;
    call.kind = DrawCall::Kind::Point;
    call.x1 = x;
    call.y1 = y;
    call.pen = pen;
    m_calls.push_back(call);
}

void RecordingSurface::drawText(float x, float y, const std::string &text, Rgb colour)
{
    DrawCall call;
    call.kind = DrawCall::Kind::Text;
    call.x1 = x;
    call.y1 = y;
    call.text = text;
    call.pen.colour = colour;
    m_calls.push_back(call);
}

void RecordingSurface::clear(Rgb colour)
{
    DrawCall call;
    call.kind = DrawCall::Kind::Clear;
    call.pen.colour = colour;
    m_calls.push_back(call);
}

} // namespace kentrikh
