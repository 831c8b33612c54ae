#include "settings/settings_file_path.h"

#include <QCoreApplication>
#include <QFileInfo>

QString settingsFilePath() {
    // Built anew on every access, as the program may be moved between runs.
    QString directory;
    if (QCoreApplication::instance()) {
        directory = QCoreApplication::applicationDirPath();
    } else {
        directory = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
        directory = QFileInfo(directory).absolutePath();
    }
    return directory + QLatin1Char('/') + QStringLiteral("SETUP.INI");
}
