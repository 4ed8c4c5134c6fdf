#pragma once

// Lines, circles and discs rasterised into a 32-bit pixel buffer, one run of a row at a
// time, without antialiasing. Coordinates are in device pixels, pixel (i, j) centred at
// (i, j); a pixel is painted when its centre lies in the shape:
//
//     wide line (width w > 1)   within w/2 of the segment: round ends
//     thin line (width <= 1)    one pixel a step along the major axis, the one whose centre
//                               lies within half a pixel of the line across that axis
//     wide circle               within w/2 of the circle
//     thin circle               as the thin line, octant by octant
//     disc, convex polygon      inside
//
// So a wider pen covers every pixel a narrower one paints along the same geometry, and the
// scene's erasing (drawing the same thing again in white) leaves no trace. Each row's run
// is computed directly, in constant time. Every routine visits only rows and columns inside
// the buffer whatever its arguments, and drops geometry that is not finite; callers clip
// far geometry first, so that coordinates stay within a few thousand pixels of the buffer
// where doubles place them exactly.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

namespace kentrikh::raster {

struct Point
{
    double x = 0;
    double y = 0;
};

// A run of pixels: x0 to x1 of row y.
struct Run
{
    int y = 0;
    int x0 = 0;
    int x1 = -1;

    friend bool operator==(const Run &, const Run &) = default;
};

// The bounding box of some pixels, grown run by run; empty until the first.
struct Bounds
{
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = -1;
    int bottom = -1;

    bool isEmpty() const { return top > bottom; }
    // Takes in pixels x0 to x1 of row y.
    void add(int y, int x0, int x1)
    {
        left = std::min(left, x0);
        right = std::max(right, x1);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    void add(const Bounds &other)
    {
        left = std::min(left, other.left);
        right = std::max(right, other.right);
        top = std::min(top, other.top);
        bottom = std::max(bottom, other.bottom);
    }
};

// A set of pixels of a buffer, a bit each, by rows of 64-bit words.
class PixelSet
{
public:
    // Empty, for a buffer of width x height pixels. Allocates only when the size changes.
    void reset(int width, int height);
    void clear();
    // Pixels x0 to x1 of row y, as far as they lie in the buffer.
    void add(int y, int x0, int x1);

    bool isEmpty() const { return m_box.isEmpty(); }
    // Whether any of pixels x0 to x1 of row y, 0 <= x0 <= x1 < width, is in the set.
    bool meets(int y, int x0, int x1) const { return bits().meets(y, x0, x1); }

    using Word = std::uint64_t;
    // What meets() reads, as plain values: a copy held in locals stays in registers while
    // pixels are written, where the set's members would be read again after every write.
    struct Bits
    {
        const Word *words;
        int wordsPerRow;
        Bounds box;

        bool meets(int y, int x0, int x1) const;
    };
    Bits bits() const { return {m_words.data(), m_wordsPerRow, m_box}; }
    // Whether any of pixels x0 to x1, 0 <= x0 <= x1 < width, is set in a row of the words.
    static bool rowMeets(const Word *row, int x0, int x1);

    // run(y, a, b) for each run of pixels of the set within x0 to x1 of row y.
    template<typename RunFunction>
    void forEachRunWithin(int y, int x0, int x1, RunFunction run) const;

private:
    static constexpr int WordBits = 64;

    int m_width = 0;
    int m_height = 0;
    int m_wordsPerRow = 0;
    std::vector<Word> m_words;
    Bounds m_box;
};

enum class Dashes { Solid, Dot, DashDot };

struct Stroke
{
    double width = 1; // in device pixels; 1 or less draws the thin line
    Dashes dashes = Dashes::Solid;
};

// Draws into pixels[y * stride + x] for 0 <= x < width, 0 <= y < height. It keeps the
// bounding box of what it wrote and, when given a log, appends every run it writes.
class Canvas
{
public:
    Canvas(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride);

    void setColour(std::uint32_t pixel) { m_colour = pixel; }
    // With only, the log gets just the runs that meet that set.
    void setLog(std::vector<Run> *log, const PixelSet *only = nullptr)
    {
        m_log = log;
        m_logOnly = only;
    }

    // The pixels of the set within the runs. Without a log, the bounding box takes in the
    // whole of each run that holds any.
    void spansWithin(const PixelSet &set, std::span<const Run> runs);
    void fill();

    // A pixel (width <= 1) or a disc of the width.
    void point(Point p, double width);
    // A dashed stroke's pattern starts phase pixels in; phase comes back advanced by the
    // length of the segment, so that a chain of segments keeps one pattern along it. Dashes
    // have flat ends; the pattern is in units of the width, at least a pixel: Dot 1 on,
    // 1 off; DashDot 4 on, 2 off, 1 on, 2 off.
    void segment(Point a, Point b, const Stroke &stroke, double &phase);
    // A solid outline.
    void circle(Point centre, double radius, double width);
    void disc(Point centre, double radius);
    void convexPolygon(const std::vector<Point> &corners);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool wroteAny() const { return !m_box.isEmpty(); }
    int left() const { return m_box.left; }
    int top() const { return m_box.top; }
    int right() const { return m_box.right; }
    int bottom() const { return m_box.bottom; }

private:
    class Writer;
    friend class OutlineCache;

    // Runs that lie in the buffer, within the box; with skipPainted, those whose pixels all
    // hold the colour already are left out.
    void spansInside(std::span<const Run> runs, const Bounds &box, bool skipPainted);

    // The rows between top and bottom that lie in the buffer; false when there are none.
    bool rowsBetween(double top, double bottom, int &first, int &last) const;
    void thinSegment(Point a, Point b, Dashes dashes, double phase);
    void wideSegment(Point a, Point b, double radius, bool roundEnds);
    void dashedWideSegment(Point a, Point b, double width, Dashes dashes, double phase);
    void thinCircle(Point centre, double radius);
    void annulus(Point centre, double inner, double outer);

    std::uint32_t *m_pixels;
    int m_width;
    int m_height;
    std::ptrdiff_t m_stride;
    std::uint32_t m_colour = 0xff000000;
    std::vector<Run> *m_log = nullptr;
    const PixelSet *m_logOnly = nullptr;
    // What it wrote.
    Bounds m_box;
};

inline bool PixelSet::Bits::meets(int y, int x0, int x1) const
{
    if (y < box.top || y > box.bottom || x1 < box.left || x0 > box.right)
        return false;
    return rowMeets(words + std::size_t(y) * wordsPerRow, x0, x1);
}

inline bool PixelSet::rowMeets(const Word *row, int x0, int x1)
{
    const unsigned length = unsigned(x1 - x0) + 1;
    if constexpr (std::endian::native == std::endian::little) {
        // Bit x of a row is bit x % 8 of its byte x / 8, so the eight bytes from the one that
        // holds x0 on hold the bits of the 57 pixels from x0 on: most runs take one load.
        // The words end with one to spare.
        if (length <= 57) {
            Word chunk;
            std::memcpy(&chunk, reinterpret_cast<const unsigned char *>(row) + unsigned(x0) / 8,
                sizeof chunk);
            return (chunk >> (unsigned(x0) % 8)) & (~Word(0) >> (WordBits - length));
        }
    }
    const unsigned first = unsigned(x0) / WordBits;
    const unsigned last = unsigned(x1) / WordBits;
    const Word head = ~Word(0) << (unsigned(x0) % WordBits);
    const Word tail = ~Word(0) >> (WordBits - 1 - unsigned(x1) % WordBits);
    if (first == last)
        return row[first] & head & tail;
    if (row[first] & head || row[last] & tail)
        return true;
    for (unsigned w = first + 1; w < last; ++w) {
        if (row[w])
            return true;
    }
    return false;
}

// What the owner of a buffer keeps of the runs written on it, for outlines drawn again: from
// the time an outline's pixels are watched, the runs written that meet them are kept, for a
// while.
class WriteHistory
{
public:
    // Now, as a point to look back to.
    virtual std::uint64_t now() const = 0;
    // Every run written since the point that meets watched pixels, and maybe some written
    // before it, in two pieces; false when the history no longer reaches back to the point.
    virtual bool since(
        std::uint64_t point, std::span<const Run> &earlier, std::span<const Run> &later) const = 0;
    // Runs that meet these pixels are kept from now on.
    virtual void watch(std::span<const Run> runs) = 0;

protected:
    ~WriteHistory() = default;
};

// The runs of the outlines drawn last, so that an outline drawn again where it was drawn before
// (a circle that stays put while the picture changes around it) is painted from its runs
// instead of being worked out again. The runs are kept from an outline's second drawing on.
// With a history of the buffer, an outline drawn again repaints only where it was written
// over since it was last painted.
class OutlineCache
{
public:
    // canvas.circle(centre, radius, width).
    void circle(
        Canvas &canvas, Point centre, double radius, double width, WriteHistory *history = nullptr);

private:
    struct Outline
    {
        int canvasWidth = 0;
        int canvasHeight = 0;
        Point centre;
        double radius = 0;
        double width = 0;
        bool recorded = false;
        std::vector<Run> runs;
        Bounds box;
        // The runs in order of rows, those of row box.top + i from rowStarts[i] on.
        std::vector<Run> byRow;
        std::vector<std::uint32_t> rowStarts;
        std::uint64_t lastUse = 0;
        // When it was last painted, in that history.
        const WriteHistory *history = nullptr;
        std::uint64_t painted = 0;
    };

    static void sortByRows(Outline &outline);
    // Into m_stale, its runs that meet the written ones and no longer hold its colour.
    void findStale(const Canvas &canvas, const Outline &outline, std::span<const Run> written);

    // More than a picture draws outlines a step, so that those that stay put are not pushed
    // out by those that move.
    std::array<Outline, 8> m_outlines;
    std::uint64_t m_uses = 0;
    std::vector<Run> m_stale;
};

template<typename RunFunction>
void PixelSet::forEachRunWithin(int y, int x0, int x1, RunFunction run) const
{
    if (y < m_box.top || y > m_box.bottom)
        return;
    x0 = std::max(x0, m_box.left);
    x1 = std::min(x1, m_box.right);
    if (x0 > x1)
        return;
    const Word *row = m_words.data() + std::size_t(y) * m_wordsPerRow;
    int start = 0;
    int end = -2; // the run so far, carried across word boundaries
    for (int w = x0 / WordBits; w <= x1 / WordBits; ++w) {
        Word bits = row[w];
        if (w == x0 / WordBits)
            bits &= ~Word(0) << (x0 % WordBits);
        if (w == x1 / WordBits)
            bits &= ~Word(0) >> (WordBits - 1 - x1 % WordBits);
        while (bits) {
            const int from = std::countr_zero(bits);
            const int length = std::countr_one(bits >> from);
            const int a = w * WordBits + from;
            if (a != end + 1) {
                if (end >= start)
                    run(y, start, end);
                start = a;
            }
            end = a + length - 1;
            bits = from + length >= WordBits ? 0 : bits & (~Word(0) << (from + length));
        }
    }
    if (end >= start)
        run(y, start, end);
}

} // namespace kentrikh::raster
