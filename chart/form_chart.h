#pragma once

#include <QWidget>
#include <QtGlobal>

#include "chart/chart_recording.h"
#include "device/measuring_cycle.h"
#include "measure/measurement_evaluation.h"
#include "ui/fitting_label.h"

class ChartToolbar;
class ChartWidget;
class NoRangeWarning;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class RadioGroup;

// The chart window: records the instrument's value over time as a line chart, with mode,
// range, distance and sampling-time controls. Shown by the main window's "Start measurement
// chart", left only through Back.
class TFormChart : public QWidget {
    Q_OBJECT

public:
    explicit TFormChart(QWidget* parent = nullptr);

    // Extreme labels "0,0", extremes 0, no points, next point at x = 0, overrange forgotten;
    // the recording file ends.
    void resetChart();
    // Rebuilds the range items for a mode letter (distance in mm, only for 'M') and selects
    // the item of currentRange.
    void fillRangeItems(char letter, int distance);

    double negMax() const { return cycle.evaluation().negMax(); }
    double posMax() const { return cycle.evaluation().posMax(); }
    bool overrangeSeen() const { return cycle.evaluation().overrangeSeen(); }

    ChartToolbar* TeeCommander1;
    ChartWidget* Chart1;
    QGroupBox* GroupBoxAll;
    QGroupBox* GroupBoxMeasuredVal;
    FittingLabel* Label_measuredValue;
    FittingLabel* Label_unit;
    QGroupBox* GroupBoxNegMax;
    FittingLabel* Label_neg_Value;
    FittingLabel* Label_minValUnit;
    QGroupBox* GroupBoxPosMax;
    FittingLabel* Label_pos_Value;
    FittingLabel* Label_maxValUnit;
    QPushButton* BitBtn_Start;
    QPushButton* BitBtn_Break;
    QPushButton* BitBtn_Reset;
    QPushButton* BitBtn_Back;
    RadioGroup* RadioGroup_Mode;
    QLabel* Label_selectDistance;
    QScrollBar* ScrollBar_distance_Ch;
    QLabel* Label_Measuringdistance;
    QLabel* Label_distance;
    RadioGroup* RadioGroup_Range;
    QLabel* LabelSampleTime;
    QScrollBar* ScrollBar_SamplingTime;
    QLabel* Label_SampleTime;
    QLabel* Label_SampleTime_Value;
    QLabel* LabelGetSamplingTime;
    QLabel* LabelSamplingTimeVal;
    QLabel* Label_Low_Batterie_C;
    NoRangeWarning* Label_No_Range_C;
    // Shown below the chart when the recording cannot be saved to its file; the chart goes on
    // recording.
    QLabel* Label_File_Warning;

    char modeLetter = 'F';
    bool breakRequested = false;
    // x of the next point in ms. 64 bits, so a recording of more than 24 days goes on
    // rising instead of wrapping to negative times.
    qint64 elapsedMs = 0;

signals:
    // Back: the main window takes over again.
    void backRequested();

public slots:
    // Runs the recording loop until Break or an overrange ends it.
    void BitBtn_StartClick();
    void BitBtn_BreakClick();
    void BitBtn_ResetClick();
    void BitBtn_BackClick();
    void RadioGroup_ModeClick();
    void RadioGroup_RangeClick();
    void ScrollBar_distance_ChChange();
    void ScrollBar_SamplingTimeChange();

protected:
    // There is no close box; Back is the way out.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // Alt+R breaks a running recording and resets otherwise.
    void shareAltR();
    void placeOnScreen();
    // resetChart without ending the recording file.
    void clearChart();
    // Offers to store a changed sampling time; false when writing SETUP.INI failed.
    bool offerSamplingTimeStore();
    void showDistanceControls(bool visible);
    void setUnitLabels(const QString& unit);
    void setRecordingControlsEnabled(bool enabled);
    // Reads the instrument's mode into the letter and selects its item; false, changing
    // nothing, when the mode could not be read.
    bool followInstrumentMode(char& letter);
    // One recording from Start to its end: the sampling time taken at Start, the length of the
    // last cycle and the value axis's bound for the next point.
    struct RecordingRun {
        int samplingTime = 0;
        double lastInterval = 0.0;
        double axisLimit = 0.0;
    };
    void startRecording(int samplingTime);
    void recordingCycle(RecordingRun& run);
    void showCycle(const EvaluationResult& shown, RecordingRun& run);
    void showValues(const EvaluationResult& shown);
    ChartRecordingSource recordingSource(int samplingTime) const;
    void recordingFileStarted(const QString& path);
    void recordingFailed(const QString& reason);

    MeasuringCycle cycle{WindowKind::Chart};
    // Every plotted point also goes to a file, so that a recording outlives the program.
    ChartRecording recording;
    // Recording loops running; a Start during a winding-down cycle nests a second one.
    int runningLoops = 0;
};
