#pragma once

#include <QString>
#include <string_view>

#include "recording/recording_columns.h"
#include "recording/recording_file.h"

// Reads the lines before a recording's first row, one at a time: the format line, the
// "# key,value" lines and the column header. Every refusal of a header is made here.
class HeaderParser {
public:
    // `name` stands for the file in messages.
    explicit HeaderParser(const QString& name) : name(name) {}

    enum class Step { More, Done, Refused };

    // The next line without its line end; `bytes` is what it takes in the file.
    Step take(std::string_view line, qsizetype bytes);
    // Why the header is refused when the file has no further whole line.
    QString unfinished() const;

    const QString& problem() const { return refusal; }
    const RecordingHeader& header() const { return read; }
    const RecordingColumns& columns() const { return columnsRead; }

private:
    Step refuse(const QString& message);
    Step takeKey(const QString& line);

    QString name;
    int lineNumber = 0;
    qsizetype headerBytes = 0;
    QString refusal;
    RecordingHeader read;
    RecordingColumns columnsRead;
};
