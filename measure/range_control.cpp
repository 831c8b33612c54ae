#include "measure/range_control.h"

namespace {

constexpr int autoRangeIndex = 4;
constexpr int chartPauseMs = 100;

}  // namespace

void RangeControl::start(int currentRange) {
    autoRangeSent_ = false;
    lastSeenRange_ = currentRange;
}

bool RangeControl::rangeSelectionChanged(int currentRange) {
    if (currentRange == lastSeenRange_) {
        return false;
    }
    lastSeenRange_ = currentRange;
    return true;
}

bool RangeControl::sendAutoRange(int currentRange) {
    if (currentRange != autoRangeIndex) {
        autoRangeSent_ = false;
        return false;
    }
    if (autoRangeSent_) {
        return false;
    }
    autoRangeSent_ = true;
    return true;
}

bool RangeControl::forceRange(int currentRange, int deviceRangeIndex, int overrange) const {
    return currentRange != deviceRangeIndex && !autoRangeSent_ && overrange == 0;
}

int RangeControl::pauseBeforeRereadMs() const {
    return kind_ == WindowKind::Chart ? chartPauseMs : 0;
}

int RangeControl::rangeAfterForcing(int currentRange, int repeatedRangeIndex) const {
    return kind_ == WindowKind::Display ? repeatedRangeIndex : currentRange;
}

int startRangeIndex(int selectedItem) {
    if (selectedItem < 0 || selectedItem >= autoRangeIndex) {
        return autoRangeIndex;
    }
    return autoRangeIndex - 1 - selectedItem;
}
