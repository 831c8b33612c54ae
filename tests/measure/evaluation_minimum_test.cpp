#include <gtest/gtest.h>

#include "evaluation_fixture.h"

namespace {

// Display window, device type 115 field meter, limit 50 % of the range.
class MinimumDepiction : public EvaluationTest {
protected:
    MinimumDepiction() {
        selectMode(115, 'F');
        input_.displayDepiction = 1;
        input_.limit = 50;
        display_.reset(1);
    }
};
INSTANTIATE_FOR_BOTH_SEPARATORS(MinimumDepiction);

TEST_P(MinimumDepiction, CaptionsNameTheLimitBand) {
    const EvaluationResult r = run(display_, 4000, 3);  // 10 kV/m, outside the band
    ASSERT_TRUE(r.usable);
    EXPECT_EQ(display_.posLimit(), 2.5);
    EXPECT_EQ(display_.negLimit(), -2.5);
    EXPECT_TRUE(r.writeExtremeCaptions);
    EXPECT_EQ(r.negCaption, "neg. minimum " + local("-2.5") + "kV/m");
    EXPECT_EQ(r.posCaption, "Pos. minimum " + local("2.5") + "kV/m");
    EXPECT_FALSE(r.alarm);
    EXPECT_FALSE(r.writePosExtreme);
    EXPECT_FALSE(r.writeNegExtreme);
}

TEST_P(MinimumDepiction, TracksTheMinimaInsideTheBandWithAnAlarm) {
    // 2.4, 1.0, 1.7, -2.6, -0.5 kV/m on the 5 kV/m range (0.0025 kV/m per count).
    const EvaluationResult first = run(display_, 960, 3);
    EXPECT_TRUE(first.alarm);
    EXPECT_EQ(first.valueText, local("2.40"));
    EXPECT_TRUE(first.writePosExtreme);
    EXPECT_EQ(first.posExtremeText, local("2.40"));

    const EvaluationResult second = run(display_, 400, 3);
    EXPECT_TRUE(second.alarm);
    EXPECT_EQ(second.posExtremeText, local("1.00"));

    const EvaluationResult third = run(display_, 680, 3);
    EXPECT_TRUE(third.alarm);
    EXPECT_FALSE(third.writePosExtreme);

    const EvaluationResult fourth = run(display_, -1040, 3);
    EXPECT_FALSE(fourth.alarm);
    EXPECT_EQ(fourth.valueText, local("-2.60"));
    EXPECT_FALSE(fourth.writeNegExtreme);

    const EvaluationResult fifth = run(display_, -200, 3);
    EXPECT_TRUE(fifth.alarm);
    EXPECT_TRUE(fifth.writeNegExtreme);
    EXPECT_EQ(fifth.negExtremeText, local("-0.50"));

    EXPECT_DOUBLE_EQ(display_.posMin(), 1.0);
    EXPECT_DOUBLE_EQ(display_.negMin(), -0.5);
}

TEST_P(MinimumDepiction, LimitsAndZeroLieOutsideTheBand) {
    for (double counts : {1000.0, -1000.0, 0.0}) {  // 2.5, -2.5 and 0 kV/m
        const EvaluationResult r = run(display_, counts, 3);
        EXPECT_FALSE(r.alarm) << counts;
        EXPECT_FALSE(r.writePosExtreme) << counts;
        EXPECT_FALSE(r.writeNegExtreme) << counts;
    }
    EXPECT_TRUE(run(display_, 999, 3).alarm);
    EXPECT_TRUE(run(display_, -999, 3).alarm);
}

TEST_P(MinimumDepiction, ValueAlwaysShowsTwoDecimals) {
    EXPECT_EQ(run(display_, 1000, 0).valueText, local("125.00"));
    EXPECT_EQ(display_.posLimit(), 125.0);  // the band follows the reported range
}

TEST_P(MinimumDepiction, OverrangeKeepsBandCaptionsAndMinima) {
    run(display_, 400, 3);
    const EvaluationResult over = run(display_, 400, 0, 1);
    ASSERT_TRUE(over.usable);
    EXPECT_EQ(over.valueText, "    OVR     ");
    EXPECT_FALSE(over.alarm);
    EXPECT_FALSE(over.writeExtremeCaptions);
    EXPECT_FALSE(over.writePosExtreme);
    EXPECT_FALSE(over.writeNegExtreme);
    EXPECT_EQ(display_.posLimit(), 2.5);  // not the 250 kV/m range of the overrange reading
    EXPECT_FALSE(display_.overrangeSeen());
    EXPECT_TRUE(over.writeCaption);
}

TEST_P(MinimumDepiction, ResetRestartsTheTrackers) {
    run(display_, 400, 3);
    display_.reset(1);
    EXPECT_EQ(display_.posMin(), 9999.0);
    EXPECT_EQ(display_.negMin(), -9999.0);
    const EvaluationResult r = run(display_, 900, 3);
    EXPECT_TRUE(r.writePosExtreme);
    EXPECT_EQ(r.posExtremeText, local("2.25"));

    display_.reset(0);
    EXPECT_EQ(display_.posMin(), -9999.0);
    EXPECT_EQ(display_.negMin(), 9999.0);
}

TEST(MinimumDepictionComma, CaptionsUseTheDecimalComma) {
    LocaleScope scope(commaLocale);
    RangeTables tables;
    tables.fillRangeTables();
    MeasurementEvaluation display(WindowKind::Display);
    display.reset(1);
    EvaluationInput input;
    input.deviceType = 115;
    input.modeLetter = 'F';
    input.displayDepiction = 1;
    input.limit = 50;
    input.reading = Reading{-200, 3, 0};
    const EvaluationResult r = display.evaluate(tables, input);
    EXPECT_EQ(r.negCaption, "neg. minimum -2,5kV/m");
    EXPECT_EQ(r.posCaption, "Pos. minimum 2,5kV/m");
    EXPECT_EQ(r.negExtremeText, "-0,50");
}

}  // namespace
