#pragma once

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include "recording/recording_file.h"

// XDG_DATA_HOME in a temporary directory while the scope lasts, so that recordings never land
// in the real home.
class DataHomeScope {
public:
    DataHomeScope()
        : saved(qgetenv("XDG_DATA_HOME")), hadValue(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }
    ~DataHomeScope() {
        if (hadValue) {
            qputenv("XDG_DATA_HOME", saved);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    DataHomeScope(const DataHomeScope&) = delete;
    DataHomeScope& operator=(const DataHomeScope&) = delete;

    QString path() const { return home.path(); }

    // Full paths of the recording files, oldest name first.
    static QStringList recordingFiles() {
        const QDir directory(recordingsDirectory());
        QStringList paths;
        for (const QString& name :
             directory.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name)) {
            paths.append(directory.filePath(name));
        }
        return paths;
    }

private:
    QTemporaryDir home;
    QByteArray saved;
    bool hadValue;
};
