#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The setup packet of one control transfer.
struct ControlSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;

    bool isIn() const { return (requestType & 0x80) != 0; }
};

// What the instrument makes of one control transfer.
struct ControlAnswer {
    enum Outcome { Done, Stall, NoAnswer } outcome = Done;
    // Bytes returned by a read; a write moves setup.length bytes.
    std::vector<std::uint8_t> data;
};

// A control transfer as the instrument saw it.
struct SeenTransfer {
    ControlSetup setup;
    std::vector<std::uint8_t> data;  // bytes written (OUT) or answered (IN)
};

// The instrument behind the emulated USB device: its register model, the USB requests it
// takes part in, and faults to inject. Called from umockdev's thread and from the test,
// so every member locks.
class EmulatedInstrument {
public:
    static constexpr std::uint16_t vendorId = 0x16C0;
    static constexpr std::uint16_t productId = 0x2B5E;

    explicit EmulatedInstrument(std::string serialNumber = "12340417");

    // Bus side.
    ControlAnswer control(const ControlSetup& setup, const std::uint8_t* outData);
    // 0, or the errno the kernel reports for SET_CONFIGURATION.
    int setConfiguration(unsigned int configuration);
    void noteIoctl();
    // Name of the kernel driver bound to the interface; empty when none.
    std::string boundDriver() const;
    void detachDriver();

    // Register contents.
    // Magnitude 0..9999, sent as four ASCII digits, least significant first.
    void setMeasuredValue(int counts);
    void setStatus(std::uint8_t status);
    void setRangeCode(std::uint8_t code);
    std::uint8_t rangeCode() const;

    // Faults, each until cleared.
    void stallRegister(int reg);
    // Reads of the register return at most this many bytes.
    void answerShort(int reg, std::size_t bytes);
    void neverAnswer(int reg);
    void clearFaults();
    void rejectConfiguration(int errnoValue);
    void bindDriver(const std::string& name);

    // What happened.
    std::vector<SeenTransfer> transfers() const;
    int ioctlCount() const;
    int configurationsSet() const;

private:
    struct Fault {
        ControlAnswer::Outcome outcome = ControlAnswer::Stall;
        std::size_t shortLength = 0;
    };

    std::vector<std::uint8_t> readRegister(std::uint16_t reg) const;
    bool writeRegister(std::uint16_t reg, const std::uint8_t* data, std::uint16_t length);

    mutable std::mutex mutex;
    std::string serial;
    std::string digits = "0000";
    std::uint8_t status = 0;
    std::uint8_t range = 0x20;
    std::uint8_t mode = 0;
    std::map<int, Fault> faults;
    int configurationErrno = 0;
    std::string driver;
    std::vector<SeenTransfer> log;
    int ioctls = 0;
    int configurations = 0;
};
