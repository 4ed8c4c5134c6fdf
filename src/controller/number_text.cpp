#include "controller/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace kentrikh {

namespace {

std::string notFinite(double value)
{
    if (std::isnan(value))
        return "\u2014";
    return value > 0 ? "\u221e" : "-\u221e";
}

int decimalsOf(NumberPattern pattern)
{
    switch (pattern) {
    case NumberPattern::Whole:
        return 0;
    case NumberPattern::TwoDecimals:
        return 2;
    case NumberPattern::ThreeDecimals:
        return 3;
    }
    return 0;
}

constexpr int SignificantDigits = 15;

// The magnitude rounded to the given decimals, as the digits of a whole number of units
// of 10^-decimals, without leading zeros ("" for zero).
std::string roundedDigits(double magnitude, int decimals)
{
    // "d.ddddddddddddddde+xx"; to_chars ignores the C locale, which Qt sets from the
    // environment.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
        std::chars_format::scientific, SignificantDigits - 1);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    const std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);

    // digits[i] stands for digits[i] * 10^(exponent - i); keep those down to 10^-decimals.
    const int kept = exponent + decimals + 1;
    if (kept < 0)
        return {};
    std::string whole = digits.substr(0, std::size_t(std::min(kept, SignificantDigits)));
    if (kept < SignificantDigits && digits[std::size_t(kept)] >= '5') {
        int i = int(whole.size()) - 1;
        while (i >= 0 && whole[std::size_t(i)] == '9')
            whole[std::size_t(i--)] = '0';
        if (i >= 0)
            ++whole[std::size_t(i)];
        else
            whole.insert(whole.begin(), '1');
    }
    if (kept > SignificantDigits)
        whole.append(std::size_t(kept - SignificantDigits), '0');
    const std::size_t first = whole.find_first_not_of('0');
    return first == std::string::npos ? std::string() : whole.substr(first);
}

} // namespace

std::string numberText(double value, NumberPattern pattern, std::string_view decimalPoint)
{
    if (!std::isfinite(value))
        return notFinite(value);
    const int decimals = decimalsOf(pattern);
    std::string digits = roundedDigits(std::abs(value), decimals);
    const bool negative = value < 0 && !digits.empty();
    if (digits.size() < std::size_t(decimals + 1))
        digits.insert(0, std::size_t(decimals + 1) - digits.size(), '0');
    const std::size_t point = digits.size() - std::size_t(decimals);
    std::string text = digits.substr(0, point);
    if (decimals > 0)
        text.append(decimalPoint).append(digits, point);
    return negative ? "-" + text : text;
}

std::string plainNumberText(double value, std::string_view decimalPoint)
{
    if (!std::isfinite(value))
        return notFinite(value);
    if (value == 0)
        return "0";
    char buffer[64];
    std::to_chars_result result;
    if (std::trunc(value) == value && std::abs(value) < 1e15)
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
    else if (std::abs(value) <= std::numeric_limits<float>::max() && double(float(value)) == value)
        result = std::to_chars(buffer, buffer + sizeof buffer, float(value));
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text;
    for (const char *c = buffer; c != result.ptr; ++c) {
        if (*c == '.')
            text.append(decimalPoint);
        else
            text.push_back(*c);
    }
    return text;
}

std::string roundTripText(double value)
{
    const double magnitude = std::abs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-7 && magnitude < 1e21);
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value,
        plain ? std::chars_format::fixed : std::chars_format::scientific);
    return std::string(text, result.ptr);
}

} // namespace kentrikh
