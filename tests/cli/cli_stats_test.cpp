#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/exit_codes.h"
#include "cli/stats_options.h"
#include "cli_run.h"
#include "recording/recording_file.h"

namespace {

// Six rows at 200 ms in the 2 kV/m range: above 50 % (1 kV/m) at 200 and 400 ms, overrange
// at 800 ms.
QByteArray sampleRecording() {
    RecordingHeader header;
    header.unit = "kV/m";
    header.rangeText = "2kV/m";
    header.start = QDateTime::fromString("2026-12-09T14:00:00.000+01:00", Qt::ISODateWithMs);
    QByteArray bytes = recordingHeaderText(header);
    const double values[] = {0.5, 1.2, 1.5, 0.2, 0.0, 0.1};
    for (int i = 0; i < 6; ++i) {
        RecordedRow row;
        row.elapsedMs = i * 200;
        row.time = header.start.addMSecs(row.elapsedMs);
        row.value = values[i];
        row.unit = "kV/m";
        row.rangeText = "2kV/m";
        row.overrange = i == 4;
        bytes += recordingRowLine(row);
    }
    return bytes;
}

QString written(const CliScratch& scratch, const QString& name, const QByteArray& bytes) {
    QFile file(scratch.path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

}  // namespace

TEST(CliStats, PrintsTheWholeRecordingAndTheWindowAsJson) {
    CliScratch scratch;
    const QString path = written(scratch, "r.csv", sampleRecording());
    const CliResult result =
        scratch.run({"stats", path, "--from", "0:00.3", "--to=2026-12-09T14:00:00.900", "--json"});
    ASSERT_EQ(result.exitCode, exitCode::ok) << result.err.toStdString();
    const QJsonObject out = QJsonDocument::fromJson(result.out.toUtf8()).object();
    const QJsonObject whole = out["whole"].toObject();
    EXPECT_EQ(whole["readings"].toInt(), 6);
    EXPECT_EQ(whole["overrangeReadings"].toInt(), 1);
    EXPECT_DOUBLE_EQ(whole["mean"].toDouble(), 0.7);
    EXPECT_EQ(whole["minimum"].toObject()["elapsedMs"].toInt(), 1000);
    EXPECT_EQ(whole["maximum"].toObject()["time"].toString(), "2026-12-09T14:00:00.400+01:00");
    EXPECT_EQ(whole["excursions"].toInt(), 2);
    EXPECT_EQ(whole["excursionMs"].toInt(), 600);
    const QJsonObject window = out["window"].toObject();
    EXPECT_EQ(window["fromMs"].toInt(), 300);
    EXPECT_EQ(window["toMs"].toInt(), 900);
    EXPECT_EQ(window["readings"].toInt(), 3);
    EXPECT_DOUBLE_EQ(window["mean"].toDouble(), 0.85);
    EXPECT_EQ(window["excursionMs"].toInt(), 200);
}

TEST(CliStats, BadFilesGetTheLoadersMessageAndTheirExitCode) {
    CliScratch scratch;
    const QByteArray whole = sampleRecording();
    struct Case {
        QString path;
        int exitCode;
        QString says;
    };
    const QString cut = written(scratch, "cut.csv", whole.left(whole.size() - 3));
    const Case cases[] = {
        {cut, exitCode::partialRead, cut + ": the last line is cut off"},
        {written(scratch, "foreign.csv", "a,b\n1,2\n"), exitCode::noRecording,
         "is not a Zalvo recording"},
        {written(scratch, "empty.csv", ""), exitCode::noRecording, "is empty"},
        {scratch.path("missing.csv"), exitCode::noRecording, "cannot read"},
    };
    for (const Case& c : cases) {
        const CliResult result = scratch.run({"stats", c.path});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.path.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    EXPECT_EQ(scratch.run({"stats", cut, "--limit", "101"}).exitCode, exitCode::usage);
}

TEST(CliStats, TimeBoundsReadSecondsClockTimesAndDates) {
    const std::pair<const char*, qint64> elapsed[] = {
        {"90", 90000}, {"1.5", 1500}, {"12:30", 750000}, {"1:02:03.250", 3723250}};
    for (const auto& [text, ms] : elapsed) {
        const auto bound = parseTimeBound(text);
        ASSERT_TRUE(bound && bound->elapsedMs) << text;
        EXPECT_EQ(*bound->elapsedMs, ms) << text;
    }
    for (const char* bad : {"-5", "1:60", "x", "nan", "1:2:3:4", "2026-13-01T00:00:00"}) {
        EXPECT_FALSE(parseTimeBound(bad)) << bad;
    }
    // A date and time without an offset is in the recording's.
    const QDateTime start = QDateTime::fromString("2026-12-09T14:00:00+05:00", Qt::ISODate);
    qint64 ms = 0;
    ASSERT_TRUE(parseTimeBound("2026-12-09T15:00:01")->resolve(start, ms));
    EXPECT_EQ(ms, 3601000);
    ASSERT_TRUE(parseTimeBound("2026-12-09T10:00:00Z")->resolve(start, ms));
    EXPECT_EQ(ms, 3600000);
    EXPECT_FALSE(parseTimeBound("2026-12-09T15:00:01")->resolve(QDateTime(), ms));
}
