#include "settings/settings_file_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

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

// Copies a SETUP.INI that cannot be replaced where it lies to the user's own file, writable by
// the user; false, leaving no partial copy, when that fails.
bool copyForTheUser(const QString& from, const QString& to) {
    if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(from, to)) {
        return false;
    }
    if (!QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner | QFile::ReadOwner)) {
        QFile::remove(to);
        return false;
    }
    return true;
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
    if (programDirectoryWritable) {
        return besideProgram;
    }
    QString forTheUser = configSettingsDirectory(configHome) + QLatin1Char('/') + settingsFileName;
    if (!QFileInfo::exists(besideProgram) || QFileInfo::exists(forTheUser)) {
        return forTheUser;
    }
    // A file in a directory the user cannot write can be read but never replaced, so every
    // store would fail: the user's copy takes its place from now on.
    if (!copyForTheUser(besideProgram, forTheUser)) {
        return besideProgram;
    }
    std::fprintf(
        stderr,
        "%s cannot be changed in its directory; it was copied to %s and is used from there.\n",
        qPrintable(QDir::toNativeSeparators(besideProgram)),
        qPrintable(QDir::toNativeSeparators(forTheUser)));
    return forTheUser;
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
