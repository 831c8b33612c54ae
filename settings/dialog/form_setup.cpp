#include "settings/dialog/form_setup.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "settings/ini_file.h"
#include "settings/program_settings.h"
#include "settings/settings_file_path.h"
#include "state/main_form_data.h"
#include "ui/event_pump.h"
#include "ui/operator_dialogs.h"
#include "ui/radio_group.h"
#include "ui/standard_icon.h"
#include "ui/window_fonts.h"

namespace {

// The dialog's designed outer size; the client area is what a standard frame (8 px at the
// sides and the bottom, a 31 px title bar) leaves of it.
constexpr int outerWidth = 361;
constexpr int outerHeight = 426;
constexpr int clientWidth = outerWidth - 16;
constexpr int clientHeight = outerHeight - 39;

// The largest numbers the two fields can hold.
constexpr int largestLimit = 99;
constexpr int largestSamplingTime = 9999;

// A pass has work only after an event, so it waits for one, but never for long.
constexpr double passWaitMs = 100;

QLineEdit* maskedEdit(const QString& mask, QWidget* parent, int x, int y, int w, int h) {
    auto* edit = new QLineEdit(parent);
    // Every position an optional digit; an empty one shows "_".
    edit->setInputMask(mask + QStringLiteral(";_"));
    edit->setGeometry(x, y, w, h);
    // The fields are only as wide as their digits.
    edit->setTextMargins(0, 0, 0, 0);
    return edit;
}

QLabel* unitLabel(const QString& text, QWidget* parent, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QGroupBox* valueGroup(const QString& caption, QWidget* parent, int y) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(32, y, 200, 73);
    group->setFont(windowFont(16, true));
    return group;
}

// A stored value the field cannot hold is shown cut to what it can hold; see fieldValue()
// for why that does not replace the stored value.
QString fieldText(int value, int largest) {
    return QString::number(std::clamp(value, 0, largest));
}

// The number the operator has given in a masked field: its text without blanks. An emptied
// field leaves the previous value in force. So does a field the operator has not edited:
// it holds the value found at the start of the run, or that value cut to fit the field, and
// a value merely cut for showing must not be stored as if the operator had chosen it.
int fieldValue(const QLineEdit* edit, int previous) {
    if (!edit->isModified()) {
        return previous;
    }
    QString digits = edit->text();
    digits.remove(QLatin1Char(' ')).remove(QLatin1Char('_'));
    bool isNumber = false;
    const int value = digits.toInt(&isNumber);
    return isNumber ? value : previous;
}

}  // namespace

TForm_Setup::TForm_Setup(QWidget* parent) : QDialog(parent) {
    buildControls();
    placeOnScreen();
    okPressed = false;
    cancelPressed = false;
}

void TForm_Setup::buildControls() {
    setWindowTitle(QStringLiteral("Setup"));
    setFixedSize(clientWidth, clientHeight);

    GroupBox_Setup = new QGroupBox(QStringLiteral("Setup"), this);
    GroupBox_Setup->setGeometry(40, 24, 265, 361);
    GroupBox_Setup->setFont(windowFont(20, false, QStringLiteral("MS Sans Serif")));

    RadioGroup_Display = new RadioGroup(QStringLiteral("Display funct"), GroupBox_Setup);
    RadioGroup_Display->setGeometry(32, 48, 200, 89);
    RadioGroup_Display->setFont(windowFont(16, true));
    RadioGroup_Display->addItems(
        {QStringLiteral("Nec. / Pos. Maximum"), QStringLiteral("Nec. / Pos. Minimum")});

    GroupBox_Limit = valueGroup(QStringLiteral("Set Limit"), GroupBox_Setup, 144);
    MaskEdit_Limit = maskedEdit(QStringLiteral("99"), GroupBox_Limit, 40, 24, 25, 27);
    Label1 = unitLabel(QStringLiteral("% of range"), GroupBox_Limit, 72, 32);

    GroupBox_SampleTime = valueGroup(QStringLiteral("Set Sample-time"), GroupBox_Setup, 224);
    MaskEdit_Sample = maskedEdit(QStringLiteral("9999"), GroupBox_SampleTime, 40, 32, 41, 27);
    Label2 = unitLabel(QStringLiteral("mSek"), GroupBox_SampleTime, 88, 40);

    BitBtn_OK = new QPushButton(QStringLiteral("OK"), GroupBox_Setup);
    BitBtn_OK->setGeometry(32, 312, 90, 35);
    BitBtn_OK->setFont(windowFont(19, true, QStringLiteral("Arial Narrow")));
    BitBtn_OK->setIcon(standardIconOnDemand(QStyle::SP_DialogOkButton));
    BitBtn_OK->setDefault(true);

    BitBtnCancel = new QPushButton(QStringLiteral("Cancel"), GroupBox_Setup);
    BitBtnCancel->setGeometry(142, 312, 90, 35);
    BitBtnCancel->setFont(windowFont(19, true));
    BitBtnCancel->setIcon(standardIconOnDemand(QStyle::SP_DialogCancelButton));

    connect(BitBtn_OK, &QPushButton::clicked, this, &TForm_Setup::BitBtn_OKClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TForm_Setup::BitBtnCancelClick);
}

void TForm_Setup::placeOnScreen() {
    // 20 px below the screen's vertical centre.
    const QRect area = screen()->geometry();
    move(area.x() + (area.width() - outerWidth) / 2,
         area.y() + (area.height() - outerHeight) / 2 + 20);
}

void TForm_Setup::BitBtn_OKClick() {
    okPressed = true;
    emit dismissed();
    hide();
}

void TForm_Setup::BitBtnCancelClick() {
    cancelPressed = true;
    emit dismissed();
    hide();
}

void TForm_Setup::reject() {
    BitBtnCancelClick();
}

void TForm_Setup::fillControls(int depiction, int limit, int samplingTime) {
    // A depiction the group does not offer (a hand-edited SETUP.INI) selects no item rather
    // than the nearest one, so that it stays in force until the operator picks an item.
    RadioGroup_Display->setItemIndex(depiction == 0 || depiction == 1 ? depiction : -1);
    MaskEdit_Limit->setText(fieldText(limit, largestLimit));
    MaskEdit_Sample->setText(fieldText(samplingTime, largestSamplingTime));
    RadioGroup_Display->setFocus();
}

void TForm_Setup::runSetupDialog() {
    // The display window's Setup button stays usable while the dialog is open; a second
    // run inside the first would later compare and store stale values.
    if (running) {
        raise();
        activateWindow();
        return;
    }
    running = true;
    const auto endRun = qScopeGuard([this] { running = false; });

    okPressed = false;
    cancelPressed = false;
    MainFormData& shared = mainFormData();
    const int oldDepiction = shared.displayDepiction;
    const int oldLimit = shared.limit;
    const int oldSamplingTime = shared.samplingTimeDisplay;
    fillControls(oldDepiction, oldLimit, oldSamplingTime);

    int newDepiction = oldDepiction;
    int newLimit = oldLimit;
    int newSamplingTime = oldSamplingTime;
    runPasses(newDepiction, newLimit, newSamplingTime);
    if (cancelPressed) {
        return;
    }

    if (newDepiction != oldDepiction || newLimit != oldLimit ||
        newSamplingTime != oldSamplingTime) {
        if (operatorDialogs().askOkCancel(QStringLiteral("Should the Setup.ini be updated ?"),
                                          QStringLiteral("Query")) == OperatorDialogs::Answer::Ok) {
            storeSetup(newDepiction, newLimit, newSamplingTime);
        }
    }
}

void TForm_Setup::runPasses(int& depiction, int& limit, int& samplingTime) {
    MainFormData& shared = mainFormData();
    while (!okPressed && !cancelPressed) {
        if (RadioGroup_Display->itemIndex() >= 0) {
            depiction = RadioGroup_Display->itemIndex();
        }
        // The limit belongs to the minimum depiction.
        GroupBox_Limit->setVisible(depiction != 0);
        limit = fieldValue(MaskEdit_Limit, limit);
        samplingTime = fieldValue(MaskEdit_Sample, samplingTime);
        letEventsRunFor(passWaitMs);
        shared.displayDepiction = depiction;
    }
}

void TForm_Setup::storeSetup(int depiction, int limit, int samplingTime) {
    try {
        storeSetupValues(settingsFilePath(), depiction, limit, samplingTime);
    } catch (const SettingsWriteError& error) {
        operatorDialogs().showError(error.message());
        return;
    }
    MainFormData& shared = mainFormData();
    shared.displayDepiction = depiction;
    shared.limit = limit;
    shared.samplingTimeDisplay = samplingTime;
}
