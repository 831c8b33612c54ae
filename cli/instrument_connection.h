#pragma once

#include <QString>
#include <memory>

#include "cli/cli_options.h"
#include "device/usb_backend.h"
#include "recording/printable_text.h"
#include "state/device_identity.h"

class LibusbBackend;

// The instrument a command talks to: the USB bus through libusb, or the simulator for
// --simulate and --scenario. Installs itself as the device link's backend while it lives.
class InstrumentConnection {
public:
    InstrumentConnection() = default;
    ~InstrumentConnection();
    InstrumentConnection(const InstrumentConnection&) = delete;
    InstrumentConnection& operator=(const InstrumentConnection&) = delete;

    // False with a message when the scenario file cannot be read or has a bad line.
    bool start(const CliOptions& options, QString& error);

    // "No connection to the USB device!", with the libusb step that failed, if any.
    QString noConnectionMessage() const;

private:
    std::unique_ptr<UsbBackend> backend;
    LibusbBackend* libusb = nullptr;
};

// openDevice, then readIdentity, as "Device info" does; false when either fails.
bool openAndIdentify(DeviceIdentity& identity);

// The battery state, which only 235 and 255 report (115 is not asked, as in "Device info").
// The result of the reading, or 1 when there was none to make.
int readBatteryState(int deviceType, bool& hasBattery, bool& batteryOk);

// The device types whose modes and ranges this program knows.
bool isKnownDeviceType(int deviceType);
