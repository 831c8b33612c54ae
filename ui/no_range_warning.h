#pragma once

#include <QLabel>

struct EvaluationResult;

// Tells the operator why the measured value stands still while the cycles go on: the
// instrument reports no range its readings can be scaled with (automatic ranging or a raw
// range byte), so those cycles are skipped. It shows after such a cycle and goes with the
// next cycle that has range data; the windows also hide it when prepared and at Start.
class NoRangeWarning : public QLabel {
public:
    // `consequence` says what the window does meanwhile, e.g. "value held".
    NoRangeWarning(const QString& consequence, QWidget* parent);

    // Shown after a cycle without range data, hidden after one with.
    void follow(const EvaluationResult& cycle);
};
