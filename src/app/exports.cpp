#include "app/exports.h"

#include "app/main_window.h"
#include "app/wrapping_check_box.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QSaveFile>
#include <array>
#include <charconv>
#include <cmath>

namespace kentrikh {

namespace {

QString boolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

QString roundTripNumber(double value)
{
    // Plain decimals where they stay readable (0.0005 and -35000, not 5e-04 and -3.5e+04),
    // an exponent only for the very small and the very large.
    const double magnitude = std::abs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-7 && magnitude < 1e21);
    std::array<char, 64> text;
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
        plain ? std::chars_format::fixed : std::chars_format::scientific);
    return QString::fromLatin1(text.data(), result.ptr - text.data());
}

QByteArray trackCsv(const TrackRecord &track)
{
    const std::array<const TrackArray *, 13> columns
        = {&track.TrackX, &track.TrackY, &track.TrackVX, &track.TrackVY, &track.TrackSpringFX,
            &track.TrackSpringFY, &track.TrackMagFX, &track.TrackMagFY, &track.TrackNetFX,
            &track.TrackNetFY, &track.TrackRho, &track.TrackCentreX, &track.TrackCentreY};

    QByteArray csv = "sample,x,y,vx,vy,spring_fx,spring_fy,mag_fx,mag_fy,net_fx,net_fy,rho,"
                     "centre_x,centre_y\n";
    for (int i = 0; i < TrackSize; ++i) {
        csv += QByteArray::number(i);
        for (const TrackArray *column : columns) {
            csv += ',';
            if (column->isSet(i))
                csv += roundTripNumber((*column)[i]).toLatin1();
        }
        csv += '\n';
    }
    return csv;
}

QString stateReport(MainWindow &window)
{
    const Simulation &sim = window.simulation();
    const QList<std::pair<const char *, QString>> lines = {
        {"K", roundTripNumber(sim.params.K)},
        {"B", roundTripNumber(sim.params.B)},
        {"DT", roundTripNumber(sim.params.DT)},
        {"R0", roundTripNumber(sim.params.R0)},
        {"X", roundTripNumber(sim.state.X)},
        {"Y", roundTripNumber(sim.state.Y)},
        {"VX", roundTripNumber(sim.state.VX)},
        {"VY", roundTripNumber(sim.state.VY)},
        {"VX0", roundTripNumber(sim.state.VX0)},
        {"SampleIndex", QString::number(sim.state.SampleIndex)},
        {"HasTrack", boolean(sim.state.HasTrack)},
        {"ShowForces", boolean(sim.switches.ShowForces)},
        {"FoucaultMode", boolean(sim.switches.FoucaultMode)},
        {"CurvatureCircle", boolean(sim.switches.CurvatureCircle)},
        {"Timer1.Enabled", boolean(window.Timer1().enabled())},
        {"Timer1.Interval", QString::number(window.Timer1().interval())},
        // A check box's value: 0 unchecked, 1 checked.
        {"KAMPYLOTHTA.Value", QString::number(window.KAMPYLOTHTA->isChecked() ? 1 : 0)},
        {"Label1", window.Label1->text()},
        {"Label2", window.Label2->text()},
        {"Label3", window.Label3->text()},
        {"Label4", window.Label4->text()},
        {"Label5", window.Label5->text()},
    };
    QString report;
    for (const auto &[name, value] : lines)
        report += QLatin1String(name) + QLatin1Char('=') + value + QLatin1Char('\n');
    return report;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::optional<QString> writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write: ") + file.errorString();
    return std::nullopt;
}

} // namespace kentrikh
