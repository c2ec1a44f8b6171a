#pragma once

#include "calc/result.h"

#include <string>
#include <string_view>

// The theoretical weight of a piece of stock, of all pieces and of one metre.
//
// Every formula starts from the Single inputs, runs in double precision left to right,
// is narrowed to Single and only then rounded to 2 decimals. PI is the Single 3.142
// (3.1419999599456787 as a double), so round and tubular weights are about 0.013 % above
// those with the full value of pi: a round bar of 50 x 1000 mm at 7,85 weighs 15,42 kg.
namespace kalvor::calc {

struct WeightResults {
    float pieceWeight;
    float nPieceWeight;
    bool hasMetreWeight; // bars and tubes
    float metreWeight;   // 0 without a metre weight
    std::string pieceWeightText;
    std::string nPieceWeightText;
    std::string metreWeightText; // empty without a metre weight
};

enum class WeightError {
    UnknownShape,   // the shape text is none of the seven list texts
    ZeroLength,     // a flat bar of length 0 has no weight per metre (0 / 0)
    InnerOverOuter, // a tube or ring whose inner diameter exceeds the outer one
    WallOverRadius, // a tube whose wall is thicker than half its outer diameter
    ResultTooLarge, // a weight is not finite or does not fit a Single
};

// x2, x3 and x4 are the three dimension fields in mm, read by the shape's own meaning
// (a sheet's width, length, thickness; a tube's outer diameter, wall, length; ...).
Result<WeightResults, WeightError> ComputeWeights(std::string_view shapeText, float x2, float x3,
                                                  float x4, float density, float pieces);

} // namespace kalvor::calc
