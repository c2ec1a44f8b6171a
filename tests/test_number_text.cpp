// The sharp edges of the number rules, by hand. The reference comparison (test_reference)
// checks the same rules on every width and magnitude; these rows name the boundaries.
#include "runtime/checked.h"
#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace {

using namespace kalvor::runtime;

TEST(TextToNumber, NumbersAndNotNumbers) {
    for (const char *text : {"7,81", ",5", "5,", "016,70", "0"}) {
        EXPECT_TRUE(TextToSingle(text) && TextToDouble(text)) << text;
    }
    EXPECT_EQ(TextToDouble(",5"), 0.5);
    for (const char *text : {"", ",", "1,2,3", ",,", " 5", "5 ", "-5", "+5", "5.0", "1.500", "1e5",
                             "0x10", "inf", "nan", "\xC3\xA8"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToSingle(text).has_value());
        EXPECT_FALSE(TextToDouble(text).has_value());
    }
}

TEST(TextToNumber, TooLargeForTheWidthIsAnErrorTooSmallIsZero) {
    const std::string beyondSingle = "4" + std::string(38, '0'); // 4E+38
    EXPECT_FALSE(TextToSingle(beyondSingle).has_value());
    EXPECT_EQ(TextToDouble(beyondSingle), 4e38);
    EXPECT_FALSE(TextToDouble("2" + std::string(308, '0')).has_value());
    EXPECT_EQ(TextToSingle("0," + std::string(60, '0') + "1"), 0.0f);
}

TEST(RoundToTwo, TiesGoToEvenOnTheExactBinaryValue) {
    // 1,005 as a Single is 1.00499999...; 2.675 is 2.67499999...; 0.025 is 0.0250000000000000014,
    // where multiplying by 100 first lands on a false tie 2.5 and rounds to 0,02.
    EXPECT_EQ(RoundToTwo(0.125f), 0.12f);
    EXPECT_EQ(RoundToTwo(0.375f), 0.38f);
    EXPECT_EQ(RoundToTwo(1.005f), 1.0f);
    EXPECT_EQ(RoundToTwo(-0.125f), -0.12f);
    EXPECT_EQ(RoundToTwo(2.675), 2.67);
    EXPECT_EQ(RoundToTwo(0.025), 0.03);
    // A tiny negative result rounds to zero and is written without a sign.
    EXPECT_EQ(SingleToText(RoundToTwo(-0.001f)), "0");
    EXPECT_EQ(DoubleToText(RoundToTwo(-0.004)), "0");
}

TEST(NumberToText, PlainAndExponentFormsMeetAtTheirBoundaries) {
    struct Row {
        float value;
        const char *text;
    };
    for (const Row row : {
             Row{190359.9f, "190359,9"}, // exactly 190359.90625
             {-6.78f, "-6,78"},
             {-0.0f, "0"},
             {9999999.0f, "9999999"}, // the last plain whole number
             {10000000.0f, "1E+07"},  // the first exponent form
             {12345678.0f, "1,234568E+07"},
             {9999999.5f, "1E+07"}, // rounding carries into the exponent
             {0.0001f, "0,0001"},   // the smallest plain number
             {0.000012345f, "1,2345E-05"},
             {FLT_MAX, "3,402823E+38"},
             {1234567.5f, "1234568"}, // ties on the exact value go to even
             {1234568.5f, "1234568"},
         }) {
        EXPECT_EQ(SingleToText(row.value), row.text);
    }
    EXPECT_EQ(DoubleToText(999999999999999.0), "999999999999999");
    EXPECT_EQ(DoubleToText(1e15), "1E+15");
    EXPECT_EQ(DoubleToText(1.7976931348623157e308), "1,79769313486232E+308");
    EXPECT_EQ(DoubleToText(0.1), "0,1");
}

TEST(CheckedArithmetic, NotFiniteOrOverflowingIsAnError) {
    EXPECT_FALSE(NarrowToSingle(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(NarrowToSingle(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(NarrowToSingle(0x1.ffffffp127).has_value()); // rounds up to infinity
    EXPECT_EQ(NarrowToSingle(0x1.fffffefp127), FLT_MAX);      // still rounds down to FLT_MAX
    EXPECT_EQ(NarrowToSingle(-1.5), -1.5f);
    EXPECT_FALSE(CheckedDouble(-std::numeric_limits<double>::infinity()).has_value());
    EXPECT_EQ(CheckedDouble(1e300), 1e300);
}

} // namespace
