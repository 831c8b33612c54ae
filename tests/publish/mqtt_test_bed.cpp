#include "mqtt_test_bed.h"

#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>
#include <chrono>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof(address);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

bool awaitCondition(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

QString mosquittoProgram() {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    return found.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                                            {QStringLiteral("/usr/sbin")})
                           : found;
}

TestBroker::TestBroker(const QString& user, const QString& password) : listenPort(freePort()) {
    // Started as root, mosquitto would become the user "mosquitto", who may not enter the
    // temporary directory; it stays the user running the test.
    const passwd* account = ::getpwuid(::getuid());
    QString config = QStringLiteral(
                         "listener %1 127.0.0.1\nuser %2\npersistence true\n"
                         "persistence_location %3/\nautosave_interval 1\n"
                         "max_queued_messages 100000\n")
                         .arg(listenPort)
                         .arg(QString::fromLocal8Bit(account ? account->pw_name : "root"))
                         .arg(dir.path());
    if (user.isEmpty()) {
        config += QStringLiteral("allow_anonymous true\n");
    } else {
        const QString passwords = dir.filePath(QStringLiteral("passwords"));
        QFile(passwords).open(QIODevice::WriteOnly);
        QProcess::execute(QStringLiteral("mosquitto_passwd"),
                          {QStringLiteral("-b"), passwords, user, password});
        config += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(passwords);
    }
    QFile file(dir.filePath(QStringLiteral("mosquitto.conf")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(config.toUtf8());
    }
}

TestBroker::~TestBroker() {
    stop();
}

bool TestBroker::start() {
    // Its log goes to its directory, not into the test output.
    process.setStandardOutputFile(dir.filePath(QStringLiteral("mosquitto.log")), QIODevice::Append);
    process.setStandardErrorFile(dir.filePath(QStringLiteral("mosquitto.log")), QIODevice::Append);
    process.start(mosquittoProgram(),
                  {QStringLiteral("-c"), dir.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process.waitForStarted(5000)) {
        return false;
    }
    return awaitCondition([this] { return listening(listenPort); }, 5000);
}

void TestBroker::stop() {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

QString TestBroker::url(const QString& userInfo) const {
    const QString user = userInfo.isEmpty() ? QString() : userInfo + QLatin1Char('@');
    return QStringLiteral("mqtt://") + user + QStringLiteral("127.0.0.1:") +
           QString::number(listenPort) + QStringLiteral("/site");
}

TestSubscriber::TestSubscriber(int port) {
    mosquitto_lib_init();
    const QByteArray id = "zalvo-test-" + QByteArray::number(::getpid());
    client = mosquitto_new(id.constData(), false, this);
    mosquitto_connect_callback_set(client, &TestSubscriber::onConnect);
    mosquitto_message_callback_set(client, &TestSubscriber::onMessage);
    mosquitto_subscribe_callback_set(client, &TestSubscriber::onSubscribe);
    mosquitto_reconnect_delay_set(client, 1, 1, false);
    mosquitto_connect(client, "127.0.0.1", port, 30);
    mosquitto_loop_start(client);
}

TestSubscriber::~TestSubscriber() {
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, false);
    mosquitto_destroy(client);
}

void TestSubscriber::onConnect(mosquitto* client, void*, int result) {
    if (result == 0) {
        mosquitto_subscribe(client, nullptr, "site/#", 1);
    }
}

void TestSubscriber::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* subscriber = static_cast<TestSubscriber*>(self);
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    subscriber->subscribed = true;
    subscriber->arrived.notify_all();
}

bool TestSubscriber::awaitSubscribed(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex);
    return arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return subscribed; });
}

void TestSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<TestSubscriber*>(self);
    std::lock_guard<std::mutex> lock(subscriber->mutex);
    subscriber->received.push_back(
        {QString::fromUtf8(message->topic),
         QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
         QDateTime::currentMSecsSinceEpoch()});
    subscriber->arrived.notify_all();
}

bool TestSubscriber::await(const std::function<bool(const std::vector<Received>&)>& condition,
                           int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex);
    return arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return condition(received); });
}

std::vector<Received> TestSubscriber::messages() const {
    std::lock_guard<std::mutex> lock(mutex);
    return received;
}

std::vector<qint64> TestSubscriber::readingSeqs() const {
    std::vector<qint64> seqs;
    for (const Received& message : messages()) {
        if (message.topic.endsWith(QLatin1String("/reading"))) {
            seqs.push_back(QJsonDocument::fromJson(message.payload)
                               .object()
                               .value(QStringLiteral("seq"))
                               .toInteger());
        }
    }
    return seqs;
}
