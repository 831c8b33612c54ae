#include "plot/point_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct ColumnExtremes {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
};

int columnOf(double x, double first, double last, int columns) {
    if (x < first) {
        return -1;
    }
    if (x > last) {
        return columns;
    }
    return std::min(columns - 1, static_cast<int>((x - first) * (columns / (last - first))));
}

// Brute force: the smallest and largest y of every column inside [first, last].
std::vector<ColumnExtremes> extremesByColumn(const std::vector<StoredPoint>& points, double first,
                                             double last, int columns) {
    std::vector<ColumnExtremes> extremes(columns);
    for (const StoredPoint& p : points) {
        const int column = columnOf(p.x, first, last, columns);
        if (column >= 0 && column < columns) {
            extremes[column].min = std::min(extremes[column].min, p.y);
            extremes[column].max = std::max(extremes[column].max, p.y);
        }
    }
    return extremes;
}

// Checks the thinned-out series against the raw points: indices in order, every
// column's extremes kept, at most four points per column and visit.
void expectFaithfulDecimation(const PointStore& store, const std::vector<StoredPoint>& points,
                              double first, double last, int columns, int mostPerColumn = 4) {
    std::vector<std::size_t> drawn;
    store.decimate(first, last, columns, drawn);
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end()));
    EXPECT_EQ(std::adjacent_find(drawn.begin(), drawn.end()), drawn.end());

    std::vector<ColumnExtremes> kept(columns);
    std::vector<int> perColumn(columns, 0);
    for (const std::size_t index : drawn) {
        ASSERT_LT(index, points.size());
        const StoredPoint p = points[index];
        const int column = columnOf(p.x, first, last, columns);
        if (column >= 0 && column < columns) {
            kept[column].min = std::min(kept[column].min, p.y);
            kept[column].max = std::max(kept[column].max, p.y);
            ++perColumn[column];
        }
    }
    const std::vector<ColumnExtremes> expected = extremesByColumn(points, first, last, columns);
    for (int c = 0; c < columns; ++c) {
        EXPECT_EQ(kept[c].min, expected[c].min) << "column " << c;
        EXPECT_EQ(kept[c].max, expected[c].max) << "column " << c;
        EXPECT_LE(perColumn[c], mostPerColumn) << "column " << c;
    }
}

std::vector<StoredPoint> fill(PointStore& store, std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 50.0);
    std::vector<StoredPoint> points;
    double x = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        x += 150.0 + static_cast<double>(random() % 100);
        const double y = 500.0 * std::sin(static_cast<double>(i) / 700.0) + noise(random);
        store.append(x, y);
        points.push_back({x, y});
    }
    return points;
}

}  // namespace

TEST(PointStore, KeepsEveryPointExactlyAcrossBlocks) {
    PointStore store;
    const std::vector<StoredPoint> points = fill(store, 3 * PointStore::blockSize + 17, 1);
    ASSERT_EQ(store.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(store.at(i).x, points[i].x);
        EXPECT_EQ(store.at(i).y, points[i].y);
    }
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(), [](auto a, auto b) { return a.y < b.y; });
    ASSERT_TRUE(store.hasBounds());
    EXPECT_EQ(store.minY(), low->y);
    EXPECT_EQ(store.maxY(), high->y);
    EXPECT_EQ(store.minX(), points.front().x);
    EXPECT_EQ(store.maxX(), points.back().x);
}

TEST(PointStore, ClearRemovesAllPointsAndTheNextStartsAfresh) {
    PointStore store;
    fill(store, 1000, 2);
    store.clear();
    EXPECT_EQ(store.size(), 0u);
    EXPECT_FALSE(store.hasBounds());
    std::vector<std::size_t> drawn;
    store.decimate(0.0, 1000.0, 100, drawn);
    EXPECT_TRUE(drawn.empty());

    store.append(0.0, -3.5);
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.at(0).y, -3.5);
    EXPECT_EQ(store.minX(), 0.0);
    EXPECT_EQ(store.maxY(), -3.5);
}

TEST(PointStore, StaysUnderTwentyBytesPerPointAndGrowsInFixedSteps) {
    PointStore store;
    std::size_t reserved = store.reservedBytes();
    std::size_t largestStep = 0;
    for (std::size_t i = 0; i < 1'000'000; ++i) {
        store.append(static_cast<double>(i) * 200.0, static_cast<double>(i % 977));
        const std::size_t now = store.reservedBytes();
        largestStep = std::max(largestStep, now - reserved);
        reserved = now;
    }
    EXPECT_LE(static_cast<double>(reserved) / static_cast<double>(store.size()), 20.0);
    // A doubling array would have grown by megabytes in one step by now.
    EXPECT_LT(largestStep, 32u * 1024u);
}

TEST(PointStoreDecimation, KeepsEveryColumnsExtremesOverTheWholeRecording) {
    PointStore store;
    const std::vector<StoredPoint> points = fill(store, 200'000, 3);
    expectFaithfulDecimation(store, points, points.front().x, points.back().x, 640);
    std::vector<std::size_t> drawn;
    store.decimate(points.front().x, points.back().x, 640, drawn);
    EXPECT_LE(drawn.size(), 4u * 640u);
    EXPECT_GE(drawn.size(), 2u * 640u);
}

TEST(PointStoreDecimation, KeepsExtremesInAZoomedPartAndCarriesTheLineToTheEdges) {
    PointStore store;
    const std::vector<StoredPoint> points = fill(store, 50'000, 4);
    const double first = points[12'345].x + 10.0;
    const double last = points[31'000].x - 10.0;
    expectFaithfulDecimation(store, points, first, last, 333);

    std::vector<std::size_t> drawn;
    store.decimate(first, last, 333, drawn);
    // The last point left of the range and the first right of it join the line to the edges.
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 12'345u), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 31'000u), drawn.end());
}

TEST(PointStoreDecimation, GivesEveryPointWhenColumnsOutnumberPoints) {
    PointStore store;
    const std::vector<StoredPoint> points = fill(store, 300, 5);
    std::vector<std::size_t> drawn;
    store.decimate(points.front().x, points.back().x, 100'000, drawn);
    ASSERT_EQ(drawn.size(), points.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i], i);
    }
}

TEST(PointStoreDecimation, NeverLosesAOneSampleSpike) {
    PointStore store;
    const std::size_t count = 1'000'000;
    for (std::size_t i = 0; i < count; ++i) {
        double y = 1.0;
        if (i == 123'457) {
            y = 2000.0;
        } else if (i == 876'543) {
            y = -2000.0;
        }
        store.append(static_cast<double>(i) * 200.0, y);
    }
    std::vector<std::size_t> drawn;
    store.decimate(0.0, static_cast<double>(count - 1) * 200.0, 640, drawn);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 123'457u), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 876'543u), drawn.end());
}

TEST(PointStoreDecimation, FollowsPointsThatRunBackInTime) {
    PointStore store;
    std::vector<StoredPoint> points;
    // A recording whose clock jumped back halfway: both halves share the same x range.
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < 5000; ++i) {
            const double y = half == 0 ? i % 17 : -(i % 23);
            store.append(i * 10.0, y);
            points.push_back({i * 10.0, y});
        }
    }
    store.append(25'000.0, 999.0);
    points.push_back({25'000.0, 999.0});
    ASSERT_EQ(store.size(), points.size());
    EXPECT_EQ(store.at(5000).x, 0.0);
    // Each column is passed up to three times: four points per pass.
    expectFaithfulDecimation(store, points, 0.0, 49'990.0, 200, 12);
}

TEST(PointStoreDecimation, KeepsNonFinitePointsOutOfBoundsAndGivesBreaksInTheirPlace) {
    PointStore store;
    store.append(0.0, 1.0);
    store.append(10.0, std::numeric_limits<double>::quiet_NaN());
    store.append(20.0, std::numeric_limits<double>::infinity());
    store.append(25.0, 4.0);
    store.append(std::numeric_limits<double>::quiet_NaN(), 5.0);
    store.append(30.0, 3.0);
    ASSERT_EQ(store.size(), 6u);
    EXPECT_TRUE(std::isnan(store.at(1).y));
    EXPECT_EQ(store.maxY(), 4.0);
    std::vector<std::size_t> drawn;
    store.decimate(0.0, 30.0, 100, drawn);
    EXPECT_EQ(drawn, (std::vector<std::size_t>{0, 1, 2, 3, 5}));
    // A break inside one pixel column still splits the column's run in two.
    store.decimate(0.0, 30.0, 1, drawn);
    EXPECT_EQ(drawn, (std::vector<std::size_t>{0, 1, 2, 3, 5}));
}

TEST(PointStoreDecimation, GivesNothingForAnEmptyRangeOrNoColumns) {
    PointStore store;
    fill(store, 100, 6);
    std::vector<std::size_t> drawn{1, 2, 3};
    store.decimate(5.0, 5.0, 100, drawn);
    EXPECT_TRUE(drawn.empty());
    store.decimate(0.0, 1e9, 0, drawn);
    EXPECT_TRUE(drawn.empty());
    store.decimate(std::numeric_limits<double>::quiet_NaN(), 1e9, 100, drawn);
    EXPECT_TRUE(drawn.empty());
}
