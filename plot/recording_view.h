#pragma once

struct LoadedRecording;
class ChartWidget;

// Shows a recording read from its file on the chart in place of the chart's points: every row
// with a value (an overrange row has none) at its elapsed time, the start, range and mode of
// the recording in the title, its unit on the value axis, and the value axis scaled to the
// values.
void showRecording(ChartWidget& chart, const LoadedRecording& recording);
