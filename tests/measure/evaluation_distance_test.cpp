#include <gtest/gtest.h>

#include <limits>

#include "evaluation_fixture.h"

namespace {

using DistanceRule = EvaluationTest;
INSTANTIATE_FOR_BOTH_SEPARATORS(DistanceRule);

TEST_P(DistanceRule, FullScaleComesFromTheWindowsRangeItems) {
    selectMode(115, 'M', 20);
    display_.reset(0);
    const EvaluationResult r = run(display_, 1000, 2);
    ASSERT_TRUE(r.usable);
    EXPECT_DOUBLE_EQ(r.displayValue, 250.0);
    EXPECT_EQ(r.valueText, local("250.0"));  // the decimals of the table entry "250V"
    EXPECT_EQ(r.rangeText, "500V");
    EXPECT_EQ(r.recRange, "500V");
    EXPECT_EQ(r.unitText, "V");
    EXPECT_EQ(r.modeText, "Voltmeter dist.");
    EXPECT_EQ(r.caption, "Measured value  Range = 500V   Mode = Voltmeter dist. 20mm");
    EXPECT_EQ(display_.fullScale(), 250.0);  // the display keeps the table's full scale

    selectMode(115, 'M', 5);
    const EvaluationResult near = run(display_, 1000, 2);
    EXPECT_DOUBLE_EQ(near.displayValue, 62.5);
    EXPECT_EQ(near.valueText, local("62.5"));
    EXPECT_EQ(near.rangeText, "125V");
}

TEST_P(DistanceRule, LargestRangeKeepsItsOwnUnit) {
    selectMode(235, 'M', 5);
    const EvaluationResult r = run(chart_, 1000, 0);
    ASSERT_TRUE(r.usable);
    EXPECT_EQ(r.rangeText, "1kV");
    EXPECT_EQ(r.unitText, "kV");
    EXPECT_DOUBLE_EQ(r.displayValue, 0.0005 * 1 * 1000);
    EXPECT_EQ(r.valueText, local("0.50"));
    EXPECT_EQ(r.caption, "Range = 1kV   Mode = Voltmeter dist. 5mm");

    selectMode(115, 'M', 5);
    EXPECT_EQ(run(chart_, 2000, 0).rangeText, "1250V");
}

TEST_P(DistanceRule, ChartScalesItsAxisToTheDistanceRange) {
    selectMode(115, 'M', 20);
    const EvaluationResult r = run(chart_, 1000, 2);
    EXPECT_EQ(r.fullScale, 500.0);
    EXPECT_TRUE(r.plotPoint);
}

TEST_P(DistanceRule, LimitBandDoesNotGrowWithTheDistance) {
    selectMode(115, 'M', 300);  // range 2 shows "7500V"; its table entry is "250V"
    input_.displayDepiction = 1;
    input_.limit = 50;
    display_.reset(1);
    const EvaluationResult inside = run(display_, 10, 2);  // 37.5 V
    EXPECT_EQ(display_.posLimit(), 125.0);
    EXPECT_EQ(inside.posCaption, "Pos. minimum " + local("125.0") + "V");
    EXPECT_TRUE(inside.alarm);
    EXPECT_FALSE(run(display_, 40, 2).alarm);  // 150 V, 2 % of 7500 V
}

TEST_P(DistanceRule, UnreadableRangeItemMakesTheCycleUnusable) {
    selectMode(115, 'M', 20);
    input_.rangeItems = QStringList({"100V", "xV"});
    EXPECT_FALSE(run(display_, 1000, 2).usable);
    EXPECT_FALSE(run(display_, 1000, 0).usable);  // no item 3 at all
    input_.rangeItems.clear();
    EXPECT_FALSE(run(display_, 1000, 3).usable);
}

using UnusableCycle = EvaluationTest;
INSTANTIATE_FOR_BOTH_SEPARATORS(UnusableCycle);

TEST_P(UnusableCycle, AutomaticOrRawRangeIndexIsSkippedWithoutTouchingTheState) {
    selectMode(255, 'V');
    display_.reset(0);
    run(display_, 1000, 1);  // 20 V
    for (int rangeIndex : {4, 0x77, -3}) {
        const EvaluationResult r = run(display_, -2000, rangeIndex);
        EXPECT_FALSE(r.usable) << rangeIndex;
        EXPECT_TRUE(r.valueText.isEmpty());
        EXPECT_FALSE(r.writeNegExtreme);
        EXPECT_FALSE(r.writeCaption);
        EXPECT_FALSE(r.plotPoint);
    }
    EXPECT_EQ(display_.negMax(), 0.0);
    EXPECT_EQ(display_.posMax(), 20.0);
    EXPECT_EQ(display_.fullScale(), 40.0);
}

TEST_P(UnusableCycle, ModeWithoutRangeDataBeforeAnyUsableCycle) {
    selectMode(235, 'C');
    const EvaluationResult r = run(chart_, 1000, 1);
    EXPECT_FALSE(r.usable);
    EXPECT_FALSE(r.plotPoint);
    EXPECT_FALSE(run(chart_, 1000, 1, 1).plotPoint);
    EXPECT_TRUE(run(chart_, 1000, 1, 1).stopRecording);  // an overrange still ends recording
}

TEST_P(UnusableCycle, ModeWithoutRowKeepsTheLastUsableRangeDataOfTheRun) {
    selectMode(235, 'V');
    run(chart_, 1000, 1);                    // "400V", factor 0.2
    EXPECT_FALSE(run(chart_, 5, 4).usable);  // does not replace the range data
    selectMode(235, 'C');
    const EvaluationResult r = run(chart_, 1500, 3);
    ASSERT_TRUE(r.usable);
    EXPECT_EQ(r.rangeText, "400V");
    EXPECT_DOUBLE_EQ(r.displayValue, 300.0);
    EXPECT_EQ(r.modeText, "Voltmeter Pelvar 1");

    chart_.beginRun();
    EXPECT_FALSE(run(chart_, 1500, 3).usable);
}

TEST_P(UnusableCycle, NonFiniteReadingIsNotFormatted) {
    selectMode(115, 'F');
    EXPECT_FALSE(run(display_, std::numeric_limits<double>::infinity(), 3).usable);
    EXPECT_FALSE(run(display_, std::numeric_limits<double>::quiet_NaN(), 3).usable);
}

}  // namespace
