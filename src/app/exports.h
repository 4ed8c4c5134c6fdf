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

// Writes all the bytes to the file or returns the reason it could not, one line. A regular
// file (or a link to one) is replaced whole: on failure nothing half-written is left and a
// file that was there keeps its contents. A device, a pipe, a socket or the program's own
// standard output is written as it is, never replaced; a folder is refused.
std::optional<QString> writeFile(const QString &path, const QByteArray &bytes);

// The name that stands for standard output wherever an export takes a file name.
inline constexpr char StandardOutputName[] = "-";

// As writeFile(), with StandardOutputName meaning standard output.
std::optional<QString> writeExport(const QString &target, const QByteArray &bytes);

// Whether writing to the target writes to this program's standard output: the name "-", or
// a name of the same file such as /dev/stdout.
bool isStandardOutput(const QString &target);

} // namespace kentrikh
