// The bytes of an input, split at each zero byte, are the arguments of a command line. The
// parser must answer every one with a result it guarantees: values within their ranges, or
// one line of error (unless an argument holds a line break) that quotes what was given.

#include "app/command_line.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <variant>

namespace {

using namespace kentrikh;

[[noreturn]] void fail(const char *what, const QStringList &arguments, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\narguments:", what, qPrintable(detail));
    for (const QString &argument : arguments)
        std::fprintf(stderr, " [%s]", qPrintable(argument));
    std::fprintf(stderr, "\n");
    std::abort();
}

bool withinRanges(const CommandLine &line)
{
    if (line.screenHeight
        && (*line.screenHeight < MinScreenHeight || *line.screenHeight > MaxScreenHeight))
        return false;
    for (const Action &action : line.actions) {
        if (const auto *set = std::get_if<SetSlider>(&action)) {
            const SliderInfo &info = sliderInfo(set->slider);
            if (set->value < info.min || set->value > info.max)
                return false;
        } else if (const auto *tick = std::get_if<Tick>(&action)) {
            if (tick->periods < 0 || tick->periods > MaxTickPeriods)
                return false;
        } else if (const auto *probe = std::get_if<Probe>(&action)) {
            if (!std::isfinite(probe->x) || !std::isfinite(probe->y))
                return false;
        }
    }
    return true;
}

// A placeholder such as %2 in an error must come from the arguments themselves: one left
// over means the arguments were spliced into the message's own placeholders.
bool quotesFaithfully(const QString &error, const QStringList &arguments)
{
    static const QRegularExpression placeholder(QStringLiteral("%[0-9]"));
    const QString given = arguments.join(QLatin1Char(' '));
    for (auto it = placeholder.globalMatch(error); it.hasNext();) {
        if (!given.contains(it.next().captured()))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList arguments;
    const char *text = reinterpret_cast<const char *>(data);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            arguments << QString::fromUtf8(text + start, static_cast<qsizetype>(i - start));
            start = i + 1;
        }
    }

    const ParsedCommandLine parsed = parseCommandLine(arguments);
    const ParsedCommandLine again = parseCommandLine(arguments);
    if (parsed.outcome != again.outcome || parsed.commandLine != again.commandLine
        || parsed.error != again.error)
        fail("two parses differ", arguments, parsed.error);

    switch (parsed.outcome) {
    case ParsedCommandLine::Outcome::Run:
        if (!withinRanges(parsed.commandLine))
            fail("a value outside its range was accepted", arguments, {});
        break;
    case ParsedCommandLine::Outcome::Error:
        if (!parsed.error.startsWith(QLatin1String("kentrikh: ")))
            fail("the error does not name the program", arguments, parsed.error);
        if (parsed.error.contains(QLatin1Char('\n'))
            && !arguments.join(QString()).contains(QLatin1Char('\n')))
            fail("the error is more than one line", arguments, parsed.error);
        if (!quotesFaithfully(parsed.error, arguments))
            fail("the error misquotes the arguments", arguments, parsed.error);
        break;
    case ParsedCommandLine::Outcome::Help:
    case ParsedCommandLine::Outcome::Version:
        break;
    }
    return 0;
}
