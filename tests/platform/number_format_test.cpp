#include "platform/number_format.h"

#include <gtest/gtest.h>
#include <limits>

namespace kentrikh {
namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);

TEST(FormatNumber, ShowsTheCaptionsOfTheSliders)
{
    EXPECT_EQ(formatNumber(-500, NumberPattern::Whole, English), "-500");
    EXPECT_EQ(formatNumber(1, NumberPattern::Whole, English), "1");
    EXPECT_EQ(formatNumber(5, NumberPattern::TwoDecimals, English), "5.00");
    EXPECT_EQ(formatNumber(0, NumberPattern::TwoDecimals, English), "0.00");
    EXPECT_EQ(formatNumber(-35, NumberPattern::TwoDecimals, English), "-35.00");
    EXPECT_EQ(formatNumber(505 / 100.0, NumberPattern::TwoDecimals, English), "5.05");
    EXPECT_EQ(formatNumber(0.5, NumberPattern::TwoDecimals, English), "0.50");
}

TEST(FormatNumber, NeverGroupsDigits)
{
    EXPECT_EQ(formatNumber(1000, NumberPattern::Whole, English), "1000");
    EXPECT_EQ(formatNumber(-1000, NumberPattern::Whole, English), "-1000");
    EXPECT_EQ(formatNumber(1234567.891, NumberPattern::ThreeDecimals, English), "1234567.891");
    EXPECT_EQ(formatNumber(1e20, NumberPattern::Whole, English), "100000000000000000000");
}

TEST(FormatNumber, RoundsHalfAwayFromZeroAsTheNumberIsWritten)
{
    EXPECT_EQ(formatNumber(0.1235, NumberPattern::ThreeDecimals, English), "0.124");
    EXPECT_EQ(formatNumber(-0.1235, NumberPattern::ThreeDecimals, English), "-0.124");
    EXPECT_EQ(formatNumber(2.675, NumberPattern::TwoDecimals, English), "2.68");
    EXPECT_EQ(formatNumber(0.5, NumberPattern::Whole, English), "1");
    EXPECT_EQ(formatNumber(-2.5, NumberPattern::Whole, English), "-3");
    EXPECT_EQ(formatNumber(9.9996, NumberPattern::ThreeDecimals, English), "10.000");
    EXPECT_EQ(formatNumber(0.0004, NumberPattern::ThreeDecimals, English), "0.000");
    EXPECT_EQ(formatNumber(0.0005, NumberPattern::ThreeDecimals, English), "0.001");
    EXPECT_EQ(formatNumber(1e-300, NumberPattern::TwoDecimals, English), "0.00");
}

TEST(FormatNumber, ShowsNoMinusOnZero)
{
    EXPECT_EQ(formatNumber(-0.001, NumberPattern::TwoDecimals, English), "0.00");
    EXPECT_EQ(formatNumber(-0.0, NumberPattern::Whole, English), "0");
    EXPECT_EQ(formatNumber(-0.4, NumberPattern::Whole, English), "0");
}

TEST(FormatNumber, UsesTheLocaleDecimalSeparator)
{
    EXPECT_EQ(formatNumber(5, NumberPattern::TwoDecimals, German), "5,00");
    EXPECT_EQ(formatNumber(-1234.5678, NumberPattern::ThreeDecimals, German), "-1234,568");
    EXPECT_EQ(formatPlain(-17.5, German), "-17,5");
}

TEST(FormatPlain, ShowsWholeNumbersWithoutDecimalsAndOthersShortest)
{
    EXPECT_EQ(formatPlain(0, English), "0");
    EXPECT_EQ(formatPlain(-0.0, English), "0");
    EXPECT_EQ(formatPlain(-120, English), "-120");
    EXPECT_EQ(formatPlain(-175, English), "-175");
    EXPECT_EQ(formatPlain(123456789012, English), "123456789012");
    EXPECT_EQ(formatPlain(0.25, English), "0.25");
    EXPECT_EQ(formatPlain(double(0.1f), English), "0.1");
    EXPECT_EQ(formatPlain(0.1, English), "0.1");
    EXPECT_EQ(formatPlain(1.0 / 3, English), "0.3333333333333333");
}

TEST(FormatNumber, ShowsNonFiniteValuesAsSymbols)
{
    constexpr double Inf = std::numeric_limits<double>::infinity();
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    for (const NumberPattern pattern : {NumberPattern::Whole, NumberPattern::ThreeDecimals}) {
        EXPECT_EQ(formatNumber(Inf, pattern, English), QStringLiteral("\u221e"));
        EXPECT_EQ(formatNumber(-Inf, pattern, English), QStringLiteral("-\u221e"));
        EXPECT_EQ(formatNumber(NaN, pattern, English), QStringLiteral("\u2014"));
    }
    EXPECT_EQ(formatPlain(-Inf, English), QStringLiteral("-\u221e"));
    EXPECT_EQ(formatPlain(NaN, English), QStringLiteral("\u2014"));
}

} // namespace
} // namespace kentrikh
