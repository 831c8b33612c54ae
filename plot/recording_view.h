#pragma once

class ChartWidget;
class PointStore;
struct OpenedRecording;

// Shows a recording read from its file on the chart in place of the chart's points (which
// `points` holds afterwards): the start, range and mode of the recording in the title, the
// unit of its last rows on the value axis, and the value axis scaled to the values.
void showRecording(ChartWidget& chart, PointStore& points, const OpenedRecording& recording);
