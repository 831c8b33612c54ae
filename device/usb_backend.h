#pragma once

#include <cstdint>
#include <utility>

// The few USB operations the device link needs, in the order it uses them.
// One implementation talks to the bus through libusb-1.0, the other is the instrument simulator.
class UsbBackend {
public:
    // Opaque connection handle; 0 means no connection.
    using DeviceHandle = std::uintptr_t;

    virtual ~UsbBackend() = default;

    // Rescans every bus and remembers the device at `position` (0 the first), in bus and
    // device order, among those that carry both identifiers. False when there is none there.
    virtual bool findDevice(std::uint16_t vendorId, std::uint16_t productId, int position) = 0;
    bool findFirstDevice(std::uint16_t vendorId, std::uint16_t productId) {
        return findDevice(vendorId, productId, 0);
    }
    // Bus number and device address of the device the last findDevice remembered; 0, 0 where
    // there is no bus.
    virtual std::pair<int, int> foundBusAddress() const { return {0, 0}; }
    // Opens the device remembered by the last findDevice; 0 when it cannot be opened.
    virtual DeviceHandle openFoundDevice() = 0;
    // 0 on success, a negative libusb error code otherwise.
    virtual int setConfiguration(DeviceHandle handle, int configuration) = 0;
    virtual int claimInterface(DeviceHandle handle, int interfaceNumber) = 0;
    // Bytes transferred, or a negative libusb error code.
    virtual int controlTransfer(DeviceHandle handle, std::uint8_t requestType, std::uint8_t request,
                                std::uint16_t value, std::uint16_t index, unsigned char* data,
                                std::uint16_t length, unsigned int timeoutMs) = 0;
    virtual void close(DeviceHandle handle) = 0;
};
