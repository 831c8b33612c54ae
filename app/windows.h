#pragma once

// The program's five windows, created once at start in this order and alive for the whole run.
class TMainForm;
class TFormReadUSB;
class TFormDisplay;
class TFormChart;
class TForm_Setup;

extern TMainForm* MainForm;
extern TFormReadUSB* FormReadUSB;
extern TFormDisplay* FormDisplay;
extern TFormChart* FormChart;
extern TForm_Setup* Form_Setup;

// Wires the windows' requests to each other once all five exist: Back returns to the main
// window, Setup runs the setup dialog, and OK or Cancel of that dialog enables the main window.
void connectWindows();
