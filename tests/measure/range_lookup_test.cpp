#include "measure/range_lookup.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <climits>
#include <cmath>

#include "locale_scope.h"

namespace {

RangeTables filledTables() {
    RangeTables tables;
    tables.fillRangeTables();
    return tables;
}

struct LookupCase {
    int deviceType;
    char letter;
    int index;
    const char* rangeText;
    double factor;
    const char* modeText;
    int decimals;
};

// All 28 entries of the seven range tables, each reached through a mode letter of its own
// table, plus the lookup rows that share a table with another letter and an empty entry 4.
const LookupCase lookupCases[] = {
    {115, 'F', 0, "250kV/m", 0.125, "E-Fieldmeter", 0},
    {115, 'F', 1, "50kV/m", 0.025, "E-Fieldmeter", 1},
    {115, 'F', 2, "25kV/m", 0.0125, "E-Fieldmeter", 1},
    {115, 'F', 3, "5kV/m", 0.0025, "E-Fieldmeter", 2},
    {115, 'V', 0, "2500V", 1.25, "Voltmeter Pelvar11", 0},
    {115, 'V', 1, "500V", 0.25, "Voltmeter Pelvar11", 0},
    {115, 'V', 2, "250V", 0.125, "Voltmeter Pelvar11", 1},
    {115, 'V', 3, "50V", 0.025, "Voltmeter Pelvar11", 1},
    {235, 'F', 0, "200kV/m", 0.1, "E-Fieldmeter", 0},
    {235, 'F', 1, "40kV/m", 0.02, "E-Fieldmeter", 1},
    {235, 'F', 2, "10kV/m", 0.005, "E-Fieldmeter", 1},
    {235, 'F', 3, "2kV/m", 0.001, "E-Fieldmeter", 2},
    {235, 'V', 0, "2kV", 0.001, "Voltmeter Pelvar 1", 2},
    {235, 'V', 1, "400V", 0.2, "Voltmeter Pelvar 1", 0},
    {235, 'V', 2, "100V", 0.05, "Voltmeter Pelvar 1", 0},
    {235, 'V', 3, "20V", 0.01, "Voltmeter Pelvar 1", 1},
    {235, '4', 0, "40kV", 0.02, "Voltmeter Dranth 40", 1},
    {235, '4', 1, "8kV", 0.004, "Voltmeter Dranth 40", 2},
    {235, '4', 2, "2kV", 0.001, "Voltmeter Dranth 40", 2},
    {235, '4', 3, "400V", 0.2, "Voltmeter Dranth 40", 0},
    {255, 'F', 0, "20kV/m", 0.01, "E-Fieldmeter", 1},
    {255, 'F', 1, "4kV/m", 0.002, "E-Fieldmeter", 2},
    {255, 'F', 2, "1kV/m", 0.0005, "E-Fieldmeter", 2},
    {255, 'F', 3, "200V/m", 0.1, "E-Fieldmeter", 0},
    {255, 'V', 0, "200V", 0.1, "Voltmeter Pelvar1", 0},
    {255, 'V', 1, "40V", 0.02, "Voltmeter Pelvar1", 1},
    {255, 'V', 2, "10V", 0.005, "Voltmeter Pelvar1", 1},
    {255, 'V', 3, "2V", 0.001, "Voltmeter Pelvar1", 2},
    {115, 'M', 0, "2500V", 1.0, "Voltmeter dist.", 0},
    {235, 'M', 0, "2kV", 1.0, "Voltmeter dist.", 2},
    {255, 'M', 3, "2V", 1.0, "Voltmeter dist.", 2},
    {255, 'V', 4, "", 0.0, "Voltmeter Pelvar1", 0},
};

TEST(LookupRange, AnswersEveryRowWithItsTableEntryAndModeText) {
    const RangeTables tables = filledTables();
    for (const LookupCase& c : lookupCases) {
        SCOPED_TRACE(testing::Message() << c.deviceType << " '" << c.letter << "' " << c.index);
        QString rangeText = "old";
        double factor = -1.0;
        QString modeText = "old";
        int decimals = -1;
        EXPECT_EQ(lookupRange(tables, c.deviceType, c.letter, c.index, rangeText, factor, modeText,
                              decimals),
                  0);
        EXPECT_EQ(rangeText, QString(c.rangeText));
        EXPECT_DOUBLE_EQ(factor, c.factor);
        EXPECT_EQ(modeText, QString(c.modeText));
        EXPECT_EQ(decimals, c.decimals);
    }
}

TEST(LookupRange, FactorTimesFullScaleCountsGivesTheRangeNumber) {
    const RangeTables tables = filledTables();
    for (int deviceType : {115, 235, 255}) {
        for (char letter : {'F', 'V', '4'}) {
            for (int index = 0; index < 4; ++index) {
                QString rangeText;
                double factor = 0.0;
                QString modeText;
                int decimals = 0;
                lookupRange(tables, deviceType, letter, index, rangeText, factor, modeText,
                            decimals);
                if (rangeText.isEmpty()) {
                    continue;
                }
                double number = 0.0;
                QString unit;
                ASSERT_TRUE(splitRangeText(rangeText, number, unit)) << rangeText.toStdString();
                EXPECT_DOUBLE_EQ(factor * 2000.0, number) << rangeText.toStdString();
            }
        }
    }
}

TEST(LookupRange, LeavesOutputsUntouchedWhenNoRowApplies) {
    const RangeTables tables = filledTables();
    const struct {
        int deviceType;
        char letter;
    } noRow[] = {{255, '4'}, {115, '4'}, {115, 'C'}, {235, 'E'}, {999, 'F'}, {0, 'M'}};
    for (const auto& c : noRow) {
        QString rangeText = "keep";
        double factor = 7.5;
        QString modeText = "keep too";
        int decimals = 3;
        EXPECT_EQ(
            lookupRange(tables, c.deviceType, c.letter, 1, rangeText, factor, modeText, decimals),
            0);
        EXPECT_EQ(rangeText, "keep");
        EXPECT_EQ(factor, 7.5);
        EXPECT_EQ(modeText, "keep too");
        EXPECT_EQ(decimals, 3);
    }
}

TEST(LookupRange, IndexOutsideTheTablesGivesTheEmptyAutomaticEntry) {
    const RangeTables tables = filledTables();
    for (int index : {-1, 5, 0x77, INT_MAX, INT_MIN}) {
        QString rangeText = "old";
        double factor = 9.0;
        QString modeText;
        int decimals = 9;
        lookupRange(tables, 235, 'F', index, rangeText, factor, modeText, decimals);
        EXPECT_TRUE(rangeText.isEmpty()) << index;
        EXPECT_EQ(factor, 0.0) << index;
        EXPECT_EQ(modeText, "E-Fieldmeter");
        EXPECT_EQ(decimals, 0) << index;
    }
}

using SplitRangeText = SeparatorTest;
INSTANTIATE_FOR_BOTH_SEPARATORS(SplitRangeText);

TEST_P(SplitRangeText, SeparatesNumberAndUnitOfEveryTableText) {
    const struct {
        const char* text;
        double number;
        const char* unit;
    } cases[] = {
        {"5kV/m", 5, "kV/m"},   {"200V/m", 200, "V/m"}, {"2500V", 2500, "V"},
        {"2kV", 2, "kV"},       {"1250V", 1250, "V"},   {" 20 kV/m ", 20, "kV/m"},
        {"\t8KV\r\n", 8, "KV"}, {"40 kv", 40, "kv"},    {"75000V", 75000, "V"},
    };
    for (const auto& c : cases) {
        double number = -1.0;
        QString unit;
        ASSERT_TRUE(splitRangeText(c.text, number, unit)) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
        EXPECT_EQ(unit, QString(c.unit)) << c.text;
    }
}

TEST_P(SplitRangeText, ReadsTheNumberWithTheLocaleSeparator) {
    double number = 0.0;
    QString unit;
    ASSERT_TRUE(splitRangeText(local("2.5kV"), number, unit));
    EXPECT_EQ(number, 2.5);
    EXPECT_EQ(unit, "kV");
}

TEST_P(SplitRangeText, RefusesTextsWithoutANumberBeforeTheUnitAndWritesNothing) {
    const char* refused[] = {"",       "   ",  "250",  "kV/m", "V",      "abcV",
                             "1 2 3V", "--5V", "infV", "nanV", "1e999kV"};
    for (const char* text : refused) {
        double number = 42.0;
        QString unit = "unit";
        EXPECT_FALSE(splitRangeText(text, number, unit)) << text;
        EXPECT_EQ(number, 42.0) << text;
        EXPECT_EQ(unit, "unit") << text;
    }
}

TEST_P(SplitRangeText, RefusesTheOtherSeparatorAndGroupSeparators) {
    const QString other = QLocale().decimalPoint() == "," ? "2.5kV" : "2,5kV";
    const QString grouped = QLocale().decimalPoint() == "," ? "1.250V" : "1,250V";
    double number = 0.0;
    QString unit;
    EXPECT_FALSE(splitRangeText(other, number, unit));
    EXPECT_FALSE(splitRangeText(grouped, number, unit));
}

TEST_P(SplitRangeText, SurvivesRandomTexts) {
    const QString alphabet =
        QString::fromUtf8("0123456789kKvVmM/ .,-+eE\t\r\n\x01\x7f\u00e4\u00df\u20ac\U0001F600");
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random.bounded(12);
        for (int i = 0; i < length; ++i) {
            text += alphabet.at(random.bounded(alphabet.size()));
        }
        double number = 0.0;
        QString unit;
        if (splitRangeText(text, number, unit)) {
            EXPECT_TRUE(std::isfinite(number)) << text.toStdString();
            ASSERT_FALSE(unit.isEmpty()) << text.toStdString();
            EXPECT_TRUE(QString("kKvV").contains(unit.at(0))) << text.toStdString();
        }
    }
}

}  // namespace
