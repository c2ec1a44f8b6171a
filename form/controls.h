#pragma once

#include "form/maker.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The window described once, without a toolkit: every control with its kind, container,
// place, caption, font, colour and the rules it follows. The Qt window and the Win32 window
// both build themselves from this table.
namespace kalvor::form {

enum class Kind {
    EditableCombo, // a list the user may also type into (the materials)
    ListCombo,     // a drop-down list, no typing (the shapes)
    Button,
    NumberField,
    Option, // an option button; the options of one frame form one group
    Frame,  // a group box with its caption in the top border line
    Label,
    Image, // the logo, stretched to fill its box
};

enum class FieldFilter {
    Decimal,     // digits and the comma; a typed "." becomes ","
    WholeNumber, // digits only
};

// Sizes in points; at 96 dpi they are the whole pixel heights 12, 13, 11, 7 and 17.
struct FontSpec {
    std::string_view family;
    double points;
    bool bold;
    bool underline;
};
inline constexpr FontSpec kArial9{"Arial", 9.0, false, false};
inline constexpr FontSpec kArial975{"Arial", 9.75, false, false};
inline constexpr FontSpec kArial975Bold{"Arial", 9.75, true, false};
inline constexpr FontSpec kArial825{"Arial", 8.25, false, false};
inline constexpr FontSpec kArial525{"Arial", 5.25, false, false};
inline constexpr FontSpec kArial1275Link{"Arial", 12.75, true, true};
inline constexpr FontSpec kSans825{"Microsoft Sans Serif", 8.25, false, false};

// The faces a font falls back to, in order, where the named one is missing: Liberation Sans
// has Arial's metrics, and without it Microsoft Sans Serif would fall to a wider face.
inline constexpr std::array<std::string_view, 2> kSansSubstitutes{"Liberation Sans", "Arial"};

enum Flag : unsigned {
    Hidden = 1U << 0,
    AlignRight = 1U << 1,
    AlignCentre = 1U << 2,
    Checked = 1U << 3,
    Borderless = 1U << 4, // a frame that draws neither caption nor border
    HandCursor = 1U << 5,
    // Rules of the number fields and lists.
    SelectsOnEntry = 1U << 6,           // the whole text is selected when the field is entered
    SelectsOnEntryIfEditable = 1U << 7, // the same, only while the field takes typing
    HidesCostsOnly = 1U << 8,           // an edit makes only the costs stale, not the weights
    EnterCalculates = 1U << 9,          // Enter presses "CALCOLA"
    ResultCaption = 1U << 10,           // a result line: shrinks to fit, can be copied
};

// 0xRRGGBB, or kSystemColour for the toolkit's own.
inline constexpr std::uint32_t kSystemColour = 0xFF000000;
inline constexpr std::uint32_t kFrameBlue = 0x0000C0;
inline constexpr std::uint32_t kRed = 0xFF0000;
inline constexpr std::uint32_t kGreen = 0x00C000;
inline constexpr std::uint32_t kLinkBlue = 0x0000FF;
// The colours the window is drawn for, whatever the desktop's: a light grey face, white
// fields and black text (the face is Fusion's standard palette's).
inline constexpr std::uint32_t kFaceColour = 0xEFEFEF;
inline constexpr std::uint32_t kFieldColour = 0xFFFFFF;
inline constexpr std::uint32_t kTextColour = 0x000000;

struct ControlSpec {
    std::string_view name;
    Kind kind;
    std::string_view container;   // a frame's name, or "" for the window
    int left, top, width, height; // twips from the container's top-left corner
    std::string_view caption;     // caption or initial text, UTF-8
    const FontSpec *font;         // nullptr: the window's font
    unsigned flags;
    std::uint32_t textColour;                  // a frame's colour is its caption's only
    FieldFilter filter = FieldFilter::Decimal; // number fields only
    int maxLength = 0; // number fields only; binds typing and pasting, not the program
};

inline constexpr std::string_view kMaterialPrompt = "seleziona un materiale";
inline constexpr std::string_view kTitle = "Kalvor 2.2";
inline constexpr int kClientWidthTwips = 6630;  // 442 pixels
inline constexpr int kClientHeightTwips = 7320; // 488 pixels
inline constexpr int kHandHotSpotX = 12;        // the fingertip of the hand cursor
inline constexpr int kHandHotSpotY = 1;

namespace detail {
using enum Kind;
using enum FieldFilter;
using FieldFilter::WholeNumber;
constexpr unsigned kInput = SelectsOnEntry | EnterCalculates;
constexpr std::uint32_t kSys = kSystemColour;
} // namespace detail

// All 46 controls in load order, each frame followed by its contents. Where two boxes
// overlap, the earlier row lies on top.
inline constexpr std::array<ControlSpec, 46> kControls = [] {
    using namespace detail;
    return std::array<ControlSpec, 46>{{
        {"Combo1", EditableCombo, "", 1200, 2040, 2895, 345, kMaterialPrompt, &kArial9,
         EnterCalculates, kSys},
        {"Command1", Button, "", 4320, 2160, 1935, 375, "CALCOLA", &kArial975Bold, EnterCalculates,
         kSys},
        {"Frame5", Frame, "", 4200, 4390, 2295, 1455, "costi teorici", &kArial825, Hidden,
         kFrameBlue},
        {"Label24", Label, "Frame5", 120, 1080, 2055, 255, "costo 1 metro", &kArial9, ResultCaption,
         kSys},
        {"Label23", Label, "Frame5", 120, 720, 2055, 255, "costo n pezzi", &kArial9, ResultCaption,
         kSys},
        {"Label22", Label, "Frame5", 120, 360, 2055, 255, "costo 1 pezzo", &kArial9, ResultCaption,
         kSys},
        {"Frame4", Frame, "", 4200, 2920, 2295, 1455, "pesi teorici", &kArial825, Hidden,
         kFrameBlue},
        {"Label21", Label, "Frame4", 120, 1080, 2055, 255, "peso 1 metro", &kArial9, ResultCaption,
         kSys},
        {"Label20", Label, "Frame4", 120, 720, 2055, 255, "peso n pezzi", &kArial9, ResultCaption,
         kSys},
        {"Label19", Label, "Frame4", 120, 360, 2055, 255, "peso 1 pezzo", &kArial9, ResultCaption,
         kSys},
        {"Frame3", Frame, "", 120, 4750, 4020, 1095, "dati valorizzazione", &kArial825, 0,
         kFrameBlue},
        {"Option2", Option, "Frame3", 3120, 750, 615, 255, "€/m", &kArial825, EnterCalculates,
         kSys},
        {"Option1", Option, "Frame3", 2400, 750, 855, 255, "€/Kg", &kArial825,
         Checked | EnterCalculates, kSys},
        {"Text6", NumberField, "Frame3", 1440, 720, 975, 285, "0,00", &kArial975,
         kInput | HidesCostsOnly, kSys, Decimal, 8},
        {"Text5", NumberField, "Frame3", 1440, 360, 975, 285, "1", &kArial975, kInput, kSys,
         WholeNumber, 8},
        {"Label15", Label, "Frame3", 480, 720, 855, 255, "prezzo:", &kArial9, AlignRight, kSys},
        {"Label14", Label, "Frame3", 120, 360, 1215, 255, "numero pezzi:", &kArial9, AlignRight,
         kSys},
        {"Frame2", Frame, "", 120, 2920, 4020, 1815, "dati formato", &kArial825, 0, kFrameBlue},
        {"Text4", NumberField, "Frame2", 1680, 1440, 1455, 285, "0,0", &kArial975, Hidden | kInput,
         kSys, Decimal, 9},
        {"Text3", NumberField, "Frame2", 1680, 1080, 1455, 285, "0,0", &kArial975, Hidden | kInput,
         kSys, Decimal, 9},
        {"Text2", NumberField, "Frame2", 1680, 720, 1455, 285, "0,0", &kArial975, Hidden | kInput,
         kSys, Decimal, 9},
        {"Combo2", ListCombo, "Frame2", 1080, 240, 1935, 345, "", &kArial9, EnterCalculates, kSys},
        {"Label13", Label, "Frame2", 3240, 1440, 615, 255, "mm", &kArial825, Hidden, kSys},
        {"Label12", Label, "Frame2", 3240, 1080, 615, 255, "mm", &kArial825, Hidden, kSys},
        {"Label11", Label, "Frame2", 3240, 720, 615, 255, "mm", &kArial825, Hidden, kSys},
        // The three row captions carry their own names until a shape gives them a caption.
        {"Label10", Label, "Frame2", 120, 1440, 1455, 255, "Label10", &kArial9, Hidden | AlignRight,
         kSys},
        {"Label9", Label, "Frame2", 120, 1080, 1455, 255, "Label9", &kArial9, Hidden | AlignRight,
         kSys},
        {"Label5", Label, "Frame2", 120, 720, 1455, 255, "Label5", &kArial9, Hidden | AlignRight,
         kSys},
        {"Label4", Label, "Frame2", 120, 270, 930, 375, "formato:", &kArial9, AlignRight, kSys},
        // The density field lies over Frame1 but belongs to the window, like Combo1.
        {"Text1", NumberField, "", 1320, 2520, 615, 255, "0,0", &kArial9,
         SelectsOnEntryIfEditable | EnterCalculates, kSys, Decimal, 5},
        {"Frame1", Frame, "", 120, 1800, 4020, 1095, "dati materiale", &kArial825, 0, kFrameBlue},
        // The exponent of kg/dm3: its box overlaps the end of Label3, and it lies above it.
        {"Label18", Label, "Frame1", 2280, 720, 255, 135, "3", &kArial525, 0, kSys},
        {"Label2", Label, "Frame1", 240, 720, 735, 255, "densità':", &kArial9, AlignRight, kSys},
        {"Label3", Label, "Frame1", 1800, 720, 855, 255, "Kg/dm", &kArial825, 0, kSys},
        {"Label1", Label, "Frame1", 120, 270, 855, 255, "materiale:", &kArial9, AlignRight, kSys},
        {"Frame6", Frame, "", 120, 5880, 6330, 1095, "", nullptr, Borderless, kSys},
        {"Label28", Label, "Frame6", 0, 360, 6255, 255, " TONDO NON TRATTATO DA FORGIA",
         &kArial975Bold, AlignCentre, kRed},
        {"Label27", Label, "Frame6", 0, 840, 6255, 255, "SOLO MATERIALE DI ORIGINE EUROPEA",
         &kArial975Bold, AlignCentre, kGreen},
        {"Label7", Label, "Frame6", 0, 600, 6255, 255, "SU RUCHIESTA: TUBI SALDATI E CURVE SALDATE",
         &kArial975Bold, AlignCentre, kRed},
        {"Label6", Label, "Frame6", 0, 120, 6255, 255,
         " BARRE TONDE - LAMIERE - BILLETTE QUADRE DA FORGIA", &kArial975Bold, AlignCentre, kRed},
        // The link line's box reaches one pixel below the client area; that strip is cut off.
        {"Label8", Label, "", 120, 6960, 6375, 375, maker::kWebAddress, &kArial1275Link,
         AlignCentre | HandCursor, kLinkBlue},
        {"Image1", Image, "", 280, 120, 6015, 1095, "", nullptr, 0, kSys},
        {"Label26", Label, "", 4440, 1560, 1815, 255, maker::kFax, &kSans825, 0, kSys},
        {"Label25", Label, "", 4440, 1320, 2055, 255, maker::kPhone, &kSans825, 0, kSys},
        {"Label17", Label, "", 2520, 1320, 1815, 255, maker::kTown, &kSans825, 0, kSys},
        {"Label16", Label, "", 360, 1320, 2220, 255, maker::kStreet, &kSans825, 0, kSys},
    }};
}();

// The controls that take the focus, in Tab order; hidden ones are skipped.
inline constexpr std::array<std::string_view, 11> kTabOrder{
    "Combo1", "Combo2",   "Text2", "Text3",   "Text4",  "Text5",
    "Text6",  "Command1", "Text1", "Option1", "Option2"};

// Each input and the caption that names it beside it: a screen reader calls the input by it.
struct CaptionedInput {
    std::string_view input;
    std::string_view caption;
};
inline constexpr std::array<CaptionedInput, 8> kInputCaptions{{
    {"Combo1", "Label1"},
    {"Text1", "Label2"},
    {"Combo2", "Label4"},
    {"Text2", "Label5"},
    {"Text3", "Label9"},
    {"Text4", "Label10"},
    {"Text5", "Label14"},
    {"Text6", "Label15"},
}};

// The six result lines in the order they are read: weights, then costs.
inline constexpr std::array<std::string_view, 6> kResultLabels{"Label19", "Label20", "Label21",
                                                               "Label22", "Label23", "Label24"};

// 15 twips to a pixel at 96 dpi; no twip value of the table falls exactly halfway.
constexpr int Pixels(int twips) {
    return (twips + 7) / 15;
}

// The row of the named control, or nullptr.
const ControlSpec *FindControl(std::string_view name);

} // namespace kalvor::form
