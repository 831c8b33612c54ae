#pragma once

#include <QString>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "publish/broker_url.h"
#include "publish/reading_message.h"
#include "recording/recording_file.h"

struct mosquitto;

struct PublisherSettings {
    BrokerUrl url;
    QString caFile;         // mqtts: the certificate authorities to trust
    QString recordingPath;  // the record of truth; rows to send again are read from it
    PublishedIdentity identity;
};

// Publishes each row of one recording with QoS 1, at least once and in order. The rows go
// from the writer straight to the broker while the connection keeps up; after a connection
// is made (again) every row the broker has not acknowledged is read back from the recording
// file and sent first. The acknowledged count is kept beside the recording.
//
// The network runs on a thread of its own, which blocks in libmosquitto's socket wait. Its
// own reconnection (mosquitto_loop_start / loop_forever) is not used: it would send again
// the messages it holds in memory, while here the file decides what is sent and in which
// order. Each connection is a fresh client; a lost one is retried with a growing pause.
class MqttPublisher {
public:
    using Report = std::function<void(const QString& message)>;

    // `report` gets each broker problem once (and the recovery), from the network thread.
    MqttPublisher(PublisherSettings settings, Report report);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Starts with `rowsInFile` rows in the recording, of which `acknowledged` reached the
    // broker before.
    void start(qint64 rowsInFile, qint64 acknowledged);
    // Row number `seq` (1 the first) was written to the recording.
    void rowWritten(qint64 seq, const RecordedRow& row);
    // Waits up to `graceMs` for the broker to acknowledge what was written (not at all while
    // there is no connection), keeps the count, says "offline" and disconnects.
    void stop(int graceMs);

    qint64 acknowledgedRows() const;

private:
    void run();
    bool connectOnce();
    void catchUp();
    void serve();
    void dropConnection();
    void publishLocked(qint64 seq, const RecordedRow& row);
    void keepCount(bool now);
    void problem(const QString& text);
    void waitBeforeRetry();

    static void onConnect(mosquitto*, void* self, int result);
    static void onDisconnect(mosquitto*, void* self, int result);
    static void onPublish(mosquitto*, void* self, int mid);

    PublisherSettings settings;
    Report report;
    std::thread worker;

    mutable std::mutex mutex;
    std::condition_variable wake;
    mosquitto* client = nullptr;
    bool stopping = false;
    bool finishing = false;
    int connackResult = -1;  // -1 while waiting for the broker's answer
    bool connected = false;
    bool caughtUp = false;
    qint64 written = 0;              // rows in the recording
    qint64 sent = 0;                 // rows handed to the client on this connection
    qint64 acknowledged = 0;         // rows 1..acknowledged the broker has
    std::map<int, qint64> inFlight;  // message id -> row
    std::set<qint64> acknowledgedAhead;

    qint64 countKept = -1;
    std::chrono::steady_clock::time_point countKeptAt;
    QString reportedProblem;
    bool countProblemReported = false;
    int retrySeconds = 1;
};
