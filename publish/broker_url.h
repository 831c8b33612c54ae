#pragma once

#include <QString>

// Where readings are published: mqtt://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX, or mqtts:// for
// TLS. User and password may be percent-encoded.
struct BrokerUrl {
    bool tls = false;
    QString user;
    QString password;  // empty: none
    QString host;
    int port = 1883;
    QString prefix;  // topic levels before "<serial>/reading"
};

// What is wrong with a --publish URL; each has its own message.
enum class BrokerUrlProblem { none, malformed, unknownScheme, portOutOfRange };

BrokerUrlProblem parseBrokerUrl(const QString& text, BrokerUrl& url, QString& error);
