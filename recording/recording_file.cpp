#include "recording/recording_file.h"

#include <QDir>
#include <cmath>

#include "recording/csv_fields.h"
#include "recording/printable_text.h"

namespace {

// Control characters would break the one-line-per-row rule; identity texts can hold any byte.
QString cleanText(const QString& text) {
    return csvField(printableText(text));
}

QString fileNamePart(const QString& text) {
    QString part = text.trimmed();
    for (QChar& c : part) {
        const bool plain = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           c == QLatin1Char('-');
        if (!plain) {
            c = QLatin1Char('_');
        }
    }
    return part.isEmpty() ? QStringLiteral("unknown") : part;
}

// "# key,value": the first field holds the "#", so a spreadsheet shows key and value in two
// cells and a script skips the line as a comment.
void appendHeaderLine(QByteArray& text, const QString& key, const QString& value) {
    text += cleanText(QStringLiteral("# ") + key).toUtf8();
    text += ',';
    text += cleanText(value).toUtf8();
    text += '\n';
}

struct TextKey {
    const char* key;
    QString RecordingHeader::*member;
};

// Header keys in file order; the sampling time and the start follow them.
const TextKey textKeys[] = {
    {"program", &RecordingHeader::program},
    {"device type", &RecordingHeader::deviceType},
    {"serial number", &RecordingHeader::serialNumber},
    {"software version", &RecordingHeader::softwareVersion},
    {"mode", &RecordingHeader::modeText},
    {"range", &RecordingHeader::rangeText},
    {"range setting", &RecordingHeader::rangeSetting},
    {"unit", &RecordingHeader::unit},
    {"distance mm", &RecordingHeader::distanceMm},
};
const char* const samplingTimeKey = "sampling time ms";
const char* const startKey = "start";

}  // namespace

QString recordingMagic() {
    return QStringLiteral("# Zalvo recording");
}

QStringList recordingColumns() {
    return {QStringLiteral("elapsed_ms"), QStringLiteral("time"),  QStringLiteral("value"),
            QStringLiteral("unit"),       QStringLiteral("range"), QStringLiteral("mode"),
            QStringLiteral("overrange"),  QStringLiteral("gap")};
}

QString recordingsDirectory() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(base + QStringLiteral("/zalvo/recordings"));
}

QString recordingFileName(const RecordingHeader& header, int suffix) {
    QString name = header.start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QLatin1Char('_') +
                   fileNamePart(header.deviceType) + QLatin1Char('_') +
                   fileNamePart(header.serialNumber);
    if (suffix > 1) {
        name += QLatin1Char('_') + QString::number(suffix);
    }
    return name + QStringLiteral(".csv");
}

QString isoTimestamp(const QDateTime& time) {
    const int offsetSeconds = time.offsetFromUtc();
    const int offsetMinutes = std::abs(offsetSeconds) / 60;
    const QString offset = QStringLiteral("%1%2:%3")
                               .arg(offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                               .arg(offsetMinutes / 60, 2, 10, QLatin1Char('0'))
                               .arg(offsetMinutes % 60, 2, 10, QLatin1Char('0'));
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")) + offset;
}

QString recordedNumber(double value) {
    if (value == 0.0) {
        return QStringLiteral("0");
    }
    return QString::number(value, 'g', 15);
}

QByteArray recordingHeaderText(const RecordingHeader& header) {
    QByteArray text;
    text += recordingMagic().toUtf8() + ',' + QByteArray::number(recordingFormatVersion) + '\n';
    for (const TextKey& entry : textKeys) {
        appendHeaderLine(text, QLatin1String(entry.key), header.*entry.member);
    }
    appendHeaderLine(text, QLatin1String(samplingTimeKey), QString::number(header.samplingTimeMs));
    appendHeaderLine(text, QLatin1String(startKey), isoTimestamp(header.start));
    for (const auto& [key, value] : header.otherKeys) {
        appendHeaderLine(text, key, value);
    }
    text += recordingColumns().join(QLatin1Char(',')).toUtf8() + '\n';
    return text;
}

bool applyHeaderKey(RecordingHeader& header, const QString& key, const QString& value,
                    QString& problem) {
    for (const TextKey& entry : textKeys) {
        if (key == QLatin1String(entry.key)) {
            header.*entry.member = value;
            return true;
        }
    }
    if (key == QLatin1String(samplingTimeKey)) {
        bool ok = false;
        header.samplingTimeMs = value.toInt(&ok);
        if (!ok || header.samplingTimeMs < 0) {
            problem =
                QStringLiteral("the sampling time '%1' is not a number of milliseconds").arg(value);
            return false;
        }
        return true;
    }
    if (key == QLatin1String(startKey)) {
        header.start = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!header.start.isValid()) {
            problem = QStringLiteral("the start time '%1' is not a date and time").arg(value);
            return false;
        }
        return true;
    }
    header.otherKeys.append({key, value});
    return true;
}

QByteArray recordingRowLine(const RecordedRow& row) {
    const bool hasValue = !row.overrange && std::isfinite(row.value);
    QString line = QString::number(row.elapsedMs);
    line += QLatin1Char(',');
    line += isoTimestamp(row.time);
    line += QLatin1Char(',');
    if (hasValue) {
        line += recordedNumber(row.value);
    }
    line += QLatin1Char(',');
    line += cleanText(row.unit);
    line += QLatin1Char(',');
    line += cleanText(row.rangeText);
    line += QLatin1Char(',');
    line += cleanText(row.modeText);
    line += row.overrange ? QLatin1String(",1,") : QLatin1String(",0,");
    line += row.gap ? QLatin1Char('1') : QLatin1Char('0');
    line += QLatin1Char('\n');
    return line.toUtf8();
}
