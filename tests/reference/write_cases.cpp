// Writes tests/win32/cases.txt: presses and the whole screen the reference expects after
// each, which the Windows window test replays under Wine, where GMP and MPFR are missing.
//   write_cases FILE
#include "random_inputs.h"
#include "reference.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace kalvor::reference;

// mt19937_64 is the same on every standard library; a distribution would not be.
struct Random {
    std::mt19937_64 engine{20261207};
    unsigned Pick(unsigned n) { return static_cast<unsigned>(engine() % n); }
};

// Only texts a field takes can be replayed: the window refuses the others on every road in.
bool Takes(const std::string &text, std::size_t maxLength, bool whole = false) {
    return text.size() <= maxLength && text.find_first_not_of("0123456789,") == text.npos &&
           std::ranges::count(text, ',') <= (whole ? 0 : 1);
}

// Each shape of the list; bars and tubes may be priced per metre.
constexpr std::pair<const char *, bool> kShapes[] = {
    {"Lamiera", false},      {"Barra tonda", true}, {"Barra piatta", true}, {"Tubo spessore", true},
    {"Tubo diametri", true}, {"Disco", false},      {"Anello", false}};

Inputs Draw(Random &r) {
    Inputs in = RandomInputs(r);
    while (!Takes(in.density, 5) || !Takes(in.dimensions[0], 9) || !Takes(in.dimensions[1], 9) ||
           !Takes(in.dimensions[2], 9) || !Takes(in.pieces, 8, true) || !Takes(in.price, 8)) {
        in = RandomInputs(r);
    }
    const auto &[shape, metre] = kShapes[r.Pick(std::size(kShapes))];
    in.shape = shape;
    in.option2 = metre && r.Pick(2);
    in.option1 = !in.option2;
    return in;
}

// One line per press, fields between tabs: density, the three dimensions, pieces, price,
// shape, 1 for the price per metre; then what the screen shows: frames 4 and 5, the six
// result lines each after a + (shown) or - (hidden), the pieces, the focus and 1 when its
// text is selected, then every message as prompt and title.
std::string Line(const Inputs &in, const Screen &s) {
    std::string line = in.density;
    for (const std::string &text :
         {in.dimensions[0], in.dimensions[1], in.dimensions[2], in.pieces, in.price, in.shape}) {
        line += "\t" + text;
    }
    line += std::string("\t") + (in.option2 ? "1" : "0") + "\t" + (s.frame4 ? "1" : "0") +
            (s.frame5 ? "1" : "0");
    for (std::size_t n = 0; n < 6; ++n) {
        line += std::string("\t") + (s.visible[n] ? "+" : "-") + s.captions[n];
    }
    line += "\t" + s.pieces + "\t" + s.focus + "\t" + (s.focusSelected ? "1" : "0");
    for (const Message &message : s.messages) {
        line += "\t" + message.prompt + "\t" + message.title;
    }
    return line + "\n";
}

std::string Cases() {
    std::string out;
    Screen screen;
    // First, before any shape is picked: a press with no shape.
    Inputs none{"7,85", {"0,0", "0,0", "0,0"}, "1", "0,00", "", true, false};
    screen = Press(screen, none);
    out += Line(none, screen);
    Random r;
    for (int n = 0; n < 40; ++n) {
        const Inputs in = Draw(r);
        screen = Press(screen, in);
        out += Line(in, screen);
    }
    return out;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_cases FILE\n");
        return 2;
    }
    std::ofstream(argv[1], std::ios::binary) << Cases();
    return 0;
}
