#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A second Kalvor, for the tests only: the number rules, the weights, the costs and the
// CALCOLA press, written again from their description with GMP's exact rationals and MPFR.
// It shares no code with the program: texts are read as exact fractions, rounding decides on
// the exact binary value by rational arithmetic, every double-precision step of a formula is
// an MPFR operation at 53 bits, and every result text is built from exact decimal digits.
namespace kalvor::reference {

// The nearest Single or Double to a decimal-comma text; nothing when the text is not digits
// with at most one comma and at least one digit, or when the value is beyond the width.
std::optional<float> ReadSingle(std::string_view text);
std::optional<double> ReadDouble(std::string_view text);

// The nearest value of the same width to the exact value rounded to 2 decimals, ties to even.
float RoundTwo(float value);
double RoundTwo(double value);

// At most 7 (Single) or 15 (Double) significant digits of the exact value, ties to even; the
// exponent form ("1,234568E+07", "1E-05") from 10^digits upwards and below 0,0001.
std::string WriteSingle(float value);
std::string WriteDouble(double value);

struct Inputs {
    std::string density;                   // Text1
    std::array<std::string, 3> dimensions; // Text2, Text3, Text4
    std::string pieces;                    // Text5
    std::string price;                     // Text6
    std::string shape;                     // Combo2's text
    bool option1 = true;                   // per kilogram
    bool option2 = false;                  // per metre
};

struct Message {
    std::string prompt, title;
    bool operator==(const Message &) const = default;
};

// What the window shows after the message boxes have been closed. Labels 19 to 24 are
// captions[0] to captions[5].
struct Screen {
    bool frame4 = false, frame5 = false;
    std::array<std::string, 6> captions{"peso 1 pezzo",  "peso n pezzi",  "peso 1 metro",
                                        "costo 1 pezzo", "costo n pezzi", "costo 1 metro"};
    std::array<bool, 6> visible{true, true, true, true, true, true};
    std::string pieces;            // Text5's text
    std::vector<Message> messages; // every box of the last press, in order
    std::string focus;             // the control with the focus
    bool focusSelected = false;    // its text selected
    bool operator==(const Screen &) const = default;
};

// One press of CALCOLA on a window that showed `before` and holds `in`.
Screen Press(Screen before, const Inputs &in);

} // namespace kalvor::reference
