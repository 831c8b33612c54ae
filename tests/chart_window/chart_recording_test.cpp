#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <limits>

#include "chart_window_fixture.h"
#include "settings/program_settings.h"
#include "ui/no_range_warning.h"

using Kind = ScriptedOperatorDialogs::Kind;
using Answer = OperatorDialogs::Answer;
using ChartRecording115 = ChartWindowTest<115>;
using ChartRecording235 = ChartWindowTest<235>;

namespace {

// The instrument on its smallest field-meter range after the preparation: "2kV/m".
constexpr double smallestFullScale = 2.0;

std::vector<double> valuesOf(const ChartWidget& chart) {
    std::vector<double> values;
    for (std::size_t i = 0; i < chart.pointCount(); ++i) {
        values.push_back(chart.pointAt(i).y);
    }
    return values;
}

}  // namespace

TEST_F(ChartRecording235, EveryRecordingStartsAtZeroWithTheAxisOnePointBehind) {
    prepare();
    sim.setValues({1000});
    recordUntilBreakAt(4);

    const std::vector<Moment> first = readingMoments();
    ASSERT_EQ(first.size(), 4u);
    // Seen at the next reading: the first point is drawn while both bounds are still 0.
    EXPECT_EQ(first[2].points, 1u);
    EXPECT_EQ(first[2].axisMinimum, 0.0);
    EXPECT_EQ(first[2].axisMaximum, 0.0);
    EXPECT_EQ(first[3].points, 2u);
    EXPECT_DOUBLE_EQ(first[3].axisMinimum, -1.015 * smallestFullScale);
    EXPECT_DOUBLE_EQ(first[3].axisMaximum, 1.015 * smallestFullScale);
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 200, 400}));
    EXPECT_EQ(valuesOf(*chart->Chart1), (std::vector<double>{1.0, 1.0, 1.0}));
    EXPECT_FALSE(chart->Chart1->valueAxisAutomatic());
    EXPECT_EQ(chart->Chart1->timeAxisIncrement(), 200.0);

    EXPECT_EQ(chart->Chart1->title(), "Range = 2kV/m Mode = E-Fieldmeter");
    EXPECT_EQ(chart->Chart1->valueAxisTitle(), "kV/m");
    EXPECT_EQ(chart->Label_unit->text(), "kV/m");
    EXPECT_EQ(chart->Label_measuredValue->text(), localNumber("1.00"));
    EXPECT_EQ(chart->Label_pos_Value->text(), localNumber("1.00"));
    EXPECT_EQ(chart->Label_neg_Value->text(), localNumber("0.00"));
    // Break ends the cycle's wait at once; its length counts as the sampling time.
    EXPECT_EQ(chart->LabelSamplingTimeVal->text(), "200 mSek");
    EXPECT_TRUE(chart->BitBtn_Start->isEnabled());
    EXPECT_TRUE(chart->BitBtn_Back->isEnabled());
    EXPECT_TRUE(chart->RadioGroup_Mode->isEnabled());
    EXPECT_TRUE(chart->ScrollBar_SamplingTime->isEnabled());
    EXPECT_TRUE(chart->ScrollBar_distance_Ch->isEnabled());

    recordUntilBreakAt(3);
    const std::vector<Moment> second = readingMoments();
    ASSERT_EQ(second.size(), 3u);
    EXPECT_DOUBLE_EQ(second[1].axisMaximum, 1.015 * smallestFullScale);
    EXPECT_EQ(second[2].points, 1u);
    EXPECT_EQ(second[2].axisMinimum, 0.0);
    EXPECT_EQ(second[2].axisMaximum, 0.0);
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 200}));
}

TEST_F(ChartRecording235, ControlsDuringTheRecording) {
    prepare();
    bool checked = false;
    record([&](int n) {
        if (n == 3) {
            EXPECT_FALSE(chart->BitBtn_Start->isEnabled());
            EXPECT_FALSE(chart->BitBtn_Back->isEnabled());
            EXPECT_FALSE(chart->RadioGroup_Mode->isEnabled());
            EXPECT_FALSE(chart->ScrollBar_SamplingTime->isEnabled());
            EXPECT_FALSE(chart->ScrollBar_distance_Ch->isEnabled());
            EXPECT_TRUE(chart->RadioGroup_Range->isEnabled());
            EXPECT_TRUE(chart->BitBtn_Break->isEnabled());
            EXPECT_TRUE(chart->BitBtn_Reset->isEnabled());
            checked = true;
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    EXPECT_TRUE(checked);
}

TEST_F(ChartRecording235, RangeClickClearsTheChartInTheNextCycle) {
    prepare();
    sim.setValues({1000});
    std::size_t pointsRightAfterClick = 0;
    record([&](int n) {
        if (n == 4) {
            operatorDoes([&] {
                chart->RadioGroup_Range->setItemIndex(3);
                pointsRightAfterClick = chart->Chart1->pointCount();
            });
        }
        if (n == 8) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_EQ(pointsRightAfterClick, 3u);
    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x40, 0x40, 0x10, 0x10}));

    // The range is sent before the chart is cleared, then 100 ms pass before reading again.
    std::vector<std::size_t> rangeWrites;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        if (!moments[i].transfer.in && moments[i].transfer.value == reg::range) {
            rangeWrites.push_back(i);
        }
    }
    ASSERT_EQ(rangeWrites.size(), 4u);
    EXPECT_EQ(moments[rangeWrites[2]].points, 3u);
    const std::size_t secondWrite = rangeWrites[3];
    ASSERT_LT(secondWrite + 1, moments.size());
    const Moment& reread = moments[secondWrite + 1];
    ASSERT_EQ(reread.transfer.value, reg::measuredValue);
    EXPECT_EQ(reread.points, 0u);
    EXPECT_NEAR(reread.transfer.timeMs - moments[secondWrite].transfer.timeMs, 100.0, 1e-6);

    const std::vector<double> xs = pointXs();
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[0], 200.0);
    // The forced cycle takes 500 ms: reading, range command, pause, reading, mode.
    EXPECT_NEAR(xs[1], 700.0, 1.0);
    EXPECT_EQ(valuesOf(*chart->Chart1), (std::vector<double>{100.0, 100.0, 100.0}));
    EXPECT_EQ(main->currentRange, 0);

    // The bounds follow the new range one point later than the values.
    const std::vector<Moment> readings = readingMoments();
    ASSERT_EQ(readings.size(), 8u);
    EXPECT_EQ(readings[6].points, 1u);
    EXPECT_DOUBLE_EQ(readings[6].axisMaximum, 1.015 * smallestFullScale);
    EXPECT_EQ(readings[7].points, 2u);
    EXPECT_DOUBLE_EQ(readings[7].axisMinimum, -1.015 * 200.0);
    EXPECT_DOUBLE_EQ(readings[7].axisMaximum, 1.015 * 200.0);
}

TEST_F(ChartRecording235, OverrangeEndsTheRecordingWithBackLockedUntilBreak) {
    prepare();
    sim.setValues({1000});
    record([this](int n) {
        if (n == 3) {
            // A range click that the overrange cycle must not send.
            operatorDoes([this] { chart->RadioGroup_Range->setItemIndex(2); });
        }
        if (n == 4) {
            sim.setStatus(statusOverrange);
        }
    });

    EXPECT_EQ(readingMoments().size(), 4u);
    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x40, 0x40}));
    EXPECT_EQ(chart->Chart1->pointCount(), 2u);
    EXPECT_EQ(chart->Label_measuredValue->text(), "OVR    ");
    EXPECT_EQ(chart->Label_neg_Value->text(), "OVR ");
    EXPECT_EQ(chart->Label_pos_Value->text(), "OVR ");
    EXPECT_TRUE(chart->overrangeSeen());
    EXPECT_EQ(chart->Chart1->title(), "Range = 2kV/m Mode = E-Fieldmeter");
    EXPECT_TRUE(chart->BitBtn_Start->isEnabled());
    EXPECT_FALSE(chart->BitBtn_Back->isEnabled());
    EXPECT_TRUE(chart->RadioGroup_Mode->isEnabled());
    EXPECT_TRUE(chart->ScrollBar_SamplingTime->isEnabled());

    // Break outside a recording only unlocks the buttons.
    sim.clearTransfers();
    chart->BitBtn_BreakClick();
    EXPECT_TRUE(chart->BitBtn_Back->isEnabled());
    EXPECT_TRUE(chart->BitBtn_Start->isEnabled());
    EXPECT_TRUE(sim.transfers().empty());
    EXPECT_EQ(chart->Chart1->pointCount(), 2u);

    chart->BitBtn_ResetClick();
    EXPECT_FALSE(chart->overrangeSeen());
    EXPECT_EQ(chart->Label_neg_Value->text(), "0,0");
    EXPECT_EQ(chart->Label_pos_Value->text(), "0,0");
    EXPECT_EQ(chart->Label_measuredValue->text(), "OVR    ");
    EXPECT_EQ(chart->Chart1->pointCount(), 0u);
}

TEST_F(ChartRecording235, SettingsQuestionOncePerChangedSamplingTime) {
    prepare();
    chart->ScrollBar_SamplingTime->setValue(400);
    dialogs.queueOkCancel(Answer::Cancel);
    recordUntilBreakAt(2);
    ASSERT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(dialogs.shown().last().text, "Should the Setup.ini be updated ?");
    EXPECT_EQ(dialogs.shown().last().caption, "Query");
    EXPECT_EQ(main->storedSamplingTimeChart, 400);
    EXPECT_FALSE(QFileInfo::exists(settingsFilePath()));
    EXPECT_EQ(chart->Chart1->timeAxisIncrement(), 400.0);

    recordUntilBreakAt(3);
    EXPECT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 400}));

    chart->ScrollBar_SamplingTime->setValue(600);
    dialogs.queueOkCancel(Answer::Ok);
    recordUntilBreakAt(3);
    EXPECT_EQ(dialogs.count(Kind::OkCancel), 2);
    EXPECT_EQ(readProgramSettings(settingsFilePath()).samplingTimeChart, 600);
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 600}));
    EXPECT_EQ(chart->Label_SampleTime_Value->text(), "600 mSek");

    recordUntilBreakAt(2);
    EXPECT_EQ(dialogs.count(Kind::OkCancel), 2);
    EXPECT_FALSE(dialogs.anyDefaultAnswer());
}

TEST_F(ChartRecording235, SettingsWriteErrorIsReportedAndNothingStarts) {
    prepare();
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    chart->ScrollBar_SamplingTime->setValue(400);
    dialogs.queueOkCancel(Answer::Ok);
    const int opensBefore = sim.openCount();
    record();

    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_TRUE(dialogs.shown().last().text.contains("SETUP.INI"));
    EXPECT_TRUE(sim.transfers().empty());
    EXPECT_EQ(sim.openCount(), opensBefore);
    EXPECT_TRUE(chart->BitBtn_Start->isEnabled());
    EXPECT_TRUE(chart->RadioGroup_Mode->isEnabled());
    EXPECT_TRUE(chart->ScrollBar_SamplingTime->isEnabled());
    EXPECT_EQ(chart->Chart1->pointCount(), 0u);

    // The value counts as offered: the next Start records without asking.
    recordUntilBreakAt(3);
    EXPECT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_EQ(chart->Chart1->pointCount(), 2u);
}

TEST_F(ChartRecording235, NoSelectedRangeSendsTheAutomaticRangeOnce) {
    prepare();
    chart->RadioGroup_Range->setItemIndex(-1);
    sim.setValues({1000});

    // The instrument settles on a fixed range: it is adopted and nothing more is sent.
    recordUntilBreakAt(6);
    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x50, 0x50}));
    EXPECT_EQ(main->currentRange, 3);

    // The instrument reports automatic ranging: the loop sends it once and forces nothing.
    sim.clearTransfers();
    chart->RadioGroup_Range->setItemIndex(-1);
    sim.setReportedRange(0x50);
    recordUntilBreakAt(8);
    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x50, 0x50, 0x50, 0x50}));
    EXPECT_EQ(main->currentRange, 4);
    EXPECT_EQ(readingMoments().size(), 8u);
}

TEST_F(ChartRecording235, ForcedRangeRepeatsEveryCycleAfterAPause) {
    prepare();
    record([this](int n) {
        // After Start's first reading, which the loop adopts, the instrument sticks elsewhere.
        if (n == 2) {
            sim.setReportedRange(0x10);
        }
        if (n == 9) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    // Start's command, then one per cycle: the instrument never follows.
    EXPECT_EQ(writesTo(reg::range), std::vector<int>(10, 0x40));
    int rereads = 0;
    const std::size_t firstReading = 2;  // Start's range command, then its reading
    for (std::size_t i = firstReading + 1; i < moments.size(); ++i) {
        const TransferRecord& before = moments[i - 1].transfer;
        const TransferRecord& transfer = moments[i].transfer;
        if (transfer.in && transfer.value == reg::measuredValue && !before.in &&
            before.value == reg::range) {
            ++rereads;
            EXPECT_NEAR(transfer.timeMs - before.timeMs, 100.0, 1e-6);
            EXPECT_EQ(moments[i].points, 0u);
        }
    }
    EXPECT_EQ(rereads, 4);
    EXPECT_EQ(chart->Chart1->pointCount(), 1u);
    EXPECT_EQ(main->currentRange, 3);
}

TEST_F(ChartRecording235, ResetDuringTheRecordingEmptiesTheChartAndGoesOn) {
    prepare();
    sim.setValues({1000});
    std::size_t pointsAfterReset = 99;
    QString extremeAfterReset;
    record([&](int n) {
        if (n == 4) {
            operatorDoes([&] {
                chart->BitBtn_ResetClick();
                pointsAfterReset = chart->Chart1->pointCount();
                extremeAfterReset = chart->Label_pos_Value->text();
            });
        }
        if (n == 7) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_EQ(pointsAfterReset, 0u);
    EXPECT_EQ(extremeAfterReset, "0,0");
    EXPECT_EQ(readingMoments().size(), 7u);
    // The next point lies one cycle on, not at 0.
    EXPECT_EQ(pointXs(), (std::vector<double>{200, 400, 600}));
    EXPECT_EQ(chart->Label_pos_Value->text(), localNumber("1.00"));
}

TEST_F(ChartRecording235, ModeAndBatteryAreReadFromTheInstrumentEveryCycle) {
    prepare();
    sim.setValues({1000});
    record([this](int n) {
        if (n == 3) {
            sim.setModeCode(1);
        }
        if (n == 4) {
            sim.setStatus(statusBatteryLow);
        }
        if (n == 6) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_EQ(readsOf(reg::mode), 2 + 2 * 5);
    EXPECT_EQ(chart->RadioGroup_Mode->itemIndex(), 1);
    EXPECT_EQ(chart->modeLetter, 'V');
    EXPECT_EQ(writesTo(reg::mode), (std::vector<int>{1, 1}));
    // The mode handler cleared the chart in the cycle that saw the new mode.
    EXPECT_EQ(chart->Chart1->pointCount(), 4u);
    EXPECT_EQ(valuesOf(*chart->Chart1), (std::vector<double>{10.0, 10.0, 10.0, 10.0}));
    EXPECT_EQ(chart->Chart1->title(), "Range = 20V Mode = Voltmeter Pelvar 1");
    EXPECT_EQ(chart->Chart1->valueAxisTitle(), "V");
    EXPECT_EQ(chart->Label_unit->text(), "V");
    EXPECT_TRUE(chart->Label_Low_Batterie_C->isVisibleTo(chart.get()));
    EXPECT_EQ(chart->Label_Low_Batterie_C->text(), "Warning - Low Battery !!");

    sim.setStatus(std::nullopt);
    recordUntilBreakAt(3);
    EXPECT_FALSE(chart->Label_Low_Batterie_C->isVisibleTo(chart.get()));
}

TEST_F(ChartRecording115, ProbeIsNeverAskedForModeAndShowsNoBatteryWarning) {
    prepare();
    sim.setValues({1000});
    sim.setStatus(statusBatteryLow);
    recordUntilBreakAt(4);

    EXPECT_EQ(readsOf(reg::mode), 0);
    EXPECT_FALSE(chart->Label_Low_Batterie_C->isVisibleTo(chart.get()));
    EXPECT_EQ(pointXs(), (std::vector<double>{0, 200, 400}));
    EXPECT_EQ(chart->Chart1->title(), "Range = 5kV/m Mode = E-Fieldmeter");
    EXPECT_EQ(chart->Label_measuredValue->text(), localNumber("2.50"));
}

TEST_F(ChartRecording115, DistanceVoltmeterTakesItsFullScaleFromTheRangeItems) {
    prepare();
    chart->RadioGroup_Mode->setItemIndex(2);
    chart->ScrollBar_distance_Ch->setValue(20);
    chart->RadioGroup_Range->setItemIndex(1);
    ASSERT_EQ(chart->RadioGroup_Range->items().at(1), "500V");
    sim.setValues({1000});
    recordUntilBreakAt(4);

    EXPECT_EQ(writesTo(reg::range), (std::vector<int>{0x30, 0x30}));
    EXPECT_EQ(valuesOf(*chart->Chart1), (std::vector<double>{250.0, 250.0, 250.0}));
    EXPECT_EQ(chart->Label_measuredValue->text(), localNumber("250.0"));
    EXPECT_EQ(chart->Chart1->title(), "Range = 500V   Mode = Voltmeter dist. 20mm");
    EXPECT_EQ(chart->Label_unit->text(), "V");
    const std::vector<Moment> readings = readingMoments();
    ASSERT_EQ(readings.size(), 4u);
    EXPECT_DOUBLE_EQ(readings[3].axisMaximum, 1.015 * 500.0);
}

TEST_F(ChartRecording235, PointsAdvanceByTheMeasuredCycleLengths) {
    prepare();
    sim.setValues({1000});
    QString intervalAfterLongCycle;
    record([&](int n) {
        if (n == 3) {
            time.clock.advanceMs(333.6);
        }
        if (n == 4) {
            intervalAfterLongCycle = chart->LabelSamplingTimeVal->text();
        }
        if (n == 6) {
            // A cycle long enough to carry the time axis past 2^31 ms.
            time.clock.advanceMs(3e9);
        }
        if (n == 8) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });

    EXPECT_EQ(intervalAfterLongCycle, "434 mSek");
    const std::vector<double> xs = pointXs();
    ASSERT_EQ(xs.size(), 7u);
    EXPECT_EQ(xs[0], 0.0);
    EXPECT_EQ(xs[1], 200.0);
    // 200 + 433.6, truncated to whole milliseconds.
    EXPECT_EQ(xs[2], 633.0);
    EXPECT_EQ(xs[3], 833.0);
    EXPECT_EQ(xs[4], 1033.0);
    EXPECT_NEAR(xs[5], 1033.0 + 3e9 + 100.0, 1.0);
    EXPECT_GT(xs[5], static_cast<double>(std::numeric_limits<qint32>::max()));
    EXPECT_NEAR(xs[6], xs[5] + 200.0, 1.0);
}

TEST_F(ChartRecording235, LostConnectionDuringTheRecordingEndsTheProgram) {
    prepare();
    const int code = exitCodeOf([this] {
        record([this](int n) {
            if (n == 3) {
                operatorDoes([this] { sim.unplug(); });
            }
        });
    });
    EXPECT_EQ(code, -1);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().last().kind, Kind::Message);
    EXPECT_EQ(dialogs.shown().last().text, "No connection to the USB device! Error no = 0");
    EXPECT_EQ(dialogs.shown().last().caption, "E R R O R occurred");
    EXPECT_EQ(readingMoments().size(), 3u);
}

TEST_F(ChartRecording235, FailedTransferInAReadingNamesTheErrorAndEndsTheProgram) {
    prepare();
    const int code = exitCodeOf([this] {
        record([this](int n) {
            if (n == 3) {
                sim.failRegister(reg::status, 1, -7);
            }
        });
    });
    EXPECT_EQ(code, -1);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().last().text, "No connection to the USB device! Error no = -7");
    EXPECT_EQ(dialogs.shown().last().caption, "E R R O R occurred");
}

TEST_F(ChartRecording235, InstrumentMissingAtStartEndsTheProgram) {
    prepare();
    sim.unplug();
    const int code = exitCodeOf([this] { record(); });
    EXPECT_EQ(code, -1);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().last().text, "No connection to the USB device! ");
    EXPECT_EQ(dialogs.shown().last().caption, " E R R O R");
    EXPECT_TRUE(sim.transfers().empty());
}

// Readings whose range byte names no range: automatic ranging, or a raw byte.
class NoRangeRecording : public ChartWindowTest<235>, public ::testing::WithParamInterface<int> {};

TEST_P(NoRangeRecording, PlotsNothingAndSaysWhyUntilStartOrARangeReported) {
    prepare();
    sim.setValues({1000});
    record([&](int n) {
        if (n == 3) {
            sim.setReportedRange(GetParam());
        }
        if (n == 7) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    // Each cycle forces the range, which clears the chart, and then has no range to plot with.
    EXPECT_TRUE(chart->Label_No_Range_C->isVisible());
    EXPECT_EQ(chart->Label_measuredValue->text(), localNumber("1.00"));
    EXPECT_EQ(chart->Chart1->pointCount(), 0u);

    sim.setReportedRange(std::nullopt);
    sim.setValues({1500});
    bool shownAtStart = true;
    record([&](int n) {
        shownAtStart = n == 1 ? chart->Label_No_Range_C->isVisible() : shownAtStart;
        if (n == 4) {
            operatorDoes([this] { chart->BitBtn_BreakClick(); });
        }
    });
    EXPECT_FALSE(shownAtStart);
    EXPECT_FALSE(chart->Label_No_Range_C->isVisible());
    EXPECT_EQ(chart->Label_measuredValue->text(), localNumber("1.50"));
    EXPECT_EQ(chart->Chart1->pointCount(), 3u);
}

INSTANTIATE_TEST_SUITE_P(RangeBytes, NoRangeRecording, ::testing::Values(0x50, 0x60));
