#pragma once

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <vector>

#include "plot/axis_scale.h"
#include "plot/chart_content.h"
#include "plot/chart_range.h"

class QPainter;
class QPaintDevice;
class QPolygonF;

// One drawing of the chart: lays the chart out in an area and paints it. The screen,
// the image and document exports and the printout all draw through this.
class ChartRenderer {
public:
    // Lays the chart out in `area`. Fonts get the pixel sizes they have on `screen`,
    // so images, documents and printouts look like the chart on screen.
    ChartRenderer(const ChartContent& content, const ChartRange& range, const QRect& area,
                  const QPaintDevice* screen);

    const QRectF& plotArea() const { return plot; }
    QPointF toPixel(double time, double value) const;
    double timeAt(double x) const;
    double valueAt(double y) const;

    // Indices of the series points drawn in the plot: the thinned-out series with one
    // column per device pixel, where the device has pixelsPerUnit (at least 1) pixels
    // per unit.
    void drawnPoints(double pixelsPerUnit, std::vector<std::size_t>& indices) const;
    // The label box of a mark, in the area's pixels; empty when its point is not shown.
    QRectF markLabelRect(const DragMark& mark) const;
    QString markText(const DragMark& mark) const;

    void paint(QPainter& painter) const;

private:
    void layOut(const QRect& area);
    QString valueLabel(int index) const;
    QString timeLabel(int index) const;
    void paintTitles(QPainter& painter) const;
    void paintAxes(QPainter& painter) const;
    void paintSeries(QPainter& painter) const;
    // One unbroken part of the line, already in pixels.
    void paintLinePiece(QPainter& painter, const QPolygonF& line, double scale) const;
    void paintColorLine(QPainter& painter) const;
    void paintMarks(QPainter& painter) const;

    const ChartContent& content;
    const ChartRange range;
    QFont titleFont;
    QFont valueTitleFont;
    QFont timeTitleFont;
    QFont labelFont;
    QRectF bounds;
    QRectF titleRect;
    QRectF valueTitleRect;
    QRectF timeTitleRect;
    QRectF plot;
    AxisTicks valueTicks;
    AxisTicks timeTicks;
    double labelHeight = 0.0;
};
