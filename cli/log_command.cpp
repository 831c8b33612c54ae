#include "cli/log_command.h"

#include <QDateTime>

#include "app/main_form_data.h"
#include "cli/cli_output.h"
#include "cli/cycle_wait.h"
#include "cli/exit_codes.h"
#include "cli/measuring_setup.h"
#include "cli/mode_choice.h"
#include "cli/progress_line.h"
#include "cli/stop_request.h"
#include "device/range_correction.h"
#include "device/usbread.h"
#include "measure/device_modes.h"
#include "measure/measurement_evaluation.h"
#include "measure/range_control.h"
#include "measure/range_items.h"
#include "recording/recording_writer.h"

namespace {

constexpr double reconnectPollSeconds = 1.0;

class LogSession {
public:
    LogSession(const CliOptions& options, const InstrumentConnection& connection)
        : options(options), connection(connection), progress(stderr) {}

    int run();

private:
    Reading startRecording();
    void adoptMode(char modeLetter);
    EvaluationInput inputFor(const Reading& reading) const;
    RecordingHeader headerFor(const Reading& firstReading);
    int createFile(const RecordingHeader& header);
    bool runCycle();
    int correctRangeAndMode(Reading& reading, unsigned char& batteryOk);
    bool record(const EvaluationResult& shown, qint64 elapsedMs, const QDateTime& time);
    bool recoverInstrument(int result);
    bool waitForInstrument();
    bool durationOver(double seconds) const;
    bool finish(int code);
    bool fileFailure();
    void message(const QString& text);

    const CliOptions& options;
    const InstrumentConnection& connection;
    MainFormData& data = mainFormData();
    MeasuringSetup setup;
    RangeControl rangeControl{WindowKind::Chart};
    MeasurementEvaluation evaluation{WindowKind::Chart};
    RecordingWriter writer;
    ProgressLine progress;
    double firstCycleStart = -1.0;
    long long samples = 0;
    bool gapPending = false;
    bool batteryLow = false;
    bool unusableReported = false;
    int exit = exitCode::ok;
};

// The chart's Start: the range asked for, a first reading, and for 235 and 255 the mode the
// instrument is in. Unlike the chart, a range asked for stays the one forced, and "auto"
// stays automatic ranging, whatever range the first reading reports.
Reading LogSession::startRecording() {
    setRange(static_cast<unsigned>(options.rangeIndex));
    Reading reading;
    unsigned char batteryOk = 1;
    readMeasurement(reading.value, reading.rangeIndex, reading.overrange, batteryOk, 1);
    data.currentRange = options.rangeIndex;
    rangeControl.start(data.currentRange);
    if (setup.identity.deviceType != deviceType115) {
        int modeIndex = 0;
        char letter = setup.modeLetter;
        if (readMode(modeIndex, letter) > 0) {
            adoptMode(letter);
        }
    }
    evaluation.reset();
    return reading;
}

// The chart's mode handler as far as the values go: a new mode clears them and rebuilds the
// range items that the distance rule reads.
void LogSession::adoptMode(char modeLetter) {
    if (modeLetter == setup.modeLetter) {
        return;
    }
    setup.modeLetter = modeLetter;
    setup.rangeItems = rangeItemTexts(data, WindowKind::Chart, setup.identity.deviceType,
                                      modeLetter, options.distanceMm);
    evaluation.reset();
}

EvaluationInput LogSession::inputFor(const Reading& reading) const {
    EvaluationInput input;
    input.reading = reading;
    input.deviceType = setup.identity.deviceType;
    input.modeLetter = setup.modeLetter;
    input.rangeItems = setup.rangeItems;
    input.distance = options.distanceMm;
    return input;
}

RecordingHeader LogSession::headerFor(const Reading& firstReading) {
    RecordingHeader header;
    header.program = QStringLiteral("zalvo-cli " ZALVO_FILE_VERSION);
    header.deviceType = setup.identity.deviceTypeText;
    header.serialNumber = setup.identity.serialNumber;
    header.softwareVersion = setup.identity.softwareVersion;
    header.rangeSetting =
        options.rangeIndex == 4 ? QStringLiteral("auto") : QString::number(options.rangeIndex);
    header.distanceMm =
        distanceOfMode(setup.identity.deviceType, setup.modeLetter, options.distanceMm);
    header.samplingTimeMs = options.intervalMs;
    header.start = QDateTime::currentDateTime();
    header.modeText =
        lookupModeText(setup.identity.deviceType, setup.modeLetter).value_or(QString());

    // Range and unit at the start as the first reading reports them.
    MeasurementEvaluation probe(WindowKind::Chart);
    const EvaluationResult first = probe.evaluate(data, inputFor(firstReading));
    if (first.usable) {
        header.rangeText = first.rangeText;
        header.unit = first.unitText;
        header.modeText = first.modeText;
    }
    return header;
}

int LogSession::createFile(const RecordingHeader& header) {
    const bool created = options.outputFile.isEmpty()
                             ? writer.createIn(recordingsDirectory(), header)
                             : writer.create(options.outputFile, header);
    if (!created) {
        message(writer.errorString());
        return exitCode::fileError;
    }
    // The file's name on stdout, so that a script learns where the rows go.
    printLine(writer.path());
    return exitCode::ok;
}

bool LogSession::durationOver(double seconds) const {
    return options.durationSeconds && firstCycleStart >= 0 &&
           seconds - firstCycleStart >= *options.durationSeconds;
}

// Polls for the instrument about once a second until the same instrument answers again.
// False when a stop was requested or the duration ran out meanwhile.
bool LogSession::waitForInstrument() {
    bool strangerReported = false;
    while (!stopRequested() && !durationOver(counterSeconds())) {
        sleepUntil(counterSeconds() + reconnectPollSeconds);
        if (stopRequested()) {
            return false;
        }
        InstrumentIdentity identity;
        if (!openAndIdentify(identity)) {
            continue;
        }
        if (identity.serialNumber == setup.identity.serialNumber &&
            identity.deviceTypeText == setup.identity.deviceTypeText) {
            return true;
        }
        if (!strangerReported) {
            message(QStringLiteral("another instrument (serial number %1) answers; still waiting "
                                   "for %2")
                        .arg(printableText(identity.serialNumber),
                             printableText(setup.identity.serialNumber)));
            strangerReported = true;
        }
    }
    return false;
}

bool LogSession::finish(int code) {
    exit = code;
    return false;
}

bool LogSession::fileFailure() {
    message(writer.errorString());
    writer.close();
    return finish(exitCode::fileError);
}

void LogSession::message(const QString& text) {
    progress.breakLine();
    printMessage(text);
}

// The instrument did not answer. Without --reconnect that ends the log; with it, the log
// waits for the instrument, commands mode and range again and marks the next row.
bool LogSession::recoverInstrument(int result) {
    progress.breakLine();
    if (!options.reconnect) {
        const int lost = reportLostInstrument(result);
        return writer.close() ? finish(lost) : fileFailure();
    }
    if (!writer.sync()) {
        return fileFailure();
    }
    message(QStringLiteral("No connection to the USB device! Error no = %1; waiting for the "
                           "instrument to come back")
                .arg(result));
    if (!waitForInstrument()) {
        // A script must tell a log whose end the instrument missed from a complete one.
        return finish(stopRequested() ? exitCode::ok : exitCode::neverBack);
    }
    message(QStringLiteral("the instrument is back; the log goes on"));
    if (options.modeLetter) {
        sendMode(setup.identity.deviceType, *options.modeLetter);
    }
    startRecording();
    gapPending = true;
    return true;
}

// The chart's range rules after a reading, its battery warning and the mode the instrument
// reports; the result of the re-read after a forced range, or 1.
int LogSession::correctRangeAndMode(Reading& reading, unsigned char& batteryOk) {
    const int result =
        correctRange(rangeControl, data.currentRange, reading.value, reading.rangeIndex,
                     reading.overrange, batteryOk, [this] { evaluation.reset(); });
    if (result < 1 || setup.identity.deviceType == deviceType115) {
        return result;
    }
    if ((batteryOk == 0) != batteryLow) {
        batteryLow = batteryOk == 0;
        if (batteryLow) {
            message(QStringLiteral("Warning - Low Battery !!"));
        }
    }
    int modeIndex = 0;
    char letter = setup.modeLetter;
    if (readMode(modeIndex, letter) > 0) {
        adoptMode(letter);
    }
    return result;
}

bool LogSession::record(const EvaluationResult& shown, qint64 elapsedMs, const QDateTime& time) {
    if (!shown.usable) {
        if (!unusableReported) {
            message(QStringLiteral("readings without range data are not recorded"));
            unusableReported = true;
        }
        return true;
    }
    RecordedRow row;
    row.elapsedMs = elapsedMs;
    row.time = time;
    row.value = shown.displayValue;
    row.unit = shown.unitText;
    row.rangeText = shown.rangeText;
    row.modeText = shown.modeText;
    row.overrange = shown.overrange;
    row.gap = gapPending;
    if (writer.append(row) != AppendResult::Written) {
        return fileFailure();
    }
    gapPending = false;
    progress.show(samples, elapsedMs,
                  shown.valueText.trimmed() + QLatin1Char(' ') + shown.unitText);
    return true;
}

// One reading, its row and the wait for the next; false when the log ends here.
bool LogSession::runCycle() {
    const double cycleStart = counterSeconds();
    if (firstCycleStart < 0) {
        firstCycleStart = cycleStart;
    }
    const QDateTime wallTime = QDateTime::currentDateTime();
    Reading reading;
    unsigned char batteryOk = 1;
    int result =
        readMeasurement(reading.value, reading.rangeIndex, reading.overrange, batteryOk, 1);
    if (result >= 1) {
        result = correctRangeAndMode(reading, batteryOk);
    }
    if (result < 1) {
        return recoverInstrument(result);
    }
    ++samples;
    const auto elapsedMs = static_cast<qint64>((cycleStart - firstCycleStart) * 1000.0);
    if (!record(evaluation.evaluate(data, inputFor(reading)), elapsedMs, wallTime)) {
        return false;
    }
    if (options.samples && samples >= *options.samples) {
        return false;
    }
    const double deadline = cycleStart + options.intervalMs / 1000.0;
    if (durationOver(deadline)) {
        return false;
    }
    sleepUntil(deadline);
    return true;
}

int LogSession::run() {
    // A file that cannot be written must not leave the instrument reconfigured.
    if (!options.outputFile.isEmpty() && !writer.checkNewFile(options.outputFile)) {
        message(writer.errorString());
        return exitCode::fileError;
    }
    const int prepared = prepareMeasuring(options, connection, WindowKind::Chart, setup);
    if (prepared != exitCode::ok) {
        return prepared;
    }
    if (options.modeLetter == 'M' && setup.identity.deviceType != deviceType115) {
        message(QStringLiteral("device type %1 reports the distance voltmeter as mode V; the log "
                               "follows the instrument, as the chart does")
                    .arg(setup.identity.deviceType));
    }
    evaluation.beginRun();
    const Reading firstReading = startRecording();
    const int created = createFile(headerFor(firstReading));
    if (created != exitCode::ok) {
        return created;
    }
    while (!stopRequested() && runCycle()) {
    }
    progress.breakLine();
    if (writer.isOpen() && !writer.close()) {
        fileFailure();
    }
    return exit;
}

}  // namespace

int runLog(const CliOptions& options, const InstrumentConnection& connection) {
    LogSession session(options, connection);
    return session.run();
}
