#pragma once

#include <QString>

// Elapsed time as hours:minutes:seconds.milliseconds; hours go past 24. A time before the
// first reading has a minus sign.
QString elapsedText(qint64 signedMs);
