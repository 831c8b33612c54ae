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

// The smallest sampling times the windows offer. A smaller one from the file (a negative
// number, say) is measured with as this smallest one, while the file keeps what it holds.
constexpr int smallestSamplingTimeDisplay = 0;
constexpr int smallestSamplingTimeChart = 200;

// The sampling time a loop measures with, for a setting and the smallest value it allows.
constexpr int usableSamplingTime(int milliseconds, int smallest) {
    return milliseconds < smallest ? smallest : milliseconds;
}

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
