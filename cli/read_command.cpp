#include "cli/read_command.h"

#include <QJsonObject>

#include "cli/cli_output.h"
#include "cli/cycle_wait.h"
#include "cli/exit_codes.h"
#include "cli/measuring_setup.h"
#include "cli/stop_request.h"
#include "device/measuring_cycle.h"
#include "measure/device_modes.h"
#include "measure/measurement_evaluation.h"
#include "state/main_form_data.h"

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

void printReading(const EvaluationResult& shown, const DeviceReading& reading, bool json,
                  bool hasBattery) {
    if (!shown.usable) {
        printMessage(QStringLiteral("reading without range data (range byte %1); not shown")
                         .arg(reading.reading.rangeIndex));
        return;
    }
    printLine(json ? readingJson(shown, hasBattery, reading.batteryOk != 0) : textLine(shown));
}

// The display's Start: the range asked for, then a first reading whose outputs the first cycle
// replaces.
void startReadings(MeasuringCycle& cycle) {
    cycle.sendStartRange(static_cast<unsigned>(mainFormData().currentRange));
    cycle.beginCycles();
    cycle.evaluation().beginRun();
    cycle.evaluation().reset();
}

// Sleeps until the last cycle's interval is over; false when a stop was requested meanwhile.
bool waitForNextReading(const MeasuringCycle& cycle, int intervalMs) {
    sleepUntil(cycle.deadline(intervalMs));
    return !stopRequested();
}

// A reading after the display's range rules.
DeviceReading correctedReading(MeasuringCycle& cycle) {
    DeviceReading reading = cycle.read();
    cycle.correctRange(reading, [&cycle] { cycle.evaluation().reset(); });
    return reading;
}

// --count readings, fewer when a stop is requested, each printed as the display shows it.
// Returns the exit code.
int printReadings(MeasuringCycle& cycle, const MeasuringSetup& setup, const CliOptions& options) {
    const ShownSelection shownSelection{setup.modeLetter, setup.rangeItems, options.distanceMm};
    const bool hasBattery = setup.deviceType != deviceType115;
    bool batteryWarned = false;
    for (int count = 0; count < options.count && !stopRequested(); ++count) {
        if (count > 0 && !waitForNextReading(cycle, options.intervalMs)) {
            break;
        }
        const DeviceReading reading = correctedReading(cycle);
        if (reading.result < 1) {
            return reportLostInstrument(reading.result);
        }
        if (cycle.lowBattery(reading) && !batteryWarned) {
            printMessage(QStringLiteral("Warning - Low Battery !!"));
            batteryWarned = true;
        }
        printReading(cycle.evaluate(reading.reading, shownSelection), reading, options.json,
                     hasBattery);
    }
    return exitCode::ok;
}

}  // namespace

int runRead(const CliOptions& options, const InstrumentConnection& connection) {
    MeasuringSetup setup;
    const int prepared = prepareMeasuring(options, connection, WindowKind::Display, setup);
    if (prepared != exitCode::ok) {
        return prepared;
    }
    MeasuringCycle cycle(WindowKind::Display);
    startReadings(cycle);
    return printReadings(cycle, setup, options);
}
