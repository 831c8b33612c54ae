#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emulated_instrument.h"

// Kept out of this header: glib's headers clash with Qt's keywords in the tests.
typedef struct _UMockdevTestbed UMockdevTestbed;
class UsbfsNode;

// Where an emulated device sits: bus number, device address and its sysfs directory below
// /sys (empty: /devices/usbB/B-A). The sysfs path decides the order in which libusb learns
// of devices, so tests can make it differ from bus order.
struct BusPosition {
    int bus = 1;
    int address = 2;
    std::string sysfsPath;
};

// A umockdev test bed with instruments plugged into it. Must exist before libusb_init and
// outlive libusb_exit; the process must run with the umockdev preload library.
class EmulatedBus {
public:
    EmulatedBus();
    ~EmulatedBus();
    EmulatedBus(const EmulatedBus&) = delete;
    EmulatedBus& operator=(const EmulatedBus&) = delete;

    void plug(EmulatedInstrument& instrument, const BusPosition& position);
    // Sends the kernel's "remove" uevent, then takes the device out of sysfs and /dev.
    void unplug(EmulatedInstrument& instrument);

private:
    struct Plugged {
        EmulatedInstrument* instrument = nullptr;
        std::string sysPath;
        std::string node;
        std::unique_ptr<UsbfsNode> usbfs;
    };

    void remove(Plugged& device);

    UMockdevTestbed* testbed;
    std::vector<Plugged> devices;
};
