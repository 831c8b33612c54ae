#include "ui/no_range_warning.h"

#include "measure/measurement_evaluation.h"

NoRangeWarning::NoRangeWarning(const QString& consequence, QWidget* parent)
    : QLabel(QStringLiteral("No range data - ") + consequence, parent) {
    const QString why = QStringLiteral(
        "The instrument reports automatic ranging or an unknown range, so its readings cannot "
        "be scaled and are skipped.");
    setAccessibleName(text());
    setAccessibleDescription(why);
    setToolTip(why);
    hide();
}

void NoRangeWarning::follow(const EvaluationResult& cycle) {
    setVisible(!cycle.usable);
}
