#pragma once

#include <QString>
#include <QToolBar>

class ChartWidget;
class QAction;
class QPrinter;

// The operator's own commands for one chart: zoom and pan mode, reset zoom, save the
// chart as an image or document, export the recording as CSV, print preview. File
// names are asked through the operator dialogs; a failed save is reported there too.
class ChartToolbar : public QToolBar {
    Q_OBJECT

public:
    explicit ChartToolbar(ChartWidget* chart, QWidget* parent = nullptr);

    ChartWidget* chart() const { return boundChart; }
    QAction* zoomModeAction() const { return zoomMode; }
    QAction* panModeAction() const { return panMode; }
    QAction* resetZoomAction() const { return resetZoom; }
    QAction* saveImageAction() const { return saveImage; }
    QAction* exportCsvAction() const { return exportCsv; }
    QAction* printPreviewAction() const { return printPreview; }

private:
    void askAndSaveImage();
    void askAndExportCsv();
    void showPrintPreview();
    void printOn(QPrinter* printer);
    // The folder the save dialogs open in: the last one used, else the data directory.
    QString startDirectory() const;
    void rememberDirectory(const QString& path);

    ChartWidget* boundChart;
    QAction* zoomMode;
    QAction* panMode;
    QAction* resetZoom;
    QAction* saveImage;
    QAction* exportCsv;
    QAction* printPreview;
    QString lastDirectory;
};
