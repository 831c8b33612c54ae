#include "settings/settings_file_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

const QString settingsFileName = QStringLiteral("SETUP.INI");
const QString programFolderName = QStringLiteral("zalvo");

QString& settingsFilePathInUse() {
    static QString path;
    return path;
}

QString programDirectory() {
    if (QCoreApplication::instance()) {
        return QCoreApplication::applicationDirPath();
    }
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(program).absolutePath();
}

QString configSettingsDirectory(const QString& configHome) {
    return configHome + QLatin1Char('/') + programFolderName;
}

}  // namespace

QString settingsFilePath() {
    if (!settingsFilePathInUse().isEmpty()) {
        return settingsFilePathInUse();
    }
    // Built anew on every access, as the program may be moved between runs.
    const QString directory = programDirectory();
    return settingsFilePathFor(directory, isDirectoryWritable(directory), configHomeDirectory());
}

void useSettingsFilePath(const QString& path) {
    settingsFilePathInUse() = path;
}

QString settingsFilePathFor(const QString& programDirectory, bool programDirectoryWritable,
                            const QString& configHome) {
    QString besideProgram = programDirectory + QLatin1Char('/') + settingsFileName;
    if (programDirectoryWritable || QFileInfo::exists(besideProgram)) {
        return besideProgram;
    }
    return configSettingsDirectory(configHome) + QLatin1Char('/') + settingsFileName;
}

QString configHomeDirectory() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config"));
}

bool isDirectoryWritable(const QString& directory) {
    // access() asks the kernel, which also knows read-only mounts and ACLs.
    return QFileInfo(directory).isDir() &&
           ::access(QFile::encodeName(directory).constData(), W_OK | X_OK) == 0;
}

void createSettingsDirectoryFor(const QString& filePath) {
    const QString directory = QFileInfo(filePath).absolutePath();
    if (directory == configSettingsDirectory(configHomeDirectory())) {
        QDir().mkpath(directory);
    }
}
