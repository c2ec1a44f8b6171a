#include "runtime/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace kalvor::runtime {
namespace {

bool IsNumberText(std::string_view text) {
    const auto digits =
        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto commas = std::count(text.begin(), text.end(), ',');
    return digits > 0 && commas <= 1 && static_cast<std::size_t>(digits + commas) == text.size();
}

template <typename Float> std::optional<Float> TextToNumber(std::string_view text) {
    if (!IsNumberText(text)) {
        return std::nullopt;
    }
    // from_chars wants a point and at least one digit before it: ",5" is read as "0.5".
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), ',', '.');
    if (plain.front() == '.') {
        plain.insert(plain.begin(), '0');
    }
    Float value{};
    const auto [end, ec] =
        std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Only a value under one can underflow (a long run of zeros after the comma): it is
        // nearest to zero. Anything else out of range is too large for the width.
        const auto integerPart = std::string_view(plain).substr(0, plain.find('.'));
        const bool belowOne =
            std::all_of(integerPart.begin(), integerPart.end(), [](char c) { return c == '0'; });
        return belowOne ? std::optional<Float>(Float{0}) : std::nullopt;
    }
    if (ec != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <typename Float> Float RoundNumber(Float value) {
    if (!std::isfinite(value)) {
        return value;
    }
    // to_chars rounds the exact binary value to the asked decimals, ties to even; reading the
    // decimal back gives the nearest value of the same width.
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    Float rounded{};
    std::from_chars(buffer, written.ptr, rounded, std::chars_format::fixed);
    return rounded;
}

template <typename Float> std::string NumberToText(Float value, int significantDigits) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    }
    if (value == 0) {
        return "0"; // also for -0.0
    }
    // The general form is the rule itself: the exact value's digits, ties to even, no trailing
    // zeros, and the exponent form from 10^digits upwards and below 0.0001 ("1.234568e+07").
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::general, significantDigits);
    std::string text(buffer, written.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace

std::optional<float> TextToSingle(std::string_view text) {
    return TextToNumber<float>(text);
}
std::optional<double> TextToDouble(std::string_view text) {
    return TextToNumber<double>(text);
}

float RoundToTwo(float value) {
    return RoundNumber(value);
}
double RoundToTwo(double value) {
    return RoundNumber(value);
}

std::string SingleToText(float value) {
    return NumberToText(value, 7);
}
std::string DoubleToText(double value) {
    return NumberToText(value, 15);
}

} // namespace kalvor::runtime
