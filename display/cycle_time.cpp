#include "display/cycle_time.h"

#include <cmath>
#include <limits>

std::uint32_t cycleTimeMs(double cycleStartSeconds, double nowSeconds) {
    const double milliseconds = std::trunc((nowSeconds - cycleStartSeconds) * 1000.0);
    constexpr double int64Limit = 9.2e18;
    if (!std::isfinite(milliseconds) || std::fabs(milliseconds) >= int64Limit) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    // Through a wide signed integer, so that the 32-bit wrap-around is well defined.
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(milliseconds));
}
