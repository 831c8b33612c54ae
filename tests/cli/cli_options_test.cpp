#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace {

CliOptions parsed(const QStringList& arguments) {
    CliOptions options;
    QString error;
    EXPECT_TRUE(parseCliOptions(arguments, options, error)) << error.toStdString();
    return options;
}

QString refusal(const QStringList& arguments) {
    CliOptions options;
    QString error;
    EXPECT_FALSE(parseCliOptions(arguments, options, error));
    return error;
}

}  // namespace

TEST(CliOptions, ValuesComeAfterAnEqualsSignOrAsTheNextArgument) {
    const CliOptions a = parsed({"--simulate=115", "read", "--mode", "m", "--distance=120",
                                 "--range", "auto", "--count", "4", "--interval=500", "--json"});
    EXPECT_EQ(a.command, CliCommand::read);
    EXPECT_EQ(a.simulatedType, 115);
    EXPECT_EQ(a.modeLetter, 'M');
    EXPECT_EQ(a.distanceMm, 120);
    EXPECT_EQ(a.rangeIndex, 4);
    EXPECT_EQ(a.count, 4);
    EXPECT_EQ(a.intervalMs, 500);
    EXPECT_TRUE(a.json);

    const CliOptions b = parsed({"log", "--interval", "1000", "--duration", "2.5", "--output",
                                 "x.csv", "--reconnect", "--range", "0", "--scenario", "s.scn"});
    EXPECT_EQ(b.command, CliCommand::log);
    EXPECT_EQ(b.durationSeconds, 2.5);
    EXPECT_FALSE(b.samples);
    EXPECT_EQ(b.outputFile, "x.csv");
    EXPECT_TRUE(b.reconnect);
    EXPECT_EQ(b.rangeIndex, 0);
    EXPECT_EQ(b.scenarioFile, "s.scn");
}

TEST(CliOptions, DefaultsAreAutomaticRangeOneReadingAndTheDisplaysInterval) {
    const CliOptions options = parsed({"read"});
    EXPECT_EQ(options.rangeIndex, 4);
    EXPECT_EQ(options.count, 1);
    EXPECT_EQ(options.intervalMs, 200);
    EXPECT_FALSE(options.modeLetter);
    EXPECT_EQ(options.simulatedType, 0);
}

TEST(CliOptions, HelpWinsOverEverythingElse) {
    EXPECT_TRUE(parsed({"log", "--bogus", "-h"}).showHelp);
    EXPECT_TRUE(parsed({"--help"}).showHelp);
}

TEST(CliOptions, BadCommandLinesAreRefusedWithAReason) {
    EXPECT_EQ(refusal({}), "no command given (list, identify, read or log)");
    EXPECT_EQ(refusal({"measure"}), "unexpected argument 'measure'");
    EXPECT_EQ(refusal({"read", "identify"}), "unexpected argument 'identify'");
    EXPECT_EQ(refusal({"read", "-x"}), "unknown option '-x'");
    EXPECT_EQ(refusal({"read", "--frobnicate=1"}), "unknown option '--frobnicate'");
    EXPECT_EQ(refusal({"identify", "--simulate=116"}),
              "--simulate takes the device type 115, 235 or 255, not '116'");
    EXPECT_EQ(refusal({"read", "--mode", "X"}), "--mode takes F, V, 4 or M, not 'X'");
    EXPECT_EQ(refusal({"read", "--range", "4"}), "--range takes 0, 1, 2, 3 or auto, not '4'");
    EXPECT_EQ(refusal({"read", "--mode", "M", "--distance", "301"}),
              "--distance takes a whole number from 5 to 300, not '301'");
    EXPECT_EQ(refusal({"read", "--distance", "50"}), "--distance goes with --mode M only");
    EXPECT_EQ(refusal({"read", "--interval", "199"}),
              "--interval takes a whole number from 200 to 86400000, not '199'");
    EXPECT_EQ(refusal({"read", "--count"}), "--count needs a value");
    EXPECT_EQ(refusal({"read", "--json=yes"}), "--json takes no value");
    EXPECT_EQ(refusal({"identify", "--count", "2"}), "--count does not go with this command");
    EXPECT_EQ(refusal({"read", "--output", "x.csv"}), "--output does not go with this command");
    EXPECT_EQ(refusal({"log", "--samples", "5"}), "log needs --interval MS");
    EXPECT_EQ(refusal({"log", "--interval", "200", "--samples", "5", "--duration", "1"}),
              "give either --duration or --samples, not both");
    EXPECT_EQ(refusal({"log", "--interval", "200", "--duration", "0"}),
              "--duration takes seconds above 0, not '0'");
    EXPECT_EQ(refusal({"log", "--interval", "200", "--samples", "0"}),
              "--samples takes a number of at least 1, not '0'");
}
