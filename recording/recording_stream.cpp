#include "recording/recording_stream.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include "recording/line_blocks.h"
#include "recording/memory_check.h"
#include "recording/recording_reader.h"
#include "recording/row_parser.h"

namespace {

// Far beyond any header this program writes; the rows of a longer one would never be reached.
constexpr qsizetype maximumHeaderBytes = 4 * 1024 * 1024;

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

// The header lines are few: they are collected and read by the reader itself, so the header
// is taken, and refused, exactly as loadRecording() takes it. False when there is no row to
// read; `recording` then says why.
bool readHeader(BlockLines& lines, QIODevice& device, const QString& name,
                StreamedRecording& recording, RecordingColumns& columns) {
    QByteArray text;
    QString columnLine;
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
            break;
        }
        text.append(begin, end - begin).append('\n');
        if (lines.lineNumber() > 1 && (begin == end || *begin != '#')) {
            columnLine = QString::fromUtf8(begin, end - begin);
            break;
        }
        if (text.size() > maximumHeaderBytes) {
            recording = refused(
                QStringLiteral("%1: no column header within the first %2: this is no recording")
                    .arg(name, sizeText(maximumHeaderBytes)));
            return false;
        }
    }
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    const LoadedRecording header = readRecording(buffer, name);
    if (header.status == LoadedRecording::Status::Refused) {
        recording = refused(header.message);
        return false;
    }
    recording.header = header.header;
    return readColumnHeader(columnLine, columns);
}

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
        switch (result) {
            case BlockLines::Result::Line:
                // Comments and blank lines may stand between rows.
                if (begin == end || *begin == '#') {
                    continue;
                }
                if (!parser.parse(begin, end, row, problem)) {
                    recording.status = StreamedRecording::Status::Partial;
                    recording.message =
                        QStringLiteral(
                            "%1:%2: the line is damaged (%3); %4 rows were read up to it")
                            .arg(name)
                            .arg(lines.lineNumber())
                            .arg(problem)
                            .arg(recording.rows);
                    return recording;
                }
                sink.row(row);
                ++recording.rows;
                continue;
            case BlockLines::Result::End:
                recording.status = StreamedRecording::Status::Complete;
                return recording;
            case BlockLines::Result::CutOff:
                recording.status = StreamedRecording::Status::Partial;
                recording.message = QStringLiteral(
                                        "%1: the last line is cut off (the recording ended "
                                        "abruptly); %2 rows were read")
                                        .arg(name)
                                        .arg(recording.rows);
                return recording;
            case BlockLines::Result::TooLong:
                recording.status = StreamedRecording::Status::Partial;
                recording.message =
                    QStringLiteral("%1:%2: the line is too long; %3 rows were read up to it")
                        .arg(name)
                        .arg(lines.lineNumber())
                        .arg(recording.rows);
                return recording;
            case BlockLines::Result::Cancelled:
                recording.status = StreamedRecording::Status::Cancelled;
                recording.message = cancelled().message;
                return recording;
            case BlockLines::Result::ReadError:
                recording.status = StreamedRecording::Status::Partial;
                recording.message =
                    QStringLiteral("cannot read %1 beyond line %2: %3; %4 rows were read")
                        .arg(name)
                        .arg(lines.lineNumber())
                        .arg(device.errorString())
                        .arg(recording.rows);
                return recording;
        }
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
