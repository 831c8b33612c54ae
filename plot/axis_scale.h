#pragma once

// Labelled positions along one axis: whole multiples of step, count of them from
// firstMultiple × step on. Each is one product, so 0 comes out as exactly 0.
struct AxisTicks {
    double firstMultiple = 0.0;
    double step = 1.0;
    int count = 0;
    int decimals = 0;  // digits after the decimal point that tell the labels apart

    double at(int index) const { return (firstMultiple + index) * step; }
};

// Ticks for [from, to] drawn over pixelLength pixels, at least minSpacing pixels apart,
// on a step of 1, 2 or 5 times a power of ten.
AxisTicks niceTicks(double from, double to, double pixelLength, double minSpacing);

// Ticks on multiples of increment; where they would come closer than minSpacing pixels
// the step grows to 2, 5, 10, 20, … times the increment. Without a usable increment
// the ticks fall back to niceTicks.
AxisTicks incrementTicks(double from, double to, double increment, double pixelLength,
                         double minSpacing);
