#include "device/cad_wandler.h"

#include <libusb.h>

namespace {
UsbBackend* linkBackend = nullptr;
}  // namespace

UsbBackend::DeviceHandle CAD_wandler::deviceHandle = 0;

CAD_wandler::~CAD_wandler() = default;

void CAD_wandler::setBackend(UsbBackend* backend) {
    linkBackend = backend;
    deviceHandle = 0;
}

UsbBackend* CAD_wandler::backend() {
    return linkBackend;
}

int CAD_wandler::openDevice() {
    if (deviceHandle != 0 && linkBackend) {
        linkBackend->close(deviceHandle);
    }
    deviceHandle = 0;
    if (!linkBackend) {
        return 0;
    }
    // The search ends at the first match whatever happens to it.
    if (!linkBackend->findFirstDevice(vendorId, productId)) {
        return 0;
    }
    deviceHandle = linkBackend->openFoundDevice();
    if (deviceHandle == 0) {
        return 0;
    }
    // A handle that cannot be configured stays stored; the next openDevice closes it.
    if (linkBackend->setConfiguration(deviceHandle, configuration) != 0) {
        return 0;
    }
    if (linkBackend->claimInterface(deviceHandle, interfaceNumber) != 0) {
        return 0;
    }
    return 1;
}

int CAD_wandler::controlIn(int request, int value, int index, unsigned char* buffer, int length) {
    return transfer(requestTypeIn, request, value, index, buffer, length);
}

int CAD_wandler::controlOut(int request, int value, int index, unsigned char* buffer, int length) {
    return transfer(requestTypeOut, request, value, index, buffer, length);
}

int CAD_wandler::transfer(std::uint8_t requestType, int request, int value, int index,
                          unsigned char* buffer, int length) {
    if (deviceHandle == 0 || !linkBackend) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    if (length < 0 || length > 0xFFFF || (length > 0 && buffer == nullptr)) {
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    return linkBackend->controlTransfer(
        deviceHandle, requestType, static_cast<std::uint8_t>(request),
        static_cast<std::uint16_t>(value), static_cast<std::uint16_t>(index), buffer,
        static_cast<std::uint16_t>(length), timeoutMs);
}
