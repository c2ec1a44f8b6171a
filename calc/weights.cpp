#include "calc/weights.h"

#include "calc/catalogue.h"
#include "runtime/checked.h"
#include "runtime/number_text.h"

#include <optional>

namespace kalvor::calc {
namespace {

using runtime::Square;
using runtime::StoredSingle;

const double kPi = static_cast<double>(3.142f);
constexpr double kDecimetresPerMetre = 1000.0 / 100.0;

// The weight of one decimetre of the cross-section (dm2 times kg/dm3), multiplied in the
// order the formulas have always used: the order decides the last bit of the result.
double RoundSection(double diameter, double density) {
    return Square(diameter / 200.0) * density * kPi;
}

double AnnulusSection(double outer, double inner, double density) {
    return (Square(outer / 200.0) * kPi - Square(inner / 200.0) * kPi) * density;
}

} // namespace

Result<WeightResults, WeightError> ComputeWeights(std::string_view shapeText, float x2, float x3,
                                                  float x4, float density, float pieces) {
    const ShapeEntry *entry = FindShape(shapeText);
    if (entry == nullptr) {
        return WeightError::UnknownShape;
    }
    const double d2 = x2, d3 = x3, d4 = x4, rho = density;
    const Shape shape = entry->shape;
    if (shape == Shape::BarraPiatta && x3 == 0.0f) {
        return WeightError::ZeroLength;
    }
    // A solid that cannot exist would weigh less than nothing, or as much as a tube whose bore
    // is wider than the bar. Equal values stay allowed: a ring of no width weighs 0, a wall of
    // half the diameter gives the solid bar.
    if ((shape == Shape::TuboDiametri || shape == Shape::Anello) && x3 > x2) {
        return WeightError::InnerOverOuter;
    }
    if (shape == Shape::TuboSpessore && 2.0 * d3 > d2) {
        return WeightError::WallOverRadius;
    }

    double piece = 0;
    double metre = 0;
    switch (shape) {
    case Shape::Lamiera:
    case Shape::BarraPiatta:
        piece = ((d2 / 100.0) * rho) * (d3 / 100.0) * (d4 / 100.0);
        break;
    case Shape::BarraTonda:
    case Shape::Disco:
        piece = RoundSection(d2, rho) * (d3 / 100.0);
        metre = RoundSection(d2, rho) * kDecimetresPerMetre;
        break;
    case Shape::TuboSpessore: {
        const double inner = d2 - 2.0 * d3;
        piece = AnnulusSection(d2, inner, rho) * (d4 / 100.0);
        metre = AnnulusSection(d2, inner, rho) * kDecimetresPerMetre;
        break;
    }
    case Shape::TuboDiametri:
    case Shape::Anello:
        piece = AnnulusSection(d2, d3, rho) * (d4 / 100.0);
        metre = AnnulusSection(d2, d3, rho) * kDecimetresPerMetre;
        break;
    }

    const auto pieceWeight = StoredSingle(piece);
    if (!pieceWeight) {
        return WeightError::ResultTooLarge;
    }
    const auto nPieceWeight = StoredSingle(static_cast<double>(*pieceWeight) * pieces);
    if (!nPieceWeight) {
        return WeightError::ResultTooLarge;
    }

    WeightResults results{*pieceWeight, *nPieceWeight, HasMetre(shape), 0.0f, {}, {}, {}};
    if (results.hasMetreWeight) {
        // A flat bar's metre weight comes from its rounded piece weight and its length.
        if (shape == Shape::BarraPiatta) {
            metre = static_cast<double>(*pieceWeight) / (d3 / 1000.0);
        }
        const auto metreWeight = StoredSingle(metre);
        if (!metreWeight) {
            return WeightError::ResultTooLarge;
        }
        results.metreWeight = *metreWeight;
        results.metreWeightText = "1 metro: " + runtime::SingleToText(*metreWeight) + " Kg";
    }
    results.pieceWeightText = "1 pezzo: " + runtime::SingleToText(*pieceWeight) + " Kg";
    results.nPieceWeightText =
        runtime::SingleToText(pieces) + " pezzi: " + runtime::SingleToText(*nPieceWeight) + " Kg";
    return results;
}

} // namespace kalvor::calc
