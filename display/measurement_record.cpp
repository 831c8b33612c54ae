#include "display/measurement_record.h"

#include <QStringList>

namespace {

const QString headerStart = QStringLiteral(
    "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;Measured value;");
const QString headerEnd = QStringLiteral(";Unit;Comment");

bool isBlank(QChar c) {
    return c.isSpace();
}

void dropTrailingBlanks(QString& text) {
    while (!text.isEmpty() && isBlank(text.back())) {
        text.chop(1);
    }
}

}  // namespace

QString recordHeaderMax() {
    return headerStart + QStringLiteral("Neg. max.;Pos. max.") + headerEnd;
}

QString recordHeaderMin() {
    return headerStart + QStringLiteral("Neg. min.;Pos. min.") + headerEnd;
}

QString recordLineText(const MeasurementRecord& record) {
    return QStringList{record.recDeviceType, record.recSerialNumber, record.recDate,
                       record.recTime,       record.recSwVersion,    record.recMode,
                       record.recRange,      record.recDistance,     record.recValue,
                       record.recNegExtreme, record.recPosExtreme,   record.recUnit,
                       record.recComment}
        .join(QLatin1Char(';'));
}

QByteArray recordFileLine(const QString& text) {
    return text.toLocal8Bit() + QByteArrayLiteral("\r\n");
}

QString recordDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString recordTimeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString timeFormatWithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    bool zoneRemoved = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
            continue;
        }
        if (quoted || c != QLatin1Char('t')) {
            // The blank that separated the zone from what follows it goes with the zone.
            if (zoneRemoved && result.isEmpty() && isBlank(c)) {
                continue;
            }
            result += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t')) {
            ++i;
        }
        dropTrailingBlanks(result);
        zoneRemoved = true;
        // "(t)" leaves nothing to bracket.
        if (result.endsWith(QLatin1Char('(')) && i + 1 < format.size() &&
            format.at(i + 1) == QLatin1Char(')')) {
            result.chop(1);
            dropTrailingBlanks(result);
            ++i;
        }
    }
    return result.trimmed();
}
