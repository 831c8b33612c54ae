#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <cmath>

#include "recording/recording_reader.h"
#include "recording/recording_writer.h"
#include "recording_sample.h"

namespace {

LoadedRecording readBytes(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return readRecording(buffer, "r.csv");
}

}  // namespace

TEST(RecordingReader, ReadsBackWhatTheWriterWrote) {
    QTemporaryDir dir;
    const std::vector<RecordedRow> rows = sampleRows(40);
    RecordingHeader header = sampleHeader();
    header.distanceMm = "20";
    header.otherKeys = {{"comment", "hall 3, north wall"}};
    {
        RecordingWriter writer;
        ASSERT_TRUE(writer.create(dir.filePath("r.csv"), header));
        for (const RecordedRow& row : rows) {
            ASSERT_EQ(writer.append(row), AppendResult::Written);
        }
    }
    const LoadedRecording loaded = loadRecording(dir.filePath("r.csv"));
    ASSERT_EQ(loaded.status, LoadedRecording::Status::Complete) << loaded.message.toStdString();
    EXPECT_TRUE(loaded.message.isEmpty());
    EXPECT_EQ(loaded.header.program, header.program);
    EXPECT_EQ(loaded.header.serialNumber, "12340417");
    EXPECT_EQ(loaded.header.rangeSetting, "auto");
    EXPECT_EQ(loaded.header.distanceMm, "20");
    EXPECT_EQ(loaded.header.samplingTimeMs, 200);
    EXPECT_EQ(loaded.header.start, header.start);
    EXPECT_EQ(loaded.header.start.offsetFromUtc(), 3600);
    ASSERT_EQ(loaded.header.otherKeys.size(), 1);
    EXPECT_EQ(loaded.header.otherKeys[0].second, "hall 3, north wall");

    ASSERT_EQ(loaded.points.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RecordedPoint& point = loaded.points[i];
        EXPECT_EQ(point.elapsedMs, rows[i].elapsedMs);
        EXPECT_EQ(point.overrange, rows[i].overrange);
        EXPECT_EQ(point.gap, rows[i].gap);
        EXPECT_EQ(point.unit, rows[i].unit);
        if (rows[i].overrange) {
            EXPECT_TRUE(std::isnan(point.value)) << i;
        } else {
            EXPECT_DOUBLE_EQ(point.value, rows[i].value) << i;
        }
    }
}

TEST(RecordingReader, ALineCutOffByACrashLoadsUpToTheLastWholeRow) {
    const QByteArray whole = sampleFileBytes(10);
    const QByteArray cut = whole.left(whole.size() - 20);
    const LoadedRecording loaded = readBytes(cut);
    EXPECT_EQ(loaded.status, LoadedRecording::Status::Partial);
    EXPECT_EQ(loaded.points.size(), 9u);
    EXPECT_TRUE(loaded.message.contains("last line is cut off")) << loaded.message.toStdString();
    EXPECT_TRUE(loaded.message.contains("9 rows")) << loaded.message.toStdString();
}

TEST(RecordingReader, ADamagedLineEndsTheLoadingThereAndSaysWhere) {
    QByteArray bytes = sampleFileBytes(6);
    bytes.insert(bytes.indexOf("\n600,") + 1, "600,yesterday,x,kV/m,2kV/m,E-Fieldmeter,0\n");
    const LoadedRecording loaded = readBytes(bytes);
    EXPECT_EQ(loaded.status, LoadedRecording::Status::Partial);
    EXPECT_EQ(loaded.points.size(), 3u);
    EXPECT_EQ(loaded.message,
              "r.csv:17: the line is damaged (7 fields instead of 8); 3 rows were "
              "read up to it");
}

TEST(RecordingReader, ForeignOrDamagedHeadersAreRefused) {
    const QByteArray sample = sampleFileBytes(3);
    const std::pair<QByteArray, QString> cases[] = {
        {"", "r.csv is not a Zalvo recording"},
        {"date;value\n2026-12-09;1,5\n", "r.csv is not a Zalvo recording"},
        {"# Zalvo recording,2\n",
         "r.csv was written in format version 2; this program reads up "
         "to version 1"},
        {"# Zalvo recording,one\n", "r.csv: the format version 'one' is not a number"},
        {sample.left(sample.indexOf("elapsed_ms")),
         "r.csv ends before its column header: the header is incomplete"},
        {QByteArray(sample).replace("elapsed_ms", "seconds"),
         "r.csv:13: this is no column header of a recording"},
        {QByteArray(sample).replace("sampling time ms,200", "sampling time ms,fast"),
         "r.csv:11: the sampling time 'fast' is not a number of milliseconds"},
        // Opening must not take forever on a file of nothing but header lines.
        {QByteArray(sample).replace("# program",
                                    QByteArray("# note\n").repeated(1000) + "# program"),
         "r.csv has more than 1000 lines before its column header: this is no recording of "
         "this program"},
    };
    for (const auto& [bytes, message] : cases) {
        const LoadedRecording loaded = readBytes(bytes);
        EXPECT_EQ(loaded.status, LoadedRecording::Status::Refused) << bytes.constData();
        EXPECT_EQ(loaded.message, message);
        EXPECT_TRUE(loaded.points.empty());
    }
}

TEST(RecordingReader, EditedFilesStillLoad) {
    // Saved by a spreadsheet on another system: CRLF line ends, columns reordered, a comment.
    const QByteArray bytes =
        "# Zalvo recording,1\r\n"
        "# start,2026-12-09T14:03:22.123+01:00\r\n"
        "# checked by,\"Meier, J.\"\r\n"
        "value,elapsed_ms,unit\r\n"
        "1.5,0,kV/m\r\n"
        "# probe moved\r\n"
        "\r\n"
        "-2,200,kV/m\r\n";
    const LoadedRecording loaded = readBytes(bytes);
    ASSERT_EQ(loaded.status, LoadedRecording::Status::Complete) << loaded.message.toStdString();
    ASSERT_EQ(loaded.points.size(), 2u);
    EXPECT_EQ(loaded.points[1].elapsedMs, 200);
    EXPECT_DOUBLE_EQ(loaded.points[1].value, -2);
    EXPECT_FALSE(loaded.points[1].overrange);
    EXPECT_EQ(loaded.header.otherKeys[0].second, "Meier, J.");
}

TEST(RecordingReader, AMissingFileIsReportedByName) {
    const LoadedRecording loaded = loadRecording("/nonexistent/r.csv");
    EXPECT_EQ(loaded.status, LoadedRecording::Status::Refused);
    EXPECT_TRUE(loaded.message.startsWith("cannot read /nonexistent/r.csv"));
}
