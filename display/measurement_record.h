#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The thirteen texts of one CSV record, in column order. The measuring loop keeps the
// columns of the shown values up to date; Save Data fills in identity, date, time and comment.
struct MeasurementRecord {
    QString recDeviceType;
    QString recSerialNumber;
    QString recDate;
    QString recTime;
    QString recSwVersion;
    QString recMode;
    QString recRange;
    QString recDistance;
    QString recValue;
    QString recNegExtreme;
    QString recPosExtreme;
    QString recUnit;
    QString recComment;
};

// Column names a new record file starts with, for the maximum and the minimum depiction.
QString recordHeaderMax();
QString recordHeaderMin();

// The fields joined by ";" as they are, without quoting: a ";" in a field adds a column.
QString recordLineText(const MeasurementRecord& record);

// One line of the file: the text in the system's code page, ended by CR LF.
QByteArray recordFileLine(const QString& text);

// Today's date in the locale's short date format.
QString recordDateText(const QDate& date, const QLocale& locale);

// The time in the locale's long time format, hours, minutes and seconds, without the time
// zone that Qt's long format carries.
QString recordTimeText(const QTime& time, const QLocale& locale);

// A Qt time format with its time-zone field ("t") removed, together with the blank or the
// brackets that only served it; quoted literal text stays.
QString timeFormatWithoutZone(const QString& format);
