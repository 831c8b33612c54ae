#include "plot/opened_recording.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "plot/point_store.h"
#include "recording/elapsed_text.h"

const OpenedRecording::RowTexts* OpenedRecording::textsAt(std::size_t point) const {
    const auto after = std::upper_bound(
        texts.begin(), texts.end(), point,
        [](std::size_t at, const RowTexts& change) { return at < change.firstPoint; });
    return after == texts.begin() ? nullptr : &*(after - 1);
}

QString OpenedRecording::clockText(qint64 elapsedMs, qint64 lastMs, bool milliseconds) const {
    const QDateTime& start = header.start;
    if (!start.isValid()) {
        return {};
    }
    QString format = milliseconds ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss");
    if (start.date() != start.addMSecs(lastMs).date()) {
        format.prepend(QStringLiteral("MM-dd "));
    }
    return start.addMSecs(elapsedMs).toString(format);
}

RecordingPointSink::RecordingPointSink(PointStore& points, OpenedRecording& recording)
    : points(points), recording(recording) {}

std::size_t RecordingPointSink::bytesPerRow() const {
    // Two doubles per point, with room for the block summaries.
    return 2 * sizeof(double) + 1;
}

void RecordingPointSink::begin(const RecordingHeader& header) {
    recording.header = header;
    recording.statisticsUnit = header.unit;
}

void RecordingPointSink::row(const StreamedRow& row) {
    const double x = static_cast<double>(row.elapsedMs);
    if (row.gap && !points.empty()) {
        points.append(x, std::numeric_limits<double>::quiet_NaN());
    }
    if (row.unit != lastUnit || row.rangeText != lastRange) {
        lastUnit = row.unit;
        lastRange = row.rangeText;
        const QString unit = row.unit ? *row.unit : QString();
        if (recording.statisticsUnit.isEmpty()) {
            recording.statisticsUnit = unit;
        }
        recording.texts.push_back(
            {points.size(), unit, row.rangeText ? *row.rangeText : QString()});
    }
    points.append(x, row.overrange ? std::numeric_limits<double>::infinity() : row.value);
}

RecordingStatistics statisticsOf(const PointStore& points, const OpenedRecording& recording,
                                 double limitPercent, qint64 fromMs, qint64 toMs) {
    StatisticsCollector collector(limitPercent, fromMs, toMs);
    collector.setUnit(recording.statisticsUnit);
    bool afterBreak = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StoredPoint point = points.at(i);
        if (std::isnan(point.y)) {
            afterBreak = true;
            continue;
        }
        const OpenedRecording::RowTexts* texts = recording.textsAt(i);
        StreamedRow row;
        row.elapsedMs = static_cast<qint64>(point.x);
        row.overrange = std::isinf(point.y);
        row.value = row.overrange ? std::numeric_limits<double>::quiet_NaN() : point.y;
        row.gap = afterBreak;
        row.unit = texts ? &texts->unit : nullptr;
        row.rangeText = texts ? &texts->rangeText : nullptr;
        afterBreak = false;
        collector.add(row);
    }
    return collector.result();
}

QString cursorText(const PointStore& points, const OpenedRecording& recording, std::size_t index) {
    const StoredPoint point = points.at(index);
    const qint64 elapsedMs = static_cast<qint64>(point.x);
    const OpenedRecording::RowTexts* texts = recording.textsAt(index);
    QString text = recording.clockText(elapsedMs, static_cast<qint64>(points.maxX()), true);
    if (!text.isEmpty()) {
        text += QStringLiteral("  ");
    }
    text += QStringLiteral("elapsed %1\n").arg(elapsedText(elapsedMs));
    if (std::isfinite(point.y)) {
        text += QLocale().toString(point.y, 'g', 6);
        if (texts && !texts->unit.isEmpty()) {
            text += QLatin1Char(' ') + texts->unit;
        }
    } else {
        text += QStringLiteral("overrange");
    }
    return text;
}
