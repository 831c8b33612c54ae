#include <libusb.h>

#include "device/usbread.h"
#include "simulated_instrument_fixture.h"

namespace {

struct Reading {
    double value = -1234;
    int rangeIndex = -1;
    int overrange = -1;
    unsigned char batteryOk = 7;
    int result = 0;
};

Reading measure(int samples = 1) {
    Reading r;
    r.result = readMeasurement(r.value, r.rangeIndex, r.overrange, r.batteryOk, samples);
    return r;
}

}  // namespace

using CommandSet = SimulatedInstrument;

TEST_F(CommandSet, ReadingSendsSampleStatusAndRangeRequestsWithPause) {
    sim.setValues({125});
    const Reading r = measure();
    EXPECT_EQ(r.result, 1);
    EXPECT_DOUBLE_EQ(r.value, 125);
    const auto log = transfers();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].value, 0);
    EXPECT_EQ(log[0].length, 4);
    EXPECT_EQ(log[0].data, QByteArray("5210"));  // least significant digit first
    EXPECT_EQ(log[1].value, 1);
    EXPECT_EQ(log[2].value, 2);
    for (const auto& t : log) {
        EXPECT_EQ(t.request, 5);
        EXPECT_EQ(t.requestType, 0xC0);
        EXPECT_EQ(t.index, 0x81);
    }
    EXPECT_DOUBLE_EQ(log[1].timeMs - log[0].timeMs, 50.0);
    EXPECT_DOUBLE_EQ(clock.nowMs(), 50.0);
}

TEST_F(CommandSet, StatusDecidesSignOverrangeAndBattery) {
    sim.setValues({125});
    sim.setStatus(0x10);
    Reading r = measure();
    EXPECT_DOUBLE_EQ(r.value, -125);
    EXPECT_EQ(r.overrange, 0);
    EXPECT_EQ(r.batteryOk, 1);

    sim.setStatus(0x81);
    r = measure();
    EXPECT_DOUBLE_EQ(r.value, 125);
    EXPECT_EQ(r.overrange, 1);
    EXPECT_EQ(r.batteryOk, 0);
}

TEST_F(CommandSet, RangeBytesMapToIndicesOrPassThrough) {
    sim.setValues({1});
    const std::pair<int, int> cases[] = {{0x10, 0}, {0x40, 3},  {0x50, 4},
                                         {0x00, 0}, {0x60, 96}, {0xFF, 255}};
    for (const auto& [code, index] : cases) {
        sim.setReportedRange(static_cast<std::uint8_t>(code));
        EXPECT_EQ(measure().rangeIndex, index) << "range byte " << code;
    }
}

TEST_F(CommandSet, SamplesAreAveraged) {
    sim.setValues({100, 101});
    const Reading r = measure(2);
    EXPECT_DOUBLE_EQ(r.value, 100.5);
    EXPECT_DOUBLE_EQ(clock.nowMs(), 100.0);
}

TEST_F(CommandSet, FailedLastSampleSkipsStatusAndRange) {
    sim.setValues({4321});
    sim.setStatus(0x91);
    sim.failRegister(0, 1, LIBUSB_ERROR_IO);
    const Reading r = measure();
    EXPECT_EQ(r.result, LIBUSB_ERROR_IO);
    EXPECT_DOUBLE_EQ(r.value, 0);  // zeros of the fresh buffer
    EXPECT_EQ(r.overrange, 0);
    EXPECT_EQ(r.batteryOk, 1);
    EXPECT_EQ(r.rangeIndex, 0);
    EXPECT_EQ(transfers().size(), 1u);
}

TEST_F(CommandSet, FailedSampleCountsAsThePreviousOne) {
    sim.setValues({200, 999});
    sim.failRegister(0, 1, LIBUSB_ERROR_IO);
    // First sample fails (zeros), second answers 200: the average of 0 and 200.
    const Reading r = measure(2);
    EXPECT_DOUBLE_EQ(r.value, 100);
    EXPECT_EQ(r.result, 1);
}

TEST_F(CommandSet, FailedStatusReadGivesPositiveValueAndSkipsRange) {
    sim.setValues({77});
    sim.setStatus(0x91);
    sim.failRegister(1, 1, LIBUSB_ERROR_PIPE);
    const Reading r = measure();
    EXPECT_EQ(r.result, LIBUSB_ERROR_PIPE);
    EXPECT_DOUBLE_EQ(r.value, 77);
    EXPECT_EQ(r.overrange, 0);
    EXPECT_EQ(r.batteryOk, 1);
    EXPECT_EQ(r.rangeIndex, 0);
    EXPECT_EQ(transfers().size(), 2u);
}

TEST_F(CommandSet, ReadingWithoutInstrumentTouchesNoOutput) {
    sim.unplug();
    const Reading r = measure();
    EXPECT_EQ(r.result, 0);
    EXPECT_DOUBLE_EQ(r.value, -1234);
    EXPECT_EQ(r.rangeIndex, -1);
    EXPECT_EQ(r.overrange, -1);
    EXPECT_EQ(r.batteryOk, 7);
}

TEST_F(CommandSet, ShortSampleKeepsEarlierDigits) {
    sim.setValues({1234, 9876});
    measure();
    sim.shortRegister(0, 1, 2);
    // Bytes 0 and 1 come from 9876 ('6','7'); bytes 2 and 3 stay the zeros of the fresh buffer.
    const Reading r = measure();
    EXPECT_DOUBLE_EQ(r.value, 76);
}

TEST_F(CommandSet, SetRangeWritesTwiceWithPauseAndRecordsTheRange) {
    EXPECT_EQ(setRange(3), 1);
    const auto log = transfers();
    ASSERT_EQ(log.size(), 2u);
    for (const auto& t : log) {
        EXPECT_FALSE(t.in);
        EXPECT_EQ(t.requestType, 0x40);
        EXPECT_EQ(t.request, 2);
        EXPECT_EQ(t.value, 2);
        EXPECT_EQ(t.data, QByteArray(1, 0x40));
    }
    EXPECT_DOUBLE_EQ(log[1].timeMs - log[0].timeMs, 250.0);
    EXPECT_EQ(data.currentRange, 3);
    EXPECT_EQ(sim.rangeCode(), 0x40);
}

TEST_F(CommandSet, SetRangeSendsNoSecondWriteAfterAFailedFirst) {
    sim.failRegister(2, 1, LIBUSB_ERROR_PIPE);
    EXPECT_EQ(setRange(3), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(transfers().size(), 1u);
    EXPECT_DOUBLE_EQ(clock.nowMs(), 0.0);
    EXPECT_EQ(data.currentRange, 3);
}

TEST_F(CommandSet, SetRangeRecordsTheRangeEvenWithoutInstrument) {
    sim.unplug();
    data.currentRange = 0;
    EXPECT_EQ(setRange(4), 0);
    EXPECT_EQ(data.currentRange, 4);
    EXPECT_TRUE(transfers().empty());
}

TEST_F(CommandSet, SetModeAlwaysSendsTheSecondWrite) {
    EXPECT_EQ(setMode(2), 1);
    ASSERT_EQ(transfers().size(), 2u);
    for (const auto& write : transfers()) {
        EXPECT_EQ(write.value, 0x35);
        EXPECT_EQ(write.data, QByteArray(1, 2)) << "both writes carry the mode code";
    }
    EXPECT_DOUBLE_EQ(transfers()[1].timeMs - transfers()[0].timeMs, 50.0);
    EXPECT_EQ(sim.currentModeCode(), 2);

    sim.clearTransfers();
    sim.failRegister(0x35, 1, LIBUSB_ERROR_PIPE);
    const double before = clock.nowMs();
    EXPECT_EQ(setMode(1), LIBUSB_ERROR_PIPE);
    ASSERT_EQ(transfers().size(), 2u);        // sent again although the first failed
    EXPECT_DOUBLE_EQ(clock.nowMs(), before);  // no pause after a failed first write
    EXPECT_EQ(sim.currentModeCode(), 1);
}

TEST_F(CommandSet, ReadModeDecodesTheSecondAnswer) {
    const std::tuple<int, int, char> cases[] = {{0, 0, 'F'},    {1, 1, 'V'},     {2, 2, '4'},
                                                {0x10, 3, 'C'}, {0x07, 99, 'E'}, {0xFF, 99, 'E'}};
    for (const auto& [code, index, letter] : cases) {
        sim.setModeCode(static_cast<std::uint8_t>(code));
        sim.clearTransfers();
        int modeIndex = -1;
        char modeLetter = '?';
        EXPECT_EQ(readMode(modeIndex, modeLetter), 1);
        EXPECT_EQ(modeIndex, index);
        EXPECT_EQ(modeLetter, letter);
        // The second read, 50 ms after the first, is the one that counts.
        ASSERT_EQ(transfers().size(), 2u);
        EXPECT_DOUBLE_EQ(transfers()[1].timeMs - transfers()[0].timeMs, 50.0);
    }
}

TEST_F(CommandSet, ReadModeWithBothReadsFailingGivesE) {
    sim.failRegister(0x35, 2, LIBUSB_ERROR_PIPE);
    int modeIndex = 0;
    char modeLetter = 'F';
    EXPECT_EQ(readMode(modeIndex, modeLetter), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(modeIndex, 99);
    EXPECT_EQ(modeLetter, 'E');
}

TEST_F(CommandSet, ReadModeWithoutInstrumentSetsOnlyTheIndex) {
    sim.unplug();
    int modeIndex = 0;
    char modeLetter = 'V';
    EXPECT_EQ(readMode(modeIndex, modeLetter), 0);
    EXPECT_EQ(modeIndex, 99);
    EXPECT_EQ(modeLetter, 'V');
}

TEST_F(CommandSet, RangeAndBatteryKeepsOnlyThoseTwo) {
    sim.setValues({5});
    sim.setStatus(0x80);
    sim.setReportedRange(0x20);
    int range = -1;
    unsigned char battery = 9;
    readRangeAndBattery(range, battery);
    EXPECT_EQ(range, 1);
    EXPECT_EQ(battery, 0);
}

TEST_F(CommandSet, EveryOperationReopensSoAReplugIsFound) {
    sim.setValues({10});
    EXPECT_EQ(measure().result, 1);
    sim.unplug();
    EXPECT_EQ(measure().result, 0);
    sim.replug();
    EXPECT_EQ(measure().result, 1);
    EXPECT_EQ(sim.openCount(), 2);
}

TEST_F(CommandSet, CounterFollowsTheClock) {
    const double start = counterSeconds();
    clock.advanceMs(1500);
    EXPECT_DOUBLE_EQ(counterSeconds() - start, 1.5);
    EXPECT_GT(counterFrequency(), 0);
}
