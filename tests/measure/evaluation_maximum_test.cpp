#include <gtest/gtest.h>

#include "evaluation_fixture.h"

namespace {

class MaximumDepiction : public EvaluationTest {
protected:
    MaximumDepiction() {
        selectMode(115, 'F');
        display_.reset(0);
        chart_.reset();
    }
};
INSTANTIATE_FOR_BOTH_SEPARATORS(MaximumDepiction);

TEST_P(MaximumDepiction, ScalesByTheReportedRangeAndFormatsWithItsDecimals) {
    const EvaluationResult r = run(display_, 1000, 3);
    ASSERT_TRUE(r.usable);
    EXPECT_DOUBLE_EQ(r.displayValue, 2.5);
    EXPECT_EQ(r.valueText, local("2.50"));
    EXPECT_EQ(r.unitText, "kV/m");
    EXPECT_EQ(r.rangeText, "5kV/m");
    EXPECT_EQ(r.modeText, "E-Fieldmeter");
    EXPECT_TRUE(r.writeCaption);
    EXPECT_EQ(r.caption, "Measured value  Range = 5kV/m Mode = E-Fieldmeter");
    EXPECT_EQ(r.recMode, "E-Fieldmeter");
    EXPECT_EQ(r.recRange, "5kV/m");
    EXPECT_EQ(r.recUnit, "kV/m");
    EXPECT_TRUE(r.writeExtremeCaptions);
    EXPECT_EQ(r.negCaption, "neg. maximum");
    EXPECT_EQ(r.posCaption, "pos. maximum");
    EXPECT_FALSE(r.alarm);

    const EvaluationResult negative = run(display_, -2000, 3);
    EXPECT_EQ(negative.valueText, local("-5.00"));
    EXPECT_EQ(display_.negMax(), -5.0);
    EXPECT_EQ(negative.negExtremeText, local("-5.00"));
    EXPECT_EQ(negative.posExtremeText, local("2.50"));

    // During automatic ranging the texts follow the instrument's range.
    const EvaluationResult largest = run(display_, 1000, 0);
    EXPECT_EQ(largest.valueText, "125");
    EXPECT_EQ(largest.rangeText, "250kV/m");
}

TEST_P(MaximumDepiction, ExtremesKeepTheLargestValuesAndIgnoreZero) {
    selectMode(115, 'V');  // range 1 "500V": factor 0.25, no decimals
    for (double counts : {0.0, 12.0, -4.0, 0.0, 8.0}) {
        run(display_, counts, 1);
    }
    EXPECT_EQ(display_.posMax(), 3.0);
    EXPECT_EQ(display_.negMax(), -1.0);
    const EvaluationResult r = run(display_, 0, 1);
    EXPECT_EQ(r.valueText, "0");
    EXPECT_EQ(r.negExtremeText, "-1");
    EXPECT_EQ(r.posExtremeText, "3");
}

TEST_P(MaximumDepiction, OverrangeFreezesTheExtremeLabelsUntilReset) {
    run(display_, 1000, 3);
    const EvaluationResult over = run(display_, 9999, 3, 1);
    ASSERT_TRUE(over.usable);
    EXPECT_TRUE(display_.overrangeSeen());
    EXPECT_EQ(over.valueText, "OVR    ");
    EXPECT_TRUE(over.writeNegExtreme);
    EXPECT_EQ(over.negExtremeText, "OVR ");
    EXPECT_EQ(over.posExtremeText, "OVR ");
    EXPECT_EQ(display_.posMax(), 2.5);  // not taken from the overrange reading
    EXPECT_FALSE(over.writeExtremeCaptions);
    EXPECT_TRUE(over.writeCaption);  // the display's caption is written with overrange too
    EXPECT_FALSE(over.stopRecording);

    const EvaluationResult next = run(display_, -2000, 3);
    EXPECT_EQ(next.valueText, local("-5.00"));
    EXPECT_FALSE(next.writeNegExtreme);
    EXPECT_FALSE(next.writePosExtreme);

    const ResetTexts texts = display_.reset(0);
    EXPECT_FALSE(display_.overrangeSeen());
    EXPECT_EQ(display_.negMax(), 0.0);
    EXPECT_EQ(texts.extremeText, "0");
    const EvaluationResult afterReset = run(display_, 400, 3);
    EXPECT_TRUE(afterReset.writePosExtreme);
    EXPECT_EQ(afterReset.posExtremeText, local("1.00"));
    EXPECT_EQ(afterReset.negExtremeText, local("0.00"));
}

TEST_P(MaximumDepiction, ChartTitlesWithoutExtremeCaptionsAndPlotsEveryNormalReading) {
    const EvaluationResult r = run(chart_, 1000, 3);
    ASSERT_TRUE(r.usable);
    EXPECT_EQ(r.caption, "Range = 5kV/m Mode = E-Fieldmeter");
    EXPECT_TRUE(r.writeCaption);
    EXPECT_FALSE(r.writeExtremeCaptions);
    EXPECT_TRUE(r.plotPoint);
    EXPECT_EQ(r.fullScale, 5.0);
    EXPECT_FALSE(r.stopRecording);

    const EvaluationResult over = run(chart_, 9999, 3, 1);
    EXPECT_EQ(over.valueText, "OVR    ");
    EXPECT_EQ(over.negExtremeText, "OVR ");
    EXPECT_FALSE(over.plotPoint);
    EXPECT_FALSE(over.writeCaption);
    EXPECT_TRUE(over.stopRecording);
    EXPECT_TRUE(chart_.overrangeSeen());
}

TEST_P(MaximumDepiction, ChartIgnoresTheMinimumDepiction) {
    input_.displayDepiction = 1;
    input_.limit = 50;
    chart_.reset(1);
    const EvaluationResult r = run(chart_, 400, 0);  // 50 kV/m, far inside a 50 % band
    EXPECT_EQ(r.valueText, "50");
    EXPECT_FALSE(r.alarm);
    EXPECT_EQ(r.posExtremeText, "50");
    EXPECT_EQ(chart_.posMax(), 50.0);
}

TEST_P(MaximumDepiction, ResetWritesEachWindowsStartTexts) {
    const ResetTexts display = display_.reset(0);
    EXPECT_TRUE(display.writeValue);
    EXPECT_EQ(display.valueText, "0");
    EXPECT_EQ(display.extremeText, "0");
    const ResetTexts chart = chart_.reset();
    EXPECT_FALSE(chart.writeValue);
    EXPECT_EQ(chart.extremeText, "0,0");
}

TEST(MaximumDepictionComma, ShowsTheDecimalComma) {
    LocaleScope scope(commaLocale);
    RangeTables tables;
    tables.fillRangeTables();
    MeasurementEvaluation display(WindowKind::Display);
    display.reset(0);
    EvaluationInput input;
    input.deviceType = 115;
    input.modeLetter = 'F';
    input.reading = Reading{1000, 3, 0};
    EXPECT_EQ(display.evaluate(tables, input).valueText, "2,50");
}

}  // namespace
