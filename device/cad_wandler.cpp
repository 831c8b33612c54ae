#include "device/cad_wandler.h"

#include <libusb.h>

namespace {
UsbBackend* linkBackend = nullptr;
CAD_wandler::DeviceChoice deviceChoice;
int chosenPosition = -1;
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

void CAD_wandler::setDeviceChoice(DeviceChoice choice, int firstPosition) {
    deviceChoice = std::move(choice);
    chosenPosition = firstPosition;
}

int CAD_wandler::openAt(int position) {
    closeDevice();
    return linkBackend && linkBackend->findDevice(vendorId, productId, position) ? openFound() : 0;
}

void CAD_wandler::closeDevice() {
    if (deviceHandle != 0 && linkBackend) {
        linkBackend->close(deviceHandle);
    }
    deviceHandle = 0;
}

int CAD_wandler::openDevice() {
    closeDevice();
    if (!linkBackend) {
        return 0;
    }
    if (!deviceChoice) {
        // The search ends at the first match whatever happens to it.
        return linkBackend->findFirstDevice(vendorId, productId) ? openFound() : 0;
    }
    // The instrument kept last time first, so that a measuring cycle leaves the others alone.
    if (chosenPosition >= 0 && linkBackend->findDevice(vendorId, productId, chosenPosition) &&
        openFound() == 1 && deviceChoice(chosenPosition)) {
        return 1;
    }
    closeDevice();
    for (int position = 0; linkBackend->findDevice(vendorId, productId, position); ++position) {
        if (position != chosenPosition && openFound() == 1 && deviceChoice(position)) {
            chosenPosition = position;
            return 1;
        }
        closeDevice();
    }
    return 0;
}

int CAD_wandler::openFound() {
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
