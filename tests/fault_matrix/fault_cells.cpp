#include "tests/fault_matrix/fault_cells.h"

#include "device/measurement_decoding.h"

namespace {

using P = Procedure;
using O = Outcome;

Cell absent(P procedure, int type, O expected) {
    Cell cell;
    cell.procedure = procedure;
    cell.deviceType = type;
    cell.fault = Fault::Absent;
    cell.expected = expected;
    return cell;
}

Cell vanish(P procedure, int type, int transfers, O expected) {
    Cell cell = absent(procedure, type, expected);
    cell.fault = Fault::VanishAfter;
    cell.transfers = transfers;
    return cell;
}

Cell glitch(P procedure, int type, int transfers, O expected) {
    Cell cell = vanish(procedure, type, transfers, expected);
    cell.fault = Fault::Glitch;
    return cell;
}

Cell fail(P procedure, int type, int reg, int count, O expected) {
    Cell cell = absent(procedure, type, expected);
    cell.fault = Fault::Fail;
    cell.reg = reg;
    cell.count = count;
    return cell;
}

Cell shortAnswer(P procedure, int type, int reg, int count, int bytes, O expected) {
    Cell cell = fail(procedure, type, reg, count, expected);
    cell.fault = Fault::Short;
    cell.bytes = bytes;
    return cell;
}

Cell timeout(P procedure, int type, int reg, int count, O expected) {
    Cell cell = fail(procedure, type, reg, count, expected);
    cell.fault = Fault::Timeout;
    return cell;
}

Cell fullDisk(P procedure, Fault fault) {
    Cell cell = absent(procedure, 235, O::SaveRefused);
    cell.fault = fault;
    return cell;
}

Cell withError(Cell cell, int errorNo) {
    cell.errorNo = errorNo;
    return cell;
}

Cell onOwnRange(Cell cell) {
    cell.ownRange = true;
    return cell;
}

Cell withItems(Cell cell, int modeItem, int rangeItem) {
    cell.modeItem = modeItem;
    cell.rangeItem = rangeItem;
    return cell;
}

// A lost connection is fatal in Device info; the battery read after the identity is not
// examined (an instrument that vanishes after the identity leaves the battery state open).
// 235: identity, then value, status, range. 115: identity only.
void deviceInfo(std::vector<Cell>& cells) {
    for (int type : {235, 115}) {
        cells.push_back(absent(P::DeviceInfo, type, O::NoConnectionExit));
        const int total = type == 115 ? 1 : 4;
        for (int k = 0; k <= 2 * total; ++k) {
            cells.push_back(
                vanish(P::DeviceInfo, type, k, k == 0 ? O::NoConnectionExit : O::Identified));
        }
    }
    const P d = P::DeviceInfo;
    cells.push_back(fail(d, 235, reg::identity, 1, O::NoConnectionExit));
    cells.push_back(shortAnswer(d, 235, reg::identity, 1, 0, O::NoConnectionExit));
    // One byte counts as an answer: the device type is three zero characters, no number.
    cells.push_back(shortAnswer(d, 235, reg::identity, 1, 1, O::ConversionErrorBox));
    cells.push_back(timeout(d, 235, reg::identity, 1, O::NoConnectionExit));
    for (int reg : {reg::measuredValue, reg::status, reg::range}) {
        cells.push_back(fail(d, 235, reg, 1, O::Identified));
        cells.push_back(shortAnswer(d, 235, reg, 1, 0, O::Identified));
    }
    cells.push_back(shortAnswer(d, 235, reg::measuredValue, 1, 1, O::Identified));
    cells.push_back(timeout(d, 235, reg::measuredValue, 1, O::Identified));
}

// The preparations show their window whatever the instrument does. A mode read that cannot
// open, or whose two reads both fail, leaves mode index 99: the last mode item. Only the
// failing reads decode the preset 99 to letter 'E', whose range items are just "Autorange"
// (item 0) in the display window and none at all in the chart. A range read that cannot open
// leaves currentRange as it was; a failed sample, status or range read reports range index 0,
// the largest range, whose item is 3.
void displayPreparation(std::vector<Cell>& cells) {
    const P d = P::DisplayPreparation;
    // 235: mode read twice, mode written twice (the mode item's click), value, status, range.
    cells.push_back(withItems(absent(d, 235, O::WindowShown), 3, 0));
    for (int k = 0; k <= 14; ++k) {
        const bool rangeReadFails = k >= 4 && k <= 6;
        cells.push_back(
            withItems(vanish(d, 235, k, O::WindowShown), k == 0 ? 3 : 0, rangeReadFails ? 3 : 0));
    }
    // 115: value, status, range; the mode is not asked.
    cells.push_back(withItems(absent(d, 115, O::WindowShown), 0, 0));
    for (int k = 0; k <= 6; ++k) {
        cells.push_back(withItems(vanish(d, 115, k, O::WindowShown), 0, k <= 2 ? 3 : 0));
    }
    cells.push_back(withItems(fail(d, 235, reg::mode, 1, O::WindowShown), 0, 0));
    cells.push_back(withItems(fail(d, 235, reg::mode, 2, O::WindowShown), 3, 0));
    cells.push_back(withItems(fail(d, 235, reg::mode, 4, O::WindowShown), 3, 0));
    cells.push_back(withItems(shortAnswer(d, 235, reg::mode, 2, 0, O::WindowShown), 3, 0));
    cells.push_back(withItems(timeout(d, 235, reg::mode, 2, O::WindowShown), 3, 0));
    for (int reg : {reg::measuredValue, reg::status, reg::range}) {
        cells.push_back(withItems(fail(d, 235, reg, 1, O::WindowShown), 0, 3));
        cells.push_back(withItems(shortAnswer(d, 235, reg, 1, 0, O::WindowShown), 0, 3));
    }
    cells.push_back(withItems(shortAnswer(d, 235, reg::measuredValue, 1, 1, O::WindowShown), 0, 0));
    cells.push_back(withItems(timeout(d, 235, reg::measuredValue, 1, O::WindowShown), 0, 3));
}

// As the display window's, except that currentRange starts at 0 on a fresh main window, so
// a range read that cannot open also ends on item 3; and 115 is put on range index 3 instead
// of being asked.
void chartPreparation(std::vector<Cell>& cells) {
    const P c = P::ChartPreparation;
    // 235: mode read twice, value, status, range, then the mode written twice.
    cells.push_back(withItems(absent(c, 235, O::WindowShown), 3, 3));
    for (int k = 0; k <= 14; ++k) {
        const int rangeItem = k == 0 ? -1 : k <= 4 ? 3 : 0;
        cells.push_back(withItems(vanish(c, 235, k, O::WindowShown), k == 0 ? 3 : 0, rangeItem));
    }
    // 115: the range written twice.
    cells.push_back(withItems(absent(c, 115, O::WindowShown), 0, 0));
    for (int k = 0; k <= 4; ++k) {
        cells.push_back(withItems(vanish(c, 115, k, O::WindowShown), 0, 0));
    }
    cells.push_back(withItems(fail(c, 115, reg::range, 1, O::WindowShown), 0, 0));
    cells.push_back(withItems(shortAnswer(c, 115, reg::range, 1, 0, O::WindowShown), 0, 0));

    cells.push_back(withItems(fail(c, 235, reg::mode, 1, O::WindowShown), 0, 0));
    cells.push_back(withItems(fail(c, 235, reg::mode, 2, O::WindowShown), 3, -1));
    cells.push_back(withItems(fail(c, 235, reg::mode, 4, O::WindowShown), 3, -1));
    cells.push_back(withItems(shortAnswer(c, 235, reg::mode, 2, 0, O::WindowShown), 3, -1));
    cells.push_back(withItems(timeout(c, 235, reg::mode, 2, O::WindowShown), 3, -1));
    for (int reg : {reg::measuredValue, reg::status, reg::range}) {
        cells.push_back(withItems(fail(c, 235, reg, 1, O::WindowShown), 0, 3));
        cells.push_back(withItems(shortAnswer(c, 235, reg, 1, 0, O::WindowShown), 0, 3));
    }
    cells.push_back(withItems(shortAnswer(c, 235, reg::measuredValue, 1, 1, O::WindowShown), 0, 0));
    cells.push_back(withItems(timeout(c, 235, reg::measuredValue, 1, O::WindowShown), 0, 3));
}

// Start: range written twice, the first reading (value, status, range; not examined); each
// cycle: value, status, range. A failing cycle reading names its result: the transfer's own
// error, or 0 when the instrument could no longer be opened.
void measuringLoop(std::vector<Cell>& cells, P procedure, bool saveAfterwards) {
    const int startTransfers = 5;
    const int total = startTransfers + 3 * breakCycle;
    const O survived = saveAfterwards ? O::RecordSaved : O::MeasuredUntilBreak;
    cells.push_back(absent(procedure, 235, O::NoConnectionExit));
    for (int k = 0; k <= total + 3; ++k) {
        if (saveAfterwards && k % 4 != 0 && k != total - 1 && k != total) {
            continue;
        }
        if (k >= total) {
            cells.push_back(vanish(procedure, 235, k, survived));
        } else {
            const int errorNo = k < startTransfers ? 0 : noDeviceError;
            cells.push_back(withError(vanish(procedure, 235, k, O::LostInLoopExit), errorNo));
        }
    }
    // The first reading's result is not examined; the register's next failure is in cycle 1.
    const O lost = O::LostInLoopExit;
    cells.push_back(fail(procedure, 235, reg::measuredValue, 1, survived));
    cells.push_back(withError(fail(procedure, 235, reg::measuredValue, 2, lost), stallError));
    cells.push_back(withError(fail(procedure, 235, reg::status, 2, lost), stallError));
    cells.push_back(timeout(procedure, 235, reg::measuredValue, 1, survived));
    if (saveAfterwards) {
        cells.push_back(fullDisk(procedure, Fault::SettingsDiskFull));
        cells.push_back(fullDisk(procedure, Fault::RecordDiskFull));
        return;
    }
    // Cycle 1 forces the range (written twice) and reads again; a re-read that fails is a
    // lost instrument, and nothing of it is shown.
    for (int k = startTransfers + 5; k <= startTransfers + 7; ++k) {
        cells.push_back(withError(onOwnRange(vanish(procedure, 235, k, lost)), noDeviceError));
    }
    cells.push_back(withError(shortAnswer(procedure, 235, reg::measuredValue, 2, 0, lost), 0));
    cells.push_back(shortAnswer(procedure, 235, reg::measuredValue, 2, 1, survived));
    cells.push_back(withError(timeout(procedure, 235, reg::measuredValue, 2, lost), timeoutError));
    cells.push_back(fail(procedure, 235, reg::status, 1, survived));
    cells.push_back(withError(shortAnswer(procedure, 235, reg::status, 2, 0, lost), 0));
    cells.push_back(withError(fail(procedure, 235, reg::status, 50, lost), stallError));
    // The range register also takes Start's range command: the first failure stops its repeat.
    cells.push_back(fail(procedure, 235, reg::range, 2, survived));
    cells.push_back(withError(fail(procedure, 235, reg::range, 3, lost), stallError));
    cells.push_back(withError(shortAnswer(procedure, 235, reg::range, 3, 0, lost), 0));
}

// 235 Start: range written twice, the first reading, the mode read twice; each cycle: value,
// status, range, mode read twice. The mode reads are not examined: a loss there shows in the
// next cycle's reading, or not at all in the cycle that Break ends. 115 reads no mode.
void chartLoop(std::vector<Cell>& cells) {
    const P c = P::ChartLoop;
    for (int type : {235, 115}) {
        const int perCycle = type == 115 ? 3 : 5;
        const int startTransfers = type == 115 ? 5 : 7;
        const int total = startTransfers + perCycle * breakCycle;
        cells.push_back(absent(c, type, O::NoConnectionExit));
        for (int k = 0; k <= total + perCycle - 1; ++k) {
            if (k >= total) {
                cells.push_back(vanish(c, type, k, O::MeasuredUntilBreak));
                continue;
            }
            if (k < startTransfers) {
                cells.push_back(withError(vanish(c, type, k, O::LostInLoopExit), 0));
                continue;
            }
            const int inCycle = (k - startTransfers) % perCycle;
            const bool lastCycle = (k - startTransfers) / perCycle == breakCycle - 1;
            if (inCycle < 3) {
                cells.push_back(withError(vanish(c, type, k, O::LostInLoopExit), noDeviceError));
            } else if (lastCycle) {
                cells.push_back(vanish(c, type, k, O::MeasuredUntilBreak));
            } else {
                cells.push_back(withError(vanish(c, type, k, O::LostInLoopExit), 0));
            }
        }
    }
    const O lost = O::LostInLoopExit;
    const O ran = O::MeasuredUntilBreak;
    // Back within the cycle: lost for a reading, but a mode that could not be read is no
    // reason to switch modes (which would clear the recording and command the instrument).
    cells.push_back(withError(glitch(c, 235, 5, lost), 0));  // the next reading follows at once
    cells.push_back(withError(glitch(c, 235, 7, lost), noDeviceError));
    for (int k : {10, 11, 15, 16, 20}) {
        cells.push_back(glitch(c, 235, k, ran));
    }
    // Cycle 1 forces the range (written twice) and reads again; a re-read that fails is a
    // lost instrument, and nothing of it is plotted.
    for (int k = 12; k <= 14; ++k) {
        cells.push_back(withError(onOwnRange(vanish(c, 235, k, lost)), noDeviceError));
    }
    cells.push_back(fail(c, 235, reg::measuredValue, 1, ran));
    cells.push_back(withError(fail(c, 235, reg::measuredValue, 2, lost), stallError));
    cells.push_back(withError(shortAnswer(c, 235, reg::measuredValue, 2, 0, lost), 0));
    cells.push_back(shortAnswer(c, 235, reg::measuredValue, 2, 1, ran));
    cells.push_back(withError(timeout(c, 235, reg::measuredValue, 2, lost), timeoutError));
    cells.push_back(fail(c, 235, reg::status, 1, ran));
    cells.push_back(withError(fail(c, 235, reg::status, 2, lost), stallError));
    cells.push_back(withError(shortAnswer(c, 235, reg::status, 2, 0, lost), 0));
    cells.push_back(fail(c, 235, reg::range, 2, ran));
    cells.push_back(withError(fail(c, 235, reg::range, 3, lost), stallError));
    cells.push_back(withError(shortAnswer(c, 235, reg::range, 3, 0, lost), 0));
    // A mode that cannot be read moves the selection to the last item; the recording goes on.
    cells.push_back(fail(c, 235, reg::mode, 1, ran));
    cells.push_back(fail(c, 235, reg::mode, 2, ran));
    cells.push_back(fail(c, 235, reg::mode, 100, ran));
    cells.push_back(shortAnswer(c, 235, reg::mode, 2, 0, ran));
    cells.push_back(timeout(c, 235, reg::mode, 4, ran));
}

// Range written twice, the offset command written twice, the first reading, two adjusting
// readings (OK pressed at the second), the store command written twice, the status polled
// three times (busy, busy, done). Every failure before the last poll ends in the failure
// boxes: a failed reading ends the adjusting, and a store that gets no "done" gives up.
void zeroAdjustment(std::vector<Cell>& cells) {
    const P z = P::ZeroAdjustment;
    const int total = 18;
    cells.push_back(absent(z, 235, O::ZeroNotOpened));
    for (int k = 0; k <= total + 3; ++k) {
        cells.push_back(vanish(z, 235, k, k < total ? O::ZeroFailed : O::ZeroSucceeded));
    }
    // The range and offset commands are not examined; the first reading is.
    cells.push_back(fail(z, 235, reg::range, 1, O::ZeroSucceeded));
    cells.push_back(fail(z, 235, reg::range, 2, O::ZeroFailed));
    cells.push_back(fail(z, 235, reg::adjustCommand, 1, O::ZeroSucceeded));
    cells.push_back(fail(z, 235, reg::adjustCommand, 2, O::ZeroSucceeded));
    // The store command itself failed: nothing was stored, whatever the status says.
    cells.push_back(fail(z, 235, reg::adjustCommand, 3, O::ZeroFailed));
    cells.push_back(shortAnswer(z, 235, reg::adjustCommand, 3, 0, O::ZeroFailed));
    // A status read that fails keeps the previous status; polling goes on until "done".
    cells.push_back(fail(z, 235, reg::adjustStatus, 2, O::ZeroSucceeded));
    cells.push_back(shortAnswer(z, 235, reg::adjustStatus, 2, 0, O::ZeroSucceeded));
    cells.push_back(timeout(z, 235, reg::adjustStatus, 2, O::ZeroSucceeded));
    cells.push_back(fail(z, 235, reg::adjustStatus, 100, O::ZeroFailed));
    cells.push_back(fail(z, 235, reg::measuredValue, 1, O::ZeroFailed));
    cells.push_back(shortAnswer(z, 235, reg::measuredValue, 1, 0, O::ZeroFailed));
    cells.push_back(shortAnswer(z, 235, reg::measuredValue, 1, 1, O::ZeroSucceeded));
    cells.push_back(timeout(z, 235, reg::measuredValue, 1, O::ZeroFailed));
    cells.push_back(fail(z, 235, reg::status, 1, O::ZeroFailed));
    cells.push_back(shortAnswer(z, 235, reg::status, 1, 0, O::ZeroFailed));
    cells.push_back(fail(z, 235, reg::range, 3, O::ZeroFailed));
}

const char* procedureName(Procedure procedure) {
    switch (procedure) {
        case P::DeviceInfo:
            return "DeviceInfo";
        case P::DisplayPreparation:
            return "DisplayPreparation";
        case P::ChartPreparation:
            return "ChartPreparation";
        case P::DisplayLoop:
            return "DisplayLoop";
        case P::ChartLoop:
            return "ChartLoop";
        case P::ZeroAdjustment:
            return "ZeroAdjustment";
        case P::SaveAfterMeasuring:
            return "SaveAfterMeasuring";
    }
    return "Unknown";
}

std::string registerName(int reg) {
    switch (reg) {
        case reg::identity:
            return "Identity";
        case reg::measuredValue:
            return "Value";
        case reg::status:
            return "Status";
        case reg::range:
            return "Range";
        case reg::mode:
            return "Mode";
        case reg::adjustCommand:
            return "AdjustCommand";
        case reg::adjustStatus:
            return "AdjustStatus";
        default:
            return "Register" + std::to_string(reg);
    }
}

}  // namespace

std::vector<Cell> faultMatrix() {
    std::vector<Cell> cells;
    deviceInfo(cells);
    displayPreparation(cells);
    chartPreparation(cells);
    measuringLoop(cells, P::DisplayLoop, false);
    chartLoop(cells);
    zeroAdjustment(cells);
    measuringLoop(cells, P::SaveAfterMeasuring, true);
    return cells;
}

std::string cellName(const Cell& cell) {
    std::string name = procedureName(cell.procedure) + std::to_string(cell.deviceType) + "_" +
                       (cell.ownRange ? "OwnRange" : "");
    switch (cell.fault) {
        case Fault::Absent:
            return name + "Absent";
        case Fault::VanishAfter:
        case Fault::Glitch:
            return name + (cell.fault == Fault::Glitch ? "GlitchAfter" : "VanishAfter") +
                   (cell.transfers < 10 ? "0" : "") + std::to_string(cell.transfers);
        case Fault::Fail:
            name += "Fail";
            break;
        case Fault::Short:
            name += "Short" + std::to_string(cell.bytes) + "Byte";
            break;
        case Fault::Timeout:
            name += "Timeout";
            break;
        case Fault::SettingsDiskFull:
            return name + "SettingsDiskFull";
        case Fault::RecordDiskFull:
            return name + "RecordDiskFull";
    }
    return name + registerName(cell.reg) + "x" + std::to_string(cell.count);
}
