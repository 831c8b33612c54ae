#include "emulated_bus.h"

#include <umockdev.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "usbfs_node.h"

namespace {
std::string format(const char* pattern, int a, int b = 0, int c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

// The device descriptor, then configuration 1 with one vendor-specific interface 0 and no
// endpoint besides the control pipe. Upper case: node contents accept nothing else.
std::string descriptorsHex() {
    char text[80];
    std::snprintf(text, sizeof text, "12010002FF000008%02X%02X%02X%02X000101020001%s",
                  EmulatedInstrument::vendorId & 0xFF, EmulatedInstrument::vendorId >> 8,
                  EmulatedInstrument::productId & 0xFF, EmulatedInstrument::productId >> 8,
                  "0902120001010080320904000000FF000000");
    return text;
}

// The descriptors go both into the node and into sysfs: libusb reads whichever it uses.
// Attribute values end in the kernel's newline; libusb rejects them otherwise.
std::string deviceRecord(const BusPosition& position, const std::string& sysPath) {
    const std::string hex = descriptorsHex();
    const int bus = position.bus;
    const int address = position.address;
    char text[1024];
    std::snprintf(text, sizeof text,
                  "P: %s\n"
                  "N: bus/usb/%03d/%03d=%s\n"
                  "E: SUBSYSTEM=usb\n"
                  "E: DEVTYPE=usb_device\n"
                  "E: DRIVER=usb\n"
                  "E: DEVNAME=/dev/bus/usb/%03d/%03d\n"
                  "E: BUSNUM=%03d\n"
                  "E: DEVNUM=%03d\n"
                  "A: busnum=%d\\n\n"
                  "A: devnum=%d\\n\n"
                  "A: bConfigurationValue=1\\n\n"
                  "A: idVendor=%04x\\n\n"
                  "A: idProduct=%04x\\n\n"
                  "A: speed=12\\n\n"
                  "H: descriptors=%s\n",
                  sysPath.c_str(), bus, address, hex.c_str(), bus, address, bus, address, bus,
                  address, EmulatedInstrument::vendorId, EmulatedInstrument::productId,
                  hex.c_str());
    return text;
}
}  // namespace

EmulatedBus::EmulatedBus() : testbed(umockdev_testbed_new()) {}

EmulatedBus::~EmulatedBus() {
    for (Plugged& device : devices) {
        remove(device);
    }
    g_object_unref(testbed);
}

void EmulatedBus::plug(EmulatedInstrument& instrument, const BusPosition& position) {
    Plugged device;
    device.instrument = &instrument;
    device.sysPath = position.sysfsPath.empty() ? format("/devices/usb%d/%d-%d", position.bus,
                                                         position.bus, position.address)
                                                : position.sysfsPath;
    device.node = format("/dev/bus/usb/%03d/%03d", position.bus, position.address);
    device.usbfs = std::make_unique<UsbfsNode>(instrument);

    // The node answers before the "add" uevent announces it.
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, device.node.c_str(), device.usbfs->handler(),
                                       &error) ||
        !umockdev_testbed_add_from_string(testbed, deviceRecord(position, device.sysPath).c_str(),
                                          &error)) {
        const std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("cannot plug " + device.node + ": " + message);
    }
    devices.push_back(std::move(device));
}

void EmulatedBus::unplug(EmulatedInstrument& instrument) {
    auto it = std::find_if(devices.begin(), devices.end(),
                           [&](const Plugged& device) { return device.instrument == &instrument; });
    if (it == devices.end()) {
        return;
    }
    remove(*it);
    devices.erase(it);
}

void EmulatedBus::remove(Plugged& device) {
    const std::string sysfs = "/sys" + device.sysPath;
    umockdev_testbed_uevent(testbed, sysfs.c_str(), "remove");
    umockdev_testbed_remove_device(testbed, sysfs.c_str());
    umockdev_testbed_detach_ioctl(testbed, device.node.c_str(), nullptr);
}
