#pragma once

#include <functional>

#include "device/usb_backend.h"

// The device link: finds, opens and talks to the instrument. Every object acts on
// the one class-wide connection, so an openDevice through any object replaces it.
class CAD_wandler {
public:
    static constexpr std::uint16_t vendorId = 0x16C0;
    static constexpr std::uint16_t productId = 0x2B5E;
    static constexpr int configuration = 1;
    static constexpr int interfaceNumber = 0;
    static constexpr std::uint8_t requestTypeIn = 0xC0;
    static constexpr std::uint8_t requestTypeOut = 0x40;
    static constexpr unsigned int timeoutMs = 1000;
    static constexpr int requestIndex = 0x81;

    virtual ~CAD_wandler();

    // 1 when the instrument was found, configured and its interface claimed; 0 otherwise.
    int openDevice();
    // Bytes received or sent, or a negative error code (also on a closed link).
    int controlIn(int request, int value, int index, unsigned char* buffer, int length);
    int controlOut(int request, int value, int index, unsigned char* buffer, int length);

    // Which instrument openDevice keeps: given the bus position of an opened and claimed
    // instrument, true to keep it; the others are closed again and the next is tried. The
    // position kept last (at first `firstPosition`) is tried first. Empty (the default): the
    // first instrument found, whatever happens to it.
    using DeviceChoice = std::function<bool(int position)>;
    static void setDeviceChoice(DeviceChoice choice, int firstPosition = -1);
    // Opens, configures and claims the instrument at this bus position, whatever the choice.
    static int openAt(int position);
    static void closeDevice();

    // The backend every link uses (not owned); set once at start.
    static void setBackend(UsbBackend* backend);
    static UsbBackend* backend();
    static UsbBackend::DeviceHandle deviceHandle;

private:
    static int openFound();
    static int transfer(std::uint8_t requestType, int request, int value, int index,
                        unsigned char* buffer, int length);
};
