#include "cli/cli_output.h"

#include <QJsonDocument>
#include <cstdio>

#include "recording/printable_text.h"

void printMessage(const QString& message) {
    const QByteArray text =
        (QStringLiteral("zalvo-cli: ") + message + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(text.constData(), stderr);
    std::fflush(stderr);
}

QString jsonLine(const QJsonObject& object) {
    const QString json = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    QString line;
    line.reserve(json.size());
    for (const QChar c : json) {
        if (isControlCharacter(c)) {
            line += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            line += c;
        }
    }
    return line;
}

void printLine(const QString& line) {
    const QByteArray text = (line + QLatin1Char('\n')).toUtf8();
    std::fputs(text.constData(), stdout);
    std::fflush(stdout);
}
