#include "plot/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(NiceTicks, StepsOnOneTwoOrFiveTimesAPowerOfTenAndStayApart) {
    const AxisTicks ticks = niceTicks(-2030.0, 2030.0, 560.0, 26.0);
    ASSERT_GT(ticks.count, 1);
    const double mantissa = ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step)));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 5) < 1e-9);
    EXPECT_GE(ticks.step * 560.0 / 4060.0, 26.0);
    EXPECT_GE(ticks.at(0), -2030.0);
    EXPECT_LE(ticks.at(ticks.count - 1), 2030.0);
    EXPECT_GT(ticks.at(ticks.count - 1) + ticks.step, 2030.0);
    EXPECT_EQ(ticks.decimals, 0);
}

TEST(NiceTicks, GivesDecimalsForSmallStepsAndNoMinusZero) {
    const AxisTicks ticks = niceTicks(-0.203, 0.203, 400.0, 40.0);
    EXPECT_EQ(ticks.step, 0.05);
    EXPECT_EQ(ticks.decimals, 2);
    bool sawZero = false;
    for (int i = 0; i < ticks.count; ++i) {
        if (ticks.at(i) == 0.0) {
            sawZero = !std::signbit(ticks.at(i));
        }
    }
    EXPECT_TRUE(sawZero);
}

TEST(IncrementTicks, UsesTheIncrementWhileLabelsFitAndWidensItWhenNot) {
    const AxisTicks close = incrementTicks(0.0, 2000.0, 200.0, 600.0, 50.0);
    EXPECT_EQ(close.step, 200.0);
    EXPECT_EQ(close.count, 11);

    // A day of recording at 200 ms: the step grows to a multiple of the increment.
    const AxisTicks day = incrementTicks(0.0, 86'400'000.0, 200.0, 600.0, 80.0);
    EXPECT_EQ(std::fmod(day.step, 200.0), 0.0);
    EXPECT_GE(day.step * 600.0 / 86'400'000.0, 80.0);
    EXPECT_LE(day.count, 8);
}
