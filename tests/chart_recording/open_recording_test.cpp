#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "data_home_scope.h"
#include "plot/chart_toolbar.h"
#include "plot/chart_widget.h"
#include "recording/recording_writer.h"
#include "tests/support/scripted_operator_dialogs.h"
#include "ui/qt_operator_dialogs.h"

namespace {

using Kind = ScriptedOperatorDialogs::Kind;

RecordingHeader sampleHeader() {
    RecordingHeader header;
    header.program = "zalvo 2.0.3.4";
    header.deviceType = "235";
    header.serialNumber = "12340417";
    header.softwareVersion = "133";
    header.modeText = "Voltmeter Pelvar 1";
    header.rangeText = "2kV";
    header.rangeSetting = "auto";
    header.unit = "kV";
    header.samplingTimeMs = 400;
    header.start = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 22));
    return header;
}

// Rows 0, 400, 800, ...; the third is an overrange, and the unit changes to V at the fifth.
QByteArray sampleFile(int rows) {
    QByteArray text = recordingHeaderText(sampleHeader());
    for (int i = 0; i < rows; ++i) {
        RecordedRow row;
        row.elapsedMs = i * 400;
        row.time = sampleHeader().start.addMSecs(row.elapsedMs);
        row.value = i < 4 ? 0.25 * i + 0.001 : 150.0 + i;
        row.unit = i < 4 ? "kV" : "V";
        row.rangeText = i < 4 ? "2kV" : "400V";
        row.modeText = "Voltmeter Pelvar 1";
        row.overrange = i == 2;
        text += recordingRowLine(row);
    }
    return text;
}

class OpenRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        chart.addPoint(0.0, 5.0);
        chart.addPoint(200.0, 6.0);
        chart.setTitle("Range = 2kV/m Mode = E-Fieldmeter");
    }

    QString fileWith(const QByteArray& content, const QString& name = "recording.csv") {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    }

    void open(const QString& path) {
        dialogs.queueOpenFile(path);
        toolbar.openRecordingAction()->trigger();
    }

    std::vector<StoredPoint> points() const {
        std::vector<StoredPoint> result;
        for (std::size_t i = 0; i < chart.pointCount(); ++i) {
            result.push_back(chart.pointAt(i));
        }
        return result;
    }

    DataHomeScope dataHome;
    QTemporaryDir folder;
    ScriptedOperatorDialogs dialogs;
    ChartWidget chart;
    ChartToolbar toolbar{&chart};
};

bool samePoints(const std::vector<StoredPoint>& a,
                const std::vector<std::pair<double, double>>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].first || a[i].y != b[i].second) {
            return false;
        }
    }
    return true;
}

}  // namespace

TEST_F(OpenRecordingTest, ReplacesThePointsAndTakesTitleAndAxesFromTheFile) {
    chart.zoomTo(ChartRange{0.0, 100.0, 0.0, 1.0});
    open(fileWith(sampleFile(6)));

    // The overrange row has no point.
    EXPECT_TRUE(samePoints(
        points(), {{0, 0.001}, {400, 0.251}, {1200, 0.751}, {1600, 154.0}, {2000, 155.0}}));
    EXPECT_EQ(chart.title(), "2026-12-09 14:03:22  Range = 2kV Mode = Voltmeter Pelvar 1");
    // The axis names the unit of the last value, as the recording window showed it.
    EXPECT_EQ(chart.valueAxisTitle(), "V");
    EXPECT_EQ(chart.timeAxisTitle(), "Time mSek");
    EXPECT_EQ(chart.timeAxisIncrement(), 400.0);
    EXPECT_TRUE(chart.valueAxisAutomatic());
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_EQ(toolbar.recordingFileLabel()->text(), "Opened: recording.csv");
    EXPECT_EQ(dialogs.count(Kind::Message), 0);

    const OperatorDialogs::OpenFileRequest request = dialogs.shown().front().openRequest;
    EXPECT_EQ(request.initialDirectory, recordingsDirectory());
    ASSERT_FALSE(request.filters.isEmpty());
    EXPECT_TRUE(request.filters.front().contains("*.csv"));
}

TEST_F(OpenRecordingTest, CancelAndALockedActionChangeNothing) {
    toolbar.openRecordingAction()->trigger();  // nothing queued: the operator cancels
    EXPECT_EQ(dialogs.count(Kind::OpenFile), 1);
    EXPECT_EQ(chart.pointCount(), 2u);

    toolbar.setRecordingRuns(true);
    EXPECT_FALSE(toolbar.openRecordingAction()->isEnabled());
    toolbar.openRecordingAction()->trigger();
    EXPECT_EQ(dialogs.count(Kind::OpenFile), 1);
    toolbar.setRecordingRuns(false);
    EXPECT_TRUE(toolbar.openRecordingAction()->isEnabled());
}

TEST_F(OpenRecordingTest, AFileCutOffOrDamagedLoadsUpToTheDamageWithAMessage) {
    const QByteArray whole = sampleFile(6);
    // Killed in the middle of the last row.
    open(fileWith(whole.left(whole.size() - 12), "cut.csv"));
    EXPECT_EQ(chart.pointCount(), 4u);
    ASSERT_EQ(dialogs.count(Kind::Message), 1);
    EXPECT_EQ(dialogs.shown().last().caption, "Open recording");
    EXPECT_TRUE(dialogs.shown().last().text.contains("cut off"))
        << dialogs.shown().last().text.toStdString();
    EXPECT_TRUE(dialogs.shown().last().text.contains("cut.csv"));

    // A line in the middle that is no row: the rows before it are shown.
    QByteArray damaged = sampleFile(2);
    damaged += "800,2026-12-09T14:03:22.800+00:00,abc,kV,2kV,Voltmeter Pelvar 1,0,0\n";
    damaged += sampleFile(6).mid(sampleFile(5).size());
    open(fileWith(damaged, "damaged.csv"));
    EXPECT_TRUE(samePoints(points(), {{0, 0.001}, {400, 0.251}}));
    ASSERT_EQ(dialogs.count(Kind::Message), 2);
    EXPECT_TRUE(dialogs.shown().last().text.contains("damaged.csv:"));
}

TEST_F(OpenRecordingTest, WhatIsNoRecordingIsRefusedAndTheChartStays) {
    const QByteArray whole = sampleFile(3);
    const QList<QByteArray> refused{
        "elapsed ms,value,unit\r\n0,12.5,\"kV/m\"\r\n",                // the chart's own CSV export
        "# Zalvo recording,9\n" + whole.mid(whole.indexOf('\n') + 1),  // a newer format
        QByteArray(whole).replace("# sampling time ms,400", "# sampling time ms,soon"),
        whole.left(whole.indexOf("elapsed_ms")),  // cut off inside the header
        QByteArray(),
        QByteArray("\x7f"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
    };
    for (int i = 0; i < refused.size(); ++i) {
        open(fileWith(refused[i], QStringLiteral("refused%1.csv").arg(i)));
        EXPECT_TRUE(samePoints(points(), {{0, 5.0}, {200, 6.0}})) << "file " << i;
        EXPECT_EQ(chart.title(), "Range = 2kV/m Mode = E-Fieldmeter") << "file " << i;
        ASSERT_EQ(dialogs.count(Kind::Message), i + 1) << "file " << i;
        EXPECT_TRUE(dialogs.shown().last().text.startsWith("The recording could not be opened: "));
    }
    open(folder.filePath("missing.csv"));
    EXPECT_EQ(dialogs.count(Kind::Message), refused.size() + 1);
    EXPECT_EQ(chart.pointCount(), 2u);
}

TEST(QtOperatorDialogs, OpenDialogOffersOnlyExistingFilesWithTheFilters) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString existing = QDir(directory.path()).filePath("recording.csv");
    QFile(existing).open(QIODevice::WriteOnly);
    QtOperatorDialogs dialogs;
    QStringList filters;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        acceptMode = dialog->acceptMode();
        fileMode = dialog->fileMode();
        dialog->selectFile(existing);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QStringList offered{"Recording (*.csv)", "All files (*)"};
    EXPECT_EQ(dialogs.openFileName({offered, directory.path()}), existing);
    EXPECT_EQ(filters, offered);
    EXPECT_EQ(acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(fileMode, QFileDialog::ExistingFile);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_TRUE(dialogs.openFileName({offered, directory.path()}).isEmpty());
}
