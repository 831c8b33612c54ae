#include "measure/range_items.h"

#include <gtest/gtest.h>

#include "locale_scope.h"
#include "measure/device_modes.h"
#include "measure/range_lookup.h"

namespace {

RangeTables filledTables() {
    RangeTables tables;
    tables.fillRangeTables();
    return tables;
}

using RangeItems = SeparatorTest;
INSTANTIATE_FOR_BOTH_SEPARATORS(RangeItems);

TEST_P(RangeItems, ListTheSmallestRangeFirst) {
    const RangeTables tables = filledTables();
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Chart, 115, 'F', 1),
              QStringList({"5kV/m", "25kV/m", "50kV/m", "250kV/m"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 115, 'V', 1),
              QStringList({"50V", "250V", "500V", "2500V"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Chart, 235, '4', 1),
              QStringList({"400V", "2kV", "8kV", "40kV"}));
}

TEST_P(RangeItems, OnlyTheDisplayOffersAutorangeForHandHeldTypesOutsideDistanceMode) {
    const RangeTables tables = filledTables();
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 235, 'F', 1),
              QStringList({"2kV/m", "10kV/m", "40kV/m", "200kV/m", "Autorange"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 255, 'V', 1),
              QStringList({"2V", "10V", "40V", "200V", "Autorange"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Chart, 235, 'F', 1),
              QStringList({"2kV/m", "10kV/m", "40kV/m", "200kV/m"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 235, 'M', 5),
              QStringList({"10V", "50V", "200V", "1kV"}));
    EXPECT_FALSE(rangeItemTexts(tables, WindowKind::Display, 115, 'F', 1).contains("Autorange"));
}

TEST_P(RangeItems, LetterWithoutTableLeavesOnlyAutorangeOrNothing) {
    const RangeTables tables = filledTables();
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 235, 'C', 1), QStringList({"Autorange"}));
    EXPECT_EQ(rangeItemTexts(tables, WindowKind::Display, 255, '4', 1), QStringList({"Autorange"}));
    EXPECT_TRUE(rangeItemTexts(tables, WindowKind::Display, 115, 'E', 1).isEmpty());
    EXPECT_TRUE(rangeItemTexts(tables, WindowKind::Chart, 235, 'C', 1).isEmpty());
    EXPECT_TRUE(rangeItemTexts(tables, WindowKind::Display, 999, 'F', 1).isEmpty());
}

TEST_P(RangeItems, DistanceTextsScaleTheTenMillimetreRanges) {
    const RangeTables tables = filledTables();
    EXPECT_EQ(distanceRangeTexts(tables, 115, 5), QStringList({"25V", "125V", "250V", "1250V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 115, 10), QStringList({"50V", "250V", "500V", "2500V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 115, 20), QStringList({"100V", "500V", "1000V", "5000V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 115, 300),
              QStringList({"1500V", "7500V", "15000V", "75000V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 235, 5), QStringList({"10V", "50V", "200V", "1kV"}));
    EXPECT_EQ(distanceRangeTexts(tables, 235, 10), QStringList({"20V", "100V", "400V", "2kV"}));
    EXPECT_EQ(distanceRangeTexts(tables, 235, 20), QStringList({"40V", "200V", "800V", "4kV"}));
    EXPECT_EQ(distanceRangeTexts(tables, 235, 300),
              QStringList({"600V", "3000V", "12000V", "60kV"}));
    EXPECT_EQ(distanceRangeTexts(tables, 255, 5), QStringList({"1V", "5V", "20V", "100V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 255, 10), QStringList({"2V", "10V", "40V", "200V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 255, 20), QStringList({"4V", "20V", "80V", "400V"}));
    EXPECT_EQ(distanceRangeTexts(tables, 255, 300), QStringList({"60V", "300V", "1200V", "6000V"}));
    EXPECT_TRUE(distanceRangeTexts(tables, 999, 10).isEmpty());
}

TEST_P(RangeItems, DistanceTextsTruncateLikeTheIntegerQuotient) {
    const RangeTables tables = filledTables();
    for (int deviceType : {115, 235, 255}) {
        const int table = *rangeTableOf(deviceType, 'M');
        for (int distance = 5; distance <= 300; ++distance) {
            const QStringList items = distanceRangeTexts(tables, deviceType, distance);
            ASSERT_EQ(items.size(), 4);
            for (int item = 0; item < 4; ++item) {
                double number = 0.0;
                QString unit;
                ASSERT_TRUE(splitRangeText(tables.rangeTexts[table][3 - item], number, unit));
                const long long expected = distance * static_cast<long long>(number) / 10;
                EXPECT_EQ(items[item], QString::number(expected) + unit)
                    << deviceType << " at " << distance << " mm";
            }
        }
    }
    EXPECT_EQ(distanceRangeTexts(tables, 235, 7).last(), "1kV");
    EXPECT_EQ(distanceRangeTexts(tables, 255, 9).first(), "1V");
    EXPECT_EQ(distanceRangeTexts(tables, 255, 14).first(), "2V");
}

TEST(RangeItemSelection, DisplaySelectsTheSmallestRangeChartTheCurrentOne) {
    EXPECT_EQ(rangeItemToSelect(WindowKind::Display, 1), 0);
    EXPECT_EQ(rangeItemToSelect(WindowKind::Display, 4), 0);
    EXPECT_EQ(rangeItemToSelect(WindowKind::Chart, 0), 3);
    EXPECT_EQ(rangeItemToSelect(WindowKind::Chart, 3), 0);
    EXPECT_EQ(rangeItemToSelect(WindowKind::Chart, 4), -1);
}

TEST(RangeItemSelection, ItemClickGivesTheRangeIndex) {
    EXPECT_EQ(currentRangeOfItem(0, 1), 3);
    EXPECT_EQ(currentRangeOfItem(3, 1), 0);
    EXPECT_EQ(currentRangeOfItem(4, 1), 4);
    EXPECT_EQ(currentRangeOfItem(-1, 2), 2);
    EXPECT_EQ(currentRangeOfItem(5, 2), 2);
}

}  // namespace
