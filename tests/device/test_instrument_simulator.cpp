#include <libusb.h>

#include <cmath>

#include "device/usbread.h"
#include "simulated_instrument_fixture.h"

using Simulator = SimulatedInstrument;

namespace {
struct Sample {
    double value = 0;
    int range = 0;
    int overrange = 0;
    unsigned char battery = 0;
};
Sample read() {
    Sample s;
    readMeasurement(s.value, s.range, s.overrange, s.battery, 1);
    return s;
}
}  // namespace

TEST_F(Simulator, LiveSignalIsPlausibleAndChangesSign) {
    bool positive = false;
    bool negative = false;
    double previous = read().value;
    int changes = 0;
    for (int i = 0; i < 400; ++i) {
        clock.advanceMs(200);
        const Sample s = read();
        ASSERT_LE(std::fabs(s.value), 2000);
        EXPECT_EQ(s.overrange, 0);
        EXPECT_EQ(s.battery, 1);
        positive |= s.value > 0;
        negative |= s.value < 0;
        changes += s.value != previous;
        previous = s.value;
    }
    EXPECT_TRUE(positive);
    EXPECT_TRUE(negative);
    EXPECT_GT(changes, 300);
}

TEST_F(Simulator, RangeRegisterReportsTheWrittenRange) {
    setRange(1);
    EXPECT_EQ(read().range, 1);
    setRange(3);
    EXPECT_EQ(read().range, 3);
}

TEST_F(Simulator, LargerRangesShowTheSameSignalWithFewerCounts) {
    setRange(3);
    const double small = read().value;
    setRange(0);
    const double large = read().value;  // type 235 field meter: 2 kV/m against 200 kV/m
    EXPECT_NEAR(large, small / 100.0, 2.0);
}

TEST_F(Simulator, AutomaticRangingReportsAFixedRange) {
    setRange(4);
    for (int i = 0; i < 50; ++i) {
        clock.advanceMs(500);
        const int range = read().range;
        EXPECT_GE(range, 0);
        EXPECT_LE(range, 3);
    }
}

TEST_F(Simulator, AdjustmentStatusIsBusyForAFewPollsThenDone) {
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    unsigned char command = 0x20;
    link.controlOut(2, 0x30, 0x81, &command, 1);
    std::vector<int> answers;
    for (int i = 0; i < 4; ++i) {
        unsigned char status = 0xEE;
        link.controlIn(5, 0x31, 0x81, &status, 1);
        answers.push_back(status);
    }
    EXPECT_EQ(answers, (std::vector<int>{1, 1, 0, 0}));
}

TEST_F(Simulator, ScriptedAdjustmentStatusesAnswerInOrderAndTheLastStays) {
    sim.setAdjustStatuses({0x01, 0xF1});
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    std::vector<int> answers;
    for (int i = 0; i < 3; ++i) {
        unsigned char status = 0;
        link.controlIn(5, 0x31, 0x81, &status, 1);
        answers.push_back(status);
    }
    EXPECT_EQ(answers, (std::vector<int>{0x01, 0xF1, 0xF1}));
}

TEST_F(Simulator, UnplugAfterLetsExactlyThatManyTransfersThrough) {
    sim.setValues({42});
    sim.unplugAfter(4);
    Sample s = read();  // three transfers
    EXPECT_DOUBLE_EQ(s.value, 42);
    double value = 0;
    int range = 0, overrange = 0;
    unsigned char battery = 0;
    // The fourth transfer still works, the fifth finds no instrument.
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(sim.transfers().size(), 5u);
    EXPECT_GT(sim.transfers()[3].result, 0);
    EXPECT_FALSE(sim.isPlugged());
    CAD_wandler link;
    EXPECT_EQ(link.openDevice(), 0);
}

TEST_F(Simulator, TimeoutCostsTheFullSecond) {
    sim.timeoutRegister(1, 1);
    const double before = clock.nowMs();
    double value = 0;
    int range = 0, overrange = 0;
    unsigned char battery = 0;
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_TIMEOUT);
    EXPECT_DOUBLE_EQ(clock.nowMs() - before, 1050.0);
}

TEST_F(Simulator, UnknownRequestsStall) {
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    unsigned char byte = 0;
    EXPECT_EQ(link.controlIn(7, 1, 0x81, &byte, 1), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(link.controlIn(5, 1, 0x80, &byte, 1), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(link.controlIn(5, 0x99, 0x81, &byte, 1), LIBUSB_ERROR_PIPE);
}

// The programs run their simulator for days; only a test that asks for it gets a log.
TEST_F(Simulator, ASimulatorNotAskedForItsLogKeepsNone) {
    InstrumentSimulator running(235);
    CAD_wandler::setBackend(&running);
    for (int i = 0; i < 100; ++i) {
        read();
    }
    EXPECT_TRUE(running.transfers().empty());
    CAD_wandler::setBackend(&sim);
}
