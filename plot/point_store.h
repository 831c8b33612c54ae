#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One recorded point: x is the elapsed time in ms, y the value.
struct StoredPoint {
    double x = 0.0;
    double y = 0.0;
};

// Every point of a recording, kept for as long as the recording runs.
//
// Points live in fixed-size blocks of 256 that are allocated one at a time. Each block
// has a summary (x range, y range and where its smallest and largest y are), and each
// stretch of 32 points inside a block knows where its own extremes are; both are
// updated as points arrive. Drawing reads a summary instead of the points wherever a
// block or a stretch falls inside one pixel column. The summaries of 256 blocks sit
// side by side in one chunk, so walking them touches a few cache lines, not one page
// per block. The store thus grows in fixed steps and never copies what it holds; only
// the table of chunks (8 bytes per 65536 points) is a growing array.
//
// Points stay in the order they were added. The chart window adds them with rising
// x, but a point with a smaller x is kept too: the line then runs back, and the
// decimation below stays correct because it follows the order of the points.
// Points with a non-finite coordinate are kept but take no part in bounds. One with a
// finite x and a non-finite y breaks the line there: decimation hands it on, so the
// drawing can end the line before it and start anew after it (an infinite y stands for
// a reading beyond the range, which the drawing marks at the plot's edge).
class PointStore {
public:
    static constexpr std::size_t blockSize = 256;
    static constexpr std::size_t stretchSize = 32;
    static constexpr std::size_t blocksPerChunk = 256;

    PointStore();
    ~PointStore();
    PointStore(const PointStore&) = delete;
    PointStore& operator=(const PointStore&) = delete;

    void append(double x, double y);
    void clear();
    // Exchanges the points with `other`, so points read elsewhere replace these at once.
    void swap(PointStore& other) noexcept;

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    StoredPoint at(std::size_t index) const;

    // Bounds over all finite points; only meaningful when hasBounds() is true.
    bool hasBounds() const { return boundsValid; }
    double minX() const { return lowX; }
    double maxX() const { return highX; }
    double minY() const { return lowY; }
    double maxY() const { return highY; }

    // Bytes held for points and their summaries, including the unused rest of the
    // last block and chunk and the table of chunks.
    std::size_t reservedBytes() const;

    // Indices of the points to draw for the x range [xFirst, xLast] spread over
    // `columns` pixel columns, in the order of the points. Of each run of points that
    // falls into one column it gives the first, the minimum, the maximum and the last,
    // so no extreme is lost; of each run left or right of the range only the first and
    // the last, which carry the line to the edge. Every break point (see above) inside or
    // beside the range is given too, in its place. Gives nothing for an empty range.
    void decimate(double xFirst, double xLast, int columns, std::vector<std::size_t>& out) const;

private:
    struct Block;
    // Over the block's finite points.
    struct Summary {
        double minX = 0.0;
        double maxX = 0.0;
        double minY = 0.0;
        double maxY = 0.0;
        std::uint16_t used = 0;
        std::uint16_t minAt = 0;  // position of the smallest y inside the block
        std::uint16_t maxAt = 0;  // position of the largest y inside the block
        bool hasFinite = false;
        bool allFinite = true;
        bool ascending = true;  // x never falls inside the block
    };
    struct ColumnScale;
    class ColumnRun;

    void decimateBlock(std::size_t block, const ColumnScale& scale, ColumnRun& run) const;

    struct Chunk;

    const Summary& summaryOf(std::size_t block) const;
    const Block& blockAt(std::size_t block) const;
    std::size_t blockCount() const { return (count + blockSize - 1) / blockSize; }

    std::vector<std::unique_ptr<Chunk>> chunks;
    std::size_t count = 0;
    bool boundsValid = false;
    double lowX = 0.0;
    double highX = 0.0;
    double lowY = 0.0;
    double highY = 0.0;
};
