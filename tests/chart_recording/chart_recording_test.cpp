#include "chart/chart_recording.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "data_home_scope.h"
#include "measure/measurement_evaluation.h"
#include "tests/support/kept_recording.h"

namespace {

using Status = KeptRecording::Status;

EvaluationResult plotted(double value) {
    EvaluationResult shown;
    shown.usable = true;
    shown.plotPoint = true;
    shown.displayValue = value;
    shown.unitText = "kV/m";
    shown.rangeText = "2kV/m";
    shown.modeText = "E-Fieldmeter";
    return shown;
}

EvaluationResult overrange() {
    EvaluationResult shown = plotted(0.0);
    shown.plotPoint = false;
    shown.overrange = true;
    return shown;
}

class ChartRecordingTest : public ::testing::Test {
protected:
    ChartRecording::HeaderSource header() {
        return [this] {
            ++headersAsked;
            ChartRecordingSource source;
            source.identity = {"12340417", "133", "235"};
            source.rangeIndex = 4;
            source.samplingTimeMs = 200;
            return chartRecordingHeader(source, plotted(0.0), QDateTime::currentDateTime());
        };
    }

    DataHomeScope dataHome;
    ChartRecording recording;
    QSignalSpy started{&recording, &ChartRecording::fileStarted};
    QSignalSpy failures{&recording, &ChartRecording::writeFailed};
    int headersAsked = 0;
};

}  // namespace

TEST_F(ChartRecordingTest, TheFirstRowStartsAFileAndEndClosesIt) {
    EvaluationResult unusable = plotted(3.0);
    unusable.usable = false;
    unusable.plotPoint = false;
    recording.record(0, unusable, header());
    EXPECT_FALSE(recording.isOpen());
    EXPECT_EQ(headersAsked, 0);

    recording.record(200, plotted(1001 * 0.001), header());
    recording.record(400, plotted(-0.5), header());
    recording.record(600, overrange(), header());
    EXPECT_EQ(headersAsked, 1);
    ASSERT_EQ(started.count(), 1);
    const QString path = started.front().front().toString();
    EXPECT_EQ(recording.path(), path);
    EXPECT_TRUE(path.startsWith(recordingsDirectory()));
    recording.end();
    EXPECT_FALSE(recording.isOpen());

    const KeptRecording loaded = loadAllRows(path);
    ASSERT_EQ(loaded.status, Status::Complete) << loaded.message.toStdString();
    EXPECT_EQ(loaded.header.deviceType, "235");
    EXPECT_EQ(loaded.header.rangeSetting, "auto");
    ASSERT_EQ(loaded.points.size(), 3u);
    EXPECT_EQ(loaded.points[0].value, recordedPointValue(1001 * 0.001));
    EXPECT_EQ(loaded.points[0].value, 1.001);
    EXPECT_EQ(loaded.points[1].elapsedMs, 400);
    EXPECT_TRUE(loaded.points[2].overrange);

    recording.record(0, plotted(2.0), header());
    EXPECT_EQ(started.count(), 2);
    EXPECT_NE(recording.path(), path);
    EXPECT_EQ(failures.count(), 0);
}

TEST_F(ChartRecordingTest, AFolderThatCannotBeMadeFailsOncePerFile) {
    QFile blocker(QDir(dataHome.path()).filePath("zalvo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (int i = 0; i < 20; ++i) {
        recording.record(i * 200, plotted(1.0), header());
    }
    EXPECT_EQ(failures.count(), 1);
    // No new attempt for every point: one per recording.
    EXPECT_EQ(headersAsked, 1);
    recording.end();
    EXPECT_EQ(failures.count(), 1);

    QFile::remove(blocker.fileName());
    recording.record(0, plotted(1.0), header());
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(failures.count(), 1);
}

TEST_F(ChartRecordingTest, WritingAPointIsCheap) {
    constexpr int points = 5000;
    QElapsedTimer timer;
    timer.start();
    recording.record(0, plotted(0.0), header());
    const double startMicroseconds = timer.nsecsElapsed() / 1000.0;
    std::vector<double> microseconds;
    microseconds.reserve(points);
    for (int i = 1; i <= points; ++i) {
        timer.start();
        // As the window does it: the value to plot, then the row.
        const double y = recordedPointValue(i * 0.0013);
        recording.record(i * 200, plotted(y), header());
        microseconds.push_back(timer.nsecsElapsed() / 1000.0);
    }
    timer.start();
    recording.end();
    const double endMicroseconds = timer.nsecsElapsed() / 1000.0;

    std::vector<double> sorted = microseconds;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0.0;
    for (double value : sorted) {
        sum += value;
    }
    const double mean = sum / points;
    const double p99 = sorted[points * 99 / 100];
    std::printf(
        "one point: mean %.1f us, median %.1f us, p99 %.1f us, max %.1f us over %d points; "
        "file start %.0f us, end with sync %.0f us\n",
        mean, sorted[points / 2], p99, sorted.back(), points, startMicroseconds, endMicroseconds);
    EXPECT_EQ(failures.count(), 0);
    EXPECT_EQ(loadAllRows(started.front().front().toString()).points.size(),
              static_cast<std::size_t>(points + 1));
    // A cycle lasts at least 200 ms; a point must cost a tiny part of it.
    EXPECT_LT(mean, 200.0);
}
