#include "ui/event_pump.h"
#include "device/usbread.h"
#include "tests/support/simulated_clock_scope.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace {

double elapsedMsSince(double startSeconds) {
    return (counterSeconds() - startSeconds) * 1000.0;
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The measuring loops' wait, with the display window's whole-millisecond cycle time.
uint32_t waitForCycleEnd(double cycleStart, uint32_t samplingMs, const bool& breakRequested) {
    uint32_t cycleTime = 0;
    do {
        cycleTime = static_cast<uint32_t>((counterSeconds() - cycleStart) * 1000.0);
        if (breakRequested) {
            cycleTime = samplingMs;
        }
        letEventsRunFor(static_cast<double>(samplingMs) - cycleTime);
    } while (cycleTime < samplingMs);
    return cycleTime;
}

TEST(EventPumpSimulated, WaitRunsPendingEventsAndMovesTheClock) {
    SimulatedClockScope simulated;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });

    letEventsRunFor(200.0);
    EXPECT_TRUE(ran);
    EXPECT_GE(simulated.clock.nowMs(), 200.0);
    EXPECT_LT(simulated.clock.nowMs(), 200.1);

    const double before = simulated.clock.nowMs();
    letEventsRunFor(-3.0);
    EXPECT_GT(simulated.clock.nowMs(), before) << "a waiting loop must always progress";
}

TEST(EventPumpSimulated, CycleEndsAfterTheSamplingTimeFromAnyStart) {
    const bool breakRequested = false;
    // Starts whose seconds are not exact in binary must not cost an extra millisecond.
    for (const double startMs : {0.0, 50.0, 300.0, 1234.0}) {
        SimulatedClockScope simulated;
        simulated.clock.advanceMs(startMs);
        const double cycleStart = counterSeconds();
        EXPECT_EQ(waitForCycleEnd(cycleStart, 200, breakRequested), 200u) << "start " << startMs;
        EXPECT_LT(simulated.clock.nowMs() - startMs, 200.1) << "start " << startMs;
    }
}

TEST(EventPumpRealClock, IdleWaitKeepsTheDeadlineWithoutSpinning) {
    const bool breakRequested = false;
    const double cpuStart = cpuMs();
    const double cycleStart = counterSeconds();

    const unsigned measured = waitForCycleEnd(cycleStart, 120, breakRequested);
    EXPECT_GE(measured, 120u);
    const double elapsed = elapsedMsSince(cycleStart);
    EXPECT_LE(measured, elapsed);
    EXPECT_GE(elapsed, 120.0);
    // Generous: the suite runs in parallel with other tests on a busy machine.
    EXPECT_LT(elapsed, 220.0);
    EXPECT_LT(cpuMs() - cpuStart, 30.0) << "the wait must sleep, not spin";

    const double start = counterSeconds();
    letEventsRunFor(40.0);
    EXPECT_LT(elapsedMsSince(start), 120.0) << "one wait must not outlast its time";
}

TEST(EventPumpRealClock, WaitEndsEarlyWhenAnEventArrives) {
    bool breakRequested = false;
    QTimer::singleShot(20, [&] { breakRequested = true; });
    const double cycleStart = counterSeconds();

    EXPECT_EQ(waitForCycleEnd(cycleStart, 400, breakRequested), 400u);
    EXPECT_LT(elapsedMsSince(cycleStart), 120.0);
}

TEST(EventPumpRealClock, EventPostedFromAnotherThreadEndsTheWait) {
    bool handled = false;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    });
    const double start = counterSeconds();
    while (!handled && elapsedMsSince(start) < 400.0) {
        letEventsRunFor(400.0 - elapsedMsSince(start));
    }
    const double elapsed = elapsedMsSince(start);
    poster.join();

    EXPECT_TRUE(handled);
    EXPECT_LT(elapsed, 150.0);
}

}  // namespace
