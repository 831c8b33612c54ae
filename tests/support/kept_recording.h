#pragma once

#include <QBuffer>
#include <vector>

#include "recording/recording_stream.h"

// One row as the checks look at it.
struct KeptRow {
    qint64 elapsedMs = 0;
    double value = 0.0;
    QString unit;
    bool overrange = false;
    bool gap = false;
};

// A recording read by the streaming loader with every row kept, for checks on what a file
// holds.
struct KeptRecording : StreamedRecording {
    std::vector<KeptRow> points;
};

class KeepingSink : public RecordingSink {
public:
    std::size_t bytesPerRow() const override { return sizeof(KeptRow); }
    void row(const StreamedRow& row) override {
        points.push_back({row.elapsedMs, row.value, *row.unit, row.overrange, row.gap});
    }
    std::vector<KeptRow> points;
};

inline KeptRecording kept(const StreamedRecording& loaded, KeepingSink& sink) {
    KeptRecording recording;
    static_cast<StreamedRecording&>(recording) = loaded;
    recording.points = std::move(sink.points);
    return recording;
}

inline KeptRecording loadAllRows(const QString& path) {
    KeepingSink sink;
    return kept(streamRecordingFile(path, sink), sink);
}

// `name` stands for the file in messages.
inline KeptRecording readAllRows(QByteArray bytes, const QString& name) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    KeepingSink sink;
    return kept(streamRecording(buffer, name, sink), sink);
}
