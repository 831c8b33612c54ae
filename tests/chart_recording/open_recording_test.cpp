#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "data_home_scope.h"
#include "plot/chart_toolbar.h"
#include "plot/chart_widget.h"
#include "plot/recording_readout.h"
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

    // The overrange row has no value: it is kept as a point beyond the range.
    EXPECT_TRUE(samePoints(points(), {{0, 0.001},
                                      {400, 0.251},
                                      {800, std::numeric_limits<double>::infinity()},
                                      {1200, 0.751},
                                      {1600, 154.0},
                                      {2000, 155.0}}));
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
    EXPECT_EQ(chart.pointCount(), 5u);
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

namespace {

// Rows of one range ("2kV") and unit, `values[i]` at `times[i]` ms; `gapAt` is a gap row.
QByteArray fileOfValues(const std::vector<qint64>& times, const std::vector<double>& values,
                        int gapAt = -1) {
    QByteArray text = recordingHeaderText(sampleHeader());
    for (std::size_t i = 0; i < times.size(); ++i) {
        RecordedRow row;
        row.elapsedMs = times[i];
        row.time = sampleHeader().start.addMSecs(row.elapsedMs);
        row.value = values[i];
        row.unit = "kV";
        row.rangeText = "2kV";
        row.modeText = "Voltmeter Pelvar 1";
        row.gap = static_cast<int>(i) == gapAt;
        text += recordingRowLine(row);
    }
    return text;
}

bool columnHasSeriesColour(const QImage& image, int x, const QRectF& plot) {
    for (int y = static_cast<int>(plot.top()) + 1; y < static_cast<int>(plot.bottom()); ++y) {
        if (image.pixelColor(x, y) == QColor(255, 0, 0)) {
            return true;
        }
    }
    return false;
}

void pointAt(ChartWidget& chart, const QPointF& position) {
    QMouseEvent move(QEvent::MouseMove, position, chart.mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &move);
}

}  // namespace

TEST_F(OpenRecordingTest, CancelInTheMiddleOfALoadLeavesTheChartAsItWas) {
    // Several of the loader's blocks, so that Cancel falls between two of them.
    std::vector<qint64> times;
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        times.push_back(i * 200);
        values.push_back(0.5 + 0.001 * (i % 500));
    }
    const QString path = fileWith(fileOfValues(times, values), "long.csv");
    ASSERT_GT(QFileInfo(path).size(), 6 * 1024 * 1024);

    // At the first row the load waits until the operator has pressed Cancel.
    class WaitingSink : public RecordingSink {
    public:
        WaitingSink(RecordingSink& inner, QSemaphore& arrived, QSemaphore& pressed)
            : inner(inner), arrived(arrived), pressed(pressed) {}
        std::size_t bytesPerRow() const override { return inner.bytesPerRow(); }
        void begin(const RecordingHeader& header) override { inner.begin(header); }
        void row(const StreamedRow& row) override {
            if (rows++ == 0) {
                arrived.release();
                pressed.acquire();
            }
            inner.row(row);
        }
        RecordingSink& inner;
        QSemaphore& arrived;
        QSemaphore& pressed;
        qulonglong rows = 0;
    };
    QSemaphore arrived;
    QSemaphore pressed;
    StreamedRecording outcome;
    toolbar.setRecordingLoader(
        [&](const QString& file, RecordingSink& sink, LoadProgress* progress) {
            WaitingSink waiting(sink, arrived, pressed);
            outcome = streamRecordingFile(file, waiting, progress);
            return outcome;
        });
    bool dialogFound = false;
    QTimer::singleShot(0, &toolbar, [&] {
        arrived.acquire();
        auto* dialog = toolbar.findChild<QProgressDialog*>();
        auto* cancel = dialog ? dialog->findChild<QPushButton*>() : nullptr;
        dialogFound = cancel != nullptr;
        if (cancel) {
            cancel->click();
        }
        pressed.release();
    });
    open(path);

    EXPECT_TRUE(dialogFound);
    EXPECT_EQ(outcome.status, StreamedRecording::Status::Cancelled);
    EXPECT_GT(outcome.rows, 0u);
    EXPECT_LT(outcome.rows, times.size());
    EXPECT_TRUE(samePoints(points(), {{0, 5.0}, {200, 6.0}}));
    EXPECT_EQ(chart.title(), "Range = 2kV/m Mode = E-Fieldmeter");
    EXPECT_NE(toolbar.recordingFileLabel()->text(), "Opened: long.csv");
    EXPECT_FALSE(toolbar.recordingReadout()->shown());
    EXPECT_EQ(dialogs.count(Kind::Message), 0);
}

TEST_F(OpenRecordingTest, AGapRowBreaksTheLineAndTheCursorNamesTheNearestReading) {
    chart.resize(700, 500);
    // Readings every 200 ms, lost from 1800 ms until the gap row at 10000 ms.
    std::vector<qint64> times;
    std::vector<double> values;
    for (int i = 0; i < 10; ++i) {
        times.push_back(i * 200);
        values.push_back(1.0 + 0.01 * i);
    }
    for (int i = 0; i < 10; ++i) {
        times.push_back(10000 + i * 200);
        values.push_back(1.1 + 0.01 * i);
    }
    open(fileWith(fileOfValues(times, values, 10)));
    ASSERT_EQ(dialogs.count(Kind::Message), 0);

    QImage image(chart.size(), QImage::Format_RGB32);
    // The chart alone, without the statistics box over it.
    chart.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QRectF plot = chart.plotArea();
    const auto column = [&](double ms) {
        return static_cast<int>(std::lround(chart.pixelOf({ms, 1.0}).x()));
    };
    EXPECT_TRUE(columnHasSeriesColour(image, column(1000), plot));
    EXPECT_TRUE(columnHasSeriesColour(image, column(11000), plot));
    EXPECT_FALSE(columnHasSeriesColour(image, column(6000), plot));

    // 14:03:22 plus 10.4 s.
    pointAt(chart, chart.pixelOf({10400.0, 1.12}) + QPointF(1.0, -3.0));
    const QLabel* cursor = toolbar.recordingReadout()->cursorLabel();
    EXPECT_FALSE(cursor->isHidden());
    EXPECT_EQ(cursor->text(),
              "14:03:32.400  elapsed 0:00:10.400\n" + QLocale().toString(1.12, 'g', 6) + " kV");
    pointAt(chart, QPointF(2.0, 2.0));  // outside the plot
    EXPECT_TRUE(cursor->isHidden());
}

TEST_F(OpenRecordingTest, StatisticsCoverTheWholeRecordingAndTheShownPart) {
    chart.resize(700, 500);
    toolbar.setLimitPercent([] { return 50.0; });
    // In the 2 kV range a limit of 50 % is 1 kV.
    const std::vector<qint64> times{0, 400, 800, 1200, 1600};
    const std::vector<double> values{0.5, 1.2, 1.5, 0.3, 1.1};
    open(fileWith(fileOfValues(times, values)));
    RecordingReadout& readout = *toolbar.recordingReadout();
    ASSERT_TRUE(readout.shown());
    EXPECT_FALSE(readout.statisticsLabel()->isHidden());

    const auto expectFigures = [&](const RecordingStatistics& s, std::size_t first,
                                   std::size_t last) {
        double sum = 0.0;
        for (std::size_t i = first; i <= last; ++i) {
            sum += values[i];
        }
        const double mean = sum / static_cast<double>(last - first + 1);
        double squares = 0.0;
        for (std::size_t i = first; i <= last; ++i) {
            squares += (values[i] - mean) * (values[i] - mean);
        }
        const auto [low, high] =
            std::minmax_element(values.begin() + first, values.begin() + last + 1);
        EXPECT_EQ(s.readings, last - first + 1);
        EXPECT_EQ(s.lastMs - s.firstMs, times[last] - times[first]);
        EXPECT_EQ(s.minimum, *low);
        EXPECT_EQ(s.minimumAtMs, times[low - values.begin()]);
        EXPECT_EQ(s.maximum, *high);
        EXPECT_EQ(s.maximumAtMs, times[high - values.begin()]);
        EXPECT_NEAR(s.mean, mean, 1e-12);
        EXPECT_NEAR(s.standardDeviation, std::sqrt(squares / static_cast<double>(last - first + 1)),
                    1e-12);
    };
    expectFigures(readout.wholeStatistics(), 0, 4);
    // Above 1 kV from 400 to 1200 ms, and at the last reading.
    EXPECT_EQ(readout.wholeStatistics().excursions, 2u);
    EXPECT_EQ(readout.wholeStatistics().excursionMs, 800);
    expectFigures(readout.shownStatistics(), 0, 4);
    EXPECT_TRUE(readout.statisticsLabel()->text().contains(QLocale().toString(1.5, 'g', 6) +
                                                           " kV at 14:03:22"));

    chart.zoomTo(ChartRange{300.0, 1300.0, 0.0, 2.0});
    EXPECT_TRUE(QTest::qWaitFor([&] { return readout.shownStatistics().readings == 3; }, 5000));
    expectFigures(readout.shownStatistics(), 1, 3);
    EXPECT_EQ(readout.shownStatistics().excursions, 1u);
    EXPECT_EQ(readout.wholeStatistics().readings, 5u);

    toolbar.statisticsAction()->trigger();
    EXPECT_TRUE(readout.statisticsLabel()->isHidden());
    toolbar.statisticsAction()->trigger();
    EXPECT_FALSE(readout.statisticsLabel()->isHidden());
    toolbar.setRecordingRuns(true);
    EXPECT_TRUE(readout.statisticsLabel()->isHidden());
    EXPECT_FALSE(toolbar.statisticsAction()->isEnabled());
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
