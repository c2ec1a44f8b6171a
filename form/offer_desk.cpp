#include "form/offer_desk.h"

#include <cstdio>

namespace kalvor::form {

OfferDesk::OfferDesk(std::shared_ptr<OfferKeeper> keeper) : keeper_(std::move(keeper)) {}

OfferDesk::Answer OfferDesk::Open() {
    OfferKeeper::Kept kept = keeper_->Load();
    read_ = true;
    Answer answer{false, std::move(kept.message)};
    if (kept.offer && !(*kept.offer == offer_)) {
        offer_ = std::move(*kept.offer);
        answer.changed = true;
    }
    return answer;
}

OfferDesk::Answer OfferDesk::Keep(const std::function<void(offer::Offer &)> &change) {
    OfferKeeper::Kept kept = keeper_->Change(change);
    read_ = true;
    if (!kept.offer) {
        return {false, std::move(kept.message)}; // what is shown stays what is kept
    }
    offer_ = std::move(*kept.offer);
    return {true, std::move(kept.message)};
}

OfferDesk::Answer OfferDesk::Add(const Recorded &recorded) {
    auto line = LineOf(recorded);
    if (!line.ok()) {
        return {false, line.error()};
    }
    return Keep([&](offer::Offer &offer) { offer.Add(line.value()); });
}

OfferDesk::Answer OfferDesk::Remove(std::vector<std::size_t> rows) {
    if (rows.empty()) {
        return {};
    }
    // The rows of the offer on show: another window's lines since then are not removed.
    const std::vector<offer::OfferLine> shown = offer_.Lines();
    return Keep([&](offer::Offer &offer) {
        std::vector<std::size_t> kept;
        for (const std::size_t row : rows) {
            if (row < shown.size() && row < offer.Lines().size() &&
                offer.Lines()[row] == shown[row]) {
                kept.push_back(row);
            }
        }
        offer.Remove(kept);
    });
}

OfferDesk::Answer OfferDesk::Clear() {
    return Keep([](offer::Offer &offer) { offer.Clear(); });
}

OfferDesk::Answer OfferDesk::SetClient(const std::string &client) {
    if (read_ && client == offer_.client) {
        return {};
    }
    return Keep([&](offer::Offer &offer) { offer.client = client; });
}

std::string OfferDesk::CopyText() const {
    return offer::CopyText(offer_);
}

std::string OfferDesk::CsvText() const {
    return offer::CsvText(offer_);
}

calc::Result<offer::OfferLine, std::string> LineOf(const Recorded &r) {
    offer::LineTexts texts;
    texts.material = r.material;
    texts.density = r.density;
    texts.shape = r.shape;
    for (const auto &[caption, value] : r.dimensions) {
        texts.dimensions.push_back({caption, value});
    }
    texts.pieces = r.pieces;
    texts.price = r.price;
    texts.basis = r.perMetre ? offer::Basis::PerMetre : offer::Basis::PerKilo;
    texts.pieceWeight = r.pieceWeight;
    texts.totalWeight = r.nPieceWeight;
    texts.metreWeight = r.metreWeight;
    texts.pieceCost = r.pieceCost;
    texts.totalCost = r.nPieceCost;
    texts.metreCost = r.metreCost;
    return offer::MakeLine(texts);
}

std::string ExportName(int year, int month, int day) {
    char name[32];
    std::snprintf(name, sizeof name, "offerta-%04d-%02d-%02d.csv", year, month, day);
    return name;
}

} // namespace kalvor::form
