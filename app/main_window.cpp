#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/windows.h"
#include "device/dialog/form_read_usb.h"
#include "device/usbread.h"
#include "settings/program_settings.h"
#include "settings/settings_file_path.h"
#include "state/version_info.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"
#include "ui/window_fonts.h"

namespace {

// The unit's own link object; every link object shares the one connection.
CAD_wandler& mainLink() {
    static CAD_wandler link;
    return link;
}

QPushButton* menuButton(const QString& text, QWidget* parent, int x, int y, bool enabled) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, y, 340, 40);
    button->setFont(windowFont(19));
    button->setEnabled(enabled);
    return button;
}

QLabel* panelLabel(const QString& text, QWidget* parent, int x, int y, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    label->setFont(windowFont(19));
    return label;
}

// A bold value of the identity panel, in its fixed place whatever the instrument sends.
FittingLabel* panelValue(const QString& text, QWidget* parent, int x, int y, int h) {
    return new FittingLabel(text, windowFont(19, true), QRect(x, y, 97, h), parent);
}

// A caption of the identity panel. Right-aligned, it ends where its value begins and its "="
// signs line up; a wider stand-in font lets it grow to the left into the panel's margin
// instead of cutting the "=".
QLabel* panelCaption(const QString& text, QWidget* parent, int y, int h) {
    constexpr int left = 4;
    constexpr int right = 196;
    QLabel* label = panelLabel(text, parent, left, y, right - left, h);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* picture(const QString& resource, QWidget* parent, int x, int y, int w, int h) {
    auto* label = new QLabel(parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(QPixmap(resource));
    label->hide();
    return label;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
    setMainFormData(this);
    buildControls();
    readSettings();
    VersionInfo info;
    readVersionInfo(info);
    versionCaption = versionCaptionOf(info);
    applyCaption();
    ImageZalvo1x->hide();
    ImageZalvo2x->hide();
    deviceType = 0;
    fillRangeTables();
}

TMainForm::~TMainForm() {
    if (&mainFormData() == this) {
        setMainFormData(nullptr);
    }
}

void TMainForm::buildControls() {
    setFixedSize(535, 643);
    setFont(windowFont(15));

    GroupBox_Main_Menu = new QGroupBox(QStringLiteral("Main menu"), this);
    GroupBox_Main_Menu->setGeometry(80, 24, 377, 569);
    GroupBox_Main_Menu->setFont(windowFont(24));
    GroupBox_Main_Menu->setAutoFillBackground(true);
    QPalette menuPalette = GroupBox_Main_Menu->palette();
    menuPalette.setColor(QPalette::Window, palette().color(QPalette::HighlightedText));
    GroupBox_Main_Menu->setPalette(menuPalette);

    QWidget* menu = GroupBox_Main_Menu;
    Button_Device_info = menuButton(QStringLiteral("Device info"), menu, 18, 32, true);
    Button_Start_Display =
        menuButton(QStringLiteral("Start measurement display"), menu, 18, 88, false);
    Button_Start_Chart =
        menuButton(QStringLiteral("Start measurement chart"), menu, 18, 144, false);
    Button_Start_Zero = menuButton(QStringLiteral("Start zero adjustment"), menu, 18, 200, false);
    ImageZalvo1x = picture(QStringLiteral(":/pictures/zalvo_probe.jpg"), menu, 18, 272, 340, 209);
    ImageZalvo2x =
        picture(QStringLiteral(":/pictures/zalvo_handheld.jpg"), menu, 18, 248, 340, 233);

    GroupBox_Device_info = new QGroupBox(QStringLiteral("Device info"), menu);
    GroupBox_Device_info->setGeometry(18, 264, 340, 193);
    GroupBox_Device_info->setFont(windowFont(19));
    GroupBox_Device_info->setFlat(true);
    GroupBox_Device_info->setAutoFillBackground(true);
    QPalette panelPalette = GroupBox_Device_info->palette();
    panelPalette.setColor(QPalette::Window, QColor(192, 192, 192));
    GroupBox_Device_info->setPalette(panelPalette);
    GroupBox_Device_info->hide();

    Button_Exit = menuButton(QStringLiteral("Exit"), menu, 18, 512, true);

    QWidget* panel = GroupBox_Device_info;
    Labelsernu = panelCaption(QStringLiteral("Serial number      ="), panel, 40, 20);
    LabelSwv = panelCaption(QStringLiteral("Software version ="), panel, 64, 20);
    LabelDeTy = panelCaption(QStringLiteral("Device type         ="), panel, 88, 22);
    Label_Serial_number = panelValue(QStringLiteral("12340417"), panel, 200, 40, 20);
    Label_SW_version = panelValue(QStringLiteral("133"), panel, 200, 64, 20);
    Label_Device_type = panelValue(QStringLiteral("XXX nnn"), panel, 200, 88, 22);
    LabelAccu = panelLabel(QStringLiteral("Batterie status"), panel, 40, 112, 145, 27);
    LabelAccuStatus = panelValue(QStringLiteral("= OK"), panel, 184, 112, 22);
    LabelAccu->hide();
    LabelAccuStatus->hide();
    Button_Info_OK = new QPushButton(QStringLiteral("&Continue"), panel);
    Button_Info_OK->setGeometry(106, 152, 135, 25);
    Button_Info_OK->setFont(windowFont(21));

    setTabOrder(Button_Exit, Button_Start_Chart);
    setTabOrder(Button_Start_Chart, Button_Start_Zero);
    setTabOrder(Button_Start_Zero, Button_Device_info);
    setTabOrder(Button_Device_info, Button_Info_OK);
    setTabOrder(Button_Info_OK, Button_Start_Display);
    Button_Device_info->setFocus();

    connect(Button_Device_info, &QPushButton::clicked, this, &TMainForm::Button_Device_infoClick);
    connect(Button_Info_OK, &QPushButton::clicked, this, &TMainForm::Button_Info_OKClick);
    connect(Button_Start_Display, &QPushButton::clicked, this,
            &TMainForm::Button_Start_DisplayClick);
    connect(Button_Start_Chart, &QPushButton::clicked, this, &TMainForm::Button_Start_ChartClick);
    connect(Button_Start_Zero, &QPushButton::clicked, this, &TMainForm::Button_Start_ZeroClick);
    connect(Button_Exit, &QPushButton::clicked, this, &TMainForm::Button_ExitClick);
}

void TMainForm::readSettings() {
    const ProgramSettings settings = readProgramSettings(settingsFilePath());
    displayDepiction = settings.displayDepiction;
    limit = settings.limit;
    dataDirectory = settings.dataDirectory;
    samplingTimeDisplay = settings.samplingTimeDisplay;
    samplingTimeChart = settings.samplingTimeChart;
    storedSamplingTimeChart = samplingTimeChart;
}

void TMainForm::applyCaption() {
    setWindowTitle(mainCaption(versionCaption, displayDepiction));
}

void TMainForm::Button_Device_infoClick() {
    QString serialNumber;
    QString softwareVersion;
    QString deviceTypeText;
    int result = mainLink().openDevice();
    if (result > 0) {
        result = readIdentity(serialNumber, softwareVersion, deviceTypeText);
    }
    if (result <= 0) {
        operatorDialogs().showMessage(QStringLiteral("No connection to the USB device! "),
                                      QStringLiteral(" E R R O R"));
        terminateProgram(-1);
    }
    LabelAccu->hide();
    LabelAccuStatus->hide();
    ImageZalvo1x->hide();
    ImageZalvo2x->hide();
    GroupBox_Device_info->show();
    Label_Serial_number->setText(serialNumber);
    Label_SW_version->setText(softwareVersion);
    deviceIdentity.serialNumber = serialNumber;
    deviceIdentity.softwareVersion = softwareVersion;

    bool isNumber = false;
    const int type = deviceTypeText.toInt(&isNumber, 10);
    if (!isNumber) {
        operatorDialogs().showError(
            QStringLiteral("'%1' is not a valid integer value").arg(deviceTypeText));
        return;
    }
    deviceType = type;
    deviceIdentity.deviceType = deviceTypeText;
    Label_Device_type->setText(deviceTypeCaption(deviceTypeText));
    GroupBox_Main_Menu->setTitle(QStringLiteral("Main menue  Zalvo ") + deviceTypeText);
    if (deviceType != 115) {
        showBatteryState();
    }
}

void TMainForm::showBatteryState() {
    int rangeIndex = 0;
    // When the instrument vanished right after the identity, the battery counts as OK.
    unsigned char batteryOk = 1;
    readRangeAndBattery(rangeIndex, batteryOk);
    LabelAccu->show();
    LabelAccuStatus->show();
    LabelAccuStatus->setText(batteryOk ? QStringLiteral("= OK.") : QStringLiteral("= Low !"));
}

void TMainForm::Button_Info_OKClick() {
    GroupBox_Device_info->hide();
    ImageZalvo1x->setVisible(deviceType == 115);
    ImageZalvo2x->setVisible(deviceType != 115);
    Button_Start_Zero->setEnabled(true);
    Button_Start_Chart->setEnabled(true);
    Button_Start_Display->setEnabled(true);
}

void TMainForm::Button_Start_ZeroClick() {
    FormReadUSB->show();
    setEnabled(false);
    FormReadUSB->setWindowTitle(QStringLiteral("Display Zalvo ") + QString::number(deviceType) +
                                QStringLiteral(" Zero adjustment."));
    const int result = FormReadUSB->runZeroAdjustment();
    if (result > 0) {
        operatorDialogs().showMessage(
            QStringLiteral("Zero point calibration completed successfully."),
            QStringLiteral("Note"));
    } else {
        operatorDialogs().showMessage(
            QStringLiteral("!! Zero point calibration not successfully !!"),
            QStringLiteral("Error occurred !"));
    }
    FormReadUSB->hide();
    setEnabled(true);
}

void TMainForm::Button_ExitClick() {
    terminateProgram(0);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the message loop; the other windows are hidden or go with it.
    event->accept();
    QCoreApplication::quit();
}
