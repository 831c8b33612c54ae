#include "recording/recording_columns.h"

#include <QStringList>

#include "recording/csv_fields.h"

bool readColumnHeader(const QString& line, RecordingColumns& columns) {
    QStringList names;
    if (!splitCsvLine(line, names)) {
        return false;
    }
    columns.count = static_cast<int>(names.size());
    columns.elapsed = static_cast<int>(names.indexOf(QStringLiteral("elapsed_ms")));
    columns.value = static_cast<int>(names.indexOf(QStringLiteral("value")));
    columns.unit = static_cast<int>(names.indexOf(QStringLiteral("unit")));
    columns.range = static_cast<int>(names.indexOf(QStringLiteral("range")));
    columns.overrange = static_cast<int>(names.indexOf(QStringLiteral("overrange")));
    columns.gap = static_cast<int>(names.indexOf(QStringLiteral("gap")));
    columns.time = static_cast<int>(names.indexOf(QStringLiteral("time")));
    columns.mode = static_cast<int>(names.indexOf(QStringLiteral("mode")));
    return columns.elapsed >= 0 && columns.value >= 0;
}
