#include "recording/line_blocks.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t blockBytes = 4 * 1024 * 1024;

std::size_t blockFor(const QIODevice& device) {
    if (device.isSequential()) {
        return blockBytes;
    }
    const qint64 left = device.size() - device.pos();
    return static_cast<std::size_t>(std::clamp<qint64>(left, 1, blockBytes));
}

}  // namespace

BlockLines::BlockLines(QIODevice& device, const std::atomic<bool>* cancel,
                       std::atomic<qint64>* bytesRead)
    : device(device),
      cancel(cancel),
      bytesRead(bytesRead),
      block(blockFor(device)),
      buffer(new char[block + static_cast<std::size_t>(lineLimit)]) {}

BlockLines::Result BlockLines::next(const char*& begin, const char*& end) {
    const auto limit = static_cast<std::size_t>(lineLimit);
    while (true) {
        const std::size_t available = filled - position;
        const char* start = buffer.get() + position;
        const auto* newline =
            static_cast<const char*>(std::memchr(start, '\n', std::min(available, limit)));
        if (newline != nullptr) {
            ++number;
            position += static_cast<std::size_t>(newline - start) + 1;
            begin = start;
            rawEnd = newline + 1;
            end = newline > start && newline[-1] == '\r' ? newline - 1 : newline;
            return Result::Line;
        }
        // readLine gives up to the limit; at the end of the device that is a cut-off line.
        if (available > limit || (available == limit && atEnd)) {
            ++number;
            return available == limit ? Result::CutOff : Result::TooLong;
        }
        if (atEnd) {
            if (available == 0) {
                return Result::End;
            }
            ++number;
            return Result::CutOff;
        }
        if (!refill()) {
            return cancelled ? Result::Cancelled : Result::ReadError;
        }
    }
}

// Moves the unread rest to the front and reads the next block behind it.
bool BlockLines::refill() {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        cancelled = true;
        return false;
    }
    const std::size_t rest = filled - position;
    std::memmove(buffer.get(), buffer.get() + position, rest);
    position = 0;
    filled = rest;
    const qint64 read = device.read(buffer.get() + filled, static_cast<qint64>(block));
    if (read < 0) {
        return false;
    }
    filled += static_cast<std::size_t>(read);
    atEnd = read == 0 || device.atEnd();
    if (bytesRead != nullptr) {
        bytesRead->fetch_add(read, std::memory_order_relaxed);
    }
    return true;
}
