#include "calc/catalogue.h"
#include "calc/weights.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace kalvor::calc;

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

// The rows themselves are pinned in test_reference.
TEST(Catalogue, LookupIsExact) {
    EXPECT_EQ(FindMaterial("UNS S32750-F53-Superduplex"), &kMaterials[4]);
    EXPECT_EQ(FindMaterial("altro"), nullptr);
    EXPECT_EQ(FindMaterial("Alluminio "), nullptr);
    EXPECT_EQ(FindShape("Disco"), &kShapes[5]);
    EXPECT_EQ(kShapes[5].rows[1].caption, "Spessore");
    EXPECT_EQ(FindShape("disco"), nullptr);
}

} // namespace
