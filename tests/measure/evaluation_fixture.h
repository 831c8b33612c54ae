#pragma once

#include "locale_scope.h"
#include "measure/measurement_evaluation.h"
#include "measure/range_items.h"

// One window's evaluation with the program's range tables, fed reading by reading.
class EvaluationTest : public SeparatorTest {
protected:
    EvaluationTest() { tables_.fillRangeTables(); }

    // Device type, letter and range items as the window's mode handler would leave them.
    void selectMode(int deviceType, char letter, int distance = 5) {
        input_.deviceType = deviceType;
        input_.modeLetter = letter;
        input_.distance = distance;
        input_.rangeItems = rangeItemTexts(tables_, WindowKind::Chart, deviceType, letter,
                                           letter == 'M' ? distance : 1);
    }

    EvaluationResult run(MeasurementEvaluation& evaluation, double value, int rangeIndex,
                         int overrange = 0) {
        input_.reading = Reading{value, rangeIndex, overrange};
        return evaluation.evaluate(tables_, input_);
    }

    RangeTables tables_;
    EvaluationInput input_;
    MeasurementEvaluation display_{WindowKind::Display};
    MeasurementEvaluation chart_{WindowKind::Chart};
};
