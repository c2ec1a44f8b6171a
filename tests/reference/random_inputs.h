#pragma once

#include "catalogue.h"
#include "reference.h"

#include <cmath>
#include <cstdio>
#include <string>

// Inputs for the reference comparisons, drawn from any source of choices: a seeded generator
// in the property test, the fuzzer's bytes in the fuzz target. Most texts are numbers of
// every length the fields take (ties, long fractions, 9-digit maxima, zeros, commas at either
// end), the rest junk; every shape, both price bases, the options in any combination.
namespace kalvor::reference {

// Source: anything with `unsigned Pick(unsigned n)` giving 0 .. n-1.
template <class Source> std::string NumberText(Source &src, std::size_t maxLength) {
    const auto digits = [&](std::size_t n, const char *from = "0123456789") {
        std::string s;
        const std::string_view set(from);
        for (std::size_t i = 0; i < n; ++i) {
            s += set[src.Pick(static_cast<unsigned>(set.size()))];
        }
        return s;
    };
    const auto length = [&] { return 1 + src.Pick(static_cast<unsigned>(maxLength)); };
    switch (src.Pick(10)) {
    case 0: // a whole number up to the longest the field holds
        return src.Pick(4) == 0 ? std::string(maxLength, '9') : digits(length());
    case 1:
    case 2: { // a comma anywhere, both ends included
        std::string s = digits(length());
        s.insert(src.Pick(static_cast<unsigned>(s.size()) + 1), ",");
        return s.size() > maxLength ? s.substr(s.size() - maxLength) : s;
    }
    case 3: // a tie in the third decimal
        return digits(src.Pick(4)) + "," + digits(2) + "5";
    case 4: // zero as the fields write it
        return std::string(src.Pick(4) == 0 ? "0" : src.Pick(2) ? "0,00" : "0,0");
    case 5: // small: zeros after the comma
        return "0," + std::string(src.Pick(static_cast<unsigned>(maxLength)), '0') + digits(1);
    case 6:
    case 7: // everyday sizes: up to four digits and two decimals
        return digits(1, "123456789") + digits(src.Pick(4)) + (src.Pick(2) ? "," + digits(2) : "");
    case 8: // digits and commas only, perhaps no number at all
        return digits(src.Pick(static_cast<unsigned>(maxLength) + 1), "0123456789,,");
    default: // junk a paste might bring
        return digits(src.Pick(static_cast<unsigned>(maxLength) + 3), "0123456789,.-+ eE\t");
    }
}

// Halfway between two neighbouring Singles, written out exactly, sometimes a hair above: read
// once from the digits, not through the nearest Double (which is the midpoint itself).
template <class Source> std::string SingleMidpointText(Source &src) {
    const unsigned mantissa = src.Pick(1u << 23);
    const auto below = static_cast<float>(std::ldexp(1 + mantissa, -23 + int(src.Pick(30))));
    const double midpoint = (double(below) + double(std::nextafter(below, 2 * below))) / 2;
    char exact[80];
    std::snprintf(exact, sizeof exact, "%.40f", midpoint);
    std::string text(exact);
    text.replace(text.find('.'), 1, ",");
    text.erase(text.find_last_not_of('0') + 1);
    return text + (src.Pick(2) ? "000000000000000000001" : "");
}

template <class Source> Inputs RandomInputs(Source &src) {
    static constexpr const char *kNoShapes[] = {"", "lamiera", "Anello "};
    Inputs in;
    in.shape = src.Pick(7) == 0 ? kNoShapes[src.Pick(3)] : kShapes[src.Pick(7)];
    in.density = src.Pick(2) ? std::string(kMaterials[src.Pick(16)].density) : NumberText(src, 5);
    for (auto &dimension : in.dimensions) {
        dimension = NumberText(src, 9);
    }
    in.pieces =
        src.Pick(3) ? std::to_string(src.Pick(src.Pick(2) ? 10 : 100000)) : NumberText(src, 8);
    in.price = NumberText(src, 8);
    in.option1 = src.Pick(2);
    in.option2 = src.Pick(4) == 0 ? in.option1 : !in.option1;
    return in;
}

} // namespace kalvor::reference
