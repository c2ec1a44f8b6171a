#pragma once

#include <optional>

// Every floating-point result of the calculation passes through these checks, so a
// value that is not finite, or too large for the width it is stored in, becomes an
// error value instead of a number on screen.
namespace kalvor::runtime {

// The double narrowed to the nearest Single; no value when the double is not finite or
// the Single would overflow.
std::optional<float> NarrowToSingle(double value);

// A result as it is stored: narrowed to the nearest Single, then rounded to 2 decimals (see
// RoundToTwo); no value when the Single would overflow or the double is not finite.
std::optional<float> StoredSingle(double value);

// The double itself when it is finite.
std::optional<double> CheckedDouble(double value);

// The power with exponent 2 on a double: the double product x * x.
inline double Square(double x) {
    return x * x;
}

} // namespace kalvor::runtime
