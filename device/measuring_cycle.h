#pragma once

#include <QStringList>
#include <functional>

#include "measure/measurement_evaluation.h"
#include "measure/range_control.h"
#include "measure/window_kind.h"

// One reading of the instrument with the transfer's result and the battery state.
struct DeviceReading {
    int result = 0;  // readMeasurement's result; below 1 the instrument did not answer
    Reading reading;
    unsigned char batteryOk = 1;
};

// What the window or command shows a reading in: the mode, its range items (read by the
// distance rule) and the distance in mm.
struct ShownSelection {
    char modeLetter = 'F';
    QStringList rangeItems;
    int distance = 5;
};

// The evaluation's input for one reading: the one place it is filled. Depiction and limit
// count for the display only.
EvaluationInput evaluationInput(WindowKind kind, const Reading& reading,
                                const ShownSelection& shown);

// The measuring cycle the display and chart windows and the command-line read and log share:
// Start's range and first reading, then per cycle the reading, the range rules, the evaluation
// and the wait for the cycle's end. The program-wide data supplies the device type, the range
// kept (currentRange), depiction, limit and the range tables.
//
// What differs stays with the caller: which range Start keeps, what a lost instrument does,
// following the instrument's mode, and how results are shown.
class MeasuringCycle {
public:
    // Measures `elapsed` ms of a cycle from its start and the present, in counter seconds.
    using ElapsedMs = std::function<double(double startSeconds, double nowSeconds)>;

    explicit MeasuringCycle(WindowKind kind) : kind_(kind), evaluation_(kind) {}

    // Start: sends `range` and reads once. Where the instrument does not answer, the reading
    // keeps `rangeIndexBefore` as its range.
    DeviceReading sendStartRange(unsigned range, int rangeIndexBefore = 0);
    // After Start has settled currentRange: the range rules start from it.
    void beginCycles();

    // A cycle begins: its start is taken, the display sends an operator's range click, and
    // the instrument is read.
    DeviceReading read();
    // The range rules after a successful reading; `resetValues` runs when a range is forced,
    // before the reading is repeated into `reading`, whose result then is the repeat's.
    void correctRange(DeviceReading& reading, const std::function<void()>& resetValues);
    // The reading warns of a low battery (type 115 has none to report).
    bool lowBattery(const DeviceReading& reading) const;
    EvaluationResult evaluate(const Reading& reading, const ShownSelection& shown);

    // Counter seconds at which the cycle began, and when one `intervalMs` later ends.
    double cycleStart() const { return cycleStart_; }
    double deadline(int intervalMs) const { return cycleStart_ + intervalMs / 1000.0; }
    // Lets `waitMs` run with the milliseconds left until samplingTimeMs() have passed since
    // the cycle began, as `elapsedMs` measures them, and again until they have; a break ends
    // the wait at once and counts as the whole sampling time. Returns the cycle's length.
    double waitForCycleEnd(const std::function<double()>& samplingTimeMs,
                           const bool& breakRequested, const std::function<void(double)>& waitMs,
                           const ElapsedMs& elapsedMs = plainElapsedMs) const;
    static double plainElapsedMs(double startSeconds, double nowSeconds);

    MeasurementEvaluation& evaluation() { return evaluation_; }
    const MeasurementEvaluation& evaluation() const { return evaluation_; }

private:
    WindowKind kind_;
    RangeControl rangeControl_{kind_};
    MeasurementEvaluation evaluation_;
    double cycleStart_ = 0.0;
};
