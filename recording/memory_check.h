#pragma once

#include <QString>
#include <QtGlobal>
#include <cstddef>

// What the system can still give a process: MemAvailable of /proc/meminfo in bytes; -1 when
// it is not known.
qint64 availableMemoryBytes();

// The memory loading a recording file of `fileBytes` takes at most, when each row costs
// `bytesPerRow`: as many rows as the shortest rows the writer gives fit into the file, plus
// the loader's own few MB.
qint64 loadingMemoryBytes(qint64 fileBytes, std::size_t bytesPerRow);

// Sizes for messages: "1.2 GB", "640 MB".
QString sizeText(qint64 bytes);
