#pragma once

#include <QString>
#include <limits>
#include <optional>

#include "recording/recording_stream.h"

// What a stretch of a recording says: how long, how high, how often above the limit.
//
// Every row in the stretch is a reading. An overrange row has no value: it takes no part in
// minimum, maximum, mean and standard deviation, but it is above any limit. A row in a unit
// that cannot be converted to the statistics' unit (kV/m and V/m convert, V/m and V do not)
// takes no part in them either. A gap row (the instrument was lost before it) is an ordinary
// reading, except that an excursion ends at the row before it.
struct RecordingStatistics {
    qulonglong readings = 0;
    qulonglong overrangeReadings = 0;
    qulonglong gapReadings = 0;
    qulonglong otherUnitReadings = 0;
    qint64 firstMs = 0;  // elapsed time of the first and the last reading
    qint64 lastMs = 0;

    qulonglong values = 0;  // readings with a value in the statistics' unit
    double minimum = 0.0;   // the first occurrence when it occurs more than once
    qint64 minimumAtMs = 0;
    double maximum = 0.0;
    qint64 maximumAtMs = 0;
    double mean = 0.0;
    double standardDeviation = 0.0;  // of the values themselves: divided by their number

    // A reading is above the limit when |value| >= limit % of its row's full scale, or when
    // it is overrange. An excursion runs from its first reading above the limit to the next
    // reading below it; at the end of the stretch, or before a gap, to its last reading.
    qulonglong excursions = 0;
    qint64 excursionMs = 0;
};

// Statistics of the rows between fromMs and toMs (elapsed, both included), computed as rows
// arrive, in constant memory. Values are given in `unit`; Welford's method keeps the mean and
// deviation exact to rounding over any number of rows.
class StatisticsCollector {
public:
    StatisticsCollector(double limitPercent, qint64 fromMs = 0,
                        qint64 toMs = std::numeric_limits<qint64>::max());

    // The unit of minimum, maximum, mean and deviation; by default the first row's.
    void setUnit(const QString& unit);
    const QString& unit() const { return statisticsUnit; }

    void add(const StreamedRow& row);
    RecordingStatistics result() const;

private:
    bool isAboveLimit(const StreamedRow& row);
    void addValue(double value, qint64 elapsedMs);

    double limitFraction;
    qint64 fromMs;
    qint64 toMs;
    QString statisticsUnit;
    bool unitChosen = false;
    RecordingStatistics statistics;
    double sumOfSquares = 0.0;  // of the differences from the running mean

    // The last row's texts and what they gave, as the texts rarely change.
    const QString* lastUnit = nullptr;
    std::optional<double> lastUnitFactor;
    const QString* lastRange = nullptr;
    const QString* lastRangeUnit = nullptr;
    std::optional<double> lastThreshold;

    bool inExcursion = false;
    qint64 excursionStartMs = 0;
};

// The factor from values in `from` to values in `to` when both are the same unit or one is
// the other with a kilo prefix ("kV/m" and "V/m"); nothing otherwise.
std::optional<double> unitFactor(const QString& from, const QString& to);
