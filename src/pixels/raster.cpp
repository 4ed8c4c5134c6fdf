#include "pixels/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <numeric>
#include <tuple>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kentrikh::raster {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

bool isFinite(Point p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// std::floor and std::ceil for values well inside the range of int; without SSE4.1 the
// library's are several times slower, and a run is computed for every row of every shape.
int floorToInt(double v)
{
    const int i = int(v);
    return i > v ? i - 1 : i;
}

int ceilToInt(double v)
{
    const int i = int(v);
    return i < v ? i + 1 : i;
}

// The nearest whole pixel, halves upward; far values are held where int still counts, NaN
// among them.
int nearest(double v)
{
    const double held = v < 1e9 ? (v > -1e9 ? v : -1e9) : 1e9;
    return floorToInt(held + 0.5);
}

// n > 0 pixels from p on. Most runs of an outline are a few pixels long: blocks of two or
// four pixels written over each other cover them without a loop, whose exit the processor
// would mispredict at every run.
inline void fillRun(std::uint32_t *p, int n, std::uint32_t colour)
{
    if (n == 1) {
        *p = colour;
        return;
    }
    const std::uint32_t four[4] = {colour, colour, colour, colour};
    const auto put2 = [&](int at) { std::memcpy(p + at, four, 2 * sizeof colour); };
    const auto put4 = [&](int at) { std::memcpy(p + at, four, 4 * sizeof colour); };
    if (n <= 4) {
        put2(0);
        put2(n - 2);
    } else if (n <= 8) {
        put4(0);
        put4(n - 4);
    } else {
        for (int at = 0; at + 4 <= n; at += 4)
            put4(at);
        put4(n - 4);
    }
}

// Whether the n > 0 pixels from p on all hold the colour; read as fillRun writes them.
inline bool holdsColour(const std::uint32_t *p, int n, std::uint32_t colour)
{
    if (n == 1)
        return *p == colour;
    const std::uint64_t pair = colour * 0x100000001ull;
    const auto differs2 = [&](int at) {
        std::uint64_t pixels;
        std::memcpy(&pixels, p + at, sizeof pixels);
        return pixels ^ pair;
    };
    const auto differs4 = [&](int at) { return differs2(at) | differs2(at + 2); };
    if (n <= 4)
        return (differs2(0) | differs2(n - 2)) == 0;
    std::uint64_t any = differs4(n - 4);
    for (int at = 0; at + 4 <= n; at += 4)
        any |= differs4(at);
    return any == 0;
}

// Two doubles worked on at once: one SSE2 register where the processor has them, two plain
// doubles elsewhere. Each operation rounds as its scalar counterpart, max and min pick as
// std::max and std::min do, so both give the same pixels. Rows of a shape are worked out two
// at a time, without a branch between them.
#if defined(__SSE2__)
class Pair
{
public:
    explicit Pair(double both)
        : m_v(_mm_set1_pd(both))
    {
    }
    Pair(double first, double second)
        : m_v(_mm_set_pd(second, first))
    {
    }

    friend Pair operator+(Pair a, Pair b) { return Pair(_mm_add_pd(a.m_v, b.m_v)); }
    friend Pair operator-(Pair a, Pair b) { return Pair(_mm_sub_pd(a.m_v, b.m_v)); }
    friend Pair operator*(Pair a, Pair b) { return Pair(_mm_mul_pd(a.m_v, b.m_v)); }
    // std::max(a, b) is (a < b ? b : a), which maxpd gives with its operands swapped.
    friend Pair max(Pair a, Pair b) { return Pair(_mm_max_pd(b.m_v, a.m_v)); }
    friend Pair min(Pair a, Pair b) { return Pair(_mm_min_pd(b.m_v, a.m_v)); }
    friend Pair sqrt(Pair a) { return Pair(_mm_sqrt_pd(a.m_v)); }
    // Lane by lane: then where a < b (a <= b), otherwise elsewhere.
    friend Pair ifLess(Pair a, Pair b, Pair then, Pair otherwise)
    {
        return select(_mm_cmplt_pd(a.m_v, b.m_v), then, otherwise);
    }
    friend Pair ifLessOrEqual(Pair a, Pair b, Pair then, Pair otherwise)
    {
        return select(_mm_cmple_pd(a.m_v, b.m_v), then, otherwise);
    }

    void store(double *out) const { _mm_storeu_pd(out, m_v); }

    // floorToInt and ceilToInt of both, into out[0] and out[1].
    void floorTo(int *out) const { store(adjusted<false>(), out); }
    void ceilTo(int *out) const { store(adjusted<true>(), out); }

private:
    explicit Pair(__m128d v)
        : m_v(v)
    {
    }
    // Truncated, then one less (floor) where that lies above the value, or one more (ceil)
    // where it lies below; a comparison's lanes are all ones, -1 as integers.
    template<bool Up>
    __m128i adjusted() const
    {
        const __m128i truncated = _mm_cvttpd_epi32(m_v);
        const __m128d back = _mm_cvtepi32_pd(truncated);
        const __m128d beyond = Up ? _mm_cmplt_pd(back, m_v) : _mm_cmpgt_pd(back, m_v);
        const __m128i off = _mm_shuffle_epi32(_mm_castpd_si128(beyond), _MM_SHUFFLE(3, 3, 2, 0));
        return Up ? _mm_sub_epi32(truncated, off) : _mm_add_epi32(truncated, off);
    }
    static void store(__m128i v, int *out)
    {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), v);
    }
    static Pair select(__m128d mask, Pair then, Pair otherwise)
    {
        return Pair(_mm_or_pd(_mm_and_pd(mask, then.m_v), _mm_andnot_pd(mask, otherwise.m_v)));
    }

    __m128d m_v;
};
#else
class Pair
{
public:
    explicit Pair(double both)
        : m_a(both)
        , m_b(both)
    {
    }
    Pair(double first, double second)
        : m_a(first)
        , m_b(second)
    {
    }

    friend Pair operator+(Pair a, Pair b) { return {a.m_a + b.m_a, a.m_b + b.m_b}; }
    friend Pair operator-(Pair a, Pair b) { return {a.m_a - b.m_a, a.m_b - b.m_b}; }
    friend Pair operator*(Pair a, Pair b) { return {a.m_a * b.m_a, a.m_b * b.m_b}; }
    friend Pair max(Pair a, Pair b) { return {std::max(a.m_a, b.m_a), std::max(a.m_b, b.m_b)}; }
    friend Pair min(Pair a, Pair b) { return {std::min(a.m_a, b.m_a), std::min(a.m_b, b.m_b)}; }
    friend Pair sqrt(Pair a) { return {std::sqrt(a.m_a), std::sqrt(a.m_b)}; }
    friend Pair ifLess(Pair a, Pair b, Pair then, Pair otherwise)
    {
        return {a.m_a < b.m_a ? then.m_a : otherwise.m_a, a.m_b < b.m_b ? then.m_b : otherwise.m_b};
    }
    friend Pair ifLessOrEqual(Pair a, Pair b, Pair then, Pair otherwise)
    {
        return {
            a.m_a <= b.m_a ? then.m_a : otherwise.m_a, a.m_b <= b.m_b ? then.m_b : otherwise.m_b};
    }

    void store(double *out) const
    {
        out[0] = m_a;
        out[1] = m_b;
    }

    void floorTo(int *out) const
    {
        out[0] = floorToInt(m_a);
        out[1] = floorToInt(m_b);
    }
    void ceilTo(int *out) const
    {
        out[0] = ceilToInt(m_a);
        out[1] = ceilToInt(m_b);
    }

private:
    double m_a;
    double m_b;
};
#endif

// A dash pattern, in units of the width (at least a pixel): Dot 1 on, 1 off; DashDot 4 on,
// 2 off, 1 on, 2 off.
class Pattern
{
public:
    Pattern(Dashes dashes, double width)
        : m_unit(std::max(width, 1.0))
        , m_dashDot(dashes == Dashes::DashDot)
    {
    }

    double period() const { return (m_dashDot ? 9 : 2) * m_unit; }
    // The drawn pieces of one period.
    int pieces() const { return m_dashDot ? 2 : 1; }
    std::pair<double, double> piece(int i) const
    {
        if (i == 0)
            return {0, (m_dashDot ? 4 : 1) * m_unit};
        return {6 * m_unit, 7 * m_unit};
    }
    // Whether the position pos, 0 <= pos < period(), is drawn.
    bool covers(double pos) const
    {
        return pos < piece(0).second
            || (m_dashDot && pos >= piece(1).first && pos < piece(1).second);
    }
    // The position within the period.
    double wrap(double pos) const
    {
        pos = std::fmod(pos, period());
        return pos < 0 ? pos + period() : pos;
    }

private:
    double m_unit;
    bool m_dashDot;
};

// The u with min <= c u + k e <= max for a given e, as low + slope e <= u <= high + slope e;
// when c = 0 either every u or none.
class Slab
{
public:
    Slab(double c, double k, double min, double max)
        : m_flat(c == 0)
        , m_k(k)
        , m_min(min)
        , m_max(max)
    {
        if (m_flat)
            return;
        m_slope = -k / c;
        m_low = min / c;
        m_high = max / c;
        if (m_low > m_high)
            std::swap(m_low, m_high);
    }

    // For two values of e at once; rows where a flat slab holds no u come out with
    // low = infinity, high = -infinity.
    void narrow(Pair e, Pair &low, Pair &high) const
    {
        if (m_flat) {
            const Pair ke = Pair(m_k) * e;
            const auto empty = [&](Pair bound, Pair kept) {
                return ifLess(ke, Pair(m_min), bound, ifLess(Pair(m_max), ke, bound, kept));
            };
            low = empty(Pair(Infinity), low);
            high = empty(Pair(-Infinity), high);
            return;
        }
        low = max(low, Pair(m_low) + Pair(m_slope) * e);
        high = min(high, Pair(m_high) + Pair(m_slope) * e);
    }

private:
    bool m_flat;
    double m_k;
    double m_min;
    double m_max;
    double m_slope = 0;
    double m_low = 0;
    double m_high = 0;
};

// A thin line stepped along its major axis m: the pixel across it at step i is
// nearest(na + (i - ma) slope), and its place in the dash pattern grows by step a step.
struct ThinLine
{
    bool alongX;
    double ma;
    double na;
    double slope;
    double step;
};

// The run of a row a line along x is making.
struct RowRun
{
    int row = 0;
    int start = 0;
    int end = -2;
};

} // namespace

void PixelSet::reset(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height) {
        clear();
        return;
    }
    m_width = width;
    m_height = height;
    m_wordsPerRow = (m_width + WordBits - 1) / WordBits;
    m_words.assign(std::size_t(m_wordsPerRow) * m_height + 1, 0);
    m_box = {};
}

void PixelSet::clear()
{
    if (!isEmpty()) {
        std::fill(m_words.begin() + std::ptrdiff_t(m_box.top) * m_wordsPerRow,
            m_words.begin() + std::ptrdiff_t(m_box.bottom + 1) * m_wordsPerRow, 0);
    }
    m_box = {};
}

void PixelSet::add(int y, int x0, int x1)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_width - 1);
    if (y < 0 || y >= m_height || x0 > x1)
        return;
    const int first = x0 / WordBits;
    const int last = x1 / WordBits;
    Word *row = m_words.data() + std::size_t(y) * m_wordsPerRow;
    for (int w = first; w <= last; ++w) {
        const int from = w == first ? x0 % WordBits : 0;
        const int to = w == last ? x1 % WordBits : WordBits - 1;
        row[w] |= (~Word(0) >> (WordBits - 1 - to)) & (~Word(0) << from);
    }
    m_box.add(y, x0, x1);
}

Canvas::Canvas(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride)
    : m_pixels(pixels)
    , m_width(pixels ? std::max(width, 0) : 0)
    , m_height(pixels ? std::max(height, 0) : 0)
    , m_stride(stride)
{
}

// Writes the runs of one drawing call. It holds what the canvas's members say in locals, and
// gives the bounding box back when it goes: the pixels are unsigned ints, so writing one
// through a pointer could change any member as far as the compiler knows, and each run would
// read them all again.
class Canvas::Writer
{
public:
    explicit Writer(Canvas &canvas)
        : m_canvas(canvas)
        , m_pixels(canvas.m_pixels)
        , m_stride(canvas.m_stride)
        , m_width(canvas.m_width)
        , m_height(canvas.m_height)
        , m_colour(canvas.m_colour)
        , m_log(canvas.m_log)
        , m_filtered(canvas.m_logOnly != nullptr)
        , m_only(m_filtered ? canvas.m_logOnly->bits() : PixelSet::Bits {})
        , m_box(canvas.m_box)
    {
    }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;
    ~Writer() { m_canvas.m_box = m_box; }

    // Pixels x0 to x1 of row y, as far as they lie in the buffer.
    [[gnu::always_inline]] void span(int y, int x0, int x1)
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_width - 1);
        if (y < 0 || y >= m_height || x0 > x1)
            return;
        put(y, x0, x1);
        m_box.add(y, x0, x1);
    }

    // A run inside the buffer, left out of the bounding box.
    [[gnu::always_inline]] void put(int y, int x0, int x1)
    {
        fillRun(m_pixels + y * m_stride + x0, x1 - x0 + 1, m_colour);
        if (m_log && (!m_filtered || m_only.meets(y, x0, x1)))
            m_log->push_back({y, x0, x1});
    }

    // Rows first to first + count - 1, all in the buffer, from[i] to to[i] in row first + i as
    // far as they lie in the buffer: the runs of a shape worked out a batch at a time.
    void rows(int first, int count, const int *from, const int *to)
    {
        if (!m_log)
            rowsLogged<LogNone>(first, count, from, to);
        else if (!m_filtered)
            rowsLogged<LogAll>(first, count, from, to);
        else {
            // Only the rows within the set's box can meet it.
            const int last = first + count - 1;
            const int top = std::clamp(m_only.box.top, first, last + 1);
            const int bottom = std::clamp(m_only.box.bottom, top - 1, last);
            if (top > first)
                rowsLogged<LogNone>(first, top - first, from, to);
            if (bottom >= top) {
                rowsLogged<LogMeeting>(
                    top, bottom - top + 1, from + (top - first), to + (top - first));
            }
            if (last > bottom) {
                rowsLogged<LogNone>(bottom + 1, last - bottom, from + (bottom + 1 - first),
                    to + (bottom + 1 - first));
            }
        }
    }

    void include(const Bounds &box) { m_box.add(box); }

    // Up to PendingRuns steps of a thin line, first to last, from place pos in its pattern on;
    // returns the place after them. Its own function that calls nothing: the place, carried
    // from step to step, stays in a register, and the pixels are written as the steps go.
    // What it logs waits in the writer until flushPending().
    static constexpr int PendingRuns = 64;
    template<Dashes D>
    [[gnu::noinline]] double thinSteps(
        const ThinLine &line, int first, int last, double pos, RowRun &making)
    {
        const Pattern pattern(D, 1);
        RowRun run = making;
        Bounds box = m_box;
        for (int i = first; i <= last; ++i) {
            const bool on = D == Dashes::Solid || pattern.covers(pos);
            if (D != Dashes::Solid) {
                pos += line.step;
                if (pos >= pattern.period())
                    pos -= pattern.period();
                else if (pos < 0)
                    pos += pattern.period();
            }
            if (!on)
                continue;
            const int n = nearest(line.na + (i - line.ma) * line.slope);
            if (!line.alongX) {
                spanPending(i, n, n, box);
            } else if (n == run.row && i == run.end + 1) {
                run.end = i;
            } else {
                if (run.end >= run.start)
                    spanPending(run.row, run.start, run.end, box);
                run.row = n;
                run.start = run.end = i;
            }
        }
        making = run;
        m_box = box;
        return pos;
    }

    void flushPending()
    {
        for (int i = 0; i < m_pendingCount; ++i)
            m_log->push_back({m_pending[i].y, m_pending[i].x0, m_pending[i].x1});
        m_pendingCount = 0;
    }

    // Whole pixels i with left <= i <= right in row y.
    [[gnu::always_inline]] void between(int y, double left, double right)
    {
        if (!(left <= right))
            return;
        const double limit = m_width;
        span(y, ceilToInt(std::clamp(left, -1.0, limit)),
            floorToInt(std::clamp(right, -1.0, limit)));
    }

private:
    enum LogMode { LogNone, LogAll, LogMeeting };

    // As span, with the log kept in the writer and the bounding box in box.
    [[gnu::always_inline]] void spanPending(int y, int x0, int x1, Bounds &box)
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_width - 1);
        if (y < 0 || y >= m_height || x0 > x1)
            return;
        fillRun(m_pixels + y * m_stride + x0, x1 - x0 + 1, m_colour);
        if (m_log && (!m_filtered || m_only.meets(y, x0, x1)))
            m_pending[m_pendingCount++] = {y, x0, x1};
        box.add(y, x0, x1);
    }

    // Its own function, so that the shape's arithmetic and the writing each keep their
    // values in registers.
    template<LogMode Mode>
    [[gnu::noinline]] void rowsLogged(int first, int count, const int *from, const int *to)
    {
        const int lastColumn = m_width - 1;
        const auto empty
            = [&](int i) { return std::max(from[i], 0) > std::min(to[i], lastColumn); };
        // The rows of the bounding box come from the first and the last row written, its
        // columns from the loop, which then keeps fewer values than registers.
        int top = 0;
        while (top < count && empty(top))
            ++top;
        if (top == count)
            return;
        int bottom = count - 1;
        while (empty(bottom))
            --bottom;
        const std::uint32_t colour = m_colour;
        const std::ptrdiff_t stride = m_stride;
        std::uint32_t *line = m_pixels + (first + top) * stride;
        const int wordsPerRow = Mode == LogMeeting ? m_only.wordsPerRow : 0;
        const PixelSet::Word *bits
            = Mode == LogMeeting ? m_only.words + (first + top) * wordsPerRow : nullptr;
        int left = m_box.left;
        int right = m_box.right;
        for (int i = top; i <= bottom; ++i, line += stride, bits += wordsPerRow) {
            const int x0 = std::max(from[i], 0);
            const int x1 = std::min(to[i], lastColumn);
            if (x0 > x1)
                continue;
            fillRun(line + x0, x1 - x0 + 1, colour);
            if (Mode == LogAll || (Mode == LogMeeting && PixelSet::rowMeets(bits, x0, x1)))
                m_log->push_back({first + i, x0, x1});
            left = std::min(left, x0);
            right = std::max(right, x1);
        }
        m_box.left = left;
        m_box.right = right;
        m_box.top = std::min(m_box.top, first + top);
        m_box.bottom = std::max(m_box.bottom, first + bottom);
    }

    Canvas &m_canvas;
    std::uint32_t *const m_pixels;
    const std::ptrdiff_t m_stride;
    const int m_width;
    const int m_height;
    const std::uint32_t m_colour;
    std::vector<Run> *const m_log;
    const bool m_filtered;
    const PixelSet::Bits m_only;
    Bounds m_box;
    // Plain ints, left uninitialised: filling them would cost every drawing call.
    struct PendingRun
    {
        int y;
        int x0;
        int x1;
    };
    std::array<PendingRun, PendingRuns> m_pending;
    int m_pendingCount = 0;
};

void Canvas::spansWithin(const PixelSet &set, std::span<const Run> runs)
{
    if (m_log) {
        Writer writer(*this);
        for (const Run &run : runs) {
            set.forEachRunWithin(
                run.y, run.x0, run.x1, [&](int y, int x0, int x1) { writer.span(y, x0, x1); });
        }
        return;
    }
    // The set's pixels within each run, found a word of the set at a time.
    const PixelSet::Bits bits = set.bits();
    std::uint32_t *const pixels = m_pixels;
    const std::ptrdiff_t stride = m_stride;
    const std::uint32_t colour = m_colour;
    const int width = m_width;
    const int height = m_height;
    Bounds box = m_box;
    for (const Run &run : runs) {
        const int y = run.y;
        const int x0 = std::max({run.x0, bits.box.left, 0});
        const int x1 = std::min({run.x1, bits.box.right, width - 1});
        if (y < bits.box.top || y > bits.box.bottom || y < 0 || y >= height || x0 > x1)
            continue;
        const PixelSet::Word *row = bits.words + std::size_t(y) * bits.wordsPerRow;
        std::uint32_t *line = pixels + y * stride;
        const int firstWord = x0 / 64;
        const int lastWord = x1 / 64;
        PixelSet::Word any = 0;
        for (int w = firstWord; w <= lastWord; ++w) {
            PixelSet::Word in = row[w];
            if (w == firstWord)
                in &= ~PixelSet::Word(0) << (x0 % 64);
            if (w == lastWord)
                in &= ~PixelSet::Word(0) >> (63 - x1 % 64);
            any |= in;
            for (std::uint32_t *word = line + w * 64; in; in &= in - 1)
                word[std::countr_zero(in)] = colour;
        }
        if (any)
            box.add(y, x0, x1);
    }
    m_box = box;
}

void Canvas::spansInside(std::span<const Run> runs, const Bounds &box, bool skipPainted)
{
    if (runs.empty())
        return;
    Writer writer(*this);
    if (!skipPainted || (m_log && !m_logOnly)) {
        for (const Run &run : runs)
            writer.put(run.y, run.x0, run.x1);
        writer.include(box);
        return;
    }
    // A run whose pixels all hold the colour already is left as it is: painting it would
    // change nothing, and a log kept for a path beneath needs no entry for it either, since
    // a pixel of the path that shows another colour is logged already. Not so right after
    // the runs were recorded: the recording painted them unlogged.
    for (const Run &run : runs) {
        if (!holdsColour(m_pixels + run.y * m_stride + run.x0, run.x1 - run.x0 + 1, m_colour))
            writer.span(run.y, run.x0, run.x1);
    }
}

void Canvas::fill()
{
    Writer writer(*this);
    for (int y = 0; y < m_height; ++y)
        writer.span(y, 0, m_width - 1);
}

bool Canvas::rowsBetween(double top, double bottom, int &first, int &last) const
{
    if (!(top <= bottom))
        return false;
    const double limit = m_height;
    first = ceilToInt(std::clamp(top, -1.0, limit));
    last = floorToInt(std::clamp(bottom, -1.0, limit));
    first = std::max(first, 0);
    last = std::min(last, m_height - 1);
    return first <= last;
}

void Canvas::point(Point p, double width)
{
    if (!isFinite(p))
        return;
    if (width > 1) {
        disc(p, width / 2);
        return;
    }
    const int x = nearest(p.x);
    Writer(*this).span(nearest(p.y), x, x);
}

void Canvas::segment(Point a, Point b, const Stroke &stroke, double &phase)
{
    if (!isFinite(a) || !isFinite(b))
        return;
    const double start = phase;
    if (stroke.dashes != Dashes::Solid)
        phase += std::hypot(b.x - a.x, b.y - a.y);
    if (stroke.width <= 1)
        thinSegment(a, b, stroke.dashes, start);
    else if (stroke.dashes == Dashes::Solid)
        wideSegment(a, b, stroke.width / 2, true);
    else
        dashedWideSegment(a, b, stroke.width, stroke.dashes, start);
}

void Canvas::thinSegment(Point a, Point b, Dashes dashes, double phase)
{
    // Along the major axis m, across it n.
    const bool alongX = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
    const double ma = alongX ? a.x : a.y;
    const double mb = alongX ? b.x : b.y;
    const double na = alongX ? a.y : a.x;
    const double nb = alongX ? b.y : b.x;
    const int limit = alongX ? m_width : m_height;
    const double extent = mb - ma;
    const int first = std::max(nearest(std::min(ma, mb)), 0);
    const int last = std::min(nearest(std::max(ma, mb)), limit - 1);
    if (first > last)
        return;
    const double slope = extent != 0 ? (nb - na) / extent : 0;

    // A pixel's place in the pattern: the length of line up to its step along the major axis.
    const bool dashed = dashes != Dashes::Solid;
    const Pattern pattern(dashes, 1);
    const double step = extent != 0 ? std::hypot(extent, nb - na) / extent : 0;
    double pos = dashed ? pattern.wrap(phase + (first - ma) * step) : 0;

    const ThinLine line {alongX, ma, na, slope, step};
    Writer writer(*this);
    RowRun run;
    for (int from = first; from <= last; from += Writer::PendingRuns) {
        const int to = std::min(from + Writer::PendingRuns - 1, last);
        if (dashes == Dashes::Dot)
            pos = writer.thinSteps<Dashes::Dot>(line, from, to, pos, run);
        else if (dashes == Dashes::DashDot)
            pos = writer.thinSteps<Dashes::DashDot>(line, from, to, pos, run);
        else
            writer.thinSteps<Dashes::Solid>(line, from, to, pos, run);
        writer.flushPending();
    }
    if (alongX && run.end >= run.start)
        writer.span(run.row, run.start, run.end);
}

void Canvas::wideSegment(Point a, Point b, double radius, bool roundEnds)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared == 0) {
        if (roundEnds)
            disc(a, radius);
        return;
    }
    int first = 0;
    int last = 0;
    if (!rowsBetween(std::min(a.y, b.y) - radius, std::max(a.y, b.y) + radius, first, last))
        return;
    // The band beside the segment, with u = x - a.x and e = y - a.y: 0 <= (p - a).d <= |d|^2
    // and |(p - a) x d| <= radius |d|, both linear in u. A batch of rows is worked out two at
    // a time, then the few rows near a round end widened one by one, then written.
    const double across = radius * std::sqrt(lengthSquared);
    const Slab along(dx, dy, 0, lengthSquared);
    const Slab beside(-dy, dx, -across, across);
    const double radiusSquared = radius * radius;
    const Pair startX(a.x);
    const Pair startY(a.y);
    const Pair leftEdge(-1.0);
    const Pair rightEdge(m_width);

    constexpr int Batch = 64;
    alignas(16) std::array<double, Batch> left;
    alignas(16) std::array<double, Batch> right;
    alignas(16) std::array<int, Batch> from;
    alignas(16) std::array<int, Batch> to;
    Writer writer(*this);
    for (int batchFirst = first; batchFirst <= last; batchFirst += Batch) {
        const int rows = std::min(last - batchFirst + 1, Batch);
        for (int i = 0; i < rows; i += 2) {
            const Pair e = Pair(batchFirst + i, batchFirst + i + 1) - startY;
            Pair low(-Infinity);
            Pair high(Infinity);
            along.narrow(e, low, high);
            beside.narrow(e, low, high);
            ifLessOrEqual(low, high, startX + low, Pair(Infinity)).store(&left[i]);
            ifLessOrEqual(low, high, startX + high, Pair(-Infinity)).store(&right[i]);
        }
        if (roundEnds) {
            for (const Point end : {a, b}) {
                // The rows within the radius of the end, with a row to spare either way.
                const double limit = m_height;
                const int nearFirst = std::max(
                    ceilToInt(std::clamp(end.y - radius, -1.0, limit)) - 1 - batchFirst, 0);
                const int nearLast = std::min(
                    floorToInt(std::clamp(end.y + radius, -1.0, limit)) + 1 - batchFirst, rows - 1);
                for (int i = nearFirst; i <= nearLast; ++i) {
                    const double fromEnd = batchFirst + i - end.y;
                    if (fromEnd * fromEnd <= radiusSquared) {
                        const double h = std::sqrt(radiusSquared - fromEnd * fromEnd);
                        left[i] = std::min(left[i], end.x - h);
                        right[i] = std::max(right[i], end.x + h);
                    }
                }
            }
        }
        for (int i = 0; i < rows; i += 2) {
            min(max(Pair(left[i], left[i + 1]), leftEdge), rightEdge).ceilTo(&from[i]);
            min(max(Pair(right[i], right[i + 1]), leftEdge), rightEdge).floorTo(&to[i]);
        }
        writer.rows(batchFirst, rows, from.data(), to.data());
    }
}

void Canvas::dashedWideSegment(Point a, Point b, double width, Dashes dashes, double phase)
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length == 0)
        return;
    const Point u {(b.x - a.x) / length, (b.y - a.y) / length};

    // Only the part of the segment near the buffer is cut into dashes (Liang-Barsky).
    const double margin = width + 1;
    double from = 0;
    double to = length;
    const auto keep = [&](double direction, double start, double low, double high) {
        if (direction == 0)
            return start >= low && start <= high;
        double t0 = (low - start) / direction;
        double t1 = (high - start) / direction;
        if (t0 > t1)
            std::swap(t0, t1);
        from = std::max(from, t0);
        to = std::min(to, t1);
        return from <= to;
    };
    if (!keep(u.x, a.x, -margin, m_width + margin) || !keep(u.y, a.y, -margin, m_height + margin))
        return;

    // From the period that holds the first visible point on; the count of periods is bound
    // by the buffer, whatever far coordinates did to from and to.
    const Pattern pattern(dashes, width);
    const double periodStart = from - pattern.wrap(phase + from);
    const double periods = std::min(std::ceil((to - periodStart) / pattern.period()),
        std::ceil(std::hypot(m_width + 2 * margin, m_height + 2 * margin) / pattern.period()) + 1);
    for (int k = 0; k < periods; ++k) {
        const double base = periodStart + k * pattern.period();
        for (int i = 0; i < pattern.pieces(); ++i) {
            const auto [on, off] = pattern.piece(i);
            const double t0 = std::max(base + on, from);
            const double t1 = std::min(base + off, to);
            if (t0 < t1) {
                wideSegment({a.x + u.x * t0, a.y + u.y * t0}, {a.x + u.x * t1, a.y + u.y * t1},
                    width / 2, false);
            }
        }
    }
}

void Canvas::circle(Point centre, double radius, double width)
{
    if (!isFinite(centre) || !std::isfinite(radius) || !std::isfinite(width))
        return;
    radius = std::abs(radius);
    if (width > 1)
        annulus(centre, radius - width / 2, radius + width / 2);
    else
        thinCircle(centre, radius);
}

void Canvas::disc(Point centre, double radius)
{
    if (!isFinite(centre) || !std::isfinite(radius))
        return;
    annulus(centre, 0, std::abs(radius));
}

void Canvas::thinCircle(Point c, double r)
{
    int first = 0;
    int last = 0;
    if (!rowsBetween(c.y - r - 0.5, c.y + r + 0.5, first, last))
        return;
    // Where the steep octants meet the flat ones; both reach half a pixel past it, so that
    // the outline stays connected where they meet.
    const double diagonal = r / std::numbers::sqrt2 + 0.5;
    const double rSquared = r * r;
    Writer writer(*this);
    for (int y = first; y <= last; ++y) {
        const double e = std::abs(y - c.y);
        // Steep octants: one pixel a row on either side.
        if (e <= diagonal) {
            const double h = std::sqrt(std::max(rSquared - e * e, 0.0));
            const int left = nearest(c.x - h);
            const int right = nearest(c.x + h);
            writer.span(y, left, left);
            writer.span(y, right, right);
        }
        // Flat octants: the columns at distance t from the centre where the circle lies
        // within half a pixel of this row, r^2 - (e + 1/2)^2 <= t^2 <= r^2 - (e - 1/2)^2.
        const double nearer = std::max(e - 0.5, 0.0);
        const double outer = rSquared - nearer * nearer;
        if (outer < 0)
            continue;
        const double inner = rSquared - (e + 0.5) * (e + 0.5);
        const double tLow = inner > 0 ? std::sqrt(inner) : 0;
        const double tHigh = std::min(std::sqrt(outer), diagonal);
        if (tLow > tHigh)
            continue;
        writer.between(y, c.x - tHigh, c.x - tLow);
        writer.between(y, c.x + tLow, c.x + tHigh);
    }
}

void Canvas::annulus(Point c, double inner, double outer)
{
    int first = 0;
    int last = 0;
    if (!rowsBetween(c.y - outer, c.y + outer, first, last))
        return;

    // Each row: the sides [c.x - ho, c.x - hi] and [c.x + hi, c.x + ho]. A batch of rows is
    // worked out two at a time into whole columns, then written. A circle centred left of the
    // buffer has its left sides wholly left of it, one centred right of it its right sides
    // wholly right: a large circle that crosses the buffer shows one side only.
    const bool leftShows = c.x >= 0;
    const bool rightShows = c.x <= m_width - 1;
    const bool hasHole = inner > 0;
    const Pair centreX(c.x);
    const Pair centreY(c.y);
    const Pair outerSquared(outer * outer);
    const Pair innerSquared(hasHole ? inner * inner : 0.0);
    const Pair zero(0.0);
    const Pair noHole(-1.0);
    const Pair leftEdge(-1.0);
    const Pair rightEdge(m_width);

    constexpr int Batch = 64;
    struct Columns
    {
        alignas(16) std::array<int, Batch> from;
        alignas(16) std::array<int, Batch> to;
    };
    Columns leftSide;
    Columns rightSide;
    Writer writer(*this);
    for (int batchFirst = first; batchFirst <= last; batchFirst += Batch) {
        const int rows = std::min(last - batchFirst + 1, Batch);
        for (int i = 0; i < rows; i += 2) {
            const Pair dy = Pair(batchFirst + i, batchFirst + i + 1) - centreY;
            const Pair dySquared = dy * dy;
            const Pair outerSide = outerSquared - dySquared;
            const Pair innerSide = hasHole ? innerSquared - dySquared : noHole;
            // Beyond the outer circle ho is -1, which leaves both sides empty; above and
            // below the hole hi is 0, and the sides meet at c.x as the row's one run.
            const Pair ho = ifLess(outerSide, zero, Pair(-1.0), sqrt(max(outerSide, zero)));
            const Pair hi = sqrt(max(innerSide, zero));
            if (leftShows) {
                min(max(centreX - ho, leftEdge), rightEdge).ceilTo(&leftSide.from[i]);
                min(max(centreX - hi, leftEdge), rightEdge).floorTo(&leftSide.to[i]);
            }
            if (rightShows) {
                min(max(centreX + hi, leftEdge), rightEdge).ceilTo(&rightSide.from[i]);
                min(max(centreX + ho, leftEdge), rightEdge).floorTo(&rightSide.to[i]);
            }
        }
        if (leftShows)
            writer.rows(batchFirst, rows, leftSide.from.data(), leftSide.to.data());
        if (rightShows)
            writer.rows(batchFirst, rows, rightSide.from.data(), rightSide.to.data());
    }
}

void Canvas::convexPolygon(const std::vector<Point> &corners)
{
    if (corners.size() < 3
        || !std::all_of(corners.begin(), corners.end(), [](Point p) { return isFinite(p); }))
        return;
    const auto [low, high] = std::minmax_element(
        corners.begin(), corners.end(), [](Point p, Point q) { return p.y < q.y; });
    int first = 0;
    int last = 0;
    if (!rowsBetween(low->y, high->y, first, last))
        return;
    Writer writer(*this);
    for (int y = first; y <= last; ++y) {
        double left = Infinity;
        double right = -Infinity;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point p = corners[i];
            const Point q = corners[(i + 1) % corners.size()];
            if ((y < p.y && y < q.y) || (y > p.y && y > q.y))
                continue;
            if (p.y == q.y) {
                left = std::min({left, p.x, q.x});
                right = std::max({right, p.x, q.x});
                continue;
            }
            const double x = p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
        writer.between(y, left, right);
    }
}

void OutlineCache::circle(
    Canvas &canvas, Point centre, double radius, double width, WriteHistory *history)
{
    const auto same = [&](const Outline &o) {
        return o.canvasWidth == canvas.width() && o.canvasHeight == canvas.height()
            && o.centre.x == centre.x && o.centre.y == centre.y && o.radius == radius
            && o.width == width;
    };
    const auto found = std::find_if(m_outlines.begin(), m_outlines.end(), same);
    if (found == m_outlines.end()) {
        Outline &oldest = *std::min_element(m_outlines.begin(), m_outlines.end(),
            [](const Outline &a, const Outline &b) { return a.lastUse < b.lastUse; });
        oldest.canvasWidth = canvas.width();
        oldest.canvasHeight = canvas.height();
        oldest.centre = centre;
        oldest.radius = radius;
        oldest.width = width;
        oldest.recorded = false;
        oldest.runs.clear();
        oldest.history = nullptr;
        oldest.lastUse = ++m_uses;
        canvas.circle(centre, radius, width);
        return;
    }
    found->lastUse = ++m_uses;
    const bool recording = !found->recorded;
    if (recording) {
        Canvas recorder(canvas.m_pixels, canvas.m_width, canvas.m_height, canvas.m_stride);
        recorder.setColour(canvas.m_colour);
        recorder.setLog(&found->runs);
        recorder.circle(centre, radius, width);
        found->box = recorder.m_box;
        found->recorded = true;
        sortByRows(*found);
    }
    // Looking through what was written since costs about as much a run as checking one of
    // the outline's own: a small outline checks its own.
    std::span<const Run> earlier;
    std::span<const Run> later;
    const bool known = !recording && history && found->history == history
        && history->since(found->painted, earlier, later);
    if (known && earlier.size() + later.size() < found->runs.size()) {
        // Found first, painted after: the runs written since may be the very log the canvas
        // adds to.
        m_stale.clear();
        findStale(canvas, *found, earlier);
        findStale(canvas, *found, later);
        // A run met by several written ones is found as often: painted and logged once.
        const auto order = [](const Run &a, const Run &b) {
            return std::tie(a.y, a.x0, a.x1) < std::tie(b.y, b.x0, b.x1);
        };
        std::sort(m_stale.begin(), m_stale.end(), order);
        m_stale.erase(std::unique(m_stale.begin(), m_stale.end()), m_stale.end());
        Canvas::Writer writer(canvas);
        for (const Run &run : m_stale)
            writer.span(run.y, run.x0, run.x1);
    } else {
        canvas.spansInside(found->runs, found->box, !recording);
        if (history && !known)
            history->watch(found->runs);
    }
    found->history = history;
    if (history)
        found->painted = history->now();
}

void OutlineCache::sortByRows(Outline &outline)
{
    outline.byRow = outline.runs;
    outline.rowStarts.clear();
    if (outline.box.isEmpty())
        return;
    std::stable_sort(outline.byRow.begin(), outline.byRow.end(),
        [](const Run &a, const Run &b) { return a.y < b.y; });
    const int rows = outline.box.bottom - outline.box.top + 1;
    outline.rowStarts.assign(std::size_t(rows) + 1, 0);
    for (const Run &run : outline.runs)
        ++outline.rowStarts[std::size_t(run.y - outline.box.top) + 1];
    std::partial_sum(outline.rowStarts.begin(), outline.rowStarts.end(), outline.rowStarts.begin());
}

void OutlineCache::findStale(
    const Canvas &canvas, const Outline &outline, std::span<const Run> written)
{
    const Bounds box = outline.box;
    if (box.isEmpty())
        return;
    const Run *const runs = outline.byRow.data();
    const std::uint32_t *const rowStarts = outline.rowStarts.data();
    const std::uint32_t *const pixels = canvas.m_pixels;
    const std::ptrdiff_t stride = canvas.m_stride;
    const std::uint32_t colour = canvas.m_colour;
    for (const Run &w : written) {
        if (w.y < box.top || w.y > box.bottom || w.x1 < box.left || w.x0 > box.right)
            continue;
        const std::size_t row = std::size_t(w.y - box.top);
        for (std::uint32_t k = rowStarts[row]; k < rowStarts[row + 1]; ++k) {
            const Run &run = runs[k];
            if (run.x1 >= w.x0 && run.x0 <= w.x1
                && !holdsColour(pixels + run.y * stride + run.x0, run.x1 - run.x0 + 1, colour))
                m_stale.push_back(run);
        }
    }
}

} // namespace kentrikh::raster
