#include "cli/stats_command.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <limits>
#include <optional>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/stats_options.h"
#include "recording/elapsed_text.h"
#include "recording/recording_statistics.h"
#include "recording/recording_stream.h"

namespace {

// Collects the statistics of the whole recording and of the window at once, in one pass.
class StatsSink : public RecordingSink {
public:
    explicit StatsSink(const StatsOptions& options)
        : options(options), whole(options.limitPercent) {}

    std::size_t bytesPerRow() const override { return 0; }

    void begin(const RecordingHeader& header) override {
        start = header.start;
        if (!header.unit.isEmpty()) {
            whole.setUnit(header.unit);
        }
        if (!options.from && !options.to) {
            return;
        }
        if ((options.from && !options.from->resolve(start, fromMs)) ||
            (options.to && !options.to->resolve(start, toMs))) {
            windowUnresolved = true;
            return;
        }
        window.emplace(options.limitPercent, fromMs, toMs);
    }

    void row(const StreamedRow& row) override {
        whole.add(row);
        if (window) {
            // The first row has chosen the unit when the header names none.
            if (window->unit() != whole.unit()) {
                window->setUnit(whole.unit());
            }
            window->add(row);
        }
    }

    const StatsOptions& options;
    QDateTime start;
    StatisticsCollector whole;
    std::optional<StatisticsCollector> window;
    bool windowUnresolved = false;
    qint64 fromMs = 0;
    qint64 toMs = std::numeric_limits<qint64>::max();
};

QString number(double value) {
    return QString::number(value, 'g', 7);
}

class Report {
public:
    Report(const QDateTime& start, const QString& unit) : start(start), unit(unit) {}

    QString momentText(qint64 ms) const {
        QString text = elapsedText(ms);
        if (start.isValid()) {
            text += start.addMSecs(ms).toString(QStringLiteral(" (yyyy-MM-dd HH:mm:ss.zzz)"));
        }
        return text;
    }

    void print(const QString& title, const RecordingStatistics& s) const {
        printLine(title);
        QString readings = QString::number(s.readings);
        QStringList notes;
        if (s.overrangeReadings > 0) {
            notes << QStringLiteral("%1 overrange").arg(s.overrangeReadings);
        }
        if (s.gapReadings > 0) {
            notes << QStringLiteral("%1 after a gap").arg(s.gapReadings);
        }
        if (s.otherUnitReadings > 0) {
            notes
                << QStringLiteral("%1 in another unit than %2").arg(s.otherUnitReadings).arg(unit);
        }
        if (!notes.isEmpty()) {
            readings += QStringLiteral(" (%1)").arg(notes.join(QStringLiteral(", ")));
        }
        line(QStringLiteral("readings"), readings);
        if (s.readings == 0) {
            return;
        }
        line(QStringLiteral("time span"), QStringLiteral("%1, from %2 to %3")
                                              .arg(elapsedText(s.lastMs - s.firstMs),
                                                   momentText(s.firstMs), momentText(s.lastMs)));
        if (s.values > 0) {
            line(QStringLiteral("minimum"),
                 QStringLiteral("%1 %2 at %3")
                     .arg(number(s.minimum), unit, momentText(s.minimumAtMs)));
            line(QStringLiteral("maximum"),
                 QStringLiteral("%1 %2 at %3")
                     .arg(number(s.maximum), unit, momentText(s.maximumAtMs)));
            line(QStringLiteral("mean"), number(s.mean) + QLatin1Char(' ') + unit);
            line(QStringLiteral("standard deviation"),
                 number(s.standardDeviation) + QLatin1Char(' ') + unit);
        }
        line(QStringLiteral("above the limit"),
             QStringLiteral("%1 excursion%2, %3 in all")
                 .arg(s.excursions)
                 .arg(s.excursions == 1 ? QString() : QStringLiteral("s"))
                 .arg(elapsedText(s.excursionMs)));
    }

    QJsonObject json(const RecordingStatistics& s) const {
        QJsonObject object{
            {QStringLiteral("readings"), static_cast<double>(s.readings)},
            {QStringLiteral("overrangeReadings"), static_cast<double>(s.overrangeReadings)},
            {QStringLiteral("gapReadings"), static_cast<double>(s.gapReadings)},
            {QStringLiteral("otherUnitReadings"), static_cast<double>(s.otherUnitReadings)},
            {QStringLiteral("values"), static_cast<double>(s.values)},
            {QStringLiteral("excursions"), static_cast<double>(s.excursions)},
            {QStringLiteral("excursionMs"), static_cast<double>(s.excursionMs)},
        };
        if (s.readings > 0) {
            object[QStringLiteral("firstMs")] = static_cast<double>(s.firstMs);
            object[QStringLiteral("lastMs")] = static_cast<double>(s.lastMs);
        }
        if (s.values > 0) {
            object[QStringLiteral("minimum")] = extreme(s.minimum, s.minimumAtMs);
            object[QStringLiteral("maximum")] = extreme(s.maximum, s.maximumAtMs);
            object[QStringLiteral("mean")] = s.mean;
            object[QStringLiteral("standardDeviation")] = s.standardDeviation;
        }
        return object;
    }

private:
    static void line(const QString& label, const QString& text) {
        printLine(QStringLiteral("  %1 %2").arg(label + QLatin1Char(':'), -20).arg(text));
    }

    QJsonObject extreme(double value, qint64 ms) const {
        QJsonObject object{{QStringLiteral("value"), value},
                           {QStringLiteral("elapsedMs"), static_cast<double>(ms)}};
        if (start.isValid()) {
            object[QStringLiteral("time")] = isoTimestamp(start.addMSecs(ms));
        }
        return object;
    }

    QDateTime start;
    QString unit;
};

}  // namespace

int runStats(const QStringList& arguments) {
    StatsOptions options;
    QString error;
    if (!parseStatsOptions(arguments, options, error)) {
        printMessage(error + QStringLiteral("\nTry 'zalvo-cli --help'."));
        return exitCode::usage;
    }
    StatsSink sink(options);
    const StreamedRecording loaded = streamRecordingFile(options.file, sink);
    if (loaded.status == StreamedRecording::Status::Refused) {
        printMessage(loaded.message);
        return exitCode::noRecording;
    }
    if (sink.windowUnresolved) {
        printMessage(QStringLiteral("%1 has no start time: --from and --to take elapsed times")
                         .arg(options.file));
        return exitCode::usage;
    }
    const Report report(sink.start, sink.whole.unit());
    const bool partial = loaded.status != StreamedRecording::Status::Complete;
    if (options.json) {
        QJsonObject object{
            {QStringLiteral("file"), options.file},
            {QStringLiteral("complete"), !partial},
            {QStringLiteral("unit"), sink.whole.unit()},
            {QStringLiteral("limitPercent"), options.limitPercent},
            {QStringLiteral("whole"), report.json(sink.whole.result())},
        };
        if (partial) {
            object[QStringLiteral("message")] = loaded.message;
        }
        if (sink.window) {
            QJsonObject window = report.json(sink.window->result());
            window[QStringLiteral("fromMs")] = static_cast<double>(sink.fromMs);
            if (options.to) {
                window[QStringLiteral("toMs")] = static_cast<double>(sink.toMs);
            }
            object[QStringLiteral("window")] = window;
        }
        printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else {
        printLine(QStringLiteral("%1: values in %2, limit %3 % of each reading's range")
                      .arg(options.file, sink.whole.unit(), number(options.limitPercent)));
        report.print(QStringLiteral("Whole recording"), sink.whole.result());
        if (sink.window) {
            const QString end =
                options.to ? report.momentText(sink.toMs) : QStringLiteral("the end");
            report.print(QStringLiteral("From %1 to %2").arg(report.momentText(sink.fromMs), end),
                         sink.window->result());
        }
    }
    if (partial) {
        printMessage(loaded.message);
        return exitCode::partialRead;
    }
    return exitCode::ok;
}
