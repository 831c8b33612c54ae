#include "device/program_clock.h"

#include <chrono>
#include <thread>

double SteadyClock::counterFrequency() {
    return 1e9;
}

double SteadyClock::counterTicks() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::sleepMs(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void SimulatedClock::sleepMs(int milliseconds) {
    if (milliseconds > 0) {
        nowUs += milliseconds * 1000.0;
    }
}

void SimulatedClock::advanceMs(double milliseconds) {
    if (milliseconds > 0) {
        nowUs += milliseconds * 1000.0;
    }
}

namespace {
SteadyClock steadyClock;
ProgramClock* installedClock = nullptr;
}  // namespace

ProgramClock& programClock() {
    return installedClock ? *installedClock : steadyClock;
}

void setProgramClock(ProgramClock* clock) {
    installedClock = clock;
}
