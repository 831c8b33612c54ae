#pragma once

#include <QIODevice>
#include <atomic>
#include <memory>

// Cuts a device into lines, reading it in blocks of a few MB, so a file of any size costs the
// same little memory. Lines are cut as QIODevice::readLine(lineLimit) cuts them: a line
// together with its "\n" takes at most lineLimit bytes, and a longer one is too long.
class BlockLines {
public:
    static constexpr qint64 lineLimit = 64 * 1024;

    // `cancel` (may be null) is polled before each block; `bytesRead` (may be null) follows
    // the blocks read.
    BlockLines(QIODevice& device, const std::atomic<bool>* cancel, std::atomic<qint64>* bytesRead);

    enum class Result { Line, End, CutOff, TooLong, Cancelled, ReadError };

    // The next line without its line end ("\n" or "\r\n"), valid until the next call.
    Result next(const char*& begin, const char*& end);

    int lineNumber() const { return number; }
    // Behind the line end of the last line: the line's bytes as they stand in the file.
    const char* rawLineEnd() const { return rawEnd; }

private:
    bool refill();

    QIODevice& device;
    const std::atomic<bool>* cancel;
    std::atomic<qint64>* bytesRead;
    std::size_t block;               // bytes read at a time: a few MB, or less for a smaller device
    std::unique_ptr<char[]> buffer;  // not cleared: only what was read is looked at
    std::size_t position = 0;        // of the first byte not handed out
    std::size_t filled = 0;
    bool atEnd = false;
    bool cancelled = false;
    int number = 0;
    const char* rawEnd = nullptr;
};
