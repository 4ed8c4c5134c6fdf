#pragma once

// Numbers as the user reads them: no digit grouping (-1000, never -1,000) and the decimal
// separator the user's locale gives. Values that are not finite, which the simulation
// avoids, show as "∞", "-∞" and "—" (no value) rather than as "inf" or "nan".

#include <string>
#include <string_view>

namespace kentrikh {

enum class NumberPattern {
    Whole, // "0"
    TwoDecimals, // "0.00"
    ThreeDecimals, // "0.000"
};

// At least one digit before the separator, exactly the pattern's decimals after it, the
// last one rounded half away from zero on the value's 15 significant decimal digits (so
// that 0.1235 shows as 0.124, as written). A result of zero has no minus sign.
std::string numberText(double value, NumberPattern pattern, std::string_view decimalPoint = ".");

// A number converted to text in the ordinary way: a whole number without decimals, any
// other in the shortest form that reads back to it, as a 32-bit float when it is one
// (0.1f shows as 0.1, not 0.100000001490116).
std::string plainNumberText(double value, std::string_view decimalPoint = ".");

// The shortest text that reads back to the same double, with '.' as the decimal point:
// plain decimals where they stay readable, an exponent for the very small and large.
std::string roundTripText(double value);

} // namespace kentrikh
