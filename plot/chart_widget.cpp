#include "plot/chart_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

#include "plot/chart_renderer.h"

namespace {

// A drag shorter than this is a click, not a zoom rectangle.
constexpr int smallestBand = 4;
// Wheel zoom per notch.
constexpr double wheelStep = 0.8;
// A double click farther than this from the line places no mark.
constexpr double markReach = 30.0;
const QPointF defaultMarkOffset(10.0, -40.0);

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Pointing at the chart, without a button, reports what is pointed at.
    setMouseTracking(true);
}

ChartWidget::~ChartWidget() = default;

void ChartWidget::clearSeries() {
    content.series.clear();
    content.marks.clear();
    update();
}

void ChartWidget::takeSeries(PointStore& points) {
    content.series.swap(points);
    content.marks.clear();
    update();
    emit viewChanged();
}

void ChartWidget::addPoint(double x, double y) {
    content.series.append(x, y);
    update();
}

void ChartWidget::setValueAxisAutomatic(bool automatic) {
    content.valueAxis.automatic = automatic;
    update();
}

void ChartWidget::setValueAxisMinimum(double minimum) {
    content.valueAxis.minimum = minimum;
    update();
}

void ChartWidget::setValueAxisMaximum(double maximum) {
    content.valueAxis.maximum = maximum;
    update();
}

void ChartWidget::setValueAxisTitle(const QString& title) {
    content.valueAxis.title = title;
    update();
}

void ChartWidget::setTimeAxisTitle(const QString& title) {
    content.timeAxis.title = title;
    update();
}

void ChartWidget::setTimeAxisTitleFontSize(int points) {
    content.timeAxis.titleFontSize = points;
    update();
}

void ChartWidget::setTimeAxisIncrement(double milliseconds) {
    content.timeAxis.increment = milliseconds;
    update();
}

void ChartWidget::setTitle(const QString& title) {
    content.title = title;
    update();
}

void ChartWidget::setColorLineTool(const ColorLineTool& tool) {
    content.colorLine = tool;
    update();
}

bool ChartWidget::addMark(std::size_t pointIndex) {
    if (pointIndex >= content.series.size()) {
        return false;
    }
    content.marks.push_back(DragMark{pointIndex, defaultMarkOffset});
    update();
    return true;
}

void ChartWidget::removeMark(std::size_t markIndex) {
    if (markIndex < content.marks.size()) {
        content.marks.erase(content.marks.begin() + static_cast<std::ptrdiff_t>(markIndex));
        update();
    }
}

void ChartWidget::moveMark(std::size_t markIndex, const QPointF& labelOffset) {
    if (markIndex < content.marks.size()) {
        content.marks[markIndex].labelOffset = labelOffset;
        update();
    }
}

QRectF ChartWidget::markLabelRect(std::size_t markIndex) const {
    if (markIndex >= content.marks.size()) {
        return {};
    }
    return layout().markLabelRect(content.marks[markIndex]);
}

ChartRange ChartWidget::visibleRange() const {
    return zoomedRange ? *zoomedRange : automaticRange(content);
}

bool ChartWidget::zoomTo(const ChartRange& range) {
    if (!isUsableRange(range)) {
        return false;
    }
    setZoomedRange(range);
    return true;
}

void ChartWidget::zoomTime(double factor, double centre) {
    zoomTo(zoomedTime(visibleRange(), factor, centre));
}

void ChartWidget::zoomValue(double factor, double centre) {
    zoomTo(zoomedValue(visibleRange(), factor, centre));
}

void ChartWidget::panBy(double timeDelta, double valueDelta) {
    ChartRange range = visibleRange();
    range.timeFrom += timeDelta;
    range.timeTo += timeDelta;
    range.valueFrom += valueDelta;
    range.valueTo += valueDelta;
    zoomTo(range);
}

void ChartWidget::resetZoom() {
    setZoomedRange(std::nullopt);
}

void ChartWidget::setZoomedRange(const std::optional<ChartRange>& range) {
    const bool wasZoomed = isZoomed();
    zoomedRange = range;
    update();
    emit viewChanged();
    if (wasZoomed != isZoomed()) {
        emit zoomChanged(isZoomed());
    }
}

QRectF ChartWidget::plotArea() const {
    return layout().plotArea();
}

ChartRenderer ChartWidget::layout() const {
    return ChartRenderer(content, visibleRange(), rect(), this);
}

void ChartWidget::paintChart(QPainter& painter, const QRect& area) const {
    ChartRenderer(content, visibleRange(), area, this).paint(painter);
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintChart(painter, rect());
    if (gesture == Gesture::RubberBand) {
        painter.setPen(QPen(Qt::black, 1.0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(gestureStart, gestureLast).normalized());
    }
}

std::optional<std::size_t> ChartWidget::markAt(const QPointF& position) const {
    const ChartRenderer renderer = layout();
    // The last mark is drawn on top, so it is the one hit.
    for (std::size_t i = content.marks.size(); i-- > 0;) {
        if (renderer.markLabelRect(content.marks[i]).contains(position)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> ChartWidget::nearestDrawnPoint(const QPointF& position) const {
    const ChartRenderer renderer = layout();
    std::vector<std::size_t> drawn;
    renderer.drawnPoints(1.0, drawn);
    std::optional<std::size_t> nearest;
    double nearestDistance = markReach;
    for (const std::size_t index : drawn) {
        const StoredPoint point = content.series.at(index);
        const QPointF pixel = renderer.toPixel(point.x, point.y);
        if (!renderer.plotArea().contains(pixel)) {
            continue;
        }
        const double distance = std::hypot(pixel.x() - position.x(), pixel.y() - position.y());
        if (distance <= nearestDistance) {
            nearestDistance = distance;
            nearest = index;
        }
    }
    return nearest;
}

std::optional<std::size_t> ChartWidget::pointUnder(const QPointF& position) const {
    const ChartRenderer renderer = layout();
    if (!renderer.plotArea().contains(position)) {
        return std::nullopt;
    }
    std::vector<std::size_t> drawn;
    renderer.drawnPoints(1.0, drawn);
    std::optional<std::size_t> nearest;
    double nearestColumns = 0.0;
    double nearestRows = 0.0;
    for (const std::size_t index : drawn) {
        const StoredPoint point = content.series.at(index);
        const QPointF pixel = renderer.toPixel(point.x, point.y);
        if (!std::isfinite(point.x) || !std::isfinite(point.y) ||
            !renderer.plotArea().contains(pixel)) {
            continue;
        }
        const double columns = std::round(std::fabs(pixel.x() - position.x()));
        const double rows = std::fabs(pixel.y() - position.y());
        if (!nearest || columns < nearestColumns ||
            (columns == nearestColumns && rows < nearestRows)) {
            nearest = index;
            nearestColumns = columns;
            nearestRows = rows;
        }
    }
    return nearest;
}

QPointF ChartWidget::pixelOf(const StoredPoint& point) const {
    return layout().toPixel(point.x, point.y);
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    gestureStart = gestureLast = position;
    gesture = Gesture::None;
    if (event->button() == Qt::LeftButton) {
        if (const auto mark = markAt(position)) {
            gesture = Gesture::MoveMark;
            movedMark = *mark;
            movedMarkOffset = content.marks[*mark].labelOffset;
        } else if (plotArea().contains(position)) {
            gesture = dragMode == DragMode::Zoom ? Gesture::RubberBand : Gesture::Pan;
        }
    } else if (event->button() == Qt::RightButton && plotArea().contains(position)) {
        gesture = Gesture::Pan;
    }
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    switch (gesture) {
        case Gesture::RubberBand:
            gestureLast = position;
            update();
            break;
        case Gesture::Pan: {
            const QRectF plot = plotArea();
            const ChartRange range = visibleRange();
            const QPoint moved = position - gestureLast;
            gestureLast = position;
            panBy(-moved.x() / plot.width() * (range.timeTo - range.timeFrom),
                  moved.y() / plot.height() * (range.valueTo - range.valueFrom));
            break;
        }
        case Gesture::MoveMark:
            moveMark(movedMark, movedMarkOffset + QPointF(position - gestureStart));
            break;
        case Gesture::None:
            emit pointerMoved(event->position());
            break;
    }
}

void ChartWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit pointerLeft();
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const Gesture ended = gesture;
    gesture = Gesture::None;
    if (ended != Gesture::RubberBand) {
        return;
    }
    const QPoint end = event->position().toPoint();
    update();
    if (std::abs(end.x() - gestureStart.x()) < smallestBand ||
        std::abs(end.y() - gestureStart.y()) < smallestBand) {
        return;
    }
    if (end.x() < gestureStart.x()) {
        resetZoom();
        return;
    }
    const ChartRenderer renderer = layout();
    const QRectF band = QRectF(QPointF(gestureStart), QPointF(end)).normalized();
    ChartRange range;
    range.timeFrom = renderer.timeAt(band.left());
    range.timeTo = renderer.timeAt(band.right());
    range.valueFrom = renderer.valueAt(band.bottom());
    range.valueTo = renderer.valueAt(band.top());
    zoomTo(range);
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    gesture = Gesture::None;
    const QPointF position = event->position();
    if (const auto mark = markAt(position)) {
        removeMark(*mark);
    } else if (const auto point = nearestDrawnPoint(position)) {
        addMark(*point);
    }
}

void ChartWidget::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y();
    const ChartRenderer renderer = layout();
    const QPointF position = event->position();
    if (notches == 0 || !renderer.plotArea().contains(position)) {
        event->ignore();
        return;
    }
    const double factor = std::pow(wheelStep, notches / 120.0);
    if (event->modifiers() & Qt::ControlModifier) {
        zoomValue(factor, renderer.valueAt(position.y()));
    } else {
        zoomTime(factor, renderer.timeAt(position.x()));
    }
    event->accept();
}
