#include "display/record_file.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

// Closes the descriptor when the scope ends, whatever path it takes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now; a failing close may mean that written data did not arrive.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString cannotOpen(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
}

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason);
}

// One write call for the whole line, so that a line is never split between two writers.
bool writeAtOnce(int fd, const QByteArray& data, QString& reason) {
    ssize_t written = 0;
    do {
        written = ::write(fd, data.constData(), static_cast<size_t>(data.size()));
    } while (written < 0 && errno == EINTR);
    if (written == data.size()) {
        return true;
    }
    reason =
        written < 0
            ? systemReason(errno)
            : QStringLiteral("Only %1 of %2 bytes could be written.").arg(written).arg(data.size());
    return false;
}

}  // namespace

RecordFileCreation createRecordFile(const QString& path, const QByteArray& headerLine) {
    const QByteArray name = QFile::encodeName(path);
    FileDescriptor file(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        return errno == EEXIST ? RecordFileCreation::AlreadyExists : RecordFileCreation::Failed;
    }
    // Another writer that got hold of the new file first is left alone with it.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        return RecordFileCreation::AlreadyExists;
    }
    QString reason;
    if (!writeAtOnce(file.get(), headerLine, reason) || ::fdatasync(file.get()) != 0) {
        // A file with half a header is no record file; it held nothing of anyone's before.
        ::unlink(name.constData());
        return RecordFileCreation::Failed;
    }
    if (!file.close()) {
        ::unlink(name.constData());
        return RecordFileCreation::Failed;
    }
    return RecordFileCreation::Created;
}

bool appendRecordLine(const QString& path, const QByteArray& line, QString& error) {
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a named pipe in place of the file cannot hang the program.
    FileDescriptor file(
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) {
        error = cannotOpen(path, systemReason(errno));
        return false;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        error = cannotOpen(path, QStringLiteral("It is not a regular file."));
        return false;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        error = cannotOpen(path, errno == EWOULDBLOCK
                                     ? QStringLiteral("It is in use by another program.")
                                     : systemReason(errno));
        return false;
    }
    // The size now that no cooperating writer can change it: what a failure goes back to.
    if (::fstat(file.get(), &status) != 0) {
        error = cannotOpen(path, systemReason(errno));
        return false;
    }
    const off_t originalSize = status.st_size;
    QString reason;
    bool written = writeAtOnce(file.get(), line, reason);
    if (written && ::fdatasync(file.get()) != 0) {
        reason = systemReason(errno);
        written = false;
    }
    if (!written) {
        if (::ftruncate(file.get(), originalSize) != 0) {
            reason += QStringLiteral(" The file could not be restored: ") + systemReason(errno);
        }
        error = cannotWrite(path, reason);
        return false;
    }
    if (!file.close()) {
        error = cannotWrite(path, systemReason(errno));
        return false;
    }
    return true;
}
