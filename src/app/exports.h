#pragma once

// What a run can be exported as: the record of a run as CSV, the state as name=value
// lines, pictures as PNG, and the writing of any of them to a file.

#include "motion/state.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QImage;

namespace kentrikh {

class MainWindow;

// The shortest text that reads back to the same double, with '.' as the decimal point
// whatever the locale.
QString roundTripNumber(double value);

// A header line, then one line for each of the samples 0 to 1000; an entry never recorded
// is an empty field.
QByteArray trackCsv(const TrackRecord &track);

// One name=value line each: the parameters, the particle, the switches, the timer, the
// curvature box and the five labels' captions, in that order.
QString stateReport(MainWindow &window);

QByteArray pngBytes(const QImage &image);

// Writes the whole file or, on failure, leaves any file that was there as it was and
// returns the reason, one line.
std::optional<QString> writeFile(const QString &path, const QByteArray &bytes);

} // namespace kentrikh
