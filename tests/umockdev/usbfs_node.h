#pragma once

#include <umockdev.h>

#include <mutex>
#include <vector>

#include "emulated_instrument.h"

// Answers the usbfs ioctls of one emulated /dev/bus/usb node from an instrument, the way the
// kernel would: control URBs are answered when submitted and handed back when reaped; a URB
// the instrument never answers stays in flight until it is discarded.
class UsbfsNode {
public:
    explicit UsbfsNode(EmulatedInstrument& instrument);
    ~UsbfsNode();
    UsbfsNode(const UsbfsNode&) = delete;
    UsbfsNode& operator=(const UsbfsNode&) = delete;

    UMockdevIoctlBase* handler() const { return ioctlHandler; }

private:
    // Holds references, so a client's address is not reused while its URBs are kept.
    struct InFlight {
        UMockdevIoctlClient* client = nullptr;
        UMockdevIoctlData* urb = nullptr;
        bool reapable = true;
        int status = 0;
        int actualLength = 0;
    };

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);

    bool handle(UMockdevIoctlClient* client);
    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    static void release(InFlight& entry);

    EmulatedInstrument& instrument;
    UMockdevIoctlBase* ioctlHandler;
    std::mutex mutex;
    std::vector<InFlight> urbs;
};
