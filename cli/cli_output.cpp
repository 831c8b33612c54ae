#include "cli/cli_output.h"

#include <cstdio>

void printMessage(const QString& message) {
    const QByteArray text =
        (QStringLiteral("zalvo-cli: ") + message + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(text.constData(), stderr);
    std::fflush(stderr);
}

void printLine(const QString& line) {
    const QByteArray text = (line + QLatin1Char('\n')).toUtf8();
    std::fputs(text.constData(), stdout);
    std::fflush(stdout);
}
