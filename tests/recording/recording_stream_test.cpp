#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <random>

#include "recording/recording_reader.h"
#include "recording/recording_stream.h"
#include "recording_sample.h"

namespace {

// Keeps what it is given, as the reader's points, to compare them.
class PointSink : public RecordingSink {
public:
    std::size_t bytesPerRow() const override { return perRow; }
    void row(const StreamedRow& row) override {
        points.push_back({row.elapsedMs, row.value, *row.unit, row.overrange, row.gap});
        if (cancelAfter > 0 && points.size() == cancelAfter) {
            progress->cancel = true;
        }
    }

    std::vector<RecordedPoint> points;
    std::size_t perRow = 16;
    std::size_t cancelAfter = 0;
    LoadProgress* progress = nullptr;
};

bool samePoint(const RecordedPoint& a, const RecordedPoint& b) {
    const bool sameValue = std::isnan(a.value)
                               ? std::isnan(b.value)
                               : std::memcmp(&a.value, &b.value, sizeof(double)) == 0;
    return a.elapsedMs == b.elapsedMs && sameValue && a.unit == b.unit &&
           a.overrange == b.overrange && a.gap == b.gap;
}

// The streaming loader and the reader agree on status, message, header and every row.
void expectSameAsReader(QByteArray bytes, const std::string& what) {
    SCOPED_TRACE(what);
    QBuffer readerDevice(&bytes);
    readerDevice.open(QIODevice::ReadOnly);
    const LoadedRecording expected = readRecording(readerDevice, "file.csv");
    QBuffer streamDevice(&bytes);
    streamDevice.open(QIODevice::ReadOnly);
    PointSink sink;
    const StreamedRecording streamed = streamRecording(streamDevice, "file.csv", sink);

    ASSERT_EQ(static_cast<int>(streamed.status), static_cast<int>(expected.status));
    EXPECT_EQ(streamed.message, expected.message);
    EXPECT_EQ(streamed.header.program, expected.header.program);
    EXPECT_EQ(streamed.header.start, expected.header.start);
    EXPECT_EQ(streamed.header.otherKeys, expected.header.otherKeys);
    ASSERT_EQ(sink.points.size(), expected.points.size());
    EXPECT_EQ(streamed.rows, expected.points.size());
    for (std::size_t i = 0; i < sink.points.size(); ++i) {
        ASSERT_TRUE(samePoint(sink.points[i], expected.points[i])) << "row " << i;
    }
}

QByteArray header() {
    return recordingHeaderText(sampleHeader());
}

QByteArray fileWith(const QByteArray& rows) {
    return header() + rows;
}

// Many rows, quickly: the rows of a short sample over and over.
QByteArray longFile(int repeats) {
    return fileWith(sampleFileBytes(100).mid(header().size()).repeated(repeats));
}

}  // namespace

TEST(RecordingStream, AgreesWithTheReaderOnTheFuzzCorpus) {
    const QDir corpus(QStringLiteral(ZALVO_FUZZ_CORPUS));
    const QStringList folders = corpus.entryList({"recording*"}, QDir::Dirs);
    ASSERT_FALSE(folders.isEmpty());
    for (const QString& folder : folders) {
        const QDir dir(corpus.filePath(folder));
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            // The recording fuzzer's first byte only chooses what the rest is.
            expectSameAsReader(bytes, (folder + "/" + name).toStdString());
            expectSameAsReader(bytes.mid(1), (folder + "/" + name + " after 1").toStdString());
        }
    }
}

TEST(RecordingStream, AgreesWithTheReaderOnEveryCut) {
    const QByteArray whole = sampleFileBytes(20);
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        expectSameAsReader(whole.left(cut), "cut at " + std::to_string(cut));
    }
}

TEST(RecordingStream, AgreesWithTheReaderOnRandomDamage) {
    std::mt19937 random(1612);
    const QByteArray whole = sampleFileBytes(30);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes = whole;
        for (int i = 1 + static_cast<int>(random() % 6); i > 0 && !bytes.isEmpty(); --i) {
            const auto at = static_cast<qsizetype>(random() % bytes.size());
            const char chosen = "0123456789,.-+e\"\r\n# \x80\xff"[random() % 22];
            if (random() % 2 == 0) {
                bytes[at] = chosen;
            } else {
                bytes.insert(at, chosen);
            }
        }
        expectSameAsReader(bytes, "round " + std::to_string(round));
    }
}

TEST(RecordingStream, AgreesWithTheReaderOnOddRows) {
    const char* const rows[] = {
        "0,t,1.5,V,2V,m,0,0\r\n1,t,2,V,2V,m,0,0\r\n",
        "0,t, 12 ,V,2V,m,0,0\n",
        "0,t,+1.5,V,2V,m,,\n",
        " 7,t,1,V,2V,m,0,0\n",
        "0012,t,.5,V,2V,m,0,0\n",
        "0,t,1e400,V,2V,m,0,0\n",
        "0,t,4e-320,V,2V,m,0,0\n",
        "0,t,1e-400,V,2V,m,0,0\n",
        "0,t,-0,V,2V,m,0,0\n",
        "0,t,1.,V,2V,m,0,0\n",
        "0,t,nan,V,2V,m,0,0\n",
        "0,t,inf,V,2V,m,0,0\n",
        "99999999999999999999,t,1,V,2V,m,0,0\n",
        "-5,t,1,V,2V,m,0,0\n",
        "0,t,1,V,2V,m,2,0\n",
        "0,t,1,V,2V,m,0,1,x\n",
        "0,t,1,V,2V\n",
        "0,\"t,\"\"q\"\"\",2.25,\"k V\",2V,m,0,1\n",
        "0,\"t,1,V,2V,m,0,0\n",
        "0,t\"x,1,V,2V,m,0,0\n",
        "\n# note\n\n0,t,1,\xc3\xa4V,2V,m,0,0\n",
        "0,t,1,\xff\xfe,2V,m,0,0\n",
        "0,t,12345678901234567890123456789012345678901234567890,V,2V,m,0,0\n",
        "0,t,0.1000000000000000055511151231257827021181583404541015625,V,2V,m,0,0\n",
        "# only a comment, cut",
    };
    for (const char* row : rows) {
        expectSameAsReader(fileWith(row), row);
    }
    expectSameAsReader("# Zalvo recording,1\nelapsed_ms,value\n5,2.5\n", "two columns");
    expectSameAsReader("# Zalvo recording,7\nelapsed_ms,value\n5,2.5\n", "newer version");
    expectSameAsReader("name,age\nBob,3\n", "foreign file");
    expectSameAsReader("# Zalvo recording,1\r\r\nelapsed_ms,value\n", "carriage return");
}

// Lines around the longest one the reader takes, with and without a line end, and at the
// boundary of the loader's blocks.
TEST(RecordingStream, AgreesWithTheReaderOnLongLines) {
    for (int length = 65533; length <= 65538; ++length) {
        const QByteArray line = "0,t,1,V," + QByteArray(length - 14, 'x') + ",m,0,0";
        ASSERT_EQ(line.size(), length);
        expectSameAsReader(fileWith(line + "\n1,t,1,V,2V,m,0,0\n"), "followed");
        expectSameAsReader(fileWith(line + "\n"), "last");
        expectSameAsReader(fileWith(line), "cut");
        expectSameAsReader(header() + QByteArray(length, '#') + "\n", "header");
    }
    QByteArray big = longFile(700);
    expectSameAsReader(big, "several blocks");
    big.insert(4 * 1024 * 1024 - 10, QByteArray(70000, 'x'));
    expectSameAsReader(big, "too long across a block");
}

TEST(RecordingStream, StopsWhenCancelled) {
    QByteArray bytes = longFile(1500);  // several blocks
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    LoadProgress progress;
    PointSink sink;
    sink.progress = &progress;
    sink.cancelAfter = 10;
    const StreamedRecording loaded = streamRecording(device, "file.csv", sink, &progress);
    EXPECT_EQ(loaded.status, StreamedRecording::Status::Cancelled);
    EXPECT_EQ(loaded.rows, sink.points.size());
    EXPECT_LT(sink.points.size(), 150000u / 2);
    EXPECT_LT(progress.bytesRead.load(), bytes.size());
}

TEST(RecordingStream, RefusesWhatIsNoFileToLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath("empty.csv");
    const QString good = dir.filePath("good.csv");
    QFile(empty).open(QIODevice::WriteOnly);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(sampleFileBytes(100)), sampleFileBytes(100).size());
    file.close();

    struct Case {
        QString path;
        std::size_t bytesPerRow;
        QString says;
    };
    const Case cases[] = {
        {dir.path(), 16, dir.path() + " is a folder, not a recording"},
        {empty, 16, empty + " is empty: it holds no recording"},
        {dir.filePath("none.csv"), 16, "cannot read " + dir.filePath("none.csv") + ": "},
        // Far more than any machine has: refused before a row is read.
        {good, std::size_t{1} << 40, good + " is "},
    };
    for (const Case& c : cases) {
        PointSink sink;
        sink.perRow = c.bytesPerRow;
        const StreamedRecording loaded = streamRecordingFile(c.path, sink);
        EXPECT_EQ(loaded.status, StreamedRecording::Status::Refused) << c.path.toStdString();
        EXPECT_TRUE(loaded.message.startsWith(c.says)) << loaded.message.toStdString();
        EXPECT_EQ(loaded.message.contains("would need about"), c.bytesPerRow > 16);
        EXPECT_TRUE(sink.points.empty());
    }
    PointSink sink;
    LoadProgress progress;
    EXPECT_EQ(streamRecordingFile(good, sink, &progress).status,
              StreamedRecording::Status::Complete);
    EXPECT_EQ(sink.points.size(), 100u);
    EXPECT_EQ(progress.bytesRead.load(), progress.totalBytes.load());
}
