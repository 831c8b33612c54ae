#pragma once

#include <QByteArray>
#include <QString>

// The record file on disk. An existing file is only ever appended to: it is never truncated
// or rewritten, and a failed append leaves it exactly as it was. While a line is written the
// file is locked (an advisory exclusive lock), so cooperating writers wait their turn.

enum class RecordFileCreation {
    Created,        // the file did not exist and now holds the header line
    AlreadyExists,  // someone else made or is writing it meanwhile; nothing was written
    Failed,         // it could not be created, or the header could not be written (then the
                    // new file is removed again)
};

// Creates a new record file holding the header line.
RecordFileCreation createRecordFile(const QString& path, const QByteArray& headerLine);

// Appends one line to the end of an existing regular file in one write. On failure the file
// keeps its former size and error holds the operator's message.
bool appendRecordLine(const QString& path, const QByteArray& line, QString& error);
