// Many simulated loggers publishing to one local Mosquitto broker, with a subscriber counting
// what arrives: messages per second, processor time per logger, rows lost (optionally across a
// broker restart), and two latencies: from the row's write to the recording (seen through
// inotify; the logger publishes right after it) to its arrival, and from the reading's time
// stamp (taken before the instrument is read) to its arrival.
// Usage: publish_bench [LOGGERS=50] [SECONDS=60] [RESTART_AT_S=0 (no restart)] [DOWN_S=3]
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "mqtt_test_bed.h"

namespace {

// Processor seconds (user and system) a process has used so far.
double processorSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

qint64 rowsIn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    qint64 rows = 0;
    bool inRows = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        rows += inRows ? 1 : 0;
        inRows = inRows || line.startsWith("elapsed_ms,");
    }
    return rows;
}

// When each write to a recording in a directory happened: the first is its header, the n-th
// after it row n (each goes in one write).
class WriteWatch {
public:
    explicit WriteWatch(const QString& directory) : fd(inotify_init1(IN_CLOEXEC)) {
        inotify_add_watch(fd, QFile::encodeName(directory).constData(), IN_MODIFY);
        reader = std::thread([this] { run(); });
    }
    ~WriteWatch() {
        stopping = true;
        reader.join();
        ::close(fd);
    }
    // Wall clock ms of the row's write; 0 when unseen.
    qint64 rowWrittenMs(const QString& file, qint64 seq) {
        std::lock_guard<std::mutex> lock(mutex);
        const std::vector<qint64>& times = writes[file];
        return seq < static_cast<qint64>(times.size()) ? times[seq] : 0;
    }

private:
    void run() {
        alignas(inotify_event) char buffer[64 * 1024];
        while (!stopping) {
            pollfd wait{fd, POLLIN, 0};
            if (::poll(&wait, 1, 200) <= 0) {
                continue;
            }
            const ssize_t length = ::read(fd, buffer, sizeof(buffer));
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            std::lock_guard<std::mutex> lock(mutex);
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && QByteArray(event->name).endsWith(".csv")) {
                    writes[QString::fromLocal8Bit(event->name)].push_back(now);
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    int fd;
    std::atomic<bool> stopping{false};
    std::thread reader;
    std::mutex mutex;
    std::map<QString, std::vector<qint64>> writes;
};

double percentile(std::vector<qint64> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return static_cast<double>(values[index]);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int loggers = argc > 1 ? std::atoi(argv[1]) : 50;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const int restartAt = argc > 3 ? std::atoi(argv[3]) : 0;
    const int downSeconds = argc > 4 ? std::atoi(argv[4]) : 3;

    TestBroker broker;
    if (!broker.start()) {
        std::fprintf(stderr, "mosquitto does not start\n");
        return 1;
    }
    TestSubscriber subscriber(broker.port());
    subscriber.awaitSubscribed(5000);
    QTemporaryDir dir;
    WriteWatch watch(dir.path());
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < loggers; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(dir.filePath(QStringLiteral("%1.err").arg(i)));
        process->start(ZALVO_CLI_PATH,
                       {"log", "--simulate=235", "--serial", QString::number(10000000 + i),
                        "--interval", "200", "--duration", QString::number(seconds), "--output",
                        dir.filePath(QStringLiteral("%1.csv").arg(i)), "--publish", broker.url()});
        processes.push_back(std::move(process));
    }
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    if (restartAt > 0) {
        QThread::sleep(static_cast<unsigned long>(restartAt));
        broker.stop();
        QThread::sleep(static_cast<unsigned long>(downSeconds));
        broker.start();
    }
    // Processor time shortly before the loggers end.
    const qint64 sampleAtMs = startMs + (seconds - 1) * 1000LL;
    QThread::msleep(static_cast<unsigned long>(
        std::max<qint64>(0, sampleAtMs - QDateTime::currentMSecsSinceEpoch())));
    std::vector<double> processor;
    const double runSeconds = (QDateTime::currentMSecsSinceEpoch() - startMs) / 1000.0;
    for (const auto& process : processes) {
        processor.push_back(processorSeconds(process->processId()) / runSeconds * 100.0);
    }
    for (const auto& process : processes) {
        process->waitForFinished(60000);
    }
    qint64 rows = 0;
    for (int i = 0; i < loggers; ++i) {
        rows += rowsIn(dir.filePath(QStringLiteral("%1.csv").arg(i)));
    }
    const auto distinct = [](const std::vector<Received>& messages) {
        std::set<std::pair<QString, qint64>> seen;
        for (const Received& message : messages) {
            if (message.topic.endsWith(QLatin1String("/reading"))) {
                const QJsonObject object = QJsonDocument::fromJson(message.payload).object();
                seen.insert({object.value("serial").toString(), object.value("seq").toInteger()});
            }
        }
        return static_cast<qint64>(seen.size());
    };
    subscriber.await([&](const auto& messages) { return distinct(messages) >= rows; }, 60000);

    const std::vector<Received> messages = subscriber.messages();
    std::set<std::pair<QString, qint64>> seen;
    std::vector<qint64> latencies;
    std::vector<qint64> publishLatencies;
    qint64 readings = 0;
    for (const Received& message : messages) {
        if (!message.topic.endsWith(QLatin1String("/reading"))) {
            continue;
        }
        ++readings;
        const QJsonObject object = QJsonDocument::fromJson(message.payload).object();
        if (seen.insert({object.value("serial").toString(), object.value("seq").toInteger()})
                .second) {
            const QDateTime time =
                QDateTime::fromString(object.value("time").toString(), Qt::ISODateWithMs);
            latencies.push_back(message.arrivedMs - time.toMSecsSinceEpoch());
            const qint64 written = watch.rowWrittenMs(object.value("recording").toString(),
                                                      object.value("seq").toInteger());
            if (written > 0) {
                publishLatencies.push_back(message.arrivedMs - written);
            }
        }
    }
    // Rows the broker acknowledged to the loggers, as they kept the count.
    qint64 acknowledged = 0;
    for (int i = 0; i < loggers; ++i) {
        QFile count(dir.filePath(QStringLiteral("%1.csv.published").arg(i)));
        if (count.open(QIODevice::ReadOnly)) {
            acknowledged += count.readAll().trimmed().toLongLong();
        }
    }
    std::sort(processor.begin(), processor.end());
    double processorSum = 0.0;
    for (double share : processor) {
        processorSum += share;
    }
    std::printf("loggers %d, %d s, interval 200 ms%s\n", loggers, seconds,
                restartAt > 0 ? ", broker restarted" : "");
    std::printf(
        "rows recorded %lld, messages received %lld (%.1f/s), rows lost %lld, "
        "duplicates %lld, acknowledged by the broker %lld\n",
        static_cast<long long>(rows), static_cast<long long>(readings),
        readings / static_cast<double>(seconds),
        static_cast<long long>(rows - static_cast<qint64>(seen.size())),
        static_cast<long long>(readings - static_cast<qint64>(seen.size())),
        static_cast<long long>(acknowledged));
    std::printf("processor per logger: mean %.2f %%, max %.2f %% of a core\n",
                processorSum / std::max<std::size_t>(1, processor.size()),
                processor.empty() ? 0.0 : processor.back());
    std::printf(
        "row written and published to arrival: median %.0f ms, p99 %.0f ms, max %.0f ms "
        "(%zu rows seen written)\n",
        percentile(publishLatencies, 0.5), percentile(publishLatencies, 0.99),
        percentile(publishLatencies, 1.0), publishLatencies.size());
    std::printf("reading time stamp to arrival: median %.0f ms, p99 %.0f ms, max %.0f ms\n",
                percentile(latencies, 0.5), percentile(latencies, 0.99),
                percentile(latencies, 1.0));
    return rows == static_cast<qint64>(seen.size()) ? 0 : 1;
}
