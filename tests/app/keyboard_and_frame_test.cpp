// What a person on a desktop meets beyond the handlers: the keyboard, the frame the
// platform puts around the window, and who owns the graph's message boxes.

#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"
#include "support/localised.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

TEST(Keyboard, FocusStartsOnMagnhtioAndTabFollowsTheDesignedOrder)
{
    MainWindow w;
    w.Main({1080, 15, {}}, false);
    EXPECT_EQ(w.focusWidget(), w.MAGNHTIO);

    const std::vector<QWidget *> expected
        = {w.MAGNHTIO, w.STAKENTR, w.Command1, w.Command2, w.ARXIVX, w.Command3, w.Command4,
            w.VIMAXRO, w.klimaka, w.KAMPYLOTHTA, w.eidiki, w.MERIKESDYN, w.Command5};
    std::vector<QWidget *> stops;
    QWidget *widget = w.MAGNHTIO;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            stops.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != w.MAGNHTIO && stops.size() <= expected.size());
    EXPECT_EQ(stops, expected);
}

TEST(Keyboard, KeysMoveAScrollBarAndEachMoveRunsItsHandlerOnce)
{
    MessageRecorder messages;
    MainWindow w;
    w.Main({1080, 15, {}}, false);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    w.Timer1_Timer();
    QSignalSpy changes(w.MAGNHTIO, &QScrollBar::valueChanged);

    // MAGNHTIO: 5 to start, SmallChange 1, LargeChange 19, -100 to 100.
    const struct
    {
        Qt::Key key;
        int value;
    } presses[] = {{Qt::Key_Right, 6}, {Qt::Key_Left, 5}, {Qt::Key_Down, 6}, {Qt::Key_Up, 5},
        {Qt::Key_PageDown, 24}, {Qt::Key_PageUp, 5}, {Qt::Key_End, 100}, {Qt::Key_End, 100},
        {Qt::Key_Home, -100}};
    int expectedChanges = 0;
    int previous = w.MAGNHTIO->value();
    for (const auto &press : presses) {
        QTest::keyClick(w.MAGNHTIO, press.key);
        EXPECT_EQ(w.MAGNHTIO->value(), press.value) << QTest::toString(press.key);
        expectedChanges += press.value != previous;
        previous = press.value;
        EXPECT_EQ(changes.count(), expectedChanges) << QTest::toString(press.key);
    }
    // As a click would: the handler rewound the run and rewrote the label.
    EXPECT_FALSE(w.Timer1().enabled());
    EXPECT_EQ(w.simulation().state.SampleIndex, 0);
    EXPECT_EQ(w.Label2->text(), QStringLiteral(" Μαγνητικό = ") + localised("-100.00"));
}

TEST(Keyboard, TheFocusedScrollBarIsMarked)
{
    MainWindow w;
    w.Main({1080, 15, {}}, true);
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(w.MAGNHTIO->hasFocus());
    const QImage focused = w.MAGNHTIO->grab().toImage();
    w.STAKENTR->setFocus();
    EXPECT_NE(w.MAGNHTIO->grab().toImage(), focused);
}

// The offscreen platform draws a frame of 2 pixels round a window once it is shown, as a
// window manager would: the window is laid out again for it.
TEST(Frame, TheOuterWindowStaysAScreenHighSquareOnceTheFrameIsKnown)
{
    MainWindow w;
    w.Main({1080, 15, {}}, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.frameGeometry(), QRect(0, 0, 1080, 1080));
    ASSERT_EQ(w.size(), QSize(1076, 1076));
    const float outer = 1080 * 15;
    const float client = 1076 * 15;
    EXPECT_EQ(w.simulation().BorderRatioX, (outer - client) / client);
    EXPECT_EQ(w.simulation().BorderRatioY, (outer - client) / client);
    // The scale and the controls follow: the client area is 200 (1 - BorderRatio) units.
    EXPECT_FLOAT_EQ(w.surface().scaleWidth(), 200 * (1 - w.simulation().BorderRatioX));
    EXPECT_EQ(w.surface().pixelSize(), QSize(1076, 1076));
    const QPointF barTop = w.surface().toPixel(
        w.surface().scaleLeft(), w.surface().scaleTop() + w.surface().scaleHeight() + 15);
    EXPECT_EQ(w.MAGNHTIO->geometry().topLeft(), QPoint(0, qRound(barTop.y())));
}

// Boxes that belong to the main window would bring it in front of the graph.
TEST(Frame, TheGraphsBoxesBelongToTheGraphWindow)
{
    MainWindow w;
    w.Main({1080, 15, {}}, true);
    QStringList owners;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            owners << (box->parentWidget() ? box->parentWidget()->objectName() : QString());
            box->accept();
        }
    });
    closer.start(0);
    QTest::mouseClick(w.Command5, Qt::LeftButton);
    closer.stop();
    EXPECT_EQ(owners, QStringList(3, QStringLiteral("KAMPYLOTHTA")));
}

} // namespace
} // namespace kentrikh
