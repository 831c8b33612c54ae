#include <QLocale>
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz/fuzz_check.h"
#include "measure/range_lookup.h"

namespace {

bool isLetter(QChar c, char upper) {
    return c == QLatin1Char(upper) || c == QLatin1Char(upper + ('a' - 'A'));
}

// Only ASCII letters count as unit letters.
bool containsLetter(const QString& text, char upper) {
    for (QChar c : text) {
        if (isLetter(c, upper)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Input: a locale choice, then a range text in UTF-8. A split gives a finite number and a unit
// that starts at the first K (or, without one, the first V) and ends the text; a refused text
// leaves the outputs untouched.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::English, QLocale::UnitedStates),
                                      QLocale(QLocale::French, QLocale::Switzerland),
                                      QLocale(QLocale::Arabic, QLocale::Egypt)};
    QLocale::setDefault(locales[data[0] % std::size(locales)]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));

    double number = -0.25;
    QString unit = QStringLiteral("untouched");
    if (!splitRangeText(text, number, unit)) {
        check(number == -0.25 && unit == QLatin1String("untouched"),
              "a refused text leaves the outputs untouched");
        check(rangeTextErrorMessage(text).contains(text), "the error message names the text");
        return 0;
    }
    check(std::isfinite(number), "the number is finite");
    check(!unit.isEmpty() && (isLetter(unit.at(0), 'K') || isLetter(unit.at(0), 'V')),
          "the unit starts with K or V");
    // The text as the unit is searched in: control characters and blanks at both ends dropped,
    // then the first inner blank.
    QString searched = text;
    while (!searched.isEmpty() && searched.front().unicode() <= 0x20) {
        searched.remove(0, 1);
    }
    while (!searched.isEmpty() && searched.back().unicode() <= 0x20) {
        searched.chop(1);
    }
    const qsizetype blank = searched.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        searched.remove(blank, 1);
    }
    check(searched.endsWith(unit), "the unit ends the text");
    const QString before = searched.left(searched.size() - unit.size());
    check(!containsLetter(before, 'K'), "the unit starts at the first K");
    check(isLetter(unit.at(0), 'K') || !containsLetter(searched, 'K'),
          "a unit without K starts at a V");
    check(isLetter(unit.at(0), 'K') || !containsLetter(before, 'V'),
          "a unit without K starts at the first V");
    return 0;
}
