#include <gtest/gtest.h>

#include <limits>

#include "display/cycle_time.h"

TEST(CycleTime, MillisecondsAreTruncatedTowardZero) {
    EXPECT_EQ(cycleTimeMs(10.0, 10.25), 250u);
    EXPECT_EQ(cycleTimeMs(10.0, 10.2009), 200u);
    EXPECT_EQ(cycleTimeMs(10.0, 10.0), 0u);
    EXPECT_EQ(cycleTimeMs(0.0, 3600.5), 3600500u);
}

TEST(CycleTime, NegativeDifferencesWrapAroundAsUnsigned32Bit) {
    EXPECT_EQ(cycleTimeMs(2.0, 1.0), 4294966296u);
    // A failed counter reading (-1) during the cycle ends the wait.
    EXPECT_GT(cycleTimeMs(5.0, -1.0), 4000000000u);
    EXPECT_EQ(cycleTimeMs(0.0, 4294968.0), 704u);
}

TEST(CycleTime, ValuesWithoutAnIntegerEndTheWait) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(cycleTimeMs(0.0, nan), std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(cycleTimeMs(0.0, infinity), std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(cycleTimeMs(0.0, 1e300), std::numeric_limits<std::uint32_t>::max());
}
