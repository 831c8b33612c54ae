#pragma once

#include <QWidget>

#include "device/measuring_cycle.h"
#include "display/measurement_record.h"
#include "measure/measurement_evaluation.h"
#include "ui/fitting_label.h"
#include "ui/operator_dialogs.h"

class CircleShape;
class NoRangeWarning;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class RadioGroup;

// The live display window: the measured value in large digits with its extremes (or, in the
// minimum depiction, the minima inside the limit band with an alarm), range, mode, cycle time
// and battery warning. Start runs the measuring loop until Break; Save Data writes the shown
// values as a CSV record; Back returns to the main window.
class TFormDisplay : public QWidget {
    Q_OBJECT

public:
    explicit TFormDisplay(QWidget* parent = nullptr);

    // Clears the shown value and the extremes; the record fields stay.
    void resetDisplay();
    // Rebuilds the range items for a mode letter (distance in mm for 'M') and selects item 0.
    void fillRangeItems(char letter, int distance);
    // The value label's background: the button face, or red for an alarm.
    void setMeasuredValueColour(const QColor& colour);

    const MeasurementEvaluation& evaluation() const { return cycle.evaluation(); }

    RadioGroup* RadioGroup_Mode;
    QLabel* Label_selectDistance;
    QScrollBar* ScrollBar_distance;
    QLabel* LabelMeasuringdistance;
    QLabel* Label_distance;
    RadioGroup* RadioGroup_Range;
    QGroupBox* GroupBox_Measuredvalue;
    FittingLabel* Label_measuredValue;
    FittingLabel* Label_unit;
    QLabel* Label_Low_Batterie_D;
    NoRangeWarning* Label_No_Range_D;
    QLabel* LabelRepeatTime;
    QLabel* LabelRepeatTimeVal;
    CircleShape* Shape_Tick;
    QGroupBox* GroupBox_minValue;
    FittingLabel* Label_neg_maxValue;
    FittingLabel* Label_minValUnit;
    QGroupBox* GroupBox_maxValue;
    FittingLabel* Label_pos_maxValue;
    FittingLabel* Label_maxValUnit;
    QPushButton* BitBtn_start;
    QPushButton* BitBtn_break;
    QPushButton* BitBtn_reset;
    QPushButton* BitBtn_setup;
    QPushButton* BitBtnSavedata;
    QPushButton* BitBtn_back;
    OperatorDialogs::SaveFileRequest SaveDialog_Mv;

    char modeLetter = 'F';
    bool breakRequested = false;
    MeasurementRecord measurementRecord;
    QString headerMax;
    QString headerMin;

signals:
    // Back: the main window takes over again.
    void backRequested();
    // Setup: the setup dialog runs; the signal returns when it has ended.
    void setupRequested();

public slots:
    void BitBtn_startClick();
    void BitBtn_breakClick();
    void BitBtn_resetClick();
    void BitBtn_backClick();
    void BitBtnSavedataClick();
    void BitBtn_setupClick();
    void RadioGroup_ModeClick();
    void RadioGroup_RangeClick();
    void ScrollBar_distanceChange();

protected:
    // Enter saves, Escape goes back, as the window's default and cancel buttons.
    void keyPressEvent(QKeyEvent* event) override;
    // The window is left through Back only.
    void closeEvent(QCloseEvent* event) override;

private:
    // Tick state of one measuring loop; nested loops keep their own.
    struct TickState {
        int count = 0;
        bool on = false;
    };

    void buildControls();
    void placeOnScreen();
    void setDistanceControlsVisible(bool visible);
    // Save Data: the instrument's identity, date, time and comment into the record.
    void fillRecordSource(const QString& comment);
    // Save Data: the file the operator picks; empty when cancelled.
    QString askRecordFileName();
    // One pass of the measuring loop, from the reading to the wait.
    void measuringCycle(TickState& tick);
    void showEvaluation(const EvaluationResult& result);
    void blinkTick(TickState& tick);
    void waitForCycleEnd();

    MeasuringCycle cycle{WindowKind::Display};
};
