#include "publish/reading_message.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

QByteArray topic(const QString& prefix, const PublishedIdentity& identity, const char* leaf) {
    return (prefix + QLatin1Char('/') + identity.serialNumber + QLatin1Char('/') +
            QLatin1String(leaf))
        .toUtf8();
}

QJsonObject identityObject(const PublishedIdentity& identity) {
    return {{QStringLiteral("serial"), identity.serialNumber},
            {QStringLiteral("device_type"), identity.deviceType}};
}

}  // namespace

QByteArray readingTopic(const QString& prefix, const PublishedIdentity& identity) {
    return topic(prefix, identity, "reading");
}

QByteArray statusTopic(const QString& prefix, const PublishedIdentity& identity) {
    return topic(prefix, identity, "status");
}

QByteArray readingPayload(const PublishedIdentity& identity, qint64 seq, const RecordedRow& row) {
    QJsonObject object = identityObject(identity);
    object.insert(QStringLiteral("recording"), identity.recording);
    object.insert(QStringLiteral("seq"), seq);
    object.insert(QStringLiteral("elapsed_ms"), row.elapsedMs);
    object.insert(QStringLiteral("time"), isoTimestamp(row.time));
    const bool hasValue = !row.overrange && std::isfinite(row.value);
    object.insert(QStringLiteral("value"),
                  hasValue ? QJsonValue(recordedNumber(row.value).toDouble()) : QJsonValue());
    object.insert(QStringLiteral("unit"), row.unit);
    object.insert(QStringLiteral("range"), row.rangeText);
    object.insert(QStringLiteral("mode"), row.modeText);
    object.insert(QStringLiteral("overrange"), row.overrange);
    object.insert(QStringLiteral("gap"), row.gap);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray statusPayload(const PublishedIdentity& identity, bool online) {
    QJsonObject object = identityObject(identity);
    object.insert(QStringLiteral("software_version"), identity.softwareVersion);
    object.insert(QStringLiteral("recording"), identity.recording);
    object.insert(QStringLiteral("state"),
                  online ? QStringLiteral("online") : QStringLiteral("offline"));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
