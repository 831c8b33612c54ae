#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

#include "chart_window_fixture.h"
#include "measure/device_modes.h"
#include "ui/no_range_warning.h"

using ChartPreparation115 = ChartWindowTest<115>;
using ChartPreparation235 = ChartWindowTest<235>;
using ChartPreparation255 = ChartWindowTest<255>;
using ChartPreparation100 = ChartWindowTest<100>;

TEST_F(ChartPreparation115, PutsTheProbeOnItsSmallestRangeWithoutTouchingItsMode) {
    identify();
    main->Button_Start_ChartClick();

    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x40, 0x40}));
    EXPECT_EQ(readsOf(reg::mode), 0);
    EXPECT_TRUE(writesTo(reg::mode).empty());

    EXPECT_EQ(chart->RadioGroup_Mode->items(), modeItems(115));
    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 0);
    EXPECT_EQ(chart->RadioGroup_Mode->items().at(0), "E-Fieldmeter");
    EXPECT_EQ(chart->RadioGroup_Range->items(),
              (QStringList{"5kV/m", "25kV/m", "50kV/m", "250kV/m"}));
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 0);
    EXPECT_EQ(main->currentRange, 3);
    EXPECT_EQ(chart->modeLetter, 'F');

    EXPECT_EQ(chart->windowTitle(), "Chart Zalvo 115");
    EXPECT_EQ(chart->Chart1->title(), "Zalvo 115");
    EXPECT_EQ(chart->GroupBoxMeasuredVal->title(), "Measured value ");
    EXPECT_EQ(chart->LabelSamplingTimeVal->text(), "??");
    EXPECT_EQ(chart->Label_measuredValue->text(), "0,0");
    EXPECT_EQ(chart->Label_neg_Value->text(), "0,0");
    EXPECT_EQ(chart->Label_pos_Value->text(), "0,0");
    EXPECT_FALSE(chart->Label_Low_Batterie_C->isVisibleTo(chart.get()));

    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(main->isEnabled());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_TRUE(chart->isEnabled());
}

TEST_F(ChartPreparation255, TakesTheInstrumentsModeAndRange) {
    sim.setModeCode(0);
    sim.setReportedRange(0x10);
    prepare();

    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 0);
    EXPECT_EQ(chart->RadioGroup_Range->items(),
              (QStringList{"200V/m", "1kV/m", "4kV/m", "20kV/m"}));
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 3);
    EXPECT_EQ(chart->RadioGroup_Range->items().at(3), "20kV/m");
    EXPECT_EQ(main->currentRange, 0);
    EXPECT_EQ(chart->Label_unit->text(), "kV/m");
    EXPECT_EQ(chart->windowTitle(), "Chart Zalvo 255");
}

TEST_F(ChartPreparation235, VoltmeterOnAMiddleRangeSelectsItsItems) {
    sim.setModeCode(1);
    sim.setReportedRange(0x20);
    identify();
    main->Button_Start_ChartClick();

    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 1);
    EXPECT_EQ(chart->modeLetter, 'V');
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"20V", "100V", "400V", "2kV"}));
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 2);
    EXPECT_EQ(main->currentRange, 1);
    EXPECT_EQ(chart->Label_unit->text(), "V");
    EXPECT_EQ(chart->Label_minValUnit->text(), "V");
    // The mode handler runs for the selection and sends the instrument's own mode.
    EXPECT_EQ(writesTo(reg::mode), (std::vector<int>{1, 1}));
    // Nothing but the mode is sent: the range stays where the instrument has it.
    EXPECT_TRUE(writesTo(reg::range).empty());
}

TEST_F(ChartPreparation235, RepeatedPreparationRebuildsTheWindowButKeepsTheBars) {
    prepare();
    chart->ScrollBar_SamplingTime->setValue(1000);
    chart->ScrollBar_distance_Ch->setValue(50);
    dialogs.queueOkCancel(OperatorDialogs::Answer::Cancel);
    recordUntilBreakAt(3);
    ASSERT_GT(chart->Chart1->pointCount(), 0u);
    chart->BitBtn_BackClick();

    sim.setModeCode(2);
    main->Button_Start_ChartClick();
    EXPECT_EQ(chart->Chart1->pointCount(), 0u);
    EXPECT_EQ(chart->Label_neg_Value->text(), "0,0");
    EXPECT_EQ(chart->LabelSamplingTimeVal->text(), "??");
    EXPECT_EQ(chart->RadioGroup_Mode->items(), modeItems(235));
    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 2);
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"400V", "2kV", "8kV", "40kV"}));
    EXPECT_EQ(chart->ScrollBar_SamplingTime->value(), 1000);
    EXPECT_EQ(chart->ScrollBar_distance_Ch->value(), 50);
    EXPECT_TRUE(chart->ScrollBar_SamplingTime->isEnabled());
    EXPECT_TRUE(chart->RadioGroup_Mode->isEnabled());
}

// The chart has no automatic item: 3 - 4 selects beyond the last item, that is the largest
// range, whose click and the items' rebuilding turn it into the smallest.
TEST_F(ChartPreparation235, AutomaticRangingEndsOnTheSmallestRangeWhichStartSends) {
    sim.setModeCode(0);
    sim.setReportedRange(0x50);
    prepare();
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 0);
    EXPECT_EQ(main->currentRange, 3);

    sim.setReportedRange(std::nullopt);
    sim.setValues({1000});
    recordUntilBreakAt(3);
    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x40, 0x40}));
    EXPECT_EQ(chart->Chart1->title(), "Range = 2kV/m Mode = E-Fieldmeter");
}

TEST_F(ChartPreparation235, HidesTheWarningsOfTheLastRecording) {
    prepare();
    sim.setStatus(statusBatteryLow);
    record([this](int n) {
        if (n == 3) {
            sim.setReportedRange(0x50);
        }
        if (n == 5) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    ASSERT_TRUE(chart->Label_Low_Batterie_C->isVisible());
    ASSERT_TRUE(chart->Label_No_Range_C->isVisible());

    chart->BitBtn_BackClick();
    main->Button_Start_ChartClick();
    EXPECT_FALSE(chart->Label_Low_Batterie_C->isVisible());
    EXPECT_FALSE(chart->Label_No_Range_C->isVisible());
}

TEST_F(ChartPreparation235, SilentInstrumentStillShowsTheWindow) {
    identify();
    sim.unplug();
    main->Button_Start_ChartClick();

    // The failed mode read gives index 99, which selects the last item.
    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 3);
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(ChartPreparation100, UnknownTypeLeavesBothGroupsEmpty) {
    prepare();
    EXPECT_EQ(chart->RadioGroup_Mode->count(), 0);
    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), -1);
    EXPECT_EQ(chart->RadioGroup_Range->count(), 0);
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), -1);
    EXPECT_EQ(chart->windowTitle(), "Chart Zalvo 100");
    EXPECT_EQ(chart->Chart1->title(), "Zalvo 100");
    EXPECT_TRUE(chart->isVisible());
}
