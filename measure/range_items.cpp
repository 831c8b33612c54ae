#include "measure/range_items.h"

#include <cmath>

#include "measure/device_modes.h"
#include "measure/number_format.h"
#include "measure/range_lookup.h"

namespace {

const QString autorangeItem = QStringLiteral("Autorange");
constexpr int autoRangeIndex = 4;
constexpr int fixedRangeCount = 4;

QStringList tableItems(const RangeTables& tables, int table) {
    QStringList items;
    for (int entry = fixedRangeCount - 1; entry >= 0; --entry) {
        items << tables.rangeTexts[table][entry];
    }
    return items;
}

// Only the display offers the instrument's own ranging, and not for the distance voltmeter
// whose ranges depend on the set distance.
bool offersAutorange(WindowKind kind, int deviceType, char modeLetter) {
    return kind == WindowKind::Display && modeLetter != 'M' &&
           (deviceType == deviceType235 || deviceType == deviceType255);
}

}  // namespace

QStringList distanceRangeTexts(const RangeTables& tables, int deviceType, int distance) {
    const std::optional<int> table = rangeTableOf(deviceType, 'M');
    if (!table) {
        return {};
    }
    QStringList items;
    for (const QString& entry : tableItems(tables, *table)) {
        double number = 0.0;
        QString unit;
        if (!splitRangeText(entry, number, unit)) {
            // No table text has this form; an unreadable entry is shown as it stands.
            items << entry;
            continue;
        }
        const double scaled = std::trunc(distance * number * 0.1);
        items << formatInteger(static_cast<long long>(scaled)) + unit;
    }
    return items;
}

QStringList rangeItemTexts(const RangeTables& tables, WindowKind kind, int deviceType,
                           char modeLetter, int distance) {
    QStringList items;
    if (modeLetter == 'M') {
        items = distanceRangeTexts(tables, deviceType, distance);
    } else if (const std::optional<int> table = rangeTableOf(deviceType, modeLetter)) {
        items = tableItems(tables, *table);
    }
    if (offersAutorange(kind, deviceType, modeLetter)) {
        items << autorangeItem;
    }
    return items;
}

int rangeItemToSelect(WindowKind kind, int currentRange) {
    if (kind == WindowKind::Display) {
        return 0;
    }
    // Not clamped here: the radio group takes an index beyond its last item as the last item,
    // so a negative currentRange (the preparation's 3 - 4 for an instrument on automatic
    // ranging) selects the largest range, and one above 4 (a raw range byte) selects none.
    return currentRange == autoRangeIndex ? -1 : fixedRangeCount - 1 - currentRange;
}

int currentRangeOfItem(int itemIndex, int currentRange) {
    if (itemIndex >= 0 && itemIndex < fixedRangeCount) {
        return fixedRangeCount - 1 - itemIndex;
    }
    return itemIndex == autoRangeIndex ? autoRangeIndex : currentRange;
}
