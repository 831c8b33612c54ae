#include <gtest/gtest.h>
#include <libusb.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "device/cad_wandler.h"
#include "device/libusb_backend.h"
#include "device/program_clock.h"
#include "device/usbread.h"
#include "emulated_bus.h"
#include "emulated_instrument.h"
#include "state/main_form_data.h"
#include "umockdev_preload.h"

namespace {

// The real device link and command set on libusb, over a bus of emulated devices.
class LibusbBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!umockdevPreloaded()) {
            GTEST_SKIP() << "libumockdev-preload.so.0 (package umockdev) could not be preloaded";
        }
        bus = std::make_unique<EmulatedBus>();
        backend = std::make_unique<LibusbBackend>();
        setProgramClock(&clock);
        setMainFormData(&data);
        CAD_wandler::setBackend(backend.get());
    }

    void TearDown() override {
        CAD_wandler::setBackend(nullptr);
        setMainFormData(nullptr);
        setProgramClock(nullptr);
        // libusb_exit must run while the test bed still exists.
        backend.reset();
        bus.reset();
    }

    // (bus, address) of the devices in the order libusb itself lists them.
    static std::vector<std::pair<int, int>> libusbListOrder() {
        libusb_context* ctx = nullptr;
        std::vector<std::pair<int, int>> order;
        if (libusb_init(&ctx) != LIBUSB_SUCCESS) {
            return order;
        }
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(ctx, &list);
        for (ssize_t i = 0; i < count; ++i) {
            order.emplace_back(libusb_get_bus_number(list[i]), libusb_get_device_address(list[i]));
        }
        if (count >= 0) {
            libusb_free_device_list(list, 1);
        }
        libusb_exit(ctx);
        return order;
    }

    EmulatedInstrument instrument;
    SimulatedClock clock;
    MainFormData data;
    std::unique_ptr<EmulatedBus> bus;
    std::unique_ptr<LibusbBackend> backend;
    CAD_wandler link;
};

struct Reading {
    double value = 777;
    int rangeIndex = 77;
    int overrange = 7;
    unsigned char batteryOk = 7;
    int result = 0;
};

Reading measure() {
    Reading r;
    r.result = readMeasurement(r.value, r.rangeIndex, r.overrange, r.batteryOk, 1);
    return r;
}

TEST_F(LibusbBackendTest, OpensTheInstrumentAndReadsItsIdentity) {
    bus->plug(instrument, {1, 4, ""});

    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    EXPECT_EQ(readIdentity(serial, version, type), 15);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(version, "133");
    EXPECT_EQ(type, "235");

    EXPECT_TRUE(backend->lastOpenProblem().deviceFound);
    EXPECT_EQ(describeOpenProblem(backend->lastOpenProblem()), "");
    EXPECT_EQ(instrument.configurationsSet(), 1);
    const auto seen = instrument.transfers();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].setup.requestType, 0xC0);
    EXPECT_EQ(seen[0].setup.request, 5);
    EXPECT_EQ(seen[0].setup.value, 10);
    EXPECT_EQ(seen[0].setup.index, 0x81);
    EXPECT_EQ(seen[0].setup.length, 15);
}

TEST_F(LibusbBackendTest, MeasurementCarriesValueSignStatusAndRange) {
    bus->plug(instrument, {1, 4, ""});
    instrument.setMeasuredValue(1254);
    instrument.setStatus(0x91);  // negative, overrange, battery low
    instrument.setRangeCode(0x30);

    const Reading r = measure();
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.value, -1254);
    EXPECT_EQ(r.overrange, 1);
    EXPECT_EQ(r.batteryOk, 0);
    EXPECT_EQ(r.rangeIndex, 2);

    const auto seen = instrument.transfers();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].setup.value, 0);
    EXPECT_EQ(seen[0].setup.length, 4);
    EXPECT_EQ(seen[1].setup.value, 1);
    EXPECT_EQ(seen[2].setup.value, 2);
    EXPECT_EQ(clock.nowMs(), 50);

    instrument.setStatus(0x00);
    const Reading positive = measure();
    EXPECT_EQ(positive.value, 1254);
    EXPECT_EQ(positive.overrange, 0);
    EXPECT_EQ(positive.batteryOk, 1);
}

TEST_F(LibusbBackendTest, RangeIsWrittenTwiceAndReadBack) {
    bus->plug(instrument, {1, 4, ""});

    EXPECT_EQ(setRange(3), 1);
    EXPECT_EQ(data.currentRange, 3);
    EXPECT_EQ(clock.nowMs(), 250);
    const auto seen = instrument.transfers();
    ASSERT_EQ(seen.size(), 2u);
    for (const SeenTransfer& write : seen) {
        EXPECT_EQ(write.setup.requestType, 0x40);
        EXPECT_EQ(write.setup.request, 2);
        EXPECT_EQ(write.setup.value, 2);
        EXPECT_EQ(write.setup.index, 0x81);
        EXPECT_EQ(write.data, std::vector<std::uint8_t>{0x40});
    }
    EXPECT_EQ(instrument.rangeCode(), 0x40);
    EXPECT_EQ(measure().rangeIndex, 3);
}

TEST_F(LibusbBackendTest, StallIsPassedThroughAndEndsTheReading) {
    bus->plug(instrument, {1, 4, ""});
    instrument.setMeasuredValue(125);
    instrument.setStatus(0x91);
    instrument.setRangeCode(0x40);
    instrument.stallRegister(1);

    const Reading r = measure();
    EXPECT_EQ(r.result, LIBUSB_ERROR_PIPE);
    // A failed status read counts as positive, in range, battery fine; no range read follows.
    EXPECT_EQ(r.value, 125);
    EXPECT_EQ(r.overrange, 0);
    EXPECT_EQ(r.batteryOk, 1);
    EXPECT_EQ(r.rangeIndex, 0);
    EXPECT_EQ(instrument.transfers().size(), 2u);

    // The link stays usable: the next operation reopens and the write stalls on its own.
    instrument.clearFaults();
    instrument.stallRegister(2);
    EXPECT_EQ(setRange(1), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(data.currentRange, 1);
    EXPECT_EQ(instrument.transfers().size(), 3u) << "no repeat after a failed write";
}

TEST_F(LibusbBackendTest, ShortAnswersAreTakenAsReceived) {
    bus->plug(instrument, {1, 4, ""});
    instrument.setMeasuredValue(1254);
    instrument.answerShort(0, 2);
    instrument.answerShort(10, 11);

    // Only the two least significant digits arrive; the rest of the buffer stays zero.
    const Reading r = measure();
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.value, 54);

    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    EXPECT_EQ(readIdentity(serial, version, type), 11);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(version, "133");
    EXPECT_EQ(type, QString(3, QChar(0)));
}

TEST_F(LibusbBackendTest, UnpluggedInstrumentIsLostAndFoundAgainAfterReplug) {
    bus->plug(instrument, {1, 4, ""});
    instrument.setMeasuredValue(42);
    ASSERT_EQ(measure().result, 1);

    bus->unplug(instrument);
    const Reading lost = measure();
    EXPECT_EQ(lost.result, 0);
    EXPECT_EQ(lost.value, 777) << "outputs untouched when opening fails";
    EXPECT_EQ(lost.rangeIndex, 77);
    EXPECT_EQ(link.openDevice(), 0);
    EXPECT_FALSE(backend->lastOpenProblem().deviceFound);
    EXPECT_EQ(describeOpenProblem(backend->lastOpenProblem()), "no instrument on the bus");

    // Plugged in again, it gets a new address.
    bus->plug(instrument, {1, 5, ""});
    const Reading found = measure();
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found.value, 42);
}

TEST_F(LibusbBackendTest, FirstInBusOrderIsTheOnlyOneTriedEvenWhenItCannotBeConfigured) {
    EmulatedInstrument second("12340418");
    instrument.rejectConfiguration(EPIPE);
    // With these sysfs paths libusb lists the second instrument first.
    bus->plug(instrument, {1, 9, "/devices/pci0000:01/usb1/1-1"});
    bus->plug(second, {2, 2, "/devices/pci0000:02/usb2/2-1"});
    const auto listed = libusbListOrder();
    ASSERT_EQ(listed.size(), 2u);
    ASSERT_EQ(listed.front(), std::make_pair(2, 2)) << "precondition: list order is not bus order";

    EXPECT_EQ(link.openDevice(), 0);
    EXPECT_EQ(instrument.configurationsSet(), 1);
    EXPECT_EQ(second.ioctlCount(), 0) << "the second instrument is never opened";
    const OpenProblem& problem = backend->lastOpenProblem();
    EXPECT_TRUE(problem.deviceFound);
    EXPECT_EQ(problem.failedCall, "libusb_set_configuration");
    EXPECT_EQ(problem.errorCode, LIBUSB_ERROR_OTHER);
    EXPECT_EQ(describeOpenProblem(problem),
              "instrument found; libusb_set_configuration failed: LIBUSB_ERROR_OTHER");
    EXPECT_EQ(measure().result, 0);
    EXPECT_EQ(second.ioctlCount(), 0);
}

TEST_F(LibusbBackendTest, OnOneBusTheLowerDeviceAddressWins) {
    EmulatedInstrument later("12340418");
    bus->plug(instrument, {1, 3, "/devices/usb1/1-1"});
    bus->plug(later, {1, 7, "/devices/usb1/1-2"});
    const auto listed = libusbListOrder();
    ASSERT_EQ(listed.size(), 2u);
    ASSERT_EQ(listed.front(), std::make_pair(1, 7))
        << "precondition: list order is not address order";

    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    ASSERT_EQ(readIdentity(serial, version, type), 15);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(later.ioctlCount(), 0);
}

TEST_F(LibusbBackendTest, BoundKernelDriverIsDetachedBeforeConfiguring) {
    instrument.bindDriver("usbhid");
    bus->plug(instrument, {1, 4, ""});

    EXPECT_EQ(link.openDevice(), 1);
    EXPECT_EQ(instrument.boundDriver(), "");
}

TEST_F(LibusbBackendTest, UnansweredTransferTimesOutAfterOneSecond) {
    bus->plug(instrument, {1, 4, ""});
    instrument.neverAnswer(0);

    const auto start = std::chrono::steady_clock::now();
    const Reading r = measure();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.result, LIBUSB_ERROR_TIMEOUT);
    EXPECT_GE(waited, std::chrono::milliseconds(950));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(instrument.transfers().size(), 1u) << "status and range are not read";

    // The discarded request leaves nothing behind: the next reading works.
    instrument.clearFaults();
    instrument.setMeasuredValue(8);
    EXPECT_EQ(measure().value, 8);
}

TEST(LibusbBackendHandles, UnknownHandlesAreRefusedWithoutTouchingTheBus) {
    LibusbBackend backend;
    unsigned char byte = 0;
    EXPECT_EQ(backend.controlTransfer(0x1234, 0xC0, 5, 1, 0x81, &byte, 1, 1000),
              LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(backend.setConfiguration(0x1234, 1), LIBUSB_ERROR_INVALID_PARAM);
    EXPECT_EQ(backend.lastOpenProblem().failedCall, "libusb_set_configuration");
    backend.close(0x1234);
    EXPECT_EQ(backend.openFoundDevice(), 0u) << "nothing was found";
}

}  // namespace
