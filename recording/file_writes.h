#pragma once

#include <QByteArray>
#include <QString>

// Writes all of `bytes` to `fd`, carrying on after interrupted and partial writes. Returns 0,
// or the errno that stopped it (ENOSPC where the system took nothing); `written` counts the
// bytes that did reach the file.
int writeWhole(int fd, const QByteArray& bytes, qint64& written);

// A new or renamed directory entry survives a power cut only once its directory is synced.
void syncDirectoryOf(const QString& path);
