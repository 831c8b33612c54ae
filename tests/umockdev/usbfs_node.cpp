#include "usbfs_node.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <cerrno>
#include <cstring>

namespace {
constexpr int setupLength = 8;

std::uint16_t little16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

// The local copy of the ioctl argument's target, or nullptr when it cannot be read.
UMockdevIoctlData* resolveArg(UMockdevIoctlData* arg, std::size_t length) {
    return umockdev_ioctl_data_resolve(arg, 0, length, nullptr);
}
}  // namespace

UsbfsNode::UsbfsNode(EmulatedInstrument& instrument)
    : instrument(instrument), ioctlHandler(umockdev_ioctl_base_new()) {
    g_signal_connect(ioctlHandler, "handle-ioctl", G_CALLBACK(onIoctl), this);
}

UsbfsNode::~UsbfsNode() {
    g_signal_handlers_disconnect_by_data(ioctlHandler, this);
    g_object_unref(ioctlHandler);
    std::lock_guard<std::mutex> lock(mutex);
    for (InFlight& entry : urbs) {
        release(entry);
    }
}

void UsbfsNode::release(InFlight& entry) {
    umockdev_ioctl_data_unref(entry.urb);
    g_object_unref(entry.client);
}

gboolean UsbfsNode::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    return static_cast<UsbfsNode*>(self)->handle(client);
}

bool UsbfsNode::handle(UMockdevIoctlClient* client) {
    instrument.noteIoctl();
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = resolveArg(arg, sizeof(std::uint32_t));
            if (!caps) {
                umockdev_ioctl_client_complete(client, -1, EFAULT);
                return true;
            }
            const std::uint32_t value = USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
            std::memcpy(caps->data, &value, sizeof value);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_SETCONFIGURATION: {
            UMockdevIoctlData* config = resolveArg(arg, sizeof(unsigned int));
            unsigned int value = 0;
            if (config) {
                std::memcpy(&value, config->data, sizeof value);
            }
            const int error = config ? instrument.setConfiguration(value) : EFAULT;
            umockdev_ioctl_client_complete(client, error ? -1 : 0, error);
            return true;
        }
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE:
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        case USBDEVFS_GETDRIVER: {
            UMockdevIoctlData* query = resolveArg(arg, sizeof(usbdevfs_getdriver));
            const std::string driver = instrument.boundDriver();
            if (!query || driver.empty()) {
                umockdev_ioctl_client_complete(client, -1, query ? ENODATA : EFAULT);
                return true;
            }
            auto* getdriver = reinterpret_cast<usbdevfs_getdriver*>(query->data);
            std::strncpy(getdriver->driver, driver.c_str(), USBDEVFS_MAXDRIVERNAME);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_IOCTL: {
            UMockdevIoctlData* command = resolveArg(arg, sizeof(usbdevfs_ioctl));
            const bool disconnect =
                command && reinterpret_cast<usbdevfs_ioctl*>(command->data)->ioctl_code ==
                               static_cast<int>(USBDEVFS_DISCONNECT);
            if (!disconnect) {
                umockdev_ioctl_client_complete(client, -1, ENOTTY);
            } else if (instrument.boundDriver().empty()) {
                umockdev_ioctl_client_complete(client, -1, ENODATA);
            } else {
                instrument.detachDriver();
                umockdev_ioctl_client_complete(client, 0, 0);
            }
            return true;
        }
        case USBDEVFS_SUBMITURB:
            submit(client, arg);
            return true;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            reap(client, arg);
            return true;
        case USBDEVFS_DISCARDURB:
            discard(client, arg);
            return true;
        default:
            return false;
    }
}

void UsbfsNode::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    UMockdevIoctlData* urbData = resolveArg(arg, sizeof(usbdevfs_urb));
    auto* urb = urbData ? reinterpret_cast<usbdevfs_urb*>(urbData->data) : nullptr;
    if (!urb || urb->type != USBDEVFS_URB_TYPE_CONTROL || urb->buffer_length < setupLength) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    UMockdevIoctlData* buffer =
        umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                    static_cast<std::size_t>(urb->buffer_length), nullptr);
    if (!buffer) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    std::uint8_t* bytes = buffer->data;
    ControlSetup setup;
    setup.requestType = bytes[0];
    setup.request = bytes[1];
    setup.value = little16(bytes + 2);
    setup.index = little16(bytes + 4);
    setup.length = little16(bytes + 6);
    if (setupLength + setup.length > urb->buffer_length) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }

    const ControlAnswer answer = instrument.control(setup, bytes + setupLength);
    InFlight entry;
    entry.client = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
    entry.urb = umockdev_ioctl_data_ref(urbData);
    switch (answer.outcome) {
        case ControlAnswer::Done:
            if (setup.isIn()) {
                std::memcpy(bytes + setupLength, answer.data.data(), answer.data.size());
                entry.actualLength = static_cast<int>(answer.data.size());
            } else {
                entry.actualLength = setup.length;
            }
            break;
        case ControlAnswer::Stall:
            entry.status = -EPIPE;
            break;
        case ControlAnswer::NoAnswer:
            entry.reapable = false;
            break;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        urbs.push_back(entry);
    }
    umockdev_ioctl_client_complete(client, 0, 0);
}

void UsbfsNode::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    InFlight entry;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = urbs.begin();
        while (it != urbs.end() && !(it->client == client && it->reapable)) {
            ++it;
        }
        if (it == urbs.end()) {
            umockdev_ioctl_client_complete(client, -1, EAGAIN);
            return;
        }
        entry = *it;
        urbs.erase(it);
    }
    auto* urb = reinterpret_cast<usbdevfs_urb*>(entry.urb->data);
    urb->status = entry.status;
    urb->actual_length = entry.actualLength;
    UMockdevIoctlData* slot = resolveArg(arg, sizeof(void*));
    if (slot) {
        umockdev_ioctl_data_set_ptr(slot, 0, entry.urb);
    }
    umockdev_ioctl_client_complete(client, slot ? 0 : -1, slot ? 0 : EFAULT);
    release(entry);
}

void UsbfsNode::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    unsigned long address = 0;
    std::memcpy(&address, arg->data, sizeof address);
    std::lock_guard<std::mutex> lock(mutex);
    for (InFlight& entry : urbs) {
        if (entry.client == client && entry.urb->client_addr == address && !entry.reapable) {
            entry.reapable = true;
            entry.status = -ENOENT;
            entry.actualLength = 0;
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    // Already completed: the caller reaps it as it is.
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}
