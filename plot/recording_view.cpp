#include "plot/recording_view.h"

#include <cmath>

#include "plot/chart_widget.h"
#include "recording/recording_reader.h"

void showRecording(ChartWidget& chart, const LoadedRecording& recording) {
    const RecordingHeader& header = recording.header;
    chart.clearSeries();
    QString unit = header.unit;
    for (const RecordedPoint& point : recording.points) {
        if (point.overrange || !std::isfinite(point.value)) {
            continue;
        }
        chart.addPoint(static_cast<double>(point.elapsedMs), point.value);
        // The recording window shows the unit of the latest value on its axis.
        unit = point.unit;
    }
    chart.resetZoom();
    chart.setValueAxisAutomatic(true);
    chart.setValueAxisTitle(unit);
    chart.setTimeAxisTitle(QStringLiteral("Time mSek"));
    if (header.samplingTimeMs > 0) {
        chart.setTimeAxisIncrement(header.samplingTimeMs);
    }
    QString title = QStringLiteral("Range = %1 Mode = %2").arg(header.rangeText, header.modeText);
    if (header.start.isValid()) {
        title.prepend(header.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss  ")));
    }
    chart.setTitle(title);
}
