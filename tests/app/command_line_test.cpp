#include "app/command_line.h"
#include "app/exports.h"
#include "app/main_window.h"
#include "app/wrapping_check_box.h"
#include "support/localised.h"

#include <QScrollBar>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

ParsedCommandLine parse(const QStringList &arguments)
{
    return parseCommandLine(arguments);
}

TEST(CommandLineParser, ReadsEveryActionInTheOrderGiven)
{
    const ParsedCommandLine parsed = parse({
        "--set",
        "STAKENTR=-100",
        "--set=field=20",
        "--set",
        "vx=-200",
        "--set",
        "timestep=2000",
        "--set",
        "klimaka=10",
        "--toggle",
        "forces",
        "--toggle=foucault",
        "--toggle",
        "curvature",
        "--press",
        "start",
        "--press",
        "stop",
        "--press",
        "step",
        "--press",
        "continue",
        "--press",
        "graph",
        "--tick",
        "0",
        "--tick=25",
        "--run",
        "--probe",
        "-12.5,1e1",
        "--save-png",
        "a.png",
        "--save-graph",
        "b.png",
        "--save-csv=c.csv",
        "--print-state",
        "--headless",
        "--screen-height",
        "600",
    });
    ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Run) << parsed.error.toStdString();

    CommandLine expected;
    expected.headless = true;
    expected.screenHeight = 600;
    expected.actions = {
        SetSlider {Slider::STAKENTR, -100},
        SetSlider {Slider::MAGNHTIO, 20},
        SetSlider {Slider::ARXIVX, -200},
        SetSlider {Slider::VIMAXRO, 2000},
        SetSlider {Slider::klimaka, 10},
        ToggleSwitch {Switch::Forces},
        ToggleSwitch {Switch::Foucault},
        ToggleSwitch {Switch::Curvature},
        PressButton {Button::Start},
        PressButton {Button::Stop},
        PressButton {Button::Step},
        PressButton {Button::Continue},
        PressButton {Button::Graph},
        Tick {0},
        Tick {25},
        RunUntilStopped {},
        Probe {-12.5f, 10.0f},
        SaveMainPicture {"a.png"},
        SaveGraphPicture {"b.png"},
        SaveTrack {"c.csv"},
        PrintState {},
    };
    EXPECT_EQ(parsed.commandLine, expected);

    EXPECT_EQ(parse({}).outcome, ParsedCommandLine::Outcome::Run);
    EXPECT_EQ(parse({}).commandLine, CommandLine {});
}

TEST(CommandLineParser, RejectsBadInputWithOneLineNamingTheArgumentAndWhatIsAccepted)
{
    const struct
    {
        QStringList arguments;
        QStringList mentions; // what the message must name
    } cases[] = {
        {{"--frobnicate"}, {"'--frobnicate'", "--help"}},
        {{"start"}, {"'start'"}},
        {{"--press", "go"}, {"--press go", "start, stop, step, continue, graph"}},
        {{"--toggle", "light"}, {"--toggle light", "forces, foucault, curvature"}},
        {{"--set", "gravity=3"}, {"--set gravity=3", "STAKENTR (spring)", "klimaka (scale)"}},
        {{"--set", "ARXIVX=-201"}, {"--set ARXIVX=-201", "-200 to 200"}},
        {{"--set", "field=2.5"}, {"'2.5'", "whole number", "-100 to 100"}},
        {{"--set", "field=99999999999"}, {"whole number", "-100 to 100"}},
        {{"--set", "field"}, {"--set field", "NAME=VALUE"}},
        {{"--set"}, {"--set", "missing"}},
        {{"--set", "--run"}, {"--set", "missing"}},
        {{"--tick", "-1"}, {"--tick -1", "0 to 1000000"}},
        {{"--probe", "10;20"}, {"--probe 10;20", "X,Y"}},
        {{"--probe", "1e39,0"}, {"finite"}},
        {{"--save-csv="}, {"--save-csv", "missing"}},
        {{"--save-graph", "g.png", "--press", "graph"}, {"--save-graph g.png", "--press graph"}},
        {{"--run=3"}, {"--run=3", "no value"}},
        {{"--screen-height", "50"}, {"--screen-height 50", "200 to 4320"}},
        {{"--save-png", "-", "--save-csv=-"}, {"--save-csv -", "--save-png -", "only one"}},
        {{"--save-png", "-", "--print-state"}, {"--print-state", "standard output"}},
        {{"--print-state", "--save-png", "-"}, {"--save-png -", "--print-state"}},
    };
    for (const auto &c : cases) {
        // The bad argument comes last: nothing before it may have been taken as valid.
        const ParsedCommandLine parsed = parse(
            QStringList {"--headless", "--press", "start", "--save-csv", "x.csv"} + c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Error);
        EXPECT_TRUE(parsed.error.startsWith("kentrikh: ")) << parsed.error.toStdString();
        EXPECT_FALSE(parsed.error.contains('\n'));
        for (const QString &mention : c.mentions)
            EXPECT_TRUE(parsed.error.contains(mention)) << parsed.error.toStdString();
    }
}

TEST(CommandLineParser, SliderRangesAreTheWindowsOwn)
{
    MainWindow window;
    const std::pair<Slider, QScrollBar *> bars[] = {{Slider::STAKENTR, window.STAKENTR},
        {Slider::MAGNHTIO, window.MAGNHTIO}, {Slider::ARXIVX, window.ARXIVX},
        {Slider::VIMAXRO, window.VIMAXRO}, {Slider::klimaka, window.klimaka}};
    for (const auto &[slider, bar] : bars) {
        const SliderInfo &info = sliderInfo(slider);
        EXPECT_EQ(bar->objectName(), QLatin1String(info.name));
        EXPECT_EQ(info.min, bar->minimum()) << info.name;
        EXPECT_EQ(info.max, bar->maximum()) << info.name;
    }
}

double readBack(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    double value = 0;
    const auto [end, ec] = std::from_chars(bytes.constBegin(), bytes.constEnd(), value);
    EXPECT_TRUE(ec == std::errc() && end == bytes.constEnd()) << bytes.constData();
    return value;
}

TEST(Exports, NumbersAreShortAndReadBackExactly)
{
    EXPECT_EQ(roundTripNumber(70), "70");
    EXPECT_EQ(roundTripNumber(-35000), "-35000");
    EXPECT_EQ(roundTripNumber(500 * 0.0001 / 100), "0.0005");
    EXPECT_EQ(roundTripNumber(0.1), "0.1");

    const double values[] = {double(0.1f), double(69.9956283569336f), 1.0 / 3, -2.5e-300, 4.9e-324,
        1.7976931348623157e308, 1e21, 1e-7, 123456789012345678.0, -0.0};
    for (const double value : values) {
        const QString text = roundTripNumber(value);
        EXPECT_EQ(readBack(text), value) << text.toStdString();
        EXPECT_EQ(std::signbit(readBack(text)), std::signbit(value));
        EXPECT_LE(text.size(), 25) << text.toStdString();
    }
}

TEST(Exports, TrackCsvHasAHeaderAndEverySampleWithEmptyFieldsForWhatWasNeverRecorded)
{
    TrackRecord track;
    track.TrackX.store(0, 0);
    track.TrackY.store(0, 70);
    track.TrackX.store(1, 0.25);
    track.TrackCentreY.store(1, -1.5);
    track.TrackVY.store(1000, 12);

    const QList<QByteArray> lines = trackCsv(track).split('\n');
    ASSERT_EQ(lines.size(), 1 + TrackSize + 1); // the last line ends with a newline too
    EXPECT_EQ(lines[0],
        "sample,x,y,vx,vy,spring_fx,spring_fy,mag_fx,mag_fy,net_fx,net_fy,rho,centre_x,centre_y");
    EXPECT_EQ(lines[1], "0,0,70,,,,,,,,,,,");
    EXPECT_EQ(lines[2], "1,0.25,,,,,,,,,,,,-1.5");
    EXPECT_EQ(lines[3], "2,,,,,,,,,,,,,");
    EXPECT_EQ(lines[TrackSize], "1000,,,,12,,,,,,,,,");
    EXPECT_EQ(lines.last(), "");
}

TEST(Exports, StateReportListsTheStateInItsOrder)
{
    MainWindow window;
    window.Main({1080, 15, {}}, false);
    window.eidiki->click();
    EXPECT_EQ(stateReport(window),
        QStringLiteral("K=-500\nB=5\nDT=0.0005\nR0=70\nX=0\nY=70\nVX=0\nVY=0\nVX0=0\n"
                       "SampleIndex=0\nHasTrack=False\nShowForces=False\nFoucaultMode=True\n"
                       "CurvatureCircle=False\nTimer1.Enabled=True\nTimer1.Interval=0\n"
                       "KAMPYLOTHTA.Value=0\n"
                       "Label1=σταθερή = -500\nLabel2= Μαγνητικό = ")
            + localised("5.00") + QStringLiteral("\nLabel3= ΑΡΧΙΚΗ VX= ") + localised("0.00")
            + QStringLiteral("\nLabel4=Πολλ. χρόνου = ") + localised("5.00")
            + QStringLiteral("\nLabel5=Κλίμακα= 1\n"));
    window.KAMPYLOTHTA->click();
    EXPECT_TRUE(stateReport(window).contains("\nCurvatureCircle=True\n"));
    EXPECT_TRUE(stateReport(window).contains("\nKAMPYLOTHTA.Value=1\n"));
}

} // namespace
} // namespace kentrikh
