#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// A bound of the time window: an elapsed time from the first reading, or a date and time that
// stands for the recording's start plus the elapsed time.
struct TimeBound {
    std::optional<qint64> elapsedMs;
    QDateTime at;  // without an offset of its own: in the recording's

    // The elapsed time for a recording started at `start`; false when `at` needs a start the
    // recording does not have.
    bool resolve(const QDateTime& start, qint64& ms) const;
};

// zalvo-cli stats FILE [--from TIME] [--to TIME] [--limit PERCENT] [--json]
struct StatsOptions {
    QString file;
    std::optional<TimeBound> from;
    std::optional<TimeBound> to;
    double limitPercent = 50.0;  // the program's default Limit
    bool json = false;
};

// The arguments after "stats"; false with a message on bad input. Options take their value
// as "--name=VALUE" or as the next argument, as the other commands' do.
bool parseStatsOptions(const QStringList& arguments, StatsOptions& options, QString& error);

// "90", "1.5" (seconds), "12:30", "1:02:03.250" ([hours:]minutes:seconds), or
// "2026-12-09T14:05:00" with an optional ".zzz" and offset.
std::optional<TimeBound> parseTimeBound(const QString& text);
