#include "publish/acknowledged_rows.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "recording/file_writes.h"

namespace {

QString failure(const QString& what, const QString& path, int errorNumber) {
    return QStringLiteral("%1 %2: %3")
        .arg(what, path, QString::fromLocal8Bit(std::strerror(errorNumber)));
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
    qint64 done = 0;
    int writeError = writeWhole(fd, QByteArray::number(rows) + '\n', done);
    if (writeError == 0 && ::fsync(fd) != 0) {
        writeError = errno;
    }
    const bool written = writeError == 0;
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
    syncDirectoryOf(path);
    return true;
}
