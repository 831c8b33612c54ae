#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "emulated_bus.h"
#include "emulated_instrument.h"
#include "umockdev_preload.h"

namespace {

struct CliRun {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

// zalvo-cli as a child process: it inherits the preload library and the test bed's directory
// from the environment, so its libusb finds the instruments this process emulates.
CliRun runCli(const std::string& arguments) {
    CliRun run;
    const std::string command = std::string(ZALVO_CLI_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) {
        run.output += buffer.data();
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliOnEmulatedBus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!umockdevPreloaded()) {
            GTEST_SKIP() << "libumockdev-preload.so.0 (package umockdev) could not be preloaded";
        }
        bus = std::make_unique<EmulatedBus>();
    }

    EmulatedInstrument instrument;
    std::unique_ptr<EmulatedBus> bus;
};

}  // namespace

TEST_F(CliOnEmulatedBus, IdentifyReadsTheInstrumentThroughLibusb) {
    bus->plug(instrument, {1, 4, ""});
    instrument.setStatus(0x80);  // battery low

    const CliRun text = runCli("identify");
    EXPECT_EQ(text.exitCode, 0) << text.output;
    EXPECT_EQ(text.output,
              "Serial number:    12340417\n"
              "Software version: 133\n"
              "Device type:      235\n"
              "Battery:          Low\n");
    const auto seen = instrument.transfers();
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0].setup.value, 10);  // the identity block
    EXPECT_EQ(seen[1].setup.value, 0);   // then one reading for the battery state
    EXPECT_EQ(seen[2].setup.value, 1);
    EXPECT_EQ(seen[3].setup.value, 2);

    const CliRun json = runCli("identify --json");
    EXPECT_EQ(json.exitCode, 0) << json.output;
    EXPECT_EQ(json.output,
              "{\"batteryOk\":false,\"deviceType\":\"235\",\"serialNumber\":"
              "\"12340417\",\"softwareVersion\":\"133\"}\n");
}

TEST_F(CliOnEmulatedBus, IdentifyWithoutInstrumentSaysWhyAndExitsWithThree) {
    const CliRun run = runCli("identify");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.output,
              "zalvo-cli: No connection to the USB device! (no instrument on the bus)\n");
}

// Three instruments, plugged out of bus order; the one on bus 2 refuses its configuration.
class CliOnBusWithThree : public CliOnEmulatedBus {
protected:
    void SetUp() override {
        CliOnEmulatedBus::SetUp();
        if (!bus) {
            return;
        }
        second.setMeasuredValue(1111);
        first.setMeasuredValue(2222);
        bus->plug(second, {1, 7, ""});
        bus->plug(first, {1, 3, ""});
        bus->plug(busy, {2, 1, ""});
        busy.rejectConfiguration(EBUSY);
    }

    EmulatedInstrument first{"22220002"};
    EmulatedInstrument second{"11110001"};
    EmulatedInstrument busy{"33330003"};
};

TEST_F(CliOnBusWithThree, ListShowsEveryInstrumentInBusOrderWithWhyOneCannotBeOpened) {
    const CliRun run = runCli("list");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output,
              "bus 1, address 3: serial number 22220002, software version 133, device type 235, "
              "battery OK\n"
              "bus 1, address 7: serial number 11110001, software version 133, device type 235, "
              "battery OK\n"
              "bus 2, address 1: No connection to the USB device! (instrument found; "
              "libusb_set_configuration failed: LIBUSB_ERROR_BUSY)\n");
}

TEST_F(CliOnBusWithThree, SerialChoosesTheInstrumentForIdentifyReadAndTwoLogsAtOnce) {
    const CliRun identify = runCli("identify --json --serial 11110001");
    EXPECT_EQ(identify.exitCode, 0) << identify.output;
    EXPECT_NE(identify.output.find("\"serialNumber\":\"11110001\""), std::string::npos)
        << identify.output;

    // The value read is the second instrument's, not the first one's on the bus.
    const CliRun read = runCli("read --serial 11110001 --count 2 --range 3");
    EXPECT_EQ(read.exitCode, 0) << read.output;
    EXPECT_NE(read.output.find("1.11 kV/m"), std::string::npos) << read.output;
    EXPECT_EQ(read.output.find("2.22"), std::string::npos) << read.output;

    // Two loggers, each on its own instrument, at the same time.
    const std::string directory = ::testing::TempDir();
    const std::string fileOf[] = {directory + "first.csv", directory + "second.csv"};
    std::remove(fileOf[0].c_str());
    std::remove(fileOf[1].c_str());
    const char* serialOf[] = {"22220002", "11110001"};
    FILE* logs[2] = {};
    for (int i = 0; i < 2; ++i) {
        const std::string command = std::string(ZALVO_CLI_PATH) + " log --serial " + serialOf[i] +
                                    " --interval 200 --samples 5 --range 3 --output " + fileOf[i] +
                                    " 2>&1";
        logs[i] = popen(command.c_str(), "r");
    }
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(logs[i], nullptr);
        std::string output;
        std::array<char, 256> line{};
        while (std::fgets(line.data(), static_cast<int>(line.size()), logs[i])) {
            output += line.data();
        }
        EXPECT_EQ(pclose(logs[i]), 0) << output;
        std::ifstream file(fileOf[i]);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        EXPECT_NE(text.find(std::string("# serial number,") + serialOf[i]), std::string::npos)
            << text;
        EXPECT_EQ(
            std::count(text.begin(), text.end(), '\n') - std::count(text.begin(), text.end(), '#'),
            6)
            << "the column header and five rows:\n"
            << text;
    }
}

TEST_F(CliOnBusWithThree, UnknownSerialIsRefusedWithWhatIsOnTheBus) {
    const CliRun run = runCli("log --serial 99999999 --interval 200 --samples 1");
    EXPECT_EQ(run.exitCode, 9);
    EXPECT_EQ(run.output,
              "zalvo-cli: no instrument with serial number 99999999; on the bus: 22220002 (bus 1, "
              "address 3), 11110001 (bus 1, address 7), an instrument that cannot be opened (bus "
              "2, address 1)\n");
}
