#include "calc/calcola.h"

#include "calc/catalogue.h"
#include "calc/messages.h"
#include "calc/weights.h"
#include "runtime/checked.h"
#include "runtime/number_text.h"

#include <optional>

namespace kalvor::calc {
namespace {

using runtime::SingleToText;
using runtime::StoredSingle;

// The name a field goes by in the "not a number" message: a dimension is called by its
// row's caption for the chosen shape, in lower case and without the colon ("diametro ext").
std::string DimensionName(const std::string &shapeText, std::size_t row) {
    const ShapeEntry *entry = FindShape(shapeText);
    if (entry == nullptr) {
        return "dimensione " + std::to_string(row + 1);
    }
    std::string name(entry->rows[row].caption);
    if (!name.empty() && name.back() == ':') {
        name.pop_back();
    }
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

ShowMessage Message(const MessageText &text) {
    return {std::string(text.prompt), std::string(text.title)};
}

// An error ends the calculation with no results on show: both frames hidden, the message,
// and the focus where the user can mend the input.
void StopWith(std::vector<Step> &steps, ShowMessage message, MoveFocus focus) {
    steps.push_back(ShowFrame{Frame::Weights, false});
    steps.push_back(ShowFrame{Frame::Costs, false});
    steps.push_back(std::move(message));
    steps.push_back(focus);
}

struct FieldValues {
    double densityCheck; // the density as a Double, for the test against zero
    float density;
    std::array<float, 3> dimensions;
    float pieces;
    double price;
};

// Reads every field, density first, then the dimensions, the pieces and the price; on the
// first text that holds no number, stops with a message naming that field.
std::optional<FieldValues> ReadFields(const CalcolaInputs &in, std::vector<Step> &steps) {
    const auto fail = [&](std::string name, Control field) {
        StopWith(
            steps,
            ShowMessage{std::string(kNotANumber.prompt) + name, std::string(kNotANumber.title)},
            MoveFocus{field, true});
        return std::nullopt;
    };
    FieldValues values{};
    const auto densityCheck = runtime::TextToDouble(in.density);
    const auto density = runtime::TextToSingle(in.density);
    if (!densityCheck || !density) {
        return fail("densità", Control::Text1);
    }
    values.densityCheck = *densityCheck;
    values.density = *density;
    constexpr std::array dimensionFields{Control::Text2, Control::Text3, Control::Text4};
    for (std::size_t row = 0; row < 3; ++row) {
        const auto value = runtime::TextToSingle(in.dimensions[row]);
        if (!value) {
            return fail(DimensionName(in.shape, row), dimensionFields[row]);
        }
        values.dimensions[row] = *value;
    }
    const auto pieces = runtime::TextToSingle(in.pieces);
    if (!pieces) {
        return fail("numero pezzi", Control::Text5);
    }
    values.pieces = *pieces;
    const auto price = runtime::TextToDouble(in.price);
    if (!price) {
        return fail("prezzo", Control::Text6);
    }
    values.price = *price;
    return values;
}

struct Costs {
    float piece;
    float nPiece;
    std::optional<double> metre; // only where a metre cost is shown
};

// Nothing when a cost is not finite or does not fit its width.
std::optional<Costs> ComputeCosts(const CalcolaInputs &in, const FieldValues &v, Shape shape,
                                  const WeightResults &weights) {
    const bool metreShape = HasMetre(shape);
    const double x3 = v.dimensions[1];
    double pieceCost = 0;
    if (!metreShape || in.perKilo) {
        pieceCost = v.price * static_cast<double>(weights.pieceWeight);
    } else {
        // A price per metre: the piece's length in metres, X3 for bars and X4 for tubes.
        const bool bar = shape == Shape::BarraTonda || shape == Shape::BarraPiatta;
        const double length = bar ? x3 : static_cast<double>(v.dimensions[2]);
        pieceCost = v.price * (length / 1000.0);
    }
    const auto piece = StoredSingle(pieceCost);
    if (!piece) {
        return std::nullopt;
    }
    const auto nPiece = StoredSingle(static_cast<double>(*piece) * v.pieces);
    if (!nPiece) {
        return std::nullopt;
    }
    Costs costs{*piece, *nPiece, std::nullopt};
    if (metreShape && !in.perMetre) {
        // A flat bar's metre cost uses the unrounded quotient, not the metre weight on show.
        const double metreWeight = shape == Shape::BarraPiatta
                                       ? static_cast<double>(weights.pieceWeight) / (x3 / 1000.0)
                                       : static_cast<double>(weights.metreWeight);
        const auto metre = runtime::CheckedDouble(v.price * metreWeight);
        if (!metre) {
            return std::nullopt;
        }
        costs.metre = runtime::RoundToTwo(*metre);
    }
    return costs;
}

} // namespace

std::vector<Step> Calcola(const CalcolaInputs &in) {
    std::vector<Step> steps;
    const auto fields = ReadFields(in, steps);
    if (!fields) {
        return steps;
    }
    FieldValues v = *fields;
    const bool piecesWereZero = v.pieces == 0;
    if (piecesWereZero) {
        v.pieces = 1;
    }
    const auto [x2, x3, x4] = v.dimensions;
    const auto weights = ComputeWeights(in.shape, x2, x3, x4, v.density, v.pieces);
    const bool shapeKnown = weights.ok() || weights.error() != WeightError::UnknownShape;

    // An error ends the press with no results on show, a message, and the focus where the
    // user can mend the input.
    std::optional<std::pair<MessageText, MoveFocus>> error;
    std::optional<Costs> costs;
    if (weights.ok()) {
        costs = ComputeCosts(in, v, FindShape(in.shape)->shape, weights.value());
        if (!costs) {
            error = {kResultTooLarge, MoveFocus{Control::Combo1, false}};
        }
    } else if (shapeKnown) {
        switch (weights.error()) {
        case WeightError::ZeroLength:
            error = {kZeroLength, MoveFocus{Control::Text3, true}};
            break;
        case WeightError::InnerOverOuter:
            error = {kInnerOverOuter, MoveFocus{Control::Text3, true}};
            break;
        case WeightError::WallOverRadius:
            error = {kWallOverRadius, MoveFocus{Control::Text3, true}};
            break;
        case WeightError::UnknownShape:
        case WeightError::ResultTooLarge:
            error = {kResultTooLarge, MoveFocus{Control::Combo1, false}};
            break;
        }
    }
    if (error) {
        steps.push_back(ShowFrame{Frame::Weights, false});
        steps.push_back(ShowFrame{Frame::Costs, false});
    }

    // Every message of a press comes before any frame is shown, so that no result the press
    // is about to replace stands beside a box. No material yet, or "ALTRO" still at "0,00":
    // say so, then go on with density 0.
    if (v.densityCheck == 0) {
        steps.push_back(Message(kNoMaterial));
    }
    if (!shapeKnown) {
        steps.push_back(Message(kNoShape));
    }
    if (error) {
        steps.push_back(Message(error->first));
    }

    if (piecesWereZero) {
        steps.push_back(WritePieces{SingleToText(v.pieces)});
    }
    steps.push_back(ShowLabel{ResultLabel::NPieceWeight, v.pieces != 1});
    steps.push_back(ShowLabel{ResultLabel::NPieceCost, v.pieces != 1});
    if (error) {
        steps.push_back(error->second);
        return steps;
    }
    // The frames come last, once every caption they hold is written.
    const auto showFramesAndFinish = [&] {
        steps.push_back(ShowFrame{Frame::Weights, true});
        steps.push_back(ShowFrame{Frame::Costs, v.price != 0});
        steps.push_back(MoveFocus{Control::Combo1, false});
    };
    if (!shapeKnown) {
        // The labels keep what they showed; the weights frame is shown all the same.
        showFramesAndFinish();
        return steps;
    }

    const WeightResults &w = weights.value();
    steps.push_back(
        WriteCaption{ResultLabel::PieceWeight, w.pieceWeightText, SingleToText(w.pieceWeight)});
    steps.push_back(
        WriteCaption{ResultLabel::NPieceWeight, w.nPieceWeightText, SingleToText(w.nPieceWeight)});
    const std::string pieceCost = SingleToText(costs->piece);
    const std::string nPieceCost = SingleToText(costs->nPiece);
    steps.push_back(
        WriteCaption{ResultLabel::PieceCost, "1 pezzo: " + pieceCost + " €", pieceCost});
    steps.push_back(WriteCaption{ResultLabel::NPieceCost,
                                 SingleToText(v.pieces) + " pezzi: " + nPieceCost + " €",
                                 nPieceCost});
    if (!w.hasMetreWeight) {
        steps.push_back(ShowLabel{ResultLabel::MetreWeight, false});
        steps.push_back(ShowLabel{ResultLabel::MetreCost, false});
    } else {
        steps.push_back(ShowLabel{ResultLabel::MetreWeight, true});
        steps.push_back(
            WriteCaption{ResultLabel::MetreWeight, w.metreWeightText, SingleToText(w.metreWeight)});
        if (in.perMetre) {
            steps.push_back(ShowLabel{ResultLabel::MetreCost, false});
        } else {
            steps.push_back(ShowLabel{ResultLabel::MetreCost, true});
            const std::string metreCost = runtime::DoubleToText(*costs->metre);
            steps.push_back(
                WriteCaption{ResultLabel::MetreCost, "1 metro " + metreCost + " €", metreCost});
        }
    }
    showFramesAndFinish();
    return steps;
}

} // namespace kalvor::calc
