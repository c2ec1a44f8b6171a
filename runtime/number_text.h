#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decimal-comma number texts, as every field and result of Kalvor writes them.
//
// A number text is digits with at most one comma and at least one digit:
// "7,81", "50", ",5" and "5," are numbers; "", ",", "1,2,3", " 5", "-5", "5.0" and
// "1.500" are not. No locale is consulted: "1.500" is not fifteen hundred.
namespace kalvor::runtime {

// The nearest Single to the decimal value, rounded once straight from the digits.
// No value when the text is not a number or the value is too large for a Single.
std::optional<float> TextToSingle(std::string_view text);

// The nearest Double to the decimal value; no value as for TextToSingle.
std::optional<double> TextToDouble(std::string_view text);

// Rounds the exact binary value to 2 decimals, ties to even, and gives the value of the
// same width nearest to that decimal:
//   Single 0,125 -> 0,12; Single 0,375 -> 0,38; Single nearest 1,005 (1.00499999...) -> 1
//   Double 2.675 (2.67499999...) -> 2,67; Double 0.025 (0.0250000000000000014) -> 0,03
float RoundToTwo(float value);
double RoundToTwo(double value);

// Writes a number with a decimal comma, no group separators, no trailing zeros and no
// comma for a whole number, with at most 7 significant digits for a Single and 15 for a
// Double (the exact value's digits, ties to even):
//   Single 190359,9 -> "190359,9"; Single 12345678 -> "1,234568E+07"; 0,00001 -> "1E-05"
//   -0.0 -> "0" (rounding a tiny negative result must not show a minus sign)
// The exponent form is used from 10^7 (Single) or 10^15 (Double) upwards and below 0,0001.
// Infinities and NaN have no text here: the calculation never lets one through.
std::string SingleToText(float value);
std::string DoubleToText(double value);

} // namespace kalvor::runtime
