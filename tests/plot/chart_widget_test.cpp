#include "plot/chart_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <limits>

namespace {

// The chart as the chart window lays it out, with a recording of a slow swing.
class ChartWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(713, 633);
        chart.setTitle(QStringLiteral("Range = 2000kV/m Mode = E-Fieldmeter"));
        chart.setValueAxisTitle(QStringLiteral("kV/m"));
        chart.setTimeAxisTitle(QStringLiteral("Time mSek"));
    }

    void record(int count, double step = 200.0) {
        for (int i = 0; i < count; ++i) {
            chart.addPoint(i * step, 1000.0 * std::sin(i / 50.0));
        }
    }

    QPoint pixelOf(double time, double value) const {
        const QRectF plot = chart.plotArea();
        const ChartRange range = chart.visibleRange();
        const double x =
            plot.left() + (time - range.timeFrom) / (range.timeTo - range.timeFrom) * plot.width();
        const double y = plot.bottom() - (value - range.valueFrom) /
                                             (range.valueTo - range.valueFrom) * plot.height();
        return QPointF(x, y).toPoint();
    }

    QImage rendered() const {
        QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        chart.paintChart(painter, chart.rect());
        return image;
    }

    ChartWidget chart;
};

bool isSeriesRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

bool isColourLineBlue(QRgb pixel) {
    return qBlue(pixel) > 200 && qRed(pixel) < 60;
}

// Whether a pixel of the kind lies within `reach` pixels of `at` in both directions.
template <typename Kind>
bool near(const QImage& image, QPoint at, Kind kind, int reach = 2) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (kind(image.pixel(at.x() + dx, at.y() + dy))) {
                return true;
            }
        }
    }
    return false;
}

bool redNear(const QImage& image, QPoint at) {
    return near(image, at, isSeriesRed);
}

}  // namespace

TEST_F(ChartWidgetTest, StartsAsDesignedForTheChartWindow) {
    EXPECT_EQ(chart.pointCount(), 0u);
    EXPECT_TRUE(chart.valueAxisAutomatic());
    EXPECT_EQ(chart.timeAxisTitleFontSize(), 12);
    EXPECT_EQ(chart.timeAxisIncrement(), 200.0);
    EXPECT_TRUE(chart.colorLineTool().active);
    EXPECT_EQ(chart.colorLineTool().value, 209.0);
    EXPECT_FALSE(chart.isZoomed());
}

TEST_F(ChartWidgetTest, KeepsTheSettingsTheWindowMakes) {
    const double bound = 1.015 * 2000.0;
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(-bound);
    chart.setValueAxisMaximum(bound);
    chart.setTimeAxisTitleFontSize(12);
    chart.setTimeAxisIncrement(600.0);
    chart.setTitle(QStringLiteral("Zalvo 235"));
    EXPECT_FALSE(chart.valueAxisAutomatic());
    EXPECT_EQ(chart.valueAxisMinimum(), -bound);
    EXPECT_EQ(chart.valueAxisMaximum(), bound);
    EXPECT_EQ(chart.timeAxisIncrement(), 600.0);
    EXPECT_EQ(chart.title(), QStringLiteral("Zalvo 235"));
    EXPECT_EQ(chart.valueAxisTitle(), QStringLiteral("kV/m"));
    EXPECT_EQ(chart.timeAxisTitle(), QStringLiteral("Time mSek"));

    record(100);
    const ChartRange range = chart.visibleRange();
    EXPECT_EQ(range.valueFrom, -bound);
    EXPECT_EQ(range.valueTo, bound);
}

TEST_F(ChartWidgetTest, KeepsEveryAddedPointAndClearsThemAll) {
    for (int i = 0; i < 1000; ++i) {
        chart.addPoint(i * 203.0, i * 0.125 - 7.0);
    }
    ASSERT_EQ(chart.pointCount(), 1000u);
    EXPECT_EQ(chart.pointAt(999).x, 999 * 203.0);
    EXPECT_EQ(chart.pointAt(999).y, 999 * 0.125 - 7.0);
    ASSERT_TRUE(chart.addMark(10));

    chart.clearSeries();
    EXPECT_EQ(chart.pointCount(), 0u);
    EXPECT_TRUE(chart.marks().empty());
    chart.addPoint(0.0, 1.5);
    ASSERT_EQ(chart.pointCount(), 1u);
    EXPECT_EQ(chart.pointAt(0).y, 1.5);
}

TEST_F(ChartWidgetTest, TimeAxisSpansTheRecordedTimes) {
    chart.addPoint(0.0, 1.0);
    // One point: the axis opens one increment to its right.
    EXPECT_EQ(chart.visibleRange().timeFrom, 0.0);
    EXPECT_EQ(chart.visibleRange().timeTo, 200.0);
    record(500);
    EXPECT_EQ(chart.visibleRange().timeFrom, 0.0);
    EXPECT_EQ(chart.visibleRange().timeTo, 499 * 200.0);
}

TEST_F(ChartWidgetTest, AutomaticValueAxisSpansTheValues) {
    chart.addPoint(0.0, -3.0);
    chart.addPoint(200.0, 8.0);
    EXPECT_EQ(chart.visibleRange().valueFrom, -3.0);
    EXPECT_EQ(chart.visibleRange().valueTo, 8.0);
}

TEST_F(ChartWidgetTest, DrawsSensiblyWhenBothValueBoundsAreZero) {
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(0.0);
    chart.setValueAxisMaximum(0.0);
    chart.addPoint(0.0, 0.0);
    chart.addPoint(200.0, 0.0);
    const ChartRange range = chart.visibleRange();
    EXPECT_LT(range.valueFrom, 0.0);
    EXPECT_GT(range.valueTo, 0.0);
    const QImage image = rendered();
    const QPoint middle = pixelOf(100.0, 0.0);
    EXPECT_TRUE(redNear(image, middle));
}

TEST_F(ChartWidgetTest, DrawsReversedValueBoundsInOrder) {
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(50.0);
    chart.setValueAxisMaximum(-50.0);
    EXPECT_EQ(chart.visibleRange().valueFrom, -50.0);
    EXPECT_EQ(chart.visibleRange().valueTo, 50.0);
}

TEST_F(ChartWidgetTest, DrawsTheLineWhereThePointsAreAndTheColourLineAt209) {
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(-1000.0);
    chart.setValueAxisMaximum(1000.0);
    for (int i = 0; i <= 100; ++i) {
        chart.addPoint(i * 200.0, i < 50 ? -500.0 : 500.0);
    }
    const QImage image = rendered();
    EXPECT_TRUE(redNear(image, pixelOf(2000.0, -500.0)));
    EXPECT_TRUE(redNear(image, pixelOf(18000.0, 500.0)));
    EXPECT_FALSE(redNear(image, pixelOf(2000.0, 500.0)));
    // The step from -500 to 500 is drawn, not skipped.
    EXPECT_TRUE(redNear(image, pixelOf(9900.0, 0.0)));
    EXPECT_TRUE(near(image, pixelOf(5000.0, 209.0), isColourLineBlue, 1));
    EXPECT_FALSE(near(image, pixelOf(5000.0, 250.0), isColourLineBlue, 1));
}

TEST_F(ChartWidgetTest, DrawsADenseRecordingAsABandWithoutGaps) {
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(-1000.0);
    chart.setValueAxisMaximum(1000.0);
    // Far more points than pixel columns: every column holds several swings of ±500,
    // while neighbouring points stay close, so only the columns' spans fill the band.
    for (int i = 0; i < 200'000; ++i) {
        chart.addPoint(i * 200.0, 500.0 * std::sin(2.0 * M_PI * i / 100.0));
    }
    const QImage image = rendered();
    const QRectF plot = chart.plotArea();
    int gaps = 0;
    for (const double value : {-400.0, 0.0, 400.0}) {
        const int row = pixelOf(0.0, value).y();
        for (int x = static_cast<int>(plot.left()) + 2; x < static_cast<int>(plot.right()) - 1;
             ++x) {
            gaps += !isSeriesRed(image.pixel(x, row));
        }
    }
    EXPECT_EQ(gaps, 0);
    EXPECT_FALSE(redNear(image, pixelOf(20'000'000.0, 600.0)));
}

TEST_F(ChartWidgetTest, RubberBandZoomsIntoTheDraggedRectangleAndResetReturns) {
    record(1000);
    chart.show();
    const ChartRange before = chart.visibleRange();
    const QPoint from = pixelOf(40'000.0, 800.0);
    const QPoint to = pixelOf(80'000.0, -200.0);
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, to);

    ASSERT_TRUE(chart.isZoomed());
    const ChartRange zoomed = chart.visibleRange();
    const double timePerPixel = (before.timeTo - before.timeFrom) / chart.plotArea().width();
    EXPECT_NEAR(zoomed.timeFrom, 40'000.0, 2 * timePerPixel);
    EXPECT_NEAR(zoomed.timeTo, 80'000.0, 2 * timePerPixel);
    EXPECT_NEAR(zoomed.valueFrom, -200.0, 10.0);
    EXPECT_NEAR(zoomed.valueTo, 800.0, 10.0);

    // The view holds still while the recording goes on.
    record(10);
    EXPECT_EQ(chart.visibleRange().timeTo, zoomed.timeTo);

    chart.resetZoom();
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_EQ(chart.visibleRange().timeTo, before.timeTo);
}

TEST_F(ChartWidgetTest, DragToTheLeftResetsTheZoom) {
    record(1000);
    chart.show();
    ASSERT_TRUE(chart.zoomTo(ChartRange{1000.0, 5000.0, -10.0, 10.0}));
    const QPoint from = chart.plotArea().center().toPoint();
    const QPoint to = from + QPoint(-100, 60);
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(chart.isZoomed());
}

TEST_F(ChartWidgetTest, WheelZoomsTheTimeAxisAroundTheCursorAndCtrlTheValueAxis) {
    record(1000);
    const ChartRange before = chart.visibleRange();
    const QPointF at = chart.plotArea().center();
    const double timeAtCursor = (before.timeFrom + before.timeTo) / 2.0;
    QWheelEvent wheel(at, chart.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &wheel);
    ChartRange after = chart.visibleRange();
    EXPECT_NEAR(after.timeTo - after.timeFrom, 0.8 * (before.timeTo - before.timeFrom), 1e-6);
    EXPECT_NEAR((after.timeFrom + after.timeTo) / 2.0, timeAtCursor,
                (before.timeTo - before.timeFrom) / 100.0);
    EXPECT_EQ(after.valueFrom, before.valueFrom);

    QWheelEvent ctrlWheel(at, chart.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &ctrlWheel);
    const ChartRange widened = chart.visibleRange();
    EXPECT_NEAR(widened.valueTo - widened.valueFrom, (before.valueTo - before.valueFrom) / 0.8,
                1e-6);
    EXPECT_EQ(widened.timeTo, after.timeTo);
}

TEST_F(ChartWidgetTest, RightDragPansTheView) {
    record(1000);
    chart.show();
    ASSERT_TRUE(chart.zoomTo(ChartRange{10'000.0, 20'000.0, -100.0, 100.0}));
    const QPoint from = chart.plotArea().center().toPoint();
    QTest::mousePress(&chart, Qt::RightButton, Qt::NoModifier, from);
    QTest::mouseMove(&chart, from + QPoint(-50, 0));
    QTest::mouseRelease(&chart, Qt::RightButton, Qt::NoModifier, from + QPoint(-50, 0));
    const ChartRange moved = chart.visibleRange();
    EXPECT_NEAR(moved.timeFrom - 10'000.0, 50.0 / chart.plotArea().width() * 10'000.0, 1e-6);
    EXPECT_NEAR(moved.timeTo - moved.timeFrom, 10'000.0, 1e-6);
}

TEST_F(ChartWidgetTest, RefusesARangeItCannotShow) {
    record(10);
    EXPECT_FALSE(chart.zoomTo(ChartRange{5.0, 5.0, 0.0, 1.0}));
    EXPECT_FALSE(chart.zoomTo(ChartRange{0.0, std::numeric_limits<double>::quiet_NaN(), 0.0, 1.0}));
    EXPECT_FALSE(chart.isZoomed());
}

TEST_F(ChartWidgetTest, DoubleClickPlacesAMarkOnTheNearestPointWhichCanBeDraggedAndRemoved) {
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(-1000.0);
    chart.setValueAxisMaximum(1000.0);
    for (int i = 0; i < 20; ++i) {
        chart.addPoint(i * 1000.0, i == 7 ? 900.0 : 0.0);
    }
    chart.show();
    const QPoint spike = pixelOf(7000.0, 900.0);
    QTest::mouseDClick(&chart, Qt::LeftButton, Qt::NoModifier, spike + QPoint(3, 4));
    ASSERT_EQ(chart.marks().size(), 1u);
    EXPECT_EQ(chart.marks()[0].pointIndex, 7u);

    const QRectF label = chart.markLabelRect(0);
    ASSERT_FALSE(label.isEmpty());
    const QPoint grab = label.center().toPoint();
    const QPointF offsetBefore = chart.marks()[0].labelOffset;
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(&chart, grab + QPoint(40, 25));
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, grab + QPoint(40, 25));
    EXPECT_EQ(chart.marks()[0].labelOffset, offsetBefore + QPointF(40, 25));
    EXPECT_FALSE(chart.isZoomed());

    QTest::mouseDClick(&chart, Qt::LeftButton, Qt::NoModifier,
                       chart.markLabelRect(0).center().toPoint());
    EXPECT_TRUE(chart.marks().empty());
}
