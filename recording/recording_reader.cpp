#include "recording/recording_reader.h"

#include <QFile>
#include <QHash>
#include <cmath>
#include <functional>
#include <limits>

#include "recording/csv_fields.h"
#include "recording/recording_columns.h"

namespace {

// Far beyond any line this program writes; a longer one (with its "\n") is damage, not a row.
constexpr qint64 maximumLineBytes = 64 * 1024;
// The program writes a dozen header lines; a file with this many is no recording of it.
constexpr int maximumHeaderLines = 1000;

class LineSource {
public:
    // The line buffer is made once: reading into a fresh one of the largest size for every
    // line would cost a 64 KiB allocation per line.
    LineSource(QIODevice& device) : device(device), buffer(maximumLineBytes + 1, '\0') {}

    enum class Result { Line, End, CutOff, TooLong };

    // The next line without its line end.
    Result next(QString& line) {
        if (device.atEnd()) {
            return Result::End;
        }
        // Up to maximumLineBytes bytes and a terminating zero.
        qint64 size = device.readLine(buffer.data(), buffer.size());
        ++number;
        if (size <= 0 || buffer[size - 1] != '\n') {
            if (size <= 0 && device.atEnd()) {
                return Result::End;
            }
            return device.atEnd() ? Result::CutOff : Result::TooLong;
        }
        size -= size > 1 && buffer[size - 2] == '\r' ? 2 : 1;
        line = QString::fromUtf8(buffer.constData(), size);
        return Result::Line;
    }

    int lineNumber() const { return number; }

private:
    QIODevice& device;
    QByteArray buffer;
    int number = 0;
};

bool readFlag(const QStringList& fields, int column, bool& flag) {
    if (column < 0 || fields[column].isEmpty()) {
        flag = false;
        return true;
    }
    if (fields[column] == QLatin1String("0") || fields[column] == QLatin1String("1")) {
        flag = fields[column] == QLatin1String("1");
        return true;
    }
    return false;
}

bool splitRow(const QString& line, const RecordingColumns& columns, QStringList& fields,
              QString& problem) {
    if (!splitCsvLine(line, fields)) {
        problem = QStringLiteral("a quoted text is not closed");
        return false;
    }
    if (fields.size() != columns.count) {
        problem = QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(columns.count);
        return false;
    }
    return true;
}

QString fieldOf(const QStringList& fields, int column) {
    return column >= 0 ? fields[column] : QString();
}

// One data row; false with the reason when the fields are no row.
bool readPoint(const QStringList& fields, const RecordingColumns& columns,
               QHash<QString, QString>& units, RecordedPoint& point, QString& problem) {
    bool ok = false;
    point.elapsedMs = fields[columns.elapsed].toLongLong(&ok);
    if (!ok || point.elapsedMs < 0) {
        problem = QStringLiteral("the elapsed time '%1' is no number of milliseconds")
                      .arg(fields[columns.elapsed]);
        return false;
    }
    if (!readFlag(fields, columns.overrange, point.overrange) ||
        !readFlag(fields, columns.gap, point.gap)) {
        problem = QStringLiteral("a flag is neither 0 nor 1");
        return false;
    }
    const QString& value = fields[columns.value];
    if (value.isEmpty()) {
        point.value = std::numeric_limits<double>::quiet_NaN();
    } else {
        point.value = value.toDouble(&ok);
        if (!ok || !std::isfinite(point.value)) {
            problem = QStringLiteral("the value '%1' is no number").arg(value);
            return false;
        }
    }
    if (columns.unit >= 0) {
        const QString& unit = fields[columns.unit];
        auto known = units.constFind(unit);
        if (known == units.constEnd()) {
            known = units.insert(unit, unit);
        }
        point.unit = *known;
    }
    return true;
}

LoadedRecording refused(const QString& message) {
    LoadedRecording recording;
    recording.status = LoadedRecording::Status::Refused;
    recording.message = message;
    return recording;
}

// The first line: "# Zalvo recording,VERSION".
bool readMagic(const QString& line, const QString& name, QString& problem) {
    QStringList fields;
    if (!splitCsvLine(line, fields) || fields.size() != 2 || fields[0] != recordingMagic()) {
        problem = QStringLiteral("%1 is not a Zalvo recording").arg(name);
        return false;
    }
    bool ok = false;
    const int version = fields[1].toInt(&ok);
    if (!ok || version < 1) {
        problem =
            QStringLiteral("%1: the format version '%2' is not a number").arg(name, fields[1]);
        return false;
    }
    if (version > recordingFormatVersion) {
        problem = QStringLiteral(
                      "%1 was written in format version %2; this program reads up to "
                      "version %3")
                      .arg(name)
                      .arg(version)
                      .arg(recordingFormatVersion);
        return false;
    }
    return true;
}

// Takes one row's fields; false with the reason when they are no row.
using RowSink = std::function<bool(const QStringList& fields, const RecordingColumns& columns,
                                   QString& problem)>;

// The header into the result, then every row to `sink`.
LoadedRecording readWith(QIODevice& device, const QString& name, const RowSink& sink) {
    LineSource source(device);
    QString line;
    if (source.next(line) != LineSource::Result::Line) {
        return refused(QStringLiteral("%1 is not a Zalvo recording").arg(name));
    }
    QString problem;
    if (!readMagic(line, name, problem)) {
        return refused(problem);
    }

    LoadedRecording recording;
    RecordingColumns columns;
    while (true) {
        const LineSource::Result result = source.next(line);
        if (result != LineSource::Result::Line) {
            return refused(
                QStringLiteral("%1 ends before its column header: the header is incomplete")
                    .arg(name));
        }
        if (source.lineNumber() > maximumHeaderLines) {
            return refused(
                QStringLiteral("%1 has more than %2 lines before its column header: this is no "
                               "recording of this program")
                    .arg(name)
                    .arg(maximumHeaderLines));
        }
        if (!line.startsWith(QLatin1Char('#'))) {
            if (!readColumnHeader(line, columns)) {
                return refused(QStringLiteral("%1:%2: this is no column header of a recording")
                                   .arg(name)
                                   .arg(source.lineNumber()));
            }
            break;
        }
        // Only "# key,value" lines carry header keys; any other comment is passed over.
        QStringList fields;
        if (!splitCsvLine(line, fields) || fields.size() > 2 ||
            !fields[0].startsWith(QLatin1String("# "))) {
            continue;
        }
        const QString value = fields.size() > 1 ? fields[1] : QString();
        if (!applyHeaderKey(recording.header, fields[0].mid(2), value, problem)) {
            return refused(
                QStringLiteral("%1:%2: %3").arg(name).arg(source.lineNumber()).arg(problem));
        }
    }

    qulonglong rowsRead = 0;
    while (true) {
        const LineSource::Result result = source.next(line);
        if (result == LineSource::Result::End) {
            recording.status = LoadedRecording::Status::Complete;
            return recording;
        }
        recording.status = LoadedRecording::Status::Partial;
        if (result == LineSource::Result::CutOff) {
            recording.cutOff = true;
            recording.message = QStringLiteral(
                                    "%1: the last line is cut off (the recording ended "
                                    "abruptly); %2 rows were read")
                                    .arg(name)
                                    .arg(rowsRead);
            return recording;
        }
        if (result == LineSource::Result::TooLong) {
            recording.message =
                QStringLiteral("%1:%2: the line is too long; %3 rows were read up to it")
                    .arg(name)
                    .arg(source.lineNumber())
                    .arg(rowsRead);
            return recording;
        }
        // Comments and blank lines may stand between rows.
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        QStringList fields;
        if (!splitRow(line, columns, fields, problem) || !sink(fields, columns, problem)) {
            recording.message =
                QStringLiteral("%1:%2: the line is damaged (%3); %4 rows were read up to it")
                    .arg(name)
                    .arg(source.lineNumber())
                    .arg(problem)
                    .arg(rowsRead);
            return recording;
        }
        ++rowsRead;
    }
}

}  // namespace

LoadedRecording readRecording(QIODevice& device, const QString& name) {
    QHash<QString, QString> units;
    std::vector<RecordedPoint> points;
    LoadedRecording read =
        readWith(device, name,
                 [&](const QStringList& fields, const RecordingColumns& columns, QString& problem) {
                     RecordedPoint point;
                     if (!readPoint(fields, columns, units, point, problem)) {
                         return false;
                     }
                     points.push_back(point);
                     return true;
                 });
    read.points = std::move(points);
    return read;
}

LoadedRecording scanRecordingRows(QIODevice& device, const QString& name,
                                  const std::function<void(const RecordedRow&)>& onRow) {
    QHash<QString, QString> units;
    return readWith(
        device, name,
        [&](const QStringList& fields, const RecordingColumns& columns, QString& problem) {
            RecordedPoint point;
            if (!readPoint(fields, columns, units, point, problem)) {
                return false;
            }
            RecordedRow row;
            row.elapsedMs = point.elapsedMs;
            row.time = QDateTime::fromString(fieldOf(fields, columns.time), Qt::ISODateWithMs);
            row.value = point.value;
            row.unit = point.unit;
            row.rangeText = fieldOf(fields, columns.range);
            row.modeText = fieldOf(fields, columns.mode);
            row.overrange = point.overrange;
            row.gap = point.gap;
            onRow(row);
            return true;
        });
}

LoadedRecording loadRecording(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    }
    return readRecording(file, path);
}
