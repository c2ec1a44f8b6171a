#pragma once

#include "calc/calcola.h"
#include "reference.h"

#include <variant>

// The program's answer to one press, applied to a screen as the window applies it, so that it
// can be compared with the reference's whole screen after the message boxes are closed.
namespace kalvor::reference {

inline calc::CalcolaInputs ProductInputs(const Inputs &in) {
    return {in.density, in.dimensions, in.pieces, in.price, in.shape, in.option1, in.option2};
}

inline Screen ProductPress(Screen s, const Inputs &in) {
    static constexpr const char *kControls[] = {"Combo1", "Text1", "Text2", "Text3",
                                                "Text4",  "Text5", "Text6"};
    s.messages.clear();
    s.pieces = in.pieces;
    for (const calc::Step &step : calc::Calcola(ProductInputs(in))) {
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
