#include "app/application.h"

#include "app/command_line.h"
#include "app/exports.h"
#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "curvature_window/curvature_window.h"
#include "platform/message_box.h"
#include "platform/screen_metrics.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <cstdio>

namespace kentrikh {

namespace {

// Small enough for the longest captions to fit the places the window designs for them,
// large enough to read from the back of a classroom.
QFont applicationFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

// Captions are Greek: what goes to a terminal or a file is UTF-8 whatever the locale.
void printLine(std::FILE *stream, const QString &line)
{
    std::fputs(line.toUtf8().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A headless run's output is read by scripts: it holds the program's own lines only. Qt's
// notes about the environment (no runtime directory, a platform that cannot raise a
// window) say nothing about the run; its errors still get through.
QtMessageHandler qtDefaultHandler = nullptr;

void dropQtNotes(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qtDefaultHandler(type, context, text);
}

// Before the application object exists, the only time the platform can be chosen. An
// offscreen platform the caller configured (with its own screen, say) is kept.
void useOffscreenPlatform()
{
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The graph's picture; null while the curvature window has never been opened.
const QImage *curvatureGraphImage(const MainWindow &window)
{
    const CurvatureWindow *graph = window.curvatureWindow();
    return graph ? &graph->EIKONA->surface().image() : nullptr;
}

QScrollBar *scrollBar(MainWindow &window, Slider slider)
{
    switch (slider) {
    case Slider::STAKENTR:
        return window.STAKENTR;
    case Slider::MAGNHTIO:
        return window.MAGNHTIO;
    case Slider::ARXIVX:
        return window.ARXIVX;
    case Slider::VIMAXRO:
        return window.VIMAXRO;
    case Slider::klimaka:
        return window.klimaka;
    }
    return nullptr;
}

QAbstractButton *checkBox(MainWindow &window, Switch box)
{
    switch (box) {
    case Switch::Forces:
        return window.MERIKESDYN;
    case Switch::Foucault:
        return window.eidiki;
    case Switch::Curvature:
        return window.KAMPYLOTHTA;
    }
    return nullptr;
}

QAbstractButton *button(MainWindow &window, Button button)
{
    switch (button) {
    case Button::Start:
        return window.Command1;
    case Button::Stop:
        return window.Command2;
    case Button::Step:
        return window.Command3;
    case Button::Continue:
        return window.Command4;
    case Button::Graph:
        return window.Command5;
    }
    return nullptr;
}

// One period of the timer: the tick reaches the window only when a real timer would
// deliver one. Returns whether it did.
bool timerPeriod(MainWindow &window)
{
    if (!window.Timer1().enabled() || window.Timer1().interval() == 0)
        return false;
    window.Timer1_Timer();
    return true;
}

// Runs one action on the window. Returns the error line of a failed export, else nothing.
class ActionRunner
{
public:
    explicit ActionRunner(MainWindow &window)
        : m_window(window)
    {
    }

    std::optional<QString> operator()(const SetSlider &a)
    {
        scrollBar(m_window, a.slider)->setValue(a.value);
        return std::nullopt;
    }
    std::optional<QString> operator()(const ToggleSwitch &a)
    {
        checkBox(m_window, a.box)->click();
        return std::nullopt;
    }
    std::optional<QString> operator()(const PressButton &a)
    {
        button(m_window, a.button)->click();
        return std::nullopt;
    }
    std::optional<QString> operator()(const Tick &a)
    {
        for (int i = 0; i < a.periods; ++i)
            timerPeriod(m_window);
        return std::nullopt;
    }
    std::optional<QString> operator()(const RunUntilStopped &)
    {
        int ticks = 0;
        while (ticks < MaxRunTicks && timerPeriod(m_window))
            ++ticks;
        return std::nullopt;
    }
    std::optional<QString> operator()(const Probe &a)
    {
        m_window.Form_MouseDown(a.x, a.y);
        return std::nullopt;
    }
    std::optional<QString> operator()(const SaveMainPicture &a)
    {
        return savePicture(QStringLiteral("--save-png"), a.file, &m_window.surface().image());
    }
    std::optional<QString> operator()(const SaveGraphPicture &a)
    {
        return savePicture(QStringLiteral("--save-graph"), a.file, curvatureGraphImage(m_window));
    }
    std::optional<QString> operator()(const SaveTrack &a)
    {
        return written(QStringLiteral("--save-csv"), a.file,
            writeExport(a.file, trackCsv(m_window.simulation().track)));
    }
    std::optional<QString> operator()(const PrintState &)
    {
        std::fputs(stateReport(m_window).toUtf8().constData(), stdout);
        std::fflush(stdout);
        return std::nullopt;
    }

private:
    static std::optional<QString> written(
        const QString &option, const QString &file, const std::optional<QString> &error)
    {
        if (!error)
            return std::nullopt;
        return QStringLiteral("kentrikh: %1 %2: %3").arg(option, file, *error);
    }

    static std::optional<QString> savePicture(
        const QString &option, const QString &file, const QImage *image)
    {
        if (!image)
            return written(option, file, QStringLiteral("the curvature window was never opened"));
        const QByteArray png = pngBytes(*image);
        if (png.isEmpty())
            return written(option, file, QStringLiteral("the picture cannot be encoded as PNG"));
        return written(option, file, writeExport(file, png));
    }

    MainWindow &m_window;
};

// Stops at the first export that fails; returns the exit status.
int runActions(MainWindow &window, const std::vector<Action> &actions)
{
    ActionRunner runner(window);
    for (const Action &action : actions) {
        if (const std::optional<QString> error = std::visit(runner, action)) {
            printLine(stderr, *error);
            return 1;
        }
    }
    return 0;
}

} // namespace

int runApplication(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.outcome) {
    case ParsedCommandLine::Outcome::Help:
        std::fputs(usageText().toUtf8().constData(), stdout);
        return 0;
    case ParsedCommandLine::Outcome::Version:
        std::fputs(aboutText().toUtf8().constData(), stdout);
        return 0;
    case ParsedCommandLine::Outcome::Error:
        printLine(stderr, parsed.error);
        return 2;
    case ParsedCommandLine::Outcome::Run:
        break;
    }

    // Started with no arguments where no window can open, the program shows what it does
    // in files instead of failing.
    const bool demo = arguments.isEmpty() && !hasDisplay();
    const CommandLine commandLine = demo ? demoCommandLine() : parsed.commandLine;
    if (commandLine.headless) {
        useOffscreenPlatform();
        qtDefaultHandler = qInstallMessageHandler(dropQtNotes);
    }

    // The command line is ours alone: Qt sees only the program's name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("kentrikh"));
    QApplication::setFont(applicationFont());

    // Standard output that carries an export's bytes carries nothing else.
    std::FILE *messages = writesToStandardOutput(commandLine) ? stderr : stdout;
    if (commandLine.headless)
        setMessageHandler([messages](const QString &text) {
            printLine(messages, QStringLiteral("message: ") + text);
        });
    if (demo)
        printLine(stdout,
            QStringLiteral("kentrikh: no display; running the headless demo (one whole run with "
                           "the default settings) and writing %1, %2 and %3 in %4")
                .arg(QLatin1String(DemoPicture), QLatin1String(DemoGraph), QLatin1String(DemoTrack),
                    QDir::currentPath()));

    const int screenHeight = commandLine.screenHeight.value_or(
        commandLine.headless ? DefaultHeadlessScreenHeight : screenHeightPixels());
    MainWindow window;
    window.Main({screenHeight, twipsPerPixel(), frameMargins(window)}, !commandLine.headless);

    if (const int status = runActions(window, commandLine.actions); status != 0)
        return status;
    if (commandLine.headless)
        return 0;
    return QApplication::exec();
}

} // namespace kentrikh
