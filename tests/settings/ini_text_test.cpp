#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace {

const QByteArray sampleCrLf =
    "; Zalvo read-out settings\r\n"
    "\r\n"
    "[Display]\r\n"
    "DisplayDepiction=1\r\n"
    "  Limit = 80  \r\n"
    "; where records go\r\n"
    "DataDirectory=/home/op/data/\r\n"
    "\r\n"
    "[Sampling]\r\n"
    "SamplingTimeDisplay=500\r\n"
    "SamplingTimeChart=1000\r\n";

QByteArray withLf(QByteArray text) {
    return text.replace("\r\n", "\n");
}

std::optional<QString> valueIn(const QByteArray& bytes, const char* section, const char* key) {
    return IniText(bytes).value(section, key);
}

}  // namespace

TEST(IniText, MatchesNamesWithoutRegardToCaseAndTrimsBlanks) {
    const QByteArray text = "[display]\nlimit=30\n[ SAMPLING ]\n\t SamplingTimeChart \t= 400 \t\n";
    EXPECT_EQ(valueIn(text, "Display", "Limit"), "30");
    EXPECT_EQ(valueIn(text, "Sampling", "SamplingTimeChart"), "400");
    EXPECT_EQ(valueIn(text, "Sampling", "Limit"), std::nullopt);
    EXPECT_EQ(valueIn(text, "Other", "Limit"), std::nullopt);
    EXPECT_EQ(valueIn(sampleCrLf, "Display", "Limit"), "80");
    EXPECT_EQ(valueIn(sampleCrLf, "Display", "DataDirectory"), "/home/op/data/");
    // CR LF ends converted twice leave a stray CR before each line end.
    EXPECT_EQ(valueIn("[Display]\r\r\nLimit=80\r\r\n", "Display", "Limit"), "80");
}

TEST(IniText, IgnoresCommentsStrayLinesAndKeysOutsideSections) {
    const QByteArray text =
        "\xEF\xBB\xBFLimit=1\n"
        "[Display] ; the window\n"
        ";Limit=2\n"
        "Limit\n"
        "just some words\n"
        "Limit=\n"
        "[Sampling\n"
        "Limit=4\n";
    EXPECT_EQ(valueIn(text, "Display", "Limit"), "");
    EXPECT_EQ(valueIn(text, "Sampling", "Limit"), "4");
    EXPECT_EQ(IniText(text).integer("Display", "Limit", 50), 50);
    EXPECT_EQ(IniText("\xEF\xBB\xBF[Display]\nLimit=7\n").integer("Display", "Limit", 50), 7);
}

TEST(IniText, FirstOfDuplicateKeysCountsAndIsReplaced) {
    IniText text(
        "[Display]\nLimit=10\nLimit=20\n[Sampling]\n[display]\nLimit=30\nDataDirectory=/d/\n");
    EXPECT_EQ(text.value("Display", "Limit"), "10");
    EXPECT_EQ(text.value("Display", "DataDirectory"), "/d/");  // a repeated section counts too
    ASSERT_TRUE(text.setValue("Display", "Limit", "11"));
    EXPECT_EQ(
        text.bytes(),
        "[Display]\nLimit=11\nLimit=20\n[Sampling]\n[display]\nLimit=30\nDataDirectory=/d/\n");
}

TEST(IniText, ReplacingAKeyKeepsEveryOtherByte) {
    for (const QByteArray& sample : {sampleCrLf, withLf(sampleCrLf)}) {
        IniText text(sample);
        ASSERT_TRUE(text.setValue("DISPLAY", "limit", "30"));
        ASSERT_TRUE(text.setValue("Sampling", "SamplingTimeChart", "-1"));
        QByteArray expected = sample;
        expected.replace("  Limit = 80  ", "  Limit = 30");
        expected.replace("SamplingTimeChart=1000", "SamplingTimeChart=-1");
        EXPECT_EQ(text.bytes(), expected);
        EXPECT_EQ(text.value("Display", "Limit"), "30");
    }
}

TEST(IniText, AddsAMissingKeyAfterTheLastKeyOfItsSection) {
    IniText text(sampleCrLf);
    ASSERT_TRUE(text.setValue("Display", "Extra", "x"));
    QByteArray expected = sampleCrLf;
    expected.replace("data/\r\n", "data/\r\nExtra=x\r\n");
    EXPECT_EQ(text.bytes(), expected);

    IniText onlyHeader("[Display]\n; to come\n\n[Sampling]\n");
    ASSERT_TRUE(onlyHeader.setValue("Display", "Limit", "30"));
    EXPECT_EQ(onlyHeader.bytes(), "[Display]\nLimit=30\n; to come\n\n[Sampling]\n");
}

TEST(IniText, AddsAMissingSectionAtTheEnd) {
    IniText empty;
    ASSERT_TRUE(empty.setValue("Display", "Limit", "30"));
    EXPECT_EQ(empty.bytes(), "[Display]\nLimit=30\n");

    IniText crLf("[Display]\r\nLimit=80\r\n");
    ASSERT_TRUE(crLf.setValue("Sampling", "SamplingTimeChart", "400"));
    EXPECT_EQ(crLf.bytes(), "[Display]\r\nLimit=80\r\n[Sampling]\r\nSamplingTimeChart=400\r\n");

    IniText noFinalLineEnd("[Display]\r\nLimit=80");
    ASSERT_TRUE(noFinalLineEnd.setValue("Display", "DataDirectory", "/d/"));
    EXPECT_EQ(noFinalLineEnd.bytes(), "[Display]\r\nLimit=80\r\nDataDirectory=/d/\r\n");
}

TEST(IniText, NamesAndValuesStartingWithAZeroWidthNoBreakSpaceReadBack) {
    // Only the file's own byte order mark is skipped; U+FEFF inside it was once dropped too.
    const QString value = QChar(0xFEFF) + QStringLiteral("33");
    const QString key = QChar(0xFEFF) + QStringLiteral("Limit");
    IniText text("\xEF\xBB\xBF[Display]\nLimit=1\n");
    ASSERT_TRUE(text.setValue("Display", "Limit", value));
    ASSERT_TRUE(text.setValue("Display", key, "2"));
    EXPECT_EQ(text.value("Display", "Limit"), value);
    EXPECT_EQ(text.value("Display", key), "2");
    EXPECT_EQ(text.integer("Display", "Limit", 50), 50);
}

TEST(IniText, RefusesWhatAnIniFileCannotHold) {
    IniText text(sampleCrLf);
    EXPECT_FALSE(text.setValue("Display", "DataDirectory", "/a\nb/"));
    EXPECT_FALSE(text.setValue("Display", "DataDirectory", "/a\rb/"));
    EXPECT_FALSE(text.setValue("Dis]play", "Limit", "1"));
    EXPECT_FALSE(text.setValue("Display", "Li=mit", "1"));
    EXPECT_FALSE(text.setValue("Display", ";Limit", "1"));
    EXPECT_FALSE(text.setValue("Display", " Limit", "1"));
    EXPECT_FALSE(text.setValue("", "Limit", "1"));
    EXPECT_EQ(text.bytes(), sampleCrLf);
}

TEST(IniText, BinaryGarbageReadsAsMissingAndStaysAroundAWrite) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    }
    IniText text(garbage);
    EXPECT_EQ(text.integer("Display", "Limit", 50), 50);
    ASSERT_TRUE(text.setValue("Display", "Limit", "30"));
    EXPECT_TRUE(text.bytes().startsWith(garbage));
    EXPECT_EQ(text.integer("Display", "Limit", 50), 30);
}
