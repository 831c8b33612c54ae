#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

#include "cli/cli_options.h"
#include "cli/instrument_connection.h"
#include "publish/broker_url.h"
#include "publish/mqtt_publisher.h"
#include "recording/recording_file.h"

// Where a --resume recording ends.
struct ResumePoint {
    RecordingHeader header;
    qint64 rows = 0;
    qint64 lastElapsedMs = 0;
    QDateTime lastTime;
};

// What log checks before it opens the instrument: the --publish URL with the password from
// --password-file or ZALVO_MQTT_PASSWORD (before the one in the URL), and the --resume file.
// Returns the exit code, with the message printed; exitCode::ok to go on.
int checkLogStart(const CliOptions& options, BrokerUrl& broker, ResumePoint& resume);

// The --resume recording belongs to the instrument opened; exitCode::ok or the message.
int checkResumedInstrument(const ResumePoint& resume, const DeviceIdentity& identity);

// A publisher for the recording at `path` with `rows` rows, started from the acknowledged
// count kept beside it. Broker problems go to stderr.
std::unique_ptr<MqttPublisher> startPublisher(const BrokerUrl& broker, const CliOptions& options,
                                              const DeviceIdentity& identity, const QString& path,
                                              qint64 rows);
