#include "emulated_instrument.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {
constexpr std::uint8_t readType = 0xC0;
constexpr std::uint8_t writeType = 0x40;
constexpr std::uint8_t readRequest = 5;
constexpr std::uint8_t writeRequest = 2;
constexpr std::uint16_t registerIndex = 0x81;

constexpr std::uint16_t measuredValueRegister = 0;
constexpr std::uint16_t statusRegister = 1;
constexpr std::uint16_t rangeRegister = 2;
constexpr std::uint16_t identityRegister = 10;
constexpr std::uint16_t adjustCommandRegister = 0x30;
constexpr std::uint16_t modeRegister = 0x35;
}  // namespace

EmulatedInstrument::EmulatedInstrument(std::string serialNumber)
    : serial(std::move(serialNumber)) {}

ControlAnswer EmulatedInstrument::control(const ControlSetup& setup, const std::uint8_t* outData) {
    std::lock_guard<std::mutex> lock(mutex);
    SeenTransfer seen{setup, {}};
    if (!setup.isIn() && outData) {
        seen.data.assign(outData, outData + setup.length);
    }

    ControlAnswer answer;
    const bool read = setup.requestType == readType && setup.request == readRequest;
    const bool write = setup.requestType == writeType && setup.request == writeRequest;
    const auto fault = faults.find(setup.value);
    // Anything outside the register protocol stalls, as the firmware does.
    if (setup.index != registerIndex || (!read && !write)) {
        answer.outcome = ControlAnswer::Stall;
    } else if (fault != faults.end() && fault->second.outcome != ControlAnswer::Done) {
        answer.outcome = fault->second.outcome;
    } else if (read) {
        answer.data = readRegister(setup.value);
        std::size_t length = std::min<std::size_t>(answer.data.size(), setup.length);
        if (fault != faults.end()) {
            length = std::min(length, fault->second.shortLength);
        }
        if (answer.data.empty()) {
            answer.outcome = ControlAnswer::Stall;
        }
        answer.data.resize(length);
    } else if (!writeRegister(setup.value, outData, setup.length)) {
        answer.outcome = ControlAnswer::Stall;
    }
    if (answer.outcome == ControlAnswer::Done && read) {
        seen.data = answer.data;
    }
    log.push_back(seen);
    return answer;
}

std::vector<std::uint8_t> EmulatedInstrument::readRegister(std::uint16_t reg) const {
    switch (reg) {
        case identityRegister: {
            const std::string block = serial + "133" + ' ' + "235";
            return std::vector<std::uint8_t>(block.begin(), block.end());
        }
        case measuredValueRegister:
            return std::vector<std::uint8_t>(digits.rbegin(), digits.rend());
        case statusRegister:
            return {status};
        case rangeRegister:
            return {range};
        case modeRegister:
            return {mode};
        default:
            return {};
    }
}

bool EmulatedInstrument::writeRegister(std::uint16_t reg, const std::uint8_t* data,
                                       std::uint16_t length) {
    if (length != 1 || !data) {
        return false;
    }
    switch (reg) {
        case rangeRegister:
            range = data[0];
            return true;
        case modeRegister:
            mode = data[0];
            return true;
        case adjustCommandRegister:
            return true;
        default:
            return false;
    }
}

int EmulatedInstrument::setConfiguration(unsigned int) {
    std::lock_guard<std::mutex> lock(mutex);
    ++configurations;
    return driver.empty() ? configurationErrno : EBUSY;
}

void EmulatedInstrument::noteIoctl() {
    std::lock_guard<std::mutex> lock(mutex);
    ++ioctls;
}

std::string EmulatedInstrument::boundDriver() const {
    std::lock_guard<std::mutex> lock(mutex);
    return driver;
}

void EmulatedInstrument::detachDriver() {
    std::lock_guard<std::mutex> lock(mutex);
    driver.clear();
}

void EmulatedInstrument::setMeasuredValue(int counts) {
    std::lock_guard<std::mutex> lock(mutex);
    char text[8];
    std::snprintf(text, sizeof text, "%04d", std::clamp(counts, 0, 9999));
    digits = text;
}

void EmulatedInstrument::setStatus(std::uint8_t value) {
    std::lock_guard<std::mutex> lock(mutex);
    status = value;
}

void EmulatedInstrument::setRangeCode(std::uint8_t code) {
    std::lock_guard<std::mutex> lock(mutex);
    range = code;
}

std::uint8_t EmulatedInstrument::rangeCode() const {
    std::lock_guard<std::mutex> lock(mutex);
    return range;
}

void EmulatedInstrument::stallRegister(int reg) {
    std::lock_guard<std::mutex> lock(mutex);
    faults[reg] = Fault{ControlAnswer::Stall, 0};
}

void EmulatedInstrument::answerShort(int reg, std::size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex);
    faults[reg] = Fault{ControlAnswer::Done, bytes};
}

void EmulatedInstrument::neverAnswer(int reg) {
    std::lock_guard<std::mutex> lock(mutex);
    faults[reg] = Fault{ControlAnswer::NoAnswer, 0};
}

void EmulatedInstrument::clearFaults() {
    std::lock_guard<std::mutex> lock(mutex);
    faults.clear();
}

void EmulatedInstrument::rejectConfiguration(int errnoValue) {
    std::lock_guard<std::mutex> lock(mutex);
    configurationErrno = errnoValue;
}

void EmulatedInstrument::bindDriver(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex);
    driver = name;
}

std::vector<SeenTransfer> EmulatedInstrument::transfers() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

int EmulatedInstrument::ioctlCount() const {
    std::lock_guard<std::mutex> lock(mutex);
    return ioctls;
}

int EmulatedInstrument::configurationsSet() const {
    std::lock_guard<std::mutex> lock(mutex);
    return configurations;
}
