#include "cli/log_command.h"

#include <QDateTime>

#include "cli/cli_output.h"
#include "cli/cycle_wait.h"
#include "cli/exit_codes.h"
#include "cli/log_publishing.h"
#include "cli/measuring_setup.h"
#include "cli/mode_choice.h"
#include "cli/progress_line.h"
#include "cli/stop_request.h"
#include "device/measuring_cycle.h"
#include "device/usbread.h"
#include "measure/device_modes.h"
#include "measure/measurement_evaluation.h"
#include "measure/range_items.h"
#include "recording/recording_writer.h"
#include "state/main_form_data.h"

namespace {

constexpr double reconnectPollSeconds = 1.0;
// At the end, the broker has this long to acknowledge the last rows; the rest goes next time.
constexpr int publishGraceMs = 3000;

class LogSession {
public:
    LogSession(const CliOptions& options, const InstrumentConnection& connection)
        : options(options), connection(connection), progress(stderr) {}

    int run();

private:
    Reading startRecording();
    void adoptMode(char modeLetter);
    ShownSelection shownSelection() const;
    RecordingHeader headerFor(const Reading& firstReading);
    int createFile(const RecordingHeader& header);
    bool runCycle();
    void correctRangeAndMode(DeviceReading& reading);
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
    MeasuringCycle cycle{WindowKind::Chart};
    MeasurementEvaluation& evaluation = cycle.evaluation();
    RecordingWriter writer;
    BrokerUrl broker;
    ResumePoint resume;
    std::unique_ptr<MqttPublisher> publisher;
    qint64 elapsedOffsetMs = 0;  // a resumed recording's rows go on from its last one
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
    const DeviceReading first = cycle.sendStartRange(static_cast<unsigned>(options.rangeIndex));
    data.currentRange = options.rangeIndex;
    cycle.beginCycles();
    if (setup.deviceType != deviceType115) {
        int modeIndex = 0;
        char letter = setup.modeLetter;
        if (readMode(modeIndex, letter) > 0) {
            adoptMode(letter);
        }
    }
    evaluation.reset();
    return first.reading;
}

// The chart's mode handler as far as the values go: a new mode clears them and rebuilds the
// range items that the distance rule reads.
void LogSession::adoptMode(char modeLetter) {
    if (modeLetter == setup.modeLetter) {
        return;
    }
    setup.modeLetter = modeLetter;
    setup.rangeItems =
        rangeItemTexts(data, WindowKind::Chart, setup.deviceType, modeLetter, options.distanceMm);
    evaluation.reset();
}

ShownSelection LogSession::shownSelection() const {
    return {setup.modeLetter, setup.rangeItems, options.distanceMm};
}

RecordingHeader LogSession::headerFor(const Reading& firstReading) {
    RecordingHeader header;
    header.program = QStringLiteral("zalvo-cli " ZALVO_FILE_VERSION);
    header.deviceType = setup.identity.deviceType;
    header.serialNumber = setup.identity.serialNumber;
    header.softwareVersion = setup.identity.softwareVersion;
    header.rangeSetting =
        options.rangeIndex == 4 ? QStringLiteral("auto") : QString::number(options.rangeIndex);
    header.distanceMm = distanceOfMode(setup.deviceType, setup.modeLetter, options.distanceMm);
    header.samplingTimeMs = options.intervalMs;
    header.start = QDateTime::currentDateTime();
    header.modeText = lookupModeText(setup.deviceType, setup.modeLetter).value_or(QString());

    // Range and unit at the start as the first reading reports them.
    MeasurementEvaluation probe(WindowKind::Chart);
    const EvaluationResult first =
        probe.evaluate(data, evaluationInput(WindowKind::Chart, firstReading, shownSelection()));
    if (first.usable) {
        header.rangeText = first.rangeText;
        header.unit = first.unitText;
        header.modeText = first.modeText;
    }
    return header;
}

int LogSession::createFile(const RecordingHeader& header) {
    bool created = false;
    if (!options.resumeFile.isEmpty()) {
        created = writer.resume(options.resumeFile, resume.rows);
        elapsedOffsetMs =
            resume.lastElapsedMs + std::max<qint64>(0, resume.lastTime.msecsTo(header.start));
        gapPending = resume.rows > 0;
    } else {
        created = options.outputFile.isEmpty() ? writer.createIn(recordingsDirectory(), header)
                                               : writer.create(options.outputFile, header);
    }
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
        DeviceIdentity identity;
        if (!openAndIdentify(identity)) {
            continue;
        }
        if (identity.serialNumber == setup.identity.serialNumber &&
            identity.deviceType == setup.identity.deviceType) {
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
        sendMode(setup.deviceType, *options.modeLetter);
    }
    startRecording();
    gapPending = true;
    return true;
}

// The chart's range rules after a reading, its battery warning and the mode the instrument
// reports; a failed re-read after a forced range leaves its result in `reading`.
void LogSession::correctRangeAndMode(DeviceReading& reading) {
    cycle.correctRange(reading, [this] { evaluation.reset(); });
    if (reading.result < 1 || setup.deviceType == deviceType115) {
        return;
    }
    if ((reading.batteryOk == 0) != batteryLow) {
        batteryLow = reading.batteryOk == 0;
        if (batteryLow) {
            message(QStringLiteral("Warning - Low Battery !!"));
        }
    }
    int modeIndex = 0;
    char letter = setup.modeLetter;
    if (readMode(modeIndex, letter) > 0) {
        adoptMode(letter);
    }
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
    if (publisher) {
        publisher->rowWritten(writer.rowsWritten(), row);
    }
    gapPending = false;
    progress.show(samples, elapsedMs,
                  shown.valueText.trimmed() + QLatin1Char(' ') + shown.unitText);
    return true;
}

// One reading, its row and the wait for the next; false when the log ends here.
bool LogSession::runCycle() {
    const QDateTime wallTime = QDateTime::currentDateTime();
    DeviceReading reading = cycle.read();
    const double cycleStart = cycle.cycleStart();
    if (firstCycleStart < 0) {
        firstCycleStart = cycleStart;
    }
    correctRangeAndMode(reading);
    if (reading.result < 1) {
        return recoverInstrument(reading.result);
    }
    ++samples;
    const auto elapsedMs =
        elapsedOffsetMs + static_cast<qint64>((cycleStart - firstCycleStart) * 1000.0);
    if (!record(cycle.evaluate(reading.reading, shownSelection()), elapsedMs, wallTime)) {
        return false;
    }
    if (options.samples && samples >= *options.samples) {
        return false;
    }
    const double deadline = cycle.deadline(options.intervalMs);
    if (durationOver(deadline)) {
        return false;
    }
    sleepUntil(deadline);
    return true;
}

int LogSession::run() {
    const int checked = checkLogStart(options, broker, resume);
    if (checked != exitCode::ok) {
        return checked;
    }
    // A file that cannot be written must not leave the instrument reconfigured.
    if (!options.outputFile.isEmpty() && !writer.checkNewFile(options.outputFile)) {
        message(writer.errorString());
        return exitCode::fileError;
    }
    const int prepared = prepareMeasuring(options, connection, WindowKind::Chart, setup);
    if (prepared != exitCode::ok) {
        return prepared;
    }
    if (!options.resumeFile.isEmpty() &&
        checkResumedInstrument(resume, setup.identity) != exitCode::ok) {
        return exitCode::badResume;
    }
    if (options.modeLetter == 'M' && setup.deviceType != deviceType115) {
        message(QStringLiteral("device type %1 reports the distance voltmeter as mode V; the log "
                               "follows the instrument, as the chart does")
                    .arg(setup.deviceType));
    }
    evaluation.beginRun();
    const Reading firstReading = startRecording();
    const int created = createFile(headerFor(firstReading));
    if (created != exitCode::ok) {
        return created;
    }
    if (!options.publishUrl.isEmpty()) {
        publisher =
            startPublisher(broker, options, setup.identity, writer.path(), writer.rowsWritten());
    }
    while (!stopRequested() && runCycle()) {
    }
    progress.breakLine();
    if (writer.isOpen() && !writer.close()) {
        fileFailure();
    }
    if (publisher) {
        publisher->stop(publishGraceMs);
    }
    return exit;
}

}  // namespace

int runLog(const CliOptions& options, const InstrumentConnection& connection) {
    LogSession session(options, connection);
    return session.run();
}
