#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;

// The setup dialog: the display window's depiction of the extremes, the limit in percent of
// the range and the display sampling time. The depiction takes effect while the dialog is
// open; limit and sampling time only when the operator stores all three in SETUP.INI.
class TForm_Setup : public QDialog {
    Q_OBJECT

public:
    explicit TForm_Setup(QWidget* parent = nullptr);

    // Runs until OK or Cancel, letting events run meanwhile; the caller has shown the dialog.
    // After OK with a changed value the operator is asked whether to store the three values.
    void runSetupDialog();
    // Writes the three values to SETUP.INI, then puts them in force. A failed write is
    // reported to the operator and puts nothing in force.
    void storeSetup(int depiction, int limit, int samplingTime);

    QGroupBox* GroupBox_Setup;
    RadioGroup* RadioGroup_Display;
    QGroupBox* GroupBox_Limit;
    QLineEdit* MaskEdit_Limit;
    QLabel* Label1;
    QGroupBox* GroupBox_SampleTime;
    QLineEdit* MaskEdit_Sample;
    QLabel* Label2;
    QPushButton* BitBtn_OK;
    QPushButton* BitBtnCancel;

    bool okPressed = false;
    bool cancelPressed = false;

signals:
    // OK or Cancel: the window the dialog was opened from may be used again.
    void dismissed();

public slots:
    void BitBtn_OKClick();
    void BitBtnCancelClick();

protected:
    // Escape and the frame's close box end the run as Cancel does.
    void reject() override;

private:
    void buildControls();
    void placeOnScreen();
    void fillControls(int depiction, int limit, int samplingTime);
    // Takes the controls' values into the arguments pass by pass until OK or Cancel; the
    // depiction is in force at once.
    void runPasses(int& depiction, int& limit, int& samplingTime);

    bool running = false;
};
