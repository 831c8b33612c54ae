#pragma once

#include <QString>

#include "measure/range_tables.h"

// Range text, factor, mode text and decimals of a device type, mode letter and range index.
// Always returns 0. When no row applies (unknown device type, '4' with 115 or 255, or a letter
// such as 'C' or 'E') nothing is written and the caller keeps its previous values. A range
// index outside 0..4 (a raw range byte) yields the empty values of entry 4, so the tables are
// never read outside their bounds.
int lookupRange(const RangeTables& tables, int deviceType, char modeLetter, int rangeIndex,
                QString& rangeText, double& factor, QString& modeText, int& decimals);

// Splits a range text such as " 20 kV/m " into its number (20) and unit text ("kV/m"): blanks
// and control characters at both ends are dropped, then the first inner blank; the unit starts
// at the first "K" (either case) or, without one, at the first "V". The number is read with the
// default locale's decimal separator (QLocale()), without group separators.
//
// Returns false when there is no unit letter or the text before it is not a finite number; the
// outputs are then left untouched. Windows report that through the standard error box with
// rangeTextErrorMessage(). A failure is returned rather than thrown because an exception must
// not travel through the event loop.
bool splitRangeText(QString text, double& number, QString& unitText);

// The standard error box's text for a range text that splitRangeText refused.
QString rangeTextErrorMessage(const QString& rangeText);
