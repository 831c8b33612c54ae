#include "recording/recording_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "recording/file_writes.h"

namespace {

constexpr int maximumSuffix = 9999;

QString systemError(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// Without this a file size limit ends the process at the write that crosses it; ignored, the
// write fails with EFBIG like any other. A handler the program installed itself stays.
void ignoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    }
}

}  // namespace

RecordingWriter::~RecordingWriter() {
    close();
}

void RecordingWriter::reset(const QString& path) {
    close();
    path_ = path;
    error_.clear();
    failed_ = false;
    exists_ = false;
    size_ = 0;
    rows_ = 0;
    ignoreFileSizeSignal();
}

bool RecordingWriter::create(const QString& path, const RecordingHeader& header) {
    reset(path);

    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        failToCreate(path, errno);
        return false;
    }
    if (!writeAll(recordingHeaderText(header)) || !syncFile()) {
        // A file without its whole header is no recording; it was ours, so it goes.
        ::close(fd_);
        fd_ = -1;
        ::unlink(name.constData());
        return false;
    }
    syncDirectoryOf(path);
    sinceSync_.start();
    syncer_.start(fd_);
    return true;
}

bool RecordingWriter::createIn(const QString& directory, const RecordingHeader& header) {
    if (!QDir().mkpath(directory)) {
        path_ = directory;
        failed_ = true;
        error_ = QStringLiteral("cannot create the directory %1").arg(directory);
        return false;
    }
    for (int suffix = 1; suffix <= maximumSuffix; ++suffix) {
        const QString path = QDir(directory).filePath(recordingFileName(header, suffix));
        if (create(path, header)) {
            return true;
        }
        if (!exists_) {
            return false;
        }
    }
    return false;
}

bool RecordingWriter::resume(const QString& path, qint64 rows) {
    reset(path);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        fail(QStringLiteral("cannot open %1").arg(path), errno);
        return false;
    }
    // The whole lines end at the last line end; a row is written in one piece, so what follows
    // it is at most one row's worth.
    const off_t end = ::lseek(fd, 0, SEEK_END);
    const off_t tailStart = end > 4096 ? end - 4096 : 0;
    QByteArray tail(static_cast<int>(end - tailStart), '\0');
    if (end < 0 || ::pread(fd, tail.data(), tail.size(), tailStart) != tail.size()) {
        fail(QStringLiteral("cannot read %1").arg(path), errno);
        ::close(fd);
        return false;
    }
    const off_t whole = tailStart + tail.lastIndexOf('\n') + 1;
    if ((whole != end && ::ftruncate(fd, whole) != 0) || ::lseek(fd, whole, SEEK_SET) != whole) {
        fail(QStringLiteral("cannot cut the last line of %1").arg(path), errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = whole;
    rows_ = rows;
    sinceSync_.start();
    syncer_.start(fd_);
    return true;
}

AppendResult RecordingWriter::append(const RecordedRow& row) {
    if (failed_ || fd_ < 0) {
        return AppendResult::Skipped;
    }
    if (takeSyncFailure() || !writeAll(recordingRowLine(row))) {
        return AppendResult::Failed;
    }
    ++rows_;
    if (sinceSync_.elapsed() >= syncIntervalMs_) {
        syncer_.request();
        sinceSync_.start();
    }
    return AppendResult::Written;
}

bool RecordingWriter::sync() {
    if (failed_ || fd_ < 0) {
        return false;
    }
    if (takeSyncFailure() || !syncFile()) {
        return false;
    }
    sinceSync_.start();
    return true;
}

bool RecordingWriter::close() {
    if (fd_ < 0) {
        return !failed_;
    }
    syncer_.stop();
    if (!failed_ && !takeSyncFailure()) {
        syncFile();
    }
    if (::close(fd_) != 0 && !failed_) {
        fail(QStringLiteral("cannot close %1").arg(path_), errno);
    }
    fd_ = -1;
    return !failed_;
}

bool RecordingWriter::writeAll(const QByteArray& bytes) {
    qint64 done = 0;
    if (const int errorNumber = writeWhole(fd_, bytes, done)) {
        // Half a row would be read as damage: the file goes back to its last whole line.
        if (done > 0) {
            while (::ftruncate(fd_, static_cast<off_t>(size_)) != 0 && errno == EINTR) {
            }
            ::lseek(fd_, static_cast<off_t>(size_), SEEK_SET);
        }
        fail(QStringLiteral("cannot write to %1").arg(path_), errorNumber);
        return false;
    }
    size_ += done;
    return true;
}

bool RecordingWriter::syncFile() {
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        fail(QStringLiteral("cannot save %1 to the disk").arg(path_), errno);
        return false;
    }
    return true;
}

// A sync on the syncer's thread failed: the rows since the last good one may not be on disk.
bool RecordingWriter::takeSyncFailure() {
    const int errorNumber = syncer_.takeError();
    if (errorNumber == 0) {
        return false;
    }
    fail(QStringLiteral("cannot save %1 to the disk").arg(path_), errorNumber);
    return true;
}

bool RecordingWriter::checkNewFile(const QString& path) {
    error_.clear();
    failed_ = false;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0) {
        failToCreate(path, EEXIST);
        return false;
    }
    const QByteArray directory = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::access(directory.constData(), W_OK | X_OK) != 0) {
        failToCreate(path, errno);
        return false;
    }
    return true;
}

void RecordingWriter::failToCreate(const QString& path, int errorNumber) {
    exists_ = errorNumber == EEXIST;
    fail(exists_ ? QStringLiteral("%1 exists already and is not replaced").arg(path)
                 : QStringLiteral("cannot create %1").arg(path),
         exists_ ? 0 : errorNumber);
}

void RecordingWriter::fail(const QString& what, int errorNumber) {
    failed_ = true;
    error_ = errorNumber != 0 ? what + QStringLiteral(": ") + systemError(errorNumber) : what;
}
