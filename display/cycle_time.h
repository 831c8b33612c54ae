#pragma once

#include <cstdint>

// Length of a measuring cycle in ms as the display loop keeps it: the counter difference
// truncated toward zero, held as an unsigned 32-bit number. A negative difference (a failed
// counter reading) wraps around to a large number, which ends the wait.
std::uint32_t cycleTimeMs(double cycleStartSeconds, double nowSeconds);
