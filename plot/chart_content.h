#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <cstddef>
#include <vector>

#include "plot/point_store.h"

// The value axis on the left. With automatic scaling it spans the values of the series;
// otherwise it spans minimum to maximum as set.
struct ValueAxisSettings {
    bool automatic = true;
    double minimum = 0.0;
    double maximum = 0.0;
    QString title;
};

// The time axis at the bottom; it always spans the x values of the series.
struct TimeAxisSettings {
    QString title;
    int titleFontSize = 12;    // points
    double increment = 200.0;  // smallest label spacing in ms; widened where labels would collide
};

// A horizontal line across the plot at one value of the value axis.
struct ColorLineTool {
    bool active = true;
    double value = 209.0;
    QColor color = QColor(0, 0, 255);
};

// A label bound to one point of the series, showing its time and value; the operator
// places it by double-clicking near the line and moves it by dragging the label.
struct DragMark {
    std::size_t pointIndex = 0;
    QPointF labelOffset;  // from the point to the label's top-left corner, in pixels
};

// Everything the chart draws: the one line series, the axes, the title and the tools.
struct ChartContent {
    PointStore series;
    QString title;
    ValueAxisSettings valueAxis;
    TimeAxisSettings timeAxis;
    ColorLineTool colorLine;
    std::vector<DragMark> marks;
};
