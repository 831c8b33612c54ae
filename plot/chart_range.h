#pragma once

#include "plot/chart_content.h"

// The part of the data the plot shows: time in ms across, value upwards.
struct ChartRange {
    double timeFrom = 0.0;
    double timeTo = 1.0;
    double valueFrom = 0.0;
    double valueTo = 1.0;
};

// What the plot shows when it is not zoomed: the time span of the series and the span
// of the value axis. A span of one value is widened around it: by the time axis
// increment to the right, by a tenth of the value (or 1 around 0) on the value axis.
// Reversed value axis bounds are drawn in order.
ChartRange automaticRange(const ChartContent& content);

// Whether the plot can show the range: finite, in order, and each span wide enough
// to tell its ends apart.
bool isUsableRange(const ChartRange& range);

// The range with its time span scaled by factor (below 1 zooms in) around `centre`.
ChartRange zoomedTime(const ChartRange& range, double factor, double centre);
// The range with its value span scaled by factor (below 1 zooms in) around `centre`.
ChartRange zoomedValue(const ChartRange& range, double factor, double centre);
