#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <optional>

#include "plot/chart_content.h"
#include "plot/chart_range.h"

class ChartRenderer;

// The chart the chart window records on, drawn flat: one red line series (1 pixel,
// no point symbols) over a time axis (ms) and a value axis, a one-line maroon title,
// a horizontal colour line at 209 and marks the operator can drag. The legend would
// list no entry for the series, so none is drawn. The series keeps every point;
// drawing thins it out per pixel column, so a repaint costs about the same after a
// week of recording as after a minute.
//
// Mouse: a left drag on the plot zooms into the dragged rectangle (a drag to the left
// resets the zoom; in pan mode the left drag pans), a right drag pans, the wheel zooms
// the time axis around the cursor (with Ctrl the value axis). A double click near the
// line places a mark on the nearest drawn point, a double click on a mark removes it;
// marks are moved by dragging their label. Zooming or panning holds the view still
// while points arrive, until the zoom is reset.
class ChartWidget : public QWidget {
    Q_OBJECT

public:
    enum class DragMode { Zoom, Pan };

    explicit ChartWidget(QWidget* parent = nullptr);
    ~ChartWidget() override;

    // The line series. Every point is drawn in the series colour, so the label and
    // colour value the window adds each point with are not kept.
    void clearSeries();
    void addPoint(double x, double y);
    // Shows `points` in place of the series, whose points `points` then holds; drops the
    // marks, which belonged to the old points.
    void takeSeries(PointStore& points);
    std::size_t pointCount() const { return content.series.size(); }
    StoredPoint pointAt(std::size_t index) const { return content.series.at(index); }
    const PointStore& points() const { return content.series; }

    // The value axis. The bounds are used as set while automatic scaling is off; a
    // minimum above the maximum is drawn as if swapped, equal bounds around the value.
    void setValueAxisAutomatic(bool automatic);
    bool valueAxisAutomatic() const { return content.valueAxis.automatic; }
    void setValueAxisMinimum(double minimum);
    void setValueAxisMaximum(double maximum);
    double valueAxisMinimum() const { return content.valueAxis.minimum; }
    double valueAxisMaximum() const { return content.valueAxis.maximum; }
    void setValueAxisTitle(const QString& title);
    QString valueAxisTitle() const { return content.valueAxis.title; }

    // The time axis: it spans the recorded times; labels sit on multiples of the increment.
    void setTimeAxisTitle(const QString& title);
    QString timeAxisTitle() const { return content.timeAxis.title; }
    void setTimeAxisTitleFontSize(int points);
    int timeAxisTitleFontSize() const { return content.timeAxis.titleFontSize; }
    void setTimeAxisIncrement(double milliseconds);
    double timeAxisIncrement() const { return content.timeAxis.increment; }

    // One line; a new title replaces the old one.
    void setTitle(const QString& title);
    QString title() const { return content.title; }

    const ColorLineTool& colorLineTool() const { return content.colorLine; }
    void setColorLineTool(const ColorLineTool& tool);

    const std::vector<DragMark>& marks() const { return content.marks; }
    // Places a mark on a point; false when there is no such point.
    bool addMark(std::size_t pointIndex);
    void removeMark(std::size_t markIndex);
    void moveMark(std::size_t markIndex, const QPointF& labelOffset);
    // The label box of a mark in widget pixels; empty when its point is not in view.
    QRectF markLabelRect(std::size_t markIndex) const;

    // The view: what the plot shows now, zoomed or not.
    ChartRange visibleRange() const;
    bool isZoomed() const { return zoomedRange.has_value(); }
    // Shows the range if it is usable (see isUsableRange); returns whether it did.
    bool zoomTo(const ChartRange& range);
    void zoomTime(double factor, double centre);
    void zoomValue(double factor, double centre);
    void panBy(double timeDelta, double valueDelta);
    void resetZoom();
    void setDragMode(DragMode mode) { dragMode = mode; }
    DragMode currentDragMode() const { return dragMode; }

    // The drawn point nearest in time to a position in the plot (nearest in value among
    // equally near), in widget pixels; nothing outside the plot or when none is drawn.
    std::optional<std::size_t> pointUnder(const QPointF& position) const;
    QPointF pixelOf(const StoredPoint& point) const;

    // The plot inside the widget, in widget pixels.
    QRectF plotArea() const;
    // Draws the chart as shown into `area` of any painter (images, documents, printers).
    void paintChart(QPainter& painter, const QRect& area) const;
    const ChartContent& chartContent() const { return content; }

signals:
    void zoomChanged(bool zoomed);
    // What the plot shows changed: zoomed, moved or other points.
    void viewChanged();
    // The pointer moved over the widget without a button held, or left it.
    void pointerMoved(const QPointF& position);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Gesture { None, RubberBand, Pan, MoveMark };

    ChartRenderer layout() const;
    void setZoomedRange(const std::optional<ChartRange>& range);
    std::optional<std::size_t> markAt(const QPointF& position) const;
    std::optional<std::size_t> nearestDrawnPoint(const QPointF& position) const;

    ChartContent content;
    std::optional<ChartRange> zoomedRange;
    DragMode dragMode = DragMode::Zoom;
    Gesture gesture = Gesture::None;
    QPoint gestureStart;
    QPoint gestureLast;
    std::size_t movedMark = 0;
    QPointF movedMarkOffset;
};
