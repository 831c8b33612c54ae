// How fast a long recording opens: writes a recording of 13 million rows (a month at 200 ms)
// with the program's own writer into a temporary folder, loads it with the streaming loader
// into the chart's point store in a fresh process, and reads the same file with Python's csv
// module, in this one run. Prints rows per second of both, their ratio, and the loader's
// peak resident memory. The folder is deleted at the end.
//
// Usage: recording_load_bench [ROWS]          (default 13000000)
//        recording_load_bench --load FILE     (the loading process; prints one line)

#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cmath>
#include <cstdio>

#include "plot/point_store.h"
#include "recording/recording_stream.h"
#include "recording/recording_writer.h"

namespace {

constexpr int samplingMs = 200;

// What the chart does with a loaded row: every row with a value becomes a point.
class PointStoreSink : public RecordingSink {
public:
    std::size_t bytesPerRow() const override { return sizeof(StoredPoint); }
    void row(const StreamedRow& row) override {
        if (!row.overrange && std::isfinite(row.value)) {
            store.append(static_cast<double>(row.elapsedMs), row.value);
        }
    }
    PointStore store;
};

RecordingHeader benchHeader() {
    RecordingHeader header;
    header.program = QStringLiteral("recording_load_bench");
    header.modeText = QStringLiteral("E-Fieldmeter");
    header.rangeText = QStringLiteral("2kV/m");
    header.unit = QStringLiteral("kV/m");
    header.samplingTimeMs = samplingMs;
    header.start = QDateTime(QDate(2026, 11, 9), QTime(8, 0), QTimeZone(3600));
    return header;
}

// A slowly wandering field with the odd overrange and, once a day, a lost instrument.
bool writeRecording(const QString& path, qint64 rows) {
    RecordingWriter writer;
    writer.setSyncIntervalMs(60 * 1000);
    const RecordingHeader header = benchHeader();
    if (!writer.create(path, header)) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
        return false;
    }
    RecordedRow row;
    row.unit = header.unit;
    row.rangeText = header.rangeText;
    row.modeText = header.modeText;
    for (qint64 i = 0; i < rows; ++i) {
        row.elapsedMs = i * samplingMs;
        row.time = header.start.addMSecs(row.elapsedMs + 3);
        row.value = std::round(1500.0 * std::sin(static_cast<double>(i) * 1e-4) +
                               97.0 * std::sin(static_cast<double>(i) * 0.37)) /
                    1000.0;
        row.overrange = i % 10007 == 5;
        row.gap = i % 432000 == 431999;
        if (writer.append(row) != AppendResult::Written) {
            std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
            return false;
        }
    }
    return writer.close();
}

rusage usageNow() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double cpuSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int load(const QString& path) {
    PointStoreSink sink;
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds(usageNow());
    const StreamedRecording loaded = streamRecordingFile(path, sink);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
    const rusage after = usageNow();
    if (loaded.status != StreamedRecording::Status::Complete) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.message));
        return 1;
    }
    // rows, seconds, processor seconds, points, store MB, peak RSS MB
    std::printf("%llu %.3f %.3f %zu %.1f %.1f\n", loaded.rows, seconds,
                cpuSeconds(after) - cpuBefore, sink.store.size(),
                static_cast<double>(sink.store.reservedBytes()) / 1048576.0,
                static_cast<double>(after.ru_maxrss) / 1024.0);
    return 0;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Python's csv module over the same file: the rows only, no number converted.
const char* pythonCsv = R"(import csv, sys, time
start = time.perf_counter()
cpu = time.process_time()
rows = 0
with open(sys.argv[1], newline='') as f:
    for row in csv.reader(f):
        rows += 1
print(rows, time.perf_counter() - start, time.process_time() - cpu))";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 2 && arguments[0] == QLatin1String("--load")) {
        return load(arguments[1]);
    }
    const qint64 rows = arguments.isEmpty() ? 13'000'000 : arguments[0].toLongLong();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("month.csv"));
    QElapsedTimer timer;
    timer.start();
    if (!dir.isValid() || rows <= 0 || !writeRecording(path, rows)) {
        return 1;
    }
    std::printf("written: %lld rows, %.0f MB in %.1f s\n", rows,
                static_cast<double>(QFileInfo(path).size()) / 1e6,
                static_cast<double>(timer.elapsed()) / 1000.0);
    std::fflush(stdout);

    const QStringList loaded = run(app.applicationFilePath(), {"--load", path}).split(' ');
    const QStringList python =
        run(QStringLiteral("python3"), {"-c", QString::fromUtf8(pythonCsv), path}).split(' ');
    if (loaded.size() != 6 || python.size() != 3) {
        std::fprintf(stderr, "a measurement failed\n");
        return 1;
    }
    // Rows per second of wall-clock time and of processor time: on a busy machine the first
    // depends on the neighbours. Python counts the header lines too, a dozen in millions.
    const auto rate = [](const QStringList& figures, int column) {
        return figures[0].toDouble() / figures[column].toDouble() / 1e6;
    };
    std::printf(
        "streaming loader: %s rows, %s s (%s s processor) = %.2f (%.2f) million rows/s; "
        "%s points in the store (%s MB), peak RSS %s MB\n",
        qPrintable(loaded[0]), qPrintable(loaded[1]), qPrintable(loaded[2]), rate(loaded, 1),
        rate(loaded, 2), qPrintable(loaded[3]), qPrintable(loaded[4]), qPrintable(loaded[5]));
    std::printf(
        "python3 csv:      %s lines, %.3f s (%.3f s processor) = %.2f (%.2f) million "
        "rows/s\n",
        qPrintable(python[0]), python[1].toDouble(), python[2].toDouble(), rate(python, 1),
        rate(python, 2));
    std::printf("ratio: the loader is %.1f (%.1f) times as fast\n",
                rate(loaded, 1) / rate(python, 1), rate(loaded, 2) / rate(python, 2));
    return 0;
}
