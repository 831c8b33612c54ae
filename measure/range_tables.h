#pragma once

#include <QString>

// The seven range tables of the instrument family: [table][range index].
// Index 0 is the largest full scale, 3 the smallest, 4 automatic ranging (left empty).
constexpr int rangeTableCount = 7;
constexpr int rangeEntryCount = 5;

struct RangeTables {
    QString rangeTexts[rangeTableCount][rangeEntryCount];
    double rangeFactors[rangeTableCount][rangeEntryCount] = {};
    int rangeDecimals[rangeTableCount][rangeEntryCount] = {};

    // Fills entries 0 to 3 of every table; entry 4 stays empty.
    void fillRangeTables();
};
