#include "app/windows.h"

#include "app/main_window.h"
#include "chart/form_chart.h"
#include "display/form_display.h"
#include "settings/dialog/form_setup.h"

TMainForm* MainForm = nullptr;
TFormReadUSB* FormReadUSB = nullptr;
TFormDisplay* FormDisplay = nullptr;
TFormChart* FormChart = nullptr;
TForm_Setup* Form_Setup = nullptr;

namespace {

void returnToMainWindow() {
    MainForm->show();
    MainForm->setEnabled(true);
    MainForm->activateWindow();
    MainForm->setFocus();
}

void runSetupDialog() {
    MainForm->setEnabled(false);
    Form_Setup->show();
    Form_Setup->runSetupDialog();
    MainForm->applyCaption();
}

}  // namespace

void connectWindows() {
    QObject::connect(FormDisplay, &TFormDisplay::backRequested, MainForm, returnToMainWindow);
    QObject::connect(FormChart, &TFormChart::backRequested, MainForm, returnToMainWindow);
    QObject::connect(FormDisplay, &TFormDisplay::setupRequested, MainForm, runSetupDialog);
    QObject::connect(Form_Setup, &TForm_Setup::dismissed, MainForm,
                     [] { MainForm->setEnabled(true); });
}
