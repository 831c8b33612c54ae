#pragma once

#include <QWidget>

#include "device/cad_wandler.h"
#include "state/main_form_data.h"
#include "ui/fitting_label.h"

class QGroupBox;
class QLabel;
class QPushButton;

// The main menu: identifies the instrument, hands over to the measuring windows and the
// zero-point adjustment, and keeps the program-wide data for all windows.
class TMainForm : public QWidget, public MainFormData {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Sets the caption from versionCaption and the depiction in force.
    void applyCaption();

    QGroupBox* GroupBox_Main_Menu;
    QPushButton* Button_Device_info;
    QPushButton* Button_Start_Display;
    QPushButton* Button_Start_Chart;
    QPushButton* Button_Start_Zero;
    QLabel* ImageZalvo1x;
    QLabel* ImageZalvo2x;
    QGroupBox* GroupBox_Device_info;
    QPushButton* Button_Exit;
    QLabel* Labelsernu;
    QLabel* LabelSwv;
    QLabel* LabelDeTy;
    FittingLabel* Label_Serial_number;
    FittingLabel* Label_SW_version;
    FittingLabel* Label_Device_type;
    QLabel* LabelAccu;
    FittingLabel* LabelAccuStatus;
    QPushButton* Button_Info_OK;

public slots:
    void Button_Device_infoClick();
    void Button_Info_OKClick();
    void Button_Start_DisplayClick();
    void Button_Start_ChartClick();
    void Button_Start_ZeroClick();
    void Button_ExitClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void readSettings();
    // Reads and shows the battery state of types 235 and 255.
    void showBatteryState();
    // For the chart: the instrument's mode, and currentRange as the range item (3 - range) of
    // the range it is on. A 115's mode is neither read nor written; it is put on its smallest
    // range.
    void readChartStartSetting(int& modeIndex, char& modeLetter);
};
