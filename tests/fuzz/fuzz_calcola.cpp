// libFuzzer target: arbitrary field texts, shape and options through the number services and
// the CALCOLA procedure. Besides crashes and sanitizer reports it checks what must hold for
// every input:
// - a text that converts prints back within its significant digits;
// - rounding to 2 decimals is idempotent;
// - the procedure always ends with the focus moved, and either writes results or says why not.
#include "calc/calcola.h"
#include "calc/catalogue.h"
#include "runtime/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace kalvor;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckNumberServices(std::string_view text) {
    if (const auto single = runtime::TextToSingle(text)) {
        const auto printed = runtime::SingleToText(*single);
        const auto back = runtime::TextToSingle(printed);
        // Seven digits keep a Single within one part in 10^6 (the exponent form is not read
        // back: it holds "E" and a sign).
        if (back) {
            Check(std::fabs(*back - *single) <= std::fabs(*single) * 1e-6f);
        }
        const float rounded = runtime::RoundToTwo(*single);
        Check(runtime::RoundToTwo(rounded) == rounded);
    }
    if (const auto value = runtime::TextToDouble(text)) {
        const double rounded = runtime::RoundToTwo(*value);
        Check(runtime::RoundToTwo(rounded) == rounded);
        const auto back = runtime::TextToDouble(runtime::DoubleToText(*value));
        if (back) {
            Check(std::fabs(*back - *value) <= std::fabs(*value) * 1e-14);
        }
    }
}

// Splits the fuzzer's bytes into the six field texts at the byte 0xFF.
std::string NextField(std::string_view &data) {
    const auto end = data.find('\xff');
    std::string field(data.substr(0, end));
    data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string_view data(reinterpret_cast<const char *>(bytes), size);
    const auto control = static_cast<unsigned char>(data.front());
    data.remove_prefix(1);

    calc::CalcolaInputs in;
    in.density = NextField(data);
    for (auto &dimension : in.dimensions) {
        dimension = NextField(data);
    }
    in.pieces = NextField(data);
    in.price = NextField(data);
    // Mostly one of the seven shapes, sometimes none or a near miss.
    const unsigned shapeIndex = control % 9;
    if (shapeIndex < 7) {
        in.shape = std::string(calc::kShapes[shapeIndex].listText);
    } else if (shapeIndex == 7) {
        in.shape = NextField(data);
    }
    in.perKilo = (control & 0x10) != 0;
    in.perMetre = !in.perKilo;

    for (const std::string *text : {&in.density, &in.pieces, &in.price, &in.dimensions[0]}) {
        CheckNumberServices(*text);
    }

    const auto steps = calc::Calcola(in);
    Check(!steps.empty());
    Check(std::holds_alternative<calc::MoveFocus>(steps.back()));
    bool wroteResults = false;
    bool showedMessage = false;
    for (const auto &step : steps) {
        wroteResults = wroteResults || std::holds_alternative<calc::WriteCaption>(step);
        showedMessage = showedMessage || std::holds_alternative<calc::ShowMessage>(step);
        if (const auto *caption = std::get_if<calc::WriteCaption>(&step)) {
            Check(caption->caption.find("nan") == std::string::npos);
            Check(caption->caption.find("inf") == std::string::npos);
            Check(caption->caption.find("Inf") == std::string::npos);
            Check(caption->caption.find("NaN") == std::string::npos);
            Check(caption->caption.find("-0 ") == std::string::npos);
        }
    }
    Check(wroteResults || showedMessage);
    return 0;
}
