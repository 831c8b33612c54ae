#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "tests/support/kept_recording.h"

namespace {

const QString fileName = QStringLiteral("fuzz.csv");

// A file whose reads come in short pieces, as from a network file system: the loader's lines
// then end, and run past the line limit, at every place of its blocks.
class TricklingDevice : public QIODevice {
public:
    TricklingDevice(const QByteArray& bytes, qint64 piece) : bytes(bytes), piece(piece) {
        open(ReadOnly | Unbuffered);
    }
    qint64 size() const override { return bytes.size(); }

protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 n = std::min({size, piece, bytes.size() - pos()});
        std::memcpy(data, bytes.constData() + pos(), static_cast<std::size_t>(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& bytes;
    qint64 piece;
};

bool sameValue(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// Input: two bytes that give the size of the pieces, then the file's bytes. The loader reads
// the same, with the same message, whatever pieces the file comes in.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const qint64 piece = 1 + data[0] + 256 * (data[1] % 2);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2),
                           static_cast<qsizetype>(size - 2));
    const KeptRecording whole = readAllRows(bytes, fileName);
    TricklingDevice device(bytes, piece);
    KeepingSink sink;
    const KeptRecording pieces = kept(streamRecording(device, fileName, sink), sink);

    check(pieces.status == whole.status && pieces.cutOff == whole.cutOff,
          "both end in the same way");
    check(pieces.message == whole.message, "both give the same message");
    check(pieces.header.otherKeys == whole.header.otherKeys &&
              pieces.header.start == whole.header.start,
          "both read the same header");
    check(pieces.points.size() == whole.points.size(), "both read the same number of rows");
    for (std::size_t i = 0; i < whole.points.size(); ++i) {
        const KeptRow& a = pieces.points[i];
        const KeptRow& b = whole.points[i];
        check(a.elapsedMs == b.elapsedMs && sameValue(a.value, b.value) && a.unit == b.unit &&
                  a.overrange == b.overrange && a.gap == b.gap,
              "both read the same row");
    }
    return 0;
}
