// What the command line's fuzzer found: an argument spliced into an error message whose
// placeholders are filled one after another takes the place of the limits that follow it.

#include "app/command_line.h"

#include <gtest/gtest.h>

namespace kentrikh {
namespace {

TEST(CommandLineFindings, AnArgumentWithAPercentSignIsQuotedAsGiven)
{
    const struct
    {
        QStringList arguments;
        QString limits;
    } cases[] = {
        {{QStringLiteral("--screen-height"), QStringLiteral("%1")},
            QStringLiteral("from 200 to 4320")},
        {{QStringLiteral("--tick"), QStringLiteral("%1x")}, QStringLiteral("from 0 to 1000000")},
    };
    for (const auto &c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Error);
        EXPECT_TRUE(parsed.error.contains(c.arguments.join(QLatin1Char(' '))))
            << parsed.error.toStdString();
        EXPECT_TRUE(parsed.error.endsWith(c.limits)) << parsed.error.toStdString();
    }
}

} // namespace
} // namespace kentrikh
