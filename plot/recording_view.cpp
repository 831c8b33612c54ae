#include "plot/recording_view.h"

#include "plot/chart_widget.h"
#include "plot/opened_recording.h"

void showRecording(ChartWidget& chart, PointStore& points, const OpenedRecording& recording) {
    const RecordingHeader& header = recording.header;
    chart.takeSeries(points);
    chart.resetZoom();
    chart.setValueAxisAutomatic(true);
    // The recording window shows the unit of the latest value on its axis.
    chart.setValueAxisTitle(recording.texts.empty() ? header.unit : recording.texts.back().unit);
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
