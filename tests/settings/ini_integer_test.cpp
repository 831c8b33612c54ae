#include "settings/ini_integer.h"

#include <gtest/gtest.h>

#include <QString>

#include <limits>

TEST(IniInteger, TakesDecimalAndHexadecimal) {
    EXPECT_EQ(iniInteger(u"0"), 0);
    EXPECT_EQ(iniInteger(u"80"), 80);
    EXPECT_EQ(iniInteger(u"007"), 7);
    EXPECT_EQ(iniInteger(u"-5"), -5);
    EXPECT_EQ(iniInteger(u"0x1F"), 31);
    EXPECT_EQ(iniInteger(u"0X1f"), 31);
    EXPECT_EQ(iniInteger(u"2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(iniInteger(u"-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(iniInteger(u"0x7FFFFFFF"), std::numeric_limits<int>::max());
}

TEST(IniInteger, RefusesEverythingElse) {
    for (const char16_t* text : {u"",
                                 u" 12",
                                 u"12 ",
                                 u"1 2",
                                 u"1e3",
                                 u"1.5",
                                 u"+5",
                                 u"-",
                                 u"--5",
                                 u"12abc",
                                 u"abc",
                                 u"0x",
                                 u"0x1G",
                                 u"-0x1F",
                                 u"0x80000000",
                                 u"2147483648",
                                 u"-2147483649",
                                 u"99999999999999999999999",
                                 u"\u0661\u0662",
                                 u"\uFF11\uFF12"}) {
        EXPECT_FALSE(iniInteger(text).has_value()) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_FALSE(iniInteger(QStringView(u"1\0002", 3)).has_value());
}
