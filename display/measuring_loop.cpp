#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "device/usbread.h"
#include "display/circle_shape.h"
#include "display/cycle_time.h"
#include "display/form_display.h"
#include "measure/range_control.h"
#include "settings/program_settings.h"
#include "state/main_form_data.h"
#include "ui/alarm_sound.h"
#include "ui/event_pump.h"
#include "ui/no_range_warning.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"
#include "ui/radio_group.h"

namespace {

// The unit's own link object; every link object shares the one connection.
CAD_wandler& displayLink() {
    static CAD_wandler link;
    return link;
}

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
    Label_No_Range_D->hide();

    cycle.evaluation().beginRun();
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
    // Its outputs are replaced by the first cycle's reading.
    cycle.sendStartRange(static_cast<unsigned>(startRangeIndex(data.currentRange)));
    cycle.beginCycles();
    while (!breakRequested) {
        measuringCycle(tick);
    }

    BitBtn_start->setEnabled(true);
    Shape_Tick->hide();
    ScrollBar_distance->setEnabled(true);
}

void TFormDisplay::measuringCycle(TickState& tick) {
    DeviceReading reading = cycle.read();
    cycle.correctRange(reading, [this] { resetDisplay(); });
    if (reading.result < 1) {
        operatorDialogs().showMessage(
            QStringLiteral("No connection to the USB device! Error no = ") +
                QString::number(reading.result),
            QStringLiteral("E R R O R occurred"));
        terminateProgram(-1);
    }

    const bool lowBattery = cycle.lowBattery(reading);
    if (lowBattery) {
        Label_Low_Batterie_D->setText(QStringLiteral("Warning - Low Battery !!"));
    }
    Label_Low_Batterie_D->setVisible(lowBattery);

    blinkTick(tick);
    const EvaluationResult result = cycle.evaluate(
        reading.reading, {modeLetter, RadioGroup_Range->items(), ScrollBar_distance->value()});
    Label_No_Range_D->follow(result);
    showEvaluation(result);

    letPendingEventsRun();
    waitForCycleEnd();
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

void TFormDisplay::waitForCycleEnd() {
    // The setting is read anew in every turn: the setup dialog may change it meanwhile.
    const auto samplingTime = [] {
        return static_cast<double>(static_cast<std::uint32_t>(
            usableSamplingTime(mainFormData().samplingTimeDisplay, smallestSamplingTimeDisplay)));
    };
    const auto cycleTime = static_cast<std::uint32_t>(cycle.waitForCycleEnd(
        samplingTime, breakRequested, letEventsRunFor,
        [](double start, double now) { return static_cast<double>(cycleTimeMs(start, now)); }));
    LabelRepeatTimeVal->setText(QString::number(cycleTime) + QStringLiteral(" mSek"));
    // The label grows with its text, as the design's size only fits three digits.
    LabelRepeatTimeVal->adjustSize();
}
