#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "device/cad_wandler.h"
#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "device/usb_backend.h"
#include "device/usbread.h"
#include "fuzz/fuzz_check.h"

namespace {

struct Transfer {
    bool in = false;
    std::uint16_t value = 0;
    std::uint16_t length = 0;
    int result = 0;
    std::vector<unsigned char> bytes;  // what the answer put into the buffer
};

// An instrument whose every answer comes from the fuzz input: an error code, or any number of
// any bytes up to the length asked for. Opening may fail at any of its stages.
class AnswerStream : public UsbBackend {
public:
    explicit AnswerStream(FuzzedDataProvider& input) : input(input) {
        const auto fault = input.ConsumeIntegral<std::uint8_t>();
        failingStage = fault < 16 ? fault % 4 + 1 : 0;
    }

    bool opens() const { return failingStage == 0; }
    std::vector<Transfer> transfers;

    bool findDevice(std::uint16_t, std::uint16_t, int) override { return failingStage != 1; }
    DeviceHandle openFoundDevice() override { return failingStage == 2 ? 0 : 7; }
    int setConfiguration(DeviceHandle, int) override { return failingStage == 3 ? -6 : 0; }
    int claimInterface(DeviceHandle, int) override { return failingStage == 4 ? -6 : 0; }
    void close(DeviceHandle) override {}

    int controlTransfer(DeviceHandle, std::uint8_t requestType, std::uint8_t, std::uint16_t value,
                        std::uint16_t, unsigned char* data, std::uint16_t length,
                        unsigned int) override {
        static const int errors[] = {-1, -4, -6, -7, -9, -99};
        Transfer transfer;
        transfer.in = (requestType & 0x80) != 0;
        transfer.value = value;
        transfer.length = length;
        const auto kind = input.ConsumeIntegral<std::uint8_t>();
        if (kind < 24) {
            transfer.result = errors[kind % std::size(errors)];
        } else {
            const auto wanted = input.ConsumeIntegralInRange<std::size_t>(0, length);
            transfer.bytes = input.ConsumeBytes<unsigned char>(wanted);
            std::copy(transfer.bytes.begin(), transfer.bytes.end(), data);
            transfer.result = static_cast<int>(transfer.bytes.size());
        }
        transfers.push_back(transfer);
        return transfer.result;
    }

private:
    FuzzedDataProvider& input;
    int failingStage = 0;
};

int expectedRangeIndex(unsigned char code) {
    return code % 0x10 == 0 && code >= 0x10 && code <= 0x50 ? code / 0x10 - 1 : code;
}

void expectedMode(unsigned char code, int& index, char& letter) {
    static const std::pair<unsigned char, char> modes[] = {
        {0, 'F'}, {1, 'V'}, {2, '4'}, {0x10, 'C'}};
    index = 99;
    letter = 'E';
    for (int i = 0; i < 4; ++i) {
        if (modes[i].first == code) {
            index = i;
            letter = modes[i].second;
        }
    }
}

// The byte a one-byte read leaves in a buffer that held `before`.
unsigned char byteAfter(const Transfer& transfer, unsigned char before) {
    return transfer.bytes.empty() ? before : transfer.bytes[0];
}

void checkMeasurement(AnswerStream& stream, int sampleCount) {
    double value = 1234.5;
    int rangeIndex = -7, overrange = -7;
    unsigned char batteryOk = 7;
    const int result = readMeasurement(value, rangeIndex, overrange, batteryOk, sampleCount);
    const std::vector<Transfer>& log = stream.transfers;
    if (!stream.opens()) {
        check(result == 0 && log.empty(), "a link that does not open gives 0 and no transfer");
        check(value == 1234.5 && rangeIndex == -7 && overrange == -7 && batteryOk == 7,
              "a link that does not open leaves the outputs untouched");
        return;
    }

    const std::size_t samples = sampleCount < 1 ? 1 : static_cast<std::size_t>(sampleCount);
    check(log.size() >= samples, "every sample is read, failed or not");
    unsigned char digits[sampleLength] = {};
    double sum = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        check(log[i].in && log[i].value == reg::measuredValue && log[i].length == sampleLength,
              "a sample is a 4-byte read of register 0");
        // A failed or short answer keeps the previous sample's digits in the buffer.
        std::copy(log[i].bytes.begin(), log[i].bytes.end(), digits);
        int counts = 0;
        for (int d = sampleLength - 1; d >= 0; --d) {
            if (digits[d] < '0' || digits[d] > '9') {
                digits[d] = '0';
            }
            counts = 10 * counts + (digits[d] - '0');
        }
        sum += counts;
    }

    int last = log[samples - 1].result;
    std::size_t next = samples;
    unsigned char status = 0, range = 0;
    if (last > 0) {
        check(next < log.size() && log[next].value == reg::status && log[next].length == 1,
              "the status is read after a good last sample");
        status = byteAfter(log[next], 0);
        last = log[next++].result;
    }
    if (last > 0) {
        check(next < log.size() && log[next].value == reg::range && log[next].length == 1,
              "the range is read after a good status");
        range = byteAfter(log[next], 0);
        last = log[next++].result;
    }
    check(next == log.size(), "no other transfer is made");
    check(result == last, "the result is that of the last transfer");

    const double average = sum / static_cast<double>(samples);
    check(std::fabs(std::fabs(value) - average) <= 1e-9 * std::max(1.0, average),
          "the value is the average of the samples");
    check(std::signbit(value) == ((status & statusNegative) != 0), "status bit 4 gives the sign");
    check(overrange == ((status & statusOverrange) ? 1 : 0), "status bit 0 is the overrange");
    check(batteryOk == ((status & statusBatteryLow) ? 0 : 1), "status bit 7 is a low battery");
    check(rangeIndex == expectedRangeIndex(range), "the range byte maps to its index");
}

void checkMode(AnswerStream& stream) {
    int modeIndex = -7;
    char modeLetter = '?';
    const int result = readMode(modeIndex, modeLetter);
    const std::vector<Transfer>& log = stream.transfers;
    if (!stream.opens()) {
        check(result == 0 && log.empty() && modeIndex == 99 && modeLetter == '?',
              "a mode read that cannot open gives 0 and mode index 99");
        return;
    }
    check(log.size() == 2 && log[0].value == reg::mode && log[1].value == reg::mode,
          "the mode is read twice");
    int index = 0;
    char letter = 0;
    expectedMode(byteAfter(log[1], byteAfter(log[0], 99)), index, letter);
    check(result == log[0].result, "the result is that of the first read");
    check(modeIndex == index && modeLetter == letter, "the last code read gives the mode");
}

}  // namespace

// Input: the number of samples, then the instrument's answers to a measurement and to a mode
// read, each as it comes: link faults, error codes, short answers and any bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SimulatedClock clock;
    setProgramClock(&clock);
    FuzzedDataProvider input(data, size);
    const int sampleCount = input.ConsumeIntegralInRange<int>(-1, 6);

    AnswerStream measurement(input);
    CAD_wandler::setBackend(&measurement);
    checkMeasurement(measurement, sampleCount);

    AnswerStream mode(input);
    CAD_wandler::setBackend(&mode);
    checkMode(mode);
    CAD_wandler::setBackend(nullptr);
    return 0;
}
