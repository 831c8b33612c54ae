#include "measure/measurement_evaluation.h"

#include <QLocale>
#include <cmath>

#include "measure/number_format.h"
#include "measure/range_lookup.h"

namespace {

constexpr double trackerStart = 9999.0;
// Maps 2000 counts to the full scale, like the factors of the tables.
constexpr double countsToFullScale = 0.0005;
constexpr int valuePrecision = 6;
constexpr int minimumPrecision = 4;
constexpr int minimumDecimals = 2;
constexpr int limitDecimals = 1;

const QString overrangeValue = QStringLiteral("OVR    ");
const QString overrangeExtreme = QStringLiteral("OVR ");
const QString overrangeMinimumValue = QStringLiteral("    OVR     ");

bool readNumber(const QString& text, double& number) {
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) {
        return false;
    }
    number = value;
    return true;
}

// The distance voltmeter's full scale comes from the window's range items, which follow the
// set distance: item 3 - r. The fixed ranges end in "V"; the largest may be in "kV".
bool distanceFullScale(const QStringList& rangeItems, int rangeIndex, double& fullScale,
                       QString& unitText) {
    const int item = 3 - rangeIndex;
    if (item < 0 || item >= rangeItems.size()) {
        return false;
    }
    const QString& text = rangeItems.at(item);
    if (rangeIndex == 0) {
        return splitRangeText(text, fullScale, unitText);
    }
    if (!readNumber(text.chopped(text.isEmpty() ? 0 : 1), fullScale)) {
        return false;
    }
    unitText = QStringLiteral("V");
    return true;
}

QString displayCaption(const QString& rangeText, const QString& modeText, char modeLetter,
                       int distance) {
    if (modeLetter == 'M') {
        return QStringLiteral("Measured value  Range = ") + rangeText +
               QStringLiteral("   Mode = ") + modeText + QLatin1Char(' ') +
               formatInteger(distance) + QStringLiteral("mm");
    }
    return QStringLiteral("Measured value  Range = ") + rangeText + QStringLiteral(" Mode = ") +
           modeText;
}

QString chartTitle(const QString& rangeText, const QString& modeText, char modeLetter,
                   int distance) {
    if (modeLetter == 'M') {
        return QStringLiteral("Range = ") + rangeText + QStringLiteral("   Mode = ") + modeText +
               QLatin1Char(' ') + formatInteger(distance) + QStringLiteral("mm");
    }
    return QStringLiteral("Range = ") + rangeText + QStringLiteral(" Mode = ") + modeText;
}

}  // namespace

void MeasurementEvaluation::beginRun() {
    rangeData_ = RangeData();
}

ResetTexts MeasurementEvaluation::reset(int displayDepiction) {
    negMax_ = 0.0;
    posMax_ = 0.0;
    overrangeSeen_ = false;
    ResetTexts texts;
    if (kind_ == WindowKind::Chart) {
        // The chart's own start texts, comma included.
        texts.extremeText = QStringLiteral("0,0");
        return texts;
    }
    // Only the minimum depiction reads the trackers; the first value in the band replaces them.
    const bool minimum = displayDepiction != 0;
    negMin_ = minimum ? -trackerStart : trackerStart;
    posMin_ = minimum ? trackerStart : -trackerStart;
    texts.writeValue = true;
    texts.valueText = QStringLiteral("0");
    texts.extremeText = QStringLiteral("0");
    return texts;
}

EvaluationResult MeasurementEvaluation::evaluate(const RangeTables& tables,
                                                 const EvaluationInput& input) {
    EvaluationResult result;
    const Reading& reading = input.reading;
    const bool overrange = reading.overrange != 0;
    result.overrange = overrange;
    result.stopRecording = kind_ == WindowKind::Chart && overrange;

    // A letter without lookup row leaves the previous cycle's range data in place.
    RangeData range = rangeData_;
    lookupRange(tables, input.deviceType, input.modeLetter, reading.rangeIndex, range.rangeText,
                range.factor, range.modeText, range.decimals);
    double tableFullScale = 0.0;
    QString unitText;
    if (!splitRangeText(range.rangeText, tableFullScale, unitText)) {
        return result;
    }

    double displayValue = reading.value * range.factor;
    double cycleFullScale = tableFullScale;
    QString shownRange = range.rangeText;
    if (input.modeLetter == 'M' && reading.rangeIndex >= 0 && reading.rangeIndex <= 3) {
        QString distanceUnit;
        if (!distanceFullScale(input.rangeItems, reading.rangeIndex, cycleFullScale,
                               distanceUnit)) {
            return result;
        }
        displayValue = countsToFullScale * cycleFullScale * reading.value;
        shownRange = formatGeneral(cycleFullScale) + distanceUnit;
    }
    if (!std::isfinite(displayValue)) {
        return result;
    }

    rangeData_ = range;
    result.usable = true;
    result.displayValue = displayValue;
    result.unitText = unitText;
    result.rangeText = shownRange;
    result.modeText = range.modeText;
    result.recMode = range.modeText;
    result.recRange = shownRange;
    result.recUnit = unitText;
    // The display keeps the table's full scale (its limit band stays that of 10 mm in 'M');
    // the chart scales its axis to the range actually shown.
    fullScale_ = kind_ == WindowKind::Display ? tableFullScale : cycleFullScale;
    result.fullScale = fullScale_;

    if (kind_ == WindowKind::Display) {
        result.writeCaption = true;
        result.caption =
            displayCaption(shownRange, range.modeText, input.modeLetter, input.distance);
    } else if (!overrange) {
        result.writeCaption = true;
        result.caption = chartTitle(shownRange, range.modeText, input.modeLetter, input.distance);
    }

    if (kind_ == WindowKind::Display && input.displayDepiction != 0) {
        applyMinimumDepiction(displayValue, tableFullScale, input.limit, overrange, result);
    } else {
        applyMaximumDepiction(displayValue, range.decimals, overrange, result);
    }
    result.plotPoint = kind_ == WindowKind::Chart && !overrange;
    return result;
}

void MeasurementEvaluation::applyMaximumDepiction(double displayValue, int decimals, bool overrange,
                                                  EvaluationResult& result) {
    if (overrange) {
        overrangeSeen_ = true;
        result.valueText = overrangeValue;
        result.writeNegExtreme = true;
        result.negExtremeText = overrangeExtreme;
        result.writePosExtreme = true;
        result.posExtremeText = overrangeExtreme;
        return;
    }
    if (kind_ == WindowKind::Display) {
        result.writeExtremeCaptions = true;
        result.negCaption = QStringLiteral("neg. maximum");
        result.posCaption = QStringLiteral("pos. maximum");
    }
    // Strict: a value of 0 changes neither extreme.
    if (displayValue < 0 && displayValue < negMax_) {
        negMax_ = displayValue;
    }
    if (displayValue > 0 && displayValue > posMax_) {
        posMax_ = displayValue;
    }
    result.valueText = formatFixed(displayValue, valuePrecision, decimals);
    // After an overrange the extremes stay "OVR " until the next reset.
    if (!overrangeSeen_) {
        result.writeNegExtreme = true;
        result.negExtremeText = formatFixed(negMax_, valuePrecision, decimals);
        result.writePosExtreme = true;
        result.posExtremeText = formatFixed(posMax_, valuePrecision, decimals);
    }
}

void MeasurementEvaluation::applyMinimumDepiction(double displayValue, double tableFullScale,
                                                  int limit, bool overrange,
                                                  EvaluationResult& result) {
    if (overrange) {
        // Band, captions and minima keep what they showed.
        result.valueText = overrangeMinimumValue;
        return;
    }
    posLimit_ = limit * tableFullScale * 0.01;
    negLimit_ = -tableFullScale * limit * 0.01;
    result.writeExtremeCaptions = true;
    result.negCaption = QStringLiteral("neg. minimum ") +
                        formatFixed(negLimit_, minimumPrecision, limitDecimals) + result.unitText;
    result.posCaption = QStringLiteral("Pos. minimum ") +
                        formatFixed(posLimit_, minimumPrecision, limitDecimals) + result.unitText;
    result.valueText = formatFixed(displayValue, valuePrecision, minimumDecimals);

    // Strict: a value on a limit, or 0, lies outside the band.
    if (displayValue > 0 && displayValue < posLimit_) {
        result.alarm = true;
        if (displayValue < posMin_) {
            posMin_ = displayValue;
            result.writePosExtreme = true;
            result.posExtremeText = formatFixed(posMin_, minimumPrecision, minimumDecimals);
        }
    }
    if (displayValue > negLimit_ && displayValue < 0) {
        result.alarm = true;
        if (displayValue > negMin_) {
            negMin_ = displayValue;
            result.writeNegExtreme = true;
            result.negExtremeText = formatFixed(negMin_, minimumPrecision, minimumDecimals);
        }
    }
}
