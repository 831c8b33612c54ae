#include "plot/chart_toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "plot/chart_export.h"
#include "plot/chart_widget.h"
#include "plot/recording_readout.h"
#include "plot/recording_view.h"
#include "recording/recording_file.h"
#include "ui/operator_dialogs.h"

namespace {

const QString failureCaption = QStringLiteral("Error");
const QString openCaption = QStringLiteral("Open recording");
// Room for a file name; longer texts are shortened in the middle.
constexpr int fileLabelWidth = 340;

}  // namespace

ChartToolbar::ChartToolbar(ChartWidget* chart, QWidget* parent)
    : QToolBar(parent),
      boundChart(chart),
      loader(&streamRecordingFile),
      readout(new RecordingReadout(chart)) {
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);

    auto* modes = new QActionGroup(this);
    zoomMode = addAction(QStringLiteral("Zoom"));
    zoomMode->setToolTip(QStringLiteral("Drag a rectangle to zoom in, drag to the left to reset"));
    panMode = addAction(QStringLiteral("Move"));
    panMode->setToolTip(QStringLiteral("Drag to move the view"));
    for (QAction* mode : {zoomMode, panMode}) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    zoomMode->setChecked(true);
    connect(zoomMode, &QAction::triggered, this,
            [this] { boundChart->setDragMode(ChartWidget::DragMode::Zoom); });
    connect(panMode, &QAction::triggered, this,
            [this] { boundChart->setDragMode(ChartWidget::DragMode::Pan); });

    resetZoom = addAction(QStringLiteral("Reset zoom"), boundChart, &ChartWidget::resetZoom);
    resetZoom->setEnabled(boundChart->isZoomed());
    connect(boundChart, &ChartWidget::zoomChanged, resetZoom, &QAction::setEnabled);
    addSeparator();

    saveImage = addAction(QStringLiteral("Save image..."), this, &ChartToolbar::askAndSaveImage);
    exportCsv = addAction(QStringLiteral("Export data..."), this, &ChartToolbar::askAndExportCsv);
    printPreview =
        addAction(QStringLiteral("Print preview..."), this, &ChartToolbar::showPrintPreview);
    addSeparator();

    openRecording =
        addAction(QStringLiteral("Open recording..."), this, &ChartToolbar::askAndOpenRecording);
    openRecording->setToolTip(QStringLiteral("Show a recording file in the chart"));
    statistics = addAction(QStringLiteral("Statistics"));
    statistics->setToolTip(
        QStringLiteral("Show the statistics of the opened recording over the chart"));
    statistics->setCheckable(true);
    statistics->setChecked(true);
    statistics->setEnabled(false);
    connect(statistics, &QAction::toggled, readout, &RecordingReadout::setStatisticsWanted);
    fileLabel = new QLabel(this);
    fileLabel->setFixedWidth(fileLabelWidth);
    fileLabel->setContentsMargins(8, 0, 0, 0);
    addWidget(fileLabel);
}

void ChartToolbar::setRecordingRuns(bool runs) {
    openRecording->setEnabled(!runs);
    if (runs) {
        readout->hide();
        statistics->setEnabled(false);
    }
}

void ChartToolbar::showRecordingFile(const QString& path) {
    showFileText(QStringLiteral("Recording file: ") + QFileInfo(path).fileName(), path);
}

void ChartToolbar::showRecordingProblem(const QString& reason) {
    showFileText(QStringLiteral("Not saved: ") + reason, reason);
}

void ChartToolbar::setDefaultDirectory(std::function<QString()> directory) {
    defaultDirectory = std::move(directory);
}

void ChartToolbar::setLimitPercent(std::function<double()> limit) {
    limitPercent = std::move(limit);
}

void ChartToolbar::setRecordingLoader(RecordingLoader recordingLoader) {
    loader = std::move(recordingLoader);
}

void ChartToolbar::showFileText(const QString& text, const QString& toolTip) {
    const int room = fileLabelWidth - fileLabel->contentsMargins().left();
    fileLabel->setText(fileLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    fileLabel->setToolTip(toolTip);
}

QString ChartToolbar::askSavePath(const QString& suffix, const QStringList& filters) {
    OperatorDialogs::SaveFileRequest request;
    request.defaultSuffix = suffix;
    request.filters = filters;
    request.initialDirectory = !lastDirectory.isEmpty() ? lastDirectory
                               : defaultDirectory       ? defaultDirectory()
                                                        : QString();
    QString path = operatorDialogs().saveFileName(request);
    if (!path.isEmpty()) {
        lastDirectory = QFileInfo(path).absolutePath();
    }
    return path;
}

void ChartToolbar::askAndSaveImage() {
    const QString path =
        askSavePath(QStringLiteral("png"),
                    {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                     QStringLiteral("PDF document (*.pdf)")});
    QString error;
    if (!path.isEmpty() && !saveChartImage(*boundChart, path, &error)) {
        operatorDialogs().showMessage(
            QStringLiteral("The chart could not be saved to %1: %2").arg(path, error),
            failureCaption);
    }
}

void ChartToolbar::askAndExportCsv() {
    const QString path = askSavePath(QStringLiteral("csv"), {QStringLiteral("CSV file (*.csv)")});
    QString error;
    if (!path.isEmpty() && !exportChartCsv(*boundChart, path, &error)) {
        operatorDialogs().showMessage(
            QStringLiteral("The data could not be saved to %1: %2").arg(path, error),
            failureCaption);
    }
}

void ChartToolbar::askAndOpenRecording() {
    OperatorDialogs::OpenFileRequest request;
    request.filters =
        QStringList{QStringLiteral("Recording (*.csv)"), QStringLiteral("All files (*)")};
    request.initialDirectory = recordingsDirectory();
    const QString path = operatorDialogs().openFileName(request);
    if (path.isEmpty()) {
        return;
    }
    LoadedPoints loaded;
    loadWithProgress(path, window(), loader, loaded);
    const StreamedRecording& outcome = loaded.outcome;
    if (outcome.status == StreamedRecording::Status::Cancelled) {
        return;
    }
    if (outcome.status == StreamedRecording::Status::Refused) {
        operatorDialogs().showMessage(
            QStringLiteral("The recording could not be opened: %1").arg(outcome.message),
            openCaption);
        return;
    }
    showRecording(*boundChart, loaded.points, loaded.recording);
    readout->show(std::move(loaded.recording), limitPercent ? limitPercent() : 0.0);
    statistics->setEnabled(true);
    showFileText(QStringLiteral("Opened: ") + QFileInfo(path).fileName(), path);
    if (outcome.status == StreamedRecording::Status::Partial) {
        operatorDialogs().showMessage(
            QStringLiteral("Only part of the recording could be read: %1").arg(outcome.message),
            openCaption);
    }
}

void ChartToolbar::showPrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, window());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &ChartToolbar::printOn);
    preview.exec();
}

void ChartToolbar::printOn(QPrinter* printer) {
    QPainter painter(printer);
    if (painter.isActive()) {
        paintChartOnPage(*boundChart, painter, *printer);
    }
}
