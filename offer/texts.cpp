#include "offer/texts.h"

namespace kalvor::offer {

namespace {

std::string_view BasisText(Basis basis) {
    return basis == Basis::PerMetre ? "€/m" : "€/Kg";
}

// Fields joined by a separator, each quoted when it holds the separator, a quote or a line break.
class Rows {
public:
    Rows(char separator, std::string_view lineEnd) : separator_(separator), lineEnd_(lineEnd) {}

    Rows &Field(std::string_view field) {
        if (!first_) {
            text_.push_back(separator_);
        }
        first_ = false;
        if (field.find_first_of(std::string{separator_, '"', '\n', '\r'}) ==
            std::string_view::npos) {
            text_.append(field);
            return *this;
        }
        text_.push_back('"');
        for (const char c : field) {
            text_.append(c == '"' ? 2 : 1, c);
        }
        text_.push_back('"');
        return *this;
    }
    template <typename Fields> Rows &Row(const Fields &fields) {
        for (const auto &field : fields) {
            Field(field);
        }
        return End();
    }
    Rows &End() {
        text_.append(lineEnd_);
        first_ = true;
        return *this;
    }
    std::string Take() { return std::move(text_); }
    std::string &Text() { return text_; }

private:
    char separator_;
    std::string_view lineEnd_;
    std::string text_;
    bool first_ = true;
};

} // namespace

std::string DimensionsText(const OfferLine &line) {
    std::string text;
    for (const Dimension &dimension : line.dimensions) {
        text.append(text.empty() ? "" : " × ").append(dimension.value);
    }
    return text;
}

TableView ViewOf(const Offer &offer) {
    TableView view;
    std::size_t number = 0;
    for (const OfferLine &line : offer.Lines()) {
        view.rows.push_back(
            {std::to_string(++number), line.material, line.shape, DimensionsText(line), line.pieces,
             line.price + " " + std::string(BasisText(line.basis)), line.pieceWeight.Plain(),
             line.totalWeight.Plain(), line.totalCost.Plain()});
    }
    view.totalWeight = "Totale peso: " + offer.TotalWeight().Grouped() + " Kg";
    view.totalAmount = "Totale importo: " + offer.TotalAmount().Grouped() + " €";
    return view;
}

std::string CopyText(const Offer &offer) {
    Rows rows('\t', "\n");
    rows.Row(kTableHeader);
    for (const TableRow &row : ViewOf(offer).rows) {
        rows.Row(row);
    }
    TableRow totals{"Totale"};
    totals[7] = offer.TotalWeight().Grouped();
    totals[8] = offer.TotalAmount().Grouped();
    return rows.Row(totals).Take();
}

std::string CsvText(const Offer &offer) {
    Rows rows(';', "\r\n");
    rows.Text() = "\xEF\xBB\xBF"; // the byte-order mark: spreadsheets then read UTF-8
    rows.Text().append(kCsvHeader).append("\r\n");
    std::size_t number = 0;
    for (const OfferLine &line : offer.Lines()) {
        rows.Field(std::to_string(++number)).Field(offer.client).Field(line.material);
        rows.Field(line.density).Field(line.shape).Field(DimensionsText(line));
        rows.Field(line.pieces).Field(line.price).Field(BasisText(line.basis));
        rows.Field(line.pieceWeight.Plain()).Field(line.totalWeight.Plain());
        rows.Field(line.metreWeight ? line.metreWeight->Plain() : "");
        rows.Field(line.pieceCost.Plain()).Field(line.totalCost.Plain()).End();
    }
    rows.Text().append("Totale;;;;;;;;;;").append(offer.TotalWeight().TwoDecimals());
    rows.Text().append(";;;").append(offer.TotalAmount().TwoDecimals()).append("\r\n");
    return rows.Take();
}

} // namespace kalvor::offer
