#include "settings/program_settings.h"

#include "settings/data_directory.h"
#include "settings/ini_file.h"
#include "settings/settings_file_path.h"

namespace {

const QString displaySection = QStringLiteral("Display");
const QString samplingSection = QStringLiteral("Sampling");
const QString displayDepictionKey = QStringLiteral("DisplayDepiction");
const QString limitKey = QStringLiteral("Limit");
const QString dataDirectoryKey = QStringLiteral("DataDirectory");
const QString samplingTimeDisplayKey = QStringLiteral("SamplingTimeDisplay");
const QString samplingTimeChartKey = QStringLiteral("SamplingTimeChart");

}  // namespace

ProgramSettings readProgramSettings(const QString& filePath) {
    const IniText text = readIniFile(filePath);
    ProgramSettings settings;
    settings.displayDepiction = text.integer(displaySection, displayDepictionKey, 0);
    settings.limit = text.integer(displaySection, limitKey, 50);
    settings.dataDirectory = text.string(displaySection, dataDirectoryKey, defaultDataDirectory());
    settings.samplingTimeDisplay = text.integer(samplingSection, samplingTimeDisplayKey, 200);
    settings.samplingTimeChart = text.integer(samplingSection, samplingTimeChartKey, 200);
    return settings;
}

void storeSetupValues(const QString& filePath, int depiction, int limit, int samplingTimeDisplay) {
    createSettingsDirectoryFor(filePath);
    writeIniEntries(filePath, {{displaySection, displayDepictionKey, QString::number(depiction)},
                               {displaySection, limitKey, QString::number(limit)},
                               {samplingSection, samplingTimeDisplayKey,
                                QString::number(samplingTimeDisplay)}});
}

void storeSamplingTimeChart(const QString& filePath, int milliseconds) {
    createSettingsDirectoryFor(filePath);
    writeIniString(filePath, samplingSection, samplingTimeChartKey, QString::number(milliseconds));
}

void storeDataDirectory(const QString& filePath, const QString& directory) {
    createSettingsDirectoryFor(filePath);
    writeIniString(filePath, displaySection, dataDirectoryKey, directory);
}
