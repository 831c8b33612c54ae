#pragma once

#include <QString>

// The platform's directory separator, with which the stored data directory ends.
QChar directorySeparator();

// The data directory when SETUP.INI names none: the user's home directory with a
// trailing separator ("C:\" on Windows).
QString defaultDataDirectory();

// The directory of a chosen file, up to and including its last separator; empty when it
// has none. A separator in the last character is not looked at, as it ends no directory
// of a file name.
QString directoryOfFile(const QString& filePath);
