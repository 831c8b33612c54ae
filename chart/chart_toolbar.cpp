#include "chart/chart_toolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/main_form_data.h"
#include "app/operator_dialogs.h"
#include "chart/chart_export.h"
#include "chart/chart_widget.h"

namespace {

const QString failureCaption = QStringLiteral("Error");

}  // namespace

ChartToolbar::ChartToolbar(ChartWidget* chart, QWidget* parent)
    : QToolBar(parent), boundChart(chart) {
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
}

QString ChartToolbar::startDirectory() const {
    return lastDirectory.isEmpty() ? mainFormData().dataDirectory : lastDirectory;
}

void ChartToolbar::rememberDirectory(const QString& path) {
    lastDirectory = QFileInfo(path).absolutePath();
}

void ChartToolbar::askAndSaveImage() {
    OperatorDialogs::SaveFileRequest request;
    request.defaultSuffix = QStringLiteral("png");
    request.filters =
        QStringList{QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                    QStringLiteral("PDF document (*.pdf)")};
    request.initialDirectory = startDirectory();
    const QString path = operatorDialogs().saveFileName(request);
    if (path.isEmpty()) {
        return;
    }
    rememberDirectory(path);
    QString error;
    if (!saveChartImage(*boundChart, path, &error)) {
        operatorDialogs().showMessage(
            QStringLiteral("The chart could not be saved to %1: %2").arg(path, error),
            failureCaption);
    }
}

void ChartToolbar::askAndExportCsv() {
    OperatorDialogs::SaveFileRequest request;
    request.defaultSuffix = QStringLiteral("csv");
    request.filters = QStringList{QStringLiteral("CSV file (*.csv)")};
    request.initialDirectory = startDirectory();
    const QString path = operatorDialogs().saveFileName(request);
    if (path.isEmpty()) {
        return;
    }
    rememberDirectory(path);
    QString error;
    if (!exportChartCsv(*boundChart, path, &error)) {
        operatorDialogs().showMessage(
            QStringLiteral("The data could not be saved to %1: %2").arg(path, error),
            failureCaption);
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
