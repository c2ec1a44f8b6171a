#pragma once

#include "calc/catalogue.h"
#include "form/controls.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The window's rules that are not toolkit plumbing: what a key or a paste makes of a field,
// what an edit makes stale, which controls select on entry or calculate on Enter, a material
// typed by name, a caption shrunk to fit its box, and the text block copied for a quote.
namespace kalvor::form {

inline constexpr char16_t kBackspace = 8;

// The character a typed key becomes in the field; 0 swallows it. Digits pass, backspace
// passes, and a decimal field takes "," and turns "." into ",": '.' gives ',', '-' gives 0.
char16_t FilterKey(FieldFilter filter, char16_t typed);

// What a paste or a drop inserts in place of the selection, or nothing when it is refused:
// then the field keeps its text and the window beeps. Surrounding blanks are dropped and "."
// is read as ","; the field's text must then still be made of the field's characters (a
// decimal field holding at most one comma) and fit the field's length. " 2.5 " gives "2,5",
// "1.500" gives "1,500"; "-5", "1e5", "2.5kg", "1,2,3" and "50\n1000" are refused.
// The field's text is ASCII, so positions count bytes; the pasted text is UTF-8.
std::optional<std::string> PastedText(FieldFilter filter, int maxLength, std::string_view fieldText,
                                      std::size_t selectionStart, std::size_t selectionLength,
                                      std::string_view pasted);

enum class Stale { Costs, Both };

// An edit of the price makes only the costs stale; of any other field, both results.
inline Stale StaleAfterEdit(const ControlSpec &field) {
    return (field.flags & HidesCostsOnly) != 0 ? Stale::Costs : Stale::Both;
}

// The density field selects its text on entry only while it takes typing.
inline bool SelectsTextOnEntry(const ControlSpec &field, bool editable) {
    return (field.flags & SelectsOnEntry) != 0 ||
           ((field.flags & SelectsOnEntryIfEditable) != 0 && editable);
}

inline bool CalculatesOnEnter(const ControlSpec &control) {
    return (control.flags & EnterCalculates) != 0;
}

// The catalogue material a name typed into the material box stands for, letter case and
// surrounding blanks ignored: " titanio " is "Titanio". Nothing when it names none.
const calc::MaterialEntry *MaterialNamed(std::string_view typed);

// A result caption wider than its box is drawn smaller, half a point at a time, until it
// fits; below kSmallestPoints it is cut rather than shrunk further (the tooltip holds it all).
inline constexpr double kFitStepPoints = 0.5;
inline constexpr double kSmallestPoints = 5.0;
double FittedPoints(double designPoints, int boxWidth,
                    const std::function<int(double points)> &widthAt);

// What the window shows, for the text block copied into a quote.
struct QuoteInputs {
    std::string_view material; // the material box's text
    std::string_view density;  // kg/dm3
    std::string_view shape;
    struct Dimension {
        std::string_view caption; // as the row shows it: "Diametro ext:", "Spessore"
        std::string_view text;    // mm
    };
    std::vector<Dimension> dimensions; // the rows on show
    std::string_view pieces;
    std::string_view price;
    bool perMetre;
    std::vector<std::string_view> results; // the result lines on show, weights first
};

// The two entries of the menu a result line offers: that line, or the whole block below.
inline constexpr std::string_view kCopyLine = "Copia";
inline constexpr std::string_view kCopyAll = "Copia tutti i risultati";

// One line each: "materiale: Acciaio al carbonio", "densità: 7,85 Kg/dm³",
// "formato: Barra tonda", "Diametro: 50 mm", "Lunghezza: 1000 mm", "numero pezzi: 3",
// "prezzo: 2,5 €/Kg", then the result lines as shown. Each line ends with lineEnd.
std::string QuoteBlock(const QuoteInputs &inputs, std::string_view lineEnd = "\n");

} // namespace kalvor::form
