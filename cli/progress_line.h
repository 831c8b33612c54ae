#pragma once

#include <QString>
#include <cstdio>

// The log's running count, elapsed time and last value on one line of a terminal, rewritten
// in place. Silent when the stream is no terminal, so redirected stderr holds only messages.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream);

    void show(long long samples, long long elapsedMs, const QString& lastValue);
    // Ends the line, so that a message can follow on a line of its own.
    void breakLine();

private:
    std::FILE* stream;
    bool enabled;
    bool lineOpen = false;
};
