#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

#include "settings/ini_text.h"

// A settings file that could not be written; the file is left as it was.
class SettingsWriteError : public std::runtime_error {
public:
    SettingsWriteError(const QString& filePath, const QString& reason);

    // "Cannot write file <path>: <reason>", for the error report shown to the operator.
    QString message() const { return QString::fromUtf8(what()); }
};

// Files above this size are not taken for settings: reading yields the defaults and
// writing is refused, so that a stray huge or binary file is never cut down.
constexpr qint64 maxIniFileSize = 1024 * 1024;

// The file's contents; empty when it is missing, not a regular file, unreadable or too large.
IniText readIniFile(const QString& filePath);

QString readIniString(const QString& filePath, const QString& section, const QString& key,
                      const QString& defaultValue);

int readIniInteger(const QString& filePath, const QString& section, const QString& key,
                   int defaultValue);

struct IniEntry {
    QString section;
    QString key;
    QString value;
};

// Writes the entries in their order in one replacement of the file (created when missing):
// all of them or, on a SettingsWriteError, none. The file goes through a temporary file in
// its directory that replaces it only when completely written; its permissions are kept.
void writeIniEntries(const QString& filePath, const std::vector<IniEntry>& entries);

void writeIniString(const QString& filePath, const QString& section, const QString& key,
                    const QString& value);
