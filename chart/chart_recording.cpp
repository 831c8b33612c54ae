#include "chart/chart_recording.h"

#include <limits>

#include "app/version_info.h"
#include "measure/measurement_evaluation.h"

namespace {

constexpr int automaticRangeIndex = 4;

// The main window shows the device type as "Zalvo 235"; the file keeps the instrument's text.
QString deviceTypeOfLabel(const QString& label) {
    const QString prefix = QStringLiteral("Zalvo ");
    return label.startsWith(prefix) ? label.mid(prefix.size()) : label;
}

}  // namespace

double recordedPointValue(double displayValue) {
    return recordedNumber(displayValue).toDouble();
}

RecordingHeader chartRecordingHeader(const ChartRecordingSource& source,
                                     const EvaluationResult& first, const QDateTime& start) {
    VersionInfo version;
    readVersionInfo(version);
    RecordingHeader header;
    header.program = QStringLiteral("zalvo ") + version.fileVersion;
    header.deviceType = deviceTypeOfLabel(source.deviceTypeLabel);
    header.serialNumber = source.serialNumber;
    header.softwareVersion = source.softwareVersion;
    header.modeText = first.modeText;
    header.rangeText = first.rangeText;
    header.rangeSetting = source.rangeIndex == automaticRangeIndex
                              ? QStringLiteral("auto")
                              : QString::number(source.rangeIndex);
    header.unit = first.unitText;
    header.distanceMm = source.distanceMm;
    header.samplingTimeMs = source.samplingTimeMs;
    header.start = start;
    return header;
}

void ChartRecording::record(qint64 elapsedMs, const EvaluationResult& shown,
                            const HeaderSource& header) {
    if (!shown.usable || failed || !(shown.plotPoint || shown.overrange)) {
        return;
    }
    if (!writer.isOpen() && !startFile(header)) {
        return;
    }
    RecordedRow row;
    row.elapsedMs = elapsedOffset + elapsedMs;
    row.time = QDateTime::currentDateTime();
    row.value = shown.plotPoint ? recordedPointValue(shown.displayValue)
                                : std::numeric_limits<double>::quiet_NaN();
    row.unit = shown.unitText;
    row.rangeText = shown.rangeText;
    row.modeText = shown.modeText;
    row.overrange = !shown.plotPoint;
    if (writer.append(row) != AppendResult::Written) {
        fail();
        return;
    }
    lastElapsed = row.elapsedMs;
}

void ChartRecording::end() {
    // Closing syncs the file; a failing last sync still gets its one warning.
    if (writer.isOpen() && !writer.close() && !failed) {
        fail();
    }
    failed = false;
    elapsedOffset = 0;
    lastElapsed = 0;
}

void ChartRecording::carryOn() {
    elapsedOffset = lastElapsed;
}

bool ChartRecording::startFile(const HeaderSource& header) {
    if (!writer.createIn(recordingsDirectory(), header())) {
        fail();
        return false;
    }
    emit fileStarted(writer.path());
    return true;
}

void ChartRecording::fail() {
    failed = true;
    emit writeFailed(writer.errorString());
}
