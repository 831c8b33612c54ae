#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One recording is one CSV file: "," between fields, "." as decimal point whatever the
// locale, lines ended by "\n", texts quoted by RFC 4180 where needed. It starts with lines
// beginning with "#" that say what was recorded, then a column header, then one row per
// reading. The first line names the format and its version: "# Zalvo recording,1".

// What was recorded; written once at the top of the file.
struct RecordingHeader {
    QString program;     // program name and version, e.g. "zalvo-cli 2.0.3.4"
    QString deviceType;  // the identity's texts as the instrument sent them
    QString serialNumber;
    QString softwareVersion;
    QString modeText;      // at the start; each row carries its own
    QString rangeText;     // at the start; each row carries its own
    QString rangeSetting;  // what was asked for: "auto", or the range index "0".."3"
    QString unit;          // at the start; each row carries its own
    QString distanceMm;    // measuring distance in mm; empty for the field meter
    int samplingTimeMs = 0;
    QDateTime start;  // local time, written with its offset from UTC
    // Header keys this program does not know, kept in file order by the loader.
    QList<QPair<QString, QString>> otherKeys;
};

// One reading.
struct RecordedRow {
    qint64 elapsedMs = 0;  // from the first reading of the recording
    QDateTime time;        // wall-clock time of the reading
    double value = 0.0;    // in `unit`; not written when overrange is set
    QString unit;
    QString rangeText;
    QString modeText;
    bool overrange = false;  // the instrument reported overrange: the row has no value
    bool gap = false;        // first row after the instrument was lost and came back
};

constexpr int recordingFormatVersion = 1;

// "# Zalvo recording": the first field of the first line.
QString recordingMagic();

// The column names, in file order.
QStringList recordingColumns();

// $XDG_DATA_HOME/zalvo/recordings, or ~/.local/share/zalvo/recordings when XDG_DATA_HOME is
// unset or not absolute. The same for the windows and the command line.
QString recordingsDirectory();

// File name without directory: start date and time, device type and serial number, e.g.
// "2026-12-09_14-03-22_235_12340417.csv"; `suffix` 2, 3, ... gives "..._12340417_2.csv".
// Characters that do not belong in a file name become "_".
QString recordingFileName(const RecordingHeader& header, int suffix = 1);

// ISO 8601 with milliseconds and the offset from UTC: "2026-12-09T14:03:22.123+01:00".
QString isoTimestamp(const QDateTime& time);

// A number with "." and up to 15 significant digits, never "-0": 2.5025, -1250, 0.
QString recordedNumber(double value);

// The lines before the first row, each ended by "\n".
QByteArray recordingHeaderText(const RecordingHeader& header);

// Takes one "# key,value" line of the header into `header`; unknown keys go to otherKeys.
// False with a reason when a known key's value cannot be read.
bool applyHeaderKey(RecordingHeader& header, const QString& key, const QString& value,
                    QString& problem);

// One row as a line ended by "\n".
QByteArray recordingRowLine(const RecordedRow& row);
