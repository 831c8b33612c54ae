#include "device/dialog/form_read_usb.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <cmath>

#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "device/usbread.h"
#include "measure/number_format.h"
#include "ui/event_pump.h"
#include "ui/operator_dialogs.h"
#include "ui/standard_icon.h"
#include "ui/window_fonts.h"

namespace {

constexpr unsigned char storeAdjustment = 0x20;

int writeAdjustCommand(unsigned char& buffer) {
    return usbreadLink().controlOut(reg::writeRequest, reg::adjustCommand,
                                    CAD_wandler::requestIndex, &buffer, 1);
}

}  // namespace

bool zeroReadingInTolerance(double value) {
    return std::fabs(std::trunc(value)) <= 50;
}

TFormReadUSB::TFormReadUSB(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Zalvo 115 adjust"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(542, 359);

    GroupBoxZero = new QGroupBox(QStringLiteral("Zero point adjustment"), this);
    GroupBoxZero->setGeometry(72, 0, 369, 345);
    GroupBoxZero->setFont(windowFont(19));

    MemoZero = new QTextEdit(GroupBoxZero);
    MemoZero->setGeometry(16, 24, 337, 193);
    MemoZero->setFont(windowFont(16));
    MemoZero->setReadOnly(true);

    LabelOffset = new QLabel(QStringLiteral("500"), GroupBoxZero);
    LabelOffset->setGeometry(112, 232, 129, 25);
    LabelOffset->setFont(windowFont(19));
    LabelOffset->setAlignment(Qt::AlignCenter);
    LabelOffset->setAutoFillBackground(true);

    ButtonZeroOKClick = new QPushButton(QStringLiteral("OK"), GroupBoxZero);
    ButtonZeroOKClick->setGeometry(16, 270, 110, 35);
    ButtonZeroOKClick->setIcon(standardIconOnDemand(QStyle::SP_DialogOkButton));
    BitBtnCancel = new QPushButton(QStringLiteral("Cancel"), GroupBoxZero);
    BitBtnCancel->setGeometry(240, 270, 110, 35);
    BitBtnCancel->setIcon(standardIconOnDemand(QStyle::SP_DialogCancelButton));

    connect(ButtonZeroOKClick, &QPushButton::clicked, this, &TFormReadUSB::ButtonZeroOKClickClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormReadUSB::BitBtnCancelClick);
}

void TFormReadUSB::ButtonZeroOKClickClick() {
    zeroOkPressed = true;
}

void TFormReadUSB::BitBtnCancelClick() {
    zeroCancelPressed = true;
}

void TFormReadUSB::setOffsetColour(const QColor& colour) {
    QPalette p = LabelOffset->palette();
    p.setColor(QPalette::Window, colour);
    LabelOffset->setPalette(p);
}

void TFormReadUSB::waitUnlessCancelled(double milliseconds) {
    const double start = counterSeconds();
    double elapsed = 0;
    while (elapsed < milliseconds && !zeroCancelPressed) {
        letEventsRunFor(milliseconds - elapsed);
        elapsed = (counterSeconds() - start) * 1000.0;
    }
}

int TFormReadUSB::runZeroAdjustment() {
    const int opened = usbreadLink().openDevice();
    MemoZero->clear();
    zeroOkPressed = false;
    zeroCancelPressed = false;
    if (opened != 1) {
        return opened;
    }

    ZeroRun run;
    if (operatorDialogs().askOkCancel(
            QStringLiteral("Put on the red cap onto the modulator system. "),
            QStringLiteral("Instruction")) != OperatorDialogs::Answer::Ok) {
        zeroCancelPressed = true;
    } else {
        sendZeroOffset(run);
        run.toleranceMet = adjustUntilOk();
        if (!zeroCancelPressed && zeroOkPressed && run.toleranceMet) {
            storeAdjustmentInInstrument(run);
        }
    }

    ButtonZeroOKClick->setEnabled(true);
    if (zeroCancelPressed) {
        operatorDialogs().showMessage(QStringLiteral("Zero point adjustment canceled !!"),
                                      QStringLiteral("Abort"));
        return -9;
    }
    if (run.buffer != 0 || !run.toleranceMet || run.storeRefused) {
        operatorDialogs().showMessage(
            QStringLiteral("Zero point calibration unsuccessful, is the red cover set up?"),
            QStringLiteral("E R R O R"));
        return -8;
    }
    return run.result;
}

void TFormReadUSB::sendZeroOffset(ZeroRun& run) {
    ProgramClock& clock = programClock();
    MemoZero->append(QStringLiteral("Range is set automaticly."));
    setRange(3);
    clock.sleepMs(50);

    MemoZero->append(QStringLiteral("Offset is set to zero"));
    writeAdjustCommand(run.buffer);
    clock.sleepMs(50);
    writeAdjustCommand(run.buffer);
    clock.sleepMs(1000);
}

bool TFormReadUSB::adjustUntilOk() {
    MemoZero->append(QStringLiteral(
        "Make a zero adjust by the potentiometer on backside of the unit (The box color must "
        "be green), press the OK button when finish."));
    ProgramClock& clock = programClock();
    bool toleranceMet = false;
    double value = 0;
    int rangeIndex = 0;
    int overrange = 0;
    unsigned char batteryOk = 1;
    int reading = readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
    while (!zeroOkPressed && reading > 0 && !zeroCancelPressed) {
        reading = readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
        toleranceMet = zeroReadingInTolerance(value);
        setOffsetColour(toleranceMet ? QColor(0, 128, 0) : QColor(255, 0, 0));
        LabelOffset->setText(formatFixed(value, 6, 2));
        letPendingEventsRun();
        clock.sleepMs(100);
    }
    setOffsetColour(palette().color(QPalette::Base));
    LabelOffset->repaint();
    clock.sleepMs(100);
    return toleranceMet;
}

void TFormReadUSB::storeAdjustmentInInstrument(ZeroRun& run) {
    ButtonZeroOKClick->setEnabled(false);
    run.buffer = storeAdjustment;
    run.result = writeAdjustCommand(run.buffer);
    // A store command the instrument did not take stored nothing, whatever status the idle
    // instrument reports afterwards.
    run.storeRefused = run.result <= 0;
    programClock().sleepMs(10);
    if (run.result > 0) {
        run.result = writeAdjustCommand(run.buffer);
    }
    run.buffer = 0xFF;
    MemoZero->append(QStringLiteral("Waiting for Busy = 0"));
    waitWhileBusy(run);
}

void TFormReadUSB::waitWhileBusy(ZeroRun& run) {
    const double storeStart = counterSeconds();
    while (run.buffer != 0) {
        run.result = usbreadLink().controlIn(reg::readRequest, reg::adjustStatus,
                                             CAD_wandler::requestIndex, &run.buffer, 1);
        LabelOffset->setText(
            QStringLiteral("Busy = ") +
            QStringLiteral("%1").arg(run.buffer, 2, 16, QLatin1Char('0')).toUpper());
        letPendingEventsRun();
        if (reportStoreError(run.buffer)) {
            break;
        }
        waitUnlessCancelled(1000);
        // An instrument that never finishes must not hold the operator for good.
        if (zeroCancelPressed ||
            (run.buffer != 0 && counterSeconds() - storeStart >= storeWaitLimitSeconds)) {
            break;
        }
    }
}

bool TFormReadUSB::reportStoreError(unsigned char status) {
    struct StoreError {
        unsigned char status;
        const char* text;
        const char* caption;
    };
    static constexpr StoreError errors[] = {
        {0xF0, "Zero adjustment not possible, is the red cover set up?", "Error F0 occured "},
        {0xF1, "Can not writing parameter to EEProm !", "Error F1 occured"},
        {0xF2, "Can not writing offset value to EEProm !", "Error F2 occured"},
    };
    for (const StoreError& error : errors) {
        if (error.status == status) {
            operatorDialogs().showMessage(QString::fromLatin1(error.text),
                                          QString::fromLatin1(error.caption));
            return true;
        }
    }
    return false;
}
