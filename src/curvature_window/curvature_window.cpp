#include "curvature_window/curvature_window.h"

#include "curvature_window/graph_drawing.h"
#include "platform/backing_image.h"
#include "platform/screen_metrics.h"

#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace kentrikh {

namespace {

const QString WindowCaption = QStringLiteral("CURVATURE VS TIME");

int toPixels(double twips, double twipsPerPixel)
{
    return qRound(twips / twipsPerPixel);
}

QSize toPixels(int widthTwips, int heightTwips, double twipsPerPixel)
{
    return {toPixels(widthTwips, twipsPerPixel), toPixels(heightTwips, twipsPerPixel)};
}

} // namespace

PictureBox::PictureBox(QWidget *parent, double twipsPerPixel)
    : QWidget(parent)
    , m_surface(toPixels(GraphPictureWidthTwips, GraphPictureHeightTwips, twipsPerPixel),
          twipsPerPixel, font(), devicePixelRatioF())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(m_surface.pixelSize());
    m_surface.setChangedHandler([this](const QRect &dirty) { update(dirty); });
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    paintBackingImage(painter, event->rect(), m_surface.image());
}

void PictureBox::resizeEvent(QResizeEvent *)
{
    m_surface.resize(size());
}

CurvatureWindow::CurvatureWindow(double twipsPerPixel)
    : m_twipsPerPixel(twipsPerPixel)
{
    setObjectName(QStringLiteral("KAMPYLOTHTA"));
    setWindowTitle(WindowCaption);
    resize(toPixels(GraphWindowWidthTwips, GraphWindowHeightTwips, twipsPerPixel));
    EIKONA = new PictureBox(this, twipsPerPixel);
    EIKONA->setObjectName(QStringLiteral("EIKONA"));
    EIKONA->move(toPixels(GraphPictureLeftTwips, twipsPerPixel),
        toPixels(GraphPictureTopTwips, twipsPerPixel));
}

void CurvatureWindow::setOuterGeometry(
    double leftTwips, double topTwips, double widthTwips, double heightTwips)
{
    m_outerTwips = QRectF(leftTwips, topTwips, widthTwips, heightTwips);
    const QMargins frame = m_frame = frameMargins(*this);
    const int width = toPixels(widthTwips, m_twipsPerPixel);
    const int height = toPixels(heightTwips, m_twipsPerPixel);
    resize(std::max(1, width - frame.left() - frame.right()),
        std::max(1, height - frame.top() - frame.bottom()));
    // A top-level window's position is that of its frame.
    move(toPixels(leftTwips, m_twipsPerPixel), toPixels(topTwips, m_twipsPerPixel));
}

void CurvatureWindow::fitFrame()
{
    // Until the graph places it, the window is where the platform put it.
    if (m_outerTwips.isNull() || !isPlaceable(*this))
        return;
    if (frameMargins(*this) != m_frame)
        setOuterGeometry(
            m_outerTwips.left(), m_outerTwips.top(), m_outerTwips.width(), m_outerTwips.height());
}

void CurvatureWindow::moveEvent(QMoveEvent *)
{
    fitFrame();
}

void CurvatureWindow::resizeEvent(QResizeEvent *)
{
    fitFrame();
}

void CurvatureWindow::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    event->accept();
}

} // namespace kentrikh
