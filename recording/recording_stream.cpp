#include "recording/recording_stream.h"

#include <QFile>
#include <QFileInfo>

#include "recording/header_parser.h"
#include "recording/line_blocks.h"
#include "recording/memory_check.h"
#include "recording/row_parser.h"

namespace {

StreamedRecording ended(StreamedRecording::Status status, const QString& message) {
    StreamedRecording recording;
    recording.status = status;
    recording.message = message;
    return recording;
}

StreamedRecording refused(const QString& message) {
    return ended(StreamedRecording::Status::Refused, message);
}

StreamedRecording cancelled() {
    return ended(StreamedRecording::Status::Cancelled, QStringLiteral("the loading was cancelled"));
}

// False when there is no row to read; `recording` then says why.
bool readHeader(BlockLines& lines, const QIODevice& device, const QString& name,
                StreamedRecording& recording, RecordingColumns& columns) {
    HeaderParser parser(name);
    const char* begin = nullptr;
    const char* end = nullptr;
    while (true) {
        const BlockLines::Result result = lines.next(begin, end);
        if (result == BlockLines::Result::Cancelled) {
            recording = cancelled();
            return false;
        }
        if (result == BlockLines::Result::ReadError) {
            recording =
                refused(QStringLiteral("cannot read %1: %2").arg(name, device.errorString()));
            return false;
        }
        if (result != BlockLines::Result::Line) {
            recording = refused(parser.unfinished());
            return false;
        }
        const std::string_view line(begin, static_cast<std::size_t>(end - begin));
        switch (parser.take(line, lines.rawLineEnd() - begin)) {
            case HeaderParser::Step::More:
                continue;
            case HeaderParser::Step::Refused:
                recording = refused(parser.problem());
                return false;
            case HeaderParser::Step::Done:
                recording.header = parser.header();
                columns = parser.columns();
                return true;
        }
    }
}

struct EndOfRows {
    const QString& name;
    int lineNumber;
    qulonglong rows;
};

// Why the rows end where they do; a Line result is a damaged line, for `problem`.
QString endMessage(BlockLines::Result result, const EndOfRows& at, const QString& problem,
                   const QIODevice& device) {
    switch (result) {
        case BlockLines::Result::Line:
            return QStringLiteral("%1:%2: the line is damaged (%3); %4 rows were read up to it")
                .arg(at.name)
                .arg(at.lineNumber)
                .arg(problem)
                .arg(at.rows);
        case BlockLines::Result::End:
            return QString();
        case BlockLines::Result::CutOff:
            return QStringLiteral(
                       "%1: the last line is cut off (the recording ended abruptly); %2 rows "
                       "were read")
                .arg(at.name)
                .arg(at.rows);
        case BlockLines::Result::TooLong:
            return QStringLiteral("%1:%2: the line is too long; %3 rows were read up to it")
                .arg(at.name)
                .arg(at.lineNumber)
                .arg(at.rows);
        case BlockLines::Result::Cancelled:
            return cancelled().message;
        case BlockLines::Result::ReadError:
            break;
    }
    return QStringLiteral("cannot read %1 beyond line %2: %3; %4 rows were read")
        .arg(at.name)
        .arg(at.lineNumber)
        .arg(device.errorString())
        .arg(at.rows);
}

QString textOf(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Makes whole rows of the loader's.
class WholeRowSink : public RecordingSink {
public:
    explicit WholeRowSink(const std::function<void(const RecordedRow&)>& onRow) : onRow(onRow) {}

    std::size_t bytesPerRow() const override { return 0; }
    void row(const StreamedRow& streamed) override {
        RecordedRow row;
        row.elapsedMs = streamed.elapsedMs;
        row.time = QDateTime::fromString(textOf(streamed.timeText), Qt::ISODateWithMs);
        row.value = streamed.value;
        row.unit = *streamed.unit;
        row.rangeText = *streamed.rangeText;
        row.modeText = textOf(streamed.modeText);
        row.overrange = streamed.overrange;
        row.gap = streamed.gap;
        onRow(row);
    }

private:
    const std::function<void(const RecordedRow&)>& onRow;
};

}  // namespace

StreamedRecording streamRecording(QIODevice& device, const QString& name, RecordingSink& sink,
                                  LoadProgress* progress) {
    BlockLines lines(device, progress != nullptr ? &progress->cancel : nullptr,
                     progress != nullptr ? &progress->bytesRead : nullptr);
    StreamedRecording recording;
    RecordingColumns columns;
    if (!readHeader(lines, device, name, recording, columns)) {
        return recording;
    }
    sink.begin(recording.header);

    RowParser parser(columns);
    StreamedRow row;
    QString problem;
    const char* begin = nullptr;
    const char* end = nullptr;
    while (true) {
        const BlockLines::Result result = lines.next(begin, end);
        if (result == BlockLines::Result::Line) {
            // Comments and blank lines may stand between rows.
            if (begin == end || *begin == '#') {
                continue;
            }
            if (parser.parse(begin, end, row, problem)) {
                sink.row(row);
                ++recording.rows;
                continue;
            }
        }
        recording.status = result == BlockLines::Result::End ? StreamedRecording::Status::Complete
                           : result == BlockLines::Result::Cancelled
                               ? StreamedRecording::Status::Cancelled
                               : StreamedRecording::Status::Partial;
        recording.cutOff = result == BlockLines::Result::CutOff;
        const EndOfRows reason{name, lines.lineNumber(), recording.rows};
        recording.message = endMessage(result, reason, problem, device);
        return recording;
    }
}

StreamedRecording streamRecordingFile(const QString& path, RecordingSink& sink,
                                      LoadProgress* progress) {
    if (QFileInfo(path).isDir()) {
        return refused(QStringLiteral("%1 is a folder, not a recording").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return refused(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    }
    const qint64 size = file.size();
    if (size == 0) {
        return refused(QStringLiteral("%1 is empty: it holds no recording").arg(path));
    }
    const qint64 needed = loadingMemoryBytes(size, sink.bytesPerRow());
    const qint64 available = availableMemoryBytes();
    if (available >= 0 && needed > available) {
        return refused(QStringLiteral("%1 is %2 large; loading it would need about %3 of "
                                      "memory, but only %4 are available")
                           .arg(path, sizeText(size), sizeText(needed), sizeText(available)));
    }
    if (progress != nullptr) {
        progress->totalBytes = size;
    }
    return streamRecording(file, path, sink, progress);
}

StreamedRecording scanRecordingRows(QIODevice& device, const QString& name,
                                    const std::function<void(const RecordedRow&)>& onRow) {
    WholeRowSink sink(onRow);
    return streamRecording(device, name, sink);
}
