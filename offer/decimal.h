#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An exact non-negative amount in hundredths, of any size: the figures of an offer and their
// totals. No binary floating point anywhere, so a total is the sum of its lines to the cent.
namespace kalvor::offer {

class Decimal {
public:
    Decimal() = default; // zero

    // A figure as the window writes it, read exactly:
    //   "15,42" -> 15,42; ",5" -> 0,5; "3,569644E+07" -> 35696440; "1,5E-01" -> 0,15
    // No value for anything else: "", "-1", "1.5", "1e+07", or a value with a third decimal
    // that is not zero ("1E-05"); "15,420" is 15,42.
    static std::optional<Decimal> FromText(std::string_view text);

    Decimal &operator+=(const Decimal &other);
    friend Decimal operator+(Decimal left, const Decimal &right) { return left += right; }
    bool operator==(const Decimal &) const = default;

    // Without exponent or group separators, only the decimals it needs: "35696440", "0,5".
    std::string Plain() const;
    // Two decimals, no group separators: "35696440,00".
    std::string TwoDecimals() const;
    // Two decimals, "." between thousands: "35.696.440,00", "0,00".
    std::string Grouped() const;

private:
    std::string Hundredths() const; // the digits of the value in hundredths, at least "000"

    // Base 10^9, least significant first, no zero limb at the top (zero has none).
    std::vector<std::uint32_t> limbs_;
};

} // namespace kalvor::offer
