#pragma once

#include <QString>

// The five settings SETUP.INI keeps between runs, with their defaults.
struct ProgramSettings {
    int displayDepiction = 0;
    int limit = 50;
    QString dataDirectory;
    int samplingTimeDisplay = 200;
    int samplingTimeChart = 200;
};

// Reads the settings once from the file; a missing file or key, or a value that is not an
// integer where one is expected, gives the default (the data directory's is
// defaultDataDirectory()). Values are used as found, without a range check.
ProgramSettings readProgramSettings(const QString& filePath);

// Each store writes its keys as decimal text in one replacement of the file and throws
// SettingsWriteError (nothing written) when that fails. A file in <config home>/zalvo gets
// its directory made first (createSettingsDirectoryFor).

// [Display] DisplayDepiction, [Display] Limit, [Sampling] SamplingTimeDisplay, in this order.
void storeSetupValues(const QString& filePath, int depiction, int limit, int samplingTimeDisplay);

// [Sampling] SamplingTimeChart.
void storeSamplingTimeChart(const QString& filePath, int milliseconds);

// [Display] DataDirectory, as given (directoryOfFile() of the chosen file).
void storeDataDirectory(const QString& filePath, const QString& directory);
