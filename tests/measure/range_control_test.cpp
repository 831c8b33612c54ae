#include "measure/range_control.h"

#include <gtest/gtest.h>

namespace {

TEST(StartRange, ItemsGiveTheirIndexAndNoSelectionTheAutomaticRange) {
    EXPECT_EQ(startRangeIndex(0), 3);
    EXPECT_EQ(startRangeIndex(3), 0);
    EXPECT_EQ(startRangeIndex(4), 4);
    EXPECT_EQ(startRangeIndex(-1), 4);
    EXPECT_EQ(startRangeIndex(9), 4);
}

TEST(AutoRange, IsSentOnceWhileTheAutomaticRangeStaysSelected) {
    RangeControl control(WindowKind::Display);
    control.start(4);
    EXPECT_TRUE(control.sendAutoRange(4));
    EXPECT_TRUE(control.autoRangeSent());
    EXPECT_FALSE(control.sendAutoRange(4));
    EXPECT_FALSE(control.sendAutoRange(4));
    // Leaving the automatic range clears the mark, so returning sends it again.
    EXPECT_FALSE(control.sendAutoRange(2));
    EXPECT_FALSE(control.autoRangeSent());
    EXPECT_TRUE(control.sendAutoRange(4));
}

TEST(AutoRange, StartClearsTheSentMark) {
    RangeControl control(WindowKind::Chart);
    control.start(4);
    EXPECT_TRUE(control.sendAutoRange(4));
    control.start(4);
    EXPECT_FALSE(control.autoRangeSent());
    EXPECT_TRUE(control.sendAutoRange(4));
}

TEST(ForcedRange, OnlyWhenTheInstrumentLeftTheSelectedRangeWithoutOverrange) {
    RangeControl control(WindowKind::Chart);
    control.start(2);
    EXPECT_FALSE(control.sendAutoRange(2));
    EXPECT_TRUE(control.forceRange(2, 1, 0));
    EXPECT_FALSE(control.forceRange(2, 2, 0));
    EXPECT_FALSE(control.forceRange(2, 1, 1));

    control.start(4);
    ASSERT_TRUE(control.sendAutoRange(4));
    EXPECT_FALSE(control.forceRange(4, 0, 0));
}

TEST(ForcedRange, DisplayAdoptsTheInstrumentRangeChartKeepsForcingAfterAPause) {
    RangeControl display(WindowKind::Display);
    EXPECT_EQ(display.pauseBeforeRereadMs(), 0);
    EXPECT_EQ(display.rangeAfterForcing(3, 1), 1);

    RangeControl chart(WindowKind::Chart);
    EXPECT_EQ(chart.pauseBeforeRereadMs(), 100);
    EXPECT_EQ(chart.rangeAfterForcing(3, 1), 3);
    chart.start(3);
    EXPECT_TRUE(chart.forceRange(chart.rangeAfterForcing(3, 1), 1, 0));
}

TEST(RangeSelection, DisplaySendsAClickedRangeOnce) {
    RangeControl control(WindowKind::Display);
    control.start(3);
    EXPECT_FALSE(control.rangeSelectionChanged(3));
    EXPECT_TRUE(control.rangeSelectionChanged(1));
    EXPECT_FALSE(control.rangeSelectionChanged(1));
    EXPECT_TRUE(control.rangeSelectionChanged(4));
}

}  // namespace
