#include "device/range_correction.h"

#include "device/program_clock.h"
#include "device/usbread.h"

namespace {
constexpr unsigned automaticRange = 4;
}  // namespace

int correctRange(RangeControl& control, int& currentRange, double& value, int& rangeIndex,
                 int& overrange, unsigned char& batteryOk,
                 const std::function<void()>& resetValues) {
    if (control.sendAutoRange(currentRange)) {
        setRange(automaticRange);
    }
    if (control.forceRange(currentRange, rangeIndex, overrange)) {
        setRange(static_cast<unsigned>(currentRange));
        resetValues();
        programClock().sleepMs(control.pauseBeforeRereadMs());
        const int result = readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
        if (result < 1) {
            return result;
        }
        currentRange = control.rangeAfterForcing(currentRange, rangeIndex);
    }
    return 1;
}
