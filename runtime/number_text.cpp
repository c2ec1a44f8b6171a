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
    // "d.dddddde+XX": the significant digits of the exact value, ties to even, and the
    // exponent after that rounding, so 9999999,5 is already 1E+07.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, significantDigits - 1);
    const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const auto ePos = scientific.find('e');
    const bool negative = scientific.front() == '-';

    std::string digits;
    for (char c : scientific.substr(0, ePos)) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty()) {
        return "0"; // also for -0.0
    }
    int exponent = 0;
    const auto exponentText = scientific.substr(ePos + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    std::string text = negative ? "-" : "";
    if (exponent >= significantDigits || exponent < -4) {
        text += digits.front();
        if (digits.size() > 1) {
            text += ',';
            text.append(digits, 1);
        }
        const int magnitude = std::abs(exponent);
        text += exponent < 0 ? "E-" : "E+";
        if (magnitude < 10) {
            text += '0';
        }
        text += std::to_string(magnitude);
    } else if (exponent < 0) {
        text += "0,";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text += ',';
            text.append(digits, integerDigits);
        }
    }
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
