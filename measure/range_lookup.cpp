#include "measure/range_lookup.h"

#include <QLocale>
#include <cmath>

#include "measure/device_modes.h"

namespace {

// Entry 4 (automatic ranging) is empty in every table; it also stands for raw range bytes.
constexpr int emptyEntry = rangeEntryCount - 1;

bool isTrimmed(QChar c) {
    return c.unicode() <= 0x20;
}

// First position of the letter in either case, or -1; only ASCII letters count.
qsizetype findLetter(const QString& text, char upper, char lower) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(upper) || c == QLatin1Char(lower)) {
            return i;
        }
    }
    return -1;
}

}  // namespace

int lookupRange(const RangeTables& tables, int deviceType, char modeLetter, int rangeIndex,
                QString& rangeText, double& factor, QString& modeText, int& decimals) {
    const std::optional<int> table = rangeTableOf(deviceType, modeLetter);
    if (!table) {
        return 0;
    }
    const int entry = rangeIndex >= 0 && rangeIndex < rangeEntryCount ? rangeIndex : emptyEntry;
    rangeText = tables.rangeTexts[*table][entry];
    // The distance voltmeter scales by the distance rule, not by the table's factor.
    factor = modeLetter == 'M' ? 1.0 : tables.rangeFactors[*table][entry];
    modeText = *lookupModeText(deviceType, modeLetter);
    decimals = tables.rangeDecimals[*table][entry];
    return 0;
}

bool splitRangeText(QString text, double& number, QString& unitText) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isTrimmed(text.at(first))) {
        ++first;
    }
    while (last > first && isTrimmed(text.at(last - 1))) {
        --last;
    }
    text = text.mid(first, last - first);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        text.remove(blank, 1);
    }

    qsizetype unitStart = findLetter(text, 'K', 'k');
    if (unitStart < 0) {
        unitStart = findLetter(text, 'V', 'v');
    }
    if (unitStart < 0) {
        return false;
    }

    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text.left(unitStart).trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return false;
    }
    number = value;
    unitText = text.mid(unitStart);
    return true;
}

QString rangeTextErrorMessage(const QString& rangeText) {
    return QStringLiteral("'%1' is not a valid range text").arg(rangeText);
}
