#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Every procedure that talks to the instrument, as the operator starts it.
enum class Procedure {
    DeviceInfo,          // "Device info" on a fresh main window
    DisplayPreparation,  // "Start measurement display" after Device info and Continue
    ChartPreparation,    // "Start measurement chart" after Device info and Continue
    DisplayLoop,         // Start in the prepared display window, Break in the third cycle
    ChartLoop,           // Start in the prepared chart window, Break in the third cycle
    ZeroAdjustment,      // "Start zero adjustment", OK on the second adjusting reading
    SaveAfterMeasuring,  // the display loop, then Save Data into an existing record file
};

enum class Fault {
    Absent,       // no instrument on the bus when the procedure starts
    VanishAfter,  // the instrument disappears after `transfers` transfers of the procedure
    Glitch,       // as VanishAfter, but it is found again `glitchMs` later
    Fail,         // the next `count` transfers to `reg` fail with a stall
    Short,        // the next `count` transfers to `reg` move only `bytes` bytes
    Timeout,      // the next `count` transfers to `reg` time out after the full second
    // The instrument works, but the disk holding SETUP.INI, or the record file, is full when
    // the operator saves.
    SettingsDiskFull,
    RecordDiskFull,
};

// What the operator must see, and how the program must go on.
enum class Outcome {
    NoConnectionExit,    // "No connection to the USB device! " / " E R R O R", exit code -1
    LostInLoopExit,      // "No connection to the USB device! Error no = n" / "E R R O R occurred",
                         // exit code -1
    Identified,          // identity panel with the instrument, no box
    ConversionErrorBox,  // the standard error box; the program goes on
    WindowShown,         // the measuring window shown instead of the main window, no box
    MeasuredUntilBreak,  // the loop ran until the operator's Break, no box
    RecordSaved,         // measured until Break, then one record line appended
    SaveRefused,         // measured until Break, then the save's write failed: an error box
    ZeroSucceeded,       // instruction, then "Zero point calibration completed successfully."
    ZeroFailed,          // instruction, the "E R R O R" box, then the caller's error box
    ZeroNotOpened,       // only the caller's error box
};

struct Cell {
    Procedure procedure = Procedure::DeviceInfo;
    int deviceType = 235;
    Fault fault = Fault::Absent;
    int transfers = 0;  // VanishAfter, Glitch
    int reg = -1;       // Fail, Short, Timeout
    int count = 0;
    int bytes = 0;  // Short
    // From the loop's first cycle on, the instrument reports a range of its own: the loop
    // forces the selected range and reads again.
    bool ownRange = false;
    Outcome expected = Outcome::Identified;
    // LostInLoopExit: the number the box names.
    std::optional<int> errorNo;
    // WindowShown: the items the preparation ends with selected.
    std::optional<int> modeItem;
    std::optional<int> rangeItem;
};

// The operator presses Break at the reading of this cycle of a measuring loop.
constexpr int breakCycle = 3;
// The error a failing register answers with (a stall).
constexpr int stallError = -9;
constexpr int timeoutError = -7;
constexpr int noDeviceError = -4;
constexpr double glitchMs = 100.0;

std::vector<Cell> faultMatrix();

// A name fit for a test: procedure, device type and fault.
std::string cellName(const Cell& cell);

inline void PrintTo(const Cell& cell, std::ostream* out) {
    *out << cellName(cell);
}
