#pragma once

#include <set>
#include <string>

#include "device/usb_backend.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

// Why the last opening of the instrument failed, for a message on stderr.
struct OpenProblem {
    // A device with both identifiers was on the bus at the last scan.
    bool deviceFound = false;
    // The libusb call that failed ("libusb_init", "libusb_get_device_list", "libusb_open",
    // "libusb_set_configuration", "libusb_claim_interface"); empty when none did.
    std::string failedCall;
    // Its LIBUSB_ERROR_* code.
    int errorCode = 0;
};

// One line for the operator's terminal, e.g. "instrument found; libusb_open failed:
// LIBUSB_ERROR_ACCESS"; empty when nothing failed.
std::string describeOpenProblem(const OpenProblem& problem);

// The device link on a real bus through libusb-1.0. One libusb context serves the whole run;
// it is created at the first scan, so a test bed can be set up before it.
class LibusbBackend : public UsbBackend {
public:
    LibusbBackend() = default;
    ~LibusbBackend() override;
    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    // Takes a fresh device list and remembers the matching device at `position` by bus
    // number, then by device address; it is the only one opened, whatever happens to it.
    bool findDevice(std::uint16_t vendorId, std::uint16_t productId, int position) override;
    std::pair<int, int> foundBusAddress() const override;
    DeviceHandle openFoundDevice() override;
    // Detaches kernel drivers from the active configuration's interfaces first, since the
    // kernel refuses a configuration change while a driver holds an interface.
    int setConfiguration(DeviceHandle handle, int configuration) override;
    int claimInterface(DeviceHandle handle, int interfaceNumber) override;
    int controlTransfer(DeviceHandle handle, std::uint8_t requestType, std::uint8_t request,
                        std::uint16_t value, std::uint16_t index, unsigned char* data,
                        std::uint16_t length, unsigned int timeoutMs) override;
    // Closes without releasing the interface; closing the file gives it back.
    void close(DeviceHandle handle) override;

    // Reset by every findDevice; filled by the step of the opening that failed.
    const OpenProblem& lastOpenProblem() const { return problem; }

private:
    libusb_context* context();
    libusb_device_handle* openHandle(DeviceHandle handle) const;
    void forgetFoundDevice();
    int recordFailure(const char* call, int errorCode);

    libusb_context* usbContext = nullptr;
    libusb_device* foundDevice = nullptr;
    std::set<libusb_device_handle*> handles;
    OpenProblem problem;
};
