#pragma once

#include <QStringView>

#include <optional>

// The integer an INI value stands for: plain decimal with an optional leading "-",
// or "0x"/"0X" followed by hexadecimal digits. Anything else (blanks, "+", exponents,
// other characters, an empty text, a number beyond int) is not an integer.
// Hexadecimal text denotes a non-negative number, so it must not exceed 0x7FFFFFFF.
std::optional<int> iniInteger(QStringView text);
