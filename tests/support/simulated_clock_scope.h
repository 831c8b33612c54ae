#pragma once

#include "device/program_clock.h"

// A simulated program clock, installed while the scope lasts.
class SimulatedClockScope {
public:
    SimulatedClockScope() { setProgramClock(&clock); }
    ~SimulatedClockScope() { setProgramClock(nullptr); }
    SimulatedClockScope(const SimulatedClockScope&) = delete;
    SimulatedClockScope& operator=(const SimulatedClockScope&) = delete;

    SimulatedClock clock;
};
