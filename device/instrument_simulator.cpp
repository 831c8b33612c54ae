#include "device/instrument_simulator.h"

#include <libusb.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "measure/range_tables.h"

namespace {

constexpr double pi = 3.14159265358979323846;

double clockMs() {
    ProgramClock& clock = programClock();
    const double frequency = clock.counterFrequency();
    return frequency > 0 ? clock.counterTicks() / frequency * 1000.0 : 0.0;
}

// The number of a range text in its base unit ("2kV" is 2000).
double rangeTextMagnitude(const QString& text) {
    int i = 0;
    while (i < text.size() && (text[i].isDigit() || text[i] == QLatin1Char('.'))) {
        ++i;
    }
    const double number = text.left(i).toDouble();
    return text.mid(i).startsWith(QLatin1Char('k')) ? number * 1000.0 : number;
}

int registerLength(int reg) {
    switch (reg) {
        case reg::identity:
            return identityLength;
        case reg::measuredValue:
            return sampleLength;
        default:
            return 1;
    }
}

}  // namespace

InstrumentSimulator::InstrumentSimulator(int deviceType) : type(deviceType) {
    setIdentity(QStringLiteral("12340417"), QStringLiteral("133"),
                QString::number(deviceType).rightJustified(3, QLatin1Char('0')));
}

void InstrumentSimulator::unplug() {
    plugged = false;
    unpluggedAtMs = clockMs();
}

bool InstrumentSimulator::findDevice(std::uint16_t vendorId, std::uint16_t productId,
                                     int position) {
    if (!plugged && replugDelayMs && clockMs() - unpluggedAtMs >= *replugDelayMs) {
        plugged = true;
    }
    found = plugged && vendorId == 0x16C0 && productId == 0x2B5E && position == 0;
    return found;
}

UsbBackend::DeviceHandle InstrumentSimulator::openFoundDevice() {
    if (!found || !plugged || openFails) {
        return 0;
    }
    ++opens;
    openSet.push_back(nextHandle);
    return nextHandle++;
}

int InstrumentSimulator::setConfiguration(DeviceHandle, int configuration) {
    if (!plugged) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    return (configurationFails || configuration != 1) ? LIBUSB_ERROR_BUSY : 0;
}

int InstrumentSimulator::claimInterface(DeviceHandle, int interfaceNumber) {
    if (!plugged) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    return (claimFails || interfaceNumber != 0) ? LIBUSB_ERROR_BUSY : 0;
}

void InstrumentSimulator::close(DeviceHandle handle) {
    openSet.erase(std::remove(openSet.begin(), openSet.end(), handle), openSet.end());
}

int InstrumentSimulator::controlTransfer(DeviceHandle handle, std::uint8_t requestType,
                                         std::uint8_t request, std::uint16_t value,
                                         std::uint16_t index, unsigned char* data,
                                         std::uint16_t length, unsigned int timeoutMs) {
    if (transfersUntilUnplug == 0) {
        unplug();
        transfersUntilUnplug = -1;
    }
    TransferRecord record;
    record.in = (requestType & 0x80) != 0;
    record.requestType = requestType;
    record.request = request;
    record.value = value;
    record.index = index;
    record.length = length;
    record.timeoutMs = timeoutMs;
    record.timeMs = clockMs();

    const bool handleOpen = std::find(openSet.begin(), openSet.end(), handle) != openSet.end();
    int result = 0;
    auto fault = faults.find(value);
    if (!plugged || !handleOpen) {
        result = LIBUSB_ERROR_NO_DEVICE;
    } else if (fault != faults.end() && fault->second.count > 0) {
        PendingFault& f = fault->second;
        --f.count;
        if (f.kind == PendingFault::Timeout) {
            programClock().sleepMs(static_cast<int>(timeoutMs));
            result = LIBUSB_ERROR_TIMEOUT;
        } else if (f.kind == PendingFault::Fail) {
            result = f.error;
        } else {
            const int wanted = std::min<int>(f.bytes, length);
            if (record.in) {
                unsigned char answer[64] = {};
                const int full = answerIn(value, answer, std::min<std::uint16_t>(length, 64));
                result = std::min(wanted, full);
                if (result > 0) {
                    std::memcpy(data, answer, static_cast<std::size_t>(result));
                }
            } else {
                acceptOut(value, data, static_cast<std::uint16_t>(wanted));
                result = wanted;
            }
        }
        if (f.count == 0) {
            faults.erase(fault);
        }
    } else if ((requestType == 0xC0 && request == reg::readRequest) ||
               (requestType == 0x40 && request == reg::writeRequest)) {
        if (index != 0x81) {
            result = LIBUSB_ERROR_PIPE;
        } else if (record.in) {
            result = answerIn(value, data, length);
        } else {
            acceptOut(value, data, length);
            result = length;
        }
    } else {
        // The firmware stalls every request it does not know.
        result = LIBUSB_ERROR_PIPE;
    }

    if (result > 0 && data) {
        record.data = QByteArray(reinterpret_cast<const char*>(data), result);
    }
    record.result = result;
    if (keepLog) {
        log.push_back(record);
    }
    if (transfersUntilUnplug > 0) {
        --transfersUntilUnplug;
    }
    if (transferObserver) {
        transferObserver(record);
    }
    return result;
}

int InstrumentSimulator::answerIn(std::uint16_t value, unsigned char* data, std::uint16_t length) {
    const int count = std::min<int>(length, registerLength(value));
    unsigned char answer[identityLength] = {};
    switch (value) {
        case reg::identity:
            std::memcpy(answer, identity.constData(), identityLength);
            break;
        case reg::measuredValue: {
            produceSample();
            int digits = std::abs(lastCounts);
            for (int i = 0; i < sampleLength; ++i) {
                answer[i] = static_cast<unsigned char>('0' + digits % 10);
                digits /= 10;
            }
            break;
        }
        case reg::status:
            answer[0] = statusOverride ? *statusOverride : lastStatus;
            break;
        case reg::range:
            answer[0] = rangeOverride
                            ? *rangeOverride
                            : rangeCodeFromIndex(static_cast<unsigned>(reportedRangeIndex()));
            break;
        case reg::mode:
            answer[0] = modeCode;
            break;
        case reg::adjustStatus:
            if (!adjustStatuses.empty()) {
                answer[0] = adjustStatuses[std::min(nextAdjustStatus, adjustStatuses.size() - 1)];
                if (nextAdjustStatus < adjustStatuses.size()) {
                    ++nextAdjustStatus;
                }
            } else if (storing && busyPolls > 0) {
                answer[0] = 0x01;
                --busyPolls;
            } else {
                answer[0] = 0x00;
                storing = false;
            }
            break;
        default:
            return LIBUSB_ERROR_PIPE;
    }
    std::memcpy(data, answer, static_cast<std::size_t>(count));
    return count;
}

void InstrumentSimulator::acceptOut(std::uint16_t value, const unsigned char* data,
                                    std::uint16_t length) {
    if (length < 1 || !data) {
        return;
    }
    switch (value) {
        case reg::range:
            writtenRangeCode = data[0];
            break;
        case reg::mode:
            modeCode = data[0];
            break;
        case reg::adjustCommand:
            if (data[0] == 0x20 && !storing) {
                storing = true;
                busyPolls = 2;
            }
            break;
        default:
            break;
    }
}

void InstrumentSimulator::produceSample() {
    if (!scriptedValues.empty()) {
        lastCounts = scriptedValues[std::min(nextValue, scriptedValues.size() - 1)];
        if (nextValue < scriptedValues.size()) {
            ++nextValue;
        }
        lastStatus = 0;
        return;
    }
    lastSignal = liveSignal(clockMs());
    const int rangeIndex = std::clamp(reportedRangeIndex(), 0, 3);
    const double counts = lastSignal * fullScaleOf(3) / fullScaleOf(rangeIndex);
    const bool overrange = std::fabs(counts) >= 2200.0;
    lastCounts = static_cast<int>(std::min(std::fabs(std::round(counts)), 9999.0));
    lastStatus = static_cast<std::uint8_t>((counts < 0 ? statusNegative : 0) |
                                           (overrange ? statusOverrange : 0));
}

double InstrumentSimulator::liveSignal(double timeMs) {
    // A slow wave that changes sign now and then, with a little noise; up to ~1500 counts.
    noiseState = noiseState * 1103515245u + 12345u;
    const double noise = (static_cast<double>((noiseState >> 8) % 1000) / 1000.0 - 0.5) * 10.0;
    return 1200.0 * std::sin(2 * pi * timeMs / 40000.0) +
           300.0 * std::sin(2 * pi * timeMs / 7000.0) + noise;
}

double InstrumentSimulator::fullScaleOf(int rangeIndex) const {
    static const RangeTables tables = [] {
        RangeTables t;
        t.fillRangeTables();
        return t;
    }();
    int table = 0;
    switch (type) {
        case 115:
            table = modeCode == 0 ? 0 : 1;
            break;
        case 235:
            table = modeCode == 1 ? 3 : modeCode == 2 ? 4 : 2;
            break;
        case 255:
            table = modeCode == 1 ? 6 : 5;
            break;
        default:
            table = 0;
            break;
    }
    return rangeTextMagnitude(tables.rangeTexts[table][std::clamp(rangeIndex, 0, 3)]);
}

int InstrumentSimulator::reportedRangeIndex() const {
    const int written = rangeIndexFromCode(writtenRangeCode);
    if (written != 4) {
        return written;
    }
    // Automatic ranging: the smallest fixed range that holds the signal.
    const double signal = std::fabs(lastSignal) * fullScaleOf(3);
    for (int r = 3; r > 0; --r) {
        if (signal / fullScaleOf(r) < 1900.0) {
            return r;
        }
    }
    return 0;
}

void InstrumentSimulator::setSerialNumber(const QString& serialNumber) {
    identity.replace(0, 8, serialNumber.toLatin1().leftJustified(8, ' ', true));
}

void InstrumentSimulator::setIdentity(const QString& serialNumber, const QString& softwareVersion,
                                      const QString& deviceType) {
    QByteArray block = serialNumber.toLatin1().leftJustified(8, ' ', true);
    block += softwareVersion.toLatin1().leftJustified(3, ' ', true);
    block += ' ';
    block += deviceType.toLatin1().leftJustified(3, ' ', true);
    identity = block;
    bool ok = false;
    const int parsed = deviceType.toInt(&ok);
    if (ok) {
        type = parsed;
    }
}

void InstrumentSimulator::setIdentityBlock(const QByteArray& block) {
    identity = block.leftJustified(identityLength, '\0', true);
    bool ok = false;
    const int parsed = identity.mid(12, 3).toInt(&ok);
    if (ok) {
        type = parsed;
    }
}

void InstrumentSimulator::setValues(const std::vector<int>& counts) {
    scriptedValues = counts;
    nextValue = 0;
}

void InstrumentSimulator::setStatus(std::optional<std::uint8_t> status) {
    statusOverride = status;
}

void InstrumentSimulator::setReportedRange(std::optional<std::uint8_t> rangeCode) {
    rangeOverride = rangeCode;
}

void InstrumentSimulator::setAdjustStatuses(const std::vector<std::uint8_t>& statuses) {
    adjustStatuses = statuses;
    nextAdjustStatus = 0;
}

void InstrumentSimulator::failRegister(int reg, int count, int error) {
    faults[reg] = PendingFault{PendingFault::Fail, count, error, 0};
}

void InstrumentSimulator::shortRegister(int reg, int count, int bytes) {
    faults[reg] = PendingFault{PendingFault::Short, count, 0, bytes};
}

void InstrumentSimulator::timeoutRegister(int reg, int count) {
    faults[reg] = PendingFault{PendingFault::Timeout, count, 0, 0};
}
