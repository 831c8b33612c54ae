#pragma once

#include <QByteArray>
#include <QString>

#include "recording/recording_file.h"

// Who publishes: the instrument and the recording its rows belong to.
struct PublishedIdentity {
    QString serialNumber;  // without padding; part of the topics
    QString deviceType;
    QString softwareVersion;
    QString recording;  // the recording's file name, without its directory
};

// PREFIX/<serial>/reading and PREFIX/<serial>/status.
QByteArray readingTopic(const QString& prefix, const PublishedIdentity& identity);
QByteArray statusTopic(const QString& prefix, const PublishedIdentity& identity);

// One row as JSON: serial, device_type, recording, seq, elapsed_ms, time, value (null on
// overrange), unit, range, mode, overrange, gap. The value is the one the file holds, so a
// row read back from the file gives the same message.
QByteArray readingPayload(const PublishedIdentity& identity, qint64 seq, const RecordedRow& row);

// The identity and "online" or "offline".
QByteArray statusPayload(const PublishedIdentity& identity, bool online);
