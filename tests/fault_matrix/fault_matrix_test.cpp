// Every procedure that talks to the instrument, under every fault of the table in
// fault_cells.cpp: the instrument vanishing after each number of transfers, and each register
// failing, answering short or timing out. Each cell checks the specified outcome, that the
// procedure ends (bounded in simulated and in real time), that SETUP.INI stays byte-identical
// unless the operator stored something, and that the record file is only ever appended to;
// also a save onto a really full disk, for SETUP.INI and for the record file.

#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/main_form_data.h"
#include "app/radio_group.h"
#include "chart/chart_widget.h"
#include "device/measurement_decoding.h"
#include "measure/device_modes.h"
#include "settings/ini_file.h"
#include "settings/settings_file_path.h"
#include "tests/fault_matrix/fault_cells.h"
#include "tests/support/full_filesystem.h"
#include "tests/windows/window_fixture.h"

using Kind = ScriptedOperatorDialogs::Kind;

namespace {

// Simulated time a cell may take before it counts as hanging; the longest specified run is a
// zero adjustment that gives up waiting for the store (about 32 s).
constexpr double simulatedLimitMs = 120000.0;
constexpr qint64 realLimitMs = 10000;
// Transfers a cell may make before it counts as a loop that does not end.
constexpr int transferLimit = 400;

const QByteArray knownSettings =
    "[Display]\r\nDisplayDepiction=0\r\nLimit=50\r\nDataDirectory=/nonexistent/records/\r\n"
    "\r\n[Sampling]\r\nSamplingTimeDisplay=500\r\nSamplingTimeChart=200\r\n";
const QByteArray recordPrefix =
    "Device type;Serial number;Date;Time;SW version;Mode;Range;Distance;Measured value;"
    "Neg. max.;Pos. max.;Unit;Comment\r\n"
    "Zalvo 235;12340417;01.01.2024;12:00:00;133;E-Fieldmeter;2kV/m;;0.10;0;0.10;kV/m;old\r\n";
const QString comment = QStringLiteral("after the fault");

// Simulated time that calls for help when a procedure runs too long, first by acting as the
// operator who gives up (Break, Cancel), then, should that not end it, by unwinding.
class GuardedClock : public SimulatedClock {
public:
    struct Runaway {};

    void sleepMs(int milliseconds) override {
        SimulatedClock::sleepMs(milliseconds);
        check();
    }
    void advanceMs(double milliseconds) override {
        SimulatedClock::advanceMs(milliseconds);
        check();
    }

    std::function<void()> giveUp;
    bool overran = false;
    QElapsedTimer real;

private:
    // Giving up gets as long again to take effect.
    void check() {
        const int limits = overran ? 2 : 1;
        if (nowMs() <= limits * simulatedLimitMs && real.elapsed() <= limits * realLimitMs) {
            return;
        }
        if (overran) {
            throw Runaway{};
        }
        overran = true;
        if (giveUp) {
            giveUp();
        }
    }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// SETUP.INI without its DataDirectory line, which a save rewrites.
QList<QByteArray> linesBesideDataDirectory(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.trimmed().startsWith("DataDirectory=")) {
            lines.append(line.trimmed());
        }
    }
    return lines;
}

bool isLoop(Procedure procedure) {
    return procedure == Procedure::DisplayLoop || procedure == Procedure::ChartLoop ||
           procedure == Procedure::SaveAfterMeasuring;
}

}  // namespace

class FaultMatrix : public WindowTest, public ::testing::WithParamInterface<Cell> {
protected:
    FaultMatrix() : WindowTest(GetParam().deviceType) {}

    void SetUp() override {
        ASSERT_TRUE(records.isValid());
        recordPath = records.filePath(QStringLiteral("records.CSV"));
        writeFile(recordPath, recordPrefix);
        writeFile(settingsFilePath(), knownSettings);
        WindowTest::SetUp();
        clock.real.start();
        setProgramClock(&clock);
    }

    void TearDown() override {
        sim.setTransferObserver(nullptr);
        setProgramClock(&time.clock);
        WindowTest::TearDown();
        QFile::remove(settingsFilePath());
    }

    // Brings the program, fault-free, to where the operator starts the procedure.
    void bringToStart(Procedure procedure) {
        if (procedure == Procedure::DeviceInfo) {
            return;
        }
        identify();
        if (procedure == Procedure::DisplayLoop || procedure == Procedure::SaveAfterMeasuring) {
            main->Button_Start_DisplayClick();
        } else if (procedure == Procedure::ChartLoop) {
            main->Button_Start_ChartClick();
        }
        sim.clearTransfers();
        dialogs.clearShown();
    }

    void armFault(const Cell& cell) {
        switch (cell.fault) {
            case Fault::Absent:
                sim.unplug();
                break;
            case Fault::VanishAfter:
                sim.unplugAfter(cell.transfers);
                break;
            case Fault::Glitch:
                sim.replugAfterMs(glitchMs);
                sim.unplugAfter(cell.transfers);
                break;
            case Fault::Fail:
                sim.failRegister(cell.reg, cell.count, stallError);
                break;
            case Fault::Short:
                sim.shortRegister(cell.reg, cell.count, cell.bytes);
                break;
            case Fault::Timeout:
                sim.timeoutRegister(cell.reg, cell.count);
                break;
            case Fault::SettingsDiskFull:
            case Fault::RecordDiskFull:
                break;
        }
    }

    // Moves SETUP.INI (behind a link at its place) or the record file onto a disk that is
    // then filled; the test skips where no such disk can be made.
    void fillDiskUnder(Fault fault) {
        disk = std::make_unique<FullFilesystem>();
        if (!disk->isMounted()) {
            GTEST_SKIP() << disk->reason().toStdString();
        }
        if (fault == Fault::SettingsDiskFull) {
            const QString moved = disk->filePath(QStringLiteral("SETUP.INI"));
            writeFile(moved, knownSettings);
            ASSERT_TRUE(QFile::remove(settingsFilePath()));
            ASSERT_TRUE(QFile::link(moved, settingsFilePath()));
        } else {
            // A new file: an existing one could take a line into the free end of its last block.
            recordPath = disk->filePath(QStringLiteral("records.CSV"));
        }
        ASSERT_TRUE(disk->fill());
    }

    // The operator's part while the procedure runs: Break in the chosen cycle of a loop, OK on
    // the second adjusting reading; Break or Cancel when the procedure does not end.
    void actAsOperator(const Cell& cell) {
        const Procedure procedure = cell.procedure;
        std::function<void()> giveUp;
        if (procedure == Procedure::ChartLoop) {
            giveUp = [this] { chart->BitBtn_BreakClick(); };
        } else if (isLoop(procedure)) {
            giveUp = [this] { display->BitBtn_breakClick(); };
        } else if (procedure == Procedure::ZeroAdjustment) {
            giveUp = [this] { readUsb->BitBtnCancelClick(); };
        }
        clock.giveUp = [this, giveUp] {
            runaway = true;
            if (giveUp) {
                giveUp();
            }
        };
        sim.setTransferObserver([this, cell, procedure, giveUp](const TransferRecord& transfer) {
            if (++transfers > transferLimit && !runaway) {
                runaway = true;
                if (giveUp) {
                    giveUp();
                }
            }
            const bool afterRangeCommand = lastWasRangeCommand;
            lastWasRangeCommand = !transfer.in && transfer.value == reg::range;
            if (!transfer.in || transfer.value != reg::measuredValue) {
                return;
            }
            // The first value read is the one before the first adjusting reading.
            if (procedure == Procedure::ZeroAdjustment && ++valueReads == 3) {
                readUsb->ButtonZeroOKClickClick();
            }
            // A loop reads right after a range command only before its first cycle and when
            // it reads again after forcing a range; every other value read begins a cycle.
            if (isLoop(procedure) && !afterRangeCommand && ++cycles == breakCycle) {
                breakPressed = true;
                giveUp();
            }
            if (cell.ownRange && cycles == 1 && !afterRangeCommand) {
                // A large range other than the selected one, where the signal is no overrange.
                const int own = mainFormData().currentRange == 0 ? 1 : 0;
                sim.setReportedRange(rangeCodeFromIndex(static_cast<unsigned>(own)));
            }
            if (cell.ownRange && afterRangeCommand && cycles == 1) {
                shownBeforeReread = display->Label_measuredValue->text();
            }
        });
    }

    // Runs the procedure; the exit code it ended the program with, or 1000 when it did not.
    int run(Procedure procedure) {
        switch (procedure) {
            case Procedure::DeviceInfo:
                return exitCodeOf([this] { main->Button_Device_infoClick(); });
            case Procedure::DisplayPreparation:
                return exitCodeOf([this] { main->Button_Start_DisplayClick(); });
            case Procedure::ChartPreparation:
                return exitCodeOf([this] { main->Button_Start_ChartClick(); });
            case Procedure::DisplayLoop:
            case Procedure::SaveAfterMeasuring:
                return exitCodeOf([this] { display->BitBtn_startClick(); });
            case Procedure::ChartLoop:
                return exitCodeOf([this] { chart->BitBtn_StartClick(); });
            case Procedure::ZeroAdjustment:
                // The operator has turned the reading into tolerance.
                sim.setValues({12});
                dialogs.queueOkCancel(OperatorDialogs::Answer::Ok);
                return exitCodeOf([this] { main->Button_Start_ZeroClick(); });
        }
        return 1000;
    }

    void save() {
        dialogs.queueInput(comment);
        dialogs.queueSaveFile(recordPath);
        display->BitBtnSavedataClick();
    }

    void expectBox(int index, const QString& text, const QString& caption) {
        const auto& boxes = dialogs.shown();
        ASSERT_GT(boxes.size(), index);
        EXPECT_EQ(boxes[index].text, text);
        EXPECT_EQ(boxes[index].caption, caption);
    }

    // The boxes shown, for a failure message.
    std::string shownBoxes() const {
        std::string text;
        for (const auto& box : dialogs.shown()) {
            text += "[" + box.text.toStdString() + " / " + box.caption.toStdString() + "] ";
        }
        return text;
    }

    void expectOutcome(const Cell& cell, int exitCode) {
        SCOPED_TRACE("boxes: " + shownBoxes());
        const auto& boxes = dialogs.shown();
        const QString typeText = QString::number(cell.deviceType);
        switch (cell.expected) {
            case Outcome::NoConnectionExit:
                EXPECT_EQ(exitCode, -1);
                ASSERT_EQ(boxes.size(), 1);
                expectBox(0, QStringLiteral("No connection to the USB device! "),
                          QStringLiteral(" E R R O R"));
                break;
            case Outcome::LostInLoopExit: {
                EXPECT_EQ(exitCode, -1);
                ASSERT_EQ(boxes.size(), 1);
                const QString prefix =
                    QStringLiteral("No connection to the USB device! Error no = ");
                EXPECT_TRUE(boxes[0].text.startsWith(prefix)) << boxes[0].text.toStdString();
                bool isNumber = false;
                const int errorNo = boxes[0].text.mid(prefix.size()).toInt(&isNumber);
                EXPECT_TRUE(isNumber);
                EXPECT_LE(errorNo, 0);
                if (cell.errorNo) {
                    EXPECT_EQ(errorNo, *cell.errorNo);
                }
                EXPECT_EQ(boxes[0].caption, QStringLiteral("E R R O R occurred"));
                if (cell.ownRange) {
                    // The values were reset for the forced range; the failed re-read added none.
                    EXPECT_EQ(chart->Chart1->pointCount(), 0u);
                    EXPECT_EQ(display->Label_measuredValue->text(), shownBeforeReread);
                }
                break;
            }
            case Outcome::Identified:
                EXPECT_EQ(exitCode, 1000);
                EXPECT_TRUE(boxes.isEmpty());
                EXPECT_TRUE(main->GroupBox_Device_info->isVisibleTo(main.get()));
                EXPECT_EQ(main->deviceType, cell.deviceType);
                EXPECT_EQ(main->Label_Device_type->text(), QStringLiteral("Zalvo ") + typeText);
                EXPECT_EQ(main->Label_Serial_number->text(), QStringLiteral("12340417"));
                break;
            case Outcome::ConversionErrorBox:
                EXPECT_EQ(exitCode, 1000);
                ASSERT_EQ(boxes.size(), 1);
                EXPECT_EQ(boxes[0].kind, Kind::Error);
                EXPECT_TRUE(main->GroupBox_Device_info->isVisibleTo(main.get()));
                EXPECT_EQ(main->deviceType, 0);
                break;
            case Outcome::WindowShown: {
                EXPECT_EQ(exitCode, 1000);
                EXPECT_TRUE(boxes.isEmpty());
                EXPECT_TRUE(main->isHidden());
                EXPECT_FALSE(main->isEnabled());
                const bool isDisplay = cell.procedure == Procedure::DisplayPreparation;
                QWidget* window = isDisplay ? static_cast<QWidget*>(display.get()) : chart.get();
                EXPECT_TRUE(window->isVisible());
                EXPECT_TRUE(window->isEnabled());
                EXPECT_EQ(window->windowTitle(), (isDisplay ? QStringLiteral("Display Zalvo ")
                                                            : QStringLiteral("Chart Zalvo ")) +
                                                     typeText);
                RadioGroup* modes = isDisplay ? display->RadioGroup_Mode : chart->RadioGroup_Mode;
                RadioGroup* ranges =
                    isDisplay ? display->RadioGroup_Range : chart->RadioGroup_Range;
                EXPECT_EQ(modes->items(), modeItems(cell.deviceType));
                EXPECT_EQ(modes->itemIndex(), cell.modeItem.value_or(modes->itemIndex()));
                EXPECT_EQ(ranges->itemIndex(), cell.rangeItem.value_or(ranges->itemIndex()));
                break;
            }
            case Outcome::SaveRefused:
                EXPECT_EQ(exitCode, 1000);
                ASSERT_EQ(boxes.size(), 3);
                if (cell.fault == Fault::RecordDiskFull) {
                    expectBox(2, QStringLiteral("Can't create file : ") + recordPath,
                              QStringLiteral("Error"));
                } else {
                    EXPECT_EQ(boxes[2].kind, Kind::Error);
                    EXPECT_TRUE(boxes[2].text.startsWith(QStringLiteral("Cannot write file")))
                        << boxes[2].text.toStdString();
                }
                break;
            case Outcome::MeasuredUntilBreak:
            case Outcome::RecordSaved: {
                EXPECT_EQ(exitCode, 1000);
                const bool saved = cell.expected == Outcome::RecordSaved;
                EXPECT_EQ(dialogs.count(Kind::Input), saved ? 1 : 0);
                EXPECT_EQ(dialogs.count(Kind::SaveFile), saved ? 1 : 0);
                EXPECT_EQ(boxes.size(), saved ? 2 : 0);
                EXPECT_TRUE(breakPressed);
                const bool isChart = cell.procedure == Procedure::ChartLoop;
                EXPECT_TRUE(isChart ? chart->BitBtn_Start->isEnabled()
                                    : display->BitBtn_start->isEnabled());
                if (!isChart) {
                    EXPECT_TRUE(display->BitBtnSavedata->isEnabled());
                    break;
                }
                // One point per cycle; the instrument stays in the mode it was prepared in.
                EXPECT_EQ(chart->Chart1->pointCount(), static_cast<std::size_t>(breakCycle));
                EXPECT_EQ(sim.currentModeCode(), 0);
                break;
            }
            case Outcome::ZeroSucceeded:
                EXPECT_EQ(exitCode, 1000);
                ASSERT_EQ(boxes.size(), 2);
                EXPECT_EQ(boxes[0].caption, QStringLiteral("Instruction"));
                expectBox(1, QStringLiteral("Zero point calibration completed successfully."),
                          QStringLiteral("Note"));
                break;
            case Outcome::ZeroFailed:
                EXPECT_EQ(exitCode, 1000);
                ASSERT_EQ(boxes.size(), 3);
                EXPECT_EQ(boxes[0].caption, QStringLiteral("Instruction"));
                expectBox(
                    1,
                    QStringLiteral("Zero point calibration unsuccessful, is the red cover set up?"),
                    QStringLiteral("E R R O R"));
                expectBox(2, QStringLiteral("!! Zero point calibration not successfully !!"),
                          QStringLiteral("Error occurred !"));
                break;
            case Outcome::ZeroNotOpened:
                EXPECT_EQ(exitCode, 1000);
                ASSERT_EQ(boxes.size(), 1);
                expectBox(0, QStringLiteral("!! Zero point calibration not successfully !!"),
                          QStringLiteral("Error occurred !"));
                break;
        }
        if (cell.procedure == Procedure::ZeroAdjustment) {
            EXPECT_TRUE(main->isEnabled());
            EXPECT_TRUE(readUsb->isHidden());
        }
    }

    // The operator stored nothing but a record's directory; the record file only grew.
    void expectFiles(const Cell& cell, const QByteArray& settingsBefore) {
        const QByteArray settingsAfter = fileBytes(settingsFilePath());
        const QByteArray recordAfter = fileBytes(recordPath);
        if (cell.fault == Fault::RecordDiskFull) {
            // The record's directory was stored before the record could not be written.
            EXPECT_EQ(linesBesideDataDirectory(settingsAfter),
                      linesBesideDataDirectory(settingsBefore));
            EXPECT_FALSE(QFile::exists(recordPath));
            return;
        }
        if (cell.expected != Outcome::RecordSaved) {
            EXPECT_EQ(settingsAfter, settingsBefore);
            EXPECT_EQ(recordAfter, recordPrefix);
            return;
        }
        EXPECT_EQ(linesBesideDataDirectory(settingsAfter),
                  linesBesideDataDirectory(settingsBefore));
        EXPECT_EQ(readIniString(settingsFilePath(), QStringLiteral("Display"),
                                QStringLiteral("DataDirectory"), QString()),
                  records.path() + QLatin1Char('/'));
        ASSERT_TRUE(recordAfter.startsWith(recordPrefix));
        const QByteArray added = recordAfter.mid(recordPrefix.size());
        ASSERT_TRUE(added.endsWith("\r\n"));
        const QList<QByteArray> fields = added.chopped(2).split(';');
        ASSERT_EQ(fields.size(), 13) << added.toStdString();
        EXPECT_EQ(fields[0], "Zalvo 235");
        EXPECT_EQ(QString::fromLatin1(fields[8]), display->Label_measuredValue->text());
        EXPECT_EQ(QString::fromLatin1(fields[12]), comment);
    }

    QTemporaryDir records;
    QString recordPath;
    std::unique_ptr<FullFilesystem> disk;
    GuardedClock clock;
    int transfers = 0;
    int valueReads = 0;
    int cycles = 0;
    bool lastWasRangeCommand = false;
    bool breakPressed = false;
    QString shownBeforeReread;
    bool runaway = false;
};

TEST_P(FaultMatrix, Cell) {
    const Cell& cell = GetParam();
    bringToStart(cell.procedure);
    if (cell.fault == Fault::SettingsDiskFull || cell.fault == Fault::RecordDiskFull) {
        fillDiskUnder(cell.fault);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
    }
    const QByteArray settingsBefore = fileBytes(settingsFilePath());
    ASSERT_EQ(settingsBefore, knownSettings);
    const double simulatedStart = clock.nowMs();
    clock.real.start();
    armFault(cell);
    actAsOperator(cell);

    int exitCode = 1000;
    try {
        exitCode = run(cell.procedure);
        if ((cell.expected == Outcome::RecordSaved || cell.expected == Outcome::SaveRefused) &&
            exitCode == 1000) {
            save();
        }
    } catch (const GuardedClock::Runaway&) {
        FAIL() << "the procedure did not end when the operator gave up";
    }
    sim.setTransferObserver(nullptr);

    EXPECT_FALSE(runaway) << "the procedure did not end by itself: " << transfers << " transfers, "
                          << clock.nowMs() - simulatedStart << " ms simulated";
    expectOutcome(cell, exitCode);
    expectFiles(cell, settingsBefore);
}

INSTANTIATE_TEST_SUITE_P(Instrument, FaultMatrix, ::testing::ValuesIn(faultMatrix()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                             return cellName(info.param);
                         });
