#include "app/program_options.h"

#include <gtest/gtest.h>

namespace {

struct Refusal {
    QStringList arguments;
    QString message;
};

TEST(ProgramOptions, SimulatorOptionsTakeTheirValueEitherWay) {
    ProgramOptions options;
    QString error;
    ASSERT_TRUE(parseProgramOptions({"--simulate", "255", "--scenario=a.scn"}, options, error))
        << error.toStdString();
    EXPECT_EQ(options.simulator.simulatedType, 255);
    EXPECT_EQ(options.simulator.scenarioFile, "a.scn");
    ASSERT_TRUE(parseProgramOptions({"--serial", " 42 "}, options, error)) << error.toStdString();
    EXPECT_EQ(options.simulator.serialNumber, "42");

    ProgramOptions none;
    ASSERT_TRUE(parseProgramOptions({}, none, error));
    EXPECT_FALSE(none.simulator.wanted());
}

TEST(ProgramOptions, BadCommandLinesAreRefusedWithAReason) {
    const Refusal cases[] = {
        {{"--simulate=116"}, "--simulate takes the device type 115, 235 or 255, not '116'"},
        {{"--scenario="}, "--scenario needs a file name"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"-x"}, "unknown option '-x'"},
        {{"now"}, "unexpected argument 'now'"},
        {{"--serial=123456789"},
         "--serial takes a serial number of up to 8 characters, not '123456789'"},
    };
    for (const Refusal& refusal : cases) {
        ProgramOptions options;
        QString error;
        EXPECT_FALSE(parseProgramOptions(refusal.arguments, options, error));
        EXPECT_EQ(error, refusal.message);
    }
}

}  // namespace
