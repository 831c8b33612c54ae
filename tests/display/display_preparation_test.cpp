#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "display_fixture.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"

using Preparation235 = DisplayTestOf<235>;
using Preparation115 = DisplayTestOf<115>;
using Preparation255 = DisplayTestOf<255>;
using PreparationUnknownType = DisplayTestOf<100>;

TEST_F(Preparation235, SelectsTheInstrumentsModeAndRangeAndHandsOver) {
    sim.setModeCode(2);
    sim.setReportedRange(0x20);
    identify();
    main->Button_Start_DisplayClick();

    EXPECT_EQ(display->RadioGroup_Mode->items(),
              QStringList({"E-Fieldmeter", "Voltmeter Pelvar 1", "Voltmeter Dranth 40",
                           "Voltmeter distance (5..300mm)"}));
    EXPECT_EQ(display->RadioGroup_Mode->itemIndex(), 2);
    EXPECT_EQ(display->modeLetter, '4');
    EXPECT_EQ(display->RadioGroup_Range->items(),
              QStringList({"400V", "2kV", "8kV", "40kV", "Autorange"}));
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), 2);
    EXPECT_EQ(main->currentRange, 1);
    EXPECT_EQ(display->windowTitle(), "Display Zalvo 235");
    EXPECT_EQ(display->measurementRecord.recDistance, "200");
    EXPECT_EQ(display->Label_unit->text(), "V");

    EXPECT_EQ(modeWrites(), std::vector<int>({2, 2}));

    EXPECT_TRUE(display->isVisible());
    EXPECT_TRUE(display->isEnabled());
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(main->isEnabled());
    EXPECT_FALSE(display->BitBtn_break->isEnabled());
    EXPECT_EQ(display->LabelRepeatTimeVal->text(), "??");
    EXPECT_EQ(display->GroupBox_maxValue->title(), "pos. maximum");
}

TEST_F(Preparation235, AutomaticRangingSelectsNoRangeItem) {
    sim.setReportedRange(0x50);
    prepare();
    EXPECT_EQ(display->RadioGroup_Range->count(), 5);
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), -1);
}

TEST_F(Preparation235, SmallestRangeKeepsItemZeroSelected) {
    sim.setReportedRange(0x40);
    prepare();
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), 0);
    EXPECT_EQ(main->currentRange, 0);
}

TEST_F(Preparation235, MinimumDepictionCaptionsAlsoForOtherValuesThanOne) {
    main->displayDepiction = 2;
    prepare();
    EXPECT_EQ(display->GroupBox_maxValue->title(), "pos. minimum ");
    EXPECT_EQ(display->GroupBox_minValue->title(), "neg. minimum ");
}

TEST_F(Preparation235, ClearsTheShownValuesButKeepsTheDistance) {
    prepare();
    display->RadioGroup_Mode->setItemIndex(3);
    display->ScrollBar_distance->setValue(40);
    display->Label_measuredValue->setText("1.23");
    display->Label_pos_maxValue->setText("4.56");
    display->BitBtn_backClick();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_FALSE(display->isVisible());

    sim.setModeCode(0);
    main->Button_Start_DisplayClick();
    EXPECT_EQ(display->Label_measuredValue->text(), "0");
    EXPECT_EQ(display->Label_pos_maxValue->text(), "0");
    EXPECT_EQ(display->ScrollBar_distance->value(), 40);
    EXPECT_EQ(display->RadioGroup_Mode->itemIndex(), 0);
    EXPECT_FALSE(display->ScrollBar_distance->isVisible());
}

TEST_F(Preparation235, HidesTheWarningsAndTheAlarmColourOfTheLastMeasurement) {
    main->displayDepiction = 1;
    main->limit = 50;
    prepare();
    // Inside the band of the 2kV/m range, with a low battery; then no range is reported.
    sim.setValues({400});
    sim.setStatus(statusBatteryLow);
    runMeasuring(6, [&](int read) {
        if (read == 3) {
            post([&] {
                display->RadioGroup_Range->setItemIndex(4);
                sim.setReportedRange(0x50);
            });
        }
    });
    const auto isRed = [&] {
        return display->Label_measuredValue->palette().color(QPalette::Window) == Qt::red;
    };
    ASSERT_TRUE(display->Label_Low_Batterie_D->isVisible());
    ASSERT_TRUE(display->Label_No_Range_D->isVisible());
    ASSERT_TRUE(isRed());

    display->BitBtn_backClick();
    main->Button_Start_DisplayClick();
    EXPECT_FALSE(display->Label_Low_Batterie_D->isVisible());
    EXPECT_FALSE(display->Label_No_Range_D->isVisible());
    EXPECT_FALSE(isRed());
}

TEST_F(Preparation235, InstrumentGoneShowsTheWindowWithTheLastMode) {
    identify();
    sim.unplug();
    main->Button_Start_DisplayClick();
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(display->RadioGroup_Mode->itemIndex(), 3);
    // The preset letter's items: the field meter's ranges.
    EXPECT_EQ(display->RadioGroup_Range->items().first(), "2kV/m");
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(Preparation115, DoesNotAskTheModeAndSelectsTheFieldMeter) {
    sim.setReportedRange(0x30);
    identify();
    main->Button_Start_DisplayClick();
    for (const TransferRecord& transfer : sim.transfers()) {
        EXPECT_NE(transfer.value, reg::mode);
    }
    EXPECT_EQ(display->RadioGroup_Mode->itemIndex(), 0);
    EXPECT_EQ(display->RadioGroup_Mode->items().first(), "E-Fieldmeter");
    EXPECT_EQ(display->RadioGroup_Range->items(),
              QStringList({"5kV/m", "25kV/m", "50kV/m", "250kV/m"}));
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), 1);
    EXPECT_EQ(display->windowTitle(), "Display Zalvo 115");
}

TEST_F(Preparation255, DistanceModeShowsTheDistanceControlsAndItsItems) {
    prepare();
    display->ScrollBar_distance->setValue(20);
    display->RadioGroup_Mode->setItemIndex(2);
    EXPECT_TRUE(display->ScrollBar_distance->isVisible());
    EXPECT_TRUE(display->Label_distance->isVisible());
    EXPECT_TRUE(display->Label_selectDistance->isVisible());
    EXPECT_TRUE(display->LabelMeasuringdistance->isVisible());
    EXPECT_EQ(display->modeLetter, 'M');
    EXPECT_EQ(display->RadioGroup_Range->items(), QStringList({"4V", "20V", "80V", "400V"}));
    EXPECT_EQ(display->measurementRecord.recDistance, "20");
    EXPECT_EQ(modeWrites(), std::vector<int>({1, 1}));

    // Moving the bar rebuilds the items and selects the smallest range.
    display->RadioGroup_Range->setItemIndex(3);
    ASSERT_EQ(main->currentRange, 0);
    display->ScrollBar_distance->setValue(100);
    EXPECT_EQ(display->Label_distance->text(), "100 mm");
    EXPECT_EQ(display->RadioGroup_Range->items(), QStringList({"20V", "100V", "400V", "2000V"}));
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), 0);
    EXPECT_EQ(main->currentRange, 3);
    EXPECT_EQ(display->measurementRecord.recDistance, "100");

    display->RadioGroup_Mode->setItemIndex(0);
    EXPECT_FALSE(display->ScrollBar_distance->isVisible());
    EXPECT_EQ(display->measurementRecord.recDistance, "");
}

TEST_F(PreparationUnknownType, ShowsTheWindowWithEmptyGroups) {
    prepare();
    EXPECT_EQ(main->deviceType, 100);
    EXPECT_EQ(display->RadioGroup_Mode->count(), 0);
    EXPECT_EQ(display->RadioGroup_Range->count(), 0);
    EXPECT_EQ(display->RadioGroup_Range->itemIndex(), -1);
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(display->windowTitle(), "Display Zalvo 100");
}
