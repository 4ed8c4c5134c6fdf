#include "pixels/recording_surface.h"
#include "scene/arrow.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace kentrikh {
namespace {

// Coordinates near 20 narrowed to floats carry about 2e-6 of rounding.
constexpr double PointTolerance = 1e-5;
constexpr double Sqrt3 = std::numbers::sqrt3;

struct Point
{
    double x = 0;
    double y = 0;
};

// A 120 x 90 user area: diagonal 150, barbs of length 2.
constexpr double Barb = 2;
std::vector<DrawCall> drawArrow(double x1, double y1, double dx, double dy)
{
    RecordingSurface surface;
    surface.scale(-60, 45, 60, -45);
    double Pi = 0;
    DrawArrow(x1, y1, dx, dy, surface, 0, 0, 0, Pi);
    return surface.calls();
}

void expectLine(const DrawCall &call, Point from, Point to)
{
    EXPECT_EQ(call.kind, DrawCall::Kind::Line);
    EXPECT_NEAR(call.x1, from.x, PointTolerance) << call;
    EXPECT_NEAR(call.y1, from.y, PointTolerance) << call;
    EXPECT_NEAR(call.x2, to.x, PointTolerance) << call;
    EXPECT_NEAR(call.y2, to.y, PointTolerance) << call;
}

void expectArrow(double dx, double dy, Point tip, Point p1, Point p2)
{
    SCOPED_TRACE(testing::Message() << "vector (" << dx << ", " << dy << ")");
    const std::vector<DrawCall> calls = drawArrow(10, 20, dx, dy);
    ASSERT_EQ(calls.size(), 3u);
    expectLine(calls[0], {10, 20}, tip);
    expectLine(calls[1], tip, p1);
    expectLine(calls[2], tip, p2);
}

TEST(DrawArrow, AxisVectorsGetTheirBarbsInOrder)
{
    // A zero vector has a head as if it pointed to +y.
    expectArrow(0, 0, {10, 20}, {11, 20 - Sqrt3}, {9, 20 - Sqrt3});
    expectArrow(0, 5, {10, 25}, {11, 25 - Sqrt3}, {9, 25 - Sqrt3});
    expectArrow(0, -5, {10, 15}, {11, 15 + Sqrt3}, {9, 15 + Sqrt3});
    expectArrow(-5, 0, {5, 20}, {5 + Sqrt3, 19}, {5 + Sqrt3, 21});
    expectArrow(5, 0, {15, 20}, {15 - Sqrt3, 19}, {15 - Sqrt3, 21});
}

TEST(DrawArrow, HeadSitsBehindTheTipWhateverTheDirectionAndLength)
{
    for (const double length : {0.001, 1.0, 30.0}) {
        for (int degrees = 0; degrees < 360; degrees += 15) {
            const double angle = degrees * std::numbers::pi / 180;
            const double ux = std::round(std::cos(angle) * 1e12) / 1e12;
            const double uy = std::round(std::sin(angle) * 1e12) / 1e12;
            SCOPED_TRACE(testing::Message() << degrees << " degrees, length " << length);

            const std::vector<DrawCall> calls = drawArrow(10, 20, length * ux, length * uy);
            ASSERT_EQ(calls.size(), 3u);
            const Point tip {calls[0].x2, calls[0].y2};
            for (const DrawCall &barb : {calls[1], calls[2]})
                EXPECT_NEAR(std::hypot(barb.x2 - tip.x, barb.y2 - tip.y), Barb, PointTolerance);
            // The barbs are symmetric about the shaft, a barb's projection behind the tip.
            const double midX = (calls[1].x2 + calls[2].x2) / 2;
            const double midY = (calls[1].y2 + calls[2].y2) / 2;
            const double back = Barb * Sqrt3 / 2;
            EXPECT_NEAR(midX, tip.x - back * ux, 1e-4);
            EXPECT_NEAR(midY, tip.y - back * uy, 1e-4);
        }
    }
}

TEST(DrawArrow, UsesTheColourAndTheSurfacePenAndStoresPi)
{
    RecordingSurface surface;
    surface.scale(-60, 45, 60, -45);
    surface.setDrawWidth(4);
    surface.setDrawStyle(DrawStyle::DashDot);
    double Pi = 0;
    DrawArrow(1, 2, 3, 4, surface, 12, 34, 56, Pi);

    EXPECT_DOUBLE_EQ(Pi, std::numbers::pi);
    ASSERT_EQ(surface.calls().size(), 3u);
    for (const DrawCall &call : surface.calls())
        EXPECT_EQ(call.pen, (Surface::Pen {rgb(12, 34, 56), 4, DrawStyle::DashDot})) << call;
    EXPECT_EQ(surface.drawWidth(), 4);
    EXPECT_EQ(surface.drawStyle(), DrawStyle::DashDot);
}

TEST(DrawArrow, NonFiniteArrowsAreSkippedAndHugeOnesNeverCarryNaN)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(drawArrow(nan, 0, 1, 1).empty());
    EXPECT_TRUE(drawArrow(0, 0, 1, nan).empty());
    EXPECT_TRUE(drawArrow(0, inf, 1, 1).empty());
    EXPECT_TRUE(drawArrow(0, 0, -inf, 1).empty());

    for (const double huge : {1e30, -1e39, 1e300}) {
        const std::vector<DrawCall> calls = drawArrow(0, 0, huge, huge / 3);
        ASSERT_EQ(calls.size(), 3u) << huge;
        for (const DrawCall &call : calls) {
            EXPECT_FALSE(std::isnan(call.x1) || std::isnan(call.y1) || std::isnan(call.x2)
                || std::isnan(call.y2))
                << call;
        }
    }
}

} // namespace
} // namespace kentrikh
