#include "offer/offer.h"

#include "calc/catalogue.h"

#include <algorithm>

namespace kalvor::offer {

namespace {

// A spreadsheet takes ",5" or "5," for text, not for a number: the leading zero is written and a
// bare comma dropped ("007" is "7"); the decimals stay as typed ("3,50").
std::optional<std::string> NumberText(std::string_view text) {
    const std::size_t comma = text.find(',');
    std::string_view whole = text.substr(0, comma);
    std::string_view decimals =
        comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    const auto digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if ((whole.empty() && decimals.empty()) || !digitsOnly(whole) || !digitsOnly(decimals)) {
        return std::nullopt;
    }
    while (whole.size() > 1 && whole.front() == '0') {
        whole.remove_prefix(1);
    }
    std::string number = whole.empty() ? "0" : std::string(whole);
    if (!decimals.empty()) {
        number.append(",").append(decimals);
    }
    return number;
}

} // namespace

calc::Result<OfferLine, std::string> MakeLine(const LineTexts &texts) {
    const calc::ShapeEntry *shape = calc::FindShape(texts.shape);
    if (shape == nullptr) {
        return "formato sconosciuto: «" + texts.shape + "»";
    }
    if (texts.material.empty()) {
        return std::string("materiale mancante");
    }
    OfferLine line;
    line.material = texts.material;
    line.shape = texts.shape;
    line.basis = texts.basis;
    std::string failed;
    const auto number = [&](const std::string &text, std::string_view name) {
        auto read = NumberText(text);
        if (!read && failed.empty()) {
            failed = std::string(name) + " non è un numero: «" + text + "»";
        }
        return read.value_or("");
    };
    const auto figure = [&](const std::string &text, std::string_view name) {
        auto read = Decimal::FromText(text);
        if (!read && failed.empty()) {
            failed = std::string(name) + " non è una cifra della finestra: «" + text + "»";
        }
        return read.value_or(Decimal{});
    };
    const auto optionalFigure = [&](const std::string &text, std::string_view name,
                                    bool shown) -> std::optional<Decimal> {
        if (shown != !text.empty() && failed.empty()) {
            failed = (shown ? "manca " + std::string(name) : std::string(name) + " non c'è") +
                     " per «" + texts.shape + "»";
        }
        return shown ? std::optional(figure(text, name)) : std::nullopt;
    };

    line.density = number(texts.density, "la densità");
    const auto rowsShown = std::count_if(shape->rows.begin(), shape->rows.end(),
                                         [](const calc::RowSetting &row) { return row.shown; });
    if (texts.dimensions.size() != static_cast<std::size_t>(rowsShown)) {
        return "«" + texts.shape + "» ha " + std::to_string(rowsShown) + " dimensioni, non " +
               std::to_string(texts.dimensions.size());
    }
    for (const Dimension &dimension : texts.dimensions) {
        line.dimensions.push_back({dimension.caption, number(dimension.value, "una dimensione")});
    }
    line.pieces = number(texts.pieces, "il numero di pezzi");
    line.price = number(texts.price, "il prezzo");
    const bool metre = calc::HasMetre(shape->shape);
    if (texts.basis == Basis::PerMetre && !shape->perMetreEnabled) {
        return "«" + texts.shape + "» non ha un prezzo al metro";
    }
    line.pieceWeight = figure(texts.pieceWeight, "il peso di un pezzo");
    line.totalWeight = figure(texts.totalWeight, "il peso totale");
    line.metreWeight = optionalFigure(texts.metreWeight, "il peso al metro", metre);
    line.pieceCost = figure(texts.pieceCost, "l'importo di un pezzo");
    line.totalCost = figure(texts.totalCost, "l'importo totale");
    line.metreCost = optionalFigure(texts.metreCost, "l'importo al metro",
                                    metre && texts.basis == Basis::PerKilo);
    if (!failed.empty()) {
        return failed;
    }
    return line;
}

void Offer::Add(OfferLine line) {
    lines_.push_back(std::move(line));
}

void Offer::Remove(std::span<const std::size_t> rows) {
    std::vector<bool> gone(lines_.size(), false);
    for (const std::size_t row : rows) {
        if (row < gone.size()) {
            gone[row] = true;
        }
    }
    std::size_t kept = 0;
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        if (!gone[row]) {
            if (kept != row) {
                lines_[kept] = std::move(lines_[row]);
            }
            ++kept;
        }
    }
    lines_.resize(kept);
}

void Offer::Clear() {
    lines_.clear();
}

Decimal Offer::TotalWeight() const {
    Decimal total;
    for (const OfferLine &line : lines_) {
        total += line.totalWeight;
    }
    return total;
}

Decimal Offer::TotalAmount() const {
    Decimal total;
    for (const OfferLine &line : lines_) {
        total += line.totalCost;
    }
    return total;
}

} // namespace kalvor::offer
