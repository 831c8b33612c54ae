#include "publish/broker_url.h"

#include <QUrl>

namespace {

constexpr int defaultPort = 1883;
constexpr int defaultTlsPort = 8883;

BrokerUrlProblem malformed(const QString& text, const QString& why, QString& error) {
    error = QStringLiteral(
                "'%1' is no broker URL mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/PREFIX: "
                "%2")
                .arg(text, why);
    return BrokerUrlProblem::malformed;
}

// Topic levels without wildcards and without empty levels.
bool validPrefix(const QString& prefix) {
    if (prefix.isEmpty() || prefix.contains(QLatin1Char('+')) ||
        prefix.contains(QLatin1Char('#'))) {
        return false;
    }
    for (const QString& level : prefix.split(QLatin1Char('/'))) {
        if (level.isEmpty()) {
            return false;
        }
    }
    return true;
}

}  // namespace

BrokerUrlProblem parseBrokerUrl(const QString& text, BrokerUrl& url, QString& error) {
    const qsizetype schemeEnd = text.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0) {
        return malformed(text, QStringLiteral("no scheme"), error);
    }
    const QString scheme = text.left(schemeEnd);
    if (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) {
        error = QStringLiteral("unknown scheme '%1' in the broker URL; mqtt or mqtts").arg(scheme);
        return BrokerUrlProblem::unknownScheme;
    }
    url = BrokerUrl();
    url.tls = scheme == QLatin1String("mqtts");
    const QString rest = text.mid(schemeEnd + 3);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        return malformed(text, QStringLiteral("no topic prefix after the host"), error);
    }
    url.prefix = rest.mid(slash + 1);
    if (!validPrefix(url.prefix)) {
        return malformed(text,
                         QStringLiteral("the topic prefix needs levels without '+', '#' or "
                                        "empty ones"),
                         error);
    }
    QString authority = rest.left(slash);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        url.user = QUrl::fromPercentEncoding(userInfo.left(colon).toUtf8());
        if (colon >= 0) {
            url.password = QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8());
        }
        if (url.user.isEmpty()) {
            return malformed(text, QStringLiteral("an empty user name"), error);
        }
    }
    // "[v6 address]:port" or "host:port".
    qsizetype portColon = -1;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return malformed(text, QStringLiteral("'[' without ']'"), error);
        }
        url.host = authority.mid(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != QLatin1Char(':')) {
                return malformed(text, QStringLiteral("text after ']'"), error);
            }
            portColon = close + 1;
        }
    } else {
        portColon = authority.indexOf(QLatin1Char(':'));
        url.host = authority.left(portColon);
    }
    if (url.host.isEmpty()) {
        return malformed(text, QStringLiteral("no host"), error);
    }
    url.port = url.tls ? defaultTlsPort : defaultPort;
    if (portColon >= 0) {
        const QString port = authority.mid(portColon + 1);
        bool ok = !port.isEmpty();
        for (const QChar c : port) {
            ok = ok && c.isDigit();
        }
        if (!ok) {
            return malformed(text, QStringLiteral("the port '%1' is no number").arg(port), error);
        }
        const qlonglong number = port.left(9).toLongLong();
        if (port.size() > 9 || number < 1 || number > 65535) {
            error = QStringLiteral("the broker port %1 is out of range (1 to 65535)").arg(port);
            return BrokerUrlProblem::portOutOfRange;
        }
        url.port = static_cast<int>(number);
    }
    return BrokerUrlProblem::none;
}
