#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "app/alarm_sound.h"
#include "app/event_pump.h"
#include "app/main_form_data.h"
#include "app/operator_dialogs.h"
#include "app/process_exit.h"
#include "app/radio_group.h"
#include "device/range_correction.h"
#include "device/usbread.h"
#include "display/circle_shape.h"
#include "display/cycle_time.h"
#include "display/form_display.h"
#include "measure/range_control.h"
#include "settings/program_settings.h"

namespace {

// The unit's own link object; every link object shares the one connection.
CAD_wandler& displayLink() {
    static CAD_wandler link;
    return link;
}

struct DeviceReading {
    double value = 0.0;
    int rangeIndex = 0;
    int overrange = 0;
    unsigned char batteryOk = 1;

    int read() { return readMeasurement(value, rangeIndex, overrange, batteryOk, 1); }
};

QColor buttonFace(const QWidget* widget) {
    return widget->palette().color(QPalette::Button);
}

}  // namespace

void TFormDisplay::BitBtn_startClick() {
    BitBtnSavedata->setEnabled(false);
    ScrollBar_distance->setEnabled(false);
    BitBtn_setup->setEnabled(false);
    BitBtn_break->setEnabled(true);
    setMeasuredValueColour(buttonFace(this));

    evaluator.beginRun();
    resetDisplay();
    TickState tick;
    breakRequested = false;

    if (displayLink().openDevice() < 1) {
        operatorDialogs().showMessage(QStringLiteral("No connection to the USB device! "),
                                      QStringLiteral(" E R R O R"));
        terminateProgram(-1);
    }
    // Every run blinks from grey again, whatever colour the last run ended with.
    Shape_Tick->setFillColour(Qt::gray);
    Shape_Tick->show();
    BitBtn_start->setEnabled(false);
    BitBtn_back->setEnabled(false);

    MainFormData& data = mainFormData();
    data.currentRange = RadioGroup_Range->itemIndex();
    setRange(static_cast<unsigned>(startRangeIndex(data.currentRange)));

    // Its outputs are replaced by the first cycle's reading.
    DeviceReading first;
    first.read();

    RangeControl rangeControl(WindowKind::Display);
    rangeControl.start(data.currentRange);
    while (!breakRequested) {
        measuringCycle(rangeControl, tick);
    }

    BitBtn_start->setEnabled(true);
    Shape_Tick->hide();
    ScrollBar_distance->setEnabled(true);
}

void TFormDisplay::measuringCycle(RangeControl& rangeControl, TickState& tick) {
    MainFormData& data = mainFormData();
    const double cycleStart = counterSeconds();

    if (rangeControl.rangeSelectionChanged(data.currentRange)) {
        setRange(static_cast<unsigned>(data.currentRange));
    }
    DeviceReading reading;
    int result = reading.read();
    if (result >= 1) {
        result = correctRange(rangeControl, data.currentRange, reading.value, reading.rangeIndex,
                              reading.overrange, reading.batteryOk, [this] { resetDisplay(); });
    }
    if (result < 1) {
        operatorDialogs().showMessage(
            QStringLiteral("No connection to the USB device! Error no = ") +
                QString::number(result),
            QStringLiteral("E R R O R occurred"));
        terminateProgram(-1);
    }

    const bool lowBattery = reading.batteryOk == 0 && data.deviceType != 115;
    if (lowBattery) {
        Label_Low_Batterie_D->setText(QStringLiteral("Warning - Low Battery !!"));
    }
    Label_Low_Batterie_D->setVisible(lowBattery);

    blinkTick(tick);

    EvaluationInput input;
    input.reading = Reading{reading.value, reading.rangeIndex, reading.overrange};
    input.deviceType = data.deviceType;
    input.modeLetter = modeLetter;
    input.rangeItems = RadioGroup_Range->items();
    input.distance = ScrollBar_distance->value();
    input.displayDepiction = data.displayDepiction;
    input.limit = data.limit;
    showEvaluation(evaluator.evaluate(data, input));

    letPendingEventsRun();
    waitForCycleEnd(cycleStart);
}

void TFormDisplay::blinkTick(TickState& tick) {
    if (tick.count == 2) {
        Shape_Tick->setFillColour(tick.on ? Qt::green : Qt::white);
        tick.on = !tick.on;
        tick.count = 0;
    }
    ++tick.count;
}

void TFormDisplay::showEvaluation(const EvaluationResult& result) {
    // A reading without range data changes nothing on screen or in the record.
    if (!result.usable) {
        return;
    }
    Label_unit->setText(result.unitText);
    Label_minValUnit->setText(result.unitText);
    Label_maxValUnit->setText(result.unitText);
    measurementRecord.recMode = result.recMode;
    measurementRecord.recUnit = result.recUnit;
    if (result.writeExtremeCaptions) {
        GroupBox_minValue->setTitle(result.negCaption);
        GroupBox_maxValue->setTitle(result.posCaption);
    }
    if (result.writeCaption) {
        GroupBox_Measuredvalue->setTitle(result.caption);
    }
    measurementRecord.recRange = result.recRange;

    Label_measuredValue->setText(result.valueText);
    if (result.writeNegExtreme) {
        Label_neg_maxValue->setText(result.negExtremeText);
    }
    if (result.writePosExtreme) {
        Label_pos_maxValue->setText(result.posExtremeText);
    }
    if (result.alarm) {
        playAlarmSound();
    }
    setMeasuredValueColour(result.alarm ? QColor(255, 0, 0) : buttonFace(this));

    measurementRecord.recNegExtreme = Label_neg_maxValue->text();
    measurementRecord.recPosExtreme = Label_pos_maxValue->text();
    measurementRecord.recValue = Label_measuredValue->text();
}

void TFormDisplay::waitForCycleEnd(double cycleStart) {
    // The setting is read anew in every turn: the setup dialog may change it meanwhile.
    const auto samplingTime = [] {
        return static_cast<std::uint32_t>(
            usableSamplingTime(mainFormData().samplingTimeDisplay, smallestSamplingTimeDisplay));
    };
    std::uint32_t cycleTime = 0;
    do {
        cycleTime = cycleTimeMs(cycleStart, counterSeconds());
        if (breakRequested) {
            cycleTime = samplingTime();
        }
        letEventsRunFor(static_cast<double>(samplingTime()) - static_cast<double>(cycleTime));
    } while (cycleTime < samplingTime());
    LabelRepeatTimeVal->setText(QString::number(cycleTime) + QStringLiteral(" mSek"));
    // The label grows with its text, as the design's size only fits three digits.
    LabelRepeatTimeVal->adjustSize();
}
