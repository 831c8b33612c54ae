#include "recording/elapsed_text.h"

#include <cstdlib>

QString elapsedText(qint64 signedMs) {
    const qint64 ms = std::abs(signedMs);
    return QStringLiteral("%1%2:%3:%4.%5")
        .arg(signedMs < 0 ? QStringLiteral("-") : QString())
        .arg(ms / 3600000)
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}
