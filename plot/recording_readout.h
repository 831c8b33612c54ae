#pragma once

#include <QObject>
#include <QTimer>
#include <cstddef>

#include "plot/opened_recording.h"

class ChartWidget;
class QLabel;

// What the chart window says about an opened recording: a reading cursor that follows the
// pointer over the plot with the nearest point's time, value and unit, and a box of
// statistics over the rows shown and over the whole recording, kept up to date as the view
// is zoomed or moved.
class RecordingReadout : public QObject {
    Q_OBJECT

public:
    explicit RecordingReadout(ChartWidget* chart);

    // The chart now shows `recording`; excursions count from limitPercent of the range.
    void show(OpenedRecording opened, double limitPercent);
    // The chart no longer shows an opened recording.
    void hide();
    bool shown() const { return showing; }
    // Whether the box of statistics is wanted over the plot while a recording is shown.
    void setStatisticsWanted(bool wanted);

    const RecordingStatistics& shownStatistics() const { return shownPart; }
    const RecordingStatistics& wholeStatistics() const { return whole; }
    QLabel* statisticsLabel() const { return statisticsBox; }
    QLabel* cursorLabel() const { return cursor; }

private:
    void followPointer(const QPointF& position);
    void hideCursor();
    void updateShownStatistics();
    void showStatisticsText();
    QString momentText(qint64 elapsedMs) const;

    ChartWidget* chart;
    QLabel* statisticsBox;
    QLabel* cursor;
    QLabel* cursorDot;  // on the point the cursor names
    QTimer viewSettled;
    OpenedRecording recording;
    double limit = 0.0;
    bool showing = false;
    bool statisticsWanted = true;
    RecordingStatistics whole;
    RecordingStatistics shownPart;
};
