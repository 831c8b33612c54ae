#pragma once

#include <QString>

// Positions of a recording's columns, read from its column header; -1 for a column the file
// does not have.
struct RecordingColumns {
    int count = 0;
    int elapsed = -1;
    int value = -1;
    int unit = -1;
    int range = -1;
    int overrange = -1;
    int gap = -1;
    int time = -1;
    int mode = -1;
};

// False when the line is no column header of a recording (no elapsed_ms or value column).
bool readColumnHeader(const QString& line, RecordingColumns& columns);
