#include "app/exports.h"

#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "controller/number_text.h"
#include "controller/track_csv.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kentrikh {

namespace {

QString boolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// A failed write ends in a status and a message, never in a signal that kills the program:
// neither a reader that went away (SIGPIPE) nor a file size limit (SIGXFSZ).
void ignoreWriteSignals()
{
    static const bool ignored = [] {
        std::signal(SIGPIPE, SIG_IGN);
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    Q_UNUSED(ignored);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString cannotWrite(int error)
{
    return QStringLiteral("cannot write: ") + systemError(error);
}

// Every byte, however few the device takes at a time.
std::optional<QString> writeAll(int descriptor, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return cannotWrite(errno);
        if (written == 0)
            return QStringLiteral("cannot write: the device took no more bytes");
        data += written;
        left -= written;
    }
    return std::nullopt;
}

bool isSameFile(int descriptor, const struct stat &file)
{
    struct stat open;
    return ::fstat(descriptor, &open) == 0 && open.st_dev == file.st_dev
        && open.st_ino == file.st_ino;
}

// One of the program's own streams; what the stream buffered goes first.
std::optional<QString> writeStream(int descriptor, std::FILE *stream, const QByteArray &bytes)
{
    std::fflush(stream);
    return writeAll(descriptor, bytes);
}

// The last bytes may fail only when the descriptor is closed, on a device that writes
// behind.
std::optional<QString> writeAndClose(int descriptor, const QByteArray &bytes)
{
    std::optional<QString> error = writeAll(descriptor, bytes);
    if (::close(descriptor) != 0 && !error)
        error = cannotWrite(errno);
    return error;
}

// A device or a pipe is written where it is: replacing it by a regular file would destroy
// it and leave the reader with nothing.
std::optional<QString> writeInPlace(const QByteArray &name, const QByteArray &bytes)
{
    const int descriptor = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return cannotWrite(errno);
    return writeAndClose(descriptor, bytes);
}

// A socket cannot be opened as a file: the bytes go to it as a client's would.
std::optional<QString> writeToSocket(const QByteArray &name, const QByteArray &bytes)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return QStringLiteral("cannot write: the socket's name is too long");
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return cannotWrite(errno);
    if (::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        const int error = errno;
        ::close(descriptor);
        return cannotWrite(error);
    }
    return writeAndClose(descriptor, bytes);
}

} // namespace

QString roundTripNumber(double value)
{
    return QString::fromStdString(roundTripText(value));
}

QByteArray trackCsv(const TrackRecord &track)
{
    return QByteArray::fromStdString(trackCsvText(track));
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
    ignoreWriteSignals();
    const QByteArray name = QFile::encodeName(path);
    struct stat target;
    if (::stat(name.constData(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return QStringLiteral("is a folder, not a file");
        // Through /dev/stdout or /dev/fd/2: the stream the program already holds, so that
        // a shell's append or a pipe's position is kept.
        for (const auto &[descriptor, stream] : {std::pair {1, stdout}, std::pair {2, stderr}})
            if (isSameFile(descriptor, target))
                return writeStream(descriptor, stream, bytes);
        if (S_ISSOCK(target.st_mode))
            return writeToSocket(name, bytes);
        if (!S_ISREG(target.st_mode))
            return writeInPlace(name, bytes);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("cannot write: ") + file.errorString();
    // Unbuffered, the write that fails is the system's own, and its reason (a full disk, a
    // file size limit) is more use than Qt's "Unknown error".
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errno;
        return QStringLiteral("cannot write: ")
            + (error != 0 ? systemError(error) : file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("cannot write: ") + file.errorString();
    return std::nullopt;
}

std::optional<QString> writeExport(const QString &target, const QByteArray &bytes)
{
    if (target == QLatin1String(StandardOutputName)) {
        ignoreWriteSignals();
        return writeStream(STDOUT_FILENO, stdout, bytes);
    }
    return writeFile(target, bytes);
}

bool isStandardOutput(const QString &target)
{
    if (target == QLatin1String(StandardOutputName))
        return true;
    struct stat file;
    return ::stat(QFile::encodeName(target).constData(), &file) == 0
        && isSameFile(STDOUT_FILENO, file);
}

} // namespace kentrikh
