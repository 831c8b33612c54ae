#include "plot/series_shapes.h"

#include <algorithm>
#include <cmath>

namespace {

// Liang–Barsky: narrows [enter, leave] to the part of the line on the inner side of
// one edge; false when nothing is left.
bool narrow(double denominator, double numerator, double& enter, double& leave) {
    if (denominator == 0.0) {
        return numerator >= 0.0;
    }
    const double t = numerator / denominator;
    if (denominator < 0.0) {
        if (t > leave) {
            return false;
        }
        enter = std::max(enter, t);
    } else {
        if (t < enter) {
            return false;
        }
        leave = std::min(leave, t);
    }
    return true;
}

void addClipped(QLineF line, const QRectF& clip, std::vector<QLineF>& lines) {
    if (clipLine(line, clip)) {
        lines.push_back(line);
    }
}

// One column's bar in device pixels: rows top up to, not including, bottom.
struct DeviceBar {
    double column;
    double top;
    double bottom;
};

// Bars per block at most: wide enough for rows of a fast fill, narrow enough that the
// shared part stays close to the bars' own spans.
constexpr std::size_t barsPerBlock = 32;

void addBlock(double left, double right, double top, double bottom, double scale,
              std::vector<QRectF>& blocks) {
    blocks.emplace_back(left / scale, top / scale, (right - left) / scale, (bottom - top) / scale);
}

void addBlocks(const std::vector<DeviceBar>& bars, double scale, std::vector<QRectF>& blocks) {
    std::size_t first = 0;
    while (first < bars.size()) {
        std::size_t last = first;
        double sharedTop = bars[first].top;
        double sharedBottom = bars[first].bottom;
        while (last + 1 < bars.size() && last + 1 - first < barsPerBlock &&
               bars[last + 1].column == bars[last].column + 1.0) {
            ++last;
            sharedTop = std::max(sharedTop, bars[last].top);
            sharedBottom = std::min(sharedBottom, bars[last].bottom);
        }
        if (last > first && sharedBottom > sharedTop) {
            addBlock(bars[first].column, bars[last].column + 1.0, sharedTop, sharedBottom, scale,
                     blocks);
            for (std::size_t i = first; i <= last; ++i) {
                const DeviceBar& bar = bars[i];
                if (bar.top < sharedTop) {
                    addBlock(bar.column, bar.column + 1.0, bar.top, sharedTop, scale, blocks);
                }
                if (bar.bottom > sharedBottom) {
                    addBlock(bar.column, bar.column + 1.0, sharedBottom, bar.bottom, scale, blocks);
                }
            }
        } else {
            for (std::size_t i = first; i <= last; ++i) {
                const DeviceBar& bar = bars[i];
                addBlock(bar.column, bar.column + 1.0, bar.top, bar.bottom, scale, blocks);
            }
        }
        first = last + 1;
    }
}

}  // namespace

bool clipLine(QLineF& line, const QRectF& clip) {
    const QPointF from = line.p1();
    const double dx = line.dx();
    const double dy = line.dy();
    double enter = 0.0;
    double leave = 1.0;
    if (!narrow(-dx, from.x() - clip.left(), enter, leave) ||
        !narrow(dx, clip.right() - from.x(), enter, leave) ||
        !narrow(-dy, from.y() - clip.top(), enter, leave) ||
        !narrow(dy, clip.bottom() - from.y(), enter, leave)) {
        return false;
    }
    line = QLineF(from.x() + enter * dx, from.y() + enter * dy, from.x() + leave * dx,
                  from.y() + leave * dy);
    return true;
}

void seriesShapes(const QPolygonF& points, double pixelsPerUnit, const QRectF& clip,
                  SeriesShapes& shapes) {
    shapes.joins.clear();
    shapes.blocks.clear();
    const double scale = pixelsPerUnit > 0.0 ? pixelsPerUnit : 1.0;
    std::vector<DeviceBar> bars;
    const qsizetype count = points.size();
    qsizetype first = 0;
    while (first < count) {
        const double column = std::floor(points[first].x() * scale);
        double top = points[first].y();
        double bottom = top;
        qsizetype last = first;
        while (last + 1 < count && std::floor(points[last + 1].x() * scale) == column) {
            ++last;
            top = std::min(top, points[last].y());
            bottom = std::max(bottom, points[last].y());
        }
        if (first > 0) {
            addClipped(QLineF(points[first - 1], points[first]), clip, shapes.joins);
        }
        const double x = points[first].x();
        top = std::max(top, clip.top());
        bottom = std::min(bottom, clip.bottom());
        if (bottom > top && x >= clip.left() && x <= clip.right()) {
            bars.push_back({column, std::floor(top * scale), std::floor(bottom * scale) + 1.0});
        }
        first = last + 1;
    }
    addBlocks(bars, scale, shapes.blocks);
}
