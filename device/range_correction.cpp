#include "device/range_correction.h"

#include "device/program_clock.h"
#include "device/usbread.h"

namespace {
constexpr unsigned automaticRange = 4;
}  // namespace

void correctRange(RangeControl& control, int& currentRange, double& value, int& rangeIndex,
                  int& overrange, unsigned char& batteryOk,
                  const std::function<void()>& resetValues) {
    if (control.sendAutoRange(currentRange)) {
        setRange(automaticRange);
    }
    if (control.forceRange(currentRange, rangeIndex, overrange)) {
        setRange(static_cast<unsigned>(currentRange));
        resetValues();
        programClock().sleepMs(control.pauseBeforeRereadMs());
        // A failure here shows up in the next cycle's reading.
        readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
        currentRange = control.rangeAfterForcing(currentRange, rangeIndex);
    }
}
