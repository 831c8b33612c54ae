#include "plot/chart_export.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <charconv>
#include <clocale>
#include <limits>
#include <string>
#include <vector>

#include "plot/chart_widget.h"
#include "plot/opened_recording.h"
#include "plot/recording_view.h"
#include "tests/support/full_filesystem.h"

namespace {

// Puts the program under a German default locale (decimal comma) while it lives.
class GermanLocale {
public:
    GermanLocale() : previous(QLocale()) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const char* current = std::setlocale(LC_ALL, nullptr);
        previousC = current ? current : "C";
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~GermanLocale() {
        QLocale::setDefault(previous);
        std::setlocale(LC_ALL, previousC.c_str());
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

private:
    QLocale previous;
    std::string previousC;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double parsed(const QByteArray& field) {
    double value = 0.0;
    const auto result = std::from_chars(field.constData(), field.constData() + field.size(), value);
    EXPECT_EQ(result.ptr, field.constData() + field.size()) << field.constData();
    return value;
}

class ChartExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        chart.resize(713, 633);
        chart.setTitle(QStringLiteral("Range = 20kV/m Mode = E-Fieldmeter"));
        chart.setValueAxisTitle(QStringLiteral("kV/m"));
        chart.setTimeAxisTitle(QStringLiteral("Time mSek"));
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    ChartWidget chart;
};

}  // namespace

TEST_F(ChartExportTest, CsvHoldsEveryPointExactlyWhateverTheLocale) {
    const std::vector<StoredPoint> points = {
        {0.0, 0.1},    {203.0, 1.0 / 3.0}, {406.0, -2.5e-7}, {609.0, 123456789.125},
        {812.0, -0.0}, {1015.0, 5e-324},   {1218.0, 1e300},  {2147483647.0, -19.999999999999996},
    };
    for (const StoredPoint& p : points) {
        chart.addPoint(p.x, p.y);
    }
    {
        GermanLocale german;
        ASSERT_TRUE(exportChartCsv(chart, path("recording.csv")));
    }
    const QList<QByteArray> lines = contents(path("recording.csv")).split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(points.size()) + 2);  // header, points, ""
    EXPECT_EQ(lines.front(), QByteArray("elapsed ms,value,unit\r"));
    EXPECT_TRUE(lines.back().isEmpty());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QByteArray& line = lines[static_cast<qsizetype>(i) + 1];
        ASSERT_TRUE(line.endsWith('\r')) << line.constData();
        const QList<QByteArray> fields = line.chopped(1).split(',');
        ASSERT_EQ(fields.size(), 3) << line.constData();
        EXPECT_EQ(parsed(fields[0]), points[i].x);
        EXPECT_EQ(parsed(fields[1]), points[i].y);
        EXPECT_EQ(std::signbit(parsed(fields[1])), std::signbit(points[i].y));
        EXPECT_EQ(fields[2], QByteArray("\"kV/m\""));
    }
}

TEST_F(ChartExportTest, CsvQuotesTheUnitAndWritesLongRecordingsWhole) {
    chart.setValueAxisTitle(QStringLiteral("say \"V\", twice"));
    const int count = 100'000;
    for (int i = 0; i < count; ++i) {
        chart.addPoint(i * 200.0, i % 2 ? 1.5 : -1.5);
    }
    ASSERT_TRUE(exportChartCsv(chart, path("long.csv")));
    const QList<QByteArray> lines = contents(path("long.csv")).split('\n');
    ASSERT_EQ(lines.size(), count + 2);
    EXPECT_EQ(lines[1], QByteArray("0,-1.5,\"say \"\"V\"\", twice\"\r"));
    EXPECT_EQ(lines[count], QByteArray("19999800,1.5,\"say \"\"V\"\", twice\"\r"));
}

TEST_F(ChartExportTest, PngIsTheChartAtTheWidgetsSize) {
    for (int i = 0; i < 500; ++i) {
        chart.addPoint(i * 200.0, (i % 50) - 25.0);
    }
    ASSERT_TRUE(saveChartPng(chart, path("chart.png")));
    QImage image;
    ASSERT_TRUE(image.load(path("chart.png"), "PNG"));
    EXPECT_EQ(image.size(), QSize(713, 633));
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
        }
    }
    // The saw-tooth line covers a good part of the plot.
    EXPECT_GT(red, 5000);
}

TEST_F(ChartExportTest, SavesSvgAndPdfByTheSuffixInAnyCase) {
    chart.addPoint(0.0, 1.0);
    chart.addPoint(200.0, 2.0);
    ASSERT_TRUE(saveChartImage(chart, path("chart.SVG")));
    const QByteArray svg = contents(path("chart.SVG"));
    EXPECT_TRUE(svg.startsWith("<?xml"));
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("Range = 20kV/m Mode = E-Fieldmeter"));

    ASSERT_TRUE(saveChartImage(chart, path("chart.pdf")));
    EXPECT_TRUE(contents(path("chart.pdf")).startsWith("%PDF"));

    ASSERT_TRUE(saveChartImage(chart, path("chart.png")));
    EXPECT_FALSE(QImage(path("chart.png")).isNull());
}

TEST_F(ChartExportTest, ReportsAFileItCannotWriteAndLeavesNothingBehind) {
    chart.addPoint(0.0, 1.0);
    const QString missingFolder = path("no such folder/recording.csv");
    QString error;
    EXPECT_FALSE(exportChartCsv(chart, missingFolder, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(missingFolder));
    error.clear();
    EXPECT_FALSE(saveChartImage(chart, path("no such folder/chart.png"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(saveChartSvg(chart, path("no such folder/chart.svg")));
    EXPECT_FALSE(saveChartPdf(chart, path("no such folder/chart.pdf")));
}

TEST_F(ChartExportTest, AHostileRecordingsUnitIsNoFormulaAndItsNumbersStay) {
    const std::pair<QByteArray, QByteArray> units[] = {
        {"=HYPERLINK(\"\"http://x\"\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", "\"'+1\""},
        {"-1", "\"'-1\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"kV/m", "\"kV/m\""},
    };
    for (const auto& [unit, cell] : units) {
        QByteArray file = "# Zalvo recording,1\nelapsed_ms,value,unit\n0,-1.5,\"" + unit +
                          "\"\n200,+2,\"" + unit + "\"\n";
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        PointStore points;
        OpenedRecording opened;
        RecordingPointSink sink(points, opened);
        streamRecording(buffer, "hostile.csv", sink);
        showRecording(chart, points, opened);
        ASSERT_TRUE(exportChartCsv(chart, path("hostile.csv")));
        EXPECT_EQ(contents(path("hostile.csv")),
                  "elapsed ms,value,unit\r\n0,-1.5," + cell + "\r\n200,2," + cell + "\r\n");
    }
}

TEST_F(ChartExportTest, AFullDiskFailsEveryExportAndKeepsTheOldFile) {
    FullFilesystem disk;
    if (!disk.isMounted()) {
        GTEST_SKIP() << disk.reason().toStdString();
    }
    const QStringList names{"chart.csv", "chart.png", "chart.svg", "chart.pdf"};
    for (const QString& name : names) {
        QFile file(disk.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    ASSERT_TRUE(disk.fill());
    chart.addPoint(0.0, 1.0);
    QString error;
    EXPECT_FALSE(exportChartCsv(chart, disk.filePath("chart.csv"), &error));
    EXPECT_FALSE(error.isEmpty());
    for (const QString& name : names.mid(1)) {
        EXPECT_FALSE(saveChartImage(chart, disk.filePath(name))) << name.toStdString();
    }
    for (const QString& name : names) {
        EXPECT_EQ(contents(disk.filePath(name)), "old") << name.toStdString();
    }
}
