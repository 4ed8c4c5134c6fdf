// The windows on a screen with two device pixels to a pixel (the test's screen): whole,
// crisp pictures that look as they do at one.

#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"

#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

bool isWhite(QRgb pixel)
{
    return (pixel & 0xffffff) == 0xffffff;
}

// Drives a window through a few samples with every option on.
void drawSomeSamples(MainWindow &window)
{
    window.MERIKESDYN->click();
    window.KAMPYLOTHTA->click();
    window.Command1->click();
    for (int i = 0; i < 200; ++i)
        window.Timer1_Timer();
}

// What the widget shows of its picture, with the screen's pixels.
QImage shown(QWidget &widget, const QRect &area)
{
    return widget.grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage devicePixels(const QImage &image, const QRect &area)
{
    const qreal r = image.devicePixelRatio();
    QImage part = image.copy(QRectF(QPointF(area.topLeft()) * r, QSizeF(area.size()) * r).toRect());
    part.setDevicePixelRatio(r);
    return part.convertToFormat(QImage::Format_RGB32);
}

// Each pixel at ratio 1 is a block of 2 x 2 at ratio 2, and what is drawn lies in the same
// places: within a pixel of each other (the edges of slanted lines and the dots of dotted
// ones fall a little differently), with pens twice as wide in device pixels.
void expectAlike(
    const QImage &image, const QImage &reference,
    const std::function<bool(QRgb)> &isDrawn = [](QRgb pixel) { return !isWhite(pixel); },
    int atLeast = 1000)
{
    ASSERT_EQ(image.size(), reference.size() * 2);
    const auto drawnNear = [&](const QImage &picture, int x, int y, int radius) {
        for (int j = std::max(0, y - radius); j <= std::min(picture.height() - 1, y + radius); ++j)
            for (int i = std::max(0, x - radius); i <= std::min(picture.width() - 1, x + radius);
                 ++i)
                if (isDrawn(picture.pixel(i, j)))
                    return true;
        return false;
    };
    int drawn = 0, drawnSharp = 0, strays = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            const bool here = isDrawn(reference.pixel(x, y));
            int inBlock = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    inBlock += isDrawn(image.pixel(2 * x + dx, 2 * y + dy));
            drawn += here;
            drawnSharp += inBlock;
            if (here && !drawnNear(image, 2 * x, 2 * y, 3))
                ++strays;
            if (inBlock > 0 && !drawnNear(reference, x, y, 1))
                ++strays;
        }
    }
    ASSERT_GE(drawn, atLeast);
    EXPECT_LE(strays, drawn / 100);
    EXPECT_GT(drawnSharp, 3 * drawn);
    EXPECT_LT(drawnSharp, 5 * drawn);
}

TEST(HighDpi, TheMainWindowShowsItsWholePictureAtTheScreensPixelsAndAsAtRatioOne)
{
    MessageRecorder messages;
    MainWindow sharp;
    sharp.Main({1080, 15, {}}, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sharp));
    ASSERT_EQ(sharp.devicePixelRatioF(), 2);
    // Unshown, at ratio 1, with the frame the offscreen platform gives the shown one.
    MainWindow plain;
    plain.Main({1080, 15, QMargins(2, 2, 2, 2)}, false);
    ASSERT_EQ(plain.size(), sharp.size());
    drawSomeSamples(sharp);
    drawSomeSamples(plain);

    const QImage &image = sharp.surface().image();
    ASSERT_EQ(image.size(), sharp.size() * 2);
    // Below the buttons and right of the scroll bars nothing covers the picture: there the
    // window shows it pixel for pixel, all of it, not a magnified part.
    const QRect open(300, 200, sharp.width() - 300, sharp.height() - 400);
    EXPECT_EQ(shown(sharp, open), devicePixels(image, open));

    expectAlike(image, plain.surface().image());
}

TEST(HighDpi, TheProbeFindsTheSampleUnderThePointer)
{
    MessageRecorder messages;
    MainWindow sharp;
    sharp.Main({1080, 15, {}}, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sharp));
    MainWindow plain;
    plain.Main({1080, 15, QMargins(2, 2, 2, 2)}, false);
    for (MainWindow *window : {&sharp, &plain}) {
        drawSomeSamples(*window);
        for (int i = 0; i < 801; ++i)
            window->Timer1_Timer();
    }
    const TrackRecord &track = plain.simulation().track;
    const QPoint at = plain.surface().toPixel(track.TrackX[300], track.TrackY[300]).toPoint();
    QTest::mouseClick(&sharp, Qt::LeftButton, {}, at);
    QTest::mouseClick(&plain, Qt::LeftButton, {}, at);
    // The velocity arrow of the sample chosen, green, starts where that sample lies.
    const auto isGreen = [](QRgb pixel) { return (pixel & 0xffffff) == 0x00ff00; };
    expectAlike(sharp.surface().image(), plain.surface().image(), isGreen, 10);
}

TEST(HighDpi, TheGraphShowsItsWholePicture)
{
    MessageRecorder messages;
    MainWindow main;
    main.Main({1080, 15, {}}, true);
    main.Command1->click();
    for (int i = 0; i < 1001; ++i)
        main.Timer1_Timer();
    main.Command5->click();
    PictureBox &picture = *main.curvatureWindow()->EIKONA;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.curvatureWindow()));
    const QRect visible = picture.visibleRegion().boundingRect();
    ASSERT_FALSE(visible.isEmpty());
    EXPECT_EQ(shown(picture, visible), devicePixels(picture.surface().image(), visible));
}

} // namespace
} // namespace kentrikh
