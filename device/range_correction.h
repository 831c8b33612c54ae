#pragma once

#include <functional>

#include "measure/range_control.h"

// The measuring loops' range rules after a reading, with the instrument: sends the automatic
// range once, and when the instrument left the range the window keeps, sends that range, lets
// the window reset its values, pauses as the window's kind wants, reads again into the outputs
// and takes the range the window keeps afterwards (the display adopts the instrument's).
// Returns the re-read's result, or 1 when no re-read was needed. A failed re-read is a failed
// reading: its outputs hold nothing the instrument measured, and the range stays as forced.
int correctRange(RangeControl& control, int& currentRange, double& value, int& rangeIndex,
                 int& overrange, unsigned char& batteryOk,
                 const std::function<void()>& resetValues);
