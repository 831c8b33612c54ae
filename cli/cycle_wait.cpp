#include "cli/cycle_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "cli/stop_request.h"
#include "device/usbread.h"

namespace {
constexpr double longestSleepSeconds = 0.1;
}  // namespace

void sleepUntil(double deadlineSeconds) {
    while (!stopRequested()) {
        const double remaining = deadlineSeconds - counterSeconds();
        if (remaining <= 0) {
            return;
        }
        std::this_thread::sleep_for(
            std::chrono::duration<double>(std::min(remaining, longestSleepSeconds)));
    }
}
