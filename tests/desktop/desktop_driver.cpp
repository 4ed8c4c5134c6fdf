// The real program on a real X server with a window manager, driven by synthetic input
// (xdotool) and watched from outside: window frames and stacking (xwininfo, xprop) and the
// pixels on the screen. Offscreen tests cannot see frames, stacking or focus.
//
//     desktop_driver check       the checks; exit status 1 when one fails
//     desktop_driver pacing N    N whole runs, every option on: how long each lasts on the
//                                screen, from closing START's box to the last change of the
//                                window's pixels, and their median
//
// Needs DISPLAY with a window manager that sets _NET_FRAME_EXTENTS (run.sh starts one).
// KENTRIKH_PROGRAM names another build of the program to drive.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QString MainTitle = QStringLiteral("KINHSH SE F=K.X KAI SE B");
const QString GraphTitle = QStringLiteral("CURVATURE VS TIME");
const QString BoxTitle = QStringLiteral("kentrikh");
constexpr int ConditionTimeoutMs = 10000;

int failures = 0;

void check(bool ok, const QString &what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", qPrintable(what));
    std::fflush(stdout);
    if (!ok)
        ++failures;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(ConditionTimeoutMs);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList &arguments)
{
    return run(QStringLiteral("xdotool"), arguments);
}

// Polls until the condition holds or the time is up: the program and the window manager
// answer in their own time.
template<typename Condition>
bool waitFor(Condition condition, int timeoutMs = ConditionTimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

// The visible top-level windows with exactly this title.
QStringList windows(const QString &title)
{
    return xdotool({"search", "--onlyvisible", "--name",
                       QStringLiteral("^%1$").arg(QRegularExpression::escape(title))})
        .split('\n', Qt::SkipEmptyParts);
}

std::optional<QString> window(const QString &title)
{
    std::optional<QString> id;
    waitFor([&] {
        const QStringList ids = windows(title);
        if (!ids.isEmpty())
            id = ids.first();
        return id.has_value();
    });
    return id;
}

QList<long> numbers(const QString &text)
{
    QList<long> values;
    const QRegularExpression number(QStringLiteral("(0x[0-9a-f]+|-?\\d+)"));
    // xprop writes "NAME(TYPE) = values" or "NAME(TYPE): window id # values".
    const qsizetype start = text.indexOf(QRegularExpression(QStringLiteral("[=:]")));
    for (auto it = number.globalMatch(text.mid(start + 1)); it.hasNext();)
        values << it.next().captured(1).toLong(nullptr, 0);
    return values;
}

// The client area in screen coordinates.
QRect clientGeometry(const QString &id)
{
    const QString info = run(QStringLiteral("xwininfo"), {"-id", id});
    const auto value = [&](const char *label) {
        const QRegularExpression re(QStringLiteral("%1:\\s+(-?\\d+)").arg(QLatin1String(label)));
        return re.match(info).captured(1).toInt();
    };
    return {value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
        value("Height")};
}

// The window with the frame the window manager drew around it.
QRect frameGeometry(const QString &id)
{
    const QList<long> extents
        = numbers(run(QStringLiteral("xprop"), {"-id", id, "_NET_FRAME_EXTENTS"}));
    const QRect client = clientGeometry(id);
    if (extents.size() != 4)
        return client;
    return client.adjusted(-extents[0], -extents[2], extents[1], extents[3]);
}

QString text(const QRect &r)
{
    return QStringLiteral("%1 x %2 at (%3, %4)")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y());
}

// Top-level windows from the bottom of the stack to the top.
QList<long> stacking()
{
    return numbers(run(QStringLiteral("xprop"), {"-root", "_NET_CLIENT_LIST_STACKING"}));
}

bool above(const QString &upper, const QString &lower)
{
    const QList<long> stack = stacking();
    const qsizetype u = stack.indexOf(upper.toLong());
    const qsizetype l = stack.indexOf(lower.toLong());
    return u >= 0 && l >= 0 && u > l;
}

QString transientFor(const QString &id)
{
    const QList<long> owner
        = numbers(run(QStringLiteral("xprop"), {"-id", id, "WM_TRANSIENT_FOR"}));
    return owner.isEmpty() ? QString() : QString::number(owner.first());
}

QImage grab(const QRect &area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

// Clicks at a point of a window's client area, in its pixels.
void click(const QString &id, QPoint at)
{
    xdotool({"mousemove", "--window", id, QString::number(at.x()), QString::number(at.y()), "click",
        "1"});
}

void key(const QString &name)
{
    xdotool({"key", name});
}

// Controls at their designed places, in client pixels at 96 dpi (twips / 15).
const QPoint StartButton(16 + 40, 8 + 12);
const QPoint GraphButton(344 + 68, 8 + 12);
const QPoint CurvatureBox(256 + 60, 40 + 20);
const QPoint FoucaultBox(256 + 60, 80 + 16);
const QPoint ForcesBox(384 + 60, 56 + 16);

// The program built with the driver, or another build of it named by KENTRIKH_PROGRAM.
QString program()
{
    return qEnvironmentVariable("KENTRIKH_PROGRAM", QStringLiteral(KENTRIKH_PROGRAM));
}

class Program
{
public:
    Program(const QStringList &arguments = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(program(), arguments);
    }
    QString state() const
    {
        if (m_process.state() == QProcess::Running)
            return QStringLiteral("runs");
        if (m_process.error() == QProcess::FailedToStart)
            return QStringLiteral("failed to start: ") + m_process.errorString();
        return QStringLiteral("has ended: %1 %2")
            .arg(m_process.exitStatus() == QProcess::CrashExit ? QStringLiteral("crashed, signal")
                                                               : QStringLiteral("exit status"))
            .arg(m_process.exitCode());
    }
    ~Program()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

// The main window once the window manager has framed it and the program has fitted it.
std::optional<QString> framedMainWindow(const Program &program, const QRect &expected)
{
    const std::optional<QString> id = window(MainTitle);
    if (id)
        waitFor([&] { return frameGeometry(*id) == expected; });
    else
        std::printf("no main window; the program %s; the windows: %s\n",
            qPrintable(program.state()),
            qPrintable(xdotool({"search", "--name", "."}).replace('\n', ' ')));
    return id;
}

// Which of the five scroll bars the change of the strip at the bottom left lies on: the
// bars stand 15, 20, 25, 30 and 35 units above the client area's bottom edge
// (MAGNHTIO, STAKENTR, ARXIVX, VIMAXRO, klimaka) and are 25 pixels high.
QString barThatChanged(
    const QImage &before, const QImage &after, const QRect &client, int screenHeight)
{
    long sum = 0, count = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                sum += y;
                ++count;
            }
    if (count == 0)
        return QStringLiteral("none");
    const double changedY = double(sum) / count + (client.height() - before.height());
    // Units: the client height is 200 (1 - BorderRatioY) of them.
    const double borderRatioY = double(screenHeight - client.height()) / client.height();
    const double pixelsPerUnit = client.height() / (200 * (1 - borderRatioY));
    const char *names[] = {"MAGNHTIO", "STAKENTR", "ARXIVX", "VIMAXRO", "klimaka"};
    int best = 0;
    double bestDistance = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double centre = client.height() - (15 + 5 * i) * pixelsPerUnit + 12;
        if (std::abs(centre - changedY) < bestDistance) {
            bestDistance = std::abs(centre - changedY);
            best = i;
        }
    }
    return QString::fromLatin1(names[best]);
}

void checkDesktop()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int side = screen.height();

    {
        // A headless run says nothing but its own lines, wherever it runs.
        QProcess headless;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        headless.setProcessEnvironment(environment);
        headless.start(program(), {"--headless", "--press", "start", "--run", "--press", "graph"});
        headless.waitForFinished(60000);
        const QStringList out
            = QString::fromUtf8(headless.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        const QString err = QString::fromUtf8(headless.readAllStandardError());
        check(out.size() == 4 && out.filter(QRegularExpression("^message: ")).size() == 4
                && err.isEmpty(),
            QStringLiteral("a headless run prints only its messages: ") + out.join(" | ") + err);
    }

    Program program;
    const std::optional<QString> mainId = framedMainWindow(program, QRect(0, 0, side, side));
    check(mainId.has_value(), QStringLiteral("the main window opens"));
    if (!mainId)
        return;
    const QRect mainFrame = frameGeometry(*mainId);
    check(mainFrame == QRect(0, 0, side, side),
        QStringLiteral("main window frame ") + text(mainFrame));
    const QRect client = clientGeometry(*mainId);

    // Focus starts on MAGNHTIO; Tab walks the designed order, the arrows move a bar.
    waitFor([&] { return xdotool({"getactivewindow"}) == *mainId; });
    const QRect strip(
        client.left(), client.bottom() - client.height() / 4, 300, client.height() / 4);
    const auto pressThenWatch = [&](const QStringList &keys, const char *expected) {
        for (const QString &k : keys)
            key(k);
        // The window may still be painting what came before (its start-up is laid out again
        // once the window manager has framed it): compare against a settled strip.
        QImage before = grab(strip);
        int unchanged = 0;
        waitFor([&] {
            const QImage now = grab(strip);
            unchanged = now == before ? unchanged + 1 : 0;
            before = now;
            return unchanged >= 5;
        });
        key(QStringLiteral("Right"));
        QImage after;
        waitFor([&] { return (after = grab(strip)) != before; });
        const QString bar = barThatChanged(before, after, client, side);
        check(bar == QLatin1String(expected),
            QStringLiteral("after %1 the arrow key moves %2 (expected %3)")
                .arg(keys.isEmpty() ? QStringLiteral("start-up") : keys.join('+'), bar,
                    QLatin1String(expected)));
    };
    pressThenWatch({}, "MAGNHTIO");
    pressThenWatch({"Tab"}, "STAKENTR");
    pressThenWatch({"Tab", "Tab", "Tab"}, "ARXIVX");
    pressThenWatch({"Tab", "Tab", "Tab"}, "VIMAXRO");
    pressThenWatch({"Tab"}, "klimaka");

    // The graph comes to the front with each of its boxes over it, and stays there.
    click(*mainId, GraphButton);
    const std::optional<QString> graphId = window(GraphTitle);
    check(graphId.has_value(), QStringLiteral("the curvature window opens"));
    if (!graphId)
        return;
    int boxes = 0;
    for (;;) {
        std::optional<QString> box;
        waitFor(
            [&] {
                const QStringList ids = windows(BoxTitle);
                if (!ids.isEmpty())
                    box = ids.first();
                return box.has_value();
            },
            boxes < 3 ? ConditionTimeoutMs : 1500);
        if (!box)
            break;
        ++boxes;
        waitFor([&] { return above(*box, *graphId) && above(*graphId, *mainId); });
        check(above(*graphId, *mainId) && above(*box, *graphId) && transientFor(*box) == *graphId,
            QStringLiteral("message box %1 belongs to the graph and shows over it, the graph over "
                           "the main window")
                .arg(boxes));
        xdotool({"windowactivate", "--sync", *box});
        key(QStringLiteral("Return"));
        waitFor([&] { return !windows(BoxTitle).contains(*box); });
    }
    check(boxes == 3, QStringLiteral("the graph reports %1 values (expected 3)").arg(boxes));
    waitFor([&] { return frameGeometry(*graphId) == QRect(0, 0, side / 2, side / 2); });
    const QRect graphFrame = frameGeometry(*graphId);
    check(graphFrame == QRect(0, 0, side / 2, side / 2),
        QStringLiteral("curvature window frame ") + text(graphFrame));
    check(above(*graphId, *mainId), QStringLiteral("the graph stays in front after its boxes"));
}

// Seconds from closing START's box to the last change of the main window's pixels.
std::optional<double> seenRun(const QString &mainId, const QRect &client)
{
    click(mainId, StartButton);
    std::optional<QString> box;
    waitFor([&] {
        const QStringList ids = windows(BoxTitle);
        if (!ids.isEmpty())
            box = ids.first();
        return box.has_value();
    });
    if (!box)
        return std::nullopt;
    xdotool({"windowactivate", "--sync", *box});
    QImage last = grab(client);
    QElapsedTimer clock;
    clock.start();
    key(QStringLiteral("Return"));
    qint64 lastChange = -1;
    int grabs = 0;
    // The run is over once the picture has stood still for a second.
    while (clock.elapsed() - std::max<qint64>(lastChange, 0) < 1000) {
        QImage now = grab(client);
        ++grabs;
        if (now != last) {
            lastChange = clock.elapsed();
            last = std::move(now);
        }
    }
    std::printf("(the screen polled every %.1f ms) ", double(clock.elapsed()) / grabs);
    return lastChange < 0 ? std::nullopt : std::optional<double>(lastChange / 1000.0);
}

int measurePacing(int runs)
{
    const int side = QGuiApplication::primaryScreen()->geometry().height();
    Program program;
    const std::optional<QString> mainId = framedMainWindow(program, QRect(0, 0, side, side));
    if (!mainId)
        return 1;
    const QRect client = clientGeometry(*mainId);
    for (const QPoint box : {CurvatureBox, FoucaultBox, ForcesBox})
        click(*mainId, box);
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const std::optional<double> s = seenRun(*mainId, client);
        if (!s)
            return 1;
        std::printf("run %d: %.3f s\n", i + 1, *s);
        std::fflush(stdout);
        seconds.push_back(*s);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median %.3f s, from %.3f to %.3f s, %d runs\n", seconds[seconds.size() / 2],
        seconds.front(), seconds.back(), runs);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("pacing"))
        return measurePacing(std::max(1, arguments.value(1).toInt()));
    if (arguments.value(0) != QLatin1String("check")) {
        std::fprintf(stderr, "usage: desktop_driver check | pacing RUNS\n");
        return 2;
    }
    checkDesktop();
    std::printf("%s\n", failures == 0 ? "all desktop checks passed" : "desktop checks FAILED");
    return failures == 0 ? 0 : 1;
}
