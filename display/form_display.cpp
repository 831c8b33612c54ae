#include "display/form_display.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include "device/usbread.h"
#include "display/circle_shape.h"
#include "measure/device_modes.h"
#include "measure/range_items.h"
#include "state/main_form_data.h"
#include "ui/event_pump.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"
#include "ui/standard_icon.h"
#include "ui/window_fonts.h"

namespace {

// Outer size of the window; the client area is what remains inside frame, title and border.
constexpr int outerWidth = 949;
constexpr int outerHeight = 515;
constexpr int clientWidth = 931;
constexpr int clientHeight = 474;

QLabel* makeLabel(const QString& text, QWidget* parent, const QRect& place, int fontPixels,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setFont(windowFont(fontPixels));
    label->setAlignment(alignment);
    return label;
}

// A label for the measured values and their unit, which change while measuring.
FittingLabel* makeValueLabel(const QString& text, QWidget* parent, const QRect& place,
                             int fontPixels, Qt::Alignment alignment) {
    auto* label = new FittingLabel(text, windowFont(fontPixels), place, parent);
    label->setAlignment(alignment);
    return label;
}

QPushButton* makeButton(const QString& text, QWidget* parent, const QRect& place,
                        QStyle::StandardPixmap glyph) {
    auto* button = new QPushButton(standardIconOnDemand(glyph), text, parent);
    button->setGeometry(place);
    return button;
}

QGroupBox* makeGroupBox(const QString& caption, QWidget* parent, const QRect& place) {
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(place);
    return box;
}

}  // namespace

TFormDisplay::TFormDisplay(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Display Zalvo"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(clientWidth, clientHeight);
    setFont(windowFont(19));
    setAutoFillBackground(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    buildControls();
    setDistanceControlsVisible(false);
    BitBtnSavedata->setEnabled(false);
    BitBtn_start->setEnabled(true);
    modeLetter = 'F';
    Label_distance->setText(QString::number(ScrollBar_distance->value()) + QStringLiteral(" mm"));
    placeOnScreen();
    headerMax = recordHeaderMax();
    headerMin = recordHeaderMin();
    resetDisplay();
}

void TFormDisplay::buildControls() {
    RadioGroup_Mode = new RadioGroup(QStringLiteral("Measure mode"), this);
    RadioGroup_Mode->setGeometry(8, 0, 209, 129);
    RadioGroup_Mode->setFont(windowFont(13));

    Label_selectDistance = makeLabel(QStringLiteral("Set distance 5...300 mm"), this,
                                     QRect(8, 144, 201, 17), 13, Qt::AlignHCenter | Qt::AlignTop);
    ScrollBar_distance = new QScrollBar(Qt::Horizontal, this);
    ScrollBar_distance->setGeometry(8, 168, 209, 25);
    ScrollBar_distance->setRange(5, 300);
    ScrollBar_distance->setValue(5);
    ScrollBar_distance->setSingleStep(1);
    ScrollBar_distance->setPageStep(10);
    ScrollBar_distance->setToolTip(QStringLiteral("Set distance in mm"));
    LabelMeasuringdistance =
        makeLabel(QStringLiteral("Measuring distance ="), this, QRect(8, 208, 153, 25), 13);
    Label_distance =
        makeLabel(QString(), this, QRect(160, 208, 57, 25), 13, Qt::AlignHCenter | Qt::AlignTop);

    RadioGroup_Range = new RadioGroup(QStringLiteral("Range"), this);
    RadioGroup_Range->setGeometry(8, 273, 209, 176);
    RadioGroup_Range->setFont(windowFont(13));

    GroupBox_Measuredvalue =
        makeGroupBox(QStringLiteral("Measured value "), this, QRect(224, 0, 689, 257));
    QWidget* value = GroupBox_Measuredvalue;
    Label_measuredValue = makeValueLabel(QStringLiteral("0"), value, QRect(16, 80, 409, 105), 93,
                                         Qt::AlignRight | Qt::AlignTop);
    Label_measuredValue->setAutoFillBackground(true);
    Label_unit = makeValueLabel(QStringLiteral("kV/m"), value, QRect(448, 80, 217, 105), 93,
                                Qt::AlignLeft | Qt::AlignTop);
    Label_Low_Batterie_D =
        makeLabel(QStringLiteral("Warning - Low Battery !!"), value, QRect(16, 224, 201, 22), 19);
    // In the free row between the value and the battery warning, so that both can show.
    Label_No_Range_D = new NoRangeWarning(QStringLiteral("value held"), value);
    Label_No_Range_D->setGeometry(16, 192, 657, 26);
    Label_No_Range_D->setFont(windowFont(19));
    // Right-aligned before its value, with room to the left for a wider stand-in for Arial.
    LabelRepeatTime =
        makeLabel(QStringLiteral("Sampling time :"), value, QRect(360, 224, 161, 22), 19);
    LabelRepeatTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelRepeatTimeVal = makeLabel(QStringLiteral("000"), value, QRect(520, 224, 33, 22), 19);
    Shape_Tick = new CircleShape(value);
    Shape_Tick->setGeometry(648, 224, 33, 25);
    Shape_Tick->setPenWidth(3);
    Shape_Tick->setFillColour(Qt::gray);
    Shape_Tick->hide();

    const Qt::Alignment valueAlignment = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment unitAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    GroupBox_minValue =
        makeGroupBox(QStringLiteral("neg. maximum"), this, QRect(224, 262, 240, 123));
    Label_neg_maxValue = makeValueLabel(QStringLiteral("0"), GroupBox_minValue,
                                        QRect(8, 40, 137, 50), 33, valueAlignment);
    Label_minValUnit = makeValueLabel(QStringLiteral("kV/m"), GroupBox_minValue,
                                      QRect(152, 40, 84, 50), 33, unitAlignment);
    GroupBox_maxValue =
        makeGroupBox(QStringLiteral("pos. maximum"), this, QRect(672, 262, 240, 123));
    Label_pos_maxValue = makeValueLabel(QStringLiteral("0"), GroupBox_maxValue,
                                        QRect(8, 40, 137, 50), 33, valueAlignment);
    Label_maxValUnit = makeValueLabel(QStringLiteral("kV/m"), GroupBox_maxValue,
                                      QRect(152, 40, 84, 50), 33, unitAlignment);

    BitBtn_start = makeButton(QStringLiteral("&Start"), this, QRect(478, 272, 180, 30),
                              QStyle::SP_DialogOkButton);
    BitBtn_break = makeButton(QStringLiteral("&Break"), this, QRect(478, 312, 180, 30),
                              QStyle::SP_DialogCancelButton);
    BitBtn_reset = makeButton(QStringLiteral("&Reset"), this, QRect(478, 352, 180, 30),
                              QStyle::SP_BrowserReload);
    BitBtn_setup = makeButton(QStringLiteral("Setup"), this, QRect(478, 416, 180, 30),
                              QStyle::SP_FileDialogDetailedView);
    BitBtnSavedata = makeButton(QStringLiteral("Save Data"), this, QRect(224, 400, 240, 50),
                                QStyle::SP_DialogSaveButton);
    BitBtnSavedata->setDefault(true);
    BitBtn_back =
        makeButton(QStringLiteral("B&ack"), this, QRect(672, 400, 240, 50), QStyle::SP_ArrowBack);

    connect(RadioGroup_Mode, &RadioGroup::clicked, this, &TFormDisplay::RadioGroup_ModeClick);
    connect(RadioGroup_Range, &RadioGroup::clicked, this, &TFormDisplay::RadioGroup_RangeClick);
    connect(ScrollBar_distance, &QScrollBar::valueChanged, this,
            &TFormDisplay::ScrollBar_distanceChange);
    connect(BitBtn_start, &QPushButton::clicked, this, &TFormDisplay::BitBtn_startClick);
    connect(BitBtn_break, &QPushButton::clicked, this, &TFormDisplay::BitBtn_breakClick);
    connect(BitBtn_reset, &QPushButton::clicked, this, &TFormDisplay::BitBtn_resetClick);
    connect(BitBtn_setup, &QPushButton::clicked, this, &TFormDisplay::BitBtn_setupClick);
    connect(BitBtnSavedata, &QPushButton::clicked, this, &TFormDisplay::BitBtnSavedataClick);
    connect(BitBtn_back, &QPushButton::clicked, this, &TFormDisplay::BitBtn_backClick);
}

void TFormDisplay::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QSize size = screen->size();
    move((size.width() - outerWidth) / 2, (size.height() - outerHeight) / 2 + 20);
}

void TFormDisplay::setDistanceControlsVisible(bool visible) {
    ScrollBar_distance->setVisible(visible);
    Label_distance->setVisible(visible);
    Label_selectDistance->setVisible(visible);
    LabelMeasuringdistance->setVisible(visible);
}

void TFormDisplay::setMeasuredValueColour(const QColor& colour) {
    QPalette p = Label_measuredValue->palette();
    p.setColor(QPalette::Window, colour);
    Label_measuredValue->setPalette(p);
}

void TFormDisplay::resetDisplay() {
    const ResetTexts texts = cycle.evaluation().reset(mainFormData().displayDepiction);
    if (texts.writeValue) {
        Label_measuredValue->setText(texts.valueText);
    }
    Label_neg_maxValue->setText(texts.extremeText);
    Label_pos_maxValue->setText(texts.extremeText);
}

void TFormDisplay::fillRangeItems(char letter, int distance) {
    MainFormData& data = mainFormData();
    RadioGroup_Range->clearItems();
    RadioGroup_Range->addItems(
        rangeItemTexts(data, WindowKind::Display, data.deviceType, letter, distance));
    RadioGroup_Range->setItemIndex(rangeItemToSelect(WindowKind::Display, data.currentRange));
}

void TFormDisplay::RadioGroup_ModeClick() {
    setDistanceControlsVisible(false);
    const ModeSelection selection = selectMode(
        mainFormData().deviceType, RadioGroup_Mode->itemIndex(), ScrollBar_distance->value());
    if (selection.applies) {
        setDistanceControlsVisible(selection.showDistanceControls);
        modeLetter = selection.modeLetter;
        if (selection.unitText) {
            Label_unit->setText(*selection.unitText);
            Label_minValUnit->setText(*selection.unitText);
            Label_maxValUnit->setText(*selection.unitText);
        }
        fillRangeItems(modeLetter, modeLetter == 'M' ? ScrollBar_distance->value() : 1);
        if (selection.modeCode) {
            setMode(*selection.modeCode);
        }
        measurementRecord.recDistance = selection.recDistance;
    }
    resetDisplay();
}

void TFormDisplay::RadioGroup_RangeClick() {
    MainFormData& data = mainFormData();
    data.currentRange = currentRangeOfItem(RadioGroup_Range->itemIndex(), data.currentRange);
}

void TFormDisplay::ScrollBar_distanceChange() {
    const int distance = ScrollBar_distance->value();
    Label_distance->setText(QString::number(distance) + QStringLiteral(" mm"));
    fillRangeItems('M', distance);
    BitBtn_start->setEnabled(true);
    measurementRecord.recDistance = QString::number(distance);
}

void TFormDisplay::BitBtn_breakClick() {
    BitBtnSavedata->setEnabled(true);
    breakRequested = true;
    BitBtn_back->setEnabled(true);
    BitBtn_start->setEnabled(true);
    BitBtn_setup->setEnabled(true);
}

void TFormDisplay::BitBtn_resetClick() {
    resetDisplay();
}

void TFormDisplay::BitBtn_backClick() {
    setDistanceControlsVisible(false);
    BitBtn_start->setEnabled(true);
    hide();
    BitBtn_setup->setEnabled(true);
    Shape_Tick->hide();
    emit backRequested();
    letPendingEventsRun();
}

void TFormDisplay::BitBtn_setupClick() {
    emit setupRequested();
}

void TFormDisplay::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // A focused button takes Enter itself; elsewhere it goes to the default button.
            auto* focused = qobject_cast<QPushButton*>(focusWidget());
            QPushButton* target = focused ? focused : BitBtnSavedata;
            if (target->isEnabled()) {
                target->click();
            }
            return;
        }
        case Qt::Key_Escape:
            if (BitBtn_back->isEnabled()) {
                BitBtn_back->click();
            }
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void TFormDisplay::closeEvent(QCloseEvent* event) {
    event->ignore();
}
