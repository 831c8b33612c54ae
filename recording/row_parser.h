#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "recording/recording_columns.h"
#include "recording/recording_stream.h"

// Keeps one QString per distinct text, so a million rows of "kV/m" share one.
class TextTable {
public:
    const QString* intern(std::string_view bytes);

private:
    std::unordered_map<std::string, std::unique_ptr<QString>> texts;
    std::string_view lastBytes;  // a key of `texts`, which never moves
    const QString* last = nullptr;
};

// Reads data rows straight from their bytes. Numbers in the form the writer gives them are
// converted directly; anything else goes through the conversions of QString, which decide
// what else a number may look like (blanks around it, a "+", no digit before the point).
class RowParser {
public:
    explicit RowParser(const RecordingColumns& columns) : columns(columns) {}

    // One line without its line end; false with the reason when the line is no row.
    bool parse(const char* begin, const char* end, StreamedRow& row, QString& problem);

private:
    bool split(const char* begin, const char* end);
    bool splitQuoted(const char* begin, const char* end);

    RecordingColumns columns;
    std::vector<std::string_view> fields;
    std::vector<QByteArray> unquoted;  // the fields of a line with quotes, as UTF-8
    TextTable units;
    TextTable ranges;
};
