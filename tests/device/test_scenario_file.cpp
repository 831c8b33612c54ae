#include <gtest/gtest.h>
#include <libusb.h>

#include <QTemporaryDir>

#include "device/scenario_file.h"
#include "device/usbread.h"
#include "simulated_instrument_fixture.h"

using Scenario = SimulatedInstrument;

namespace {
QString apply(InstrumentSimulator& sim, const QString& text) {
    QString error;
    if (!applyScenarioText(text, "test.scn", sim, error)) {
        return error;
    }
    return {};
}
}  // namespace

TEST_F(Scenario, DirectivesScriptTheInstrument) {
    ASSERT_EQ(apply(sim,
                    "# a comment\n"
                    "type 115\n"
                    "value 125 0x10   # hex counts too\n"
                    "status 0x10\n"
                    "range 0x30\n"
                    "mode 2\n"),
              "");
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    readIdentity(serial, version, type);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(type, "115");

    double value = 0;
    int range = 0, overrange = 0;
    unsigned char battery = 0;
    readMeasurement(value, range, overrange, battery, 1);
    EXPECT_DOUBLE_EQ(value, -125);
    EXPECT_EQ(range, 2);
    readMeasurement(value, range, overrange, battery, 1);
    EXPECT_DOUBLE_EQ(value, -16);
    readMeasurement(value, range, overrange, battery, 1);
    EXPECT_DOUBLE_EQ(value, -16);  // the last value stays
    EXPECT_EQ(sim.currentModeCode(), 2);
}

TEST_F(Scenario, IdentityAndRawIdentityBlock) {
    ASSERT_EQ(apply(sim, "identity 99887766 201 255\n"), "");
    EXPECT_EQ(sim.identityBlock(), QByteArray("99887766201 255"));
    ASSERT_EQ(apply(sim, "identity-hex 00FF4142434445464748494A4B4C4D\n"), "");
    EXPECT_EQ(sim.identityBlock().size(), 15);
    EXPECT_EQ(static_cast<unsigned char>(sim.identityBlock()[1]), 0xFF);
}

TEST_F(Scenario, FaultDirectives) {
    ASSERT_EQ(apply(sim, "fail status 1\nshort value 1 2\ntimeout range 1\nunplug-after 9\n"), "");
    double value = 0;
    int range = 0, overrange = 0;
    unsigned char battery = 0;
    const double before = clock.nowMs();
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_TIMEOUT);
    EXPECT_DOUBLE_EQ(clock.nowMs() - before, 50 + 50 + 1000);
    EXPECT_EQ(sim.transfers()[0].result, 2);  // the short sample
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), 1);
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_NO_DEVICE);
}

TEST_F(Scenario, UnpluggedStartsWithoutInstrument) {
    ASSERT_EQ(apply(sim, "unplugged\n"), "");
    CAD_wandler link;
    EXPECT_EQ(link.openDevice(), 0);
}

TEST_F(Scenario, ReplugBringsTheInstrumentBackAfterItsDelay) {
    ASSERT_EQ(apply(sim, "type 115\nunplug-after 3\nreplug-after-ms 1500\n"), "");
    double value = 0;
    int range = 0, overrange = 0;
    unsigned char battery = 0;
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), 1);
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), LIBUSB_ERROR_NO_DEVICE);
    CAD_wandler link;
    clock.advanceMs(1400);
    EXPECT_EQ(link.openDevice(), 0);
    clock.advanceMs(100);
    EXPECT_EQ(link.openDevice(), 1);
    EXPECT_EQ(readMeasurement(value, range, overrange, battery, 1), 1);
}

TEST_F(Scenario, WithoutReplugAnUnpluggedInstrumentStaysAway) {
    ASSERT_EQ(apply(sim, "unplugged\n"), "");
    CAD_wandler link;
    clock.advanceMs(1e7);
    EXPECT_EQ(link.openDevice(), 0);
    ASSERT_EQ(apply(sim, "replug-after-ms 0\n"), "");
    EXPECT_EQ(link.openDevice(), 1);
}

TEST_F(Scenario, BadLinesAreRefusedWithFileLineAndReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"type 115\nfrobnicate 3\n", "test.scn:2: unknown directive 'frobnicate'"},
        {"type 116\n", "test.scn:1: device type must be 115, 235 or 255"},
        {"value 10000\n", "test.scn:1: '10000' is not a number from 0 to 9999"},
        {"value\n", "test.scn:1: 'value' takes 1 to 100000 arguments, 0 given"},
        {"status 0x100\n", "test.scn:1: '0x100' is not a number from 0 to 255"},
        {"fail nowhere 1\n", "test.scn:1: 'nowhere' is not a register"},
        {"\n\nshort value 1\n", "test.scn:3: 'short' takes 3 argument(s), 2 given"},
        {"identity-hex 0011\n", "test.scn:1: identity-hex needs exactly 30 hexadecimal digits"},
        {"identity 123456789 1 115\n",
         "test.scn:1: identity texts are at most 8, 3 and 3 characters"},
        {"range -1\n", "test.scn:1: '-1' is not a number from 0 to 255"},
        {"replug-after-ms\n", "test.scn:1: 'replug-after-ms' takes 1 argument(s), 0 given"},
        {"replug-after-ms -5\n", "test.scn:1: '-5' is not a number from 0 to 1000000000"},
    };
    for (const auto& [text, message] : cases) {
        InstrumentSimulator fresh;
        EXPECT_EQ(apply(fresh, text), message) << text;
    }
}

TEST_F(Scenario, MissingAndEndlessFilesAreReportedByName) {
    QString error;
    EXPECT_FALSE(applyScenarioFile("/nonexistent/x.scn", sim, error));
    EXPECT_TRUE(error.startsWith("/nonexistent/x.scn: cannot read the scenario file"));
    // A device reports no size; it is read up to the cap and no further.
    EXPECT_FALSE(applyScenarioFile("/dev/zero", sim, error));
    EXPECT_EQ(error, "/dev/zero: the scenario file is larger than 16 MiB");
}

TEST_F(Scenario, FileOnDiskIsRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.scn");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("type 255\r\nvalue 7\r\n");
    f.close();
    QString error;
    ASSERT_TRUE(applyScenarioFile(path, sim, error)) << error.toStdString();
    EXPECT_EQ(sim.identityBlock().mid(12), QByteArray("255"));
}
