#include "../support/localised.h"
#include "motion/closed_form.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <charconv>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

// A whole run takes a few seconds while its drawing is slow; allow for a busy machine.
constexpr int ProgramTimeoutMs = 120000;

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray rawOut;

    QStringList outLines() const { return out.split('\n', Qt::SkipEmptyParts); }
    QStringList errLines() const { return err.split('\n', Qt::SkipEmptyParts); }
    QStringList messages() const { return outLines().filter(QRegularExpression("^message: ")); }
};

using State = QMap<QString, QString>;

double number(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    double value = 0;
    const auto [end, ec] = std::from_chars(bytes.constBegin(), bytes.constEnd(), value);
    EXPECT_TRUE(ec == std::errc() && end == bytes.constEnd()) << '"' << bytes.constData() << '"';
    return value;
}

class Cli : public ::testing::Test
{
protected:
    Outcome run(const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KENTRIKH_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(ProgramTimeoutMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        const QByteArray out = process.readAllStandardOutput();
        return {process.exitCode(), QString::fromUtf8(out),
            QString::fromUtf8(process.readAllStandardError()), out};
    }

    QByteArray contents(const QString &name) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    // Every --print-state block of the output, in order.
    static QList<State> states(const Outcome &outcome)
    {
        QList<State> blocks;
        for (const QString &line : outcome.outLines()) {
            if (line.startsWith("message: "))
                continue;
            if (line.startsWith("K="))
                blocks.append(State());
            const qsizetype equals = line.indexOf('=');
            if (!blocks.isEmpty() && equals > 0)
                blocks.last().insert(line.left(equals), line.mid(equals + 1));
        }
        return blocks;
    }

    // The rows of a CSV file, header first, each split into its fields.
    QList<QStringList> csv(const QString &name) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QList<QStringList> rows;
        for (const QByteArray &line : file.readAll().split('\n'))
            if (!line.isEmpty())
                rows.append(QString::fromLatin1(line).split(','));
        return rows;
    }

    QTemporaryDir dir {QStringLiteral(KENTRIKH_WORK_DIR "/run-XXXXXX")};
};

// Expects each named entry of a state; the others may be anything.
void expectState(const State &state, const State &expected)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(state.value(it.key()).toStdString(), it.value().toStdString())
            << it.key().toStdString();
}

TEST_F(Cli, DefaultRunRecordsEverySampleAndTheGraphReportsItsMaxima)
{
    const Outcome outcome = run({"--headless", "--press", "start", "--run", "--save-csv", "run.csv",
        "--press", "graph", "--save-graph", "graph.png", "--print-state"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();

    // START shows the start velocity, then the graph its four values less the Foucault one.
    const QStringList messages = outcome.messages();
    ASSERT_EQ(messages.size(), 4) << outcome.out.toStdString();
    EXPECT_EQ(messages[0], "message: 0");
    EXPECT_TRUE(messages[1].startsWith("message: megis aktis = ")) << messages[1].toStdString();
    EXPECT_TRUE(messages[2].startsWith("message: MAXCAMP =  ")) << messages[2].toStdString();
    EXPECT_TRUE(messages[3].startsWith("message: rmax = ")) << messages[3].toStdString();
    EXPECT_TRUE(messages[3].contains("  AktiNmax  =")) << messages[3].toStdString();
    // The first and the last report the same predicted maximum.
    EXPECT_EQ(messages[1].mid(messages[1].indexOf("= ") + 2),
        messages[3].mid(messages[3].indexOf("= ") + 2).section(' ', 0, 0));

    const QList<State> states = Cli::states(outcome);
    ASSERT_EQ(states.size(), 1);
    expectState(states[0],
        {{"HasTrack", "True"}, {"SampleIndex", "0"}, {"Timer1.Enabled", "False"},
            {"Timer1.Interval", "1"}, {"X", "0"}, {"Y", "70"}});

    const QList<QStringList> rows = csv("run.csv");
    ASSERT_EQ(rows.size(), 1 + 1001);
    EXPECT_EQ(rows[0].join(','),
        "sample,x,y,vx,vy,spring_fx,spring_fy,mag_fx,mag_fy,net_fx,net_fy,rho,centre_x,centre_y");
    for (int i = 0; i <= 1000; ++i)
        ASSERT_EQ(rows[1 + i].value(0), QString::number(i));

    // Sample 1 is the start, at rest; sample 2 the closed form one time step later.
    const QStringList &first = rows[2];
    EXPECT_EQ(number(first[1]), 0);
    EXPECT_EQ(number(first[2]), 70);
    EXPECT_EQ(number(first[3]), 0);
    EXPECT_EQ(number(first[4]), 0);
    const double K = number(states[0]["K"]);
    const double B = number(states[0]["B"]);
    const double DT = number(states[0]["DT"]);
    const FloatPair position = AnalyticPosition(K, B, DT, 0, 70);
    const FloatPair velocity = AnalyticVelocity(K, B, DT, 0, 70);
    const QStringList &second = rows[3];
    EXPECT_EQ(number(second[1]), position.first);
    EXPECT_EQ(number(second[2]), position.second);
    EXPECT_EQ(number(second[3]), velocity.first);
    EXPECT_EQ(number(second[4]), velocity.second);

    const QImage graph(path("graph.png"));
    EXPECT_EQ(graph.size(), QSize(540, 540));
}

TEST_F(Cli, FoucaultRunStartsAcrossTheFieldAtMinusBR0Over2)
{
    const Outcome outcome
        = run({"--headless", "--set", "field=20", "--toggle", "foucault", "--press", "start",
            "--run", "--press", "graph", "--save-csv", "foucault.csv", "--print-state"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();

    const QStringList messages = outcome.messages();
    ASSERT_GE(messages.size(), 1);
    EXPECT_EQ(messages[0], "message: -700");
    // In Foucault mode the graph reports the turning-point radius R0 / (2 |2K/B^2 - 1|).
    EXPECT_TRUE(messages.contains(QStringLiteral("message: ρ = ") + localised("10.00")))
        << outcome.out.toStdString();

    const State state = states(outcome).value(0);
    expectState(
        state, {{"FoucaultMode", "True"}, {"VX0", "-700"}, {"B", "20"}, {"HasTrack", "True"}});

    const QList<QStringList> rows = csv("foucault.csv");
    ASSERT_EQ(rows.size(), 1 + 1001);
    EXPECT_EQ(number(rows[2][3]), -700);
    EXPECT_EQ(number(rows[2][4]), 0);
}

bool hasColour(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                return true;
    return false;
}

TEST_F(Cli, ProbeShowsTheStoredSampleNearestThePointerOnlyAfterARun)
{
    // Sample 500 of the default run, from the closed form.
    const FloatPair at = AnalyticPosition(-500, 5, 499 * 0.0005, 0, 70);
    const QString probe
        = QStringLiteral("%1,%2").arg(at.first, 0, 'g', 9).arg(at.second, 0, 'g', 9);

    const Outcome outcome = run({"--headless", "--toggle", "forces", "--save-png", "start.png",
        "--probe", probe, "--save-png", "early.png", "--press", "start", "--run", "--save-png",
        "run.png", "--probe", probe, "--save-png", "probe.png"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();

    // Without a recorded run the press does nothing at all.
    EXPECT_EQ(QImage(path("early.png")), QImage(path("start.png")));

    const QImage afterRun(path("run.png"));
    const QImage probed(path("probe.png"));
    const QRgb referenceCircle = qRgb(55, 0, 255);
    EXPECT_TRUE(hasColour(afterRun, referenceCircle));
    // The probe clears the window and draws the stored path and the stored forces and
    // velocity of the sample: the total force in blue, the velocity in green.
    EXPECT_FALSE(hasColour(probed, referenceCircle));
    EXPECT_TRUE(hasColour(probed, qRgb(255, 0, 0)));
    EXPECT_TRUE(hasColour(probed, qRgb(0, 0, 255)));
    EXPECT_TRUE(hasColour(probed, qRgb(0, 255, 0)));
}

TEST_F(Cli, PrintStateFollowsTheRunControlAndTheSliders)
{
    const Outcome outcome = run({"--headless", "--print-state",
        // CONTINUE before START: enabled, but no interval and so no ticks.
        "--press", "continue", "--tick", "5", "--print-state",
        // START from Rewound, three periods.
        "--press", "start", "--tick", "3", "--print-state",
        // step pauses one sample further; paused, the timer does not tick.
        "--press", "step", "--tick", "2", "--print-state",
        // CONTINUE goes on from the current sample.
        "--press", "continue", "--tick", "1", "--print-state",
        // STOP rewinds.
        "--press", "stop", "--print-state",
        // A bar set to the value it has runs no handler: the circle stays on.
        "--toggle", "curvature", "--set", "spring=-50", "--print-state",
        // A field change switches the circle off and rewrites both labels.
        "--set", "field=-20", "--print-state",
        // In Foucault mode the start velocity ignores ARXIVX.
        "--toggle", "foucault", "--set", "vx=-35", "--print-state", "--set", "timestep=1000",
        "--set", "scale=3", "--print-state", "--press", "start", "--print-state"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.messages(), QStringList({"message: 0", "message: 700"}));

    const QList<State> s = states(outcome);
    ASSERT_EQ(s.size(), 11);
    for (const State &state : s)
        EXPECT_EQ(state.keys().size(), 22);
    expectState(s[0],
        {{"K", "-500"}, {"DT", "0.0005"}, {"Y", "70"}, {"Timer1.Enabled", "True"},
            {"Timer1.Interval", "0"},
            {"Label2", QStringLiteral(" Μαγνητικό = ") + localised("5.00")}});
    expectState(s[1], {{"Timer1.Enabled", "True"}, {"Timer1.Interval", "0"}, {"SampleIndex", "0"}});
    expectState(s[2], {{"Timer1.Enabled", "True"}, {"Timer1.Interval", "1"}, {"SampleIndex", "3"}});
    expectState(s[3], {{"Timer1.Enabled", "False"}, {"SampleIndex", "4"}});
    expectState(s[4], {{"Timer1.Enabled", "True"}, {"SampleIndex", "5"}});
    expectState(s[5],
        {{"Timer1.Enabled", "False"}, {"SampleIndex", "0"}, {"X", "0"}, {"Y", "70"}, {"VY", "0"}});
    expectState(s[6], {{"CurvatureCircle", "True"}, {"KAMPYLOTHTA.Value", "1"}});
    expectState(s[7],
        {{"B", "-20"}, {"K", "-500"}, {"CurvatureCircle", "False"}, {"KAMPYLOTHTA.Value", "0"},
            {"Label1", "σταθερή = -500"},
            {"Label2", QStringLiteral(" Μαγνητικό = ") + localised("-20.00")}});
    expectState(s[8],
        {{"FoucaultMode", "True"}, {"VX", "700"},
            {"Label3", QStringLiteral(" ΑΡΧΙΚΗ VX= ") + localised("-35.00")}});
    expectState(s[9],
        {{"DT", "0.001"}, {"Label4", QStringLiteral("Πολλ. χρόνου = ") + localised("10.00")},
            {"Label5", "Κλίμακα= 3"}, {"SampleIndex", "0"}});
    expectState(s[10], {{"VX0", "700"}, {"Timer1.Enabled", "True"}, {"HasTrack", "False"}});
}

TEST_F(Cli, BadInputRunsNothingWritesNothingAndExitsWith2)
{
    const struct
    {
        QStringList arguments;
        QString mention;
    } cases[] = {
        {{"--jump"}, "'--jump'"},
        {{"--set", "gravity=2"}, "MAGNHTIO (field)"},
        {{"--set", "field=101"}, "-100 to 100"},
        {{"--set", "vx=1.5"}, "'1.5'"},
        {{"--tick"}, "--tick: missing"},
        {{"--save-graph", "g.png"}, "--press graph"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome outcome = run(QStringList {"--headless", "--press", "start", "--run",
                                        "--save-csv", "x.csv", "--save-png", "x.png"}
            + c.arguments);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        ASSERT_EQ(outcome.errLines().size(), 1) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.errLines()[0].contains(c.mention)) << outcome.err.toStdString();
        EXPECT_EQ(files(), QStringList());
    }
}

TEST_F(Cli, AFileThatCannotBeWrittenEndsTheRunWith1)
{
    const Outcome outcome
        = run({"--headless", "--save-csv", "no-such-folder/x.csv", "--print-state"});
    EXPECT_EQ(outcome.exitCode, 1);
    // Qt may warn about the environment on standard error too; ours is the one line.
    const QStringList errors = outcome.errLines().filter(QRegularExpression("^kentrikh: "));
    ASSERT_EQ(errors.size(), 1) << outcome.err.toStdString();
    EXPECT_TRUE(errors[0].startsWith("kentrikh: --save-csv no-such-folder/x.csv: cannot write: "))
        << outcome.err.toStdString();
    EXPECT_FALSE(outcome.out.contains("K="));
}

TEST_F(Cli, PicturesAreRealPngsOfTheScreenHeightAndHalfOfIt)
{
    const Outcome outcome = run({"--headless", "--screen-height", "600", "--press", "graph",
        "--save-png", "main.png", "--save-graph", "graph.png"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();

    for (const auto &[name, side] : {std::pair {"main.png", 600}, std::pair {"graph.png", 300}}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8)) << name;
        const QImage image(path(name), "PNG");
        EXPECT_EQ(image.size(), QSize(side, side)) << name;
    }
}

TEST_F(Cli, WithoutADisplayAndArgumentsTheDemoWritesItsThreeFiles)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    const Outcome outcome = run({}, environment);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.outLines().value(0).contains("headless demo")) << outcome.out.toStdString();

    EXPECT_EQ(files(), QStringList({"kentrikh-graph.png", "kentrikh.csv", "kentrikh.png"}));
    EXPECT_EQ(QImage(path("kentrikh.png")).size(), QSize(1080, 1080));
    EXPECT_EQ(QImage(path("kentrikh-graph.png")).size(), QSize(540, 540));
    EXPECT_EQ(csv("kentrikh.csv").size(), 1 + 1001);
}

TEST_F(Cli, HelpAndVersion)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: kentrikh [--headless]"));
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("kentrikh ")) << version.out.toStdString();
    EXPECT_EQ(files(), QStringList());
}

TEST_F(Cli, DashIsStandardOutputAndCarriesTheExportAlone)
{
    for (const char *option : {"--save-csv", "--save-png", "--save-graph"}) {
        SCOPED_TRACE(option);
        const Outcome outcome = run({"--headless", "--press", "start", "--run", "--press", "graph",
            option, "-", option, "file"});
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        EXPECT_EQ(outcome.rawOut, contents("file"));
        EXPECT_TRUE(outcome.err.contains("message: 0\n")) << outcome.err.toStdString();
    }
}

// Run by bash in the test's folder: SETUP, then COMMAND with "$K" the program and $RUN a
// whole default run, then, once what SETUP started in the background has ended, CHECK; the script
// prints "check passed" and exits with the command's status. ref.csv is the run written to a plain
// new file.
TEST_F(Cli, DevicesPipesAndSocketsAreWrittenInPlaceAndEveryFailedWriteExitsWith1)
{
    const struct
    {
        const char *setup;
        const char *command;
        const char *check;
        int status;
        const char *error; // the one line, after "kentrikh: "
    } cases[] = {
        {"mkfifo p; timeout 60 cat p > copy &", R"sh("$K" $RUN --save-csv p)sh",
            "[ -p p ] && cmp copy ref.csv", 0, nullptr},
        // A listening socket; the server says it listens by opening the pipe "ready".
        {R"sh(mkfifo ready; timeout 60 perl -MIO::Socket::UNIX -e '$s = IO::Socket::UNIX->new(Local => "s",
            Listen => 1) or die; open R, ">ready"; close R; $c = $s->accept; open F, ">copy";
            local $/; print F <$c>' & timeout 60 cat ready)sh",
            R"sh("$K" $RUN --save-csv s)sh", "[ -S s ] && cmp copy ref.csv", 0, nullptr},
        {"", R"sh({ echo first; "$K" $RUN --save-csv /dev/stdout; } >> out)sh",
            R"sh([ "$(head -1 out)" = first ] && tail -n +2 out | cmp - ref.csv)sh", 0, nullptr},
        {"", R"sh("$K" $RUN --save-csv - | head -c 1 >/dev/null)sh", "true", 1,
            "--save-csv -: cannot write: Broken pipe"},
        // A node of the test's own where it may make one, so that a fault cannot replace
        // the system's /dev/full.
        {"mknod full c 1 7 2>/dev/null || ln -s /dev/full full", R"sh("$K" $RUN --save-png full)sh",
            "[ -c full ]", 1, "--save-png full: cannot write: No space left on device"},
        {"mkdir d", R"sh("$K" $RUN --save-csv d)sh", R"sh([ -d d ] && [ -z "$(ls -A d)" ])sh", 1,
            "--save-csv d: is a folder, not a file"},
        {"echo old > f; ln -s f l; ulimit -f 8", R"sh("$K" $RUN --save-csv f)sh",
            R"sh([ "$(cat f)" = old ] && [ "$(ls -A | xargs)" = "f l ref.csv" ])sh", 1,
            "--save-csv f: cannot write: File too large"},
        {"echo old > f; ln -s f l; ulimit -f 8", R"sh("$K" $RUN --save-csv l)sh",
            R"sh([ -L l ] && [ "$(cat f)" = old ] && [ "$(ls -A | xargs)" = "f l ref.csv" ])sh", 1,
            "--save-csv l: cannot write: File too large"},
        {"", R"sh("$K" $RUN --save-csv none/x.csv)sh", "[ ! -e none ]", 1,
            "--save-csv none/x.csv: cannot write: No such file or directory"},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("K", KENTRIKH_PROGRAM);
    environment.insert("RUN", "--headless --press start --run");
    environment.insert("LC_ALL", "C");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        QTemporaryDir folder(QStringLiteral(KENTRIKH_WORK_DIR "/shell-XXXXXX"));
        QProcess shell;
        shell.setWorkingDirectory(folder.path());
        shell.setProcessEnvironment(environment);
        shell.start("bash",
            {"-c",
                QStringLiteral(
                    "set -o pipefail; \"$K\" $RUN --save-csv ref.csv >/dev/null 2>&1; "
                    "%1\n%2\nstatus=$?\nwait\n(%3) >/dev/null 2>&1 && echo check passed\n"
                    "exit $status")
                    .arg(c.setup, c.command, c.check)});
        ASSERT_TRUE(shell.waitForFinished(ProgramTimeoutMs));
        const QString out = QString::fromUtf8(shell.readAllStandardOutput());
        const QString err = QString::fromUtf8(shell.readAllStandardError());
        EXPECT_EQ(shell.exitCode(), c.status) << err.toStdString();
        EXPECT_TRUE(out.contains("check passed")) << out.toStdString();
        const QStringList errors = err.split('\n').filter(QRegularExpression("^kentrikh: "));
        EXPECT_EQ(errors.join('\n').toStdString(),
            c.error ? std::string("kentrikh: ") + c.error : std::string())
            << err.toStdString();
    }
}

} // namespace
} // namespace kentrikh
