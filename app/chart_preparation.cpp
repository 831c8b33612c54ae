#include "app/main_window.h"
#include "app/windows.h"
#include "chart/form_chart.h"

void TMainForm::Button_Start_ChartClick() {
    setEnabled(false);
    hide();
    FormChart->show();
    FormChart->setEnabled(true);
}
