#pragma once

// Time as the device link and the measuring loops see it: the high-resolution
// counter and the millisecond sleep. Tests swap in a simulated clock.
class ProgramClock {
public:
    virtual ~ProgramClock() = default;
    // Ticks per second, or -1 when the counter is not available.
    virtual double counterFrequency() = 0;
    // Counter reading in ticks, or a negative value when the counter is not available.
    virtual double counterTicks() = 0;
    virtual void sleepMs(int milliseconds) = 0;
    // True when time only moves when someone advances it (sleeps, simulated waits).
    virtual bool isSimulated() const { return false; }
    // Moves simulated time on; a real clock ignores it.
    virtual void advanceMs(double) {}
};

// Monotonic clock with nanosecond ticks.
class SteadyClock : public ProgramClock {
public:
    double counterFrequency() override;
    double counterTicks() override;
    void sleepMs(int milliseconds) override;
};

// Time that advances only through sleepMs and advanceMs; for tests and benchmarks.
class SimulatedClock : public ProgramClock {
public:
    double counterFrequency() override { return 1e6; }
    double counterTicks() override { return nowUs; }
    void sleepMs(int milliseconds) override;
    bool isSimulated() const override { return true; }
    void advanceMs(double milliseconds) override;
    double nowMs() const { return nowUs / 1000.0; }

private:
    double nowUs = 0.0;
};

// The clock in use: a SteadyClock unless one was installed.
ProgramClock& programClock();
// Installs a clock (not owned); nullptr returns to the steady clock.
void setProgramClock(ProgramClock* clock);
