#include "chart/form_chart.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <cmath>

#include "device/usbread.h"
#include "measure/device_modes.h"
#include "measure/number_format.h"
#include "measure/range_items.h"
#include "plot/chart_toolbar.h"
#include "plot/chart_widget.h"
#include "settings/ini_file.h"
#include "settings/program_settings.h"
#include "settings/settings_file_path.h"
#include "state/main_form_data.h"
#include "ui/event_pump.h"
#include "ui/no_range_warning.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"
#include "ui/radio_group.h"
#include "ui/window_fonts.h"

namespace {

constexpr int windowWidth = 1036;
constexpr int windowHeight = 722;
// The value axis leaves a small margin beyond the full scale of the range.
constexpr double axisMargin = 1.015;

const QString unitSuffixMs = QStringLiteral(" mSek");

// The unit's own link object; every link object shares the one connection.
CAD_wandler& chartLink() {
    static CAD_wandler link;
    return link;
}

QLabel* makeLabel(const QString& text, QWidget* parent, int x, int y, int w, int h,
                  int fontPixels = 0) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    if (fontPixels > 0) {
        label->setFont(windowFont(fontPixels));
    }
    return label;
}

// A label for the measured values and their unit, which change while recording.
FittingLabel* makeValueLabel(const QString& text, QWidget* parent, int x, int y, int w, int h,
                             int fontPixels) {
    return new FittingLabel(text, windowFont(fontPixels), QRect(x, y, w, h), parent);
}

QGroupBox* makeGroup(const QString& caption, QWidget* parent, int x, int y, int w, int h) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(x, y, w, h);
    return group;
}

QPushButton* makeButton(const QString& text, QWidget* parent, int x, int y) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, y, 130, 30);
    return button;
}

QScrollBar* makeScrollBar(QWidget* parent, int x, int y, int minimum, int maximum, int pageStep) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(x, y, 275, 33);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setValue(minimum);
    return bar;
}

QString millisecondsText(int milliseconds) {
    return formatInteger(milliseconds) + unitSuffixMs;
}

// What the recording loop measures with, and what its files name as their sampling time.
int chartSamplingTime() {
    return usableSamplingTime(mainFormData().samplingTimeChart, smallestSamplingTimeChart);
}

}  // namespace

TFormChart::TFormChart(QWidget* parent) : QWidget(parent) {
    buildControls();
    showDistanceControls(false);
    Label_distance->setText(formatInteger(ScrollBar_distance_Ch->value()) + QStringLiteral(" mm"));
    placeOnScreen();
    Chart1->clearSeries();
    Chart1->setValueAxisTitle(QString());
    Chart1->setTimeAxisTitleFontSize(12);
    Chart1->setTimeAxisTitle(QStringLiteral("Time mSek"));
    Chart1->setTimeAxisIncrement(200);
    Label_SampleTime_Value->setText(millisecondsText(chartSamplingTime()));
}

void TFormChart::buildControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Chart Zalvo"));
    setFixedSize(windowWidth, windowHeight);
    setFont(windowFont(11));

    Chart1 = new ChartWidget(this);
    Chart1->setGeometry(304, 48, 713, 633);
    TeeCommander1 = new ChartToolbar(Chart1, this);
    TeeCommander1->setDefaultDirectory([] { return mainFormData().dataDirectory; });
    TeeCommander1->setLimitPercent([] { return static_cast<double>(mainFormData().limit); });
    TeeCommander1->setGeometry(0, 0, windowWidth, 41);

    GroupBoxAll = makeGroup(QString(), this, 8, 42, 291, 639);
    GroupBoxAll->setFont(windowFont(13));
    QWidget* all = GroupBoxAll;

    GroupBoxMeasuredVal = makeGroup(QStringLiteral("Measured value"), all, 8, 16, 275, 57);
    Label_measuredValue =
        makeValueLabel(QStringLiteral("0,0"), GroupBoxMeasuredVal, 8, 16, 153, 33, 27);
    Label_measuredValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_unit = makeValueLabel(QStringLiteral("kV/m"), GroupBoxMeasuredVal, 168, 16, 100, 33, 27);

    GroupBoxNegMax = makeGroup(QStringLiteral("neg. maximum"), all, 8, 72, 132, 57);
    Label_neg_Value = makeValueLabel(QStringLiteral("0,0"), GroupBoxNegMax, 8, 24, 74, 24, 19);
    Label_minValUnit = makeValueLabel(QStringLiteral("kV/m"), GroupBoxNegMax, 84, 24, 46, 24, 19);

    GroupBoxPosMax = makeGroup(QStringLiteral("pos. maximum"), all, 152, 72, 132, 57);
    Label_pos_Value = makeValueLabel(QStringLiteral("0,0"), GroupBoxPosMax, 8, 24, 74, 24, 19);
    Label_maxValUnit = makeValueLabel(QStringLiteral("kV/m"), GroupBoxPosMax, 84, 24, 46, 24, 19);

    BitBtn_Start = makeButton(QStringLiteral("&Start"), all, 8, 136);
    BitBtn_Break = makeButton(QStringLiteral("B&reak"), all, 152, 136);
    BitBtn_Reset = makeButton(QStringLiteral("&Reset"), all, 8, 176);
    BitBtn_Back = makeButton(QStringLiteral("&Back"), all, 152, 176);

    RadioGroup_Mode = new RadioGroup(QStringLiteral("Measure mode"), all);
    RadioGroup_Mode->setGeometry(8, 216, 275, 105);

    Label_selectDistance =
        makeLabel(QStringLiteral("Set distance 5...300 mm"), all, 8, 328, 281, 17);
    Label_selectDistance->setAlignment(Qt::AlignCenter);
    ScrollBar_distance_Ch = makeScrollBar(all, 8, 352, 5, 300, 10);
    Label_Measuringdistance =
        makeLabel(QStringLiteral("Measuring distance ="), all, 8, 392, 190, 20, 16);
    Label_distance = makeLabel(QStringLiteral("5 mm"), all, 200, 392, 80, 20, 16);

    RadioGroup_Range = new RadioGroup(QStringLiteral("Range"), all);
    RadioGroup_Range->setGeometry(8, 416, 275, 73);
    RadioGroup_Range->setColumns(3);

    LabelSampleTime =
        makeLabel(QStringLiteral("Sampling time 200..6000 mSek"), all, 0, 504, 289, 16);
    LabelSampleTime->setAlignment(Qt::AlignCenter);
    ScrollBar_SamplingTime = makeScrollBar(all, 8, 528, smallestSamplingTimeChart, 6000, 100);
    // The captions take the room a wider stand-in for Arial needs; the values follow them.
    Label_SampleTime = makeLabel(QStringLiteral("Set sampling time ="), all, 8, 576, 176, 20, 16);
    Label_SampleTime_Value = makeLabel(QString(), all, 188, 576, 96, 20, 16);
    LabelGetSamplingTime =
        makeLabel(QStringLiteral("Get sampling time ="), all, 8, 600, 176, 20, 16);
    LabelSamplingTimeVal = makeLabel(QStringLiteral("??"), all, 188, 600, 96, 20, 16);

    Label_Low_Batterie_C =
        makeLabel(QStringLiteral("Warning - Low Battery !!"), Chart1, 8, 600, 209, 25, 16);
    Label_Low_Batterie_C->hide();
    // Below the controls, beside the file warning: it covers neither the plot nor its axes.
    Label_No_Range_C = new NoRangeWarning(QStringLiteral("not recorded"), this);
    Label_No_Range_C->setGeometry(8, 688, 291, 25);
    Label_No_Range_C->setFont(windowFont(16));
    // Below the chart, where it covers neither the plot nor its axes.
    Label_File_Warning = makeLabel(QStringLiteral("Warning - Recording not saved to disk !!"), this,
                                   304, 688, 713, 25, 16);
    Label_File_Warning->setStyleSheet(QStringLiteral("color: red"));
    Label_File_Warning->hide();

    shareAltR();

    connect(BitBtn_Start, &QPushButton::clicked, this, &TFormChart::BitBtn_StartClick);
    connect(BitBtn_Break, &QPushButton::clicked, this, &TFormChart::BitBtn_BreakClick);
    connect(BitBtn_Reset, &QPushButton::clicked, this, &TFormChart::BitBtn_ResetClick);
    connect(BitBtn_Back, &QPushButton::clicked, this, &TFormChart::BitBtn_BackClick);
    connect(RadioGroup_Mode, &RadioGroup::clicked, this, &TFormChart::RadioGroup_ModeClick);
    connect(RadioGroup_Range, &RadioGroup::clicked, this, &TFormChart::RadioGroup_RangeClick);
    connect(ScrollBar_distance_Ch, &QScrollBar::valueChanged, this,
            &TFormChart::ScrollBar_distance_ChChange);
    connect(ScrollBar_SamplingTime, &QScrollBar::valueChanged, this,
            &TFormChart::ScrollBar_SamplingTimeChange);
    connect(&recording, &ChartRecording::fileStarted, this, &TFormChart::recordingFileStarted);
    connect(&recording, &ChartRecording::writeFailed, this, &TFormChart::recordingFailed);
}

void TFormChart::shareAltR() {
    // "B&reak" and "&Reset" both underline R. Two buttons with one mnemonic only pass the
    // focus between them, so one shortcut picks the button that state makes useful: Break
    // while a recording runs (Start is disabled only then), Reset otherwise.
    BitBtn_Break->setShortcut(QKeySequence());
    BitBtn_Reset->setShortcut(QKeySequence());
    auto* altR = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this);
    connect(altR, &QShortcut::activated, this, [this] {
        QPushButton* target = BitBtn_Start->isEnabled() ? BitBtn_Reset : BitBtn_Break;
        target->setFocus(Qt::ShortcutFocusReason);
        target->click();
    });
}

void TFormChart::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QSize size = screen->size();
    // 20 pixels below the vertical centre.
    move((size.width() - windowWidth) / 2, (size.height() - windowHeight) / 2 + 20);
}

void TFormChart::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TFormChart::resetChart() {
    clearChart();
    // The cleared points were the whole recording; the next point begins a new file.
    recording.end();
}

void TFormChart::clearChart() {
    const ResetTexts texts = cycle.evaluation().reset();
    Label_neg_Value->setText(texts.extremeText);
    Label_pos_Value->setText(texts.extremeText);
    Chart1->clearSeries();
    elapsedMs = 0;
}

void TFormChart::showDistanceControls(bool visible) {
    ScrollBar_distance_Ch->setVisible(visible);
    Label_distance->setVisible(visible);
    Label_selectDistance->setVisible(visible);
    Label_Measuringdistance->setVisible(visible);
}

void TFormChart::setUnitLabels(const QString& unit) {
    Label_unit->setText(unit);
    Label_minValUnit->setText(unit);
    Label_maxValUnit->setText(unit);
}

void TFormChart::setRecordingControlsEnabled(bool enabled) {
    ScrollBar_distance_Ch->setEnabled(enabled);
    ScrollBar_SamplingTime->setEnabled(enabled);
    RadioGroup_Mode->setEnabled(enabled);
}

bool TFormChart::offerSamplingTimeStore() {
    MainFormData& shared = mainFormData();
    if (shared.samplingTimeChart == shared.storedSamplingTimeChart) {
        return true;
    }
    // Remembered before asking, so that the same value is offered only once.
    shared.storedSamplingTimeChart = shared.samplingTimeChart;
    if (operatorDialogs().askOkCancel(QStringLiteral("Should the Setup.ini be updated ?"),
                                      QStringLiteral("Query")) != OperatorDialogs::Answer::Ok) {
        return true;
    }
    try {
        storeSamplingTimeChart(settingsFilePath(), shared.samplingTimeChart);
    } catch (const SettingsWriteError& error) {
        operatorDialogs().showError(error.message());
        return false;
    }
    return true;
}

void TFormChart::BitBtn_StartClick() {
    const int samplingTime = chartSamplingTime();
    Label_SampleTime_Value->setText(millisecondsText(samplingTime));
    if (!offerSamplingTimeStore()) {
        return;
    }
    setRecordingControlsEnabled(false);

    breakRequested = false;
    RecordingRun run;
    run.samplingTime = samplingTime;
    startRecording(samplingTime);
    while (!breakRequested) {
        recordingCycle(run);
    }

    recording.end();
    if (--runningLoops == 0) {
        TeeCommander1->setRecordingRuns(false);
    }
    BitBtn_Start->setEnabled(true);
    setRecordingControlsEnabled(true);
}

void TFormChart::startRecording(int samplingTime) {
    cycle.evaluation().beginRun();
    Label_No_Range_C->hide();
    Chart1->setValueAxisAutomatic(false);
    resetChart();
    Chart1->setTimeAxisIncrement(samplingTime);

    if (chartLink().openDevice() < 1) {
        operatorDialogs().showMessage(QStringLiteral("No connection to the USB device! "),
                                      QStringLiteral(" E R R O R"));
        terminateProgram(-1);
    }
    BitBtn_Start->setEnabled(false);
    BitBtn_Back->setEnabled(false);
    ++runningLoops;
    TeeCommander1->setRecordingRuns(true);

    // The selected range, or automatic ranging when no item is selected; the chart keeps the
    // range the instrument then reports.
    MainFormData& shared = mainFormData();
    const DeviceReading first = cycle.sendStartRange(
        static_cast<unsigned>(startRangeIndex(RadioGroup_Range->itemIndex())), shared.currentRange);
    letPendingEventsRun();
    shared.currentRange = first.reading.rangeIndex;
    cycle.beginCycles();

    setUnitLabels(QString());
    if (shared.deviceType != deviceType115) {
        char letter = modeLetter;
        followInstrumentMode(letter);
    }
}

void TFormChart::recordingCycle(RecordingRun& run) {
    DeviceReading reading = cycle.read();
    cycle.correctRange(reading, [this] {
        // Forcing may clear every cycle while the instrument keeps its own range; the file
        // goes on rather than leaving a file per cycle.
        clearChart();
        recording.carryOn();
    });
    if (reading.result < 1) {
        // On the disk before the box waits for the operator, and before the process ends.
        recording.end();
        operatorDialogs().showMessage(
            QStringLiteral("No connection to the USB device! Error no = ") +
                formatInteger(reading.result),
            QStringLiteral("E R R O R occurred"));
        terminateProgram(-1);
    }
    Label_Low_Batterie_C->setVisible(cycle.lowBattery(reading));

    if (mainFormData().deviceType != deviceType115) {
        char letter = modeLetter;
        if (followInstrumentMode(letter)) {
            modeLetter = letter;
        }
    }
    const EvaluationResult shown = cycle.evaluate(
        reading.reading, {modeLetter, RadioGroup_Range->items(), ScrollBar_distance_Ch->value()});
    Label_No_Range_C->follow(shown);
    showCycle(shown, run);

    const int samplingTime = run.samplingTime;
    run.lastInterval = cycle.waitForCycleEnd([samplingTime] { return samplingTime; },
                                             breakRequested, letEventsRunFor);
    LabelSamplingTimeVal->setText(formatFixed(run.lastInterval, 4, 0) + unitSuffixMs);
    letPendingEventsRun();
}

void TFormChart::showCycle(const EvaluationResult& shown, RecordingRun& run) {
    if (shown.usable) {
        Chart1->setValueAxisTitle(shown.unitText);
        setUnitLabels(shown.unitText);
    }
    // The bounds belong to the previous point, so they follow a range change one point late.
    Chart1->setValueAxisMinimum(-axisMargin * run.axisLimit);
    Chart1->setValueAxisMaximum(axisMargin * run.axisLimit);
    showValues(shown);
    if (shown.stopRecording) {
        breakRequested = true;
    }

    elapsedMs = static_cast<qint64>(std::trunc(static_cast<double>(elapsedMs) + run.lastInterval));
    if (shown.plotPoint) {
        Chart1->addPoint(static_cast<double>(elapsedMs), recordedPointValue(shown.displayValue));
        run.axisLimit = shown.fullScale;
    }
    const int samplingTime = run.samplingTime;
    recording.record(elapsedMs, shown, [&] {
        return chartRecordingHeader(recordingSource(samplingTime), shown,
                                    QDateTime::currentDateTime());
    });
}

void TFormChart::showValues(const EvaluationResult& shown) {
    if (!shown.usable) {
        return;
    }
    if (shown.writeCaption) {
        Chart1->setTitle(shown.caption);
    }
    Label_measuredValue->setText(shown.valueText);
    if (shown.writeNegExtreme) {
        Label_neg_Value->setText(shown.negExtremeText);
    }
    if (shown.writePosExtreme) {
        Label_pos_Value->setText(shown.posExtremeText);
    }
}

ChartRecordingSource TFormChart::recordingSource(int samplingTime) const {
    const MainFormData& shared = mainFormData();
    ChartRecordingSource source;
    source.identity = shared.deviceIdentity;
    source.distanceMm =
        selectMode(shared.deviceType, RadioGroup_Mode->itemIndex(), ScrollBar_distance_Ch->value())
            .recDistance;
    source.rangeIndex = shared.currentRange;
    source.samplingTimeMs = samplingTime;
    return source;
}

void TFormChart::recordingFileStarted(const QString& path) {
    Label_File_Warning->hide();
    TeeCommander1->showRecordingFile(path);
}

void TFormChart::recordingFailed(const QString& reason) {
    Label_File_Warning->setToolTip(reason);
    Label_File_Warning->show();
    TeeCommander1->showRecordingProblem(reason);
}

bool TFormChart::followInstrumentMode(char& letter) {
    int modeIndex = 0;
    // A mode that could not be read is no other mode: moving to the last item would clear the
    // recording, send that item's mode to the instrument and plot nothing under letter 'E'.
    if (readMode(modeIndex, letter) <= 0) {
        return false;
    }
    RadioGroup_Mode->setItemIndex(modeIndex);
    return true;
}

void TFormChart::BitBtn_BreakClick() {
    BitBtn_Back->setEnabled(true);
    breakRequested = true;
    BitBtn_Start->setEnabled(true);
}

void TFormChart::BitBtn_ResetClick() {
    // resetChart also forgets a shown overrange.
    resetChart();
}

void TFormChart::BitBtn_BackClick() {
    hide();
    setEnabled(false);
    emit backRequested();
}

void TFormChart::RadioGroup_ModeClick() {
    showDistanceControls(false);
    Chart1->setTimeAxisTitle(QStringLiteral("Time mSek"));
    const int distance = ScrollBar_distance_Ch->value();
    const ModeSelection selection =
        selectMode(mainFormData().deviceType, RadioGroup_Mode->itemIndex(), distance);
    if (selection.applies) {
        showDistanceControls(selection.showDistanceControls);
        modeLetter = selection.modeLetter;
        if (selection.unitText) {
            setUnitLabels(*selection.unitText);
        }
        fillRangeItems(modeLetter, modeLetter == 'M' ? distance : 1);
        if (selection.modeCode) {
            setMode(*selection.modeCode);
        }
    }
    resetChart();
}

void TFormChart::RadioGroup_RangeClick() {
    MainFormData& shared = mainFormData();
    shared.currentRange = currentRangeOfItem(RadioGroup_Range->itemIndex(), shared.currentRange);
}

void TFormChart::ScrollBar_distance_ChChange() {
    const int distance = ScrollBar_distance_Ch->value();
    Label_distance->setText(formatInteger(distance) + QStringLiteral(" mm"));
    fillRangeItems('M', distance);
    BitBtn_Start->setEnabled(true);
}

void TFormChart::ScrollBar_SamplingTimeChange() {
    const int samplingTime = ScrollBar_SamplingTime->value();
    Label_SampleTime_Value->setText(millisecondsText(samplingTime));
    mainFormData().samplingTimeChart = samplingTime;
}

void TFormChart::fillRangeItems(char letter, int distance) {
    const MainFormData& shared = mainFormData();
    RadioGroup_Range->clearItems();
    RadioGroup_Range->addItems(
        rangeItemTexts(shared, WindowKind::Chart, shared.deviceType, letter, distance));
    RadioGroup_Range->setItemIndex(rangeItemToSelect(WindowKind::Chart, shared.currentRange));
}
