#pragma once

#include <QIODevice>
#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <string_view>

#include "recording/recording_file.h"

// One row as the streaming loader hands it over.
struct StreamedRow {
    qint64 elapsedMs = 0;
    double value = 0.0;  // NaN on an overrange row, which has no value
    bool overrange = false;
    bool gap = false;  // the instrument was lost before this row
    // The row's unit and range text. Equal texts come as the same pointer, valid until the
    // load returns, so a sink can tell a change of unit by comparing pointers.
    const QString* unit = nullptr;
    const QString* rangeText = nullptr;
    // The mode and the time as the file has them, valid only during the sink's row(): few
    // sinks want them, and the chart's millions of rows would pay for making texts of them.
    std::string_view modeText;
    std::string_view timeText;
};

// Where the loader puts what it reads; it keeps no row itself.
class RecordingSink {
public:
    virtual ~RecordingSink() = default;

    // Memory the sink takes per row, for the check before a file is loaded.
    virtual std::size_t bytesPerRow() const = 0;
    // Once the header is read, before the first row.
    virtual void begin(const RecordingHeader& header) { static_cast<void>(header); }
    virtual void row(const StreamedRow& row) = 0;
};

// Shared with another thread while a load runs: Cancel sets `cancel`, which the loader polls
// before each block of a few MB; a progress bar shows bytesRead of totalBytes.
struct LoadProgress {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> totalBytes{0};
};

struct StreamedRecording {
    enum class Status {
        Complete,   // every line was read
        Partial,    // read up to a damaged or cut-off line; `message` says which
        Refused,    // not loaded: no recording, a damaged header, or it does not fit in memory
        Cancelled,  // the sink has the rows read until then
    };
    Status status = Status::Refused;
    QString message;      // for the operator; empty when complete
    bool cutOff = false;  // Partial only because the last line is cut off
    RecordingHeader header;
    qulonglong rows = 0;  // handed to the sink
};

// Reads a recording file into `sink`. A file cut off in the middle of a line (the program was
// killed, the disk filled up) loads up to its last whole line; a damaged line ends the loading
// there; a file that is not a recording, or a newer format version, is refused. Before anything
// is read, refuses a folder, an empty or unreadable file and a file whose rows would not fit in
// the memory available. Never throws.
StreamedRecording streamRecordingFile(const QString& path, RecordingSink& sink,
                                      LoadProgress* progress = nullptr);

// The same from an open device; `name` stands for the file in messages.
StreamedRecording streamRecording(QIODevice& device, const QString& name, RecordingSink& sink,
                                  LoadProgress* progress = nullptr);

// Hands every row, whole, to `onRow` in file order: for the rows of a recording that are sent
// again or resumed, where reading each row's time is worth its cost.
StreamedRecording scanRecordingRows(QIODevice& device, const QString& name,
                                    const std::function<void(const RecordedRow&)>& onRow);
