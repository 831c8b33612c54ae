#include "publish/acknowledged_rows.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {

QString failure(const QString& what, const QString& path, int errorNumber) {
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(errorNumber)));
}

bool writeWhole(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += n;
    }
    return true;
}

}  // namespace

QString acknowledgedRowsPath(const QString& recordingPath) {
    return recordingPath + QStringLiteral(".published");
}

bool readAcknowledgedRows(const QString& recordingPath, qint64& rows, QString& error) {
    const QString path = acknowledgedRowsPath(recordingPath);
    rows = 0;
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    bool ok = false;
    rows = file.readLine(32).trimmed().toLongLong(&ok);
    if (!ok || rows < 0) {
        error = QStringLiteral("%1 holds no count of rows").arg(path);
        rows = 0;
        return false;
    }
    return true;
}

bool writeAcknowledgedRows(const QString& recordingPath, qint64 rows, QString& error) {
    const QString path = acknowledgedRowsPath(recordingPath);
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = failure(QStringLiteral("cannot create"), temporary, errno);
        return false;
    }
    const bool written = writeWhole(fd, QByteArray::number(rows) + '\n') && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        error = failure(QStringLiteral("cannot write"), temporary, written ? errno : writeError);
        ::unlink(name.constData());
        return false;
    }
    if (::rename(name.constData(), QFile::encodeName(path).constData()) != 0) {
        error = failure(QStringLiteral("cannot replace"), path, errno);
        ::unlink(name.constData());
        return false;
    }
    // The rename survives a power cut once the directory is synced.
    const int directory = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return true;
}
