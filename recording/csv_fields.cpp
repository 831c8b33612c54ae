#include "recording/csv_fields.h"

namespace {

bool needsQuotes(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    if (text.front().isSpace() || text.back().isSpace()) {
        return true;
    }
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r')) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString csvField(const QString& text) {
    if (!needsQuotes(text)) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool splitCsvLine(const QString& line, QStringList& fields) {
    fields.clear();
    QString field;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        field.clear();
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            while (true) {
                if (i >= n) {
                    return false;
                }
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            if (i < n && line[i] != QLatin1Char(',')) {
                return false;
            }
        } else {
            while (i < n && line[i] != QLatin1Char(',')) {
                if (line[i] == QLatin1Char('"')) {
                    return false;
                }
                field += line[i++];
            }
        }
        fields << field;
        if (i >= n) {
            return true;
        }
        ++i;  // the comma
    }
}
