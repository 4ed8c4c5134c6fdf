#pragma once

// The command line: kentrikh [--headless] [--screen-height PIXELS] [ACTION ...].
//
// The actions replay what a person does on the main window, in the order given, through
// the same handlers, and export what a run produced. The whole line is checked before
// anything runs, so a mistake anywhere in it runs nothing and writes nothing.

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace kentrikh {

enum class Slider { STAKENTR, MAGNHTIO, ARXIVX, VIMAXRO, klimaka };
enum class Switch { Forces, Foucault, Curvature };
enum class Button { Start, Stop, Step, Continue, Graph };

// A scroll bar as the command line names it: its control name, its plain alias, and the
// range of the bar, which the values are checked against before the window exists.
struct SliderInfo
{
    Slider slider;
    const char *name;
    const char *alias;
    int min, max;
};

const SliderInfo &sliderInfo(Slider slider);

struct SetSlider
{
    Slider slider;
    int value;
    bool operator==(const SetSlider &) const = default;
};

struct ToggleSwitch
{
    Switch box;
    bool operator==(const ToggleSwitch &) const = default;
};

struct PressButton
{
    Button button;
    bool operator==(const PressButton &) const = default;
};

// N periods of the timer; each steps the motion only while the timer would tick.
struct Tick
{
    int periods;
    bool operator==(const Tick &) const = default;
};

// Periods of the timer until it stops ticking, at most MaxRunTicks of them.
struct RunUntilStopped
{
    bool operator==(const RunUntilStopped &) const = default;
};

// A mouse press on the main window, in user coordinates.
struct Probe
{
    float x, y;
    bool operator==(const Probe &) const = default;
};

struct SaveMainPicture
{
    QString file;
    bool operator==(const SaveMainPicture &) const = default;
};

struct SaveGraphPicture
{
    QString file;
    bool operator==(const SaveGraphPicture &) const = default;
};

struct SaveTrack
{
    QString file;
    bool operator==(const SaveTrack &) const = default;
};

struct PrintState
{
    bool operator==(const PrintState &) const = default;
};

using Action = std::variant<SetSlider, ToggleSwitch, PressButton, Tick, RunUntilStopped, Probe,
    SaveMainPicture, SaveGraphPicture, SaveTrack, PrintState>;

// A whole run is 1000 samples and the tick after the last one stops the timer.
inline constexpr int MaxRunTicks = 1001;

inline constexpr int DefaultHeadlessScreenHeight = 1080;
// From a small projector up to an 8K screen; the picture is a square of this side.
inline constexpr int MinScreenHeight = 200;
inline constexpr int MaxScreenHeight = 4320;

inline constexpr int MaxTickPeriods = 1000000;

struct CommandLine
{
    bool headless = false;
    std::optional<int> screenHeight; // the layout's screen height in pixels, when given
    std::vector<Action> actions;
    bool operator==(const CommandLine &) const = default;
};

struct ParsedCommandLine
{
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Run;
    CommandLine commandLine; // for Run
    QString error; // for Error: one line naming the argument and what it accepts
};

// The arguments after the program's name. --help and --version end the parsing where
// they stand; the first bad argument ends it with its error.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

// Whether an export of the command line writes to standard output ("-" or a name of the
// same file), which then carries nothing else.
bool writesToStandardOutput(const CommandLine &commandLine);

// What the program does on a machine without a display when it is given no arguments:
// one whole run with the default settings, its pictures and its record written to the
// current folder under these names.
inline constexpr char DemoPicture[] = "kentrikh.png";
inline constexpr char DemoGraph[] = "kentrikh-graph.png";
inline constexpr char DemoTrack[] = "kentrikh.csv";
CommandLine demoCommandLine();

QString usageText();

// The version and what the program shows and what each control does, in English and in
// Greek: what --version prints and F1 shows.
QString aboutText();

} // namespace kentrikh
