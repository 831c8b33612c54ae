#include <gtest/gtest.h>

#include "recording/csv_fields.h"

TEST(CsvFields, PlainTextsStayUnquoted) {
    EXPECT_EQ(csvField("E-Fieldmeter"), "E-Fieldmeter");
    EXPECT_EQ(csvField("Voltmeter Pelvar 1"), "Voltmeter Pelvar 1");
    EXPECT_EQ(csvField(""), "");
}

TEST(CsvFields, SeparatorsQuotesAndOuterBlanksAreQuoted) {
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField(" 133"), "\" 133\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
}

TEST(CsvFields, QuotedFieldsSplitBackToTheirTexts) {
    const QStringList texts = {"plain", "a,b", "say \"hi\"", " lead", "", "trail ", ",", "\"\""};
    QStringList line;
    for (const QString& text : texts) {
        line << csvField(text);
    }
    QStringList fields;
    ASSERT_TRUE(splitCsvLine(line.join(','), fields));
    EXPECT_EQ(fields, texts);
}

TEST(CsvFields, EmptyFieldsAtBothEndsCount) {
    QStringList fields;
    ASSERT_TRUE(splitCsvLine(",x,", fields));
    EXPECT_EQ(fields, QStringList({"", "x", ""}));
    ASSERT_TRUE(splitCsvLine("", fields));
    EXPECT_EQ(fields, QStringList({""}));
}

TEST(CsvFields, BrokenQuotingIsRefused) {
    QStringList fields;
    EXPECT_FALSE(splitCsvLine("\"open", fields));
    EXPECT_FALSE(splitCsvLine("\"closed\"tail,x", fields));
    EXPECT_FALSE(splitCsvLine("in\"side", fields));
}
