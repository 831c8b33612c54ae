#pragma once

#include <QString>
#include <QStringList>

#include "measure/range_tables.h"
#include "measure/window_kind.h"

// One reading of the instrument, as readMeasurement reports it.
struct Reading {
    double value = 0.0;  // signed counts; 2000 counts are the full scale of a range
    int rangeIndex = 0;  // the range the instrument reports (0..3, 4 automatic, or a raw byte)
    int overrange = 0;   // not 0: the instrument reports overrange
};

struct EvaluationInput {
    Reading reading;
    int deviceType = 0;
    char modeLetter = 'F';
    QStringList rangeItems;    // the window's range item texts; read in the distance mode 'M'
    int distance = 5;          // the window's distance bar in mm; only for the 'M' captions
    int displayDepiction = 0;  // 0 maximum depiction, otherwise minimum (display window only)
    int limit = 0;             // limit band in percent of the range (display window only)
};

// Everything a window shows after one cycle. When usable is false the window writes nothing
// (no label, caption, colour, sound, record field or chart point) and keeps the previous
// texts; only stopRecording still applies.
struct EvaluationResult {
    bool usable = false;         // the cycle had range data to scale and format with
    bool overrange = false;      // the reading reports overrange
    bool stopRecording = false;  // chart: an overrange ends the recording after this cycle

    double displayValue = 0.0;
    QString unitText;   // Label_unit, Label_minValUnit, Label_maxValUnit (chart: axis title)
    QString valueText;  // Label_measuredValue

    bool writeNegExtreme = false;  // Label_neg_maxValue / Label_neg_Value
    QString negExtremeText;
    bool writePosExtreme = false;  // Label_pos_maxValue / Label_pos_Value
    QString posExtremeText;

    bool writeExtremeCaptions = false;  // display only: GroupBox_minValue / GroupBox_maxValue
    QString negCaption;
    QString posCaption;

    QString rangeText;  // shown range text (the distance rule's in 'M')
    QString modeText;   // shown mode text

    bool writeCaption = false;  // display: GroupBox_Measuredvalue; chart: chart title
    QString caption;

    bool alarm = false;      // display, minimum depiction: value label red and "Sound.WAV"
                             // played; without alarm the label gets the button-face colour
    bool plotPoint = false;  // chart: add (elapsedMs, displayValue), then axisLimit := fullScale
    double fullScale = 0.0;  // display: the range's number; chart: after the distance rule

    QString recMode;  // record fields of the display window
    QString recRange;
    QString recUnit;
};

// Texts a reset writes; the chart's value label keeps its text.
struct ResetTexts {
    bool writeValue = false;
    QString valueText;    // Label_measuredValue
    QString extremeText;  // both extreme labels
};

// The evaluation rules of both measuring windows and the state they keep between cycles.
// Each window owns one, made for its kind:
//   - Display: maximum or minimum depiction by displayDepiction, captions of the extreme
//     groups, limit band with alarm; an overrange only changes the texts.
//   - Chart: always the maximum depiction, no limit band, no extreme captions; the chart
//     title is left alone on overrange, no point is plotted and the recording stops.
//
// A cycle takes the range data of the range the instrument reports. When the mode letter has
// no lookup row (the instrument reporting 'C' or 'E'), the range data of the last usable cycle
// of this run stand. A cycle without range data to read (no such earlier cycle, the automatic
// range index 4 or a raw range byte, an unreadable distance item) is not usable: nothing is
// scaled, formatted or plotted and the state stays as it was.
class MeasurementEvaluation {
public:
    explicit MeasurementEvaluation(WindowKind kind) : kind_(kind) {}

    // At Start: forgets the range data of an earlier run. The window also calls reset().
    void beginRun();

    // resetDisplay / resetChart: extremes 0, overrangeSeen cleared; the display's minimum
    // trackers start at -9999 / +9999 in the minimum depiction (+9999 / -9999 otherwise).
    // Limits and range data stay. The chart ignores displayDepiction.
    ResetTexts reset(int displayDepiction = 0);

    // One cycle, right after the reading (and after a forced range's repeated reading).
    EvaluationResult evaluate(const RangeTables& tables, const EvaluationInput& input);

    double negMax() const { return negMax_; }
    double posMax() const { return posMax_; }
    bool overrangeSeen() const { return overrangeSeen_; }
    double fullScale() const { return fullScale_; }
    double posLimit() const { return posLimit_; }
    double negLimit() const { return negLimit_; }
    double posMin() const { return posMin_; }
    double negMin() const { return negMin_; }

private:
    struct RangeData {
        QString rangeText;
        double factor = 0.0;
        QString modeText;
        int decimals = 0;
    };

    void applyMaximumDepiction(double displayValue, int decimals, bool overrange,
                               EvaluationResult& result);
    void applyMinimumDepiction(double displayValue, double tableFullScale, int limit,
                               bool overrange, EvaluationResult& result);

    WindowKind kind_;
    RangeData rangeData_;
    double negMax_ = 0.0;
    double posMax_ = 0.0;
    bool overrangeSeen_ = false;
    double fullScale_ = 0.0;
    double posLimit_ = 0.0;
    double negLimit_ = 0.0;
    double posMin_ = -9999.0;
    double negMin_ = 9999.0;
};
