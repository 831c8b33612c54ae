#include "cli/log_publishing.h"

#include <QFile>
#include <QFileInfo>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "device/instrument_choice.h"
#include "publish/acknowledged_rows.h"
#include "recording/recording_stream.h"

namespace {

int refuse(const QString& message, int code) {
    printMessage(message);
    return code;
}

int readResumePoint(const QString& path, ResumePoint& resume) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(QStringLiteral("--resume: cannot read %1: %2").arg(path, file.errorString()),
                      exitCode::badResume);
    }
    const StreamedRecording read = scanRecordingRows(file, path, [&](const RecordedRow& row) {
        ++resume.rows;
        resume.lastElapsedMs = row.elapsedMs;
        resume.lastTime = row.time;
    });
    // A cut-off last line is what a killed logger leaves; the writer cuts it away.
    if (read.status == StreamedRecording::Status::Refused ||
        (read.status == StreamedRecording::Status::Partial && !read.cutOff)) {
        return refuse(QStringLiteral("--resume: %1").arg(read.message), exitCode::badResume);
    }
    resume.header = read.header;
    return exitCode::ok;
}

}  // namespace

int checkLogStart(const CliOptions& options, BrokerUrl& broker, ResumePoint& resume) {
    if (!options.publishUrl.isEmpty()) {
        QString error;
        if (parseBrokerUrl(options.publishUrl, broker, error) != BrokerUrlProblem::none) {
            return refuse(QStringLiteral("--publish: ") + error, exitCode::badPublishing);
        }
        if (!options.passwordFile.isEmpty()) {
            QFile file(options.passwordFile);
            if (!file.open(QIODevice::ReadOnly)) {
                return refuse(QStringLiteral("--password-file: cannot read %1: %2")
                                  .arg(options.passwordFile, file.errorString()),
                              exitCode::badPublishing);
            }
            broker.password = QString::fromUtf8(file.readLine(4096)).remove(QLatin1Char('\n'));
        } else if (qEnvironmentVariableIsSet("ZALVO_MQTT_PASSWORD")) {
            broker.password = qEnvironmentVariable("ZALVO_MQTT_PASSWORD");
        }
        if (!broker.password.isEmpty() && broker.user.isEmpty()) {
            return refuse(QStringLiteral("--publish: a password needs a user name in the URL"),
                          exitCode::badPublishing);
        }
        if (broker.tls && !QFileInfo(options.caFile).isReadable()) {
            return refuse(QStringLiteral("--publish: mqtts needs --ca-file with a readable file"),
                          exitCode::badPublishing);
        }
    }
    return options.resumeFile.isEmpty() ? exitCode::ok
                                        : readResumePoint(options.resumeFile, resume);
}

int checkResumedInstrument(const ResumePoint& resume, const DeviceIdentity& identity) {
    if (trimmedSerial(resume.header.serialNumber) == trimmedSerial(identity.serialNumber)) {
        return exitCode::ok;
    }
    return refuse(
        QStringLiteral("--resume: the recording is of serial number %1, the "
                       "instrument has %2")
            .arg(printableText(resume.header.serialNumber), printableText(identity.serialNumber)),
        exitCode::badResume);
}

std::unique_ptr<MqttPublisher> startPublisher(const BrokerUrl& broker, const CliOptions& options,
                                              const DeviceIdentity& identity, const QString& path,
                                              qint64 rows) {
    PublisherSettings settings;
    settings.url = broker;
    settings.caFile = options.caFile;
    settings.recordingPath = path;
    settings.identity.serialNumber = trimmedSerial(identity.serialNumber);
    settings.identity.deviceType = identity.deviceType;
    settings.identity.softwareVersion = identity.softwareVersion;
    settings.identity.recording = QFileInfo(path).fileName();
    qint64 acknowledged = 0;
    QString error;
    if (!readAcknowledgedRows(path, acknowledged, error)) {
        printMessage(error + QStringLiteral("; every row is sent"));
    }
    auto publisher = std::make_unique<MqttPublisher>(
        settings, [](const QString& message) { printMessage(message); });
    publisher->start(rows, acknowledged);
    return publisher;
}
