// Rounding, narrowing and integer division: halves to even, overflow as an error, division that
// rounds its operands first and truncates the quotient.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/number_rules.h"

using namespace tess;

TEST(NumberRules, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(277.5), 278.0);
    EXPECT_EQ(RoundHalfEven(2.4999999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
    EXPECT_EQ(RoundHalfEven(-7.7), -8.0);
}

TEST(NumberRules, NarrowingReportsOverflowInsteadOfWrapping) {
    EXPECT_EQ(ToInt16(32767.4).value(), 32767);
    EXPECT_EQ(ToInt16(-32768.5).value(), -32768);  // rounds to the even -32768
    EXPECT_EQ(ToInt16(32767.5).error().code, ErrorCode::Overflow);
    EXPECT_EQ(ToInt16(-32769).error().code, ErrorCode::Overflow);
    EXPECT_EQ(ToInt16(std::nan("")).error().code, ErrorCode::Overflow);

    EXPECT_EQ(ToInt32(2147483647.4).value(), 2147483647);
    EXPECT_EQ(ToInt32(-2147483648.0).value(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(2147483647.5).error().code, ErrorCode::Overflow);
    EXPECT_EQ(ToInt32(1e300).error().code, ErrorCode::Overflow);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()).error().code, ErrorCode::Overflow);
}

TEST(NumberRules, SingleKeepsOnlySinglePrecision) {
    EXPECT_EQ(Single(0.1), static_cast<double>(0.1f));
    EXPECT_NE(Single(0.1), 0.1);
    EXPECT_EQ(Single(3375.0), 3375.0);
    EXPECT_EQ(Single(16777217.0), 16777216.0);
}

TEST(NumberRules, IntegerDivisionRoundsOperandsThenTruncates) {
    EXPECT_EQ(IntDivide(9000, 2250).value(), 4);
    EXPECT_EQ(IntDivide(1005, 450).value(), 2);
    EXPECT_EQ(IntDivide(9000, 18).value(), 500);
    EXPECT_EQ(IntDivide(12000, 1500).value(), 8);
    // 7.5 -> 8 and 2.5 -> 2 before dividing, so 4 rather than 3.
    EXPECT_EQ(IntDivide(7.5, 2.5).value(), 4);
    EXPECT_EQ(IntDivide(-7, 2).value(), -3);
    EXPECT_EQ(IntDivide(7, -2).value(), -3);
    EXPECT_EQ(IntDivide(9000, 0.5625).value(), 9000);  // 0.5625 rounds to 1
}

TEST(NumberRules, IntegerDivisionErrors) {
    EXPECT_EQ(IntDivide(9000, 0.4).error().code, ErrorCode::DivisionByZero);
    EXPECT_EQ(IntDivide(9000, 0.5).error().code, ErrorCode::DivisionByZero);  // 0.5 rounds to 0
    EXPECT_EQ(IntDivide(9000, 0).error().code, ErrorCode::DivisionByZero);
    EXPECT_EQ(IntDivide(3e9, 2).error().code, ErrorCode::Overflow);
    EXPECT_EQ(IntDivide(-2147483648.0, -1).error().code, ErrorCode::Overflow);
}
