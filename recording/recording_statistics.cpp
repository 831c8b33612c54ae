#include "recording/recording_statistics.h"

#include <algorithm>
#include <cmath>

#include "measure/range_lookup.h"

namespace {

// True when `text` is `unit` with a kilo prefix.
bool isKiloOf(const QString& text, const QString& unit) {
    return !unit.isEmpty() && text.size() == unit.size() + 1 &&
           text.front().toLower() == QLatin1Char('k') && text.mid(1) == unit;
}

}  // namespace

std::optional<double> unitFactor(const QString& from, const QString& to) {
    if (from == to) {
        return 1.0;
    }
    if (isKiloOf(from, to)) {
        return 1000.0;
    }
    if (isKiloOf(to, from)) {
        return 0.001;
    }
    return std::nullopt;
}

StatisticsCollector::StatisticsCollector(double limitPercent, qint64 fromMs, qint64 toMs)
    : limitFraction(limitPercent / 100.0), fromMs(fromMs), toMs(toMs) {}

void StatisticsCollector::setUnit(const QString& unit) {
    statisticsUnit = unit;
    unitChosen = true;
    lastUnit = nullptr;
}

// The limit is a share of the row's full scale, which its range text gives in its own unit.
bool StatisticsCollector::isAboveLimit(const StreamedRow& row) {
    if (row.overrange) {
        return true;
    }
    if (row.rangeText != lastRange || row.unit != lastRangeUnit) {
        lastRange = row.rangeText;
        lastRangeUnit = row.unit;
        lastThreshold.reset();
        double fullScale = 0.0;
        QString rangeUnit;
        if (splitRangeText(*row.rangeText, fullScale, rangeUnit)) {
            if (const auto factor = unitFactor(rangeUnit, *row.unit)) {
                lastThreshold = limitFraction * std::abs(fullScale) * *factor;
            }
        }
    }
    return lastThreshold && std::isfinite(row.value) && std::abs(row.value) >= *lastThreshold;
}

void StatisticsCollector::addValue(double value, qint64 elapsedMs) {
    RecordingStatistics& s = statistics;
    ++s.values;
    if (s.values == 1 || value < s.minimum) {
        s.minimum = value;
        s.minimumAtMs = elapsedMs;
    }
    if (s.values == 1 || value > s.maximum) {
        s.maximum = value;
        s.maximumAtMs = elapsedMs;
    }
    const double difference = value - s.mean;
    s.mean += difference / static_cast<double>(s.values);
    sumOfSquares += difference * (value - s.mean);
}

void StatisticsCollector::add(const StreamedRow& row) {
    if (row.elapsedMs < fromMs || row.elapsedMs > toMs) {
        return;
    }
    RecordingStatistics& s = statistics;
    if (!unitChosen) {
        setUnit(*row.unit);
    }
    const qint64 previousMs = s.readings == 0 ? row.elapsedMs : s.lastMs;
    if (s.readings == 0) {
        s.firstMs = row.elapsedMs;
    }
    ++s.readings;
    s.lastMs = row.elapsedMs;
    s.overrangeReadings += row.overrange ? 1 : 0;
    s.gapReadings += row.gap ? 1 : 0;

    const bool above = isAboveLimit(row);
    // Time runs back only in a damaged file; such a stretch adds nothing.
    if (inExcursion && row.gap) {
        s.excursionMs += std::max<qint64>(0, previousMs - excursionStartMs);
        inExcursion = false;
    }
    if (inExcursion && !above) {
        s.excursionMs += std::max<qint64>(0, row.elapsedMs - excursionStartMs);
        inExcursion = false;
    }
    if (!inExcursion && above) {
        inExcursion = true;
        excursionStartMs = row.elapsedMs;
        ++s.excursions;
    }

    if (row.overrange || !std::isfinite(row.value)) {
        return;
    }
    if (row.unit != lastUnit) {
        lastUnit = row.unit;
        lastUnitFactor = unitFactor(*row.unit, statisticsUnit);
    }
    if (lastUnitFactor) {
        addValue(row.value * *lastUnitFactor, row.elapsedMs);
    } else {
        ++s.otherUnitReadings;
    }
}

RecordingStatistics StatisticsCollector::result() const {
    RecordingStatistics s = statistics;
    if (inExcursion) {
        s.excursionMs += std::max<qint64>(0, s.lastMs - excursionStartMs);
    }
    if (s.values > 0) {
        s.standardDeviation = std::sqrt(sumOfSquares / static_cast<double>(s.values));
    }
    return s;
}
