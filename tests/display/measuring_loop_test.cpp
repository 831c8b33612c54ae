#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <array>

#include "display/circle_shape.h"
#include "display_fixture.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"

using Kind = ScriptedOperatorDialogs::Kind;
using Loop235 = DisplayTestOf<235>;
using Loop115 = DisplayTestOf<115>;

namespace {

bool isRed(const QLabel* label) {
    return label->palette().color(QPalette::Window) == QColor(255, 0, 0);
}

}  // namespace

TEST_F(Loop235, StartWithoutRangeItemSendsTheAutomaticRange) {
    sim.setReportedRange(0x50);
    prepare();
    ASSERT_EQ(display->RadioGroup_Range->itemIndex(), -1);
    sim.setReportedRange(std::nullopt);

    runMeasuring(4);
    const std::vector<int> writes = rangeWrites();
    ASSERT_FALSE(writes.empty());
    for (int code : writes) {
        EXPECT_EQ(code, 0x50);
    }
    EXPECT_EQ(main->currentRange, 4);
}

TEST_F(Loop235, AutorangeChosenWhileMeasuringIsSentTwiceInTheNextCycleOnly) {
    prepare();
    std::size_t clickAt = 0;
    std::size_t nextCycleDone = 0;
    runMeasuring(9, [&](int read) {
        if (read == 3) {
            post([&] {
                display->RadioGroup_Range->setItemIndex(4);
                clickAt = sim.transfers().size();
            });
        }
        if (read == 5) {
            nextCycleDone = sim.transfers().size();
        }
    });
    ASSERT_GT(clickAt, 0u);
    EXPECT_EQ(main->currentRange, 4);
    EXPECT_EQ(rangeWrites(clickAt), std::vector<int>(4, 0x50));
    EXPECT_TRUE(rangeWrites(nextCycleDone).empty());
}

TEST_F(Loop235, ModeChangeWhileMeasuringResetsAndSendsTheSmallestRange) {
    prepare();
    display->RadioGroup_Range->setItemIndex(2);
    sim.setValues({1800, 1800, 1800, 1800, 400});
    QString posBefore;
    QString valueAtClick;
    QString posAtClick;
    double posMaxAtClick = -1;
    std::size_t clickAt = 0;
    runMeasuring(8, [&](int read) {
        if (read == 4) {
            post([&] {
                posBefore = display->Label_pos_maxValue->text();
                display->RadioGroup_Mode->setItemIndex(1);
                valueAtClick = display->Label_measuredValue->text();
                posAtClick = display->Label_pos_maxValue->text();
                posMaxAtClick = display->evaluation().posMax();
                clickAt = sim.transfers().size();
            });
        }
    });
    EXPECT_EQ(posBefore, "36.0");
    EXPECT_EQ(valueAtClick, "0");
    EXPECT_EQ(posAtClick, "0");
    EXPECT_EQ(posMaxAtClick, 0.0);
    EXPECT_EQ(modeWrites(), std::vector<int>({1, 1}));
    const std::vector<int> after = rangeWrites(clickAt);
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.front(), 0x40);
    // Only the values since the change count: 400 counts in the 20V range.
    EXPECT_EQ(display->Label_pos_maxValue->text(), "4.0");
    EXPECT_EQ(display->Label_unit->text(), "V");
    EXPECT_EQ(display->measurementRecord.recMode, "Voltmeter Pelvar 1");
}

TEST_F(Loop235, ForcedRangeIsTriedOnceThenTheInstrumentsRangeIsKept) {
    prepare();
    sim.setReportedRange(0x20);
    runMeasuring(7);
    // Start, the one forced attempt, then the adopted range sent as the new selection.
    EXPECT_EQ(rangeWrites(), std::vector<int>({0x40, 0x40, 0x40, 0x40, 0x20, 0x20}));
    EXPECT_EQ(main->currentRange, 1);
}

TEST_F(Loop115, NeverShowsTheBatteryWarningAndSendsNoMode) {
    sim.setStatus(0x80);
    identify();
    main->Button_Start_DisplayClick();
    bool warningSeen = false;
    runMeasuring(6, [&](int read) {
        if (read == 3) {
            post([&] { display->RadioGroup_Mode->setItemIndex(1); });
        }
        warningSeen = warningSeen || display->Label_Low_Batterie_D->isVisible();
    });
    EXPECT_EQ(display->modeLetter, 'V');
    EXPECT_FALSE(warningSeen);
    EXPECT_FALSE(display->Label_Low_Batterie_D->isVisible());
    for (const TransferRecord& transfer : sim.transfers()) {
        EXPECT_NE(transfer.value, reg::mode);
    }
}

TEST_F(Loop235, LowBatteryShowsTheWarningWhileReported) {
    prepare();
    sim.setStatus(0x80);
    bool warningSeen = false;
    runMeasuring(5, [&](int read) {
        warningSeen = warningSeen || display->Label_Low_Batterie_D->isVisible();
        if (read == 3) {
            sim.setStatus(std::nullopt);
        }
    });
    EXPECT_TRUE(warningSeen);
    EXPECT_EQ(display->Label_Low_Batterie_D->text(), "Warning - Low Battery !!");
    EXPECT_FALSE(display->Label_Low_Batterie_D->isVisible());
}

TEST_F(Loop235, TickBlinksGreyGreyWhiteWhiteGreenGreenAndHidesAfterwards) {
    prepare();
    std::vector<QColor> colours;
    bool shownWhileMeasuring = true;
    runMeasuring(9, [&](int read) {
        shownWhileMeasuring = shownWhileMeasuring && display->Shape_Tick->isVisible();
        if (read >= 3) {
            colours.push_back(display->Shape_Tick->fillColour());
        }
    });
    const std::vector<QColor> expected = {Qt::gray,  Qt::gray,  Qt::white, Qt::white,
                                          Qt::green, Qt::green, Qt::white};
    EXPECT_EQ(colours, expected);
    EXPECT_TRUE(shownWhileMeasuring);
    EXPECT_FALSE(display->Shape_Tick->isVisible());

    // A new run starts grey again.
    colours.clear();
    runMeasuring(4, [&](int read) {
        if (read >= 3) {
            colours.push_back(display->Shape_Tick->fillColour());
        }
    });
    EXPECT_EQ(colours, std::vector<QColor>({Qt::gray, Qt::gray}));
}

TEST_F(Loop235, CycleTimeShowsTheRealLengthAndTheSettingInTheLastCycle) {
    main->samplingTimeDisplay = 30;
    prepare();
    QStringList shown;
    runMeasuring(5, [&](int read) {
        if (read >= 3) {
            shown << display->LabelRepeatTimeVal->text();
        }
    });
    // One reading takes 50 ms, longer than the setting (the truncated counter difference
    // may come out a millisecond short).
    ASSERT_EQ(shown.size(), 3);
    for (const QString& text : shown) {
        EXPECT_TRUE(text == "50 mSek" || text == "49 mSek") << text.toStdString();
    }
    EXPECT_EQ(display->LabelRepeatTimeVal->text(), "30 mSek");

    main->samplingTimeDisplay = 200;
    shown.clear();
    const double startMs = time.clock.nowMs();
    runMeasuring(5, [&](int read) {
        if (read >= 3) {
            shown << display->LabelRepeatTimeVal->text();
        }
    });
    EXPECT_EQ(shown, QStringList({"200 mSek", "200 mSek", "200 mSek"}));
    // Start's range command (250 ms), the first reading, three cycles of 200 ms and the
    // cycle Break ends right after its reading.
    EXPECT_NEAR(time.clock.nowMs() - startMs, 250 + 50 + 3 * 200 + 50, 1.0);

    // A negative setting (a hand-edited file) measures as 0 does and stays as it is.
    main->samplingTimeDisplay = -5;
    const double negativeStartMs = time.clock.nowMs();
    runMeasuring(5, [](int) {});
    EXPECT_LT(time.clock.nowMs() - negativeStartMs, 1000.0);
    EXPECT_EQ(display->LabelRepeatTimeVal->text(), "0 mSek");
    EXPECT_EQ(main->samplingTimeDisplay, -5);
}

TEST_F(Loop235, StartAfterBreakRunsANestedLoopThatOneBreakEnds) {
    prepare();
    bool innerStarted = false;
    bool innerEnded = false;
    runMeasuring(-1, [&](int read) {
        if (read == 4) {
            post([&] {
                display->BitBtn_breakClick();
                innerStarted = true;
                display->BitBtn_startClick();
                innerEnded = true;
            });
        }
        if (read == 10) {
            display->BitBtn_breakClick();
        }
    });
    EXPECT_TRUE(innerStarted);
    EXPECT_TRUE(innerEnded);
    // Outer loop: readings 1 to 4; inner loop: 5 to 10. Nothing ran after the one Break.
    EXPECT_EQ(valueReads, 10);
    EXPECT_EQ(rangeWrites(), std::vector<int>(4, 0x40));
    EXPECT_TRUE(display->BitBtn_start->isEnabled());
    EXPECT_FALSE(display->Shape_Tick->isVisible());
}

TEST_F(Loop235, LostConnectionWhileMeasuringEndsTheProgram) {
    prepare();
    const int code = exitCodeOf([&] {
        runMeasuring(50, [&](int read) {
            if (read == 4) {
                sim.unplug();
            }
        });
    });
    EXPECT_EQ(code, -1);
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown().last().text, "No connection to the USB device! Error no = -4");
    EXPECT_EQ(dialogs.shown().last().caption, "E R R O R occurred");
    EXPECT_EQ(valueReads, 4);
}

TEST_F(Loop235, NoInstrumentAtStartEndsTheProgram) {
    prepare();
    sim.unplug();
    EXPECT_EQ(exitCodeOf([&] { display->BitBtn_startClick(); }), -1);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown().last().text, "No connection to the USB device! ");
    EXPECT_EQ(dialogs.shown().last().caption, " E R R O R");
}

TEST_F(Loop235, MinimumDepictionRaisesTheAlarmInsideTheBand) {
    main->displayDepiction = 1;
    main->limit = 50;
    prepare();
    // 2kV/m range: 400 counts are 0.4 kV/m, inside the band up to 1.0 kV/m.
    sim.setValues({0, 400, 1500, 300, 300, 300});
    std::vector<bool> red;
    runMeasuring(6, [&](int read) {
        if (read >= 3) {
            red.push_back(isRed(display->Label_measuredValue));
        }
    });
    EXPECT_EQ(red, std::vector<bool>({true, false, true, true}));
    EXPECT_EQ(sound.plays(), 4);
    EXPECT_EQ(display->GroupBox_minValue->title(), "neg. minimum -1.0kV/m");
    EXPECT_EQ(display->GroupBox_maxValue->title(), "Pos. minimum 1.0kV/m");
    EXPECT_EQ(display->Label_pos_maxValue->text(), "0.30");
    EXPECT_EQ(display->Label_neg_maxValue->text(), "0");
    EXPECT_EQ(display->measurementRecord.recPosExtreme, "0.30");
    EXPECT_EQ(display->measurementRecord.recValue, "0.30");
}

TEST_F(Loop235, DistanceModeCaptionNamesTheDistance) {
    prepare();
    display->RadioGroup_Mode->setItemIndex(3);
    display->ScrollBar_distance->setValue(20);
    sim.setValues({0, 1000});
    runMeasuring(3);
    // 235 at 20 mm, smallest item 40V: 1000 counts are 20 V.
    EXPECT_EQ(display->GroupBox_Measuredvalue->title(),
              "Measured value  Range = 40V   Mode = Voltmeter dist. 20mm");
    EXPECT_EQ(display->measurementRecord.recRange, "40V");
    EXPECT_EQ(display->measurementRecord.recDistance, "20");
    EXPECT_EQ(display->Label_measuredValue->text(), "20.0");
}

// Start, Break, Reset, Back, Save Data, Setup, the distance bar (enabled, then shown), the
// mode and the range group.
using ControlStates = std::array<bool, 10>;

ControlStates controlStates(const TFormDisplay& d) {
    return {d.BitBtn_start->isEnabled(),       d.BitBtn_break->isEnabled(),
            d.BitBtn_reset->isEnabled(),       d.BitBtn_back->isEnabled(),
            d.BitBtnSavedata->isEnabled(),     d.BitBtn_setup->isEnabled(),
            d.ScrollBar_distance->isEnabled(), d.ScrollBar_distance->isVisible(),
            d.RadioGroup_Mode->isEnabled(),    d.RadioGroup_Range->isEnabled()};
}

TEST_F(Loop235, ControlsFollowTheMeasuringStates) {
    prepare();
    display->RadioGroup_Mode->setItemIndex(3);  // the distance voltmeter shows the bar
    const ControlStates prepared = controlStates(*display);
    ControlStates measuring{};
    ControlStates windingDown{};
    runMeasuring(-1, [&](int read) {
        if (read == 3) {
            measuring = controlStates(*display);
            post([&] {
                display->BitBtn_breakClick();
                windingDown = controlStates(*display);
            });
        }
    });
    const ControlStates stopped = controlStates(*display);

    EXPECT_EQ(prepared, (ControlStates{1, 0, 1, 1, 0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(measuring, (ControlStates{0, 1, 1, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(windingDown, (ControlStates{1, 1, 1, 1, 1, 1, 0, 1, 1, 1}));
    EXPECT_EQ(stopped, (ControlStates{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

// Readings whose range byte names no range: automatic ranging, or a raw byte.
class NoRangeLoop : public DisplayTestOf<235>, public ::testing::WithParamInterface<int> {};

TEST_P(NoRangeLoop, HoldsTheValueAndSaysWhyUntilStartOrARangeReported) {
    prepare();
    sim.setValues({1000});
    runMeasuring(7, [&](int read) {
        if (read == 3) {
            post([&] {
                display->RadioGroup_Range->setItemIndex(4);  // "Autorange": nothing is forced
                sim.setReportedRange(GetParam());
            });
        }
    });
    EXPECT_TRUE(display->Label_No_Range_D->isVisible());
    EXPECT_EQ(display->Label_measuredValue->text(), "1.00");

    display->RadioGroup_Range->setItemIndex(0);
    sim.setReportedRange(std::nullopt);
    sim.setValues({1500});
    bool shownAtStart = true;
    runMeasuring(4, [&](int read) {
        shownAtStart = read == 1 ? display->Label_No_Range_D->isVisible() : shownAtStart;
    });
    EXPECT_FALSE(shownAtStart);
    EXPECT_FALSE(display->Label_No_Range_D->isVisible());
    EXPECT_EQ(display->Label_measuredValue->text(), "1.50");
}

INSTANTIATE_TEST_SUITE_P(RangeBytes, NoRangeLoop, ::testing::Values(0x50, 0x60));
