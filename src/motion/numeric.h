#pragma once

// The model computes in doubles and narrows exactly where the program's numbers are
// defined as 32-bit floats or 16-bit integers; these helpers name those places.

#include <cmath>
#include <cstdint>

namespace kentrikh {

// The value rounded to a 32-bit float, carried on as a double.
inline double f32(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

inline bool isFinite(double value)
{
    return std::isfinite(value);
}

} // namespace kentrikh
