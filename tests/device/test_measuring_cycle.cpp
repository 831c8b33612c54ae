#include <algorithm>

#include "device/measuring_cycle.h"
#include "simulated_instrument_fixture.h"

using MeasuringCycleTest = SimulatedInstrument;

TEST_F(MeasuringCycleTest, StartKeepsTheRangeBeforeWhenTheInstrumentDoesNotAnswer) {
    MeasuringCycle cycle(WindowKind::Chart);
    sim.unplug();
    const DeviceReading first = cycle.sendStartRange(4, 2);
    EXPECT_LT(first.result, 1);
    EXPECT_EQ(first.reading.rangeIndex, 2);
}

// Only the display sends an operator's range click before the reading; the chart leaves it
// to the forcing after the reading.
TEST_F(MeasuringCycleTest, RangeClickIsSentBeforeTheReadingByTheDisplayOnly) {
    for (const WindowKind kind : {WindowKind::Display, WindowKind::Chart}) {
        MeasuringCycle cycle(kind);
        data.currentRange = 1;
        cycle.beginCycles();
        data.currentRange = 2;
        sim.clearTransfers();
        EXPECT_EQ(cycle.read().result, 1);
        const auto log = transfers();
        const bool sentFirst = !log.empty() && !log.front().in;
        EXPECT_EQ(sentFirst, kind == WindowKind::Display);
    }
}

TEST_F(MeasuringCycleTest, WaitRunsUntilTheSamplingTimeHasPassedSinceTheCycleBegan) {
    MeasuringCycle cycle(WindowKind::Chart);
    cycle.read();
    const double begun = cycle.cycleStart() * 1000.0;
    bool breakRequested = false;
    int waits = 0;
    // Each wait lets only part of the time pass, so the cycle must wait again.
    const double length = cycle.waitForCycleEnd([] { return 300.0; }, breakRequested,
                                                [&](double ms) {
                                                    ++waits;
                                                    clock.advanceMs(std::max(ms, 0.0) / 2 + 1);
                                                });
    EXPECT_GE(length, 300.0);
    EXPECT_GE(clock.nowMs() - begun, 300.0);
    EXPECT_GT(waits, 1);
}

TEST_F(MeasuringCycleTest, BreakEndsTheWaitAtOnceAsTheWholeSamplingTime) {
    MeasuringCycle cycle(WindowKind::Display);
    cycle.read();
    const double before = clock.nowMs();
    const bool breakRequested = true;
    std::vector<double> waited;
    const double length = cycle.waitForCycleEnd([] { return 6000.0; }, breakRequested,
                                                [&](double ms) { waited.push_back(ms); });
    EXPECT_EQ(length, 6000.0);
    EXPECT_EQ(waited, std::vector<double>{0.0});
    EXPECT_EQ(clock.nowMs(), before);
}

// Depiction and limit belong to the display: the chart evaluates in the maximum depiction.
TEST_F(MeasuringCycleTest, MinimumDepictionReachesTheDisplaysEvaluationOnly) {
    data.deviceType = 235;
    data.displayDepiction = 1;
    data.limit = 30;
    const ShownSelection shown{'F', {}, 5};
    const EvaluationInput display = evaluationInput(WindowKind::Display, Reading{}, shown);
    const EvaluationInput chart = evaluationInput(WindowKind::Chart, Reading{}, shown);
    EXPECT_EQ(display.displayDepiction, 1);
    EXPECT_EQ(display.limit, 30);
    EXPECT_EQ(chart.displayDepiction, 0);
    EXPECT_EQ(display.deviceType, 235);
}
