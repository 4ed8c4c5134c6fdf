#include "app/command_line.h"

#include "app/exports.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace kentrikh {

namespace {

constexpr std::array<SliderInfo, 5> Sliders = {{
    {Slider::STAKENTR, "STAKENTR", "spring", -100, 100},
    {Slider::MAGNHTIO, "MAGNHTIO", "field", -100, 100},
    {Slider::ARXIVX, "ARXIVX", "vx", -200, 200},
    {Slider::VIMAXRO, "VIMAXRO", "timestep", 1, 2000},
    {Slider::klimaka, "klimaka", "scale", 1, 10},
}};

template<typename T>
struct Word
{
    const char *word;
    T value;
};

constexpr std::array<Word<Switch>, 3> Switches = {{
    {"forces", Switch::Forces},
    {"foucault", Switch::Foucault},
    {"curvature", Switch::Curvature},
}};

constexpr std::array<Word<Button>, 5> Buttons = {{
    {"start", Button::Start},
    {"stop", Button::Stop},
    {"step", Button::Step},
    {"continue", Button::Continue},
    {"graph", Button::Graph},
}};

template<typename T, std::size_t N>
std::optional<T> lookUp(const std::array<Word<T>, N> &words, const QString &text)
{
    for (const Word<T> &w : words)
        if (text == QLatin1String(w.word))
            return w.value;
    return std::nullopt;
}

template<typename T, std::size_t N>
QString wordList(const std::array<Word<T>, N> &words)
{
    QStringList list;
    for (const Word<T> &w : words)
        list << QLatin1String(w.word);
    return list.join(QStringLiteral(", "));
}

QString sliderList()
{
    QStringList list;
    for (const SliderInfo &s : Sliders)
        list << QStringLiteral("%1 (%2)").arg(QLatin1String(s.name), QLatin1String(s.alias));
    return list.join(QStringLiteral(", "));
}

const SliderInfo *findSlider(const QString &name)
{
    for (const SliderInfo &s : Sliders)
        if (name == QLatin1String(s.name) || name == QLatin1String(s.alias))
            return &s;
    return nullptr;
}

// Whole numbers and decimals are read in the C locale: the same command line must mean the
// same thing on every machine.
std::optional<int> toInt(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    int value = 0;
    const auto [end, ec] = std::from_chars(bytes.constBegin(), bytes.constEnd(), value);
    if (ec != std::errc() || end != bytes.constEnd() || text.isEmpty())
        return std::nullopt;
    return value;
}

std::optional<float> toFloat(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    double value = 0;
    const auto [end, ec] = std::from_chars(bytes.constBegin(), bytes.constEnd(), value);
    if (ec != std::errc() || end != bytes.constEnd() || bytes.isEmpty() || !std::isfinite(value)
        || std::abs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

class Parser
{
public:
    explicit Parser(const QStringList &arguments)
        : m_arguments(arguments)
    {
    }

    ParsedCommandLine parse();

private:
    // The value of the option at m_index, given as "--option VALUE" or "--option=VALUE".
    std::optional<QString> takeValue(
        const QString &option, const QString &inlineValue, bool hasInline, const QString &what);
    void fail(const QString &message) { m_error = message; }
    bool failed() const { return !m_error.isEmpty(); }

    void parseScreenHeight(const QString &shown, const QString &value);
    void parseSet(const QString &shown, const QString &value);
    void parseTick(const QString &shown, const QString &value);
    void parseProbe(const QString &shown, const QString &value);
    void parseFile(const QString &shown, const QString &option, const QString &value);

    const QStringList &m_arguments;
    int m_index = 0;
    CommandLine m_result;
    bool m_graphPressed = false;
    bool m_printsState = false;
    QString m_standardOutputExport; // the export that writes to "-", as shown
    QString m_error;
};

std::optional<QString> Parser::takeValue(
    const QString &option, const QString &inlineValue, bool hasInline, const QString &what)
{
    if (hasInline)
        return inlineValue;
    // An option's value never begins with "--": that is the next option, and the value
    // was forgotten.
    if (m_index + 1 >= m_arguments.size()
        || m_arguments[m_index + 1].startsWith(QLatin1String("--"))) {
        fail(QStringLiteral("%1: missing %2").arg(option, what));
        return std::nullopt;
    }
    return m_arguments[++m_index];
}

ParsedCommandLine Parser::parse()
{
    for (; m_index < m_arguments.size() && !failed(); ++m_index) {
        const QString &argument = m_arguments[m_index];
        const qsizetype equals
            = argument.startsWith(QLatin1String("--")) ? argument.indexOf(QLatin1Char('=')) : -1;
        const bool hasInline = equals >= 0;
        const QString option = hasInline ? argument.left(equals) : argument;
        const QString inlineValue = hasInline ? argument.mid(equals + 1) : QString();
        const auto value
            = [&](const QString &what) { return takeValue(option, inlineValue, hasInline, what); };
        // The argument as the error messages show it: the option with its value.
        const auto shown = [&](const QString &v) { return option + QLatin1Char(' ') + v; };
        const auto noValue = [&] {
            if (hasInline)
                fail(QStringLiteral("%1: takes no value").arg(argument));
            return !hasInline;
        };

        if (option == QLatin1String("--help")) {
            if (noValue())
                return {ParsedCommandLine::Outcome::Help, {}, {}};
        } else if (option == QLatin1String("--version")) {
            if (noValue())
                return {ParsedCommandLine::Outcome::Version, {}, {}};
        } else if (option == QLatin1String("--headless")) {
            if (noValue())
                m_result.headless = true;
        } else if (option == QLatin1String("--screen-height")) {
            if (const auto v = value(QStringLiteral("PIXELS, the screen height in pixels")))
                parseScreenHeight(shown(*v), *v);
        } else if (option == QLatin1String("--set")) {
            if (const auto v = value(QStringLiteral("NAME=VALUE, e.g. field=20")))
                parseSet(shown(*v), *v);
        } else if (option == QLatin1String("--toggle")) {
            if (const auto v = value(QStringLiteral("the switch: ") + wordList(Switches))) {
                if (const auto box = lookUp(Switches, *v))
                    m_result.actions.push_back(ToggleSwitch {*box});
                else
                    fail(QStringLiteral("%1: unknown switch; use one of %2")
                             .arg(shown(*v), wordList(Switches)));
            }
        } else if (option == QLatin1String("--press")) {
            if (const auto v = value(QStringLiteral("the button: ") + wordList(Buttons))) {
                if (const auto button = lookUp(Buttons, *v)) {
                    m_result.actions.push_back(PressButton {*button});
                    m_graphPressed = m_graphPressed || *button == Button::Graph;
                } else {
                    fail(QStringLiteral("%1: unknown button; use one of %2")
                             .arg(shown(*v), wordList(Buttons)));
                }
            }
        } else if (option == QLatin1String("--tick")) {
            if (const auto v = value(QStringLiteral("N, the number of timer periods")))
                parseTick(shown(*v), *v);
        } else if (option == QLatin1String("--run")) {
            if (noValue())
                m_result.actions.push_back(RunUntilStopped {});
        } else if (option == QLatin1String("--probe")) {
            if (const auto v = value(QStringLiteral("X,Y in user coordinates, e.g. 0,70")))
                parseProbe(shown(*v), *v);
        } else if (option == QLatin1String("--save-png") || option == QLatin1String("--save-graph")
            || option == QLatin1String("--save-csv")) {
            if (const auto v = value(QStringLiteral("FILE")))
                parseFile(shown(*v), option, *v);
        } else if (option == QLatin1String("--print-state")) {
            if (!m_standardOutputExport.isEmpty())
                fail(QStringLiteral("--print-state: %1 already writes to standard output")
                         .arg(m_standardOutputExport));
            else if (noValue())
                m_result.actions.push_back(PrintState {});
            m_printsState = true;
        } else {
            fail(QStringLiteral("%1: unknown argument; see kentrikh --help").arg(quoted(argument)));
        }
    }
    if (failed())
        return {ParsedCommandLine::Outcome::Error, {}, QStringLiteral("kentrikh: ") + m_error};
    return {ParsedCommandLine::Outcome::Run, m_result, {}};
}

void Parser::parseScreenHeight(const QString &shown, const QString &value)
{
    const auto height = toInt(value);
    if (height && *height >= MinScreenHeight && *height <= MaxScreenHeight)
        m_result.screenHeight = *height;
    else
        fail(QStringLiteral("%1: the screen height must be a whole number of pixels from %2 to %3")
                 .arg(shown, QString::number(MinScreenHeight), QString::number(MaxScreenHeight)));
}

void Parser::parseSet(const QString &shown, const QString &value)
{
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    if (equals < 0) {
        fail(QStringLiteral("%1: expected NAME=VALUE, e.g. field=20").arg(shown));
        return;
    }
    const QString name = value.left(equals);
    const QString number = value.mid(equals + 1);
    const SliderInfo *slider = findSlider(name);
    if (!slider) {
        fail(QStringLiteral("%1: unknown scroll bar %2; use one of %3")
                 .arg(shown, quoted(name), sliderList()));
        return;
    }
    const QString range = QStringLiteral("%1 takes a whole number from %2 to %3")
                              .arg(name)
                              .arg(slider->min)
                              .arg(slider->max);
    const auto v = toInt(number);
    if (!v)
        fail(QStringLiteral("%1: %2 is not a whole number; %3").arg(shown, quoted(number), range));
    else if (*v < slider->min || *v > slider->max)
        fail(QStringLiteral("%1: out of range; %2").arg(shown, range));
    else
        m_result.actions.push_back(SetSlider {slider->slider, *v});
}

void Parser::parseTick(const QString &shown, const QString &value)
{
    const auto n = toInt(value);
    if (n && *n >= 0 && *n <= MaxTickPeriods)
        m_result.actions.push_back(Tick {*n});
    else
        fail(QStringLiteral("%1: the number of timer periods must be a whole number from 0 to %2")
                 .arg(shown, QString::number(MaxTickPeriods)));
}

void Parser::parseProbe(const QString &shown, const QString &value)
{
    const QStringList parts = value.split(QLatin1Char(','));
    const auto x = parts.size() == 2 ? toFloat(parts[0]) : std::nullopt;
    const auto y = parts.size() == 2 ? toFloat(parts[1]) : std::nullopt;
    if (x && y)
        m_result.actions.push_back(Probe {*x, *y});
    else
        fail(QStringLiteral("%1: expected X,Y, two finite numbers with '.' as the decimal point, "
                            "e.g. 0,70 or -12.5,40")
                 .arg(shown));
}

void Parser::parseFile(const QString &shown, const QString &option, const QString &file)
{
    // Standard output carries one export's bytes and nothing else, so that they can be
    // piped into another program as they are.
    const bool standardOutput = file == QLatin1String(StandardOutputName);
    if (file.isEmpty()) {
        fail(QStringLiteral("%1: missing FILE").arg(option));
    } else if (standardOutput && !m_standardOutputExport.isEmpty()) {
        fail(QStringLiteral("%1: %2 already writes to standard output; only one export may use '-'")
                 .arg(shown, m_standardOutputExport));
    } else if (standardOutput && m_printsState) {
        fail(QStringLiteral("%1: --print-state already writes to standard output").arg(shown));
    } else if (option == QLatin1String("--save-png")) {
        m_result.actions.push_back(SaveMainPicture {file});
    } else if (option == QLatin1String("--save-csv")) {
        m_result.actions.push_back(SaveTrack {file});
    } else if (!m_graphPressed) {
        fail(QStringLiteral("%1: the curvature window was never opened; put --press graph "
                            "before --save-graph")
                 .arg(shown));
    } else {
        m_result.actions.push_back(SaveGraphPicture {file});
    }
    if (standardOutput && m_standardOutputExport.isEmpty())
        m_standardOutputExport = shown;
}

} // namespace

const SliderInfo &sliderInfo(Slider slider)
{
    for (const SliderInfo &s : Sliders)
        if (s.slider == slider)
            return s;
    return Sliders.front();
}

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    return Parser(arguments).parse();
}

bool writesToStandardOutput(const CommandLine &commandLine)
{
    return std::ranges::any_of(commandLine.actions, [](const Action &action) {
        return std::visit(
            [](const auto &a) {
                if constexpr (requires { a.file; })
                    return isStandardOutput(a.file);
                else
                    return false;
            },
            action);
    });
}

CommandLine demoCommandLine()
{
    CommandLine demo;
    demo.headless = true;
    demo.actions = {
        PressButton {Button::Start},
        RunUntilStopped {},
        PressButton {Button::Graph},
        SaveMainPicture {QLatin1String(DemoPicture)},
        SaveGraphPicture {QLatin1String(DemoGraph)},
        SaveTrack {QLatin1String(DemoTrack)},
    };
    return demo;
}

QString usageText()
{
    QString sliderRanges;
    for (const SliderInfo &s : Sliders)
        sliderRanges += QStringLiteral("                            %1 (%2) %3..%4\n")
                            .arg(QLatin1String(s.name), QLatin1String(s.alias))
                            .arg(s.min)
                            .arg(s.max);
    return QStringLiteral(
        "Usage: kentrikh [--headless] [--screen-height PIXELS] [ACTION ...]\n"
        "\n"
        "A charged particle in a plane under the central force F = K.r and a magnetic field B.\n"
        "The actions run in the order given, after start-up, through the same handlers as a\n"
        "person's clicks; the whole command line is checked before the first one runs.\n"
        "\n"
        "Options:\n"
        "  --headless              show no window; message boxes print 'message: TEXT'\n"
        "  --screen-height PIXELS  lay the window out for a screen this high, %1 to %2\n"
        "                          (default: the screen's height, %3 when headless)\n"
        "  --help                  print this help\n"
        "  --version               print the version\n"
        "\n"
        "Actions:\n"
        "  --set NAME=VALUE        move a scroll bar to a whole number in its range:\n"
        "%8"
        "  --toggle SWITCH         click a check box: forces, foucault, curvature\n"
        "  --press BUTTON          click a button: start, stop, step, continue, graph\n"
        "  --tick N                let N timer periods pass\n"
        "  --run                   let the timer tick until it stops (at most %4 ticks)\n"
        "  --probe X,Y             press the mouse on the window at user coordinates X,Y\n"
        "  --save-png FILE         write the main window's picture as PNG\n"
        "  --save-graph FILE       write the curvature window's picture as PNG\n"
        "                          (after --press graph)\n"
        "  --save-csv FILE         write the recorded run, samples 0 to 1000, as CSV\n"
        "  --print-state           print the simulation's state, one name=value a line\n"
        "\n"
        "Example: kentrikh --headless --set field=20 --toggle foucault --press start --run\n"
        "         --save-png orbit.png --save-csv orbit.csv\n"
        "\n"
        "FILE '-' is standard output, for one export at most; message lines then go to\n"
        "standard error. A device, a pipe or a socket is written as it is, never replaced;\n"
        "a regular file is replaced whole or, when the write fails, left as it was.\n"
        "Exit status: 0 on success, 1 when a file cannot be written, 2 on bad arguments.\n"
        "Without a display and without arguments, kentrikh runs a headless demo that\n"
        "writes %5, %6 and %7 in the current folder.\n")
        .arg(MinScreenHeight)
        .arg(MaxScreenHeight)
        .arg(DefaultHeadlessScreenHeight)
        .arg(MaxRunTicks)
        .arg(QLatin1String(DemoPicture), QLatin1String(DemoGraph), QLatin1String(DemoTrack),
            sliderRanges);
}

QString aboutText()
{
    return QStringLiteral(
        "kentrikh " KENTRIKH_VERSION "\n"
        "\n"
        "A charged particle of unit mass and charge moves in a plane, pulled towards a fixed "
        "centre (or pushed away from it) by the force F = K·r and deflected by a magnetic field "
        "B normal to the plane; every sample is the exact solution of the equations of motion. "
        "STAKENTR sets the spring constant K, MAGNHTIO the field B, ARXIVX the starting x "
        "velocity, VIMAXRO the time step and klimaka the drawing scale. START runs 1000 "
        "samples, STOP stops and rewinds, step advances one sample, CONTINUE goes on. "
        "\"show forces\" draws the spring, magnetic and total forces, AKYKLOS KAMPYLOTHTAS the "
        "circle of curvature, and \"Like Foucault Pendulum\" starts the particle so that its "
        "orbit swings through the centre in a turning plane. After a run, a click shows the "
        "recorded sample nearest to it; RADIUS OF CURVATURE plots the radius of curvature "
        "against time beside its predictions. Ctrl+C copies the picture, Ctrl+S saves it as "
        "PNG, Ctrl+Shift+S saves the run as CSV, F1 shows this text.\n"
        "\n"
        "Ένα φορτισμένο σωματίδιο μοναδιαίας μάζας και φορτίου κινείται σε επίπεδο: η δύναμη "
        "F = K·r το έλκει προς ένα σταθερό κέντρο (ή το απωθεί) και ένα μαγνητικό πεδίο B "
        "κάθετο στο επίπεδο το εκτρέπει· κάθε δείγμα είναι η ακριβής λύση των εξισώσεων "
        "κίνησης. Το STAKENTR ορίζει τη σταθερά K, το MAGNHTIO το πεδίο B, το ARXIVX την "
        "αρχική ταχύτητα κατά x, το VIMAXRO το χρονικό βήμα και το klimaka την κλίμακα του "
        "σχεδίου. Το START τρέχει 1000 δείγματα, το STOP σταματά και επαναφέρει, το step "
        "προχωρά ένα δείγμα, το CONTINUE συνεχίζει. Το «show forces» σχεδιάζει την ελαστική, "
        "τη μαγνητική και τη συνολική δύναμη, το AKYKLOS KAMPYLOTHTAS τον κύκλο καμπυλότητας "
        "και το «Like Foucault Pendulum» ξεκινά το σωματίδιο ώστε η τροχιά του να περνά από "
        "το κέντρο σε επίπεδο που στρέφεται. Μετά από μια εκτέλεση, ένα κλικ δείχνει το "
        "καταγεγραμμένο δείγμα που είναι πλησιέστερα· το RADIUS OF CURVATURE σχεδιάζει την "
        "ακτίνα καμπυλότητας ως προς τον χρόνο δίπλα στις προβλέψεις της. Ctrl+C: αντιγραφή "
        "της εικόνας, Ctrl+S: αποθήκευσή της ως PNG, Ctrl+Shift+S: αποθήκευση της εκτέλεσης "
        "ως CSV, F1: αυτό το κείμενο.\n");
}

} // namespace kentrikh
