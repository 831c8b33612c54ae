#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "recording/recording_writer.h"
#include "recording_sample.h"
#include "tests/support/full_filesystem.h"
#include "tests/support/kept_recording.h"

namespace {

// Lowers the file size limit for one test; the writer must see a failing write, not a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

}  // namespace

TEST(RecordingFormat, HeaderAndRowsReadAsDocumented) {
    RecordedRow row;
    row.elapsedMs = 1200;
    row.time = sampleTime(1205);
    row.value = 1001 * 0.0025;
    row.unit = "kV/m";
    row.rangeText = "5kV/m";
    row.modeText = "E-Fieldmeter";
    EXPECT_EQ(recordingHeaderText(sampleHeader()),
              "# Zalvo recording,1\n"
              "# program,zalvo-cli 2.0.3.4\n"
              "# device type,235\n"
              "# serial number,12340417\n"
              "# software version,133\n"
              "# mode,E-Fieldmeter\n"
              "# range,2kV/m\n"
              "# range setting,auto\n"
              "# unit,kV/m\n"
              "# distance mm,\n"
              "# sampling time ms,200\n"
              "# start,2026-12-09T14:03:22.123+01:00\n"
              "elapsed_ms,time,value,unit,range,mode,overrange,gap\n");
    EXPECT_EQ(recordingRowLine(row),
              "1200,2026-12-09T14:03:23.328+01:00,2.5025,kV/m,5kV/m,E-Fieldmeter,0,0\n");
    row.overrange = true;
    row.gap = true;
    EXPECT_EQ(recordingRowLine(row),
              "1200,2026-12-09T14:03:23.328+01:00,,kV/m,5kV/m,E-Fieldmeter,1,1\n");
}

TEST(RecordingFormat, NumbersUseAPointUnderEveryLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(recordedNumber(-1250.5), "-1250.5");
    EXPECT_EQ(recordedNumber(0.0005 * 500 * 1000), "250");
    EXPECT_EQ(recordedNumber(-0.0), "0");
    QLocale::setDefault(saved);
}

TEST(RecordingFormat, TimesCarryTheirOffsetFromUtc) {
    const QDateTime west(QDate(2026, 7, 1), QTime(8, 0, 0, 7), QTimeZone(-(3 * 3600 + 1800)));
    EXPECT_EQ(isoTimestamp(west), "2026-07-01T08:00:00.007-03:30");
    EXPECT_EQ(isoTimestamp(QDateTime(QDate(2026, 7, 1), QTime(8, 0), QTimeZone::utc())),
              "2026-07-01T08:00:00.000+00:00");
}

TEST(RecordingFormat, IdentityTextsCannotBreakTheLines) {
    RecordingHeader header = sampleHeader();
    header.serialNumber = QString::fromLatin1("12,4\n\"7\0x", 9);
    const QByteArray text = recordingHeaderText(header);
    EXPECT_TRUE(text.contains("# serial number,\"12,4?\"\"7?x\"\n")) << text.constData();
}

TEST(RecordingFormat, FileNamesTellStartTypeAndSerial) {
    RecordingHeader header = sampleHeader();
    EXPECT_EQ(recordingFileName(header), "2026-12-09_14-03-22_235_12340417.csv");
    EXPECT_EQ(recordingFileName(header, 3), "2026-12-09_14-03-22_235_12340417_3.csv");
    header.serialNumber = "../a b\x01";
    header.deviceType = "";
    EXPECT_EQ(recordingFileName(header), "2026-12-09_14-03-22_unknown____a_b_.csv");
}

TEST(RecordingFormat, RecordingsLiveUnderTheXdgDataDirectory) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/data/home/");
    EXPECT_EQ(recordingsDirectory(), "/data/home/zalvo/recordings");
    qputenv("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(recordingsDirectory(), QDir::homePath() + "/.local/share/zalvo/recordings");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(recordingsDirectory(), QDir::homePath() + "/.local/share/zalvo/recordings");
    if (!saved.isNull()) {
        qputenv("XDG_DATA_HOME", saved);
    }
}

TEST(RecordingWriter, EachRowIsInTheFileAsSoonAsItIsAppended) {
    QTemporaryDir dir;
    RecordingWriter writer;
    ASSERT_TRUE(writer.create(dir.filePath("r.csv"), sampleHeader()))
        << writer.errorString().toStdString();
    const std::vector<RecordedRow> rows = sampleRows(3);
    QByteArray expected = recordingHeaderText(sampleHeader());
    for (const RecordedRow& row : rows) {
        EXPECT_EQ(writer.append(row), AppendResult::Written);
        expected += recordingRowLine(row);
        EXPECT_EQ(fileBytes(dir.filePath("r.csv")), expected);
    }
    EXPECT_EQ(writer.rowsWritten(), 3);
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(writer.append(rows[0]), AppendResult::Skipped);
}

TEST(RecordingWriter, NeverReplacesAFile) {
    QTemporaryDir dir;
    const QString taken = dir.filePath("taken.csv");
    {
        QFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone's data\n");
    }
    RecordingWriter writer;
    EXPECT_FALSE(writer.create(taken, sampleHeader()));
    EXPECT_TRUE(writer.errorString().contains("exists already"))
        << writer.errorString().toStdString();
    EXPECT_EQ(fileBytes(taken), "someone's data\n");
}

TEST(RecordingWriter, SameStartAndInstrumentGetASuffix) {
    QTemporaryDir dir;
    const QString directory = dir.filePath("new/recordings");
    RecordingWriter first;
    RecordingWriter second;
    RecordingWriter third;
    ASSERT_TRUE(first.createIn(directory, sampleHeader()));
    ASSERT_TRUE(second.createIn(directory, sampleHeader()));
    ASSERT_TRUE(third.createIn(directory, sampleHeader()));
    EXPECT_EQ(QFileInfo(first.path()).fileName(), "2026-12-09_14-03-22_235_12340417.csv");
    EXPECT_EQ(QFileInfo(second.path()).fileName(), "2026-12-09_14-03-22_235_12340417_2.csv");
    EXPECT_EQ(QFileInfo(third.path()).fileName(), "2026-12-09_14-03-22_235_12340417_3.csv");
}

TEST(RecordingWriter, AnUncreatableFileIsReportedNotThrown) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RecordingWriter writer;
    EXPECT_FALSE(writer.create(dir.filePath("plain-file/r.csv"), sampleHeader()));
    EXPECT_TRUE(writer.errorString().startsWith("cannot create"))
        << writer.errorString().toStdString();
    EXPECT_FALSE(writer.createIn(dir.filePath("plain-file/sub"), sampleHeader()));
    EXPECT_EQ(writer.append(sampleRows(1)[0]), AppendResult::Skipped);
}

TEST(RecordingWriter, AFullDiskFailsOnceAndLeavesOnlyWholeRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath("full.csv");
    const std::vector<RecordedRow> rows = sampleRows(200);
    std::vector<AppendResult> results;
    RecordingWriter writer;
    {
        FileSizeLimit limit(recordingHeaderText(sampleHeader()).size() + 1000);
        ASSERT_TRUE(writer.create(path, sampleHeader()));
        for (const RecordedRow& row : rows) {
            results.push_back(writer.append(row));
        }
        EXPECT_FALSE(writer.close());
    }
    const auto written = std::count(results.begin(), results.end(), AppendResult::Written);
    EXPECT_GT(written, 5);
    EXPECT_LT(written, 20);
    EXPECT_EQ(std::count(results.begin(), results.end(), AppendResult::Failed), 1);
    EXPECT_EQ(results[written], AppendResult::Failed);
    EXPECT_TRUE(writer.failed());
    EXPECT_FALSE(writer.errorString().isEmpty());

    const KeptRecording loaded = loadAllRows(path);
    EXPECT_EQ(loaded.status, KeptRecording::Status::Complete) << loaded.message.toStdString();
    EXPECT_EQ(static_cast<long long>(loaded.points.size()), written);
}

TEST(RecordingWriter, AReallyFullDiskFailsOnceWithItsReasonAndKeepsWholeRows) {
    FullFilesystem disk;
    if (!disk.isMounted()) {
        GTEST_SKIP() << disk.reason().toStdString();
    }
    const QString path = disk.filePath("full.csv");
    RecordingWriter writer;
    ASSERT_TRUE(writer.create(path, sampleHeader()));
    ASSERT_TRUE(disk.fill());
    std::vector<AppendResult> results;
    for (const RecordedRow& row : sampleRows(200)) {
        results.push_back(writer.append(row));
    }
    EXPECT_FALSE(writer.close());
    EXPECT_EQ(std::count(results.begin(), results.end(), AppendResult::Failed), 1);
    EXPECT_TRUE(writer.errorString().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << writer.errorString().toStdString();
    const KeptRecording loaded = loadAllRows(path);
    EXPECT_EQ(loaded.status, KeptRecording::Status::Complete) << loaded.message.toStdString();
    EXPECT_EQ(static_cast<long long>(loaded.points.size()),
              std::count(results.begin(), results.end(), AppendResult::Written));
}

TEST(RecordingWriter, AHeaderThatDoesNotFitLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tiny.csv");
    RecordingWriter writer;
    {
        FileSizeLimit limit(50);
        EXPECT_FALSE(writer.create(path, sampleHeader()));
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(writer.errorString().startsWith("cannot write"))
        << writer.errorString().toStdString();
}
