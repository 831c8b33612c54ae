#include "app/main_window.h"
#include "app/windows.h"
#include "display/form_display.h"

void TMainForm::Button_Start_DisplayClick() {
    setEnabled(false);
    hide();
    FormDisplay->setEnabled(true);
    FormDisplay->show();
}
