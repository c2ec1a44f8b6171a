// Writes the presses the Windows window test replays, each with the whole screen the
// reference expects after it, so that the test under Wine judges the window by the reference
// and not by the program's own calculation. The reference needs GMP and MPFR, which exist
// only on Linux: the file is written here and committed.
//   write_cases FILE            writes the cases
//   write_cases --check FILE    fails when FILE is not what it would write
#include "random_inputs.h"
#include "reference.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

using namespace kalvor::reference;

// mt19937_64 is the same on every standard library; a distribution would not be.
struct Random {
    std::mt19937_64 engine{20261207};
    unsigned Pick(unsigned n) { return static_cast<unsigned>(engine() % n); }
};

// Only texts a field takes can be replayed: the window refuses the others on every road in.
bool FieldTakes(const std::string &text, std::size_t maxLength, bool whole) {
    std::size_t commas = 0;
    for (const char c : text) {
        if (c == ',') {
            ++commas;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return text.size() <= maxLength && commas <= (whole ? 0U : 1U);
}

template <class Draw> std::string Takeable(Draw draw, std::size_t maxLength, bool whole = false) {
    std::string text = draw();
    while (!FieldTakes(text, maxLength, whole)) {
        text = draw();
    }
    return text;
}

struct Shape {
    const char *name;
    bool metre; // bars and tubes: the price may be per metre
};
constexpr Shape kShapes[] = {
    {"Lamiera", false},      {"Barra tonda", true}, {"Barra piatta", true}, {"Tubo spessore", true},
    {"Tubo diametri", true}, {"Disco", false},      {"Anello", false}};

Inputs Draw(Random &r) {
    Inputs in = RandomInputs(r);
    const Shape &shape = kShapes[r.Pick(std::size(kShapes))];
    in.shape = shape.name;
    in.density = Takeable([&] { return r.Pick(2) ? in.density : NumberText(r, 5); }, 5);
    for (auto &dimension : in.dimensions) {
        dimension = Takeable([&] { return r.Pick(4) ? dimension : NumberText(r, 9); }, 9);
    }
    in.pieces = Takeable(
        [&] { return r.Pick(2) ? in.pieces : std::to_string(r.Pick(r.Pick(2) ? 10 : 1000)); }, 8,
        true);
    in.price = Takeable([&] { return r.Pick(2) ? in.price : NumberText(r, 8); }, 8);
    in.option2 = shape.metre && r.Pick(2);
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
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: write_cases [--check] FILE\n");
        return 2;
    }
    const char *path = argv[argc - 1];
    const std::string cases = Cases();
    if (check) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream committed;
        committed << in.rdbuf();
        if (committed.str() != cases) {
            std::fprintf(stderr, "%s is not what the reference writes now: run write_cases %s\n",
                         path, path);
            return 1;
        }
        return 0;
    }
    std::ofstream(path, std::ios::binary) << cases;
    return 0;
}
