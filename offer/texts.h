#pragma once

#include "offer/offer.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The offer as its window shows it, as the clipboard takes it and as a spreadsheet file. A line
// writes its figures in full with the decimal comma, as the main window's figures read once
// the exponent is written out ("3,569644E+07" is "35696440"); the totals have two decimals.
namespace kalvor::offer {

inline constexpr std::array<std::string_view, 9> kTableHeader{
    "N.",     "Materiale",       "Formato",          "Dimensioni (mm)",   "Pezzi",
    "Prezzo", "Peso pezzo (Kg)", "Peso totale (Kg)", "Importo totale (€)"};
using TableRow = std::array<std::string, kTableHeader.size()>;

struct TableView {
    std::vector<TableRow> rows; // {"1", "Acciaio al carbonio", "Barra tonda", "50 × 1000", ...}
    std::string totalWeight;    // "Totale peso: 1.234,56 Kg"
    std::string totalAmount;    // "Totale importo: 35.696.440,00 €"
};
TableView ViewOf(const Offer &offer);

// "50 × 1000": the dimension values in the order of the shape's rows.
std::string DimensionsText(const OfferLine &line);

// The table for the clipboard: tab-separated, the header, one row per line, then the totals
// row ("Totale" first, each total under its column, as the window groups it); lines end in
// "\n". A cell holding a tab, a quote or a line break is quoted, as spreadsheets read it.
std::string CopyText(const Offer &offer);

inline constexpr std::string_view kCsvHeader =
    "N.;Cliente;Materiale;Densità (Kg/dm³);Formato;Dimensioni (mm);Pezzi;Prezzo;Base;"
    "Peso pezzo (Kg);Peso totale (Kg);Peso metro (Kg);Importo pezzo (€);Importo totale (€)";

// The offer as a file for Italian spreadsheets: UTF-8 with a byte-order mark, ";" between
// fields, CR LF line ends, a field with ";", '"' or a line break quoted (quotes doubled). The
// last row holds the totals with two decimals: "Totale;;;;;;;;;;15,42;;;57,83".
std::string CsvText(const Offer &offer);

} // namespace kalvor::offer
