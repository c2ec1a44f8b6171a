#pragma once

#include "calc/result.h"
#include "offer/decimal.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A customer offer: the calculations the sales desk gathers, one line each, with their totals.
//
//   Offer offer;
//   offer.client = "Rossi Acciai S.r.l.";
//   auto line = MakeLine(texts);     // what the main window shows after CALCOLA
//   if (line.ok()) offer.Add(line.value());
//   offer.TotalAmount().Grouped();   // "35.696.440,00"
namespace kalvor::offer {

enum class Basis { PerKilo, PerMetre }; // the price is in €/Kg or in €/m

// One dimension row as the window shows it: "Diametro:" and "50".
struct Dimension {
    std::string caption;
    std::string value;
    bool operator==(const Dimension &) const = default;
};

// What the main window shows after a calculation, as plain texts. The figures are the number
// parts of the result captions ("15,42" of "1 pezzo: 15,42 Kg"); a metre figure the window
// does not show is empty.
struct LineTexts {
    std::string material;
    std::string density;               // kg/dm3
    std::string shape;                 // the shape list's text
    std::vector<Dimension> dimensions; // the rows on show, in order
    std::string pieces;
    std::string price;
    Basis basis = Basis::PerKilo;
    std::string pieceWeight;
    std::string totalWeight; // all pieces: the piece weight again when pieces is 1
    std::string metreWeight; // bars and tubes
    std::string pieceCost;
    std::string totalCost;
    std::string metreCost; // bars and tubes priced per kilo
};

struct OfferLine {
    std::string material;
    std::string density; // the number texts with a leading "0" and no trailing comma: ",5" is "0,5"
    std::string shape;
    std::vector<Dimension> dimensions;
    std::string pieces;
    std::string price;
    Basis basis = Basis::PerKilo;
    Decimal pieceWeight;
    Decimal totalWeight;
    std::optional<Decimal> metreWeight;
    Decimal pieceCost;
    Decimal totalCost;
    std::optional<Decimal> metreCost;
    bool operator==(const OfferLine &) const = default;
};

// A line from the window's texts, or the reason in Italian it cannot be one: a text that is
// not a number, a shape the list does not have, rows or metre figures the shape does not show.
calc::Result<OfferLine, std::string> MakeLine(const LineTexts &texts);

class Offer {
public:
    std::string client; // free text, kept with the offer

    const std::vector<OfferLine> &Lines() const { return lines_; }
    void Add(OfferLine line);
    // The lines at these rows (from 0, in any order; a row past the end is ignored).
    void Remove(std::span<const std::size_t> rows);
    // Every line goes; the client stays, for a new offer to the same customer.
    void Clear();

    Decimal TotalWeight() const;
    Decimal TotalAmount() const;

    bool operator==(const Offer &) const = default;

private:
    std::vector<OfferLine> lines_;
};

} // namespace kalvor::offer
