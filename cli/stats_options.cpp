#include "cli/stats_options.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>

namespace {

constexpr double longestMs = 1e15;  // beyond any recording; keeps the sums within qint64

std::optional<qint64> elapsedOf(const QString& text) {
    static const QRegularExpression clock(
        QStringLiteral(R"(^(?:(\d+):)?(\d+):(\d{1,2}(?:\.\d+)?)$)"));
    bool ok = false;
    double seconds = text.toDouble(&ok);
    if (!ok || text.contains(QLatin1Char(':'))) {
        const QRegularExpressionMatch match = clock.match(text);
        if (!match.hasMatch() || match.captured(3).toDouble() >= 60.0) {
            return std::nullopt;
        }
        seconds = match.captured(1).toDouble() * 3600 + match.captured(2).toDouble() * 60 +
                  match.captured(3).toDouble();
    }
    const double ms = std::round(seconds * 1000.0);
    if (!(ms >= 0) || ms > longestMs) {
        return std::nullopt;
    }
    return static_cast<qint64>(ms);
}

}  // namespace

bool TimeBound::resolve(const QDateTime& start, qint64& ms) const {
    if (elapsedMs) {
        ms = *elapsedMs;
        return true;
    }
    if (!start.isValid()) {
        return false;
    }
    QDateTime time = at;
    if (time.timeSpec() == Qt::LocalTime) {
        time = QDateTime(at.date(), at.time(), start.timeZone());
    }
    ms = start.msecsTo(time);
    return true;
}

std::optional<TimeBound> parseTimeBound(const QString& text) {
    TimeBound bound;
    if (text.contains(QLatin1Char('T'))) {
        bound.at = QDateTime::fromString(text, Qt::ISODateWithMs);
        if (!bound.at.isValid()) {
            return std::nullopt;
        }
        return bound;
    }
    bound.elapsedMs = elapsedOf(text);
    if (!bound.elapsedMs) {
        return std::nullopt;
    }
    return bound;
}

bool parseStatsOptions(const QStringList& arguments, StatsOptions& options, QString& error) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            if (!options.file.isEmpty()) {
                error = QStringLiteral("stats reads one file, not also '%1'").arg(argument);
                return false;
            }
            options.file = argument;
            continue;
        }
        QString name = argument.mid(2);
        if (name == QLatin1String("json")) {
            options.json = true;
            continue;
        }
        QString value;
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = QStringLiteral("--%1 needs a value").arg(name);
            return false;
        }
        if (name == QLatin1String("from") || name == QLatin1String("to")) {
            std::optional<TimeBound> bound = parseTimeBound(value);
            if (!bound) {
                error = QStringLiteral(
                            "--%1 takes seconds, [hours:]minutes:seconds or a date and "
                            "time such as 2026-12-09T14:05:00, not '%2'")
                            .arg(name, value);
                return false;
            }
            (name == QLatin1String("from") ? options.from : options.to) = bound;
        } else if (name == QLatin1String("limit")) {
            bool ok = false;
            options.limitPercent = value.toDouble(&ok);
            if (!ok || !(options.limitPercent >= 0) || options.limitPercent > 100) {
                error =
                    QStringLiteral("--limit takes a percentage from 0 to 100, not '%1'").arg(value);
                return false;
            }
        } else {
            error = QStringLiteral("unknown option '--%1' for stats").arg(name);
            return false;
        }
    }
    if (options.file.isEmpty()) {
        error = QStringLiteral("stats needs the recording file to read");
        return false;
    }
    return true;
}
