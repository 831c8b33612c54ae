// Cost of the chart as a recording grows: one point appended and the whole chart
// repainted offscreen (700 x 630), and the memory each recorded point takes, for
// recordings of 10 thousand up to 5 million points.
//
// Usage: chart_bench [repaints per size, default 41]

#include <malloc.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "plot/chart_widget.h"

namespace {

constexpr double samplingMs = 200.0;
constexpr double fullScale = 2000.0;

// Resident memory of the process in bytes, from /proc.
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double total = 0.0;
    double resident = 0.0;
    statm >> total >> resident;
    return resident * 4096.0;
}

// A slow swing with noise and a one-sample spike now and then, like a field reading.
double sampleValue(std::size_t i) {
    const double swing = 0.7 * fullScale * std::sin(2.0 * M_PI * static_cast<double>(i) / 5000.0);
    const double noise = 0.02 * fullScale * std::sin(static_cast<double>(i) * 12.9898);
    const double spike = i % 100003 == 50000 ? 0.25 * fullScale : 0.0;
    return swing + noise + spike;
}

void prepareAsTheWindowDoes(ChartWidget& chart) {
    chart.resize(700, 630);
    chart.setTitle(QStringLiteral("Range = 2000kV/m Mode = E-Fieldmeter"));
    chart.setValueAxisTitle(QStringLiteral("kV/m"));
    chart.setTimeAxisTitle(QStringLiteral("Time mSek"));
    chart.setTimeAxisTitleFontSize(12);
    chart.setTimeAxisIncrement(samplingMs);
    chart.setValueAxisAutomatic(false);
    chart.setValueAxisMinimum(-1.015 * fullScale);
    chart.setValueAxisMaximum(1.015 * fullScale);
}

struct Result {
    std::size_t points = 0;
    double medianMs = 0.0;
    double slowestMs = 0.0;
    double storeBytesPerPoint = 0.0;
    double residentBytesPerPoint = 0.0;
    double largestGrowthBytes = 0.0;
};

Result measure(std::size_t points, int repaints) {
    Result result;
    result.points = points;
    ChartWidget chart;
    prepareAsTheWindowDoes(chart);

    // Hand memory freed by the previous size back first, so it is not counted as reused.
    malloc_trim(0);
    const double residentBefore = residentBytes();
    std::size_t reserved = chart.points().reservedBytes();
    for (std::size_t i = 0; i < points; ++i) {
        chart.addPoint(static_cast<double>(i) * samplingMs, sampleValue(i));
        const std::size_t now = chart.points().reservedBytes();
        result.largestGrowthBytes =
            std::max(result.largestGrowthBytes, static_cast<double>(now - reserved));
        reserved = now;
    }
    result.storeBytesPerPoint = static_cast<double>(reserved) / static_cast<double>(points);
    result.residentBytesPerPoint = (residentBytes() - residentBefore) / static_cast<double>(points);

    QImage image(700, 630, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    std::size_t next = points;
    for (int i = 0; i < repaints + 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.addPoint(static_cast<double>(next) * samplingMs, sampleValue(next));
        chart.render(&image);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        ++next;
        if (i >= 3) {  // the first repaints warm up fonts and caches
            times.push_back(ms);
        }
    }
    std::sort(times.begin(), times.end());
    result.medianMs = times[times.size() / 2];
    result.slowestMs = times.back();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int repaints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;

    std::printf("Chart: append one point + full repaint into a 700 x 630 image\n");
    std::printf("%10s %12s %12s %14s %14s %16s\n", "points", "median ms", "slowest ms",
                "store B/point", "RSS B/point", "largest growth B");
    // One round untimed, so one-time set-up (fonts, glyph caches, the heap) is not counted.
    measure(10'000, 1);
    std::vector<Result> results;
    for (const std::size_t points : {10'000UL, 100'000UL, 1'000'000UL, 5'000'000UL}) {
        const Result r = measure(points, repaints);
        results.push_back(r);
        std::printf("%10zu %12.3f %12.3f %14.2f %14.2f %16.0f\n", r.points, r.medianMs, r.slowestMs,
                    r.storeBytesPerPoint, r.residentBytesPerPoint, r.largestGrowthBytes);
    }
    const Result& smallest = results.front();
    const Result& largest = results.back();
    const double ratio = largest.medianMs / smallest.medianMs;
    const bool fastEnough = largest.medianMs <= 8.0;
    const bool flat = ratio <= 3.0;
    const bool compact = largest.storeBytesPerPoint <= 20.0;
    std::printf("5 million points: %.3f ms (limit 8 ms) %s\n", largest.medianMs,
                fastEnough ? "ok" : "TOO SLOW");
    std::printf("5 million / 10 thousand: %.2f times (limit 3) %s\n", ratio,
                flat ? "ok" : "TOO STEEP");
    std::printf("memory: %.2f bytes per point (limit 20) %s\n", largest.storeBytesPerPoint,
                compact ? "ok" : "TOO LARGE");
    return fastEnough && flat && compact ? 0 : 1;
}
