#pragma once

// A drawing surface in user coordinates: the one interface through which the scene and
// the graph draw. Settings (pen width and style, fill, colours, the current position)
// stay in force until changed. Coordinates arrive as 32-bit floats: callers narrow
// their double values at the call, so huge values may arrive as infinities and the
// implementations must cope with any float, finite or not.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kentrikh {

// 24-bit colour, 0xRRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int red, int green, int blue)
{
    return (Rgb(red & 0xff) << 16) | (Rgb(green & 0xff) << 8) | Rgb(blue & 0xff);
}

inline constexpr Rgb White = rgb(255, 255, 255);
inline constexpr Rgb Black = rgb(0, 0, 0);

enum class DrawStyle : int { Solid = 0, Dot = 2, DashDot = 3 };
enum class FillStyle : int { Solid = 0, Transparent = 1 };

// Optional colour of a drawing call: none means the foreground colour.
using Colour = std::optional<Rgb>;

// A point in user coordinates.
struct UserPoint
{
    float x = 0;
    float y = 0;
};

// The user coordinate system: the client area's upper-left corner is (left, top), its
// size (width, height); height is negative when y grows upward.
struct UserScale
{
    float left = 0;
    float top = 0;
    float width = 1;
    float height = 1;
};

class Surface
{
public:
    virtual ~Surface() = default;

    // Sets the upper-left corner (x1, y1) and the lower-right corner (x2, y2).
    void scale(float x1, float y1, float x2, float y2);
    float scaleLeft() const { return m_scale.left; }
    float scaleTop() const { return m_scale.top; }
    float scaleWidth() const { return m_scale.width; }
    float scaleHeight() const { return m_scale.height; }
    const UserScale &userScale() const { return m_scale; }

    // Clears to the back colour and puts the current position at the upper-left corner.
    void cls();

    void line(float x1, float y1, float x2, float y2, Colour colour = {});
    // A line from the current position.
    void lineTo(float x2, float y2, Colour colour = {});
    // The same as line() from each point to the next, in order; fewer than two points draw
    // nothing. A surface may draw the same pixels faster than line by line.
    void polyline(std::span<const UserPoint> points, Colour colour = {});
    void circle(float x, float y, float radius, Colour colour = {});
    void pset(float x, float y, Colour colour = {});
    // Text at the current position, UTF-8.
    void print(const std::string &text);

    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }

    int drawWidth() const { return m_drawWidth; }
    void setDrawWidth(int width) { m_drawWidth = width < 1 ? 1 : width; }
    DrawStyle drawStyle() const { return m_drawStyle; }
    void setDrawStyle(DrawStyle style) { m_drawStyle = style; }
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    Rgb fillColor() const { return m_fillColor; }
    void setFillColor(Rgb colour) { m_fillColor = colour; }
    Rgb foreColor() const { return m_foreColor; }
    void setForeColor(Rgb colour) { m_foreColor = colour; }
    Rgb backColor() const { return m_backColor; }
    void setBackColor(Rgb colour);

    // The pen and fill of a call, as they stood when it was made.
    struct Pen
    {
        Rgb colour = Black;
        int width = 1;
        DrawStyle style = DrawStyle::Solid;
        friend bool operator==(const Pen &, const Pen &) = default;
    };
    struct Fill
    {
        bool filled = false;
        Rgb colour = Black;
        friend bool operator==(const Fill &, const Fill &) = default;
    };

protected:
    // The size of the client area in twips before any user scale is set.
    void resetScale(float widthTwips, float heightTwips);

    virtual void drawLine(float x1, float y1, float x2, float y2, const Pen &pen) = 0;
    // At least two points; by default drawLine() for each pair.
    virtual void drawPolyline(std::span<const UserPoint> points, const Pen &pen);
    virtual void drawCircle(float x, float y, float radius, const Pen &pen, const Fill &fill) = 0;
    virtual void drawPoint(float x, float y, const Pen &pen) = 0;
    virtual void drawText(float x, float y, const std::string &text, Rgb colour) = 0;
    virtual void clear(Rgb colour) = 0;
    // How far down one printed line moves the current position, in user units.
    virtual float textLineHeight() const = 0;
    virtual void scaleChanged() { }

private:
    Pen pen(const Colour &colour) const;

    UserScale m_scale;
    float m_currentX = 0;
    float m_currentY = 0;
    int m_drawWidth = 1;
    DrawStyle m_drawStyle = DrawStyle::Solid;
    FillStyle m_fillStyle = FillStyle::Transparent;
    Rgb m_fillColor = Black;
    Rgb m_foreColor = Black;
    Rgb m_backColor = White;
};

} // namespace kentrikh
