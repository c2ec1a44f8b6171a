#include "calc/catalogue.h"
#include "calc/weights.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace kalvor::calc;

struct WeightRow {
    const char *name;
    const char *shape;
    float x2, x3, x4, density, pieces;
    const char *pieceText;
    const char *nPieceText;
    const char *metreText; // "" without a metre weight
};

class WorkedExamples : public testing::TestWithParam<WeightRow> {};

TEST_P(WorkedExamples, GiveTheirTexts) {
    const WeightRow &row = GetParam();
    const auto result = ComputeWeights(row.shape, row.x2, row.x3, row.x4, row.density, row.pieces);
    ASSERT_TRUE(result.ok());
    const WeightResults &w = result.value();
    EXPECT_EQ(w.pieceWeightText, row.pieceText);
    EXPECT_EQ(w.nPieceWeightText, row.nPieceText);
    EXPECT_EQ(w.metreWeightText, row.metreText);
    EXPECT_EQ(w.hasMetreWeight, *row.metreText != '\0');
    if (!w.hasMetreWeight) {
        EXPECT_EQ(w.metreWeight, 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryShape, WorkedExamples,
    testing::Values(
        WeightRow{"Sheet", "Lamiera", 1000, 2000, 10, 7.85f, 1, "1 pezzo: 157 Kg",
                  "1 pezzi: 157 Kg", ""},
        // Unrounded 15,4154 kg; the three pieces weigh 3 x 15,42, not 3 x 15,4154 = 46,25.
        WeightRow{"RoundBar", "Barra tonda", 50, 1000, 0, 7.85f, 3, "1 pezzo: 15,42 Kg",
                  "3 pezzi: 46,26 Kg", "1 metro: 15,42 Kg"},
        WeightRow{"FlatBarMetreFromRoundedPiece", "Barra piatta", 40, 2000, 10, 7.85f, 2,
                  "1 pezzo: 6,28 Kg", "2 pezzi: 12,56 Kg", "1 metro: 3,14 Kg"},
        WeightRow{"TubeByWall", "Tubo spessore", 60.3f, 2, 6000, 7.85f, 1, "1 pezzo: 17,26 Kg",
                  "1 pezzi: 17,26 Kg", "1 metro: 2,88 Kg"},
        WeightRow{"TubeByDiameters", "Tubo diametri", 60, 50, 1000, 7.85f, 1, "1 pezzo: 6,78 Kg",
                  "1 pezzi: 6,78 Kg", "1 metro: 6,78 Kg"},
        WeightRow{"Disc", "Disco", 200, 10, 0, 7.85f, 1, "1 pezzo: 2,47 Kg", "1 pezzi: 2,47 Kg",
                  ""},
        WeightRow{"Ring", "Anello", 200, 100, 10, 7.85f, 1, "1 pezzo: 1,85 Kg", "1 pezzi: 1,85 Kg",
                  ""},
        // Exactly 0,125: the tie goes to the even last decimal.
        WeightRow{"SheetTieToEven", "Lamiera", 100, 100, 12.5f, 1, 1, "1 pezzo: 0,12 Kg",
                  "1 pezzi: 0,12 Kg", ""},
        WeightRow{"NoDensityWeighsNothing", "Barra tonda", 50, 1000, 0, 0, 1, "1 pezzo: 0 Kg",
                  "1 pezzi: 0 Kg", "1 metro: 0 Kg"},
        // Too large for seven digits: the piece count and the weight in exponent form.
        WeightRow{"ExponentForm", "Lamiera", 1e9f, 1e9f, 1000, 1, 12345678, "1 pezzo: 1E+15 Kg",
                  "1,234568E+07 pezzi: 1,234568E+22 Kg", ""}),
    [](const testing::TestParamInfo<WeightRow> &info) { return info.param.name; });

TEST(ComputeWeights, WallOfHalfTheDiameterWeighsAsTheSolidBar) {
    const auto tube = ComputeWeights("Tubo spessore", 50, 25, 1000, 7.85f, 1);
    const auto bar = ComputeWeights("Barra tonda", 50, 1000, 0, 7.85f, 1);
    ASSERT_TRUE(tube.ok() && bar.ok());
    EXPECT_EQ(tube.value().pieceWeight, bar.value().pieceWeight);
    EXPECT_EQ(tube.value().metreWeight, bar.value().metreWeight);
}

TEST(ComputeWeights, UnusedDimensionChangesNothing) {
    const auto a = ComputeWeights("Disco", 200, 10, 0, 7.85f, 1);
    const auto b = ComputeWeights("Disco", 200, 10, 12345, 7.85f, 1);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(a.value().pieceWeightText, b.value().pieceWeightText);
}

TEST(ComputeWeights, ShapeTextMustMatchExactly) {
    for (const char *text : {"", "lamiera", "LAMIERA", "Lamiera ", " Lamiera", "Barra Tonda"}) {
        SCOPED_TRACE(text);
        const auto result = ComputeWeights(text, 1, 1, 1, 1, 1);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), WeightError::UnknownShape);
    }
}

TEST(ComputeWeights, ImpossibleSolidsAndResultsAreErrorsNotNumbers) {
    struct Row {
        const char *name;
        const char *shape;
        float x2, x3, x4, density, pieces;
        std::optional<WeightError> error;
    };
    const Row rows[] = {
        {"flat bar of length 0: 0 / 0 per metre", "Barra piatta", 40, 0, 10, 7.85f, 1,
         WeightError::ZeroLength},
        {"round bar of length 0 weighs nothing", "Barra tonda", 40, 0, 0, 7.85f, 1, {}},
        {"bore wider than the tube", "Tubo diametri", 50, 60, 1000, 7.85f, 1,
         WeightError::InnerOverOuter},
        {"bore a hair wider than the ring", "Anello", 50, 50.001f, 10, 7.85f, 1,
         WeightError::InnerOverOuter},
        {"ring of no width weighs nothing", "Anello", 50, 50, 10, 7.85f, 1, {}},
        {"wall thicker than the radius", "Tubo spessore", 50, 40, 1000, 7.85f, 1,
         WeightError::WallOverRadius},
        {"wall a hair over the radius", "Tubo spessore", 50, 25.001f, 1000, 7.85f, 1,
         WeightError::WallOverRadius},
        {"one piece fits a Single, all the pieces do not", "Lamiera", 1e9f, 1e9f, 1e9f, 1e10f, 1e8f,
         WeightError::ResultTooLarge},
        {"one piece does not fit", "Lamiera", 1e30f, 1e30f, 1, 1, 1, WeightError::ResultTooLarge},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto result =
            ComputeWeights(row.shape, row.x2, row.x3, row.x4, row.density, row.pieces);
        ASSERT_EQ(result.ok(), !row.error);
        if (row.error) {
            EXPECT_EQ(result.error(), *row.error);
        } else {
            EXPECT_EQ(result.value().pieceWeightText, "1 pezzo: 0 Kg");
        }
    }
}

TEST(Catalogue, LookupIsExactAndKeepsTheListOrder) {
    ASSERT_NE(FindMaterial("Tantalio"), nullptr);
    EXPECT_EQ(FindMaterial("Tantalio")->densityText, "16,70");
    EXPECT_EQ(FindMaterial("UNS S32750-F53-Superduplex"), &kMaterials[4]);
    EXPECT_TRUE(FindMaterial("ALTRO")->userEntered);
    EXPECT_EQ(FindMaterial("altro"), nullptr);
    EXPECT_EQ(FindMaterial("Alluminio "), nullptr);
    ASSERT_NE(FindShape("Disco"), nullptr);
    EXPECT_EQ(FindShape("Disco")->rows[1].caption, "Spessore");
    EXPECT_EQ(FindShape("disco"), nullptr);
    for (const MaterialEntry &m : kMaterials) {
        EXPECT_LE(m.densityText.size(), 5u) << m.listText; // the density field takes 5
    }
}

} // namespace
