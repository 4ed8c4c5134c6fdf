// Huge and non-finite coordinates must cost no more than ordinary ones: they are clipped
// to the image before anything is rasterised.

#include "platform/image_surface.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cfloat>

namespace {

using kentrikh::DrawStyle;
using kentrikh::ImageSurface;

// A main window's picture on a 1080-pixel screen, with the drawing scale of the scene.
ImageSurface sceneSurface()
{
    ImageSurface surface(QSize(1040, 1040), 15);
    surface.scale(-100, 100, 100, -100);
    return surface;
}

// A benchmark of a call that draws nothing would prove nothing.
void requireInk(benchmark::State &state, const ImageSurface &surface)
{
    const QImage &image = surface.image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != 0xffffffff)
                return;
        }
    }
    state.SkipWithError("nothing was drawn");
}

void dottedCircleThroughTheImage(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setDrawStyle(DrawStyle::Dot);
    for (auto _ : state)
        surface.circle(0, -1e30f, 1e30f);
    requireInk(state, surface);
}
BENCHMARK(dottedCircleThroughTheImage)->Unit(benchmark::kMicrosecond);

void wideLineBetweenHugeEnds(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setDrawWidth(4);
    for (auto _ : state)
        surface.line(-1e30f, 0, 1e30f, 1);
    requireInk(state, surface);
}
BENCHMARK(wideLineBetweenHugeEnds)->Unit(benchmark::kMicrosecond);

void circleOfAFewThousandPixels(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    for (auto _ : state)
        surface.circle(0, -5000, 5050);
    requireInk(state, surface);
}
BENCHMARK(circleOfAFewThousandPixels)->Unit(benchmark::kMicrosecond);

void filledDiscAcrossTheImage(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setFillStyle(kentrikh::FillStyle::Solid);
    for (auto _ : state)
        surface.circle(0, -FLT_MAX / 2, FLT_MAX / 2);
    requireInk(state, surface);
}
BENCHMARK(filledDiscAcrossTheImage)->Unit(benchmark::kMicrosecond);

// For comparison: the reference circle and an arrow's shaft.
void ordinaryCircle(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setDrawStyle(DrawStyle::DashDot);
    for (auto _ : state)
        surface.circle(0, 0, 70);
}
BENCHMARK(ordinaryCircle)->Unit(benchmark::kMicrosecond);

// The scene's reference circle, drawn at width 3 on every step.
void wideCircle(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setDrawWidth(3);
    for (auto _ : state)
        surface.circle(0, 0, 70);
}
BENCHMARK(wideCircle)->Unit(benchmark::kMicrosecond);

void ordinaryLine(benchmark::State &state)
{
    ImageSurface surface = sceneSurface();
    surface.setDrawWidth(2);
    for (auto _ : state)
        surface.line(10, 20, 40, -5);
}
BENCHMARK(ordinaryLine)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // Fonts and images need an application object, though no window opens.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
