#include "pixels/surface.h"

namespace kentrikh {

void Surface::scale(float x1, float y1, float x2, float y2)
{
    m_scale = {x1, y1, x2 - x1, y2 - y1};
    scaleChanged();
}

void Surface::resetScale(float widthTwips, float heightTwips)
{
    m_scale = {0, 0, widthTwips, heightTwips};
    scaleChanged();
}

void Surface::setBackColor(Rgb colour)
{
    m_backColor = colour;
    cls();
}

void Surface::cls()
{
    clear(m_backColor);
    m_currentX = m_scale.left;
    m_currentY = m_scale.top;
}

Surface::Pen Surface::pen(const Colour &colour) const
{
    return {colour.value_or(m_foreColor), m_drawWidth, m_drawStyle};
}

void Surface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    drawLine(x1, y1, x2, y2, pen(colour));
    m_currentX = x2;
    m_currentY = y2;
}

void Surface::lineTo(float x2, float y2, Colour colour)
{
    line(m_currentX, m_currentY, x2, y2, colour);
}

void Surface::polyline(std::span<const UserPoint> points, Colour colour)
{
    if (points.size() < 2)
        return;
    drawPolyline(points, pen(colour));
    m_currentX = points.back().x;
    m_currentY = points.back().y;
}

void Surface::drawPolyline(std::span<const UserPoint> points, const Pen &pen)
{
    for (std::size_t i = 1; i < points.size(); ++i)
        drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, pen);
}

void Surface::circle(float x, float y, float radius, Colour colour)
{
    const Fill fill {m_fillStyle == FillStyle::Solid, m_fillColor};
    drawCircle(x, y, radius, pen(colour), fill);
    m_currentX = x;
    m_currentY = y;
}

void Surface::pset(float x, float y, Colour colour)
{
    drawPoint(x, y, pen(colour));
    m_currentX = x;
    m_currentY = y;
}

void Surface::print(const std::string &text)
{
    drawText(m_currentX, m_currentY, text, m_foreColor);
    m_currentX = m_scale.left;
    m_currentY += textLineHeight();
}

} // namespace kentrikh
