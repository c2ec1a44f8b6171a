#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

// What pressing "CALCOLA" does, as a pure function: from the texts and options the window
// shows to the ordered steps the window must then apply (frames, message boxes, result
// captions and visibility, the pieces text, the focus). The window only applies them.
namespace kalvor::calc {

struct CalcolaInputs {
    std::string density;                   // Text1, kg/dm3
    std::array<std::string, 3> dimensions; // Text2, Text3, Text4, mm
    std::string pieces;                    // Text5
    std::string price;                     // Text6
    std::string shape;                     // the shape list's text
    bool perKilo = true;                   // Option1 selected
    bool perMetre = false;                 // Option2 selected
};

enum class Control { Combo1, Text1, Text2, Text3, Text4, Text5, Text6 };
enum class Frame { Weights, Costs }; // Frame4 "pesi teorici", Frame5 "costi teorici"

// The six result labels, Label19 to Label24.
enum class ResultLabel { PieceWeight, NPieceWeight, MetreWeight, PieceCost, NPieceCost, MetreCost };

struct ShowFrame {
    Frame frame;
    bool visible;
    bool operator==(const ShowFrame &) const = default;
};
struct ShowMessage {
    std::string prompt;
    std::string title;
    bool operator==(const ShowMessage &) const = default;
};
struct WritePieces {
    std::string text;
    bool operator==(const WritePieces &) const = default;
};
struct ShowLabel {
    ResultLabel label;
    bool visible;
    bool operator==(const ShowLabel &) const = default;
};
struct WriteCaption {
    ResultLabel label;
    std::string caption;
    std::string value; // the number the caption shows: "15,42" in "1 pezzo: 15,42 Kg"
    bool operator==(const WriteCaption &) const = default;
};
struct MoveFocus {
    Control control;
    bool selectText; // select the field's whole text, so the next key replaces it
    bool operator==(const MoveFocus &) const = default;
};

using Step = std::variant<ShowFrame, ShowMessage, WritePieces, ShowLabel, WriteCaption, MoveFocus>;

// The steps in the order they are applied; message boxes are modal, so a message step
// waits for the user before the next step.
std::vector<Step> Calcola(const CalcolaInputs &inputs);

} // namespace kalvor::calc
