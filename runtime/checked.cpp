#include "runtime/checked.h"

#include "runtime/number_text.h"

#include <cmath>

namespace kalvor::runtime {

std::optional<float> NarrowToSingle(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // From half an ulp above the largest Single the nearest Single is an infinity (and the
    // conversion itself would be undefined).
    constexpr double firstOverflow = 0x1.ffffffp127;
    if (std::fabs(value) >= firstOverflow) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<float> StoredSingle(double value) {
    const auto narrowed = NarrowToSingle(value);
    return narrowed ? std::optional<float>(RoundToTwo(*narrowed)) : std::nullopt;
}

std::optional<double> CheckedDouble(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace kalvor::runtime
