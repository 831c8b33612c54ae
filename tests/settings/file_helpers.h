#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <unistd.h>

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

// Permission bits do not stop root, so tests that rely on them skip there.
inline bool permissionsApply() {
    return geteuid() != 0;
}
