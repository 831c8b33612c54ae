#pragma once

#include <cstdint>

// The few USB operations the device link needs, in the order it uses them.
// One implementation talks to the bus through libusb-1.0, the other is the instrument simulator.
class UsbBackend {
public:
    // Opaque connection handle; 0 means no connection.
    using DeviceHandle = std::uintptr_t;

    virtual ~UsbBackend() = default;

    // Rescans every bus and remembers the first device, in bus and device order,
    // that carries both identifiers. Returns false when there is none.
    virtual bool findFirstDevice(std::uint16_t vendorId, std::uint16_t productId) = 0;
    // Opens the device remembered by the last findFirstDevice; 0 when it cannot be opened.
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
