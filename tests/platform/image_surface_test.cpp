#include "platform/image_surface.h"

#include <QFont>
#include <cfloat>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace kentrikh {
namespace {

constexpr QRgb WhitePixel = 0xffffffff;
constexpr QRgb BlackPixel = 0xff000000;
constexpr QRgb RedPixel = 0xffff0000;
constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

QRgb at(const ImageSurface &surface, int x, int y)
{
    return surface.image().pixel(x, y);
}

int nonWhite(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != WhitePixel;
    }
    return count;
}

// Rows (or, with columns, columns) that hold a non-white pixel.
std::vector<int> inkedRows(const QImage &image)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != WhitePixel) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

// 200 x 200 pixels showing -100..100 on both axes, y upward.
class ImageSurfaceTest : public ::testing::Test
{
protected:
    ImageSurfaceTest() { surface.scale(-100, 100, 100, -100); }

    ImageSurface surface {QSize(200, 200), 15, QFont(QStringLiteral("DejaVu Sans"), 8)};
};

TEST_F(ImageSurfaceTest, MapsUserCoordinatesWithYUpward)
{
    EXPECT_EQ(surface.toPixel(0, 0), QPointF(100, 100));
    EXPECT_EQ(surface.toPixel(-100, 100), QPointF(0, 0));
    EXPECT_EQ(surface.toPixel(50, -25), QPointF(150, 125));
    EXPECT_EQ(surface.toUser(QPointF(150, 125)), std::make_pair(50.0, -25.0));

    surface.pset(0, 0);
    surface.pset(-100, 100);
    surface.pset(99, -99);
    EXPECT_EQ(at(surface, 100, 100), BlackPixel);
    EXPECT_EQ(at(surface, 0, 0), BlackPixel);
    EXPECT_EQ(at(surface, 199, 199), BlackPixel);
    EXPECT_EQ(nonWhite(surface.image()), 3);
}

TEST(ImageSurface, UsesTwipsUntilScaledAndKeepsDrawingWhenResized)
{
    ImageSurface surface(QSize(100, 50), 15);
    EXPECT_EQ(surface.scaleWidth(), 1500);
    EXPECT_EQ(surface.scaleHeight(), 750);
    EXPECT_EQ(surface.toPixel(15, 30), QPointF(1, 2));

    QRect changed;
    surface.setChangedHandler([&](const QRect &area) { changed = area; });
    surface.line(150, 150, 600, 150);
    EXPECT_TRUE(changed.contains(QRect(10, 10, 30, 1))) << changed.x() << "," << changed.width();

    surface.resize(QSize(200, 80));
    EXPECT_EQ(surface.image().size(), QSize(200, 80));
    EXPECT_EQ(surface.scaleWidth(), 3000);
    EXPECT_EQ(at(surface, 20, 10), BlackPixel);
    EXPECT_EQ(at(surface, 150, 70), WhitePixel);
    EXPECT_EQ(changed, QRect(0, 0, 200, 80));

    surface.scale(0, 0, 10, 10);
    surface.resize(QSize(300, 80));
    EXPECT_EQ(surface.scaleWidth(), 10);
    EXPECT_EQ(surface.toPixel(5, 5), QPointF(150, 40));
}

TEST(ImageSurface, FollowsTheDevicePixelRatio)
{
    ImageSurface surface(QSize(100, 50), 15, QFont(), 2);
    surface.scale(0, 0, 100, 50);
    EXPECT_EQ(surface.image().size(), QSize(200, 100));
    EXPECT_EQ(surface.toPixel(10, 20), QPointF(10, 20));
    surface.pset(10, 20);
    // A one-pixel dot is two physical pixels wide, centred on its point.
    EXPECT_EQ(surface.image().pixel(19, 39), BlackPixel);
    EXPECT_EQ(surface.image().pixel(20, 40), BlackPixel);
    EXPECT_EQ(nonWhite(surface.image()), 4);
}

TEST_F(ImageSurfaceTest, ClsFillsWithTheBackColourAndRewindsThePosition)
{
    surface.line(-50, -50, 50, 50);
    surface.cls();
    EXPECT_EQ(nonWhite(surface.image()), 0);
    EXPECT_EQ(surface.currentX(), -100);
    EXPECT_EQ(surface.currentY(), 100);

    surface.setBackColor(rgb(255, 0, 0));
    EXPECT_EQ(at(surface, 0, 0), RedPixel);
    EXPECT_EQ(at(surface, 199, 199), RedPixel);
}

TEST_F(ImageSurfaceTest, LineToStartsWhereTheLastDrawingEnded)
{
    surface.line(-50, 0, 50, 0);
    surface.lineTo(50, 50);
    // A vertical run at x = 50 from y = 0 up to y = 50: pixel column 150, rows 50 to 100.
    for (int row = 52; row <= 98; ++row)
        EXPECT_EQ(at(surface, 150, row), BlackPixel) << row;
    EXPECT_EQ(at(surface, 50, 75), WhitePixel);

    surface.cls();
    surface.circle(-50, -50, 10);
    surface.lineTo(-50, 0);
    EXPECT_EQ(at(surface, 50, 140), BlackPixel); // inside the circle: from its centre

    surface.cls();
    surface.line(20, 20, 20, 20);
    EXPECT_EQ(at(surface, 120, 80), BlackPixel);
}

TEST_F(ImageSurfaceTest, FillsCirclesOnlyWhenTheFillStyleIsSolid)
{
    // The centre is the corner shared by pixels 99 and 100, so the outline is symmetric
    // about it: columns 60 and 139 in row 100.
    surface.setFillColor(rgb(255, 0, 0));
    surface.circle(0, 0, 40);
    EXPECT_EQ(at(surface, 100, 100), WhitePixel);
    EXPECT_EQ(at(surface, 60, 100), BlackPixel);
    EXPECT_EQ(at(surface, 139, 100), BlackPixel);

    surface.setFillStyle(FillStyle::Solid);
    surface.circle(0, 0, 40, rgb(0, 0, 255));
    EXPECT_EQ(at(surface, 100, 100), RedPixel);
    EXPECT_EQ(at(surface, 120, 100), RedPixel);
    EXPECT_EQ(at(surface, 139, 100), 0xff0000ffu); // the outline in the pen colour
    EXPECT_EQ(at(surface, 150, 100), WhitePixel);
}

TEST_F(ImageSurfaceTest, DrawsDottedStylesOnlyAtWidthOne)
{
    const auto gapsInRow = [&](int row) {
        int gaps = 0;
        for (int x = 30; x < 170; ++x)
            gaps += at(surface, x, row) == WhitePixel;
        return gaps;
    };
    for (const DrawStyle style : {DrawStyle::Dot, DrawStyle::DashDot}) {
        surface.cls();
        surface.setDrawStyle(style);
        surface.setDrawWidth(1);
        surface.line(-80, 0, 80, 0);
        EXPECT_GT(gapsInRow(100), 20);
        surface.cls();
        surface.setDrawWidth(2);
        surface.line(-80, 0, 80, 0);
        EXPECT_EQ(gapsInRow(100), 0);
    }
}

// Drawing anything again in white, with the same or a wider pen, must leave no trace:
// the scene erases its previous frame that way.
TEST_F(ImageSurfaceTest, RedrawingInWhiteErasesWithoutTrace)
{
    for (int degrees = 0; degrees < 360; degrees += 7) {
        const double angle = degrees * std::numbers::pi / 180;
        const float x = float(70 * std::cos(angle));
        const float y = float(70 * std::sin(angle));
        surface.setDrawWidth(1);
        surface.line(-x / 3, -y / 3, x, y);
        surface.setDrawWidth(3);
        surface.line(x / 2, -y / 2, -x / 4, y);
        surface.setDrawWidth(4);
        surface.line(-x / 3, -y / 3, x, y, White);
        surface.line(x / 2, -y / 2, -x / 4, y, White);
        ASSERT_EQ(nonWhite(surface.image()), 0) << degrees << " degrees";
    }

    // Arrows: a shaft and two barbs, erased with the very same calls in white.
    for (int degrees = 0; degrees < 360; degrees += 11) {
        const double angle = degrees * std::numbers::pi / 180;
        const float tipX = float(20 + 60 * std::cos(angle));
        const float tipY = float(-10 + 60 * std::sin(angle));
        const auto arrow = [&](Rgb colour) {
            surface.line(20, -10, tipX, tipY, colour);
            for (const double side : {-1.0, 1.0}) {
                const double barb = angle + std::numbers::pi + side * std::numbers::pi / 6;
                surface.line(tipX, tipY, float(tipX + 8 * std::cos(barb)),
                    float(tipY + 8 * std::sin(barb)), colour);
            }
        };
        for (const int width : {1, 2, 3}) {
            surface.setDrawWidth(width);
            arrow(Black);
            arrow(White);
            ASSERT_EQ(nonWhite(surface.image()), 0) << degrees << " degrees, width " << width;
        }
    }

    // From a dot to an outline far larger than the image, dash-dotted where thin.
    struct Circle
    {
        float y;
        float radius;
    };
    for (const Circle circle : {Circle {-0.7f, 0}, Circle {-0.7f, 0.3f}, Circle {-0.7f, 3.5f},
             Circle {-0.7f, 17.2f}, Circle {-0.7f, 140}, Circle {-5970, 6000}}) {
        for (const int width : {1, 2, 5}) {
            surface.setDrawWidth(width);
            surface.setDrawStyle(DrawStyle::DashDot);
            surface.circle(3.3f, circle.y, circle.radius, rgb(55, 0, 255));
            surface.circle(3.3f, circle.y, circle.radius, White);
            ASSERT_EQ(nonWhite(surface.image()), 0) << circle.radius << ", width " << width;
        }
    }
}

// The scene draws its arrows and markers at width 3 and erases them a step later at width 4
// (the marker with a filled disc of radius 1.6), and draws the circle of curvature dotted at
// width 1 but erases it solid at width 4.
TEST_F(ImageSurfaceTest, AWiderWhitePenErasesWhatTheSceneDrew)
{
    surface.scale(-37.1f, 37.1f, 37.1f, -37.1f); // 2.7 pixels a unit, like the window's 5.4 / 2
    for (int i = 0; i < 60; ++i) {
        const double angle = i * 0.37;
        const float x = float(-20 + i * 0.61);
        const float y = float(13 - i * 0.43);
        const float tipX = float(x + (3 + i % 7) * std::cos(angle));
        const float tipY = float(y + (3 + i % 7) * std::sin(angle));
        const auto picture = [&](Rgb colour) {
            surface.line(x, y, tipX, tipY, colour);
            surface.line(tipX, tipY, float(tipX - std::cos(angle + 0.5)),
                float(tipY - std::sin(angle + 0.5)), colour);
            surface.line(tipX, tipY, float(tipX - std::cos(angle - 0.5)),
                float(tipY - std::sin(angle - 0.5)), colour);
        };
        surface.setDrawWidth(3);
        picture(rgb(0, 5, 255));
        surface.circle(x, y, 1.5f);
        surface.setDrawWidth(1);
        surface.setDrawStyle(DrawStyle::Dot);
        const float rho = float(0.3 + i * i * 0.7);
        surface.circle(x - rho * 0.6f, y + rho * 0.8f, rho);
        surface.setDrawStyle(DrawStyle::Solid);

        surface.setDrawWidth(4);
        picture(White);
        surface.setFillStyle(FillStyle::Solid);
        surface.setFillColor(White);
        surface.circle(x, y, 1.6f, White);
        surface.setFillStyle(FillStyle::Transparent);
        surface.circle(x - rho * 0.6f, y + rho * 0.8f, rho, White);
        ASSERT_EQ(nonWhite(surface.image()), 0) << i;
    }
}

TEST_F(ImageSurfaceTest, SkipsLinesThatCannotBePlaced)
{
    surface.line(NaN, 0, 50, 50);
    surface.line(0, 0, Inf, 0); // no direction to draw in
    surface.circle(0, 0, NaN);
    surface.pset(0, NaN);
    EXPECT_EQ(nonWhite(surface.image()), 0);

    // A degenerate scale has no pixels to map to.
    surface.scale(5, 5, 5, 5);
    surface.line(0, 0, 10, 10);
    surface.circle(5, 5, 1);
    EXPECT_EQ(nonWhite(surface.image()), 0);
}

TEST_F(ImageSurfaceTest, ClipsHugeLinesToWhereTheyCrossTheImage)
{
    // From y = 0 far left to y = 1 far right: at the image it runs along y = 0.5, row 99.5.
    surface.setDrawWidth(4);
    surface.line(-1e30f, 0, 1e30f, 1);
    EXPECT_EQ(inkedRows(surface.image()), std::vector<int>({98, 99, 100, 101}));
    EXPECT_EQ(at(surface, 0, 99), BlackPixel);
    EXPECT_EQ(at(surface, 199, 100), BlackPixel);

    // The diagonal through the centre between the largest floats, and a line from the
    // centre to far away: both must pass through the centre pixel.
    surface.cls();
    surface.setDrawWidth(1);
    surface.line(-FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX);
    for (int i = 0; i < 200; i += 10)
        EXPECT_EQ(at(surface, i, 199 - i), BlackPixel) << i;
    surface.cls();
    surface.line(0, 0, 1e30f, 0);
    EXPECT_EQ(inkedRows(surface.image()), std::vector<int>({100}));
    EXPECT_EQ(at(surface, 100, 100), BlackPixel);
    EXPECT_EQ(at(surface, 99, 100), WhitePixel);

    // Far away, and far away on one side: nothing.
    surface.cls();
    surface.line(1e30f, 1e30f, 2e30f, -1e30f);
    surface.line(-FLT_MAX, 1e20f, -1e20f, FLT_MAX);
    EXPECT_EQ(nonWhite(surface.image()), 0);
}

// Every combination of awkward floats, under awkward scales: no crash, no hang, no
// assertion in the raster engine.
TEST(ImageSurface, SurvivesEveryKindOfFloat)
{
    const std::vector<float> values
        = {0, 1e-45f, -1, 99.5f, 1e7f, -1e15f, 1e30f, -FLT_MAX, FLT_MAX, Inf, -Inf, NaN};
    ImageSurface surface(QSize(64, 48), 15);
    for (const float extent : {200.0f, 1e-30f, 1e30f}) {
        surface.scale(-extent, extent, extent, -extent);
        for (const int width : {1, 4}) {
            surface.setDrawWidth(width);
            surface.setDrawStyle(width == 1 ? DrawStyle::Dot : DrawStyle::Solid);
            for (const float a : values) {
                for (const float b : values) {
                    for (const float c : values) {
                        surface.setFillStyle(FillStyle::Transparent);
                        surface.circle(a, b, c);
                        surface.setFillStyle(FillStyle::Solid);
                        surface.circle(a, b, c);
                        for (const float d : values)
                            surface.line(a, b, c, d);
                    }
                    surface.pset(a, b);
                    surface.setCurrentX(a);
                    surface.setCurrentY(b);
                    surface.print("x");
                }
            }
        }
    }
    SUCCEED();
}

TEST_F(ImageSurfaceTest, DrawsTheVisibleArcOfHugeCircles)
{
    // Through the centre: the circle from (0, -1e30) with radius 1e30 is straight here.
    surface.setDrawStyle(DrawStyle::Dot);
    surface.circle(0, -1e30f, 1e30f);
    EXPECT_EQ(inkedRows(surface.image()), std::vector<int>({100}));
    EXPECT_GT(nonWhite(surface.image()), 50);

    // The same with the image centre off the origin: plain doubles lose the 37 units of
    // the offset against 1e30 and would draw through the image centre.
    surface.cls();
    surface.scale(-100, 137, 100, -63);
    surface.circle(0, -1e30f, 1e30f);
    EXPECT_EQ(inkedRows(surface.image()), std::vector<int>({137}));
    surface.scale(-100, 100, 100, -100);

    // A large circle (5050 units, a radius of a few thousand pixels) whose top passes
    // 50 units above the centre: row 50 at the middle, bending down towards the edges.
    surface.cls();
    surface.setDrawStyle(DrawStyle::Solid);
    surface.circle(0, -5000, 5050);
    EXPECT_EQ(at(surface, 100, 50), BlackPixel);
    EXPECT_EQ(at(surface, 100, 49), WhitePixel);
    EXPECT_EQ(at(surface, 100, 51), WhitePixel);
    const double edgeRow = 100 - (-5000 + std::sqrt(5050.0 * 5050.0 - 100.0 * 100.0));
    for (const int column : {0, 199}) {
        int row = 0;
        while (row < 200 && at(surface, column, row) == WhitePixel)
            ++row;
        EXPECT_NEAR(row, edgeRow, 1) << column;
    }

    // A million pixels in radius: straight over the image.
    surface.cls();
    surface.circle(0, 1e6f, 1e6f - 30);
    EXPECT_EQ(inkedRows(surface.image()), std::vector<int>({70}));

    // Not meeting the image, or surrounding it: no outline.
    surface.cls();
    surface.circle(0, -1e30f, 9e29f);
    surface.circle(3e30f, 0, 1e29f);
    surface.circle(0, 0, 1e30f);
    surface.circle(0, 0, FLT_MAX);
    EXPECT_EQ(nonWhite(surface.image()), 0);
}

TEST_F(ImageSurfaceTest, FillsTheVisiblePartOfHugeDiscs)
{
    surface.setFillStyle(FillStyle::Solid);
    surface.setFillColor(rgb(255, 0, 0));

    surface.circle(0, 0, 1e30f);
    EXPECT_EQ(at(surface, 0, 0), RedPixel);
    EXPECT_EQ(at(surface, 199, 199), RedPixel);

    surface.cls();
    surface.circle(0, -1e30f, 1e30f);
    EXPECT_EQ(at(surface, 50, 0), WhitePixel);
    EXPECT_EQ(at(surface, 50, 100), BlackPixel);
    EXPECT_EQ(at(surface, 50, 120), RedPixel);
    EXPECT_EQ(at(surface, 199, 199), RedPixel);

    surface.cls();
    surface.circle(0, -5000, 5050);
    EXPECT_EQ(at(surface, 100, 40), WhitePixel);
    EXPECT_EQ(at(surface, 100, 60), RedPixel);
    EXPECT_EQ(at(surface, 0, 199), RedPixel);

    surface.cls();
    surface.circle(3e30f, 0, 1e29f);
    EXPECT_EQ(nonWhite(surface.image()), 0);
}

// The path layer repaints only what other drawing touched; every kind of drawing over the
// path, and every change that makes the last path useless, must give the same image as
// drawing the polyline line by line.
TEST(ImageSurface, PolylinesDrawTheSameWithTheLayerAsLineByLine)
{
    ImageSurface layered(QSize(120, 90), 15, QFont(QStringLiteral("DejaVu Sans"), 8));
    ImageSurface plain(QSize(120, 90), 15, QFont(QStringLiteral("DejaVu Sans"), 8));
    plain.setPathLayerEnabled(false);
    std::vector<UserPoint> path;
    for (int i = 0; i < 60; ++i) {
        const double angle = i * 0.29;
        path.push_back({float((40 - i * 0.5) * std::cos(angle)),
            float((30 - i * 0.3) * std::sin(angle * 1.3))});
    }
    const auto both = [&](const std::function<void(ImageSurface &)> &draw) {
        draw(layered);
        draw(plain);
        return layered.image() == plain.image();
    };
    // Each path drawn after a circle that stays put, which the path crosses.
    const auto polyline = [&](std::size_t count, Rgb colour = rgb(255, 0, 0)) {
        return both([&](ImageSurface &s) {
            s.circle(0, 0, 28, rgb(55, 0, 255));
            s.polyline(std::span(path.data(), count), colour);
        });
    };
    ASSERT_TRUE(both([](ImageSurface &s) { s.scale(-60, 45, 60, -45); }));
    ASSERT_TRUE(both([](ImageSurface &s) { s.setDrawWidth(3); }));
    ASSERT_TRUE(polyline(10));

    // Drawing of every kind over the path, each followed by a longer or the same path.
    const std::vector<std::function<void(ImageSurface &)>> overdraw = {
        [](ImageSurface &s) { s.line(-50, -40, 50, 40, White); },
        [](ImageSurface &s) { s.circle(10, 5, 25, rgb(55, 0, 255)); },
        [](ImageSurface &s) {
            s.setFillStyle(FillStyle::Solid);
            s.setFillColor(White);
            s.circle(-20, 10, 12, White);
            s.setFillStyle(FillStyle::Transparent);
        },
        [](ImageSurface &s) { s.pset(38, 0, White); },
        [](ImageSurface &s) {
            s.setCurrentX(-40);
            s.setCurrentY(20);
            s.print("r = 12");
        },
        [](ImageSurface &s) {
            s.setDrawWidth(1);
            s.setDrawStyle(DrawStyle::Dot);
            s.circle(0, -1e30f, 1e30f, White);
            s.setDrawStyle(DrawStyle::Solid);
            s.setDrawWidth(3);
        },
    };
    std::size_t count = 10;
    for (const auto &draw : overdraw) {
        ASSERT_TRUE(both(draw));
        count += 5;
        ASSERT_TRUE(polyline(count)) << count;
        ASSERT_TRUE(both(overdraw.front()));
        ASSERT_TRUE(polyline(count)) << count;
    }

    // What the last path cannot be kept through: another colour, another width, fewer or
    // other points, clearing, a new scale, a new size.
    ASSERT_TRUE(polyline(count + 3, rgb(0, 0, 0)));
    ASSERT_TRUE(polyline(count + 4));
    ASSERT_TRUE(both([](ImageSurface &s) { s.setDrawWidth(4); }));
    ASSERT_TRUE(polyline(count + 5));
    ASSERT_TRUE(both([](ImageSurface &s) { s.setDrawWidth(3); }));
    ASSERT_TRUE(polyline(12));
    ASSERT_TRUE(both(overdraw.front()));
    ASSERT_TRUE(polyline(14));
    std::swap(path[3], path[4]);
    ASSERT_TRUE(polyline(20));
    ASSERT_TRUE(both([](ImageSurface &s) { s.cls(); }));
    ASSERT_TRUE(polyline(22));
    ASSERT_TRUE(both([](ImageSurface &s) { s.scale(-30, 20, 30, -20); }));
    ASSERT_TRUE(polyline(24));
    ASSERT_TRUE(both([](ImageSurface &s) { s.resize(QSize(150, 60)); }));
    ASSERT_TRUE(both(overdraw.front()));
    ASSERT_TRUE(polyline(26));
    EXPECT_EQ(layered.currentX(), path[25].x);
    EXPECT_EQ(layered.currentY(), path[25].y);
}

TEST_F(ImageSurfaceTest, PrintsTextDownwardsFromTheCurrentPosition)
{
    surface.setCurrentX(-90);
    surface.setCurrentY(90);
    surface.print("r= 1");
    const float lineHeight = 90 - surface.currentY();
    EXPECT_GT(lineHeight, 5);
    EXPECT_LT(lineHeight, 30);
    EXPECT_EQ(surface.currentX(), -100);

    const std::vector<int> rows = inkedRows(surface.image());
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.front(), 10);
    EXPECT_LE(rows.back(), 10 + lineHeight);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const QRgb pixel = at(surface, x, y);
            ASSERT_TRUE(pixel == WhitePixel || pixel == BlackPixel) << "antialiased at " << x;
        }
    }
}

} // namespace
} // namespace kentrikh
