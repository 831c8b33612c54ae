#include "measure/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "locale_scope.h"

namespace {

using NumberFormat = SeparatorTest;
INSTANTIATE_FOR_BOTH_SEPARATORS(NumberFormat);

TEST_P(NumberFormat, FixedWritesExactlyTheGivenDecimals) {
    EXPECT_EQ(formatFixed(2.5, 6, 2), local("2.50"));
    EXPECT_EQ(formatFixed(-5.0, 6, 2), local("-5.00"));
    EXPECT_EQ(formatFixed(250.0, 6, 1), local("250.0"));
    EXPECT_EQ(formatFixed(62.5, 6, 1), local("62.5"));
    EXPECT_EQ(formatFixed(200.0, 6, 0), "200");
    EXPECT_EQ(formatFixed(0.0, 6, 0), "0");
    EXPECT_EQ(formatFixed(0.0, 6, 2), local("0.00"));
    EXPECT_EQ(formatFixed(0.25, 6, 3), local("0.250"));
}

TEST_P(NumberFormat, FixedRoundsToSignificantDigitsFirst) {
    // 1234.5678 to 4 significant digits is 1235, then two zeros are appended.
    EXPECT_EQ(formatFixed(1234.5678, 4, 2), local("1235.00"));
    EXPECT_EQ(formatFixed(-2.5, 4, 1), local("-2.5"));
    EXPECT_EQ(formatFixed(0.0123456, 4, 6), local("0.012350"));
    // Binary noise of a scaled reading disappears in the 6 significant digits.
    EXPECT_EQ(formatFixed(960 * 0.0025, 6, 2), local("2.40"));
    EXPECT_EQ(formatFixed(0.1 + 0.2, 6, 4), local("0.3000"));
}

TEST_P(NumberFormat, FixedRoundsHalvesAwayFromZero) {
    EXPECT_EQ(formatFixed(0.125, 6, 2), local("0.13"));
    EXPECT_EQ(formatFixed(-0.125, 6, 2), local("-0.13"));
    EXPECT_EQ(formatFixed(0.5, 6, 0), "1");
    EXPECT_EQ(formatFixed(2.5, 6, 0), "3");
    EXPECT_EQ(formatFixed(9.995, 6, 2), local("10.00"));
    EXPECT_EQ(formatFixed(99999.95, 6, 1), local("100000.0"));
    EXPECT_EQ(formatFixed(999999.5, 6, 0), "1000000");
}

TEST_P(NumberFormat, FixedDropsTheSignOfAValueShownAsZero) {
    EXPECT_EQ(formatFixed(-0.001, 6, 2), local("0.00"));
    EXPECT_EQ(formatFixed(-0.0, 6, 1), local("0.0"));
    EXPECT_EQ(formatFixed(-0.005, 6, 2), local("-0.01"));
}

TEST_P(NumberFormat, FixedKeepsPlainNotationBeyondThePrecision) {
    EXPECT_EQ(formatFixed(1234567.0, 4, 1), local("1235000.0"));
    EXPECT_EQ(formatFixed(-98765.4, 4, 2), local("-98770.00"));
    EXPECT_EQ(formatFixed(12345.6, 4, 0), "12350");
    EXPECT_EQ(formatFixed(1e20, 6, 0), "100000000000000000000");
}

TEST_P(NumberFormat, FixedNeverPrintsGarbage) {
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN(), 6, 2), "NAN");
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::infinity(), 6, 2), "INF");
    EXPECT_EQ(formatFixed(-std::numeric_limits<double>::infinity(), 6, 2), "-INF");
    EXPECT_EQ(formatFixed(1e-300, 6, 2), local("0.00"));
    EXPECT_EQ(formatFixed(3.7, 0, -1), "4");
}

TEST_P(NumberFormat, GeneralIsTheShortestForm) {
    EXPECT_EQ(formatGeneral(1250.0), "1250");
    EXPECT_EQ(formatGeneral(500.0), "500");
    EXPECT_EQ(formatGeneral(75000.0), "75000");
    EXPECT_EQ(formatGeneral(1.0), "1");
    EXPECT_EQ(formatGeneral(0.0), "0");
    EXPECT_EQ(formatGeneral(62.5), local("62.5"));
    EXPECT_EQ(formatGeneral(-0.1), local("-0.1"));
    EXPECT_EQ(formatGeneral(0.1 + 0.2), local("0.3"));
    EXPECT_EQ(formatGeneral(0.00001), local("0.00001"));
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
}

TEST_P(NumberFormat, GeneralTurnsScientificOutsideFifteenDigits) {
    EXPECT_EQ(formatGeneral(1e15), "1E15");
    EXPECT_EQ(formatGeneral(1.5e20), local("1.5E20"));
    EXPECT_EQ(formatGeneral(-2.5e-7), local("-2.5E-7"));
    EXPECT_EQ(formatGeneral(1e-6), "1E-6");
}

TEST_P(NumberFormat, IntegerHasNoSeparators) {
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(75000), "75000");
    EXPECT_EQ(formatInteger(-1234567), "-1234567");
}

}  // namespace
