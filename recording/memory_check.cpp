#include "recording/memory_check.h"

#include <QFile>
#include <QLocale>
#include <limits>

#include "recording/line_blocks.h"

namespace {

// "0,2026-12-09T14:03:22.128+01:00,0,V,2V,F,0,0" and its line end: no written row is shorter.
constexpr qint64 shortestRowBytes = 45;
constexpr qint64 loaderBytes = 8 * 1024 * 1024;

}  // namespace

qint64 availableMemoryBytes() {
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    // /proc files report no size: read to their end, not up to it.
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() == 3 && words[0] == "MemAvailable:" && words[2] == "kB") {
            bool ok = false;
            const qint64 kilobytes = words[1].toLongLong(&ok);
            return ok ? kilobytes * 1024 : -1;
        }
    }
    return -1;
}

qint64 loadingMemoryBytes(qint64 fileBytes, std::size_t bytesPerRow) {
    const qint64 rows = fileBytes / shortestRowBytes + 1;
    // In floating point: a sink's cost per row times the rows may pass the range of qint64.
    const double bytes = static_cast<double>(rows) * static_cast<double>(bytesPerRow) +
                         static_cast<double>(loaderBytes + BlockLines::lineLimit);
    constexpr auto most = std::numeric_limits<qint64>::max();
    return bytes >= static_cast<double>(most) ? most : static_cast<qint64>(bytes);
}

QString sizeText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}
