#include <gtest/gtest.h>

#include "display/measurement_record.h"
#include "tests/measure/locale_scope.h"

namespace {

MeasurementRecord exampleRecord() {
    MeasurementRecord record;
    record.recDeviceType = "Zalvo 115";
    record.recSerialNumber = "12340417";
    record.recDate = "3/7/24";
    record.recTime = "2:03:05 PM";
    record.recSwVersion = "133";
    record.recMode = "E-Fieldmeter";
    record.recRange = "5kV/m";
    record.recValue = "2.50";
    record.recNegExtreme = "-1.20";
    record.recPosExtreme = "3.10";
    record.recUnit = "kV/m";
    record.recComment = "Test";
    return record;
}

}  // namespace

TEST(MeasurementRecord, HeadersNameTheThirteenColumnsOfEachDepiction) {
    EXPECT_EQ(recordHeaderMax(),
              "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;"
              "Measured value;Neg. max.;Pos. max.;Unit;Comment");
    EXPECT_EQ(recordHeaderMin(),
              "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;"
              "Measured value;Neg. min.;Pos. min.;Unit;Comment");
}

TEST(MeasurementRecord, LineJoinsTheFieldsInColumnOrderEndedByCrLf) {
    EXPECT_EQ(recordFileLine(recordLineText(exampleRecord())),
              "Zalvo 115;12340417;3/7/24;2:03:05 PM;133;"
              "E-Fieldmeter;5kV/m;;2.50;-1.20;3.10;kV/m;Test\r\n");
    EXPECT_EQ(recordLineText(MeasurementRecord()), QString(12, QLatin1Char(';')));
}

TEST(MeasurementRecord, NothingIsQuotedOrEscaped) {
    MeasurementRecord record = exampleRecord();
    record.recComment = "one;two \"three\"";
    record.recValue = "OVR    ";
    const QString line = recordLineText(record);
    EXPECT_EQ(line.split(';').size(), 14);
    EXPECT_TRUE(line.endsWith(";OVR    ;-1.20;3.10;kV/m;one;two \"three\""));
}

TEST(MeasurementRecord, LineIsWrittenInTheSystemsEncoding) {
    EXPECT_EQ(recordFileLine(QString::fromUtf8("Prüfung µ")),
              QString::fromUtf8("Prüfung µ").toLocal8Bit() + "\r\n");
}

TEST(MeasurementRecord, TimeFormatLosesOnlyTheTimeZone) {
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss t"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("h:mm:ss AP t"), "h:mm:ss AP");
    EXPECT_EQ(timeFormatWithoutZone("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("H:mm:ss (t)"), "H:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("tttt HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("H:mm:ss 'ч'. t"), "H:mm:ss 'ч'.");
    EXPECT_EQ(timeFormatWithoutZone("'at' HH:mm:ss"), "'at' HH:mm:ss");
    EXPECT_EQ(timeFormatWithoutZone("HH:mm:ss"), "HH:mm:ss");
}

TEST(MeasurementRecord, DateAndTimeFollowTheRegionalSettings) {
    const QTime afternoon(14, 3, 5);
    EXPECT_EQ(recordTimeText(afternoon, QLocale::c()), "14:03:05");
    EXPECT_EQ(recordTimeText(afternoon, pointLocale), "2:03:05 PM");
    EXPECT_EQ(recordTimeText(afternoon, commaLocale), "14:03:05");
    EXPECT_EQ(recordTimeText(afternoon, QLocale(QLocale::Chinese, QLocale::China)), "14:03:05");
    EXPECT_EQ(recordTimeText(QTime(9, 0, 0), commaLocale), "09:00:00");

    const QDate date(2024, 3, 7);
    EXPECT_EQ(recordDateText(date, pointLocale), "3/7/24");
    EXPECT_EQ(recordDateText(date, commaLocale), "07.03.24");
}
