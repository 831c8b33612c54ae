#include <sys/resource.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <cmath>

#include "data_home_scope.h"
#include "plot/chart_toolbar.h"
#include "tests/chart_window/chart_window_fixture.h"
#include "tests/support/kept_recording.h"

namespace {

using Kind = ScriptedOperatorDialogs::Kind;
using Status = KeptRecording::Status;

// Counts on the smallest field-meter range (factor 0.001). 1001 counts make 1.0010000000000001
// as a product, which 15 digits cannot hold: the chart must plot what the file keeps.
const std::vector<int> counts{1234, 1001, 333, 1999, 7, 1500, 1001, 250};

std::vector<KeptRow> valuedRows(const KeptRecording& recording) {
    std::vector<KeptRow> rows;
    for (const KeptRow& point : recording.points) {
        if (!point.overrange) {
            rows.push_back(point);
        }
    }
    return rows;
}

template <int Type>
class RecordingWindowTestOf : public ChartWindowTest<Type> {
protected:
    using ChartWindowTest<Type>::chart;

    // The file's rows with a value against the chart's points, one by one and exactly.
    void expectFileHoldsTheChart(const QString& path) {
        const KeptRecording loaded = loadAllRows(path);
        ASSERT_EQ(loaded.status, Status::Complete) << loaded.message.toStdString();
        const std::vector<KeptRow> rows = valuedRows(loaded);
        const ChartWidget& plotted = *chart->Chart1;
        ASSERT_EQ(rows.size(), plotted.pointCount());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(static_cast<double>(rows[i].elapsedMs), plotted.pointAt(i).x) << "row " << i;
            EXPECT_EQ(rows[i].value, plotted.pointAt(i).y) << "row " << i;
        }
    }

    DataHomeScope dataHome;
};

using RecordingWindowTest = RecordingWindowTestOf<235>;
using RecordingWindowTest115 = RecordingWindowTestOf<115>;

}  // namespace

TEST_F(RecordingWindowTest, BreakLeavesAFileWithEveryPlottedPointAndItsHeader) {
    prepare();
    sim.setValues(counts);
    bool openLockedWhileRecording = false;
    QString fileShownWhileRecording;
    record([&](int n) {
        if (n == 4) {
            openLockedWhileRecording = !chart->TeeCommander1->openRecordingAction()->isEnabled();
            fileShownWhileRecording = chart->TeeCommander1->recordingFileLabel()->toolTip();
        }
        if (n == 8) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(chart->Chart1->pointCount(), 7u);
    expectFileHoldsTheChart(files[0]);
    // The first reading belongs to Start; the points begin with the second count.
    EXPECT_EQ(chart->Chart1->pointAt(0).y, 1.001);
    EXPECT_EQ(chart->Chart1->pointAt(5).y, 1.001);

    const KeptRecording loaded = loadAllRows(files[0]);
    const RecordingHeader& header = loaded.header;
    EXPECT_EQ(header.program, "zalvo 2.0.3.4");
    EXPECT_EQ(header.deviceType, "235");
    EXPECT_EQ(header.serialNumber, main->Label_Serial_number->text());
    EXPECT_EQ(header.softwareVersion, main->Label_SW_version->text());
    EXPECT_EQ(header.modeText, "E-Fieldmeter");
    EXPECT_EQ(header.rangeText, "2kV/m");
    EXPECT_EQ(header.unit, "kV/m");
    EXPECT_EQ(header.rangeSetting, "3");
    EXPECT_TRUE(header.distanceMm.isEmpty());
    EXPECT_EQ(header.samplingTimeMs, 200);
    EXPECT_TRUE(header.start.isValid());
    EXPECT_TRUE(QFileInfo(files[0]).fileName().contains("_235_" + header.serialNumber));
    for (const KeptRow& row : loaded.points) {
        EXPECT_EQ(row.unit, "kV/m");
        EXPECT_FALSE(row.overrange);
    }

    EXPECT_TRUE(openLockedWhileRecording);
    EXPECT_EQ(fileShownWhileRecording, files[0]);
    EXPECT_TRUE(chart->TeeCommander1->openRecordingAction()->isEnabled());
    EXPECT_FALSE(chart->Label_File_Warning->isVisibleTo(chart.get()));
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(RecordingWindowTest, AnOverrangeEndsTheFileWithAFlaggedRowAfterThePoints) {
    prepare();
    sim.setValues({1001});
    record([this](int n) {
        if (n == 5) {
            sim.setStatus(statusOverrange);
        }
    });

    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(chart->Chart1->pointCount(), 3u);
    expectFileHoldsTheChart(files[0]);
    const KeptRecording loaded = loadAllRows(files[0]);
    ASSERT_EQ(loaded.points.size(), 4u);
    const KeptRow& last = loaded.points.back();
    EXPECT_TRUE(last.overrange);
    EXPECT_TRUE(std::isnan(last.value));
    // Its time is where the next point would have been.
    EXPECT_EQ(last.elapsedMs, 600);
    EXPECT_TRUE(chart->TeeCommander1->openRecordingAction()->isEnabled());
}

TEST_F(RecordingWindowTest, ALostConnectionKeepsEveryPointReadBeforeIt) {
    prepare();
    sim.setValues(counts);
    const int code = exitCodeOf([this] {
        record([this](int n) {
            if (n == 6) {
                operatorDoes([this] { sim.unplug(); });
            }
        });
    });

    EXPECT_EQ(code, -1);
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_TRUE(
        dialogs.shown().last().text.startsWith("No connection to the USB device! Error no = "));
    EXPECT_EQ(dialogs.shown().last().caption, "E R R O R occurred");
    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(chart->Chart1->pointCount(), 5u);
    expectFileHoldsTheChart(files[0]);
}

TEST_F(RecordingWindowTest, AResetBeginsANewFileAForcedRangeGoesOnInItAndNoneIsDeleted) {
    prepare();
    sim.setValues({1000});
    record([this](int n) {
        if (n == 4) {
            operatorDoes([this] { chart->BitBtn_ResetClick(); });
        }
        if (n == 7) {
            operatorDoes([this] { chart->RadioGroup_Range->setItemIndex(3); });
        }
        if (n == 10) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 2);
    std::vector<std::vector<KeptRow>> parts;
    for (const QString& file : files) {
        const KeptRecording loaded = loadAllRows(file);
        EXPECT_EQ(loaded.status, Status::Complete) << loaded.message.toStdString();
        parts.push_back(loaded.points);
    }
    ASSERT_EQ(parts[0].size(), 3u);
    EXPECT_EQ(parts[0][0].elapsedMs, 0);
    EXPECT_EQ(parts[0][0].value, 1.0);
    // After a clear the chart goes on at the length of the cycle in progress, and so does the file.
    ASSERT_GT(parts[1].size(), chart->Chart1->pointCount());
    EXPECT_EQ(parts[1][0].elapsedMs, 200);
    EXPECT_EQ(parts[1][0].unit, "kV/m");
    // The forced range cleared the chart; the file holds the points before it and goes on.
    EXPECT_EQ(parts[1][0].value, 1.0);
    EXPECT_EQ(parts[1].back().value, 100.0);
    for (std::size_t i = 1; i < parts[1].size(); ++i) {
        EXPECT_GT(parts[1][i].elapsedMs, parts[1][i - 1].elapsedMs) << "row " << i;
    }

    // A new Start adds a file; the earlier ones stay as they were.
    recordUntilBreakAt(3);
    files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(loadAllRows(files[0]).points.size(), 3u);
    expectFileHoldsTheChart(files[2]);
}

TEST_F(RecordingWindowTest, ARangeTheInstrumentRefusesEveryCycleLeavesOneFile) {
    prepare();
    sim.setValues({1000});
    record([this](int n) {
        if (n == 2) {
            sim.setReportedRange(0x10);
        }
        if (n == 20) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_GT(loadAllRows(files[0]).points.size(), 5u);
}

TEST_F(RecordingWindowTest, ASamplingTimeBelowTheSmallestRecordsAndReopensAsTheSmallest) {
    // As read from a hand-edited SETUP.INI.
    main->samplingTimeChart = -5;
    main->storedSamplingTimeChart = -5;
    prepare();
    recordUntilBreakAt(4);
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 200, 400}));
    EXPECT_EQ(chart->Label_SampleTime_Value->text(), "200 mSek");
    EXPECT_EQ(main->samplingTimeChart, -5);
    const KeptRecording loaded = loadAllRows(DataHomeScope::recordingFiles().value(0));
    ASSERT_EQ(loaded.status, Status::Complete) << loaded.message.toStdString();
    EXPECT_EQ(loaded.header.samplingTimeMs, 200);
}

TEST_F(RecordingWindowTest, TheRecordingCanBeOpenedAgainIntoTheWindowsChart) {
    prepare();
    sim.setValues(counts);
    recordUntilBreakAt(8);
    std::vector<StoredPoint> recorded;
    for (std::size_t i = 0; i < chart->Chart1->pointCount(); ++i) {
        recorded.push_back(chart->Chart1->pointAt(i));
    }
    const QString path = DataHomeScope::recordingFiles().value(0);
    chart->BitBtn_ResetClick();
    ASSERT_EQ(chart->Chart1->pointCount(), 0u);

    dialogs.queueOpenFile(path);
    chart->TeeCommander1->openRecordingAction()->trigger();
    ASSERT_EQ(dialogs.count(Kind::OpenFile), 1);
    EXPECT_EQ(dialogs.shown().last().openRequest.initialDirectory, recordingsDirectory());
    ASSERT_EQ(chart->Chart1->pointCount(), recorded.size());
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        EXPECT_EQ(chart->Chart1->pointAt(i).x, recorded[i].x) << "point " << i;
        EXPECT_EQ(chart->Chart1->pointAt(i).y, recorded[i].y) << "point " << i;
    }
    EXPECT_TRUE(chart->Chart1->title().endsWith("Range = 2kV/m Mode = E-Fieldmeter"));
    EXPECT_EQ(chart->Chart1->valueAxisTitle(), "kV/m");
    EXPECT_EQ(dialogs.count(Kind::Message), 0);
    // Nothing was written by opening.
    EXPECT_EQ(DataHomeScope::recordingFiles().size(), 1);
}

TEST_F(RecordingWindowTest, AnUnwritableRecordingsFolderWarnsOnceAndTheChartRecordsOn) {
    // A plain file where the program's data folder would be: no folder can be made there.
    QFile blocker(QDir(dataHome.path()).filePath("zalvo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    prepare();
    sim.setValues({1000});
    bool warnedAtSecondPoint = false;
    record([&](int n) {
        if (n == 4) {
            warnedAtSecondPoint = chart->Label_File_Warning->isVisibleTo(chart.get());
        }
        if (n == 8) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_TRUE(warnedAtSecondPoint);
    EXPECT_TRUE(chart->Label_File_Warning->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->Label_File_Warning->text(), "Warning - Recording not saved to disk !!");
    EXPECT_TRUE(chart->Label_File_Warning->toolTip().contains("zalvo/recordings"));
    EXPECT_TRUE(chart->TeeCommander1->recordingFileLabel()->text().startsWith("Not saved: "));
    EXPECT_EQ(chart->Chart1->pointCount(), 7u);
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(DataHomeScope::recordingFiles().isEmpty());

    // With the folder usable again the next recording is saved and the warning goes.
    ASSERT_TRUE(QFile::remove(blocker.fileName()));
    recordUntilBreakAt(3);
    EXPECT_FALSE(chart->Label_File_Warning->isVisibleTo(chart.get()));
    ASSERT_EQ(DataHomeScope::recordingFiles().size(), 1);
    expectFileHoldsTheChart(DataHomeScope::recordingFiles()[0]);
}

TEST_F(RecordingWindowTest, AFullDiskKeepsWholeRowsWarnsAndTheChartRecordsOn) {
    prepare();
    sim.setValues(counts);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    // The header and a few rows fit.
    lowered.rlim_cur = 800;
    setrlimit(RLIMIT_FSIZE, &lowered);
    record([this](int n) {
        if (n == 30) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(chart->Chart1->pointCount(), 29u);
    EXPECT_TRUE(chart->Label_File_Warning->isVisibleTo(chart.get()));
    EXPECT_TRUE(dialogs.shown().isEmpty());
    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    const KeptRecording loaded = loadAllRows(files[0]);
    ASSERT_EQ(loaded.status, Status::Complete) << loaded.message.toStdString();
    ASSERT_GT(loaded.points.size(), 2u);
    ASSERT_LT(loaded.points.size(), 29u);
    for (std::size_t i = 0; i < loaded.points.size(); ++i) {
        EXPECT_EQ(static_cast<double>(loaded.points[i].elapsedMs), chart->Chart1->pointAt(i).x);
        EXPECT_EQ(loaded.points[i].value, chart->Chart1->pointAt(i).y);
    }
}

TEST_F(RecordingWindowTest, AStartDuringTheLastCycleEndsTheFirstFileAndKeepsOpenLocked) {
    prepare();
    sim.setValues({1000});
    bool openLockedInSecondRecording = false;
    record([&](int n) {
        if (n == 4) {
            operatorDoes([this] {
                chart->BitBtn_BreakClick();
                chart->BitBtn_StartClick();
            });
        }
        if (n == 7) {
            openLockedInSecondRecording = !chart->TeeCommander1->openRecordingAction()->isEnabled();
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_TRUE(openLockedInSecondRecording);
    EXPECT_TRUE(chart->TeeCommander1->openRecordingAction()->isEnabled());
    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(loadAllRows(files[0]).points.size(), 3u);
    expectFileHoldsTheChart(files[1]);
}

TEST_F(RecordingWindowTest115, TheDistanceVoltmetersHeaderNamesTheDistance) {
    prepare();
    chart->RadioGroup_Mode->setItemIndex(2);
    chart->ScrollBar_distance_Ch->setValue(20);
    chart->RadioGroup_Range->setItemIndex(1);
    sim.setValues({1000});
    recordUntilBreakAt(4);

    const QStringList files = DataHomeScope::recordingFiles();
    ASSERT_EQ(files.size(), 1);
    expectFileHoldsTheChart(files[0]);
    const KeptRecording loaded = loadAllRows(files[0]);
    EXPECT_EQ(loaded.header.deviceType, "115");
    EXPECT_EQ(loaded.header.distanceMm, "20");
    EXPECT_EQ(loaded.header.rangeText, "500V");
    EXPECT_EQ(loaded.header.unit, "V");
    EXPECT_EQ(loaded.header.modeText, "Voltmeter dist.");
    EXPECT_EQ(loaded.header.rangeSetting, "2");
}
