#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "recording/recording_reader.h"
#include "recording/recording_stream.h"

namespace {

const QString fileName = QStringLiteral("fuzz.csv");

// Keeps the rows as the reader gives them; a row's texts live only as long as the load.
class PointSink : public RecordingSink {
public:
    std::size_t bytesPerRow() const override { return 0; }
    void row(const StreamedRow& row) override {
        rows.push_back({row.elapsedMs, row.value, *row.unit, row.overrange, row.gap});
    }
    std::vector<RecordedPoint> rows;
};

bool sameValue(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// Any bytes: the streaming loader reads exactly what the reader reads, with its messages.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer readerDevice(&bytes);
    readerDevice.open(QIODevice::ReadOnly);
    const LoadedRecording expected = readRecording(readerDevice, fileName);
    QBuffer streamDevice(&bytes);
    streamDevice.open(QIODevice::ReadOnly);
    PointSink sink;
    const StreamedRecording streamed = streamRecording(streamDevice, fileName, sink);

    check(static_cast<int>(streamed.status) == static_cast<int>(expected.status),
          "both end in the same way");
    check(streamed.message == expected.message, "both give the same message");
    check(streamed.header.otherKeys == expected.header.otherKeys &&
              streamed.header.start == expected.header.start,
          "both read the same header");
    check(sink.rows.size() == expected.points.size() && streamed.rows == sink.rows.size(),
          "both read the same number of rows");
    for (std::size_t i = 0; i < sink.rows.size(); ++i) {
        const RecordedPoint& row = sink.rows[i];
        const RecordedPoint& point = expected.points[i];
        check(row.elapsedMs == point.elapsedMs && sameValue(row.value, point.value) &&
                  row.unit == point.unit && row.overrange == point.overrange &&
                  row.gap == point.gap,
              "both read the same row");
    }
    return 0;
}
