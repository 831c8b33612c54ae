#include "cli/progress_line.h"

#include <unistd.h>

ProgressLine::ProgressLine(std::FILE* stream) : stream(stream), enabled(isatty(fileno(stream))) {}

void ProgressLine::show(long long samples, long long elapsedMs, const QString& lastValue) {
    if (!enabled) {
        return;
    }
    const long long seconds = elapsedMs / 1000;
    const QString text = QStringLiteral("\r%1 samples  %2:%3:%4  %5\x1b[K")
                             .arg(samples)
                             .arg(seconds / 3600)
                             .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                             .arg(lastValue);
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    lineOpen = true;
}

void ProgressLine::breakLine() {
    if (lineOpen) {
        std::fputc('\n', stream);
        std::fflush(stream);
        lineOpen = false;
    }
}
