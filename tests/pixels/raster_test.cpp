#include "pixels/raster.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kentrikh::raster {
namespace {

constexpr std::uint32_t Paper = 0xffffffff;
constexpr std::uint32_t Ink = 0xff000000;
// Pixel centres this close to a shape's edge may fall either way under rounding.
constexpr double EdgeTolerance = 1e-9;

// A buffer with a margin of guard pixels around the part the canvas may draw on.
class Buffer
{
public:
    static constexpr int Guard = 8;

    Buffer(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pixels(std::size_t(width + 2 * Guard) * (height + 2 * Guard), Paper)
    {
    }

    Canvas canvas()
    {
        Canvas canvas(&m_pixels[Guard * stride() + Guard], m_width, m_height, stride());
        canvas.setColour(Ink);
        return canvas;
    }
    bool inked(int x, int y) const { return m_pixels[(y + Guard) * stride() + x + Guard] == Ink; }
    bool guardsClean() const
    {
        for (int y = -Guard; y < m_height + Guard; ++y) {
            for (int x = -Guard; x < m_width + Guard; ++x) {
                const bool inside = x >= 0 && x < m_width && y >= 0 && y < m_height;
                if (!inside && inked(x, y))
                    return false;
            }
        }
        return true;
    }
    int width() const { return m_width; }
    int height() const { return m_height; }
    friend bool operator==(const Buffer &, const Buffer &) = default;

private:
    std::ptrdiff_t stride() const { return m_width + 2 * Guard; }

    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
};

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Every pixel is inked exactly when inside(distance) holds for its centre, apart from
// centres on the edge itself.
template<typename Distance>
void expectInkWhere(const Buffer &buffer, Distance distance, double reach)
{
    for (int y = 0; y < buffer.height(); ++y) {
        for (int x = 0; x < buffer.width(); ++x) {
            const double d = distance(Point {double(x), double(y)});
            if (std::abs(d - reach) < EdgeTolerance)
                continue;
            ASSERT_EQ(buffer.inked(x, y), d <= reach) << "pixel " << x << ", " << y;
        }
    }
}

TEST(Raster, WideLinesCoverThePixelsWithinHalfTheWidth)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-10, 74);
    for (int i = 0; i < 200; ++i) {
        const Point a {coordinate(random), coordinate(random)};
        // Some of zero length, some along an axis.
        Point b {coordinate(random), coordinate(random)};
        if (i % 10 == 0)
            b = a;
        else if (i % 10 == 1)
            b.y = a.y;
        else if (i % 10 == 2)
            b.x = a.x;
        const double width = 2 + i % 5 + (i % 3) * 0.37;
        Buffer buffer(64, 48);
        Canvas canvas = buffer.canvas();
        double phase = 0;
        canvas.segment(a, b, {width, Dashes::Solid}, phase);
        expectInkWhere(
            buffer, [&](Point p) { return distanceToSegment(p, a, b); }, width / 2);
    }
}

TEST(Raster, WideCirclesAndDiscsCoverTheirRing)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-20, 84);
    std::uniform_real_distribution<double> size(0, 40);
    for (int i = 0; i < 100; ++i) {
        const Point c {coordinate(random), coordinate(random)};
        const double radius = size(random);
        const double width = 2 + i % 4;
        const auto fromCentre = [&](Point p) { return std::hypot(p.x - c.x, p.y - c.y); };

        Buffer ring(64, 48);
        ring.canvas().circle(c, radius, width);
        expectInkWhere(
            ring, [&](Point p) { return std::abs(fromCentre(p) - radius); }, width / 2);

        Buffer disc(64, 48);
        disc.canvas().disc(c, radius);
        expectInkWhere(disc, fromCentre, radius);
    }
}

// One pixel on every step along the major axis, the one nearest the line across it.
TEST(Raster, ThinLinesTakeOnePixelAStep)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(0, 47);
    for (int i = 0; i < 200; ++i) {
        const Point a {coordinate(random), coordinate(random)};
        const Point b {coordinate(random), coordinate(random)};
        Buffer buffer(48, 48);
        Canvas canvas = buffer.canvas();
        double phase = 0;
        canvas.segment(a, b, {1, Dashes::Solid}, phase);

        const bool alongX = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
        const auto major = [&](Point p) { return alongX ? p.x : p.y; };
        const auto minor = [&](Point p) { return alongX ? p.y : p.x; };
        const int first = int(std::floor(std::min(major(a), major(b)) + 0.5));
        const int last = int(std::floor(std::max(major(a), major(b)) + 0.5));
        for (int m = 0; m < 48; ++m) {
            int count = 0;
            for (int n = 0; n < 48; ++n) {
                const bool inked = alongX ? buffer.inked(m, n) : buffer.inked(n, m);
                if (!inked)
                    continue;
                ++count;
                const double t = major(b) == major(a) ? 0 : (m - major(a)) / (major(b) - major(a));
                const double across = minor(a) + t * (minor(b) - minor(a));
                EXPECT_LE(std::abs(n - across), 0.5 + EdgeTolerance) << i;
            }
            EXPECT_EQ(count, m >= first && m <= last ? 1 : 0) << i << " at " << m;
        }
    }
}

TEST(Raster, ThinCirclesAreConnectedAndHugTheCircle)
{
    for (const double radius : {2.3, 7.5, 19.0, 30.2}) {
        const Point c {32.4, 31.7};
        Buffer buffer(64, 64);
        buffer.canvas().circle(c, radius, 1);
        int pixels = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (!buffer.inked(x, y))
                    continue;
                ++pixels;
                EXPECT_LE(std::abs(std::hypot(x - c.x, y - c.y) - radius), 0.75) << radius;
                int neighbours = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx)
                        neighbours += (dx || dy) && buffer.inked(x + dx, y + dy);
                }
                EXPECT_GE(neighbours, 2) << radius << " at " << x << ", " << y;
            }
        }
        // About 4 sqrt(2) r pixels for a one-pixel outline, not 2 pi r or more.
        EXPECT_NEAR(pixels, 4 * std::sqrt(2.0) * radius, 0.1 * radius + 4) << radius;
    }
}

TEST(Raster, DashesFollowTheirPatternAlongChainedSegments)
{
    Buffer buffer(64, 8);
    Canvas canvas = buffer.canvas();
    double phase = 0;
    // Two segments along row 3, the second going on where the first stopped.
    canvas.segment({0, 3}, {13, 3}, {1, Dashes::DashDot}, phase);
    EXPECT_EQ(phase, 13);
    canvas.segment({13, 3}, {40, 3}, {1, Dashes::DashDot}, phase);
    const auto row = [&](int y) {
        std::string pixels;
        for (int x = 0; x < 27; ++x)
            pixels += buffer.inked(x, y) ? '#' : '.';
        return pixels;
    };
    EXPECT_EQ(row(3), "####..#..####..#..####..#..");

    // Two pixels wide the pattern doubles, on rows 5 and 6; the ends of a dash count as in.
    phase = 0;
    canvas.segment({0, 5.3}, {40, 5.3}, {2, Dashes::DashDot}, phase);
    EXPECT_EQ(row(5), "#########...###...#########");
    EXPECT_EQ(row(6), row(5));
    EXPECT_EQ(row(7), std::string(27, '.'));
}

// Nothing ever lands outside the buffer, whatever the geometry.
TEST(Raster, StaysInsideTheBuffer)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {-1e300, -5e9, -3, 0.5, 20, 33.9, 5e9, 1e300, inf, nan};
    Buffer buffer(32, 24);
    Canvas canvas = buffer.canvas();
    for (const double a : values) {
        for (const double b : values) {
            for (const double width : {1.0, 3.0}) {
                for (const Dashes dashes : {Dashes::Solid, Dashes::Dot}) {
                    double phase = 0;
                    canvas.segment({a, 5}, {b, 30}, {width, dashes}, phase);
                    canvas.segment({-4, a}, {b, 9}, {width, dashes}, phase);
                }
                canvas.circle({a, 10}, std::abs(b), width);
                canvas.point({a, b}, width);
            }
            canvas.disc({15, a}, b);
            canvas.convexPolygon({{a, -5}, {b, 40}, {-7, b}});
        }
    }
    EXPECT_TRUE(buffer.guardsClean());
}

TEST(Raster, PixelSetWalksRunsAcrossWords)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<int> column(-20, 219);
    std::uniform_int_distribution<int> row(0, 9);
    PixelSet set;
    set.reset(200, 10);
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i < 60; ++i) {
        const int y = row(random);
        int x0 = column(random);
        int x1 = x0 + column(random) / 8;
        set.add(y, x0, x1);
        for (int x = std::max(x0, 0); x <= std::min(x1, 199); ++x)
            expected.insert({x, y});
    }
    for (int y = 0; y < 10; ++y) {
        for (const auto &[from, to] :
            {std::pair {0, 199}, std::pair {63, 64}, std::pair {70, 130}}) {
            std::vector<std::pair<int, int>> runs;
            set.forEachRunWithin(y, from, to, [&](int runY, int x0, int x1) {
                EXPECT_EQ(runY, y);
                runs.push_back({x0, x1});
            });
            // Maximal runs in order, covering exactly the pixels of the set in the window.
            std::vector<std::pair<int, int>> want;
            for (int x = from; x <= to; ++x) {
                if (!expected.count({x, y}))
                    continue;
                if (!want.empty() && want.back().second == x - 1)
                    want.back().second = x;
                else
                    want.push_back({x, x});
            }
            EXPECT_EQ(runs, want) << "row " << y << " from " << from;
            EXPECT_EQ(set.meets(y, from, to), !want.empty()) << "row " << y << " from " << from;
        }
    }
    // A canvas paints just those pixels of the set that lie in the runs it is given.
    Buffer buffer(200, 10);
    Canvas canvas = buffer.canvas();
    const std::vector<raster::Run> windows {{2, 0, 199}, {5, 63, 64}, {7, 70, 130}, {7, 100, 150}};
    canvas.spansWithin(set, windows);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inWindow = std::any_of(windows.begin(), windows.end(),
                [&](const raster::Run &w) { return w.y == y && x >= w.x0 && x <= w.x1; });
            EXPECT_EQ(buffer.inked(x, y), inWindow && expected.count({x, y}) > 0) << x << "," << y;
        }
    }
    set.clear();
    EXPECT_TRUE(set.isEmpty());
    for (int y = 0; y < 10; ++y)
        set.forEachRunWithin(y, 0, 199, [](int, int, int) { ADD_FAILURE() << "a pixel left"; });
}

// An outline drawn again is painted from its runs: the pixels must be the very ones the canvas
// works out, whatever was drawn in between and on whichever canvas.
TEST(Raster, OutlineCachePaintsWhatTheCanvasDraws)
{
    struct Outline
    {
        Point centre;
        double radius;
        double width;
    };
    // Two that stay put, wide and thin, among others that move or change their size; in ink
    // and in white; now and then enough of the others to push the two out.
    const Outline neighbours[] = {{{21.3, 14.8}, 12, 3}, {{20.3, 15.8}, 12, 3},
        {{20.3, 14.8}, 12.5, 3}, {{20.3, 14.8}, 12, 2}};
    std::vector<Outline> outlines;
    for (int i = 0; i < 40; ++i) {
        outlines.push_back({{20.3, 14.8}, 12, 3});
        outlines.push_back({{30, 5}, 15, 1});
        if (i % 3 == 1)
            outlines.push_back(neighbours[i / 3 % 4]);
        for (int j = 0; j < (i % 10 == 4 ? 9 : 2); ++j)
            outlines.push_back({{i * 0.7 + j, 30 - i * 0.4}, 4.0 + j + i % 3, 1.0 + j % 4});
    }
    OutlineCache cache;
    for (const int width : {40, 52}) {
        Buffer cached(width, 30);
        Buffer direct(width, 30);
        for (std::size_t i = 0; i < outlines.size(); ++i) {
            const Outline &o = outlines[i];
            Canvas viaCache = cached.canvas();
            Canvas canvas = direct.canvas();
            if (i % 3 == 2) {
                viaCache.setColour(Paper);
                canvas.setColour(Paper);
            }
            std::vector<raster::Run> cacheLog;
            std::vector<raster::Run> log;
            viaCache.setLog(&cacheLog);
            canvas.setLog(&log);
            cache.circle(viaCache, o.centre, o.radius, o.width);
            canvas.circle(o.centre, o.radius, o.width);
            ASSERT_TRUE(cached == direct) << "outline " << i << " on a canvas " << width << " wide";
            // The same runs logged and the same bounding box, for the path layer and the
            // window's update.
            ASSERT_EQ(cacheLog.size(), log.size()) << "outline " << i;
            for (std::size_t r = 0; r < log.size(); ++r) {
                ASSERT_EQ(std::tie(cacheLog[r].y, cacheLog[r].x0, cacheLog[r].x1),
                    std::tie(log[r].y, log[r].x0, log[r].x1))
                    << "outline " << i;
            }
            ASSERT_EQ(std::make_tuple(
                          viaCache.left(), viaCache.top(), viaCache.right(), viaCache.bottom()),
                std::make_tuple(canvas.left(), canvas.top(), canvas.right(), canvas.bottom()))
                << "outline " << i;
        }
    }
}

} // namespace
} // namespace kentrikh::raster
