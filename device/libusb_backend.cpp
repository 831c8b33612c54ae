#include "device/libusb_backend.h"

#include <libusb.h>

#include <algorithm>
#include <tuple>
#include <vector>

std::string describeOpenProblem(const OpenProblem& problem) {
    if (problem.failedCall.empty()) {
        return problem.deviceFound ? std::string() : std::string("no instrument on the bus");
    }
    std::string text = problem.deviceFound ? "instrument found; " : "";
    return text + problem.failedCall + " failed: " + libusb_error_name(problem.errorCode);
}

LibusbBackend::~LibusbBackend() {
    for (libusb_device_handle* handle : handles) {
        libusb_close(handle);
    }
    forgetFoundDevice();
    if (usbContext) {
        libusb_exit(usbContext);
    }
}

libusb_context* LibusbBackend::context() {
    if (!usbContext) {
        const int result = libusb_init(&usbContext);
        if (result != LIBUSB_SUCCESS) {
            usbContext = nullptr;
            recordFailure("libusb_init", result);
        }
    }
    return usbContext;
}

libusb_device_handle* LibusbBackend::openHandle(DeviceHandle handle) const {
    auto* usbHandle = reinterpret_cast<libusb_device_handle*>(handle);
    return handles.count(usbHandle) ? usbHandle : nullptr;
}

void LibusbBackend::forgetFoundDevice() {
    if (foundDevice) {
        libusb_unref_device(foundDevice);
        foundDevice = nullptr;
    }
}

int LibusbBackend::recordFailure(const char* call, int errorCode) {
    problem.failedCall = call;
    problem.errorCode = errorCode;
    return errorCode;
}

bool LibusbBackend::findDevice(std::uint16_t vendorId, std::uint16_t productId, int position) {
    problem = OpenProblem();
    forgetFoundDevice();
    libusb_context* ctx = context();
    if (!ctx) {
        return false;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    if (count < 0) {
        recordFailure("libusb_get_device_list", static_cast<int>(count));
        return false;
    }
    // libusb lists devices in the order it learnt of them; bus and address give a stable order.
    std::vector<libusb_device*> devices(list, list + count);
    std::sort(devices.begin(), devices.end(), [](libusb_device* a, libusb_device* b) {
        return std::make_tuple(libusb_get_bus_number(a), libusb_get_device_address(a)) <
               std::make_tuple(libusb_get_bus_number(b), libusb_get_device_address(b));
    });
    for (libusb_device* device : devices) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) == LIBUSB_SUCCESS &&
            descriptor.idVendor == vendorId && descriptor.idProduct == productId &&
            position-- == 0) {
            foundDevice = libusb_ref_device(device);
            break;
        }
    }
    libusb_free_device_list(list, 1);
    problem.deviceFound = foundDevice != nullptr;
    return problem.deviceFound;
}

std::pair<int, int> LibusbBackend::foundBusAddress() const {
    if (!foundDevice) {
        return {0, 0};
    }
    return {libusb_get_bus_number(foundDevice), libusb_get_device_address(foundDevice)};
}

UsbBackend::DeviceHandle LibusbBackend::openFoundDevice() {
    if (!foundDevice) {
        return 0;
    }
    libusb_device_handle* handle = nullptr;
    const int result = libusb_open(foundDevice, &handle);
    if (result != LIBUSB_SUCCESS || !handle) {
        recordFailure("libusb_open", result);
        return 0;
    }
    handles.insert(handle);
    return reinterpret_cast<DeviceHandle>(handle);
}

int LibusbBackend::setConfiguration(DeviceHandle handle, int configuration) {
    libusb_device_handle* usbHandle = openHandle(handle);
    if (!usbHandle) {
        return recordFailure("libusb_set_configuration", LIBUSB_ERROR_INVALID_PARAM);
    }
    libusb_config_descriptor* active = nullptr;
    if (libusb_has_capability(LIBUSB_CAP_SUPPORTS_DETACH_KERNEL_DRIVER) &&
        libusb_get_active_config_descriptor(libusb_get_device(usbHandle), &active) ==
            LIBUSB_SUCCESS) {
        for (int i = 0; i < active->bNumInterfaces; ++i) {
            if (libusb_kernel_driver_active(usbHandle, i) == 1) {
                libusb_detach_kernel_driver(usbHandle, i);
            }
        }
        libusb_free_config_descriptor(active);
    }
    const int result = libusb_set_configuration(usbHandle, configuration);
    return result == LIBUSB_SUCCESS ? result : recordFailure("libusb_set_configuration", result);
}

int LibusbBackend::claimInterface(DeviceHandle handle, int interfaceNumber) {
    libusb_device_handle* usbHandle = openHandle(handle);
    const int result =
        usbHandle ? libusb_claim_interface(usbHandle, interfaceNumber) : LIBUSB_ERROR_INVALID_PARAM;
    return result == LIBUSB_SUCCESS ? result : recordFailure("libusb_claim_interface", result);
}

int LibusbBackend::controlTransfer(DeviceHandle handle, std::uint8_t requestType,
                                   std::uint8_t request, std::uint16_t value, std::uint16_t index,
                                   unsigned char* data, std::uint16_t length,
                                   unsigned int timeoutMs) {
    libusb_device_handle* usbHandle = openHandle(handle);
    if (!usbHandle) {
        return LIBUSB_ERROR_NO_DEVICE;
    }
    return libusb_control_transfer(usbHandle, requestType, request, value, index, data, length,
                                   timeoutMs);
}

void LibusbBackend::close(DeviceHandle handle) {
    libusb_device_handle* usbHandle = openHandle(handle);
    if (usbHandle) {
        handles.erase(usbHandle);
        libusb_close(usbHandle);
    }
}
