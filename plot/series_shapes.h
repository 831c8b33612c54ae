#pragma once

#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <vector>

// What draws a thinned-out series whose points are already in pixels.
//
// Points that land in the same pixel column would be joined by segments that run up
// and down over the same pixels; they are drawn as one bar, one pixel wide, over the
// column's span instead, with lines joining the columns. Where neighbouring bars
// overlap, the part they share becomes one wide block, which paints row by row far
// faster than many thin bars; above and below it the bars keep what only they cover.
// This paints each pixel once and gives the same picture as the joined points.
//
// `pixelsPerUnit` is the painter's scale (1 on screen): columns and bar ends are
// snapped to the device's pixels, so on screen every block is whole pixels. Everything
// is cut to `clip`: points far outside would otherwise reach the painter as huge
// coordinates, which some paint engines draw wrongly and vector formats write out in
// full. A single point gives nothing.
struct SeriesShapes {
    std::vector<QLineF> joins;
    std::vector<QRectF> blocks;
};

void seriesShapes(const QPolygonF& points, double pixelsPerUnit, const QRectF& clip,
                  SeriesShapes& shapes);

// Cuts the line to the part inside `clip`; false when none of it is inside.
bool clipLine(QLineF& line, const QRectF& clip);
