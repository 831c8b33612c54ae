#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/windows.h"
#include "device/usbread.h"
#include "display/form_display.h"
#include "measure/device_modes.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"

namespace {

// The display window as at a new start for `deviceType`: the extreme captions of the chosen
// depiction, no values, the mode items of that type, and Break off.
void clearDisplay(TFormDisplay& display, int deviceType, int displayDepiction) {
    if (displayDepiction == 0) {
        display.GroupBox_maxValue->setTitle(QStringLiteral("pos. maximum"));
        display.GroupBox_minValue->setTitle(QStringLiteral("neg. maximum"));
    } else {
        display.GroupBox_maxValue->setTitle(QStringLiteral("pos. minimum "));
        display.GroupBox_minValue->setTitle(QStringLiteral("neg. minimum "));
    }
    display.LabelRepeatTimeVal->setText(QStringLiteral("??"));
    display.ScrollBar_distance->setEnabled(true);
    display.LabelMeasuringdistance->hide();
    display.resetDisplay();
    display.RadioGroup_Mode->clearItems();
    display.GroupBox_Measuredvalue->setTitle(QStringLiteral("Measured value "));
    display.BitBtn_break->setEnabled(false);
    display.setMeasuredValueColour(display.palette().color(QPalette::Button));
    display.RadioGroup_Mode->addItems(modeItems(deviceType));
}

}  // namespace

// Fits the display window to the identified device type and the instrument's current mode
// and range, then hands over to it. Selecting items from code runs the window's click
// handlers, which set the mode letter, range items and range on the way.
void TMainForm::Button_Start_DisplayClick() {
    TFormDisplay* display = FormDisplay;
    clearDisplay(*display, deviceType, displayDepiction);

    // Type 115 cannot report its mode: it starts as field meter.
    int modeIndex = 0;
    char modeLetter = 'F';
    if (deviceType != deviceType115) {
        readMode(modeIndex, modeLetter);
    }
    display->RadioGroup_Mode->setItemIndex(modeIndex);
    display->fillRangeItems(modeLetter, 1);

    unsigned char batteryOk = 1;
    readRangeAndBattery(currentRange, batteryOk);
    currentRange = 3 - currentRange;
    display->RadioGroup_Range->setItemIndex(currentRange);

    display->Label_Low_Batterie_D->hide();
    display->Label_No_Range_D->hide();
    setEnabled(false);
    hide();
    display->setEnabled(true);
    display->show();
    display->setWindowTitle(QStringLiteral("Display Zalvo ") + QString::number(deviceType));
}
