#pragma once

#include "measure/window_kind.h"

// The instrument ranges by itself; the measuring loops only command it. currentRange (main
// window data) is the range index the operator selected, 0..3 or 4 for automatic ranging;
// setRange stores its argument there as well.
//
// Per cycle, right after the reading, a loop asks in this order:
//   1. sendAutoRange(currentRange): true means send setRange(4) now (once per period in
//      which currentRange stays 4).
//   2. forceRange(currentRange, reported index, overrange): true means the instrument is on
//      another range than selected. The loop then sends setRange(currentRange), resets its
//      values (resetDisplay / resetChart), waits pauseBeforeRereadMs() (sleep), reads again
//      and lets the repeated reading replace the first for the rest of the cycle; then
//      currentRange := rangeAfterForcing(currentRange, index of the repeated reading).
//
// The windows differ here:
//   - Display: no pause; after one forced attempt it adopts the range the instrument reports,
//     so it does not force again. Before the reading it sends an operator's range click once
//     (rangeSelectionChanged), without a reset.
//   - Chart: 100 ms pause; currentRange stays, so forcing repeats every cycle until the
//     instrument follows. An operator's range click is picked up by the forcing itself.
class RangeControl {
public:
    explicit RangeControl(WindowKind kind) : kind_(kind) {}

    // At Start, after the first range was sent: nothing automatic sent yet, and the range
    // just sent counts as seen.
    void start(int currentRange);

    // Display, before the reading: true when currentRange changed since the last cycle, which
    // then must be sent with setRange(currentRange). Remembers it as seen.
    bool rangeSelectionChanged(int currentRange);

    // True when setRange(4) must be sent now; clears the sent mark when currentRange is not 4.
    bool sendAutoRange(int currentRange);

    // The reported range differs from the selection, no automatic range was sent, and the
    // reading is not an overrange (then the instrument is left on its range).
    bool forceRange(int currentRange, int deviceRangeIndex, int overrange) const;

    // Sleep between the forced setRange and the repeated reading, in ms.
    int pauseBeforeRereadMs() const;

    // currentRange after a forced attempt, given the range of the repeated reading.
    int rangeAfterForcing(int currentRange, int repeatedRangeIndex) const;

    bool autoRangeSent() const { return autoRangeSent_; }

private:
    WindowKind kind_;
    bool autoRangeSent_ = false;
    int lastSeenRange_ = 0;
};

// Range index sent at Start from the selected range item (-1 when none): items 0..3 give
// 3..0, "Autorange" and no selection give 4 (automatic ranging).
int startRangeIndex(int selectedItem);
