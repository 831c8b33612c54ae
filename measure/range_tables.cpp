#include "measure/range_tables.h"

namespace {

struct RangeEntry {
    const char* text;
    double factor;
    int decimals;
};

// Every factor is the range's number divided by 2000: 2000 counts are the full scale.
constexpr RangeEntry tableContents[rangeTableCount][4] = {
    {{"250kV/m", 0.125, 0}, {"50kV/m", 0.025, 1}, {"25kV/m", 0.0125, 1}, {"5kV/m", 0.0025, 2}},
    {{"2500V", 1.25, 0}, {"500V", 0.25, 0}, {"250V", 0.125, 1}, {"50V", 0.025, 1}},
    {{"200kV/m", 0.1, 0}, {"40kV/m", 0.02, 1}, {"10kV/m", 0.005, 1}, {"2kV/m", 0.001, 2}},
    {{"2kV", 0.001, 2}, {"400V", 0.2, 0}, {"100V", 0.05, 0}, {"20V", 0.01, 1}},
    {{"40kV", 0.02, 1}, {"8kV", 0.004, 2}, {"2kV", 0.001, 2}, {"400V", 0.2, 0}},
    {{"20kV/m", 0.01, 1}, {"4kV/m", 0.002, 2}, {"1kV/m", 0.0005, 2}, {"200V/m", 0.1, 0}},
    {{"200V", 0.1, 0}, {"40V", 0.02, 1}, {"10V", 0.005, 1}, {"2V", 0.001, 2}},
};

}  // namespace

void RangeTables::fillRangeTables() {
    for (int table = 0; table < rangeTableCount; ++table) {
        for (int entry = 0; entry < 4; ++entry) {
            rangeTexts[table][entry] = QString::fromLatin1(tableContents[table][entry].text);
            rangeFactors[table][entry] = tableContents[table][entry].factor;
            rangeDecimals[table][entry] = tableContents[table][entry].decimals;
        }
        rangeTexts[table][4].clear();
        rangeFactors[table][4] = 0.0;
        rangeDecimals[table][4] = 0;
    }
}
