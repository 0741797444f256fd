// MulDiv, Round and integer conversion: the arithmetic the painters rely on.
#include <gtest/gtest.h>

#include <climits>

#include "framework/core/sysutils.h"

using namespace vexel;

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(5, 1, 10), 1);
    EXPECT_EQ(MulDiv(4, 1, 10), 0);
    EXPECT_EQ(MulDiv(10, 10, 3), 33);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
}

TEST(MulDiv, NegativeValuesMirrorPositiveOnes) {
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(-5, 1, -2), 3);
    EXPECT_EQ(MulDiv(7, -200, 31), -45);  // a gradient step: 7 * -200 / 31 = -45.16
    EXPECT_EQ(MulDiv(-4, 1, 10), 0);
}

TEST(MulDiv, UsesA64BitProductAndFlagsFailures) {
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);  // overflow
    EXPECT_EQ(MulDiv(12, 5, 0), -1);       // divide by zero
    EXPECT_EQ(MulDiv(0, 5, 0), -1);
}

TEST(Round, HalvesGoToEven) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(-2.5), -2);
}

TEST(Round, OtherValuesGoToTheNearest) {
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(2.5001), 3);
    EXPECT_EQ(Round(-2.5001), -3);
    EXPECT_EQ(Round(-0.2), 0);
    EXPECT_EQ(Round(450.0 / 2), 225);
    EXPECT_EQ(Round(301.0 * 50 / 100), 150);  // 150.5 -> 150
}

TEST(StrToInt, ReadsDecimalAndHex) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("  -7"), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
}

TEST(StrToInt, RejectsWithTheConversionMessage) {
    for (const char* bad : {"", "12a", "2147483648", "3 ", "--1", "$1FFFFFFFF", "0x"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToIntDef("x", 9), 9);
}

TEST(IntToHex, PadsToTheGivenWidth) {
    EXPECT_EQ(IntToHex(0xAB, 8), "000000AB");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(IntToStr(-12), "-12");
}
