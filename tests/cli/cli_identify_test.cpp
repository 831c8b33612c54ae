#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/exit_codes.h"
#include "cli_run.h"
#include "tests/support/kept_recording.h"

namespace {

struct IdentifyCase {
    int type;
    const char* scenario;
    const char* text;
    const char* json;
};

void PrintTo(const IdentifyCase& c, std::ostream* out) {
    *out << c.type;
}

class CliIdentify : public ::testing::TestWithParam<IdentifyCase> {
protected:
    CliScratch scratch;
};

}  // namespace

TEST_P(CliIdentify, ShowsIdentityAndForHandheldsTheBattery) {
    const IdentifyCase& c = GetParam();
    const QString scenario = scratch.scenario(c.scenario);
    const CliResult text = scratch.run({"identify", "--scenario=" + scenario});
    ASSERT_TRUE(text.finished);
    EXPECT_EQ(text.exitCode, exitCode::ok) << text.err.toStdString();
    EXPECT_EQ(text.out.toStdString(), c.text);
    EXPECT_TRUE(text.err.isEmpty()) << text.err.toStdString();

    const CliResult json = scratch.run({"identify", "--json", "--scenario", scenario});
    EXPECT_EQ(json.exitCode, exitCode::ok);
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object(),
              QJsonDocument::fromJson(c.json).object())
        << json.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    DeviceTypes, CliIdentify,
    ::testing::Values(
        IdentifyCase{115, "identity 55001122 104 115\nstatus 0x80\n",
                     "Serial number:    55001122\nSoftware version: 104\nDevice type:      115\n",
                     R"({"serialNumber":"55001122","softwareVersion":"104","deviceType":"115"})"},
        IdentifyCase{235, "type 235\n",
                     "Serial number:    12340417\nSoftware version: 133\nDevice type:      235\n"
                     "Battery:          OK\n",
                     R"({"serialNumber":"12340417","softwareVersion":"133","deviceType":"235",
                        "batteryOk":true})"},
        IdentifyCase{255, "identity 99887766 201 255\nstatus 0x80\n",
                     "Serial number:    99887766\nSoftware version: 201\nDevice type:      255\n"
                     "Battery:          Low\n",
                     R"({"serialNumber":"99887766","softwareVersion":"201","deviceType":"255",
                        "batteryOk":false})"}),
    [](const auto& info) { return std::to_string(info.param.type); });

TEST(CliIdentifyFailures, NoInstrumentBadScenarioAndRawIdentityBytes) {
    CliScratch scratch;
    const CliResult none =
        scratch.run({"identify", "--scenario=" + scratch.scenario("unplugged\n")});
    EXPECT_EQ(none.exitCode, exitCode::noInstrument);
    EXPECT_EQ(none.err, "zalvo-cli: No connection to the USB device!\n");
    EXPECT_TRUE(none.out.isEmpty());

    // An unknown device type is no instrument of this program; its battery is not read (the
    // instrument is gone after the identity, so a battery read would end in exit code 4).
    const CliResult unknown = scratch.run(
        {"identify",
         "--scenario=" + scratch.scenario("identity 12340417 133 999\nunplug-after 1\n")});
    EXPECT_EQ(unknown.exitCode, exitCode::noInstrument) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("device type '999'")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.isEmpty()) << unknown.out.toStdString();

    const CliResult bad = scratch.run({"identify", "--scenario=" + scratch.scenario("type 116\n")});
    EXPECT_EQ(bad.exitCode, exitCode::badScenario);
    EXPECT_TRUE(bad.err.contains("s.scn:1: device type must be 115, 235 or 255"))
        << bad.err.toStdString();

    // Control bytes from the instrument, C0 and C1 (here CSI and NEL), reach neither the
    // terminal nor a recording; JSON keeps them escaped.
    const QString raw = scratch.scenario("identity-hex 9B33316D85580A0031333320323335\n");
    const CliResult text = scratch.run({"identify", "--scenario=" + raw});
    EXPECT_EQ(text.exitCode, exitCode::ok);
    EXPECT_TRUE(text.out.startsWith("Serial number:    ?31m?X??\n")) << text.out.toStdString();
    const CliResult json = scratch.run({"identify", "--json", "--scenario=" + raw});
    EXPECT_FALSE(json.out.contains(QChar(0x9B)) || json.out.contains(QChar(0x85)));
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object()["serialNumber"].toString(),
              QString::fromLatin1("\x9B"
                                  "31m\x85X\n\0",
                                  8));
    const QString output = scratch.path("raw.csv");
    scratch.run(
        {"log", "--scenario=" + raw, "--interval", "200", "--samples", "1", "--output", output});
    EXPECT_EQ(loadAllRows(output).header.serialNumber, "?31m?X??");
}

TEST(CliList, ShowsTheBatteryOfHandheldsOnly) {
    CliScratch scratch;
    const CliResult probe = scratch.run({"list", "--simulate=115"});
    EXPECT_EQ(probe.exitCode, exitCode::ok);
    EXPECT_EQ(probe.out.toStdString(),
              "simulated: serial number 12340417, software version 133, device type 115\n");

    const CliResult handheld =
        scratch.run({"list", "--simulate=255", "--scenario=" + scratch.scenario("status 0x80\n")});
    EXPECT_EQ(handheld.out.toStdString(),
              "simulated: serial number 12340417, software version "
              "133, device type 255, battery low\n");
}

TEST(CliUsage, BadCommandLinesExitWithOneAndHelpWithZero) {
    CliScratch scratch;
    const CliResult none = scratch.run({});
    EXPECT_EQ(none.exitCode, exitCode::usage);
    EXPECT_EQ(none.err,
              "zalvo-cli: no command given (list, identify, read or log)\n"
              "Try 'zalvo-cli --help'.\n");
    EXPECT_TRUE(none.out.isEmpty());

    const CliResult help = scratch.run({"log", "--help"});
    EXPECT_EQ(help.exitCode, exitCode::ok);
    EXPECT_TRUE(help.out.startsWith("Usage: zalvo-cli COMMAND")) << help.out.toStdString();
    EXPECT_TRUE(help.err.isEmpty());
}
