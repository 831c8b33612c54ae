#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/exit_codes.h"
#include "cli_run.h"

namespace {

struct ReadCase {
    const char* name;
    const char* scenario;
    QStringList arguments;
    const char* line;  // under LC_ALL=C
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class CliRead : public ::testing::TestWithParam<ReadCase> {
protected:
    CliScratch scratch;
};

}  // namespace

TEST_P(CliRead, PrintsTheValueAsTheDisplayShowsIt) {
    const ReadCase& c = GetParam();
    QStringList arguments = {"read", "--scenario=" + scratch.scenario(c.scenario)};
    arguments << c.arguments;
    const CliResult result = scratch.run(arguments);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    EXPECT_EQ(result.out.toStdString(), std::string(c.line) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CliRead,
    ::testing::Values(
        ReadCase{"FixedSmallest115",
                 "type 115\nvalue 1000\n",
                 {"--mode", "F", "--range", "3"},
                 "2.50 kV/m  Range = 5kV/m Mode = E-Fieldmeter"},
        ReadCase{"FixedLargest235",
                 "type 235\nvalue 1000\n",
                 {"--range=0", "--mode=F"},
                 "100 kV/m  Range = 200kV/m Mode = E-Fieldmeter"},
        // Automatic ranging: the texts follow the range the instrument reports, never forced.
        ReadCase{"AutoFollowsTheInstrument",
                 "type 235\nvalue 1000\nrange 0x20\n",
                 {"--range", "auto"},
                 "20.0 kV/m  Range = 40kV/m Mode = E-Fieldmeter"},
        ReadCase{"AutoIsTheDefault",
                 "type 255\nvalue 1999\nrange 0x10\n",
                 {},
                 "20.0 kV/m  Range = 20kV/m Mode = E-Fieldmeter"},
        ReadCase{"InstrumentModeOf235",
                 "type 235\nvalue 1000\nmode 2\n",
                 {"--range", "1"},
                 "4.00 kV  Range = 8kV Mode = Voltmeter Dranth 40"},
        ReadCase{"DistanceVoltmeter115",
                 "type 115\nvalue 1000\n",
                 {"--mode", "M", "--distance", "20", "--range", "2"},
                 "250.0 V  Range = 500V   Mode = Voltmeter dist. 20mm"},
        ReadCase{"Overrange",
                 "type 115\nvalue 2500\nstatus 0x01\n",
                 {"--range", "3"},
                 "OVR kV/m  Range = 5kV/m Mode = E-Fieldmeter"},
        ReadCase{"Negative",
                 "type 115\nvalue 2000\nstatus 0x10\n",
                 {"--range", "3"},
                 "-5.00 kV/m  Range = 5kV/m Mode = E-Fieldmeter"}),
    [](const auto& info) { return info.param.name; });

TEST(CliReadFormats, DecimalCommaLocaleAndJson) {
    CliScratch scratch;
    const QString scenario = scratch.scenario("type 115\nvalue 1000\n");
    const CliResult comma =
        scratch.run({"read", "--scenario=" + scenario, "--range", "3"}, {"LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(comma.out, "2,50 kV/m  Range = 5kV/m Mode = E-Fieldmeter\n");

    const CliResult json = scratch.run({"read", "--json", "--scenario=" + scenario, "--range", "3"},
                                       {"LC_ALL=de_DE.UTF-8"});
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(object["value"].toDouble(), 2.5);
    EXPECT_EQ(object["text"].toString(), "2,50");
    EXPECT_EQ(object["unit"].toString(), "kV/m");
    EXPECT_EQ(object["range"].toString(), "5kV/m");
    EXPECT_EQ(object["mode"].toString(), "E-Fieldmeter");
    EXPECT_FALSE(object["overrange"].toBool());
    EXPECT_FALSE(object.contains("batteryOk"));  // 115 has no battery state

    const CliResult over =
        scratch.run({"read", "--json", "--simulate=235",
                     "--scenario=" + scratch.scenario("status 0x81\n", "o.scn")});
    const QJsonObject overObject = QJsonDocument::fromJson(over.out.toUtf8()).object();
    EXPECT_TRUE(overObject["value"].isNull());
    EXPECT_TRUE(overObject["overrange"].toBool());
    EXPECT_FALSE(overObject["batteryOk"].toBool());
    EXPECT_EQ(over.err, "zalvo-cli: Warning - Low Battery !!\n");
}

TEST(CliReadCycles, CountLinesOneIntervalApart) {
    CliScratch scratch;
    QElapsedTimer timer;
    timer.start();
    const CliResult result =
        scratch.run({"read", "--scenario=" + scratch.scenario("type 115\nvalue 0 100 200 300\n"),
                     "--range", "3", "--count", "3", "--interval", "300"});
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(result.exitCode, exitCode::ok);
    EXPECT_EQ(result.out,
              "0.25 kV/m  Range = 5kV/m Mode = E-Fieldmeter\n"
              "0.50 kV/m  Range = 5kV/m Mode = E-Fieldmeter\n"
              "0.75 kV/m  Range = 5kV/m Mode = E-Fieldmeter\n");
    EXPECT_GE(elapsed, 600);
}

TEST(CliReadCycles, LowBatteryIsWarnedOfOnceARun) {
    CliScratch scratch;
    const CliResult result =
        scratch.run({"read", "--simulate=235", "--scenario=" + scratch.scenario("status 0x80\n"),
                     "--count", "3", "--interval", "200"});
    EXPECT_EQ(result.exitCode, exitCode::ok);
    EXPECT_EQ(result.out.count(QLatin1Char('\n')), 3) << result.out.toStdString();
    EXPECT_EQ(result.err.toStdString(), "zalvo-cli: Warning - Low Battery !!\n");
}

TEST(CliReadFailures, ModesRangesAndLostInstrument) {
    CliScratch scratch;
    const CliResult noMode =
        scratch.run({"read", "--scenario=" + scratch.scenario("type 115\n"), "--mode", "4"});
    EXPECT_EQ(noMode.exitCode, exitCode::usage);
    EXPECT_EQ(noMode.err, "zalvo-cli: device type 115 has no mode 4\n");

    const CliResult none = scratch.run({"read", "--scenario=" + scratch.scenario("unplugged\n")});
    EXPECT_EQ(none.exitCode, exitCode::noInstrument);

    // Identity, range, first reading: the instrument leaves before the first cycle's reading.
    const CliResult lost = scratch.run(
        {"read", "--scenario=" + scratch.scenario("type 115\nunplug-after 6\n"), "--range", "3"});
    EXPECT_EQ(lost.exitCode, exitCode::instrumentLost);
    EXPECT_EQ(lost.err, "zalvo-cli: No connection to the USB device! Error no = -4\n");
    EXPECT_TRUE(lost.out.isEmpty());

    const CliResult unknown =
        scratch.run({"read", "--scenario=" + scratch.scenario("identity 12345678 133 999\n")});
    EXPECT_EQ(unknown.exitCode, exitCode::noInstrument);
    EXPECT_TRUE(unknown.err.contains("device type '999'")) << unknown.err.toStdString();
}
