#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

struct mosquitto;

// Waits for `condition`, looking every 20 ms, at most `timeoutMs`; true when it came true.
bool awaitCondition(const std::function<bool()>& condition, int timeoutMs);

// The broker's program (also in /usr/sbin, which a user's PATH may lack); empty when missing.
QString mosquittoProgram();

// A Mosquitto broker of its own on a free loopback port, with a temporary configuration that
// keeps sessions across a restart; stopped when the object goes.
class TestBroker {
public:
    // `user` and `password` not empty: only that user may connect.
    explicit TestBroker(const QString& user = {}, const QString& password = {});
    ~TestBroker();

    bool start();  // false when mosquitto is missing or does not listen
    void stop();
    int port() const { return listenPort; }
    QString url(const QString& userInfo = {}) const;

private:
    QTemporaryDir dir;
    QProcess process;
    int listenPort = 0;
};

// One received message.
struct Received {
    QString topic;
    QByteArray payload;
    qint64 arrivedMs = 0;  // wall clock, ms since the epoch
};

// A subscriber to "site/#" with QoS 1 and a session the broker keeps, so that it misses
// nothing while it reconnects after a broker restart.
class TestSubscriber {
public:
    explicit TestSubscriber(int port);
    ~TestSubscriber();

    // Waits until the subscription stands; false after `timeoutMs`.
    bool awaitSubscribed(int timeoutMs);
    // Waits until `condition` holds for the messages so far; false after `timeoutMs`.
    bool await(const std::function<bool(const std::vector<Received>&)>& condition, int timeoutMs);
    std::vector<Received> messages() const;
    // The seq fields of the readings in arrival order.
    std::vector<qint64> readingSeqs() const;

private:
    static void onConnect(mosquitto* client, void* self, int result);
    static void onSubscribe(mosquitto*, void* self, int, int, const int*);
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);

    mosquitto* client = nullptr;
    mutable std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Received> received;
    bool subscribed = false;
};
