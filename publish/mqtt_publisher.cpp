#include "publish/mqtt_publisher.h"

#include <mosquitto.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "publish/acknowledged_rows.h"
#include "recording/recording_stream.h"

namespace {

constexpr int keepAliveSeconds = 30;
constexpr int loopWaitMs = 1000;
constexpr int maximumRetrySeconds = 30;
constexpr int keepCountEveryMs = 1000;

void initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString errorText(int result) {
    if (result == MOSQ_ERR_ERRNO) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return QString::fromUtf8(mosquitto_strerror(result));
}

}  // namespace

MqttPublisher::MqttPublisher(PublisherSettings settings, Report report)
    : settings(std::move(settings)), report(std::move(report)) {
    initialiseLibrary();
}

MqttPublisher::~MqttPublisher() {
    stop(0);
}

void MqttPublisher::start(qint64 rowsInFile, qint64 acknowledgedBefore) {
    written = rowsInFile;
    acknowledged = std::min(acknowledgedBefore, rowsInFile);
    countKept = acknowledged;
    worker = std::thread([this] { run(); });
}

qint64 MqttPublisher::acknowledgedRows() const {
    std::lock_guard<std::mutex> lock(mutex);
    return acknowledged;
}

void MqttPublisher::rowWritten(qint64 seq, const RecordedRow& row) {
    std::lock_guard<std::mutex> lock(mutex);
    written = seq;
    // Behind, the network thread reads the row from the file in its turn.
    if (connected && caughtUp && sent == seq - 1) {
        publishLocked(seq, row);
    }
}

void MqttPublisher::stop(int graceMs) {
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!worker.joinable()) {
            return;
        }
        finishing = true;
        // Without a connection nothing comes; the rows wait in the file for the next run.
        wake.wait_for(lock, std::chrono::milliseconds(graceMs),
                      [this] { return acknowledged >= written || !connected; });
        stopping = true;
    }
    wake.notify_all();
    worker.join();
    keepCount(true);
}

void MqttPublisher::publishLocked(qint64 seq, const RecordedRow& row) {
    const QByteArray topic = readingTopic(settings.url.prefix, settings.identity);
    const QByteArray payload = readingPayload(settings.identity, seq, row);
    int mid = 0;
    if (mosquitto_publish(client, &mid, topic.constData(), static_cast<int>(payload.size()),
                          payload.constData(), 1, false) == MOSQ_ERR_SUCCESS) {
        inFlight.emplace(mid, seq);
        sent = seq;
    }
}

void MqttPublisher::onConnect(mosquitto*, void* self, int result) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard<std::mutex> lock(publisher->mutex);
    publisher->connackResult = result;
}

void MqttPublisher::onDisconnect(mosquitto*, void* self, int) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard<std::mutex> lock(publisher->mutex);
    publisher->connected = false;
    publisher->wake.notify_all();
}

void MqttPublisher::onPublish(mosquitto*, void* self, int mid) {
    auto* publisher = static_cast<MqttPublisher*>(self);
    std::lock_guard<std::mutex> lock(publisher->mutex);
    const auto found = publisher->inFlight.find(mid);
    if (found == publisher->inFlight.end()) {
        return;
    }
    const qint64 seq = found->second;
    publisher->inFlight.erase(found);
    if (seq > publisher->acknowledged) {
        publisher->acknowledgedAhead.insert(seq);
    }
    auto& ahead = publisher->acknowledgedAhead;
    while (!ahead.empty() && *ahead.begin() <= publisher->acknowledged + 1) {
        publisher->acknowledged = std::max(publisher->acknowledged, *ahead.begin());
        ahead.erase(ahead.begin());
    }
    publisher->wake.notify_all();
}

void MqttPublisher::problem(const QString& text) {
    if (text != reportedProblem) {
        reportedProblem = text;
        report(text + QStringLiteral("; the recording goes on and the rows follow later"));
    }
}

void MqttPublisher::waitBeforeRetry() {
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait_for(lock, std::chrono::seconds(retrySeconds), [this] { return stopping; });
    retrySeconds = std::min(retrySeconds * 2, maximumRetrySeconds);
}

// A fresh client, connected and acknowledged by the broker; false on any failure, reported.
bool MqttPublisher::connectOnce() {
    const BrokerUrl& url = settings.url;
    const QString where = QStringLiteral("%1:%2").arg(url.host).arg(url.port);
    const QByteArray clientId = "zalvo-" + settings.identity.serialNumber.toUtf8();
    mosquitto* fresh = mosquitto_new(clientId.constData(), true, this);
    if (!fresh) {
        problem(QStringLiteral("cannot make an MQTT client"));
        return false;
    }
    mosquitto_threaded_set(fresh, true);
    mosquitto_connect_callback_set(fresh, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(fresh, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(fresh, &MqttPublisher::onPublish);
    const QByteArray statusTopicName = statusTopic(url.prefix, settings.identity);
    const QByteArray offline = statusPayload(settings.identity, false);
    mosquitto_will_set(fresh, statusTopicName.constData(), static_cast<int>(offline.size()),
                       offline.constData(), 1, true);
    if (!url.user.isEmpty()) {
        mosquitto_username_pw_set(
            fresh, url.user.toUtf8().constData(),
            url.password.isEmpty() ? nullptr : url.password.toUtf8().constData());
    }
    int result = MOSQ_ERR_SUCCESS;
    if (url.tls) {
        result = mosquitto_tls_set(fresh, QFile::encodeName(settings.caFile).constData(), nullptr,
                                   nullptr, nullptr, nullptr);
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        client = fresh;
        connackResult = -1;
    }
    if (result == MOSQ_ERR_SUCCESS) {
        result = mosquitto_connect_async(fresh, url.host.toUtf8().constData(), url.port,
                                         keepAliveSeconds);
    }
    while (result == MOSQ_ERR_SUCCESS) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping || connackResult >= 0) {
                break;
            }
        }
        result = mosquitto_loop(fresh, loopWaitMs, 1);
    }
    std::lock_guard<std::mutex> lock(mutex);
    // A refusal may come with the loop's error for the closed connection; it says more.
    if (connackResult > 0) {
        const bool credentials = connackResult == 4 || connackResult == 5;
        problem(QStringLiteral("the MQTT broker at %1 refuses the connection: %2%3")
                    .arg(where, QString::fromUtf8(mosquitto_connack_string(connackResult)),
                         credentials ? QStringLiteral(" (check the user name and password)")
                                     : QString()));
        return false;
    }
    if (result != MOSQ_ERR_SUCCESS) {
        problem(
            QStringLiteral("cannot reach the MQTT broker at %1: %2").arg(where, errorText(result)));
        return false;
    }
    if (connackResult < 0) {
        return false;  // stopping
    }
    connected = true;
    caughtUp = false;
    sent = acknowledged;
    inFlight.clear();
    acknowledgedAhead.clear();
    if (!reportedProblem.isEmpty()) {
        report(QStringLiteral("connected to the MQTT broker at %1 again").arg(where));
        reportedProblem.clear();
    }
    retrySeconds = 1;
    const QByteArray online = statusPayload(settings.identity, true);
    mosquitto_publish(client, nullptr, statusTopicName.constData(), static_cast<int>(online.size()),
                      online.constData(), 1, true);
    return true;
}

// One pass over the file: sends the rows after `sent` up to the writer's last. Once every
// written row is sent, rowWritten sends each new row as it comes.
void MqttPublisher::catchUp() {
    qint64 from = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (sent >= written) {
            caughtUp = true;
            return;
        }
        from = sent + 1;
    }
    QFile file(settings.recordingPath);
    if (!file.open(QIODevice::ReadOnly)) {
        problem(QStringLiteral("cannot read %1 to send its rows: %2")
                    .arg(settings.recordingPath, file.errorString()));
        return;
    }
    qint64 seq = 0;
    scanRecordingRows(file, settings.recordingPath, [&](const RecordedRow& row) {
        std::lock_guard<std::mutex> lock(mutex);
        // A failed publish leaves `sent` behind; the rest waits for the next pass.
        if (++seq == sent + 1 && seq >= from && seq <= written) {
            publishLocked(seq, row);
        }
    });
}

void MqttPublisher::keepCount(bool now) {
    qint64 count = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        count = acknowledged;
    }
    const auto clock = std::chrono::steady_clock::now();
    if (count == countKept ||
        (!now && clock - countKeptAt < std::chrono::milliseconds(keepCountEveryMs))) {
        return;
    }
    QString error;
    if (writeAcknowledgedRows(settings.recordingPath, count, error)) {
        countKept = count;
        countKeptAt = clock;
        countProblemReported = false;
    } else if (!countProblemReported) {
        report(error + QStringLiteral("; the old count stays, so more rows go again"));
        countProblemReported = true;
    }
}

void MqttPublisher::serve() {
    while (true) {
        bool behind = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!connected || stopping) {
                return;
            }
            behind = !caughtUp;
        }
        if (behind) {
            catchUp();
        }
        const int result = mosquitto_loop(client, loopWaitMs, 1);
        keepCount(false);
        if (result != MOSQ_ERR_SUCCESS) {
            problem(QStringLiteral("lost the connection to the MQTT broker at %1:%2: %3")
                        .arg(settings.url.host)
                        .arg(settings.url.port)
                        .arg(errorText(result)));
            return;
        }
    }
}

void MqttPublisher::dropConnection() {
    mosquitto* old = nullptr;
    bool wasConnected = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        old = client;
        client = nullptr;
        wasConnected = connected;
        connected = false;
        caughtUp = false;
    }
    wake.notify_all();
    if (old) {
        if (wasConnected && stopping) {
            // A clean goodbye: "offline" by hand, since the broker keeps the will for a loss.
            const QByteArray topic = statusTopic(settings.url.prefix, settings.identity);
            const QByteArray offline = statusPayload(settings.identity, false);
            mosquitto_publish(old, nullptr, topic.constData(), static_cast<int>(offline.size()),
                              offline.constData(), 1, true);
            mosquitto_disconnect(old);
            mosquitto_loop(old, 100, 1);
        }
        mosquitto_destroy(old);
    }
    keepCount(true);
}

void MqttPublisher::run() {
    while (true) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping) {
                break;
            }
        }
        if (connectOnce()) {
            serve();
        }
        dropConnection();
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping) {
                break;
            }
        }
        waitBeforeRetry();
    }
}
