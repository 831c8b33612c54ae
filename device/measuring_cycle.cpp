#include "device/measuring_cycle.h"

#include "device/range_correction.h"
#include "device/usbread.h"
#include "state/main_form_data.h"

namespace {
constexpr int deviceTypeWithoutBattery = 115;

int readInto(DeviceReading& reading) {
    reading.result = readMeasurement(reading.reading.value, reading.reading.rangeIndex,
                                     reading.reading.overrange, reading.batteryOk, 1);
    return reading.result;
}
}  // namespace

EvaluationInput evaluationInput(WindowKind kind, const Reading& reading,
                                const ShownSelection& shown) {
    const MainFormData& data = mainFormData();
    EvaluationInput input;
    input.reading = reading;
    input.deviceType = data.deviceType;
    input.modeLetter = shown.modeLetter;
    input.rangeItems = shown.rangeItems;
    input.distance = shown.distance;
    if (kind == WindowKind::Display) {
        input.displayDepiction = data.displayDepiction;
        input.limit = data.limit;
    }
    return input;
}

DeviceReading MeasuringCycle::sendStartRange(unsigned range, int rangeIndexBefore) {
    setRange(range);
    DeviceReading first;
    first.reading.rangeIndex = rangeIndexBefore;
    readInto(first);
    return first;
}

void MeasuringCycle::beginCycles() {
    rangeControl_.start(mainFormData().currentRange);
}

DeviceReading MeasuringCycle::read() {
    cycleStart_ = counterSeconds();
    const int currentRange = mainFormData().currentRange;
    if (kind_ == WindowKind::Display && rangeControl_.rangeSelectionChanged(currentRange)) {
        setRange(static_cast<unsigned>(currentRange));
    }
    DeviceReading reading;
    readInto(reading);
    return reading;
}

void MeasuringCycle::correctRange(DeviceReading& reading,
                                  const std::function<void()>& resetValues) {
    if (reading.result < 1) {
        return;
    }
    // A failed re-read leaves nothing the instrument measured: it counts as a failed reading.
    reading.result = ::correctRange(rangeControl_, mainFormData().currentRange,
                                    reading.reading.value, reading.reading.rangeIndex,
                                    reading.reading.overrange, reading.batteryOk, resetValues);
}

bool MeasuringCycle::lowBattery(const DeviceReading& reading) const {
    return reading.batteryOk == 0 && mainFormData().deviceType != deviceTypeWithoutBattery;
}

EvaluationResult MeasuringCycle::evaluate(const Reading& reading, const ShownSelection& shown) {
    return evaluation_.evaluate(mainFormData(), evaluationInput(kind_, reading, shown));
}

double MeasuringCycle::waitForCycleEnd(const std::function<double()>& samplingTimeMs,
                                       const bool& breakRequested,
                                       const std::function<void(double)>& waitMs,
                                       const ElapsedMs& elapsedMs) const {
    double elapsed = 0.0;
    do {
        elapsed = elapsedMs(cycleStart_, counterSeconds());
        if (breakRequested) {
            elapsed = samplingTimeMs();
        }
        waitMs(samplingTimeMs() - elapsed);
    } while (elapsed < samplingTimeMs());
    return elapsed;
}

double MeasuringCycle::plainElapsedMs(double startSeconds, double nowSeconds) {
    return (nowSeconds - startSeconds) * 1000.0;
}
