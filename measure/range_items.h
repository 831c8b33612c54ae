#pragma once

#include <QStringList>

#include "measure/range_tables.h"
#include "measure/window_kind.h"

// The range radio groups list the table entries 3, 2, 1, 0: item i stands for range index
// 3 - i, so item 0 is the smallest range. The display window adds "Autorange" (index 4) as
// fifth item for device types 235 and 255 outside the distance voltmeter mode.

// Items of the range group for a device type and mode letter, as the window's
// fillRangeItems builds them. distance (mm) is used only for 'M'. A letter without a table
// leaves only "Autorange" (display, 235/255) or no item; the chart never has "Autorange".
QStringList rangeItemTexts(const RangeTables& tables, WindowKind kind, int deviceType,
                           char modeLetter, int distance);

// The four distance voltmeter items for a distance in mm: entry N × d / 10 truncated, with
// the entry's unit (115 at 5 mm: "25V", "125V", "250V", "1250V"). Empty for an unknown type.
QStringList distanceRangeTexts(const RangeTables& tables, int deviceType, int distance);

// Item to select after the items were rebuilt: the display selects item 0 (the smallest
// range); the chart selects item 3 - currentRange (-1, no item, for the automatic range),
// which the radio group's selection rule may take beyond the items (see there).
int rangeItemToSelect(WindowKind kind, int currentRange);

// currentRange after a click on a range item: item 0..3 gives 3..0, item 4 ("Autorange")
// gives 4; no selection (-1) or an unknown item keeps currentRange.
int currentRangeOfItem(int itemIndex, int currentRange);
