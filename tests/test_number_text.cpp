#include "runtime/checked.h"
#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

using namespace kalvor::runtime;

TEST(TextToNumber, ReadsDecimalCommaTexts) {
    struct Row {
        const char *text;
        double value;
    };
    for (const Row row : {Row{"7,81", 7.81},
                          {"50", 50},
                          {",5", 0.5},
                          {"5,", 5},
                          {"0,00", 0},
                          {"016,70", 16.7},
                          {"123456789", 123456789},
                          {"0", 0}}) {
        SCOPED_TRACE(row.text);
        ASSERT_EQ(TextToDouble(row.text), row.value);
        ASSERT_EQ(TextToSingle(row.text), static_cast<float>(row.value));
    }
}

TEST(TextToNumber, RejectsEverythingElse) {
    for (const char *text : {"", ",", "1,2,3", ",,", " 5", "5 ", "-5", "+5", "5.0", "1.500", "abc",
                             "1e5", "7,8a", "0x10", "inf", "nan", "\xC3\xA8"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToSingle(text).has_value());
        EXPECT_FALSE(TextToDouble(text).has_value());
    }
}

TEST(TextToNumber, SingleIsRoundedOnceFromTheDecimal) {
    // 1,00000005960464477539062500000001 lies a hair above the midpoint between the Singles
    // 1 and 1+2^-23: the nearest Single is the upper one. Going through the nearest double
    // (exactly the midpoint) and then to Single would round to even, giving 1.
    const auto value = TextToSingle("1,00000005960464477539062500000001");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 1.0f + FLT_EPSILON);
    EXPECT_EQ(TextToSingle("0,1"), 0.1f);
    EXPECT_EQ(TextToDouble("0,1"), 0.1);
}

TEST(TextToNumber, TooLargeForTheWidthIsAnError) {
    const std::string beyondSingle = "4" + std::string(38, '0'); // 4E+38
    EXPECT_FALSE(TextToSingle(beyondSingle).has_value());
    EXPECT_EQ(TextToDouble(beyondSingle), 4e38);
    EXPECT_FALSE(TextToDouble("2" + std::string(308, '0')).has_value());
    // Too small is not too large: it is nearest to zero.
    EXPECT_EQ(TextToSingle("0," + std::string(60, '0') + "1"), 0.0f);
}

TEST(RoundToTwo, TiesGoToEvenOnTheExactBinaryValue) {
    struct SingleRow {
        float in, out;
    };
    for (const SingleRow row : {SingleRow{0.125f, 0.12f},
                                {0.375f, 0.38f},
                                {1.005f, 1.0f},
                                {15.4154f, 15.42f},
                                {46.26f, 46.26f},
                                {-0.125f, -0.12f},
                                {2.5f, 2.5f},
                                {157.0f, 157.0f},
                                {0.0f, 0.0f}}) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(RoundToTwo(row.in), row.out);
    }
    struct DoubleRow {
        double in, out;
    };
    // 2.675 is 2.67499999...; 0.025 is 0.02500000000000000139..., where multiplying by 100
    // first lands on a false tie 2.5 and rounds to 0,02.
    for (const DoubleRow row : {DoubleRow{2.675, 2.67},
                                {0.025, 0.03},
                                {0.125, 0.12},
                                {0.375, 0.38},
                                {38.55, 38.55},
                                {9.42, 9.42},
                                {1e20, 1e20},
                                {-2.675, -2.67}}) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(RoundToTwo(row.in), row.out);
    }
}

TEST(RoundToTwo, TinyNegativeGivesZeroWrittenWithoutSign) {
    const float rounded = RoundToTwo(-0.001f);
    EXPECT_EQ(rounded, 0.0f);
    EXPECT_EQ(SingleToText(rounded), "0");
    EXPECT_EQ(DoubleToText(RoundToTwo(-0.004)), "0");
}

TEST(NumberToText, SingleUsesSevenSignificantDigits) {
    struct Row {
        float value;
        const char *text;
    };
    for (const Row row : {
             Row{15.42f, "15,42"},
             {190359.9f, "190359,9"}, // exactly 190359.90625
             {0.25f, "0,25"},
             {12.5f, "12,5"},
             {1.0f, "1"},
             {157.0f, "157"},
             {15.40f, "15,4"},
             {-6.78f, "-6,78"},
             {0.0f, "0"},
             {-0.0f, "0"},
             {9999999.0f, "9999999"},       // the last plain whole number
             {10000000.0f, "1E+07"},        // the first exponent form
             {12345678.0f, "1,234568E+07"}, // 7 digits, the tie-free rounding of ...678
             {99999999.0f, "1E+08"},
             {0.0001f, "0,0001"}, // the smallest plain number
             {0.00001f, "1E-05"},
             {0.000012345f, "1,2345E-05"},
             {FLT_MAX, "3,402823E+38"},
             {1234567.5f, "1234568"}, // a tie on the exact value goes to even: ...67,5 -> ...68
             {1234568.5f, "1234568"}, // ...68,5 -> ...68
         }) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(SingleToText(row.value), row.text);
    }
}

TEST(NumberToText, DoubleUsesFifteenSignificantDigits) {
    struct Row {
        double value;
        const char *text;
    };
    for (const Row row : {
             Row{38.55, "38,55"},
             {0.1, "0,1"},
             {9.42, "9,42"},
             {2.67, "2,67"},
             {-0.0, "0"},
             {999999999999999.0, "999999999999999"},
             {1e15, "1E+15"},
             {123456789012345.67, "123456789012346"},
             {1.7976931348623157e308, "1,79769313486232E+308"},
             {0.00001, "1E-05"},
         }) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(DoubleToText(row.value), row.text);
    }
}

TEST(NumberToText, ReadsBackAsTheSameValue) {
    // Every rounded result on screen must read back as itself.
    for (float v = 0.0f; v < 200.0f; v += 0.37f) {
        const float rounded = RoundToTwo(v);
        EXPECT_EQ(TextToSingle(SingleToText(rounded)), rounded) << SingleToText(rounded);
    }
}

TEST(CheckedArithmetic, NotFiniteOrOverflowingIsAnError) {
    EXPECT_FALSE(NarrowToSingle(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(NarrowToSingle(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(NarrowToSingle(1e39).has_value());
    EXPECT_FALSE(NarrowToSingle(0x1.ffffffp127).has_value()); // rounds up to infinity
    EXPECT_EQ(NarrowToSingle(0x1.fffffefp127), FLT_MAX);      // still rounds down to FLT_MAX
    EXPECT_EQ(NarrowToSingle(-1.5), -1.5f);
    EXPECT_FALSE(CheckedDouble(-std::numeric_limits<double>::infinity()).has_value());
    EXPECT_EQ(CheckedDouble(1e300), 1e300);
}

} // namespace
