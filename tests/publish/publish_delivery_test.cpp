#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <set>

#include "mqtt_test_bed.h"

namespace {

// The data rows of a recording, split at the commas (the simulator's texts have none).
std::vector<QStringList> rowsOf(const QString& path) {
    QFile file(path);
    std::vector<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    bool inRows = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (inRows && !line.isEmpty()) {
            rows.push_back(line.split(QLatin1Char(',')));
        }
        inRows = inRows || line.startsWith(QLatin1String("elapsed_ms,"));
    }
    return rows;
}

std::vector<QJsonObject> readings(const std::vector<Received>& messages) {
    std::vector<QJsonObject> objects;
    for (const Received& message : messages) {
        if (message.topic.endsWith(QLatin1String("/reading"))) {
            objects.push_back(QJsonDocument::fromJson(message.payload).object());
        }
    }
    return objects;
}

// Each row's first message, in arrival order; the rows must come in order, once each at least.
std::vector<QJsonObject> firstOfEachRow(const std::vector<Received>& messages) {
    std::vector<QJsonObject> first;
    std::set<qint64> seen;
    for (const QJsonObject& reading : readings(messages)) {
        if (seen.insert(reading.value(QStringLiteral("seq")).toInteger()).second) {
            first.push_back(reading);
        }
    }
    return first;
}

std::size_t distinctRows(const std::vector<Received>& messages) {
    return firstOfEachRow(messages).size();
}

// The messages say what the file says, row by row, and seq counts the rows from 1.
void expectMessagesEqualRows(const std::vector<QJsonObject>& messages,
                             const std::vector<QStringList>& rows) {
    ASSERT_EQ(messages.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QJsonObject& m = messages[i];
        const QStringList& row = rows[i];
        SCOPED_TRACE(row.join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(m.value("seq").toInteger(), static_cast<qint64>(i + 1));
        EXPECT_EQ(m.value("serial").toString(), "42");
        EXPECT_EQ(m.value("device_type").toString(), "235");
        EXPECT_EQ(QString::number(m.value("elapsed_ms").toInteger()), row[0]);
        EXPECT_EQ(m.value("time").toString(), row[1]);
        EXPECT_EQ(m.value("value").isNull(), row[2].isEmpty());
        EXPECT_DOUBLE_EQ(m.value("value").toDouble(), row[2].toDouble());
        EXPECT_EQ(m.value("unit").toString(), row[3]);
        EXPECT_EQ(m.value("range").toString(), row[4]);
        EXPECT_EQ(m.value("mode").toString(), row[5]);
        EXPECT_EQ(m.value("overrange").toBool(), row[6] == "1");
        EXPECT_EQ(m.value("gap").toBool(), row[7] == "1");
    }
}

QString statusState(const Received& message) {
    return QJsonDocument::fromJson(message.payload).object().value("state").toString();
}

class PublishToBroker : public ::testing::Test {
protected:
    void SetUp() override { startBed(); }

    void startBed(const QString& user = {}, const QString& password = {}) {
        if (mosquittoProgram().isEmpty()) {
            GTEST_SKIP() << "the broker mosquitto (package mosquitto) is not installed";
        }
        broker = std::make_unique<TestBroker>(user, password);
        ASSERT_TRUE(broker->start()) << "mosquitto did not start";
        if (user.isEmpty()) {
            subscriber = std::make_unique<TestSubscriber>(broker->port());
            ASSERT_TRUE(subscriber->awaitSubscribed(5000));
        }
    }

    std::unique_ptr<QProcess> startLogger(const QStringList& arguments,
                                          const QStringList& environment = {}) {
        auto logger = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir.path());
        for (const QString& entry : environment) {
            env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        }
        logger->setProcessEnvironment(env);
        logger->start(ZALVO_CLI_PATH,
                      QStringList{"log", "--simulate=235", "--serial", "42", "--interval", "200"} +
                          arguments);
        EXPECT_TRUE(logger->waitForStarted(5000));
        return logger;
    }

    bool awaitRows(const std::function<bool(const std::vector<Received>&)>& condition) {
        return subscriber->await(condition, 15000);
    }

    QTemporaryDir dir;
    std::unique_ptr<TestBroker> broker;
    std::unique_ptr<TestSubscriber> subscriber;
};

TEST_F(PublishToBroker, EveryRowArrivesAsTheRecordingHasItWithStatusOnlineThenOffline) {
    const QString file = dir.filePath("a.csv");
    auto logger = startLogger({"--samples", "8", "--output", file, "--publish", broker->url()});
    ASSERT_TRUE(logger->waitForFinished(20000));
    EXPECT_EQ(logger->exitCode(), 0) << logger->readAllStandardError().toStdString();
    ASSERT_TRUE(awaitRows([](const auto& messages) {
        return !messages.empty() && statusState(messages.back()) == "offline";
    }));

    const std::vector<Received> messages = subscriber->messages();
    expectMessagesEqualRows(readings(messages), rowsOf(file));
    EXPECT_EQ(messages.front().topic, "site/42/status");
    EXPECT_EQ(statusState(messages.front()), "online");
    EXPECT_EQ(readings(messages).front().value("recording").toString(), "a.csv");
    QFile count(file + ".published");
    ASSERT_TRUE(count.open(QIODevice::ReadOnly));
    EXPECT_EQ(count.readAll(), "8\n");
}

TEST_F(PublishToBroker, BrokerStoppedMidRunThenEveryRowArrivesInOrder) {
    const QString file = dir.filePath("b.csv");
    auto logger = startLogger({"--samples", "30", "--output", file, "--publish", broker->url()});
    ASSERT_TRUE(awaitRows([](const auto& messages) { return distinctRows(messages) >= 5; }));
    broker->stop();
    const std::size_t rowsBefore = rowsOf(file).size();
    // Several seconds without a broker while the recording goes on.
    ASSERT_TRUE(awaitCondition([&] { return rowsOf(file).size() >= rowsBefore + 10; }, 10000));
    ASSERT_TRUE(broker->start());
    ASSERT_TRUE(logger->waitForFinished(30000));
    EXPECT_EQ(logger->exitCode(), 0);
    const QString errors = QString::fromUtf8(logger->readAllStandardError());
    EXPECT_EQ(errors.count("lost the connection to the MQTT broker"), 1) << errors.toStdString();

    ASSERT_TRUE(awaitRows([](const auto& messages) { return distinctRows(messages) >= 30; }))
        << distinctRows(subscriber->messages()) << " rows arrived";
    expectMessagesEqualRows(firstOfEachRow(subscriber->messages()), rowsOf(file));
}

TEST_F(PublishToBroker, KilledLoggerResumedOnItsRecordingSendsTheRest) {
    const QString file = dir.filePath("c.csv");
    auto first = startLogger({"--samples", "1000", "--output", file, "--publish", broker->url()});
    ASSERT_TRUE(awaitRows([](const auto& messages) { return distinctRows(messages) >= 5; }));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(5000));
    // The broker's last will says the logger is gone.
    ASSERT_TRUE(
        awaitRows([](const auto& messages) { return statusState(messages.back()) == "offline"; }));

    auto second = startLogger({"--samples", "5", "--resume", file, "--publish", broker->url()});
    ASSERT_TRUE(second->waitForFinished(20000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    const std::vector<QStringList> rows = rowsOf(file);
    ASSERT_TRUE(
        awaitRows([&](const auto& messages) { return distinctRows(messages) >= rows.size(); }));
    expectMessagesEqualRows(firstOfEachRow(subscriber->messages()), rows);
    // The rows of the second run follow the first's, the first of them marked as a gap.
    const std::size_t firstRun = rows.size() - 5;
    EXPECT_EQ(rows[firstRun][7], "1");
    EXPECT_GT(rows[firstRun][0].toLongLong(), rows[firstRun - 1][0].toLongLong());
}

class PublishWithCredentials : public PublishToBroker {
protected:
    void SetUp() override { startBed("meter", "right"); }
};

TEST_F(PublishWithCredentials, WrongPasswordIsSaidOnceAndTheRecordingIsComplete) {
    const QString file = dir.filePath("d.csv");
    auto logger =
        startLogger({"--samples", "12", "--output", file, "--publish", broker->url("meter")},
                    {"ZALVO_MQTT_PASSWORD=wrong"});
    ASSERT_TRUE(logger->waitForFinished(20000));
    EXPECT_EQ(logger->exitCode(), 0);
    const QString errors = QString::fromUtf8(logger->readAllStandardError());
    EXPECT_EQ(errors.count("refuses the connection"), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("check the user name and password")) << errors.toStdString();
    EXPECT_EQ(rowsOf(file).size(), 12u);
}

}  // namespace
