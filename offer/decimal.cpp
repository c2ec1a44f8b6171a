#include "offer/decimal.h"

#include <algorithm>
#include <cstddef>

namespace kalvor::offer {

namespace {

constexpr std::uint32_t kBase = 1'000'000'000;
constexpr std::size_t kLimbDigits = 9;
// A Double's largest figure has 309 digits; a longer text is not a figure of the window.
constexpr std::size_t kMaxDigits = 400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<Decimal> Decimal::FromText(std::string_view text) {
    const std::size_t e = text.find('E');
    const std::string_view mantissa = text.substr(0, e);
    int exponent = 0;
    if (e != std::string_view::npos) {
        const std::string_view power = text.substr(e + 1);
        if (power.size() < 2 || power.size() > 4 || (power[0] != '+' && power[0] != '-') ||
            !std::all_of(power.begin() + 1, power.end(), IsDigit)) {
            return std::nullopt;
        }
        for (const char c : power.substr(1)) {
            exponent = exponent * 10 + (c - '0');
        }
        exponent = power[0] == '-' ? -exponent : exponent;
    }
    // The mantissa's digits, and how many of them stand after the comma.
    std::string digits;
    int decimals = 0;
    bool comma = false;
    for (const char c : mantissa) {
        if (c == ',' && !comma) {
            comma = true;
        } else if (IsDigit(c)) {
            digits.push_back(c);
            decimals += comma ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty() || digits.size() > kMaxDigits) {
        return std::nullopt;
    }
    // The value is digits * 10^(exponent - decimals); in hundredths, 10^(exponent - decimals + 2).
    const int shift = exponent - decimals + 2;
    if (shift >= 0) {
        if (digits.size() + static_cast<std::size_t>(shift) > kMaxDigits) {
            return std::nullopt;
        }
        digits.append(static_cast<std::size_t>(shift), '0');
    } else {
        const std::size_t cut = static_cast<std::size_t>(-shift);
        const std::size_t kept = digits.size() > cut ? digits.size() - cut : 0;
        if (digits.find_first_not_of('0', kept) != std::string::npos) {
            return std::nullopt; // a part of a cent
        }
        digits.resize(kept);
    }
    Decimal value;
    for (std::size_t end = digits.size(); end > 0;) {
        const std::size_t begin = end > kLimbDigits ? end - kLimbDigits : 0;
        std::uint32_t limb = 0;
        for (std::size_t i = begin; i < end; ++i) {
            limb = limb * 10 + static_cast<std::uint32_t>(digits[i] - '0');
        }
        value.limbs_.push_back(limb);
        end = begin;
    }
    while (!value.limbs_.empty() && value.limbs_.back() == 0) {
        value.limbs_.pop_back();
    }
    return value;
}

Decimal &Decimal::operator+=(const Decimal &other) {
    if (limbs_.size() < other.limbs_.size()) {
        limbs_.resize(other.limbs_.size(), 0);
    }
    std::uint32_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        std::uint32_t sum = limbs_[i] + carry + (i < other.limbs_.size() ? other.limbs_[i] : 0);
        carry = sum >= kBase ? 1 : 0;
        limbs_[i] = sum - carry * kBase;
    }
    if (carry != 0) {
        limbs_.push_back(carry);
    }
    return *this;
}

std::string Decimal::Hundredths() const {
    std::string digits;
    for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
        std::string part = std::to_string(*limb);
        if (limb != limbs_.rbegin()) {
            part.insert(0, kLimbDigits - part.size(), '0');
        }
        digits += part;
    }
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return digits;
}

std::string Decimal::Plain() const {
    std::string text = TwoDecimals();
    if (text.back() == '0') {
        text.pop_back(); // "0,50" -> "0,5"
        if (text.back() == '0') {
            text.resize(text.size() - 2); // "15,0" -> "15"
        }
    }
    return text;
}

std::string Decimal::TwoDecimals() const {
    std::string digits = Hundredths();
    digits.insert(digits.size() - 2, 1, ',');
    return digits;
}

std::string Decimal::Grouped() const {
    const std::string digits = Hundredths();
    const std::size_t whole = digits.size() - 2;
    std::string text;
    for (std::size_t i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0) {
            text.push_back('.');
        }
        text.push_back(digits[i]);
    }
    return text + ',' + digits.substr(whole);
}

} // namespace kalvor::offer
