#pragma once

// A surface that keeps every drawing call as a value, so that tests can compare the
// calls a procedure makes with the ones it must make.

#include "pixels/surface.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace kentrikh {

struct DrawCall
{
    enum class Kind { Clear, Line, Circle, Point, Text };

    Kind kind = Kind::Line;
    float x1 = 0;
    float y1 = 0;
    float x2 = 0; // Line: end point
    float y2 = 0;
    float radius = 0; // Circle
    Surface::Pen pen;
    Surface::Fill fill; // Circle
    std::string text; // Text

    friend bool operator==(const DrawCall &, const DrawCall &) = default;
    std::string toString() const;

    static DrawCall makeLine(float x1, float y1, float x2, float y2, Rgb colour, int width = 1,
        DrawStyle style = DrawStyle::Solid);
    static DrawCall makeCircle(float x, float y, float radius, Rgb colour, int width = 1,
        DrawStyle style = DrawStyle::Solid, Surface::Fill fill = {});
};

std::ostream &operator<<(std::ostream &out, const DrawCall &call);

class RecordingSurface : public Surface
{
public:
    // widthTwips, heightTwips: the client area before any user scale is set.
    explicit RecordingSurface(float widthTwips = 6285, float heightTwips = 3090);

    const std::vector<DrawCall> &calls() const { return m_calls; }
    void forget() { m_calls.clear(); }

protected:
    void drawLine(float x1, float y1, float x2, float y2, const Pen &pen) override;
    void drawCircle(float x, float y, float radius, const Pen &pen, const Fill &fill) override;
    void drawPoint(float x, float y, const Pen &pen) override;
    void drawText(float x, float y, const std::string &text, Rgb colour) override;
    void clear(Rgb colour) override;
    float textLineHeight() const override { return 0; }

private:
    std::vector<DrawCall> m_calls;
};

} // namespace kentrikh
