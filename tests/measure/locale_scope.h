#pragma once

#include <QLocale>
#include <QString>
#include <ostream>

// Makes a locale the default for one test and restores the previous one afterwards.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(saved_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    QLocale saved_;
};

// The two separators the operators use: a decimal point and a decimal comma.
inline const QLocale pointLocale{QLocale::English, QLocale::UnitedStates};
inline const QLocale commaLocale{QLocale::German, QLocale::Germany};

// Expected texts are written with "."; this puts in the default locale's separator.
inline QString local(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

inline std::string localeName(const QLocale& locale) {
    return locale.name().toStdString();
}

// Lets GoogleTest print QStrings and locales in messages and test names.
inline void PrintTo(const QLocale& locale, std::ostream* out) {
    *out << localeName(locale);
}
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

#include <gtest/gtest.h>

// Runs each test once under a decimal point and once under a decimal comma.
class SeparatorTest : public ::testing::TestWithParam<QLocale> {
protected:
    LocaleScope scope_{GetParam()};
};

#define INSTANTIATE_FOR_BOTH_SEPARATORS(Suite)                                               \
    INSTANTIATE_TEST_SUITE_P(Separators, Suite, ::testing::Values(pointLocale, commaLocale), \
                             [](const auto& info) { return localeName(info.param); })
