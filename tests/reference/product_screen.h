#pragma once

#include "calc/calcola.h"
#include "random_inputs.h"
#include "reference.h"
#include "runtime/number_text.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <variant>

// The program's answers set beside the reference's: its number services on random draws, and
// one press applied to a screen as the window applies it, so that it can be compared with the
// reference's whole screen after the message boxes are closed.
namespace kalvor::reference {

// The number services, the program's and the reference's, on one random text, one Single
// midpoint and one finite value of each width: any bit pattern, or a value near the decimals
// that matter. Source: as for RandomInputs, and `std::uint64_t Bits()`; report(same, what).
template <class Source, class Report> void CompareNumberServices(Source &src, Report report) {
    const std::string text = NumberText(src, 1 + src.Pick(src.Pick(10) ? 9 : 60));
    report(runtime::TextToSingle(text) == ReadSingle(text), "Single of '" + text + "'");
    report(runtime::TextToDouble(text) == ReadDouble(text), "Double of '" + text + "'");
    const std::string half = SingleMidpointText(src);
    report(runtime::TextToSingle(half) == ReadSingle(half), "Single of '" + half + "'");
    const std::uint64_t bits = src.Bits();
    const bool any = src.Pick(2);
    const auto single = any ? std::bit_cast<float>(static_cast<std::uint32_t>(bits))
                            : static_cast<float>(std::ldexp(bits % 100000, -int(src.Pick(30))));
    const double dbl =
        any ? std::bit_cast<double>(bits) : std::ldexp(bits % 100000000000, -int(src.Pick(60)));
    const std::string value = " of bits " + std::to_string(bits) + (any ? "" : " scaled");
    if (std::isfinite(single)) {
        report(runtime::SingleToText(single) == WriteSingle(single), "text of Single" + value);
        report(runtime::RoundToTwo(single) == RoundTwo(single), "rounding of Single" + value);
    }
    if (std::isfinite(dbl)) {
        report(runtime::DoubleToText(dbl) == WriteDouble(dbl), "text of Double" + value);
        report(runtime::RoundToTwo(dbl) == RoundTwo(dbl), "rounding of Double" + value);
    }
}

// The screen in one line: the result captions, "~" before a hidden one, the pieces field.
inline std::string Summary(const Screen &s) {
    std::string text;
    for (std::size_t i = 0; i < 6; ++i) {
        text += (i ? " | " : "") + std::string(s.visible[i] ? "" : "~") + s.captions[i];
    }
    return text + " | pieces " + s.pieces + (s.frame5 ? "" : " | no costs");
}

inline Screen ProductPress(Screen s, const Inputs &in) {
    static constexpr const char *kControls[] = {"Combo1", "Text1", "Text2", "Text3",
                                                "Text4",  "Text5", "Text6"};
    s.messages.clear();
    s.pieces = in.pieces;
    for (const calc::Step &step : calc::Calcola(
             {in.density, in.dimensions, in.pieces, in.price, in.shape, in.option1, in.option2})) {
        if (const auto *f = std::get_if<calc::ShowFrame>(&step)) {
            (f->frame == calc::Frame::Weights ? s.frame4 : s.frame5) = f->visible;
        } else if (const auto *m = std::get_if<calc::ShowMessage>(&step)) {
            s.messages.push_back({m->prompt, m->title});
        } else if (const auto *p = std::get_if<calc::WritePieces>(&step)) {
            s.pieces = p->text;
        } else if (const auto *l = std::get_if<calc::ShowLabel>(&step)) {
            s.visible[static_cast<std::size_t>(l->label)] = l->visible;
        } else if (const auto *c = std::get_if<calc::WriteCaption>(&step)) {
            s.captions[static_cast<std::size_t>(c->label)] = c->caption;
        } else if (const auto *f = std::get_if<calc::MoveFocus>(&step)) {
            s.focus = kControls[static_cast<std::size_t>(f->control)];
            s.focusSelected = f->selectText;
        }
    }
    return s;
}

} // namespace kalvor::reference
