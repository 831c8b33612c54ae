#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;

// A zero reading is good enough when its integer part is at most 50 counts either way.
bool zeroReadingInTolerance(double value);

// The zero-point adjustment dialog: guides the operator through adjusting the instrument's
// zero at its potentiometer and stores the adjustment in the instrument.
class TFormReadUSB : public QDialog {
    Q_OBJECT

public:
    // A busy instrument that reports neither done nor an error for this long counts as failed.
    static constexpr double storeWaitLimitSeconds = 30.0;

    explicit TFormReadUSB(QWidget* parent = nullptr);

    // Greater than 0 on success; 0 when the instrument cannot be opened; -9 cancelled; -8 failed.
    int runZeroAdjustment();

    QGroupBox* GroupBoxZero;
    QTextEdit* MemoZero;
    QLabel* LabelOffset;
    QPushButton* ButtonZeroOKClick;
    QPushButton* BitBtnCancel;

    bool zeroOkPressed = false;
    bool zeroCancelPressed = false;

public slots:
    void ButtonZeroOKClickClick();
    void BitBtnCancelClick();

protected:
    // The dialog has no close box; Escape must not hide it in the middle of a run either.
    void reject() override {}

private:
    // One adjustment run: the last adjust command or status byte, and how the run went.
    struct ZeroRun {
        unsigned char buffer = 0x10;  // the command that sets the offset to zero
        bool toleranceMet = false;
        bool storeRefused = false;
        int result = 0;
    };
    void sendZeroOffset(ZeroRun& run);
    // Shows the offset until OK, Cancel or a failed reading; whether the last was in tolerance.
    bool adjustUntilOk();
    void storeAdjustmentInInstrument(ZeroRun& run);
    void waitWhileBusy(ZeroRun& run);
    // An error status of the store: reported to the operator, and true.
    bool reportStoreError(unsigned char status);
    void setOffsetColour(const QColor& colour);
    // Waits, letting events run, until the time is up or Cancel was pressed.
    void waitUnlessCancelled(double milliseconds);
};
