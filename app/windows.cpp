#include "app/windows.h"

TMainForm* MainForm = nullptr;
TFormReadUSB* FormReadUSB = nullptr;
TFormDisplay* FormDisplay = nullptr;
TFormChart* FormChart = nullptr;
TForm_Setup* Form_Setup = nullptr;
