// libFuzzer target: the number services and two presses of CALCOLA in a row, on inputs built
// from the fuzzer's bytes as choices (mostly valid number texts of every length the fields
// take, some junk; every shape, both price bases, the options in any combination). Every
// answer must equal the independent reference's to the character, and a press that stops
// with an error must write no caption and leave both result frames hidden.
#include "reference/product_screen.h"
#include "reference/random_inputs.h"
#include "reference/reference.h"
#include "runtime/number_text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace kalvor;

struct Choices {
    FuzzedDataProvider &bytes;
    unsigned Pick(unsigned n) { return bytes.ConsumeIntegralInRange<unsigned>(0, n - 1); }
};

void Check(bool condition, const std::string &what) {
    if (!condition) {
        std::fprintf(stderr, "mismatch: %s\n", what.c_str());
        std::abort();
    }
}

std::string Show(const reference::Screen &s) {
    std::string text = "frames " + std::to_string(s.frame4) + std::to_string(s.frame5) +
                       " pieces '" + s.pieces + "' focus " + s.focus +
                       (s.focusSelected ? " selected" : "");
    for (std::size_t i = 0; i < 6; ++i) {
        text += "\n  Label" + std::to_string(19 + i) + (s.visible[i] ? " shown '" : " hidden '") +
                s.captions[i] + "'";
    }
    for (const auto &m : s.messages) {
        text += "\n  message '" + m.prompt + "' / '" + m.title + "'";
    }
    return text;
}

void CheckNumberServices(Choices &choices) {
    const std::string text = reference::NumberText(choices, 1 + choices.Pick(40));
    Check(runtime::TextToSingle(text) == reference::ReadSingle(text), "Single of '" + text + "'");
    Check(runtime::TextToDouble(text) == reference::ReadDouble(text), "Double of '" + text + "'");
    const std::string half = reference::SingleMidpointText(choices);
    Check(runtime::TextToSingle(half) == reference::ReadSingle(half), "Single of '" + half + "'");
    const auto single = std::bit_cast<float>(choices.bytes.ConsumeIntegral<std::uint32_t>());
    if (std::isfinite(single)) {
        Check(runtime::SingleToText(single) == reference::WriteSingle(single), "text of Single");
        Check(runtime::RoundToTwo(single) == reference::RoundTwo(single), "rounding of Single");
    }
    const auto dbl = std::bit_cast<double>(choices.bytes.ConsumeIntegral<std::uint64_t>());
    if (std::isfinite(dbl)) {
        Check(runtime::DoubleToText(dbl) == reference::WriteDouble(dbl), "text of Double");
        Check(runtime::RoundToTwo(dbl) == reference::RoundTwo(dbl), "rounding of Double");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    Choices choices{bytes};
    // The second press starts from what the first one left on screen.
    reference::Screen product, model;
    for (int press = 0; press < 2; ++press) {
        const reference::Inputs in = reference::RandomInputs(choices);
        const reference::Screen before = product;
        product = reference::ProductPress(before, in);
        model = reference::Press(model, in);
        Check(product == model, "press of shape '" + in.shape + "' density '" + in.density +
                                    "' dimensions '" + in.dimensions[0] + "' '" + in.dimensions[1] +
                                    "' '" + in.dimensions[2] + "' pieces '" + in.pieces +
                                    "' price '" + in.price + "'\nprogram " + Show(product) +
                                    "\nreference " + Show(model));
        if (!product.frame4) {
            Check(!product.frame5 && product.captions == before.captions &&
                      !product.messages.empty(),
                  "an error wrote results");
        }
    }
    CheckNumberServices(choices);
    return 0;
}
