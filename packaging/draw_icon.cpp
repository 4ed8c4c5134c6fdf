// Draws the program's icon: a rosette orbit about the centre, the dash-dot reference circle
// and the symbol of a field out of the plane. Writes it as SVG and as PNG at each size
// given, from the one description below, so that the two can never disagree.
//
//   kentrikh_icon OUTPUT_FOLDER SIZE...

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// All in a 64 × 64 square.
constexpr double Side = 64;
constexpr QPointF Centre {32, 33};
constexpr double ReferenceRadius = 24;
const QColor Background {255, 255, 255};
const QColor Border {120, 120, 140};
const QColor ReferenceColour {55, 0, 255};
const QColor OrbitColour {220, 0, 0};
const QColor ParticleColour {0, 0, 230};
const QColor FieldColour {30, 30, 30};
constexpr QPointF FieldCentre {53, 11};
constexpr double FieldRadius = 6;

// An epicycle: a slow turn of the whole orbit and a fast one of the particle on it, as a
// bound orbit in a field looks.
QPolygonF orbit()
{
    QPolygonF points;
    constexpr int Samples = 720;
    for (int i = 0; i <= Samples; ++i) {
        const double t = 2 * std::numbers::pi * i / Samples;
        const double x = 13 * std::sin(t) + 9 * std::sin(-6 * t);
        const double y = 13 * std::cos(t) + 9 * std::cos(-6 * t);
        points << QPointF(Centre.x() + x, Centre.y() - y);
    }
    return points;
}

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

QString svg()
{
    QString path;
    const QPolygonF points = orbit();
    for (qsizetype i = 0; i < points.size(); ++i)
        path += QStringLiteral("%1%2,%3 ")
                    .arg(i == 0 ? "M" : "L", number(points[i].x()), number(points[i].y()));
    const QPointF particle = points.first();
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
           "viewBox=\"0 0 64 64\">\n"
        << "  <rect x=\"2\" y=\"2\" width=\"60\" height=\"60\" rx=\"9\" fill=\""
        << Background.name() << "\" stroke=\"" << Border.name() << "\" stroke-width=\"2\"/>\n"
        << "  <circle cx=\"" << Centre.x() << "\" cy=\"" << Centre.y() << "\" r=\""
        << ReferenceRadius << "\" fill=\"none\" stroke=\"" << ReferenceColour.name()
        << "\" stroke-width=\"1.2\" stroke-dasharray=\"6 2 1.5 2\"/>\n"
        << "  <path d=\"" << path.trimmed() << "\" fill=\"none\" stroke=\"" << OrbitColour.name()
        << "\" stroke-width=\"1.6\" stroke-linejoin=\"round\"/>\n"
        << "  <circle cx=\"" << Centre.x() << "\" cy=\"" << Centre.y()
        << "\" r=\"2\" fill=\"#000000\"/>\n"
        << "  <circle cx=\"" << number(particle.x()) << "\" cy=\"" << number(particle.y())
        << "\" r=\"3.5\" fill=\"" << ParticleColour.name() << "\"/>\n"
        << "  <circle cx=\"" << FieldCentre.x() << "\" cy=\"" << FieldCentre.y() << "\" r=\""
        << FieldRadius << "\" fill=\"#ffffff\" stroke=\"" << FieldColour.name()
        << "\" stroke-width=\"1.5\"/>\n"
        << "  <circle cx=\"" << FieldCentre.x() << "\" cy=\"" << FieldCentre.y()
        << "\" r=\"1.8\" fill=\"" << FieldColour.name() << "\"/>\n"
        << "</svg>\n";
    return text;
}

QImage png(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Side, size / Side);

    painter.setPen(QPen(Border, 2));
    painter.setBrush(Background);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 9, 9);

    QPen reference(ReferenceColour, 1.2);
    reference.setDashPattern({6 / 1.2, 2 / 1.2, 1.5 / 1.2, 2 / 1.2});
    painter.setPen(reference);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(Centre, ReferenceRadius, ReferenceRadius);

    QPen orbitPen(OrbitColour, 1.6);
    orbitPen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(orbitPen);
    const QPolygonF points = orbit();
    painter.drawPolyline(points);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(Centre, 2, 2);
    painter.setBrush(ParticleColour);
    painter.drawEllipse(points.first(), 3.5, 3.5);

    painter.setPen(QPen(FieldColour, 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(FieldCentre, FieldRadius, FieldRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FieldColour);
    painter.drawEllipse(FieldCentre, 1.8, 1.8);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: kentrikh_icon OUTPUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QFile file(folder.filePath(QStringLiteral("kentrikh.svg")));
    if (!file.open(QIODevice::WriteOnly) || file.write(svg().toUtf8()) < 0) {
        std::fputs("kentrikh_icon: cannot write kentrikh.svg\n", stderr);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString name = folder.filePath(QStringLiteral("kentrikh-%1.png").arg(size));
        if (size <= 0 || !png(size).save(name, "PNG")) {
            std::fprintf(stderr, "kentrikh_icon: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
