#include "cli/read_command.h"

#include <QJsonObject>

#include "app/main_form_data.h"
#include "cli/cli_output.h"
#include "cli/cycle_wait.h"
#include "cli/exit_codes.h"
#include "cli/measuring_setup.h"
#include "cli/stop_request.h"
#include "device/range_correction.h"
#include "device/usbread.h"
#include "measure/device_modes.h"
#include "measure/measurement_evaluation.h"
#include "measure/range_control.h"

namespace {

const QString captionPrefix = QStringLiteral("Measured value  ");

// "2.50 kV/m  Range = 5kV/m Mode = E-Fieldmeter": value and unit labels, then the caption
// of the display's value group without its fixed beginning.
QString textLine(const EvaluationResult& result) {
    QString caption = result.caption;
    if (caption.startsWith(captionPrefix)) {
        caption.remove(0, captionPrefix.size());
    }
    return result.valueText.trimmed() + QLatin1Char(' ') + result.unitText + QStringLiteral("  ") +
           caption;
}

// The value rounded to 15 significant digits, so that 3 counts of 0.1 give 0.3 and not the
// 0.30000000000000004 the product holds.
QString readingJson(const EvaluationResult& result, bool hasBattery, bool batteryOk) {
    QJsonObject object{
        {QStringLiteral("value"),
         result.overrange ? QJsonValue()
                          : QJsonValue(QString::number(result.displayValue, 'g', 15).toDouble())},
        {QStringLiteral("text"), result.valueText.trimmed()},
        {QStringLiteral("unit"), result.unitText},
        {QStringLiteral("range"), result.rangeText},
        {QStringLiteral("mode"), result.modeText},
        {QStringLiteral("overrange"), result.overrange}};
    if (hasBattery) {
        object.insert(QStringLiteral("batteryOk"), batteryOk);
    }
    return jsonLine(object);
}

}  // namespace

int runRead(const CliOptions& options, const InstrumentConnection& connection) {
    MeasuringSetup setup;
    const int prepared = prepareMeasuring(options, connection, WindowKind::Display, setup);
    if (prepared != exitCode::ok) {
        return prepared;
    }
    MainFormData& data = mainFormData();
    const int deviceType = setup.identity.deviceType;

    // Start: the range asked for, then a first reading whose outputs the first cycle replaces.
    setRange(static_cast<unsigned>(data.currentRange));
    Reading reading;
    unsigned char batteryOk = 1;
    readMeasurement(reading.value, reading.rangeIndex, reading.overrange, batteryOk, 1);
    RangeControl rangeControl(WindowKind::Display);
    rangeControl.start(data.currentRange);
    MeasurementEvaluation evaluation(WindowKind::Display);
    evaluation.beginRun();
    evaluation.reset();

    const bool hasBattery = deviceType != deviceType115;
    bool batteryWarned = false;
    double cycleStart = counterSeconds();
    for (int cycle = 0; cycle < options.count && !stopRequested(); ++cycle) {
        if (cycle > 0) {
            sleepUntil(cycleStart + options.intervalMs / 1000.0);
            if (stopRequested()) {
                break;
            }
        }
        cycleStart = counterSeconds();
        if (rangeControl.rangeSelectionChanged(data.currentRange)) {
            setRange(static_cast<unsigned>(data.currentRange));
        }
        int result =
            readMeasurement(reading.value, reading.rangeIndex, reading.overrange, batteryOk, 1);
        if (result >= 1) {
            result =
                correctRange(rangeControl, data.currentRange, reading.value, reading.rangeIndex,
                             reading.overrange, batteryOk, [&evaluation] { evaluation.reset(); });
        }
        if (result < 1) {
            return reportLostInstrument(result);
        }
        if (hasBattery && !batteryOk && !batteryWarned) {
            printMessage(QStringLiteral("Warning - Low Battery !!"));
            batteryWarned = true;
        }

        EvaluationInput input;
        input.reading = reading;
        input.deviceType = deviceType;
        input.modeLetter = setup.modeLetter;
        input.rangeItems = setup.rangeItems;
        input.distance = options.distanceMm;
        const EvaluationResult shown = evaluation.evaluate(data, input);
        if (!shown.usable) {
            printMessage(QStringLiteral("reading without range data (range byte %1); not shown")
                             .arg(reading.rangeIndex));
            continue;
        }
        printLine(options.json ? readingJson(shown, hasBattery, batteryOk != 0) : textLine(shown));
    }
    return exitCode::ok;
}
