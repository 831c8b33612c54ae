#include "plot/series_shapes.h"

#include <gtest/gtest.h>

namespace {

// Whether the shapes cover the pixel centred at (x + 0.5, y + 0.5).
bool covers(const SeriesShapes& shapes, int x, int y) {
    const QPointF centre(x + 0.5, y + 0.5);
    for (const QRectF& block : shapes.blocks) {
        if (block.contains(centre)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(ClipLine, KeepsInsidePartsAndDropsLinesThatMissTheRect) {
    const QRectF clip(0, 0, 100, 100);
    QLineF inside(10, 10, 90, 50);
    ASSERT_TRUE(clipLine(inside, clip));
    EXPECT_EQ(inside, QLineF(10, 10, 90, 50));

    QLineF across(-1e12, 50, 1e12, 50);
    ASSERT_TRUE(clipLine(across, clip));
    EXPECT_DOUBLE_EQ(across.x1(), 0.0);
    EXPECT_DOUBLE_EQ(across.x2(), 100.0);
    EXPECT_DOUBLE_EQ(across.y1(), 50.0);

    QLineF diagonal(-50, -50, 50, 50);
    ASSERT_TRUE(clipLine(diagonal, clip));
    EXPECT_NEAR(diagonal.x1(), 0.0, 1e-9);
    EXPECT_NEAR(diagonal.y1(), 0.0, 1e-9);

    QLineF above(-10, -5, 200, -1);
    EXPECT_FALSE(clipLine(above, clip));
}

TEST(SeriesShapes, DrawsPointsOfOnePixelColumnAsOneBarOverTheirSpan) {
    // Four points in column 10 spanning rows 20 to 80, then one in column 11.
    const QPolygonF points{{10.2, 50}, {10.4, 20}, {10.6, 80}, {10.8, 60}, {11.5, 55}};
    SeriesShapes shapes;
    seriesShapes(points, 1.0, QRectF(0, 0, 200, 200), shapes);
    for (int y = 20; y <= 80; ++y) {
        EXPECT_TRUE(covers(shapes, 10, y)) << y;
    }
    EXPECT_FALSE(covers(shapes, 10, 19));
    EXPECT_FALSE(covers(shapes, 10, 81));
    ASSERT_EQ(shapes.joins.size(), 1u);
    EXPECT_EQ(shapes.joins[0], QLineF(10.8, 60, 11.5, 55));
}

TEST(SeriesShapes, MergesWhatNeighbouringBarsShareAndStillCoversEachBar) {
    QPolygonF points;
    for (int column = 0; column < 50; ++column) {
        const double top = 100 - column % 7;
        const double bottom = 300 + column % 5;
        points << QPointF(column + 0.1, top) << QPointF(column + 0.9, bottom);
    }
    SeriesShapes shapes;
    seriesShapes(points, 1.0, QRectF(-1, -1, 500, 500), shapes);
    EXPECT_LT(shapes.blocks.size(), 50u * 2u);
    for (int column = 0; column < 50; ++column) {
        const int top = 100 - column % 7;
        const int bottom = 300 + column % 5;
        EXPECT_TRUE(covers(shapes, column, top)) << column;
        EXPECT_TRUE(covers(shapes, column, bottom)) << column;
        EXPECT_TRUE(covers(shapes, column, 200)) << column;
        EXPECT_FALSE(covers(shapes, column, top - 1)) << column;
        EXPECT_FALSE(covers(shapes, column, bottom + 1)) << column;
    }
}

TEST(SeriesShapes, UsesTheDevicesFinerColumnsWhenThePainterScalesUp) {
    // At 4 device pixels per unit these two points lie in different columns.
    const QPolygonF points{{10.0, 0}, {10.3, 40}};
    SeriesShapes shapes;
    seriesShapes(points, 4.0, QRectF(0, 0, 100, 100), shapes);
    EXPECT_TRUE(shapes.blocks.empty());
    EXPECT_EQ(shapes.joins.size(), 1u);
    seriesShapes(points, 1.0, QRectF(0, 0, 100, 100), shapes);
    EXPECT_EQ(shapes.blocks.size(), 1u);
    EXPECT_TRUE(shapes.joins.empty());
}
