#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "recording/recording_file.h"
#include "recording/recording_writer.h"

struct EvaluationResult;

// The value a point is plotted with: the display value as a recording file holds it (15
// significant digits). The file read back then gives exactly the points that were drawn, and
// a product such as 3 x 0.1 shows as the 0.3 it stands for.
double recordedPointValue(double displayValue);

// What a chart recording's header says besides the texts of its first row.
struct ChartRecordingSource {
    QString deviceTypeLabel;  // the main window's identity labels
    QString serialNumber;
    QString softwareVersion;
    QString distanceMm;  // measuring distance of the mode; empty for the field meter
    int rangeIndex = 4;  // the range asked for; 4 is automatic ranging
    int samplingTimeMs = 0;
};

RecordingHeader chartRecordingHeader(const ChartRecordingSource& source,
                                     const EvaluationResult& first, const QDateTime& start);

// Puts the chart window's recording on disk as it is drawn. Each file holds one recording: it
// is created in recordingsDirectory() by the recording's first row and ended by the end of the
// run or by the operator's clearing of the chart (Reset, another mode). A clear for a range
// forced on the instrument, which may come every cycle, goes on in the same file. A file that
// cannot be created or written is reported once; the recording then goes on in memory only,
// and the next file is tried after the next end.
class ChartRecording : public QObject {
    Q_OBJECT

public:
    using HeaderSource = std::function<RecordingHeader()>;

    explicit ChartRecording(QObject* parent = nullptr) : QObject(parent) {}

    // One cycle: a plotted point becomes a row with its x and y; an overrange becomes a row
    // without value; a cycle without range data writes nothing. `header` is asked for only
    // when the row starts a file.
    void record(qint64 elapsedMs, const EvaluationResult& shown, const HeaderSource& header);
    // Syncs and closes the file; the next row starts a new one.
    void end();
    // The chart was cleared while the recording goes on: the rows go on in the same file, their
    // elapsed times counted on from its last row, as the chart's begin again at 0.
    void carryOn();

    bool isOpen() const { return writer.isOpen(); }
    QString path() const { return writer.path(); }

signals:
    void fileStarted(const QString& path);
    // Once per file that cannot be created or fully written.
    void writeFailed(const QString& reason);

private:
    bool startFile(const HeaderSource& header);
    void fail();

    RecordingWriter writer;
    bool failed = false;
    qint64 elapsedOffset = 0;  // the file's elapsed time where the chart's began at 0
    qint64 lastElapsed = 0;    // the file's elapsed time of its last row
};
