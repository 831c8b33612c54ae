#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "recording/recording_statistics.h"
#include "recording/recording_stream.h"

class PointStore;

// A recording file shown on the chart. The chart's point store holds its rows: each at its
// elapsed time, an overrange row with an infinite value, and before a gap row (the
// instrument was lost) a break point with no value. What the points do not say is kept here.
struct OpenedRecording {
    // From this point on the rows have this unit and range; a new entry where they change.
    struct RowTexts {
        std::size_t firstPoint = 0;
        QString unit;
        QString rangeText;
    };

    RecordingHeader header;
    std::vector<RowTexts> texts;
    // The unit the statistics are given in: the header's, else the first row's.
    QString statisticsUnit;

    const RowTexts* textsAt(std::size_t point) const;
    // The time of day `elapsedMs` after the start, with the date when the recording (whose
    // last row is at lastMs) runs past midnight; empty when the start is unknown.
    QString clockText(qint64 elapsedMs, qint64 lastMs, bool milliseconds) const;
};

// Puts the loaded rows into a point store and what the points do not say into `recording`.
class RecordingPointSink : public RecordingSink {
public:
    RecordingPointSink(PointStore& points, OpenedRecording& recording);

    std::size_t bytesPerRow() const override;
    void begin(const RecordingHeader& header) override;
    void row(const StreamedRow& row) override;

private:
    PointStore& points;
    OpenedRecording& recording;
    const QString* lastUnit = nullptr;
    const QString* lastRange = nullptr;
};

// The statistics of the rows between fromMs and toMs (elapsed, both included), read back
// from the points.
RecordingStatistics statisticsOf(const PointStore& points, const OpenedRecording& recording,
                                 double limitPercent, qint64 fromMs, qint64 toMs);

// What the reading cursor says about one point: the time of day (the recording's start plus
// the elapsed time), the elapsed time, the value and its unit.
QString cursorText(const PointStore& points, const OpenedRecording& recording, std::size_t index);
