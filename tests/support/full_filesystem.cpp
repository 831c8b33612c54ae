#include "tests/support/full_filesystem.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

FullFilesystem::FullFilesystem() {
    if (!mountPoint.isValid()) {
        failure = QStringLiteral("no temporary directory for the mount point");
        return;
    }
    const QByteArray target = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", target.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") !=
        0) {
        failure = QStringLiteral("cannot mount a small tmpfs: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted = true;
}

FullFilesystem::~FullFilesystem() {
    if (!mounted) {
        return;
    }
    const QByteArray target = QFile::encodeName(mountPoint.path());
    // A file still open somewhere keeps the mount busy; then it goes once that file is closed.
    if (::umount2(target.constData(), 0) != 0) {
        ::umount2(target.constData(), MNT_DETACH);
    }
}

QString FullFilesystem::filePath(const QString& name) const {
    return QDir(mountPoint.path()).filePath(name);
}

bool FullFilesystem::fill() {
    const QByteArray filler = QFile::encodeName(filePath(QStringLiteral(".filler")));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::vector<char> block(4096, 'x');
    // Smaller and smaller pieces, down to a single byte, until not one more fits.
    for (std::size_t size = block.size(); size > 0; size /= 2) {
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    }
    ::close(fd);
    struct statvfs space {};
    return ::statvfs(QFile::encodeName(mountPoint.path()).constData(), &space) == 0 &&
           space.f_bavail == 0;
}
