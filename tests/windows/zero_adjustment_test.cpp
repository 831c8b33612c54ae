#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "device/measurement_decoding.h"
#include "window_fixture.h"

using Kind = ScriptedOperatorDialogs::Kind;
using Answer = OperatorDialogs::Answer;

namespace {

// Writes to the adjustment command register, in order.
std::vector<int> adjustCommands(const InstrumentSimulator& sim) {
    std::vector<int> commands;
    for (const auto& t : sim.transfers()) {
        if (!t.in && t.value == 0x30 && !t.data.isEmpty()) {
            commands.push_back(static_cast<unsigned char>(t.data[0]));
        }
    }
    return commands;
}

}  // namespace

class ZeroAdjustment : public WindowTestOf<235> {
protected:
    // Calls the action at every read of the measured value, with the count of reads so far.
    void onValueRead(std::function<void(int)> action) {
        sim.setTransferObserver([this, action, reads = 0](const TransferRecord& t) mutable {
            if (t.in && t.value == 0) {
                action(++reads);
            }
        });
    }

    // OK on the first reading of the adjusting loop (the second value read).
    void pressOkOnFirstReading() {
        onValueRead([this](int reads) {
            if (reads == 2) {
                readUsb->ButtonZeroOKClickClick();
            }
        });
    }

    int run() {
        dialogs.queueOkCancel(Answer::Ok);
        return readUsb->runZeroAdjustment();
    }

    QColor offsetColour() const { return readUsb->LabelOffset->palette().color(QPalette::Window); }
};

TEST_F(ZeroAdjustment, ReadingsUpToFiftyAreGreenAndAboveRed) {
    const struct {
        int counts;
        std::uint8_t status;
        QColor colour;
        const char* text;
    } cases[] = {{50, 0x00, QColor(0, 128, 0), "50.00"},
                 {50, 0x10, QColor(0, 128, 0), "-50.00"},
                 {51, 0x00, QColor(255, 0, 0), "51.00"},
                 {51, 0x10, QColor(255, 0, 0), "-51.00"}};
    for (const auto& c : cases) {
        sim.setValues({c.counts});
        sim.setStatus(c.status);
        QColor seen;
        QString shown;
        onValueRead([&](int reads) {
            if (reads == 3) {  // the first loop reading is on show now
                seen = offsetColour();
                shown = readUsb->LabelOffset->text();
                readUsb->BitBtnCancelClick();
            }
        });
        EXPECT_EQ(run(), -9);
        EXPECT_EQ(seen, c.colour) << c.text;
        EXPECT_EQ(shown, c.text);
    }
    EXPECT_TRUE(zeroReadingInTolerance(50.9));
    EXPECT_TRUE(zeroReadingInTolerance(-50.9));
    EXPECT_FALSE(zeroReadingInTolerance(51.0));
}

TEST_F(ZeroAdjustment, OkOnAGreenReadingStoresAndSucceeds) {
    sim.setValues({12});
    pressOkOnFirstReading();
    EXPECT_GT(run(), 0);
    EXPECT_EQ(adjustCommands(sim), (std::vector<int>{0x10, 0x10, 0x20, 0x20}));
    EXPECT_EQ(sim.rangeCode(), 0x40);
    EXPECT_EQ(main->currentRange, 3);
    ASSERT_EQ(dialogs.shown().size(), 1);  // only the instruction
    EXPECT_EQ(dialogs.shown()[0].text, "Put on the red cap onto the modulator system. ");
    EXPECT_EQ(dialogs.shown()[0].caption, "Instruction");
    EXPECT_EQ(readUsb->LabelOffset->text(), "Busy = 00");
    EXPECT_TRUE(readUsb->ButtonZeroOKClick->isEnabled());
    const QString memo = readUsb->MemoZero->toPlainText();
    EXPECT_TRUE(memo.contains("Range is set automaticly."));
    EXPECT_TRUE(memo.contains("Offset is set to zero"));
    EXPECT_TRUE(memo.contains("Waiting for Busy = 0"));
}

TEST_F(ZeroAdjustment, SuccessPathKeepsItsOrderAndPauses) {
    sim.setValues({12});
    bool okEnabledWhileStoring = true;
    QColor colourWhileStoring;
    sim.setTransferObserver([&, reads = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == reg::measuredValue && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (t.in && t.value == reg::adjustStatus) {
            okEnabledWhileStoring = readUsb->ButtonZeroOKClick->isEnabled();
            colourWhileStoring = offsetColour();
        }
    });
    EXPECT_GT(run(), 0);

    // The writes and the first reading, in order, with the time each was made.
    std::vector<std::pair<int, double>> steps;
    for (const auto& t : sim.transfers()) {
        if (!t.in && (t.value == reg::range || t.value == reg::adjustCommand)) {
            // Setting the range may take more than one write; the pause follows the last.
            if (t.value == reg::range && !steps.empty()) {
                steps.pop_back();
            }
            steps.emplace_back(static_cast<unsigned char>(t.data.at(0)), t.timeMs);
        }
        if (t.in && t.value == reg::measuredValue && steps.size() == 3) {
            steps.emplace_back(-1, t.timeMs);
        }
    }
    ASSERT_EQ(steps.size(), 6u);
    const int order[] = {0x40, 0x10, 0x10, -1, 0x20, 0x20};
    // Range, then 50 ms, offset to zero twice 50 ms apart, a second for the instrument to
    // settle before the first reading; the two store commands 10 ms apart.
    const double pauseBefore[] = {0, 50, 50, 1000, 0, 10};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].first, order[i]) << "step " << i;
        if (pauseBefore[i] > 0) {
            EXPECT_NEAR(steps[i].second - steps[i - 1].second, pauseBefore[i], 1) << "step " << i;
        }
    }
    EXPECT_FALSE(okEnabledWhileStoring);
    EXPECT_TRUE(readUsb->ButtonZeroOKClick->isEnabled());
    // After adjusting, the box is a text field again, in the text field colour.
    EXPECT_EQ(colourWhileStoring, readUsb->palette().color(QPalette::Base));
    EXPECT_EQ(offsetColour(), readUsb->palette().color(QPalette::Base));
    EXPECT_TRUE(readUsb->MemoZero->toPlainText().contains(
        "Make a zero adjust by the potentiometer on backside of the unit (The box color must be "
        "green), press the OK button when finish."));
}

TEST_F(ZeroAdjustment, ColourReturnsOneHundredMillisecondsBeforeTheStore) {
    sim.setValues({12});
    double lastTransfer = 0;
    double firstStore = 0;
    sim.setTransferObserver([&, reads = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == reg::measuredValue && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (!t.in && t.value == reg::adjustCommand && t.data.at(0) == 0x20) {
            firstStore = firstStore == 0 ? t.timeMs : firstStore;
        } else if (firstStore == 0) {
            lastTransfer = t.timeMs;
        }
    });
    EXPECT_GT(run(), 0);
    // The loop's own 100 ms after the last reading, then 100 ms with the colour restored.
    EXPECT_NEAR(firstStore - lastTransfer, 200, 1);
}

TEST_F(ZeroAdjustment, OkOnARedReadingStoresNothing) {
    sim.setValues({51});
    pressOkOnFirstReading();
    EXPECT_EQ(run(), -8);
    EXPECT_EQ(adjustCommands(sim), (std::vector<int>{0x10, 0x10}));
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[1].text,
              "Zero point calibration unsuccessful, is the red cover set up?");
    EXPECT_EQ(dialogs.shown()[1].caption, "E R R O R");
}

TEST_F(ZeroAdjustment, CancelInTheInstructionWritesNothing) {
    dialogs.queueOkCancel(Answer::Cancel);
    EXPECT_EQ(readUsb->runZeroAdjustment(), -9);
    for (const auto& t : sim.transfers()) {
        EXPECT_TRUE(t.in);
    }
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[1].text, "Zero point adjustment canceled !!");
    EXPECT_EQ(dialogs.shown()[1].caption, "Abort");
}

TEST_F(ZeroAdjustment, CancelWhileAdjustingKeepsTheWrittenOffset) {
    sim.setValues({5});
    onValueRead([&](int reads) {
        if (reads == 4) {
            readUsb->BitBtnCancelClick();
        }
    });
    EXPECT_EQ(run(), -9);
    EXPECT_EQ(adjustCommands(sim), (std::vector<int>{0x10, 0x10}));
    EXPECT_EQ(dialogs.shown().last().caption, "Abort");
}

TEST_F(ZeroAdjustment, ErrorStatusShowsItsBoxThenTheGeneralOne) {
    sim.setValues({0});
    sim.setAdjustStatuses({0xF1});
    pressOkOnFirstReading();
    EXPECT_EQ(run(), -8);
    EXPECT_EQ(readUsb->LabelOffset->text(), "Busy = F1");
    ASSERT_EQ(dialogs.shown().size(), 3);
    EXPECT_EQ(dialogs.shown()[1].text, "Can not writing parameter to EEProm !");
    EXPECT_EQ(dialogs.shown()[1].caption, "Error F1 occured");
    EXPECT_EQ(dialogs.shown()[2].caption, "E R R O R");
}

TEST_F(ZeroAdjustment, OtherErrorStatusesHaveTheirOwnBoxes) {
    const struct {
        std::uint8_t status;
        const char* text;
        const char* caption;
    } cases[] = {
        {0xF0, "Zero adjustment not possible, is the red cover set up?", "Error F0 occured "},
        {0xF2, "Can not writing offset value to EEProm !", "Error F2 occured"}};
    for (const auto& [status, text, caption] : cases) {
        dialogs.clearShown();
        sim.setValues({0});
        sim.setAdjustStatuses({status});
        pressOkOnFirstReading();
        EXPECT_EQ(run(), -8);
        ASSERT_EQ(dialogs.shown().size(), 3);
        EXPECT_EQ(dialogs.shown()[1].text, text);
        EXPECT_EQ(dialogs.shown()[1].caption, caption);
    }
}

TEST_F(ZeroAdjustment, BusyStatusIsPolledOncePerSecondUntilDone) {
    sim.setValues({0});
    sim.setAdjustStatuses({0x01, 0x01, 0x00});
    std::vector<double> pollTimes;
    std::vector<QString> shownBeforePoll;
    sim.setTransferObserver([&, reads = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == 0 && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (t.in && t.value == 0x31) {
            pollTimes.push_back(t.timeMs);
            shownBeforePoll.push_back(readUsb->LabelOffset->text());
        }
    });
    const int result = run();
    EXPECT_GT(result, 0);
    ASSERT_EQ(pollTimes.size(), 3u);
    EXPECT_NEAR(pollTimes[1] - pollTimes[0], 1000, 5);
    EXPECT_NEAR(pollTimes[2] - pollTimes[1], 1000, 5);
    EXPECT_EQ(shownBeforePoll[1], "Busy = 01");
    EXPECT_EQ(shownBeforePoll[2], "Busy = 01");
    EXPECT_EQ(readUsb->LabelOffset->text(), "Busy = 00");
    EXPECT_GE(time.clock.nowMs() - pollTimes[2], 1000);  // waited after the last poll too
}

TEST_F(ZeroAdjustment, FailedFirstStoreWriteSendsNoSecondButStillPolls) {
    sim.setValues({0});
    pressOkOnFirstReading();
    sim.setTransferObserver([&, reads = 0, offsetWrites = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == 0 && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (!t.in && t.value == 0x30 && ++offsetWrites == 2) {
            sim.failRegister(0x30, 1, -9);
        }
    });
    run();
    EXPECT_EQ(adjustCommands(sim), (std::vector<int>{0x10, 0x10}));
    int storeWrites = 0;
    int polls = 0;
    for (const auto& t : sim.transfers()) {
        storeWrites += !t.in && t.value == 0x30 && t.result < 0;
        polls += t.in && t.value == 0x31;
    }
    EXPECT_EQ(storeWrites, 1);
    EXPECT_GE(polls, 1);
}

TEST_F(ZeroAdjustment, InstrumentThatStaysBusyFailsAfterTheLimit) {
    sim.setValues({0});
    sim.setAdjustStatuses({0x01});
    pressOkOnFirstReading();
    double storeStart = 0;
    sim.setTransferObserver([&, reads = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == 0 && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (t.in && t.value == 0x31 && storeStart == 0) {
            storeStart = t.timeMs;
        }
    });
    EXPECT_EQ(run(), -8);
    const double waited = time.clock.nowMs() - storeStart;
    EXPECT_GE(waited, TFormReadUSB::storeWaitLimitSeconds * 1000);
    EXPECT_LT(waited, TFormReadUSB::storeWaitLimitSeconds * 1000 + 2000);
    EXPECT_EQ(dialogs.shown().last().caption, "E R R O R");
}

TEST_F(ZeroAdjustment, CancelEndsTheBusyWait) {
    sim.setValues({0});
    sim.setAdjustStatuses({0x01});
    sim.setTransferObserver([&, reads = 0, polls = 0](const TransferRecord& t) mutable {
        if (t.in && t.value == 0 && ++reads == 2) {
            readUsb->ButtonZeroOKClickClick();
        }
        if (t.in && t.value == 0x31 && ++polls == 2) {
            readUsb->BitBtnCancelClick();
        }
    });
    EXPECT_EQ(run(), -9);
    EXPECT_EQ(dialogs.shown().last().caption, "Abort");
    EXPECT_LT(time.clock.nowMs(), 10000);
}

TEST_F(ZeroAdjustment, FailingReadingEndsTheAdjustmentAsFailed) {
    sim.setValues({0});
    onValueRead([&](int reads) {
        if (reads == 2) {
            sim.unplug();
        }
    });
    EXPECT_EQ(run(), -8);
    EXPECT_EQ(adjustCommands(sim), (std::vector<int>{0x10, 0x10}));
}

TEST_F(ZeroAdjustment, InstrumentThatCannotBeOpenedGivesZeroWithoutBoxes) {
    sim.unplug();
    EXPECT_EQ(readUsb->runZeroAdjustment(), 0);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}
