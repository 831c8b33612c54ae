#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "chart_window_fixture.h"

using ChartControls115 = ChartWindowTest<115>;
using ChartControls235 = ChartWindowTest<235>;

TEST_F(ChartControls235, DistanceItemSendsTheVoltmeterModeAndDerivesItsRanges) {
    prepare();
    ASSERT_EQ(main->currentRange, 3);
    chart->RadioGroup_Mode->setItemIndex(3);

    EXPECT_EQ(writesTo(reg::mode), (std::vector<int>{1, 1}));
    EXPECT_EQ(chart->modeLetter, 'M');
    EXPECT_EQ(chart->Label_unit->text(), "V");
    EXPECT_EQ(chart->Label_minValUnit->text(), "V");
    EXPECT_EQ(chart->Label_maxValUnit->text(), "V");
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"10V", "50V", "200V", "1kV"}));
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 0);
    EXPECT_TRUE(chart->ScrollBar_distance_Ch->isVisibleTo(chart.get()));
    EXPECT_TRUE(chart->Label_distance->isVisibleTo(chart.get()));
    EXPECT_TRUE(chart->Label_selectDistance->isVisibleTo(chart.get()));
    EXPECT_TRUE(chart->Label_Measuringdistance->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->Chart1->timeAxisTitle(), "Time mSek");

    // Truncation: 7 mm still gives 1kV for "2kV".
    chart->RadioGroup_Range->setItemIndex(2);
    chart->ScrollBar_distance_Ch->setValue(7);
    EXPECT_EQ(chart->Label_distance->text(), "7 mm");
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"14V", "70V", "280V", "1kV"}));
    EXPECT_EQ(chart->RadioGroup_Range->itemIndex(), 2);
    EXPECT_EQ(main->currentRange, 1);

    chart->ScrollBar_distance_Ch->setValue(300);
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"600V", "3000V", "12000V", "60kV"}));

    // Back to the field meter: the distance controls go.
    chart->RadioGroup_Mode->setItemIndex(0);
    EXPECT_FALSE(chart->ScrollBar_distance_Ch->isVisibleTo(chart.get()));
    EXPECT_FALSE(chart->Label_distance->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->Label_unit->text(), "kV/m");
    EXPECT_EQ(writesTo(reg::mode), (std::vector<int>{1, 1, 0, 0}));
}

TEST_F(ChartControls235, ModeChangeClearsTheChartButTheSameItemChangesNothing) {
    prepare();
    // Start's first reading, then three cycles; the simulator gives the sign by status.
    sim.setValues({0, 400, 900, 700});
    record([this](int n) {
        sim.setStatus(n == 2 ? std::optional<std::uint8_t>(statusNegative) : std::nullopt);
        if (n == 4) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    ASSERT_EQ(chart->Chart1->pointCount(), 3u);
    ASSERT_EQ(chart->Label_neg_Value->text(), localNumber("-0.40"));
    ASSERT_EQ(chart->Label_pos_Value->text(), localNumber("0.90"));
    sim.clearTransfers();

    chart->RadioGroup_Mode->setItemIndex(0);
    EXPECT_TRUE(sim.transfers().empty());
    EXPECT_EQ(chart->Chart1->pointCount(), 3u);

    chart->RadioGroup_Mode->setItemIndex(1);
    EXPECT_EQ(chart->Chart1->pointCount(), 0u);
    EXPECT_EQ(chart->Label_neg_Value->text(), "0,0");
    EXPECT_EQ(chart->Label_pos_Value->text(), "0,0");
    EXPECT_EQ(chart->negMax(), 0.0);
    EXPECT_EQ(chart->posMax(), 0.0);
}

TEST_F(ChartControls115, ModeSelectionSendsNothingAndKeepsTheUnits) {
    prepare();
    chart->RadioGroup_Mode->setItemIndex(1);
    EXPECT_TRUE(sim.transfers().empty());
    EXPECT_EQ(chart->modeLetter, 'V');
    EXPECT_EQ(chart->Label_unit->text(), "kV/m");
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"50V", "250V", "500V", "2500V"}));

    chart->RadioGroup_Mode->setItemIndex(2);
    EXPECT_TRUE(sim.transfers().empty());
    EXPECT_EQ(chart->modeLetter, 'M');
    EXPECT_TRUE(chart->ScrollBar_distance_Ch->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->RadioGroup_Range->items(), (QStringList{"25V", "125V", "250V", "1250V"}));
    EXPECT_EQ(chart->Label_unit->text(), "kV/m");
}

TEST_F(ChartControls235, RangeClickOnlyChangesTheSelection) {
    prepare();
    chart->RadioGroup_Range->setItemIndex(2);
    EXPECT_EQ(main->currentRange, 1);
    chart->RadioGroup_Range->setItemIndex(3);
    EXPECT_EQ(main->currentRange, 0);
    EXPECT_TRUE(sim.transfers().empty());
}

TEST_F(ChartControls235, SamplingTimeBarChangesTheSettingButNotTheFile) {
    prepare();
    EXPECT_EQ(chart->Label_SampleTime_Value->text(), "200 mSek");
    chart->ScrollBar_SamplingTime->setValue(1500);
    EXPECT_EQ(chart->Label_SampleTime_Value->text(), "1500 mSek");
    EXPECT_EQ(main->samplingTimeChart, 1500);
    EXPECT_EQ(main->storedSamplingTimeChart, 200);
    EXPECT_FALSE(QFileInfo::exists(settingsFilePath()));
}

TEST_F(ChartControls235, DistanceItemGivesWayToTheInstrumentsVoltmeterAtStart) {
    prepare();
    chart->RadioGroup_Mode->setItemIndex(3);
    ASSERT_EQ(sim.currentModeCode(), 1);
    recordUntilBreakAt(3);

    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 1);
    EXPECT_EQ(chart->modeLetter, 'V');
    EXPECT_FALSE(chart->ScrollBar_distance_Ch->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->Chart1->title(), "Range = 20V Mode = Voltmeter Pelvar 1");
}

TEST_F(ChartControls235, WindowHasNoCloseBoxAndBackReturnsToTheMainWindow) {
    prepare();
    EXPECT_FALSE(chart->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(chart->windowFlags().testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(chart->close());
    EXPECT_TRUE(chart->isVisible());
    EXPECT_EQ(chart->size(), QSize(1036, 722));

    chart->BitBtn_BackClick();
    EXPECT_FALSE(chart->isVisible());
    EXPECT_FALSE(chart->isEnabled());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(sim.transfers().empty());
}

TEST_F(ChartControls235, AltRBreaksARunningRecordingAndResetsOtherwise) {
    prepare();
    chart->show();
    QApplication::setActiveWindow(chart.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(chart.get()));
    const auto altR = [this] { QTest::keyClick(chart.get(), Qt::Key_R, Qt::AltModifier); };

    record([&](int reading) {
        if (reading == 3) {
            operatorDoes(altR);
        }
    });
    EXPECT_LE(readingMoments().size(), 4u) << "Alt+R broke the recording";
    const std::size_t points = chart->Chart1->pointCount();
    EXPECT_GE(points, 2u) << "and did not reset it";
    EXPECT_TRUE(chart->BitBtn_Back->isEnabled());

    altR();
    EXPECT_EQ(chart->Chart1->pointCount(), 0u) << "after the recording, Alt+R resets";
}
