#pragma once

#include <QString>
#include <QTemporaryDir>

// A really full disk for tests: a small tmpfs mounted on a temporary directory, filled up on
// request, so that writes there fail with ENOSPC as on a full disk. Mounting needs root (or
// the capability to mount); where it is refused, reason() says why and the test skips.
// Unmounted when the object goes, whatever way the test ends.
class FullFilesystem {
public:
    FullFilesystem();
    ~FullFilesystem();
    FullFilesystem(const FullFilesystem&) = delete;
    FullFilesystem& operator=(const FullFilesystem&) = delete;

    bool isMounted() const { return mounted; }
    // Why there is no filesystem; empty when it is mounted.
    QString reason() const { return failure; }
    QString filePath(const QString& name) const;

    // Takes every free byte with a filler file; what is already there stays. False when the
    // filesystem still had room after that.
    bool fill();

private:
    QTemporaryDir mountPoint;
    bool mounted = false;
    QString failure;
};
