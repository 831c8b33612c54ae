#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <cmath>

#include "cli/exit_codes.h"
#include "cli_run.h"
#include "tests/support/kept_recording.h"

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<qint64> cycleLengths(const KeptRecording& recording) {
    std::vector<qint64> lengths;
    for (std::size_t i = 1; i < recording.points.size(); ++i) {
        lengths.push_back(recording.points[i].elapsedMs - recording.points[i - 1].elapsedMs);
    }
    return lengths;
}

}  // namespace

TEST(CliLog, WritesOneCheckedRowPerSample) {
    CliScratch scratch;
    const QString output = scratch.path("fixed.csv");
    // The first reading of the start is not recorded, as in the chart.
    const CliResult result = scratch.run(
        {"log", "--scenario=" + scratch.scenario("type 115\nvalue 400 800 1200 1600 2000\n"),
         "--interval", "200", "--samples", "5", "--range", "3", "--output", output});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    EXPECT_EQ(result.out, output + "\n");
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();

    const KeptRecording recording = loadAllRows(output);
    ASSERT_EQ(recording.status, KeptRecording::Status::Complete) << recording.message.toStdString();
    EXPECT_EQ(recording.header.deviceType, "115");
    EXPECT_EQ(recording.header.serialNumber, "12340417");
    EXPECT_EQ(recording.header.modeText, "E-Fieldmeter");
    EXPECT_EQ(recording.header.rangeText, "5kV/m");
    EXPECT_EQ(recording.header.rangeSetting, "3");
    EXPECT_EQ(recording.header.unit, "kV/m");
    EXPECT_EQ(recording.header.samplingTimeMs, 200);
    EXPECT_TRUE(recording.header.program.startsWith("zalvo-cli "));

    ASSERT_EQ(recording.points.size(), 5u);
    const double expected[] = {2.0, 3.0, 4.0, 5.0, 5.0};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(recording.points[i].value, expected[i]) << i;
        EXPECT_EQ(recording.points[i].unit, "kV/m");
        EXPECT_FALSE(recording.points[i].overrange);
        EXPECT_FALSE(recording.points[i].gap);
    }
    EXPECT_EQ(recording.points[0].elapsedMs, 0);
    for (const qint64 length : cycleLengths(recording)) {
        EXPECT_GE(length, 200);
        EXPECT_LE(length, 230);
    }
    const QList<QByteArray> lines = contents(output).split('\n');
    EXPECT_TRUE(lines[13].startsWith("0,"));
    EXPECT_TRUE(lines[13].endsWith(",2,kV/m,5kV/m,E-Fieldmeter,0,0")) << lines[13].constData();
}

TEST(CliLog, NamesItsFileAfterStartTypeAndSerialInTheDataDirectory) {
    CliScratch scratch;
    const CliResult result =
        scratch.run({"log", "--simulate=235", "--interval", "200", "--duration", "0.9"});
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    const QStringList files = QDir(scratch.recordings()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d_235_12340417\\.csv$")
                    .match(files[0])
                    .hasMatch())
        << files[0].toStdString();
    EXPECT_EQ(result.out, QDir(scratch.recordings()).filePath(files[0]) + "\n");
    const KeptRecording recording = loadAllRows(QDir(scratch.recordings()).filePath(files[0]));
    EXPECT_EQ(recording.status, KeptRecording::Status::Complete);
    EXPECT_EQ(recording.header.rangeSetting, "auto");
    ASSERT_GE(recording.points.size(), 2u);
    EXPECT_LT(recording.points.back().elapsedMs, 900);
}

TEST(CliLog, OverrangeIsARowWithAFlagNotTheEnd) {
    CliScratch scratch;
    const QString output = scratch.path("over.csv");
    const CliResult result =
        scratch.run({"log", "--scenario=" + scratch.scenario("type 115\nvalue 2500\nstatus 0x01\n"),
                     "--interval", "200", "--samples", "3", "--range", "3", "--output", output});
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    const KeptRecording recording = loadAllRows(output);
    ASSERT_EQ(recording.points.size(), 3u);
    for (const KeptRow& point : recording.points) {
        EXPECT_TRUE(point.overrange);
        EXPECT_TRUE(std::isnan(point.value));
    }
}

TEST(CliLog, TheDistanceModeOfHandheldsFollowsTheInstrumentAsTheChartDoes) {
    CliScratch scratch;
    const QString output = scratch.path("m.csv");
    const CliResult result =
        scratch.run({"log", "--scenario=" + scratch.scenario("type 235\nvalue 1000\n"), "--mode",
                     "M", "--distance", "50", "--range", "2", "--interval", "200", "--samples", "2",
                     "--output", output});
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("reports the distance voltmeter as mode V"))
        << result.err.toStdString();
    const KeptRecording recording = loadAllRows(output);
    EXPECT_EQ(recording.header.modeText, "Voltmeter Pelvar 1");
    EXPECT_EQ(recording.header.distanceMm, "10");
    ASSERT_EQ(recording.points.size(), 2u);
    EXPECT_DOUBLE_EQ(recording.points[1].value, 50);  // "100V", factor 0.05
    EXPECT_EQ(recording.points[1].unit, "V");
}

class CliLogStop : public ::testing::TestWithParam<int> {};

// SIGINT and SIGTERM end the log between cycles with the file whole; SIGKILL cannot cut a
// row either, because each row goes to the file in one write.
TEST_P(CliLogStop, LeavesAFileOfWholeRows) {
    const int signalNumber = GetParam();
    CliScratch scratch;
    const QString output = scratch.path("stopped.csv");
    QProcess process;
    process.setProcessEnvironment(scratch.environment());
    process.start(ZALVO_CLI_PATH,
                  {"log", "--simulate=255", "--interval", "200", "--output", output});
    ASSERT_TRUE(process.waitForStarted(10000));
    QElapsedTimer timer;
    timer.start();
    while (loadAllRows(output).points.size() < 3 && timer.elapsed() < 15000) {
        QThread::msleep(50);
    }
    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
    ASSERT_TRUE(process.waitForFinished(5000));
    if (signalNumber == SIGKILL) {
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    } else {
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), exitCode::ok);
        EXPECT_TRUE(process.readAllStandardError().isEmpty());
    }
    const KeptRecording recording = loadAllRows(output);
    EXPECT_EQ(recording.status, KeptRecording::Status::Complete) << recording.message.toStdString();
    EXPECT_GE(recording.points.size(), 3u);
    EXPECT_TRUE(contents(output).endsWith('\n'));
}

INSTANTIATE_TEST_SUITE_P(Signals, CliLogStop, ::testing::Values(SIGINT, SIGTERM, SIGKILL),
                         [](const auto& info) {
                             return info.param == SIGINT    ? std::string("Sigint")
                                    : info.param == SIGTERM ? std::string("Sigterm")
                                                            : std::string("Sigkill");
                         });

TEST(CliLogInstrument, ALostInstrumentEndsTheLogWithAllRowsWritten) {
    CliScratch scratch;
    const QString output = scratch.path("lost.csv");
    // Identity, range and first reading take 6 transfers, each cycle 3: four rows, then gone.
    const CliResult result = scratch.run(
        {"log", "--scenario=" + scratch.scenario("type 115\nvalue 1000\nunplug-after 18\n"),
         "--interval", "200", "--samples", "10", "--range", "3", "--output", output});
    EXPECT_EQ(result.exitCode, exitCode::instrumentLost);
    EXPECT_EQ(result.err, "zalvo-cli: No connection to the USB device! Error no = -4\n");
    const KeptRecording recording = loadAllRows(output);
    EXPECT_EQ(recording.status, KeptRecording::Status::Complete);
    EXPECT_EQ(recording.points.size(), 4u);

    // The instrument keeps its own range (-10 kV/m on 40kV/m) and is lost in the re-read
    // after the forced range: that re-read is no reading and gives no row.
    const QString forced = scratch.path("forced.csv");
    const CliResult lostInReread =
        scratch.run({"log",
                     "--scenario=" + scratch.scenario("type 235\nvalue 500\nstatus 0x10\n"
                                                      "range 0x20\nunplug-after 16\n"),
                     "--interval", "200", "--samples", "5", "--range", "3", "--output", forced});
    EXPECT_EQ(lostInReread.exitCode, exitCode::instrumentLost) << lostInReread.err.toStdString();
    EXPECT_TRUE(loadAllRows(forced).points.empty());
}

TEST(CliLogInstrument, WithReconnectTheLogGoesOnAndMarksTheGap) {
    CliScratch scratch;
    const QString output = scratch.path("gap.csv");
    const CliResult result = scratch.run(
        {"log",
         "--scenario=" + scratch.scenario("type 115\nvalue 1000\nunplug-after 18\n"
                                          "replug-after-ms 1500\n"),
         "--interval", "200", "--samples", "8", "--range", "3", "--reconnect", "--output", output});
    EXPECT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Error no = -4; waiting for the instrument to come back"))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("the instrument is back")) << result.err.toStdString();
    const KeptRecording recording = loadAllRows(output);
    EXPECT_EQ(recording.status, KeptRecording::Status::Complete);
    ASSERT_EQ(recording.points.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(recording.points[i].gap, i == 4) << i;
        EXPECT_DOUBLE_EQ(recording.points[i].value, 2.5);
    }
    EXPECT_GE(recording.points[4].elapsedMs - recording.points[3].elapsedMs, 1500);
}

TEST(CliLogInstrument, AnInstrumentThatNeverCameBackHasItsOwnExitCode) {
    CliScratch scratch;
    const CliResult result = scratch.run(
        {"log", "--scenario=" + scratch.scenario("type 115\nvalue 1000\nunplug-after 18\n"),
         "--interval", "200", "--duration", "2", "--range", "3", "--reconnect", "--output",
         scratch.path("away.csv")});
    EXPECT_EQ(result.exitCode, exitCode::neverBack) << result.err.toStdString();
    EXPECT_EQ(loadAllRows(scratch.path("away.csv")).points.size(), 4u);
}

TEST(CliLogFiles, FileProblemsEndTheLogWithTheirOwnCode) {
    CliScratch scratch;
    // The output is checked before the instrument is touched: an absent one is not noticed.
    const QString scenario = scratch.scenario("unplugged\n");
    const QString taken = scratch.path("taken.csv");
    {
        QFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me\n");
    }
    const CliResult exists = scratch.run({"log", "--scenario=" + scenario, "--interval", "200",
                                          "--samples", "1", "--output", taken});
    EXPECT_EQ(exists.exitCode, exitCode::fileError);
    EXPECT_TRUE(exists.err.contains("exists already and is not replaced"))
        << exists.err.toStdString();
    EXPECT_EQ(contents(taken), "keep me\n");

    const CliResult nowhere = scratch.run({"log", "--scenario=" + scenario, "--interval", "200",
                                           "--samples", "1", "--output", "/nonexistent/x.csv"});
    EXPECT_EQ(nowhere.exitCode, exitCode::fileError);
    EXPECT_TRUE(nowhere.err.startsWith("zalvo-cli: cannot create /nonexistent/x.csv"));

    const CliResult none =
        scratch.run({"log", "--scenario=" + scenario, "--interval", "200", "--samples", "1"});
    EXPECT_EQ(none.exitCode, exitCode::noInstrument);
    EXPECT_FALSE(QDir(scratch.recordings()).exists());
}

TEST(CliLogFiles, AFullDiskEndsTheLogWithWholeRows) {
    CliScratch scratch;
    const QString output = scratch.path("full.csv");
    // ulimit -f counts blocks of 1024 bytes: the header and about eight rows fit.
    const CliResult result = scratch.runProgram(
        "bash", {"-c", "ulimit -f 1; exec \"$ZALVO_CLI\" \"$@\"", "zalvo-cli", "log",
                 "--scenario=" + scratch.scenario("type 115\nvalue 1000\n"), "--range", "3",
                 "--interval", "200", "--samples", "50", "--output", output});
    EXPECT_EQ(result.exitCode, exitCode::fileError);
    EXPECT_TRUE(result.err.contains("cannot write to " + output)) << result.err.toStdString();
    const KeptRecording recording = loadAllRows(output);
    EXPECT_EQ(recording.status, KeptRecording::Status::Complete) << recording.message.toStdString();
    EXPECT_GE(recording.points.size(), 3u);
    EXPECT_LE(QFileInfo(output).size(), 1024);
}
