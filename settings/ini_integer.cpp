#include "settings/ini_integer.h"

#include "measure/hex_digit.h"

#include <limits>

namespace {

// Accumulates the digits into a magnitude; nullopt for a non-digit or a magnitude above limit.
std::optional<qint64> magnitude(QStringView digits, int base, qint64 limit) {
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    qint64 result = 0;
    for (QChar c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        result = result * base + digit;
        if (result > limit) {
            return std::nullopt;
        }
    }
    return result;
}

}  // namespace

std::optional<int> iniInteger(QStringView text) {
    constexpr qint64 maxInt = std::numeric_limits<int>::max();
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        const auto value = magnitude(text.mid(2), 16, maxInt);
        return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
    }
    const bool negative = text.startsWith(u'-');
    const auto value = magnitude(negative ? text.mid(1) : text, 10, maxInt + (negative ? 1 : 0));
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -*value : *value);
}
