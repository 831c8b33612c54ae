#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <variant>

#include "recording/recording_writer.h"
#include "recording_sample.h"
#include "tests/support/kept_recording.h"

namespace {

KeptRecording read(const QByteArray& bytes) {
    return readAllRows(bytes, "r.csv");
}

QByteArray header() {
    return recordingHeaderText(sampleHeader());
}

// Many rows, quickly: the rows of a short sample over and over.
QByteArray longFile(int repeats) {
    return header() + sampleFileBytes(100).mid(header().size()).repeated(repeats);
}

// Gives its bytes, then fails where the file goes on, as a disk with a bad sector does.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(const QByteArray& bytes) : bytes(bytes) { open(ReadOnly | Unbuffered); }
    qint64 size() const override { return bytes.size() + 1; }

protected:
    qint64 readData(char* data, qint64 size) override {
        if (at == bytes.size()) {
            setErrorString("Input/output error");
            return -1;
        }
        const qint64 n = std::min<qint64>(size, bytes.size() - at);
        std::memcpy(data, bytes.constData() + at, static_cast<std::size_t>(n));
        at += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes;
    qint64 at = 0;
};

// Keeps the rows; claims any cost per row and can cancel the load after some rows.
class ControlledSink : public KeepingSink {
public:
    std::size_t bytesPerRow() const override { return perRow; }
    void row(const StreamedRow& row) override {
        KeepingSink::row(row);
        if (cancelAfter > 0 && points.size() == cancelAfter) {
            progress->cancel = true;
        }
    }

    std::size_t perRow = 16;
    std::size_t cancelAfter = 0;
    LoadProgress* progress = nullptr;
};

}  // namespace

TEST(RecordingStream, ReadsBackWhatTheWriterWrote) {
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
    const KeptRecording loaded = loadAllRows(dir.filePath("r.csv"));
    ASSERT_EQ(loaded.status, KeptRecording::Status::Complete) << loaded.message.toStdString();
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
        const KeptRow& point = loaded.points[i];
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

    // Whole rows, as they are sent again or resumed, carry the time and texts of each row.
    QFile file(dir.filePath("r.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::size_t i = 0;
    scanRecordingRows(file, "r.csv", [&](const RecordedRow& row) {
        ASSERT_LT(i, rows.size());
        EXPECT_EQ(row.time, rows[i].time);
        EXPECT_EQ(row.time.offsetFromUtc(), 3600);
        EXPECT_EQ(row.rangeText, rows[i].rangeText);
        EXPECT_EQ(row.modeText, rows[i].modeText);
        EXPECT_EQ(row.unit, rows[i++].unit);
    });
    EXPECT_EQ(i, rows.size());
}

TEST(RecordingStream, ALineCutOffByACrashLoadsUpToTheLastWholeRow) {
    const QByteArray whole = sampleFileBytes(10);
    const KeptRecording loaded = read(whole.left(whole.size() - 20));
    EXPECT_EQ(loaded.status, KeptRecording::Status::Partial);
    EXPECT_TRUE(loaded.cutOff);
    EXPECT_EQ(loaded.points.size(), 9u);
    EXPECT_EQ(loaded.message,
              "r.csv: the last line is cut off (the recording ended abruptly); 9 rows were read");
}

TEST(RecordingStream, ForeignOrDamagedHeadersAreRefused) {
    const QByteArray sample = sampleFileBytes(3);
    const std::pair<QByteArray, QString> cases[] = {
        {"", "r.csv is not a Zalvo recording"},
        {"date;value\n2026-12-09;1,5\n", "r.csv is not a Zalvo recording"},
        {"# Zalvo recording,1", "r.csv is not a Zalvo recording"},
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
        {QByteArray(sample).replace("# start,2026", "# start,yesterday 2026"),
         "r.csv:12: the start time 'yesterday 2026-12-09T14:03:22.123+01:00' is not a date and "
         "time"},
        // Opening must not take forever on a file of nothing but header lines.
        {QByteArray(sample).replace("# program",
                                    QByteArray("# note\n").repeated(1000) + "# program"),
         "r.csv has more than 1000 lines before its column header: this is no recording of "
         "this program"},
        {QByteArray(sample).replace(
             "# program", ("#" + QByteArray(60000, 'x') + "\n").repeated(70) + "# program"),
         "r.csv: no column header within the first 4.2 MB: this is no recording"},
    };
    for (const auto& [bytes, message] : cases) {
        const KeptRecording loaded = read(bytes);
        EXPECT_EQ(loaded.status, KeptRecording::Status::Refused) << bytes.left(80).constData();
        EXPECT_EQ(loaded.message, message);
        EXPECT_TRUE(loaded.points.empty());
    }
}

TEST(RecordingStream, EditedFilesStillLoad) {
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
    const KeptRecording loaded = read(bytes);
    ASSERT_EQ(loaded.status, KeptRecording::Status::Complete) << loaded.message.toStdString();
    ASSERT_EQ(loaded.points.size(), 2u);
    EXPECT_EQ(loaded.points[1].elapsedMs, 200);
    EXPECT_DOUBLE_EQ(loaded.points[1].value, -2);
    EXPECT_FALSE(loaded.points[1].overrange);
    EXPECT_EQ(loaded.header.otherKeys[0].second, "Meier, J.");
}

// The row after the header: the value it gives, or why the line is damaged.
TEST(RecordingStream, ARowReadsAsANumberOrSaysWhyNot) {
    const std::pair<const char*, std::variant<double, const char*>> cases[] = {
        {"0,t,+1.5,V,2V,m,,", 1.5},
        {"0,t, 12 ,V,2V,m,0,0", 12.0},
        {"0012,t,.5,V,2V,m,0,0", 0.5},
        {"0,t,-0,V,2V,m,0,0", 0.0},
        {"0,t,12345678901234567890123456789012345678901234567890,V,2V,m,0,0",
         12345678901234567890123456789012345678901234567890.0},
        {"0,\"t,\"\"q\"\"\",2.25,\"k V\",2V,m,0,1", 2.25},
        {"0,t,1e400,V,2V,m,0,0", "the value '1e400' is no number"},
        {"0,t,nan,V,2V,m,0,0", "the value 'nan' is no number"},
        {"0,t,1,5,V,2V,m,0,0", "9 fields instead of 8"},
        {"-5,t,1,V,2V,m,0,0", "the elapsed time '-5' is no number of milliseconds"},
        {"99999999999999999999,t,1,V,2V,m,0,0",
         "the elapsed time '99999999999999999999' is no number of milliseconds"},
        {"0,t,1,V,2V,m,2,0", "a flag is neither 0 nor 1"},
        {"0,\"t,1,V,2V,m,0,0", "a quoted text is not closed"},
        {"0,t\"x,1,V,2V,m,0,0", "a quoted text is not closed"},
    };
    for (const auto& [row, expected] : cases) {
        const KeptRecording loaded = read(header() + row + "\n");
        if (const auto* value = std::get_if<double>(&expected)) {
            ASSERT_EQ(loaded.status, KeptRecording::Status::Complete) << row;
            EXPECT_EQ(loaded.points.at(0).value, *value) << row;
        } else {
            EXPECT_EQ(loaded.message, QStringLiteral("r.csv:14: the line is damaged (%1); 0 rows "
                                                     "were read up to it")
                                          .arg(std::get<const char*>(expected)));
            EXPECT_FALSE(loaded.cutOff);
        }
    }
}

// A line with its "\n" takes at most 64 KiB; a longer one is damage, also across the loader's
// blocks of 4 MB.
TEST(RecordingStream, ALineLongerThan64KiBEndsTheLoading) {
    const QString tooLong = "r.csv:%1: the line is too long; %2 rows were read up to it";
    for (int length : {65535, 65536}) {
        const QByteArray line = "0,t,1,V," + QByteArray(length - 14, 'x') + ",m,0,0";
        const bool fits = length < 65536;
        const KeptRecording followed = read(header() + line + "\n1,t,1,V,2V,m,0,0\n");
        EXPECT_EQ(followed.points.size(), fits ? 2u : 0u) << length;
        EXPECT_EQ(followed.message, fits ? QString() : tooLong.arg(14).arg(0));
        const KeptRecording comment = read(header() + QByteArray(length, '#') + "\n");
        EXPECT_EQ(comment.message, fits ? QString() : tooLong.arg(14).arg(0));
        // Without its "\n" at the end, it is cut off up to 64 KiB and too long beyond.
        EXPECT_EQ(read(header() + line + "x").cutOff, fits) << length;
    }
    QByteArray big = longFile(700);
    EXPECT_EQ(read(big).points.size(), 70000u);
    const qsizetype inSecondBlock = big.indexOf('\n', 4 * 1024 * 1024 - 100) + 1;
    big.insert(inSecondBlock, QByteArray(70000, 'x') + "\n");
    const KeptRecording cut = read(big);
    EXPECT_EQ(cut.status, KeptRecording::Status::Partial);
    EXPECT_EQ(cut.message, tooLong.arg(cut.points.size() + 14).arg(cut.points.size()));
}

TEST(RecordingStream, AReadErrorEndsTheLoadingAndSaysSo) {
    FailingDevice inHeader(header().left(100));
    KeepingSink sink;
    EXPECT_EQ(streamRecording(inHeader, "r.csv", sink).message,
              "cannot read r.csv: Input/output error");
    FailingDevice inRows(sampleFileBytes(5));
    const StreamedRecording loaded = streamRecording(inRows, "r.csv", sink);
    EXPECT_EQ(loaded.status, StreamedRecording::Status::Partial);
    EXPECT_EQ(loaded.message,
              "cannot read r.csv beyond line 18: Input/output error; 5 rows were read");
    EXPECT_EQ(sink.points.size(), 5u);
}

TEST(RecordingStream, StopsWhenCancelled) {
    QByteArray bytes = longFile(1500);  // several blocks
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    LoadProgress progress;
    ControlledSink sink;
    sink.progress = &progress;
    sink.cancelAfter = 10;
    const StreamedRecording loaded = streamRecording(device, "file.csv", sink, &progress);
    EXPECT_EQ(loaded.status, StreamedRecording::Status::Cancelled);
    EXPECT_EQ(loaded.rows, sink.points.size());
    EXPECT_LT(sink.points.size(), 150000u / 2);
    EXPECT_LT(progress.bytesRead.load(), bytes.size());
}

TEST(RecordingStream, RefusesWhatIsNoFileToLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath("empty.csv");
    const QString good = dir.filePath("good.csv");
    QFile(empty).open(QIODevice::WriteOnly);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(sampleFileBytes(100)), sampleFileBytes(100).size());
    file.close();

    struct Case {
        QString path;
        std::size_t bytesPerRow;
        QString says;
    };
    const Case cases[] = {
        {dir.path(), 16, dir.path() + " is a folder, not a recording"},
        {empty, 16, empty + " is empty: it holds no recording"},
        {dir.filePath("none.csv"), 16, "cannot read " + dir.filePath("none.csv") + ": "},
        // Far more than any machine has: refused before a row is read.
        {good, std::size_t{1} << 40, good + " is "},
    };
    for (const Case& c : cases) {
        ControlledSink sink;
        sink.perRow = c.bytesPerRow;
        const StreamedRecording loaded = streamRecordingFile(c.path, sink);
        EXPECT_EQ(loaded.status, StreamedRecording::Status::Refused) << c.path.toStdString();
        EXPECT_TRUE(loaded.message.startsWith(c.says)) << loaded.message.toStdString();
        EXPECT_EQ(loaded.message.contains("would need about"), c.bytesPerRow > 16);
        EXPECT_TRUE(sink.points.empty());
    }
    ControlledSink sink;
    LoadProgress progress;
    EXPECT_EQ(streamRecordingFile(good, sink, &progress).status,
              StreamedRecording::Status::Complete);
    EXPECT_EQ(sink.points.size(), 100u);
    EXPECT_EQ(progress.bytesRead.load(), progress.totalBytes.load());
}
