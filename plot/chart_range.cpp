#include "plot/chart_range.h"

#include <algorithm>
#include <cmath>

namespace {

bool usableSpan(double from, double to) {
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from)) {
        return false;
    }
    // Below this the ends round to the same pixel positions and the scale breaks down.
    const double smallest = 1e-9 * std::max({1.0, std::fabs(from), std::fabs(to)});
    return to - from > smallest;
}

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

void widenValueSpan(double& from, double& to) {
    if (usableSpan(from, to)) {
        return;
    }
    const double middle = (from + to) / 2.0;
    const double half = middle != 0.0 ? std::fabs(middle) * 0.1 : 1.0;
    from = middle - half;
    to = middle + half;
}

ChartRange scaledAround(ChartRange range, double ChartRange::*from, double ChartRange::*to,
                        double factor, double centre) {
    if (!(factor > 0.0) || !std::isfinite(factor) || !std::isfinite(centre)) {
        return range;
    }
    ChartRange scaled = range;
    scaled.*from = centre + (range.*from - centre) * factor;
    scaled.*to = centre + (range.*to - centre) * factor;
    return isUsableRange(scaled) ? scaled : range;
}

}  // namespace

ChartRange automaticRange(const ChartContent& content) {
    ChartRange range;
    const PointStore& series = content.series;
    const double increment = content.timeAxis.increment > 0.0 ? content.timeAxis.increment : 1.0;
    if (series.hasBounds()) {
        range.timeFrom = series.minX();
        range.timeTo = series.maxX();
    } else {
        range.timeFrom = 0.0;
        range.timeTo = 0.0;
    }
    if (!usableSpan(range.timeFrom, range.timeTo)) {
        range.timeTo = range.timeFrom + increment;
        if (!usableSpan(range.timeFrom, range.timeTo)) {
            range.timeTo = range.timeFrom + std::max(1.0, std::fabs(range.timeFrom) * 1e-6);
        }
    }

    if (content.valueAxis.automatic) {
        range.valueFrom = series.hasBounds() ? series.minY() : 0.0;
        range.valueTo = series.hasBounds() ? series.maxY() : 0.0;
    } else {
        const double minimum = finiteOrZero(content.valueAxis.minimum);
        const double maximum = finiteOrZero(content.valueAxis.maximum);
        range.valueFrom = std::min(minimum, maximum);
        range.valueTo = std::max(minimum, maximum);
    }
    widenValueSpan(range.valueFrom, range.valueTo);
    return range;
}

bool isUsableRange(const ChartRange& range) {
    return usableSpan(range.timeFrom, range.timeTo) && usableSpan(range.valueFrom, range.valueTo);
}

ChartRange zoomedTime(const ChartRange& range, double factor, double centre) {
    return scaledAround(range, &ChartRange::timeFrom, &ChartRange::timeTo, factor, centre);
}

ChartRange zoomedValue(const ChartRange& range, double factor, double centre) {
    return scaledAround(range, &ChartRange::valueFrom, &ChartRange::valueTo, factor, centre);
}
