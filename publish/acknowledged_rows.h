#pragma once

#include <QString>

// How many rows of a recording, from its first on, the broker has acknowledged. The count is
// kept beside the recording in RECORDING.published, one number and a line end.
QString acknowledgedRowsPath(const QString& recordingPath);

// The count kept for the recording; 0 when there is none yet. False with a message when the
// file is there but cannot be read or holds no count.
bool readAcknowledgedRows(const QString& recordingPath, qint64& rows, QString& error);

// Replaces the count atomically: a new file is written, synced and renamed over the old one,
// every step checked; on any failure (a full disk among them) the old count stays.
bool writeAcknowledgedRows(const QString& recordingPath, qint64 rows, QString& error);
