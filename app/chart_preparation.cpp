#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

#include "app/main_window.h"
#include "app/windows.h"
#include "chart/form_chart.h"
#include "device/usbread.h"
#include "measure/device_modes.h"
#include "plot/chart_widget.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"

namespace {

// The chart window as at a new start for `deviceType`: no values or curve, the mode items of
// that type, and the controls a run disables enabled again.
void clearChart(TFormChart& chart, int deviceType) {
    chart.LabelSamplingTimeVal->setText(QStringLiteral("??"));
    chart.Label_measuredValue->setText(QStringLiteral("0,0"));
    const QString typeText = QString::number(deviceType);
    chart.setWindowTitle(QStringLiteral("Chart Zalvo ") + typeText);
    chart.Chart1->setTitle(QStringLiteral("Zalvo ") + typeText);
    chart.resetChart();
    chart.RadioGroup_Mode->clearItems();
    chart.GroupBoxMeasuredVal->setTitle(QStringLiteral("Measured value "));
    chart.ScrollBar_SamplingTime->setEnabled(true);
    chart.ScrollBar_distance_Ch->setEnabled(true);
    chart.RadioGroup_Mode->setEnabled(true);
    chart.RadioGroup_Mode->addItems(modeItems(deviceType));
}

}  // namespace

void TMainForm::readChartStartSetting(int& modeIndex, char& modeLetter) {
    if (deviceType != deviceType115) {
        readMode(modeIndex, modeLetter);
        unsigned char batteryOk = 1;
        readRangeAndBattery(currentRange, batteryOk);
    } else {
        currentRange = 3;
        setRange(3);
    }
    currentRange = 3 - currentRange;
}

// Fits the chart window to the identified instrument and hands over to it.
void TMainForm::Button_Start_ChartClick() {
    TFormChart* chart = FormChart;
    clearChart(*chart, deviceType);
    int modeIndex = 0;
    char modeLetter = 'F';
    readChartStartSetting(modeIndex, modeLetter);

    // Each selection runs the chart's click handlers, which leave item 3 - r selected for an
    // instrument on range r and currentRange at r. The chart has no automatic item: an
    // instrument ranging automatically (or reporting a raw byte) ends on item 0 and
    // currentRange 3, the smallest range, which Start then sends.
    chart->RadioGroup_Mode->setItemIndex(modeIndex);
    chart->fillRangeItems(modeLetter, 0);
    chart->RadioGroup_Range->setItemIndex(currentRange);
    chart->Label_Low_Batterie_C->hide();
    chart->Label_No_Range_C->hide();

    setEnabled(false);
    hide();
    chart->show();
    chart->setEnabled(true);
}
