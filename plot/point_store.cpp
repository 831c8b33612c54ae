#include "plot/point_store.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t stretchesPerBlock = PointStore::blockSize / PointStore::stretchSize;

bool isFinitePoint(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

bool isBreakPoint(double x, double y) {
    return std::isfinite(x) && !std::isfinite(y);
}

}  // namespace

struct PointStore::Block {
    double x[blockSize];
    double y[blockSize];
    // Positions inside the block of the smallest and largest y of each stretch.
    std::uint8_t stretchMinAt[stretchesPerBlock];
    std::uint8_t stretchMaxAt[stretchesPerBlock];
};

struct PointStore::Chunk {
    Summary summaries[blocksPerChunk];
    std::unique_ptr<Block> blocks[blocksPerChunk];
};

// Which pixel column an x falls into: -1 left of the range, `columns` right of it.
struct PointStore::ColumnScale {
    double first;
    double last;
    double perUnit;
    int columns;

    int of(double x) const {
        if (x < first) {
            return -1;
        }
        if (x > last) {
            return columns;
        }
        return std::min(columns - 1, static_cast<int>((x - first) * perUnit));
    }
};

// The points of one column run, collected until a point of another column arrives.
class PointStore::ColumnRun {
public:
    ColumnRun(int columns, std::vector<std::size_t>& out) : columns(columns), out(out) {}

    void add(int column, std::size_t firstAt, std::size_t lastAt, std::size_t lowAt, double low,
             std::size_t highAt, double high) {
        if (!open || column != current) {
            flush();
            open = true;
            current = column;
            first = firstAt;
            minAt = lowAt;
            minY = low;
            maxAt = highAt;
            maxY = high;
        } else {
            if (low < minY) {
                minY = low;
                minAt = lowAt;
            }
            if (high > maxY) {
                maxY = high;
                maxAt = highAt;
            }
        }
        last = lastAt;
    }

    void addPoint(int column, std::size_t at, double y) { add(column, at, at, at, y, at, y); }

    // The line ends before the break point and starts anew after it.
    void addBreak(std::size_t at) {
        flush();
        out.push_back(at);
    }

    void flush() {
        if (!open) {
            return;
        }
        open = false;
        if (current < 0 || current >= columns) {
            out.push_back(first);
            if (last != first) {
                out.push_back(last);
            }
            return;
        }
        const std::size_t picked[4] = {first, std::min(minAt, maxAt), std::max(minAt, maxAt), last};
        out.push_back(picked[0]);
        for (int i = 1; i < 4; ++i) {
            if (picked[i] != out.back()) {
                out.push_back(picked[i]);
            }
        }
    }

private:
    const int columns;
    std::vector<std::size_t>& out;
    bool open = false;
    int current = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t minAt = 0;
    std::size_t maxAt = 0;
    double minY = 0.0;
    double maxY = 0.0;
};

PointStore::PointStore() = default;
PointStore::~PointStore() = default;

void PointStore::append(double x, double y) {
    const std::size_t blockIndex = count / blockSize;
    if (count % blockSize == 0) {
        if (blockIndex % blocksPerChunk == 0) {
            chunks.push_back(std::make_unique<Chunk>());
        }
        // Default-initialised on purpose: every entry is written before it is read.
        chunks.back()->blocks[blockIndex % blocksPerChunk].reset(new Block);
    }
    Chunk& chunk = *chunks.back();
    Block& block = *chunk.blocks[blockIndex % blocksPerChunk];
    Summary& summary = chunk.summaries[blockIndex % blocksPerChunk];
    const std::uint16_t at = summary.used++;
    block.x[at] = x;
    block.y[at] = y;
    ++count;
    if (at > 0 && !(x >= block.x[at - 1])) {
        summary.ascending = false;
    }

    const std::size_t stretch = at / stretchSize;
    if (at % stretchSize == 0) {
        block.stretchMinAt[stretch] = block.stretchMaxAt[stretch] = static_cast<std::uint8_t>(at);
    } else if (std::isfinite(y)) {
        if (y < block.y[block.stretchMinAt[stretch]]) {
            block.stretchMinAt[stretch] = static_cast<std::uint8_t>(at);
        }
        if (y > block.y[block.stretchMaxAt[stretch]]) {
            block.stretchMaxAt[stretch] = static_cast<std::uint8_t>(at);
        }
    }

    if (!isFinitePoint(x, y)) {
        summary.allFinite = false;
        return;
    }
    if (!summary.hasFinite) {
        summary.hasFinite = true;
        summary.minX = summary.maxX = x;
        summary.minY = summary.maxY = y;
        summary.minAt = summary.maxAt = at;
    } else {
        summary.minX = std::min(summary.minX, x);
        summary.maxX = std::max(summary.maxX, x);
        if (y < summary.minY) {
            summary.minY = y;
            summary.minAt = at;
        }
        if (y > summary.maxY) {
            summary.maxY = y;
            summary.maxAt = at;
        }
    }
    if (!boundsValid) {
        boundsValid = true;
        lowX = highX = x;
        lowY = highY = y;
    } else {
        lowX = std::min(lowX, x);
        highX = std::max(highX, x);
        lowY = std::min(lowY, y);
        highY = std::max(highY, y);
    }
}

void PointStore::clear() {
    chunks.clear();
    chunks.shrink_to_fit();
    count = 0;
    boundsValid = false;
    lowX = highX = lowY = highY = 0.0;
}

void PointStore::swap(PointStore& other) noexcept {
    chunks.swap(other.chunks);
    std::swap(count, other.count);
    std::swap(boundsValid, other.boundsValid);
    std::swap(lowX, other.lowX);
    std::swap(highX, other.highX);
    std::swap(lowY, other.lowY);
    std::swap(highY, other.highY);
}

const PointStore::Summary& PointStore::summaryOf(std::size_t block) const {
    return chunks[block / blocksPerChunk]->summaries[block % blocksPerChunk];
}

const PointStore::Block& PointStore::blockAt(std::size_t block) const {
    return *chunks[block / blocksPerChunk]->blocks[block % blocksPerChunk];
}

StoredPoint PointStore::at(std::size_t index) const {
    const Block& block = blockAt(index / blockSize);
    const std::size_t at = index % blockSize;
    return {block.x[at], block.y[at]};
}

std::size_t PointStore::reservedBytes() const {
    return blockCount() * sizeof(Block) + chunks.size() * sizeof(Chunk) +
           chunks.capacity() * sizeof(chunks[0]);
}

void PointStore::decimate(double xFirst, double xLast, int columns,
                          std::vector<std::size_t>& out) const {
    out.clear();
    if (columns <= 0 || !std::isfinite(xFirst) || !std::isfinite(xLast) || !(xLast > xFirst)) {
        return;
    }
    const ColumnScale scale{xFirst, xLast, columns / (xLast - xFirst), columns};
    ColumnRun run(columns, out);
    const std::size_t blocks = blockCount();
    for (std::size_t b = 0; b < blocks; ++b) {
        const Summary& summary = summaryOf(b);
        const std::size_t base = b * blockSize;
        if (summary.allFinite) {
            const int column = scale.of(summary.minX);
            if (column == scale.of(summary.maxX)) {
                run.add(column, base, base + summary.used - 1, base + summary.minAt, summary.minY,
                        base + summary.maxAt, summary.maxY);
                continue;
            }
        }
        decimateBlock(b, scale, run);
    }
    run.flush();
}

// A block that spans several columns: by stretches where x rises (each stretch's x
// range is then its first and last x), point by point elsewhere.
void PointStore::decimateBlock(std::size_t b, const ColumnScale& scale, ColumnRun& run) const {
    const Summary& summary = summaryOf(b);
    const Block& block = blockAt(b);
    const std::size_t base = b * blockSize;
    const bool byStretch = summary.allFinite && summary.ascending;
    for (std::size_t from = 0; from < summary.used; from += stretchSize) {
        const std::size_t to = std::min<std::size_t>(summary.used, from + stretchSize) - 1;
        if (byStretch) {
            const int column = scale.of(block.x[from]);
            if (column == scale.of(block.x[to])) {
                const std::size_t lowAt = block.stretchMinAt[from / stretchSize];
                const std::size_t highAt = block.stretchMaxAt[from / stretchSize];
                run.add(column, base + from, base + to, base + lowAt, block.y[lowAt], base + highAt,
                        block.y[highAt]);
                continue;
            }
        }
        for (std::size_t i = from; i <= to; ++i) {
            if (isFinitePoint(block.x[i], block.y[i])) {
                run.addPoint(scale.of(block.x[i]), base + i, block.y[i]);
            } else if (isBreakPoint(block.x[i], block.y[i])) {
                run.addBreak(base + i);
            }
        }
    }
}
