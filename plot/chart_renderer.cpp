#include "plot/chart_renderer.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "plot/series_shapes.h"
#include "ui/window_fonts.h"

namespace {

const QColor maroon(128, 0, 0);
const QColor seriesColor(255, 0, 0);
const QColor gridColor(215, 215, 215);
// Readings beyond the range are marked by short strokes at the plot's top or bottom edge.
const QColor overrangeColor(255, 140, 0);
constexpr double overrangeMarkLength = 8.0;
const QColor markFill(255, 255, 225);
constexpr double margin = 6.0;
constexpr double tickLength = 4.0;
constexpr double labelGap = 3.0;
constexpr double markPadding = 3.0;
// Many more columns than this add nothing on any printer and only cost time.
constexpr double mostColumns = 8000.0;

QFont pointSizedFont(int points, const QPaintDevice* screen) {
    const double pixelsPerPoint = screen ? screen->logicalDpiY() / 72.0 : 96.0 / 72.0;
    return windowFont(static_cast<int>(std::lround((points > 0 ? points : 12) * pixelsPerPoint)));
}

}  // namespace

ChartRenderer::ChartRenderer(const ChartContent& content, const ChartRange& range,
                             const QRect& area, const QPaintDevice* screen)
    : content(content),
      range(range),
      titleFont(windowFont(19)),
      valueTitleFont(windowFont(24, true)),
      timeTitleFont(pointSizedFont(content.timeAxis.titleFontSize, screen)),
      labelFont(windowFont(11)) {
    layOut(area);
}

void ChartRenderer::layOut(const QRect& area) {
    // Every font has a pixel size, so measuring needs no device.
    const QFontMetricsF labels(labelFont);
    labelHeight = labels.height();
    bounds = QRectF(area);

    double top = bounds.top() + margin;
    if (!content.title.isEmpty()) {
        const double height = QFontMetricsF(titleFont).height();
        titleRect = QRectF(bounds.left(), top, bounds.width(), height);
        top += height + labelGap;
    }
    top += labelHeight / 2.0;

    double bottom = bounds.bottom() - margin;
    if (!content.timeAxis.title.isEmpty()) {
        const double height = QFontMetricsF(timeTitleFont).height();
        bottom -= height;
        timeTitleRect = QRectF(bounds.left(), bottom, bounds.width(), height);
        bottom -= labelGap;
    }
    bottom -= labelHeight + tickLength + labelGap;
    bottom = std::max(bottom, top + 1.0);

    valueTicks = niceTicks(range.valueFrom, range.valueTo, bottom - top, 2.0 * labelHeight);
    double valueLabelWidth = 0.0;
    for (int i = 0; i < valueTicks.count; ++i) {
        valueLabelWidth = std::max(valueLabelWidth, labels.horizontalAdvance(valueLabel(i)));
    }
    double left = bounds.left() + margin;
    if (!content.valueAxis.title.isEmpty()) {
        const double height = QFontMetricsF(valueTitleFont).height();
        valueTitleRect = QRectF(left, top, height, bottom - top);
        left += height + labelGap;
    }
    left += valueLabelWidth + labelGap + tickLength;

    // Time labels get wider as the recording grows; measure the widest end, lay the
    // ticks out, and measure again with the step's decimals.
    auto widestTimeLabel = [&](int decimals) {
        const QLocale locale;
        return std::max(labels.horizontalAdvance(locale.toString(range.timeFrom, 'f', decimals)),
                        labels.horizontalAdvance(locale.toString(range.timeTo, 'f', decimals)));
    };
    double timeLabelWidth = widestTimeLabel(0);
    double right = std::max(left + 1.0, bounds.right() - margin - timeLabelWidth / 2.0);
    timeTicks = incrementTicks(range.timeFrom, range.timeTo, content.timeAxis.increment,
                               right - left, timeLabelWidth + 3.0 * labelGap);
    if (timeTicks.decimals > 0) {
        timeLabelWidth = widestTimeLabel(timeTicks.decimals);
        right = std::max(left + 1.0, bounds.right() - margin - timeLabelWidth / 2.0);
        timeTicks = incrementTicks(range.timeFrom, range.timeTo, content.timeAxis.increment,
                                   right - left, timeLabelWidth + 3.0 * labelGap);
    }
    plot = QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF ChartRenderer::toPixel(double time, double value) const {
    const double x =
        plot.left() + (time - range.timeFrom) / (range.timeTo - range.timeFrom) * plot.width();
    const double y = plot.bottom() -
                     (value - range.valueFrom) / (range.valueTo - range.valueFrom) * plot.height();
    return {x, y};
}

double ChartRenderer::timeAt(double x) const {
    return range.timeFrom + (x - plot.left()) / plot.width() * (range.timeTo - range.timeFrom);
}

double ChartRenderer::valueAt(double y) const {
    return range.valueFrom +
           (plot.bottom() - y) / plot.height() * (range.valueTo - range.valueFrom);
}

void ChartRenderer::drawnPoints(double pixelsPerUnit, std::vector<std::size_t>& indices) const {
    // The columns are the device's pixel columns exactly: a column that straddled two
    // pixels could leave one of them without its span and show a gap in the line.
    const double scale = pixelsPerUnit;
    const double left = std::floor(plot.left() * scale);
    const double right = std::ceil(plot.right() * scale);
    content.series.decimate(timeAt(left / scale), timeAt(right / scale),
                            static_cast<int>(right - left), indices);
}

QString ChartRenderer::valueLabel(int index) const {
    return QLocale().toString(valueTicks.at(index), 'f', valueTicks.decimals);
}

QString ChartRenderer::timeLabel(int index) const {
    return QLocale().toString(timeTicks.at(index), 'f', timeTicks.decimals);
}

QString ChartRenderer::markText(const DragMark& mark) const {
    if (mark.pointIndex >= content.series.size()) {
        return {};
    }
    const StoredPoint point = content.series.at(mark.pointIndex);
    const QLocale locale;
    QString value = locale.toString(point.y, 'g', 6);
    if (!content.valueAxis.title.isEmpty()) {
        value += QLatin1Char(' ') + content.valueAxis.title;
    }
    return locale.toString(point.x, 'g', 12) + QStringLiteral(" mSek\n") + value;
}

QRectF ChartRenderer::markLabelRect(const DragMark& mark) const {
    if (mark.pointIndex >= content.series.size()) {
        return {};
    }
    const StoredPoint point = content.series.at(mark.pointIndex);
    if (!(point.x >= range.timeFrom && point.x <= range.timeTo) || !std::isfinite(point.y)) {
        return {};
    }
    const QFontMetricsF metrics(labelFont);
    const QRectF text = metrics.boundingRect(QRectF(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop,
                                             markText(mark));
    const QPointF corner = toPixel(point.x, point.y) + mark.labelOffset;
    return QRectF(corner, text.size() + QSizeF(2 * markPadding, 2 * markPadding));
}

void ChartRenderer::paint(QPainter& painter) const {
    painter.save();
    painter.fillRect(bounds, Qt::white);
    paintTitles(painter);
    paintAxes(painter);
    painter.setClipRect(plot.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    paintSeries(painter);
    paintColorLine(painter);
    painter.restore();
    painter.save();
    paintMarks(painter);
    painter.restore();
}

void ChartRenderer::paintTitles(QPainter& painter) const {
    painter.setPen(maroon);
    if (!content.title.isEmpty()) {
        painter.setFont(titleFont);
        painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                         content.title);
    }
    if (!content.valueAxis.title.isEmpty()) {
        painter.save();
        painter.setFont(valueTitleFont);
        painter.translate(valueTitleRect.center());
        painter.rotate(-90.0);
        const QRectF turned(-valueTitleRect.height() / 2.0, -valueTitleRect.width() / 2.0,
                            valueTitleRect.height(), valueTitleRect.width());
        painter.drawText(turned, Qt::AlignCenter | Qt::TextSingleLine, content.valueAxis.title);
        painter.restore();
    }
    if (!content.timeAxis.title.isEmpty()) {
        painter.setPen(Qt::black);
        painter.setFont(timeTitleFont);
        const QRectF under(plot.left(), timeTitleRect.top(), plot.width(), timeTitleRect.height());
        painter.drawText(under, Qt::AlignCenter | Qt::TextSingleLine, content.timeAxis.title);
    }
}

void ChartRenderer::paintAxes(QPainter& painter) const {
    painter.setFont(labelFont);
    const QPen gridPen(gridColor, 1.0, Qt::DotLine);
    const QPen tickPen(Qt::black, 1.0);
    for (int i = 0; i < valueTicks.count; ++i) {
        const double y = toPixel(range.timeFrom, valueTicks.at(i)).y();
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(tickPen);
        painter.drawLine(QPointF(plot.left() - tickLength, y), QPointF(plot.left(), y));
        const QRectF label(bounds.left(), y - labelHeight / 2.0,
                           plot.left() - tickLength - labelGap - bounds.left(), labelHeight);
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, valueLabel(i));
    }
    for (int i = 0; i < timeTicks.count; ++i) {
        const double x = toPixel(timeTicks.at(i), range.valueFrom).x();
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(tickPen);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tickLength));
        const QRectF label(x - 200.0, plot.bottom() + tickLength + labelGap, 400.0, labelHeight);
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, timeLabel(i));
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

void ChartRenderer::paintSeries(QPainter& painter) const {
    // Finer columns where the painter scales up (printers), so the line stays as detailed.
    const double scale = std::max(1.0, std::min(std::fabs(painter.worldTransform().m11()),
                                                mostColumns / std::max(1.0, plot.width())));
    std::vector<std::size_t> indices;
    drawnPoints(scale, indices);
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(indices.size()));
    std::vector<QLineF> overrangeMarks;
    for (const std::size_t index : indices) {
        const StoredPoint point = content.series.at(index);
        if (std::isfinite(point.y)) {
            line.append(toPixel(point.x, point.y));
            continue;
        }
        paintLinePiece(painter, line, scale);
        line.clear();
        const double x = toPixel(point.x, 0.0).x();
        if (std::isinf(point.y) && x >= plot.left() && x <= plot.right() &&
            (overrangeMarks.empty() || x - overrangeMarks.back().x1() >= 1.0)) {
            const double edge = point.y > 0 ? plot.top() : plot.bottom();
            const double inward = point.y > 0 ? overrangeMarkLength : -overrangeMarkLength;
            overrangeMarks.emplace_back(x, edge, x, edge + inward);
        }
    }
    paintLinePiece(painter, line, scale);
    if (!overrangeMarks.empty()) {
        painter.setPen(QPen(overrangeColor, 2.0));
        painter.drawLines(overrangeMarks.data(), static_cast<int>(overrangeMarks.size()));
    }
}

void ChartRenderer::paintLinePiece(QPainter& painter, const QPolygonF& line, double scale) const {
    painter.setPen(QPen(seriesColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    if (line.size() == 1) {
        if (plot.contains(line.front())) {
            painter.drawPoint(line.front());
        }
        return;
    }
    SeriesShapes shapes;
    seriesShapes(line, scale, plot.adjusted(-1, -1, 1, 1), shapes);
    painter.drawLines(shapes.joins.data(), static_cast<int>(shapes.joins.size()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(seriesColor);
    if (painter.worldTransform().type() <= QTransform::TxTranslate) {
        // The blocks are whole pixels here; as such they take the painter's fast path.
        std::vector<QRect> pixelBlocks;
        pixelBlocks.reserve(shapes.blocks.size());
        for (const QRectF& block : shapes.blocks) {
            pixelBlocks.push_back(block.toRect());
        }
        painter.drawRects(pixelBlocks.data(), static_cast<int>(pixelBlocks.size()));
    } else {
        painter.drawRects(shapes.blocks.data(), static_cast<int>(shapes.blocks.size()));
    }
}

void ChartRenderer::paintColorLine(QPainter& painter) const {
    const ColorLineTool& tool = content.colorLine;
    if (!tool.active || tool.value < range.valueFrom || tool.value > range.valueTo) {
        return;
    }
    const double y = toPixel(range.timeFrom, tool.value).y();
    painter.setPen(QPen(tool.color, 1.0));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
}

void ChartRenderer::paintMarks(QPainter& painter) const {
    painter.setFont(labelFont);
    for (const DragMark& mark : content.marks) {
        const QRectF label = markLabelRect(mark);
        if (label.isEmpty()) {
            continue;
        }
        const StoredPoint point = content.series.at(mark.pointIndex);
        const QPointF anchor = toPixel(point.x, point.y);
        const QPointF nearest(std::clamp(anchor.x(), label.left(), label.right()),
                              std::clamp(anchor.y(), label.top(), label.bottom()));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(anchor, nearest);
        painter.setBrush(seriesColor);
        painter.drawEllipse(anchor, 3.0, 3.0);
        painter.setBrush(markFill);
        painter.drawRect(label);
        painter.drawText(label.adjusted(markPadding, markPadding, -markPadding, -markPadding),
                         Qt::AlignLeft | Qt::AlignTop, markText(mark));
    }
}
