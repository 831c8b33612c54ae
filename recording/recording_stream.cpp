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
        text.append(begin, lines.rawLineEnd() - begin);
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
