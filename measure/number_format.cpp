#include "measure/number_format.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// A finite double as decimal digits: value = 0.digits × 10^pointPos, digits without leading
// zeros (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

Decimal toDecimal(double x) {
    Decimal decimal;
    decimal.negative = std::signbit(x);
    if (x == 0.0) {
        return decimal;
    }
    // Shortest round-trip form: "d.ddde±x".
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::scientific);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') {
            decimal.digits.push_back(text[i]);
        }
    }
    decimal.pointPos = std::stoi(text.substr(e + 1)) + 1;
    return decimal;
}

void dropTrailingZeros(Decimal& decimal) {
    while (!decimal.digits.empty() && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
    }
}

// Keeps the first `keep` digits, rounding half away from zero.
void roundToDigits(Decimal& decimal, long long keep) {
    const auto count = static_cast<long long>(decimal.digits.size());
    if (keep >= count) {
        return;
    }
    if (keep < 0) {
        decimal.digits.clear();
        return;
    }
    const bool up = decimal.digits[static_cast<std::size_t>(keep)] >= '5';
    decimal.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && decimal.digits[static_cast<std::size_t>(i)] == '9') {
            decimal.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++decimal.digits[static_cast<std::size_t>(i)];
        } else {
            decimal.digits.insert(decimal.digits.begin(), '1');
            ++decimal.pointPos;
        }
    }
    dropTrailingZeros(decimal);
}

// Digit at a place counted from the decimal point: 0 the first digit before it, -1 the
// first after it.
char digitAtPlace(const Decimal& decimal, long long place) {
    const long long index = decimal.pointPos - 1 - place;
    if (index < 0 || index >= static_cast<long long>(decimal.digits.size())) {
        return '0';
    }
    return decimal.digits[static_cast<std::size_t>(index)];
}

QString decimalPoint() {
    return QLocale().decimalPoint();
}

QString nonFiniteText(double x) {
    if (std::isnan(x)) {
        return QStringLiteral("NAN");
    }
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString plainText(const Decimal& decimal, int decimals) {
    QString text;
    if (decimal.negative && !decimal.digits.empty()) {
        text += QLatin1Char('-');
    }
    const long long highestPlace = decimal.pointPos > 0 ? decimal.pointPos - 1 : 0;
    for (long long place = highestPlace; place >= 0; --place) {
        text += QLatin1Char(digitAtPlace(decimal, place));
    }
    if (decimals > 0) {
        text += decimalPoint();
        for (long long place = -1; place >= -decimals; --place) {
            text += QLatin1Char(digitAtPlace(decimal, place));
        }
    }
    return text;
}

}  // namespace

QString formatFixed(double x, int p, int d) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x);
    }
    const int precision = p < 1 ? 1 : p;
    const int decimals = d < 0 ? 0 : d;
    Decimal decimal = toDecimal(x);
    roundToDigits(decimal, precision);
    roundToDigits(decimal, static_cast<long long>(decimal.pointPos) + decimals);
    return plainText(decimal, decimals);
}

QString formatGeneral(double x) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x);
    }
    constexpr int precision = 15;
    Decimal decimal = toDecimal(x);
    roundToDigits(decimal, precision);
    dropTrailingZeros(decimal);
    if (decimal.digits.empty()) {
        return QStringLiteral("0");
    }
    const auto digitCount = static_cast<int>(decimal.digits.size());
    if (decimal.pointPos > precision || decimal.pointPos < -4) {
        QString text = decimal.negative ? QStringLiteral("-") : QString();
        text += QLatin1Char(decimal.digits[0]);
        if (digitCount > 1) {
            text += decimalPoint() + QString::fromLatin1(decimal.digits.c_str() + 1);
        }
        return text + QLatin1Char('E') + QString::number(decimal.pointPos - 1);
    }
    const int decimals = digitCount > decimal.pointPos ? digitCount - decimal.pointPos : 0;
    return plainText(decimal, decimals);
}

QString formatInteger(long long n) {
    return QString::number(n);
}
