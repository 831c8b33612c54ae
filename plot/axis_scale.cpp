#include "plot/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace {

bool usable(double from, double to, double pixelLength) {
    return std::isfinite(from) && std::isfinite(to) && to > from && pixelLength > 0.0;
}

// Digits after the decimal point needed to write multiples of step exactly enough.
int decimalsFor(double step) {
    for (int decimals = 0; decimals < 9; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) {
            return decimals;
        }
    }
    return 9;
}

AxisTicks ticksOnStep(double from, double to, double step) {
    AxisTicks ticks;
    ticks.step = step;
    // A little slack so a tick that lands on an end by rounding is kept.
    const double slack = step * 1e-9;
    const double firstIndex = std::ceil((from - slack) / step);
    const double lastIndex = std::floor((to + slack) / step);
    ticks.firstMultiple = firstIndex + 0.0;  // + 0.0 turns a -0 from ceil into 0
    ticks.count = lastIndex >= firstIndex ? static_cast<int>(lastIndex - firstIndex) + 1 : 0;
    ticks.decimals = decimalsFor(step);
    return ticks;
}

}  // namespace

AxisTicks niceTicks(double from, double to, double pixelLength, double minSpacing) {
    if (!usable(from, to, pixelLength)) {
        return {};
    }
    const double most = std::max(1.0, std::floor(pixelLength / std::max(1.0, minSpacing)));
    const double rawStep = (to - from) / most;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rawStep)));
    double step = 10.0 * magnitude;
    for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * magnitude >= rawStep) {
            step = multiple * magnitude;
            break;
        }
    }
    return ticksOnStep(from, to, step);
}

AxisTicks incrementTicks(double from, double to, double increment, double pixelLength,
                         double minSpacing) {
    if (!usable(from, to, pixelLength)) {
        return {};
    }
    if (!(increment > 0.0) || !std::isfinite(increment)) {
        return niceTicks(from, to, pixelLength, minSpacing);
    }
    const double smallestStep = (to - from) * std::max(1.0, minSpacing) / pixelLength;
    double step = increment;
    for (double decade = 1.0; step < smallestStep; decade *= 10.0) {
        for (double multiple : {1.0, 2.0, 5.0}) {
            step = increment * decade * multiple;
            if (step >= smallestStep) {
                break;
            }
        }
    }
    return ticksOnStep(from, to, step);
}
