#pragma once

#include "form/controls.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of the window's fields and lines, for the model (model.h): what a key, a text or
// a paste may make of a field, a caption shrunk to fit its box, the block copied for a quote.
namespace kalvor::form {

inline constexpr char16_t kBackspace = 8;

// The character a typed key becomes in the field; 0 swallows it. Digits pass, backspace
// passes, and a decimal field takes "," and turns "." into ",": '.' gives ',', '-' gives 0.
char16_t FilterKey(FieldFilter filter, char16_t typed);

// The text without the blanks around it: ASCII white space and the no-break space that
// spreadsheets and web pages put between groups.
std::string_view TrimBlanks(std::string_view text);

// Why a text may not stand in a field, or nothing when it may: the field's characters only
// (digits; in a decimal field one comma at most), and no longer than the field allows.
std::optional<std::string> FieldTextFault(const ControlSpec &field, std::string_view text);

// A pasted or dropped text read as an Italian number, as the field's characters: surrounding
// blanks dropped (no-break spaces too), dots between thousands taken out, a decimal point
// read as the comma. "1.234,5" gives "1234,5", "1.234.567" gives "1234567", " 2.5 " gives
// "2,5", "0.125" gives "0,125"; "1.500" and "12.345" are refused as ambiguous (1500 or 1,5?),
// "1.23,4", "-5", "1e5", "2.5kg" and "50\n1000" as no number. A refusal carries its reason.
struct PasteReading {
    std::optional<std::string> text;
    std::string refusal;
};
PasteReading ReadPasted(std::string_view pasted);

// Short Italian reasons, shown at the field beside the beep.
inline constexpr std::string_view kNotANumberReason = "non è un numero: ";
inline constexpr std::string_view kNotWholeReason = "il numero pezzi è un numero intero: ";
inline constexpr std::string_view kTooLongReason = "troppe cifre per questo campo";
inline constexpr std::string_view kTwoCommasReason = "una sola virgola per numero";
inline constexpr std::string_view kNothingToPasteReason = "niente da incollare";
inline constexpr std::string_view kNoCostsForOfferReason =
    "premere CALCOLA con un prezzo: all'offerta si aggiungono pesi e costi calcolati";
inline constexpr std::string_view kReadOnlyDensityReason =
    "densità fissata dal materiale: per scriverne un'altra scegliere ALTRO";

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
