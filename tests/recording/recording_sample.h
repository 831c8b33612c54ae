#pragma once

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <ostream>
#include <vector>

#include "recording/recording_file.h"

// Lets GoogleTest print texts in messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A recording as the logger writes one, with times one hour ahead of UTC.
inline QDateTime sampleTime(int msAfterStart) {
    const QDateTime start(QDate(2026, 12, 9), QTime(14, 3, 22, 123), QTimeZone(3600));
    return start.addMSecs(msAfterStart);
}

inline RecordingHeader sampleHeader() {
    RecordingHeader header;
    header.program = "zalvo-cli 2.0.3.4";
    header.deviceType = "235";
    header.serialNumber = "12340417";
    header.softwareVersion = "133";
    header.modeText = "E-Fieldmeter";
    header.rangeText = "2kV/m";
    header.rangeSetting = "auto";
    header.unit = "kV/m";
    header.samplingTimeMs = 200;
    header.start = sampleTime(0);
    return header;
}

// Rows with a range change to another unit, an overrange and a gap.
inline std::vector<RecordedRow> sampleRows(int count) {
    std::vector<RecordedRow> rows;
    for (int i = 0; i < count; ++i) {
        RecordedRow row;
        row.elapsedMs = i * 200;
        row.time = sampleTime(i * 200 + 5);
        const bool large = i % 7 == 3;
        row.value = large ? 12.5 + i : -0.146 * i;
        row.unit = large ? "V/m" : "kV/m";
        row.rangeText = large ? "200V/m" : "2kV/m";
        row.modeText = "E-Fieldmeter";
        row.overrange = i % 11 == 5;
        row.gap = i % 13 == 9;
        rows.push_back(row);
    }
    return rows;
}

inline QByteArray sampleFileBytes(int rowCount) {
    QByteArray bytes = recordingHeaderText(sampleHeader());
    for (const RecordedRow& row : sampleRows(rowCount)) {
        bytes += recordingRowLine(row);
    }
    return bytes;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
