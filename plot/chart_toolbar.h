#pragma once

#include <QString>
#include <QToolBar>
#include <functional>

#include "plot/recording_loading.h"

class ChartWidget;
class QAction;
class QLabel;
class QPrinter;
class RecordingReadout;

// The operator's own commands for one chart: zoom and pan mode, reset zoom, save the
// chart as an image or document, export the recording as CSV, print preview, and open a
// recording file into the chart. File names are asked through the operator dialogs; a
// failed save or a damaged recording is reported there too. A recording is read while a
// progress dialog offers Cancel, which leaves the chart as it was. At its right end the toolbar
// names the recording file that the chart's points are in.
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
    QAction* openRecordingAction() const { return openRecording; }
    QAction* statisticsAction() const { return statistics; }
    QLabel* recordingFileLabel() const { return fileLabel; }
    RecordingReadout* recordingReadout() const { return readout; }

    // Opening a recording would replace the points of one still being recorded.
    void setRecordingRuns(bool runs);
    // The file the current recording goes to.
    void showRecordingFile(const QString& path);
    // The current recording cannot be saved to its file.
    void showRecordingProblem(const QString& reason);
    // Where the first save dialog opens, asked for when it opens.
    void setDefaultDirectory(std::function<QString()> directory);
    // The Limit setting (in % of a row's range) the statistics of an opened recording use,
    // asked for when a recording is opened.
    void setLimitPercent(std::function<double()> limit);
    // How a recording file is read; streamRecordingFile unless replaced.
    void setRecordingLoader(RecordingLoader loader);

private:
    void askAndSaveImage();
    void askAndExportCsv();
    void showPrintPreview();
    void askAndOpenRecording();
    void showFileText(const QString& text, const QString& toolTip);
    void printOn(QPrinter* printer);
    // The folder the save dialogs open in: the last one used, else the data directory.
    // Asks where to save, starting in the folder used last (or the data directory); empty
    // when cancelled.
    QString askSavePath(const QString& suffix, const QStringList& filters);

    ChartWidget* boundChart;
    QAction* zoomMode;
    QAction* panMode;
    QAction* resetZoom;
    QAction* saveImage;
    QAction* exportCsv;
    QAction* printPreview;
    QAction* openRecording;
    QAction* statistics;
    QLabel* fileLabel;
    QString lastDirectory;
    std::function<QString()> defaultDirectory;
    std::function<double()> limitPercent;
    RecordingLoader loader;
    RecordingReadout* readout;
};
