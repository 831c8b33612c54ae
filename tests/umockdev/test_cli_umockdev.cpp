#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
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
