// Measures what recording one point costs the measuring loop: building and writing its row
// (one write per row), also while the syncer thread keeps the disk busy; and what one sync to
// the disk takes, which the loop no longer waits for.
// Usage: recording_bench [DIRECTORY]  (default: a temporary directory; put it on the disk
// the recordings go to, since the sync cost is the disk's)

#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "recording/recording_writer.h"

namespace {

struct Costs {
    double meanUs = 0;
    double medianUs = 0;
    double p99Us = 0;
    double maxUs = 0;
};

Costs summarise(std::vector<double> samples) {
    Costs costs;
    if (samples.empty()) {
        return costs;
    }
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (const double s : samples) {
        sum += s;
    }
    costs.meanUs = sum / static_cast<double>(samples.size());
    costs.medianUs = samples[samples.size() / 2];
    costs.p99Us = samples[samples.size() * 99 / 100];
    costs.maxUs = samples.back();
    return costs;
}

RecordingHeader benchHeader() {
    RecordingHeader header;
    header.program = QStringLiteral("recording_bench");
    header.deviceType = QStringLiteral("235");
    header.serialNumber = QStringLiteral("12340417");
    header.softwareVersion = QStringLiteral("133");
    header.modeText = QStringLiteral("E-Fieldmeter");
    header.rangeText = QStringLiteral("2kV/m");
    header.rangeSetting = QStringLiteral("auto");
    header.unit = QStringLiteral("kV/m");
    header.samplingTimeMs = 200;
    header.start = QDateTime::currentDateTime();
    return header;
}

// Appends `count` rows as the loop would (time taken per row) and times each append.
std::vector<double> appendRows(RecordingWriter& writer, int count) {
    std::vector<double> costs;
    costs.reserve(static_cast<std::size_t>(count));
    RecordedRow row;
    row.unit = QStringLiteral("kV/m");
    row.rangeText = QStringLiteral("2kV/m");
    row.modeText = QStringLiteral("E-Fieldmeter");
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        row.elapsedMs = i * 200;
        row.time = QDateTime::currentDateTime();
        row.value = 1.234 + (i % 1000) * 0.001;
        writer.append(row);
        costs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    return costs;
}

void report(QTextStream& out, const char* what, const Costs& c) {
    out << what << ": mean " << c.meanUs << " us, median " << c.medianUs << " us, 99% " << c.p99Us
        << " us, max " << c.maxUs << " us\n";
}

// The disk's own cost of one sync after a row, as the syncer thread pays it.
std::vector<double> syncCosts(const QString& directory, int count) {
    std::vector<double> costs;
    QFile file(QDir(directory).filePath(QStringLiteral("sync-probe.csv")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return costs;
    }
    const QByteArray row = recordingRowLine(RecordedRow());
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        file.write(row);
        timer.start();
        ::fdatasync(file.handle());
        costs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    file.remove();
    return costs;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir temporary;
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();

    RecordingWriter plain;
    if (!plain.createIn(directory, benchHeader())) {
        out << plain.errorString() << "\n";
        return 1;
    }
    // The default interval: a run this short sees no more than a sync or two.
    const Costs rowCosts = summarise(appendRows(plain, 20000));
    plain.close();

    RecordingWriter busy;
    if (!busy.createIn(directory, benchHeader())) {
        out << busy.errorString() << "\n";
        return 1;
    }
    // A sync asked for after every row: the disk is never idle while the rows go in.
    busy.setSyncIntervalMs(0);
    const Costs busyCosts = summarise(appendRows(busy, 2000));
    busy.close();

    out << "directory: " << directory << "\n";
    report(out, "row written (20000 rows)", rowCosts);
    report(out, "row written while syncs run (2000 rows)", busyCosts);
    report(out, "one sync to the disk, on the syncer thread (100 syncs)",
           summarise(syncCosts(directory, 100)));
    return 0;
}
