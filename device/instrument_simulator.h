#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "device/usb_backend.h"

// One control transfer as the simulated instrument saw it.
struct TransferRecord {
    bool in = false;
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
    unsigned int timeoutMs = 0;
    QByteArray data;  // bytes sent (OUT) or returned (IN)
    int result = 0;
    double timeMs = 0;  // program clock when the transfer was made
};

// An instrument of the family behind the backend interface: it answers the register model of
// the command set with state, produces a live signal, logs transfers on request and injects
// faults.
class InstrumentSimulator : public UsbBackend {
public:
    explicit InstrumentSimulator(int deviceType = 235);

    // UsbBackend
    // The simulator is one instrument, at the first position.
    bool findDevice(std::uint16_t vendorId, std::uint16_t productId, int position) override;
    DeviceHandle openFoundDevice() override;
    int setConfiguration(DeviceHandle handle, int configuration) override;
    int claimInterface(DeviceHandle handle, int interfaceNumber) override;
    int controlTransfer(DeviceHandle handle, std::uint8_t requestType, std::uint8_t request,
                        std::uint16_t value, std::uint16_t index, unsigned char* data,
                        std::uint16_t length, unsigned int timeoutMs) override;
    void close(DeviceHandle handle) override;

    // Identity: serial (8), version (3) and type (3) characters; or the raw 15-byte block.
    void setIdentity(const QString& serialNumber, const QString& softwareVersion,
                     const QString& deviceType);
    void setIdentityBlock(const QByteArray& block);
    // Replaces the serial number only (up to 8 characters).
    void setSerialNumber(const QString& serialNumber);
    QByteArray identityBlock() const { return identity; }

    // The next samples answer these counts in order; the last one stays.
    void setValues(const std::vector<int>& counts);
    // A sticky status byte replaces the one the live signal produces.
    void setStatus(std::optional<std::uint8_t> status);
    // A sticky range byte reported whatever was written.
    void setReportedRange(std::optional<std::uint8_t> rangeCode);
    void setModeCode(std::uint8_t code) { modeCode = code; }
    // Answers of the adjustment status register in order; the last one stays.
    void setAdjustStatuses(const std::vector<std::uint8_t>& statuses);

    // Faults.
    void unplug();
    void replug() { plugged = true; }
    // The instrument disappears after this many further transfers.
    void unplugAfter(int transfers) { transfersUntilUnplug = transfers; }
    // From now on the instrument comes back this many ms of program-clock time after it
    // disappeared; it is found again by the first search after that.
    void replugAfterMs(double milliseconds) { replugDelayMs = milliseconds; }
    // The next `count` transfers to the register fail with `error`.
    void failRegister(int reg, int count, int error);
    // The next `count` transfers to the register move only `bytes` bytes.
    void shortRegister(int reg, int count, int bytes);
    // The next `count` transfers to the register time out after the full timeout.
    void timeoutRegister(int reg, int count);
    void failOpen(bool fail) { openFails = fail; }
    void failConfiguration(bool fail) { configurationFails = fail; }
    void failClaim(bool fail) { claimFails = fail; }

    // Called after every transfer, e.g. for a test to act as the operator at a chosen moment.
    void setTransferObserver(std::function<void(const TransferRecord&)> observer) {
        transferObserver = std::move(observer);
    }

    // What happened: only a simulator asked to keep its log has one, as the log grows with
    // every transfer and a program may run the simulator for days.
    void keepTransferLog(bool keep) { keepLog = keep; }
    const std::vector<TransferRecord>& transfers() const { return log; }
    void clearTransfers() { log.clear(); }
    int openCount() const { return opens; }
    int openHandles() const { return static_cast<int>(openSet.size()); }
    std::uint8_t rangeCode() const { return writtenRangeCode; }
    std::uint8_t currentModeCode() const { return modeCode; }
    bool isPlugged() const { return plugged; }

private:
    struct PendingFault {
        enum Kind { Fail, Short, Timeout } kind = Fail;
        int count = 0;
        int error = 0;
        int bytes = 0;
    };

    int answerIn(std::uint16_t value, unsigned char* data, std::uint16_t length);
    void acceptOut(std::uint16_t value, const unsigned char* data, std::uint16_t length);
    // The live signal in counts of the smallest range at the given time.
    double liveSignal(double timeMs);
    double fullScaleOf(int rangeIndex) const;
    int reportedRangeIndex() const;
    void produceSample();

    QByteArray identity;
    int type;
    bool plugged = true;
    bool found = false;
    bool openFails = false;
    bool configurationFails = false;
    bool claimFails = false;
    int transfersUntilUnplug = -1;
    std::optional<double> replugDelayMs;
    double unpluggedAtMs = 0.0;
    int opens = 0;
    DeviceHandle nextHandle = 1;
    std::vector<DeviceHandle> openSet;
    std::map<int, PendingFault> faults;
    bool keepLog = false;
    std::vector<TransferRecord> log;
    std::function<void(const TransferRecord&)> transferObserver;

    std::vector<int> scriptedValues;
    std::size_t nextValue = 0;
    std::optional<std::uint8_t> statusOverride;
    std::optional<std::uint8_t> rangeOverride;
    std::vector<std::uint8_t> adjustStatuses;
    std::size_t nextAdjustStatus = 0;
    bool storing = false;
    int busyPolls = 0;

    std::uint8_t writtenRangeCode = 0x40;
    std::uint8_t modeCode = 0;
    std::uint8_t lastStatus = 0;
    int lastCounts = 0;
    double lastSignal = 0;  // live signal in counts of the smallest range
    unsigned noiseState = 12345;
};
