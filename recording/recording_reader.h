#pragma once

#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

#include "recording/recording_file.h"

// One row of a recording as a chart needs it.
struct RecordedPoint {
    qint64 elapsedMs = 0;
    double value = 0.0;  // NaN on an overrange row, which has no value
    QString unit;        // the rows' units are shared, not copied
    bool overrange = false;
    bool gap = false;  // the instrument was lost before this row
};

struct LoadedRecording {
    enum class Status {
        Complete,  // every line was read
        Partial,   // read up to a damaged or cut-off line; `message` says which
        Refused,   // no recording of this program, or its header is damaged
    };
    Status status = Status::Refused;
    QString message;      // for the operator; empty when complete
    bool cutOff = false;  // Partial only because the last line is cut off
    RecordingHeader header;
    std::vector<RecordedPoint> points;
};

// Reads a recording file. A file cut off in the middle of a line (the program was killed, the
// disk filled up) loads up to its last whole line; a damaged line ends the loading there; a
// file that is not a recording, or a newer format version, is refused. Never throws.
LoadedRecording loadRecording(const QString& path);

// The same from an open device; `name` stands for the file in messages.
LoadedRecording readRecording(QIODevice& device, const QString& name);

// Reads the header like readRecording and hands every row, whole, to `onRow` in file order
// instead of keeping it; the result's points stay empty.
LoadedRecording scanRecordingRows(QIODevice& device, const QString& name,
                                  const std::function<void(const RecordedRow&)>& onRow);
